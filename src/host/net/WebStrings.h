// Small string helpers shared by the web view's markup, style and content
// code: names and values of markup compared the case-blind way it is
// written.
#pragma once

#include <cctype>
#include <initializer_list>
#include <string>
#include <string_view>

namespace host {

// `s` without the white space at its ends, in lower case (ASCII).
inline std::string lowerTrimmed(const std::string& s) {
    size_t b = 0, e = s.size();
    while (b < e && std::isspace(static_cast<unsigned char>(s[b]))) ++b;
    while (e > b && std::isspace(static_cast<unsigned char>(s[e - 1]))) --e;
    std::string out = s.substr(b, e - b);
    for (char& c : out) c = char(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

inline bool isOneOf(const std::string& name, std::initializer_list<std::string_view> names) {
    for (std::string_view n : names)
        if (name == n) return true;
    return false;
}

}  // namespace host
