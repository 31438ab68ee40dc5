#include "host/core/Path.h"

namespace host {
namespace path {

namespace {
// Trailing slashes do not make a new component ("/" stays "/").
std::string trimmed(const std::string& p) {
    size_t end = p.size();
    while (end > 1 && p[end - 1] == '/') --end;
    return p.substr(0, end);
}

// Position of the extension's dot in the last component, or npos.
size_t extensionDot(const std::string& p) {
    const size_t slash = p.rfind('/');
    const size_t start = slash == std::string::npos ? 0 : slash + 1;
    const size_t dot = p.rfind('.');
    if (dot == std::string::npos || dot <= start || dot + 1 == p.size()) return std::string::npos;
    return dot;
}
}  // namespace

bool isAbsolute(const std::string& p) { return !p.empty() && p[0] == '/'; }

std::string lastComponent(const std::string& p) {
    const std::string t = trimmed(p);
    if (t == "/") return t;
    const size_t slash = t.rfind('/');
    return slash == std::string::npos ? t : t.substr(slash + 1);
}

std::string deletingLastComponent(const std::string& p) {
    const std::string t = trimmed(p);
    const size_t slash = t.rfind('/');
    if (slash == std::string::npos) return "";
    if (slash == 0) return "/";
    return t.substr(0, slash);
}

std::string extension(const std::string& p) {
    const std::string t = trimmed(p);
    const size_t dot = extensionDot(t);
    return dot == std::string::npos ? "" : t.substr(dot + 1);
}

std::string deletingExtension(const std::string& p) {
    const std::string t = trimmed(p);
    const size_t dot = extensionDot(t);
    return dot == std::string::npos ? t : t.substr(0, dot);
}

std::string appendingComponent(const std::string& dir, const std::string& component) {
    if (dir.empty()) return component;
    if (component.empty()) return dir;
    return dir.back() == '/' ? dir + component : dir + "/" + component;
}

std::string appendingExtension(const std::string& p, const std::string& ext) {
    return ext.empty() ? p : trimmed(p) + "." + ext;
}

}  // namespace path
}  // namespace host
