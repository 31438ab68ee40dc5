// Resource names to full paths inside the application bundle (the
// resources directory), and the "-hd" variants of double-resolution
// screens.
#pragma once

#include <string>

class CCFileUtils {
public:
    // An absolute path is kept; a relative one is looked up in the bundle
    // (falling back to the path itself), then given its "-hd" variant.
    static std::string fullPathFromRelativePath(const std::string& relPath);
    // The "-hd" variant of a full path when the content scale is 2 and
    // that file exists; otherwise the path unchanged.
    static std::string getDoubleResolutionImage(const std::string& path);
};

// The path without "-hd" in its last component (content scale 2 only).
std::string ccRemoveHDSuffixFromFile(const std::string& path);
