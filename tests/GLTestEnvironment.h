// Opens the headless display (SDL offscreen, GL ES 1.1 on Mesa) once for
// every test that needs a current GL context.
#pragma once

#include <cstdlib>

#include "host/display/Display.h"

inline bool ensureHeadlessDisplay() {
    static bool opened = [] {
        setenv("SDL_VIDEODRIVER", "offscreen", 0);
        return host::Display::shared().open(true, 320, 480, 1);
    }();
    return opened;
}
