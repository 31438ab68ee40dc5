#include "host/app/ApplicationMain.h"

#include <SDL2/SDL.h>

#include <cstdio>
#include <string>

#include "host/core/Application.h"
#include "host/core/Clock.h"
#include "host/core/Device.h"
#include "host/core/Log.h"
#include "host/core/RunLoop.h"
#include "host/core/TerminationSignals.h"
#include "host/data/UserDefaults.h"
#include "host/display/Display.h"
#include "host/display/WindowEvents.h"

namespace host {

namespace {

std::function<void(CommandLine&)> gExtraFlags;

void writeScreenshot(const std::string& path) {
    if (Display::shared().writeScreenshot(path))
        log("screenshot written to %s", path.c_str());
    else
        log("screenshot: cannot write %s", path.c_str());
}

// Ends the run after `limit` presented frames, through the normal path.
void endAfterFrames(Application* app, long limit, bool screenshot) {
    if (screenshot) Display::shared().captureAtFrame(static_cast<unsigned long>(limit));
    Display::shared().setPresentHook([app, limit](unsigned long n) {
        if (static_cast<long>(n) >= limit) RunLoop::main().performOnMainThread([app] { app->terminate(); }, false);
    });
}

// What every turn of the main run loop ends with: a termination signal
// ends the program the normal way, and changed settings reach the disk
// before the next frame, so a killed game loses at most the turn in hand.
void endOfTurn(Application* app) {
    if (const int sig = TerminationSignals::takePending()) {
        log("application: %s received, ending", TerminationSignals::name(sig));
        app->terminate();
    }
    UserDefaults::writePendingChanges();
}

}  // namespace

void setExtraFlags(std::function<void(CommandLine&)> add) { gExtraFlags = std::move(add); }

int ApplicationMain(int argc, char** argv, const ApplicationContext& context, const char* delegateClassName) {
    ApplicationContext::setCurrent(context);
    Options& o = Options::shared();
    CommandLine cl(argc > 0 ? argv[0] : context.dataFolderName());
    cl.addCommon(o);
    if (gExtraFlags) gExtraFlags(cl);
    parseCommandLineOrExit(cl, argc, argv);

    if (!o.logFile.empty() && !setLogFile(o.logFile)) {
        std::fprintf(stderr, "%s: cannot open log file %s\n", cl.program().c_str(), o.logFile.c_str());
        return 2;
    }
    Clock::setFixedStep(o.fixedDt);
    const std::string dataDir = o.dataDir.empty() ? context.defaultDataDirectory() : o.dataDir;
    UserDefaults::setDataDirectory(dataDir);
    Device::current().configure(o.tablet, o.retina, dataDir);

    SDL_SetHint(SDL_HINT_TOUCH_MOUSE_EVENTS, "0");
    // One way to end on a signal, ours, for SIGHUP as for SIGINT and SIGTERM.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    TerminationSignals::install();
    Device& dev = Device::current();
    const CGRect b = dev.screenBounds();
    const float scale = dev.screenScale();
    if (!Display::shared().open(o.headless, static_cast<int>(b.size.width * scale),
                                static_cast<int>(b.size.height * scale), scale))
        return 1;

    const std::string delegateName = delegateClassName ? delegateClassName : "";
    Object* delegateObject = makeDelegateObject(delegateName);
    if (!delegateObject) {
        log("application: no delegate class named '%s'", delegateName.c_str());
        return 1;
    }
    Application* app = Application::sharedApplication();
    if (!o.screenshot.empty()) {
        const std::string shot = o.screenshot;
        app->addTerminationHandler([shot] { writeScreenshot(shot); });
    }
    if (o.frames > 0) endAfterFrames(app, o.frames, !o.screenshot.empty());

    RunLoop::main().addTurnEndObserver([app] { endOfTurn(app); });

    WindowEvents events(app);
    events.attach();
    app->launch(delegateObject);
    RunLoop::main().run();
    app->shutDown();
    events.detach();
    Display::shared().close();
    SDL_Quit();
    TerminationSignals::restoreDefaults();
    return 0;
}

}  // namespace host
