#include "MyAdClass/PromotionSettings.h"

#include <sys/time.h>

#include <utility>

#include "host/core/Clock.h"

PromotionSettings& PromotionSettings::shared() {
    static PromotionSettings settings;
    return settings;
}

void PromotionSettings::setFeedServerURL(const std::string& url) {
    std::string base = url;
    while (!base.empty() && base.back() == '/') base.pop_back();
    std::lock_guard<std::mutex> guard(lock_);
    server_ = std::move(base);
}

std::string PromotionSettings::feedServerURL() const {
    std::lock_guard<std::mutex> guard(lock_);
    return server_;
}

std::string PromotionSettings::feedURL(const char* path) const {
    std::lock_guard<std::mutex> guard(lock_);
    return server_.empty() ? std::string() : server_ + path;
}

std::string PromotionSettings::promotionFeedURL() const { return feedURL("/QBPromo.plist"); }

std::string PromotionSettings::adConfigurationFeedURL() const { return feedURL("/adDone.plist"); }

void PromotionSettings::setClock(std::function<double()> clock) {
    std::lock_guard<std::mutex> guard(lock_);
    clock_ = std::move(clock);
}

double PromotionSettings::now() const {
    std::function<double()> clock;
    {
        std::lock_guard<std::mutex> guard(lock_);
        clock = clock_;
    }
    if (clock) return clock();
    // The host's wall clock follows virtual time in fixed-step runs.
    struct timeval tv;
    if (host::Clock::gettimeofday(&tv) != 0) return 0;
    return static_cast<double>(tv.tv_sec) + static_cast<double>(tv.tv_usec) / 1e6;
}
