// Writing a whole file so that nobody ever sees half of it.
#pragma once

#include <cstddef>
#include <string>

namespace host {

// Writes `length` bytes to `path` through a temporary file beside it
// (`path` + ".tmp." + the process id), flushed and synced, then renamed
// over `path`, and syncs the folder so that the rename lasts. Readers see
// the old file or the complete new one. On failure no temporary file is
// left, `path` is untouched, and `error` (when given) holds one phrase for
// a log line, such as "cannot write /a/b.tmp.12 (Permission denied)".
bool writeFileAtomically(const std::string& path, const void* bytes, size_t length, std::string* error);

}  // namespace host
