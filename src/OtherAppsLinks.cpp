#include "OtherAppsLinks.h"

#include "host/core/Bundle.h"
#include "host/core/Log.h"
#include "host/data/PlistValue.h"

const std::vector<std::string>& OtherAppsLinks::titles() {
    static const std::vector<std::string> rows = {
        "Tidy Lists (SALE!)!", "Tidy Lists (FREE)!", "DeviceFacts (FREE)",
        "Puck Duel LITE",      "Puck Duel PAID",     "All Apps",
    };
    return rows;
}

OtherAppsLinks OtherAppsLinks::load() {
    const std::string path = host::Bundle::main().pathForResource(kResourceName, "", "");
    if (path.empty()) {
        host::log("other apps: %s is missing; the sheet's rows open nothing", kResourceName);
        return OtherAppsLinks();
    }
    return loadFile(path);
}

OtherAppsLinks OtherAppsLinks::loadFile(const std::string& path) {
    OtherAppsLinks result;
    std::string error;
    const host::PlistValue list = host::PlistValue::parseFile(path, &error);
    const host::PlistValue::Dictionary* entries = list.dictionary();
    if (!entries) {
        host::log("other apps: cannot read %s: %s", path.c_str(),
                  error.empty() ? "not a dictionary" : error.c_str());
        return result;
    }
    for (const auto& [title, link] : *entries) {
        if (const std::string* url = link.string())
            result.links_[title] = *url;
        else
            host::log("other apps: the link for '%s' in %s is not a string", title.c_str(), path.c_str());
    }
    return result;
}

std::string OtherAppsLinks::linkForRow(int index) const {
    if (index < 0 || index >= static_cast<int>(titles().size())) return std::string();
    auto it = links_.find(titles()[static_cast<size_t>(index)]);
    return it == links_.end() ? std::string() : it->second;
}
