// Resolving sound file names against the application's resources.
#pragma once

#include <string>

class CDUtilities {
public:
    // An absolute path is returned as it is. A relative one names a file
    // inside the resources directory (its directories included); the full
    // path is returned when that file exists, otherwise the input.
    static std::string fullPathFromRelativePath(const std::string& relPath);
};
