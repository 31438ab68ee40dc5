// Where a font lives on disk: a file and the face inside it (collections
// hold several).
#pragma once

#include <string>

namespace host {

struct FontFile {
    std::string path;
    int index = 0;
};

inline bool operator==(const FontFile& a, const FontFile& b) { return a.index == b.index && a.path == b.path; }

}  // namespace host
