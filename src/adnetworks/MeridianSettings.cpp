#include "adnetworks/MeridianSettings.h"

#include <algorithm>
#include <strings.h>

MeridianSettings& MeridianSettings::shared() {
    static MeridianSettings settings;
    return settings;
}

MeridianSettings::MeridianSettings() : deviceHandledHosts_(defaultDeviceHandledHosts()) {}

std::vector<std::string> MeridianSettings::defaultDeviceHandledHosts() {
    return {"maps.example.com", "video.example.com", "apps.example.com", "store.example.com"};
}

void MeridianSettings::setServerBaseURL(const std::string& url) {
    std::string base = url;
    // "http://host/" + "/request.php" would give a doubled slash.
    while (!base.empty() && base.back() == '/') base.pop_back();
    std::lock_guard<std::mutex> lock(mutex_);
    serverBaseURL_ = base;
}

std::string MeridianSettings::serverBaseURL() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return serverBaseURL_;
}

std::string MeridianSettings::serverURL() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return serverBaseURL_.empty() ? std::string() : serverBaseURL_ + "/request.php";
}

std::vector<std::string> MeridianSettings::deviceHandledHosts() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return deviceHandledHosts_;
}

void MeridianSettings::setDeviceHandledHosts(std::vector<std::string> hosts) {
    std::lock_guard<std::mutex> lock(mutex_);
    deviceHandledHosts_ = std::move(hosts);
}

bool MeridianSettings::isDeviceHandledHost(const std::string& host) const {
    std::lock_guard<std::mutex> lock(mutex_);
    // Host names compare without case.
    return std::any_of(deviceHandledHosts_.begin(), deviceHandledHosts_.end(),
                       [&](const std::string& h) { return strcasecmp(h.c_str(), host.c_str()) == 0; });
}
