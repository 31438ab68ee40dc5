#include "adnetworks/ApexSettings.h"

ApexSettings& ApexSettings::shared() {
    static ApexSettings settings;
    return settings;
}

void ApexSettings::setServerURL(const std::string& url) {
    serverURL_ = url;
    while (!serverURL_.empty() && serverURL_.back() == '/') serverURL_.pop_back();
}
