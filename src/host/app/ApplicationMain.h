// The program's entry: the common flags (and the executable's own), the
// log file, the emulated device, the window, the delegate's launch, the
// run loop and, once it ends, shutdown.
#pragma once

#include <functional>

#include "host/core/ApplicationContext.h"
#include "host/core/Options.h"

namespace host {

// Extra flags of the executable, registered before ApplicationMain parses.
void setExtraFlags(std::function<void(CommandLine&)> add);

// Runs the application named by `context` with a new instance of the
// delegate class registered as `delegateClassName`; the exit status.
int ApplicationMain(int argc, char** argv, const ApplicationContext& context, const char* delegateClassName);

}  // namespace host
