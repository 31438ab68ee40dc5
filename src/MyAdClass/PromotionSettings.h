// Where the maker's feeds live: the promotion feed (QBPromo.plist) and the
// advert configuration (adDone.plist), both on the --feed-server. With no
// feed server both URLs are empty and the downloads fail at once, as with
// no network. Also the clock the promotion's launch counting reads, which
// tests replace to cross the three-hour mark without waiting.
#pragma once

#include <functional>
#include <mutex>
#include <string>

class PromotionSettings {
public:
    static PromotionSettings& shared();

    // The server's base URL ("http://host:port"); "" for none. Trailing
    // slashes are dropped.
    void setFeedServerURL(const std::string& url);
    std::string feedServerURL() const;

    // The server's URL plus "/QBPromo.plist", or "" without a server.
    std::string promotionFeedURL() const;
    // The server's URL plus "/adDone.plist", or "" without a server.
    std::string adConfigurationFeedURL() const;

    // Seconds since 1970: the given clock, or the host's wall clock when
    // none is set (an empty function restores it).
    void setClock(std::function<double()> clock);
    double now() const;

private:
    PromotionSettings() = default;
    std::string feedURL(const char* path) const;

    // Set on the main thread, read by the download threads.
    mutable std::mutex lock_;
    std::string server_;
    std::function<double()> clock_;
};
