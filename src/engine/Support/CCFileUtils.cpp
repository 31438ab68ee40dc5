#include "engine/Support/CCFileUtils.h"

#include "engine/CCContentScale.h"
#include "host/core/Bundle.h"
#include "host/core/Path.h"

namespace {
const char kHDSuffix[] = "-hd";

bool isDoubleResolution() { return __ccContentScaleFactor == 2.0f; }
}  // namespace

std::string CCFileUtils::fullPathFromRelativePath(const std::string& relPath) {
    std::string candidate = relPath;
    if (!host::path::isAbsolute(relPath)) {
        std::string found = host::Bundle::main().pathForResource(
            host::path::lastComponent(relPath), "", host::path::deletingLastComponent(relPath));
        if (!found.empty()) candidate = found;
    }
    return getDoubleResolutionImage(candidate);
}

std::string CCFileUtils::getDoubleResolutionImage(const std::string& path) {
    if (!isDoubleResolution()) return path;
    std::string stem = host::path::deletingExtension(path);
    if (host::path::lastComponent(stem).find(kHDSuffix) != std::string::npos) return path;

    // Compressed containers keep their inner extension: sheet.pvr.ccz
    // becomes sheet-hd.pvr.ccz.
    std::string ext = host::path::extension(path);
    if (ext == "ccz" || ext == "gz") {
        const std::string inner = host::path::extension(stem);
        if (!inner.empty()) {
            ext = inner + "." + ext;
            stem = host::path::deletingExtension(stem);
        }
    }
    const std::string candidate = host::path::appendingExtension(stem + kHDSuffix, ext);
    return host::Bundle::fileExists(candidate) ? candidate : path;
}

std::string ccRemoveHDSuffixFromFile(const std::string& path) {
    if (!isDoubleResolution()) return path;
    std::string name = host::path::lastComponent(path);
    if (name.find(kHDSuffix) == std::string::npos) return path;
    for (size_t at = name.find(kHDSuffix); at != std::string::npos; at = name.find(kHDSuffix, at))
        name.erase(at, sizeof kHDSuffix - 1);
    return host::path::appendingComponent(host::path::deletingLastComponent(path), name);
}
