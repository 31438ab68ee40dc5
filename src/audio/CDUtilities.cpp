#include "audio/CDUtilities.h"

#include <unistd.h>

#include "host/core/Bundle.h"
#include "host/core/Options.h"

namespace {

// The application's resources: --resources, else "resources" beside the
// executable.
std::string resourcesDirectory() {
    const std::string& configured = host::Options::shared().resources;
    if (!configured.empty()) return configured;
    char exe[4096];
    ssize_t n = readlink("/proc/self/exe", exe, sizeof exe - 1);
    if (n <= 0) return "resources";
    std::string path(exe, static_cast<size_t>(n));
    size_t slash = path.find_last_of('/');
    return (slash == std::string::npos ? std::string(".") : path.substr(0, slash)) + "/resources";
}

}  // namespace

std::string CDUtilities::fullPathFromRelativePath(const std::string& relPath) {
    if (relPath.empty() || relPath[0] == '/') return relPath;
    std::string found = resourcesDirectory() + "/" + relPath;
    // Whatever is there counts as found, as for the bundle's resources: a
    // directory or FIFO in its place is then refused by the reader, under
    // its real name.
    return host::Bundle::fileExists(found) ? found : relPath;
}
