// URLs of web pages: the scheme of one, and a reference (an href or src)
// resolved against the URL of the page it appears on, as browsers do.
#pragma once

#include <string>

namespace host {

class WebURL {
public:
    // The lower-case scheme ("http"), or "" when the URL has none.
    static std::string scheme(const std::string& url);
    static bool isWebURL(const std::string& url);
    // `reference` made absolute against `base`: a reference with a scheme
    // stands as it is; without a usable base it stays as written (trimmed).
    // Dot segments ("./", "../") are removed from the path.
    static std::string resolve(const std::string& base, const std::string& reference);
    // The part of the URL before its fragment ("#...").
    static std::string withoutFragment(const std::string& url);
};

}  // namespace host
