// Configuration of the Meridian client supplied with the application: the
// ad server's address and the host names of the links the device hands to
// its own applications (maps, video, the application store).
//
// Set while the program starts and read when requests are made and links
// tapped; every access locks, so that tests and tools may set it from any
// thread.
#pragma once

#include <mutex>
#include <string>
#include <vector>

class MeridianSettings {
public:
    static MeridianSettings& shared();

    // The --ad-server value: an http(s) base URL, "" for none.
    void setServerBaseURL(const std::string& url);
    std::string serverBaseURL() const;
    // The base URL + "/request.php", or "" when no server is configured.
    std::string serverURL() const;

    // Hosts whose http links the device opens itself: the map service's,
    // a video site's and the application store's two.
    std::vector<std::string> deviceHandledHosts() const;
    void setDeviceHandledHosts(std::vector<std::string> hosts);
    bool isDeviceHandledHost(const std::string& host) const;

    static std::vector<std::string> defaultDeviceHandledHosts();

private:
    MeridianSettings();

    mutable std::mutex mutex_;
    std::string serverBaseURL_;
    std::vector<std::string> deviceHandledHosts_;
};
