#include "host/core/Bundle.h"

#include <sys/stat.h>
#include <unistd.h>

#include <climits>

#include "host/core/Options.h"
#include "host/core/Path.h"

namespace host {

Bundle& Bundle::main() {
    static Bundle bundle;
    return bundle;
}

std::string Bundle::defaultResourcePath() {
    if (!Options::shared().resources.empty()) return Options::shared().resources;
    char exe[PATH_MAX];
    const ssize_t n = readlink("/proc/self/exe", exe, sizeof exe - 1);
    if (n <= 0) return "resources";
    exe[n] = '\0';
    return path::appendingComponent(path::deletingLastComponent(exe), "resources");
}

std::string Bundle::resourcePath() const {
    std::lock_guard<std::mutex> guard(lock_);
    if (resourcePath_.empty()) resourcePath_ = defaultResourcePath();
    return resourcePath_;
}

void Bundle::setResourcePath(const std::string& directory) {
    std::lock_guard<std::mutex> guard(lock_);
    resourcePath_ = directory;
}

std::string Bundle::pathForResource(const std::string& name, const std::string& type,
                                    const std::string& directory) const {
    if (name.empty()) return "";
    const std::string file = path::appendingExtension(name, type);
    const std::string full = path::appendingComponent(path::appendingComponent(resourcePath(), directory), file);
    return fileExists(full) ? full : "";
}

bool Bundle::fileExists(const std::string& p) {
    struct stat st;
    return !p.empty() && ::stat(p.c_str(), &st) == 0;
}

}  // namespace host
