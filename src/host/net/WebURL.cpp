#include "host/net/WebURL.h"

#include <algorithm>
#include <cctype>
#include <vector>

namespace host {

namespace {

// What browsers strip from a written URL: spaces and controls at its ends,
// tabs and line breaks anywhere.
std::string cleaned(const std::string& s) {
    size_t b = 0, e = s.size();
    while (b < e && static_cast<unsigned char>(s[b]) <= ' ') ++b;
    while (e > b && static_cast<unsigned char>(s[e - 1]) <= ' ') --e;
    std::string out;
    out.reserve(e - b);
    for (size_t i = b; i < e; ++i)
        if (s[i] != '\t' && s[i] != '\n' && s[i] != '\r') out.push_back(s[i]);
    return out;
}

std::string removeDotSegments(const std::string& path) {
    const bool absolute = !path.empty() && path[0] == '/';
    std::vector<std::string> segments;
    std::vector<std::string> out;
    size_t at = absolute ? 1 : 0;
    while (true) {
        const size_t slash = path.find('/', at);
        segments.push_back(path.substr(at, slash == std::string::npos ? std::string::npos : slash - at));
        if (slash == std::string::npos) break;
        at = slash + 1;
    }
    for (size_t i = 0; i < segments.size(); ++i) {
        const bool last = i + 1 == segments.size();
        const std::string& s = segments[i];
        if (s == "." || s == "..") {
            if (s == ".." && !out.empty()) out.pop_back();
            if (last) out.emplace_back();  // "a/." and "a/.." end in a slash
        } else {
            out.push_back(s);
        }
    }
    std::string joined = absolute ? "/" : "";
    for (size_t i = 0; i < out.size(); ++i) {
        if (i > 0) joined += '/';
        joined += out[i];
    }
    return joined;
}

// The path and the rest ("?query#fragment") of a reference.
void splitPath(const std::string& ref, std::string* path, std::string* rest) {
    const size_t end = ref.find_first_of("?#");
    *path = ref.substr(0, end);
    *rest = end == std::string::npos ? "" : ref.substr(end);
}

}  // namespace

std::string WebURL::scheme(const std::string& url) {
    if (url.empty() || !std::isalpha(static_cast<unsigned char>(url[0]))) return "";
    for (size_t i = 1; i < url.size(); ++i) {
        const char c = url[i];
        if (c == ':') {
            std::string s = url.substr(0, i);
            for (char& ch : s) ch = char(std::tolower(static_cast<unsigned char>(ch)));
            return s;
        }
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '+' && c != '-' && c != '.') return "";
    }
    return "";
}

bool WebURL::isWebURL(const std::string& url) {
    const std::string s = scheme(url);
    return s == "http" || s == "https";
}

std::string WebURL::withoutFragment(const std::string& url) { return url.substr(0, url.find('#')); }

std::string WebURL::resolve(const std::string& base, const std::string& reference) {
    const std::string ref = cleaned(reference);
    if (!scheme(ref).empty()) return ref;
    const std::string baseScheme = scheme(base);
    // Only hierarchical bases ("scheme://host/path") resolve references.
    if (baseScheme.empty() || base.compare(baseScheme.size(), 3, "://") != 0) return ref;
    const size_t authorityStart = baseScheme.size() + 3;
    const size_t authorityEnd = std::min(base.find_first_of("/?#", authorityStart), base.size());
    const std::string origin = base.substr(0, authorityEnd);
    std::string basePath, baseRest;
    splitPath(base.substr(authorityEnd), &basePath, &baseRest);

    if (ref.empty()) return withoutFragment(base);
    if (ref[0] == '#') return withoutFragment(base) + ref;
    if (ref.compare(0, 2, "//") == 0) {
        const size_t pathStart = std::min(ref.find_first_of("/?#", 2), ref.size());
        std::string path, rest;
        splitPath(ref.substr(pathStart), &path, &rest);
        return baseScheme + ":" + ref.substr(0, pathStart) + removeDotSegments(path) + rest;
    }
    if (ref[0] == '?') return origin + (basePath.empty() ? "/" : basePath) + ref;
    std::string path, rest;
    splitPath(ref, &path, &rest);
    if (path[0] != '/') {
        const size_t slash = basePath.rfind('/');
        path = (slash == std::string::npos ? "/" : basePath.substr(0, slash + 1)) + path;
    }
    return origin + removeDotSegments(path) + rest;
}

}  // namespace host
