// The tests run as parts of the game: links they open are logged to
// TILTBOARD_OPEN_URL_LOG, as in the game.
#include "host/core/ApplicationContext.h"

namespace {
const bool gNamed = [] {
    host::ApplicationContext::setCurrent(host::ApplicationContext("Tiltboard"));
    return true;
}();
}  // namespace
