// The store links behind the main menu's "Other Apps" sheet: shipped as the
// "OtherApps.plist" resource, a dictionary from each row's title to its
// link, so that the links can change without touching the code.
#pragma once

#include <map>
#include <string>
#include <vector>

class OtherAppsLinks {
public:
    static constexpr const char* kResourceName = "OtherApps.plist";

    // The rows of the sheet, in order.
    static const std::vector<std::string>& titles();

    // Reads the bundle's list. A missing or malformed file, or an entry
    // that is not a string, is logged and leaves those rows without a
    // link.
    static OtherAppsLinks load();
    static OtherAppsLinks loadFile(const std::string& path);

    // The link of row `index` (0 to 5), or "" when there is none.
    std::string linkForRow(int index) const;

private:
    std::map<std::string, std::string> links_;
};
