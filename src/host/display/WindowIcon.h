// The window's icon, from a PNG file.
#pragma once

#include <string>

namespace host {

// Sets the icon of the display's window; false (with the image loader's
// log line) when the image cannot be read. Without a window (not yet
// open) it does nothing.
bool setWindowIcon(const std::string& pngPath);

}  // namespace host
