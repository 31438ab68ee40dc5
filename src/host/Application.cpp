#include "host/Application.h"

#include <SDL2/SDL.h>
#include <spawn.h>
#include <sys/wait.h>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <map>

#include "host/AccelerometerInput.h"
#include "host/Clock.h"
#include "host/Device.h"
#include "host/Display.h"
#include "host/Log.h"
#include "host/RunLoop.h"
#include "host/Touch.h"
#include "host/UserDefaults.h"
#include "host/View.h"
#include "host/ViewAnimation.h"

extern char** environ;

namespace host {
namespace {
std::map<std::string, DelegateFactory>& registry() {
    static std::map<std::string, DelegateFactory> r;
    return r;
}
std::function<void(CommandLine&)> gExtraFlags;

std::string defaultDataDir() {
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    if (xdg && *xdg) return std::string(xdg) + "/tiltboard";
    const char* home = std::getenv("HOME");
    return std::string(home && *home ? home : ".") + "/.config/tiltboard";
}
}  // namespace

void registerDelegateClass(const std::string& name, DelegateFactory factory) { registry()[name] = std::move(factory); }
void setExtraFlags(std::function<void(CommandLine&)> add) { gExtraFlags = std::move(add); }

Application* Application::sharedApplication() {
    static Application* app = new Application;
    return app;
}

void Application::setStatusBarOrientation(int o, bool) { statusBarOrientation_ = o; }
void Application::setStatusBarHidden(bool hidden, bool) { statusBarHidden_ = hidden; }

bool Application::openURL(const std::string& url) {
    auto colon = url.find(':');
    std::string scheme = colon == std::string::npos ? "" : url.substr(0, colon);
    if (scheme != "http" && scheme != "https" && scheme != "mailto") {
        log("application: not opening '%s' (unsupported scheme)", url.c_str());
        return false;
    }
    if (const char* logPath = std::getenv("TILTBOARD_OPEN_URL_LOG")) {
        std::ofstream out(logPath, std::ios::app);
        out << url << "\n";
        return static_cast<bool>(out);
    }
    // No shell: the URL is one argument of xdg-open.
    pid_t pid = 0;
    char* args[] = {const_cast<char*>("xdg-open"), const_cast<char*>(url.c_str()), nullptr};
    if (posix_spawnp(&pid, "xdg-open", nullptr, nullptr, args, environ) != 0) {
        log("application: cannot start xdg-open for '%s'", url.c_str());
        return false;
    }
    std::thread([pid] { int st; waitpid(pid, &st, 0); }).detach();
    return true;
}

void Application::terminate() {
    if (terminating_) return;
    terminating_ = true;
    const std::string& shot = Options::shared().screenshot;
    if (!shot.empty()) {
        if (Display::shared().writeScreenshot(shot))
            log("screenshot written to %s", shot.c_str());
        else
            log("screenshot: cannot write %s", shot.c_str());
    }
    if (delegate_) delegate_->applicationWillTerminate(this);
    RunLoop::main().stop();
}

CGPoint Application::surfacePointForInterfacePoint(CGPoint ip) const {
    if (!touchView_) return ip;
    CGRect b = touchView_->bounds();
    float W = b.size.width, H = b.size.height;
    switch (statusBarOrientation_) {
        case 2: return CGPointMake(W - ip.x, H - ip.y);
        case 3: return CGPointMake(W - ip.y, ip.x);
        case 4: return CGPointMake(ip.y, H - ip.x);
        default: return ip;
    }
}

CGPoint Application::interfacePointForSurfacePoint(CGPoint sp) const {
    if (!touchView_) return sp;
    CGRect b = touchView_->bounds();
    float W = b.size.width, H = b.size.height;
    switch (statusBarOrientation_) {
        case 2: return CGPointMake(W - sp.x, H - sp.y);
        case 3: return CGPointMake(sp.y, W - sp.x);
        case 4: return CGPointMake(H - sp.y, sp.x);
        default: return sp;
    }
}

void Application::deliverPointer(long long pointer, int phase, float ix, float iy, double timestamp) {
    const CGPoint ip = CGPointMake(ix, iy);
    auto it = activeTouches_.find(pointer);
    ActiveTouch active;
    if (phase == 0) {
        if (it != activeTouches_.end()) {
            // A pointer that went down twice without coming up: the first
            // touch is cancelled before the new one begins.
            deliverPointer(pointer, 3, ix, iy, timestamp);
        }
        Window* window = Window::keyWindow();
        active.overlay = window ? window->overlayHitTest(ip) : nullptr;
        View* v = active.overlay ? active.overlay.get() : touchView_;
        if (!v) return;
        active.touch = Ref<Touch>::adopt(new Touch);
        active.touch->setView(v);
        active.touch->setTapCount(1);
        CGPoint p = active.overlay ? v->convertPoint(ip, nullptr) : surfacePointForInterfacePoint(ip);
        active.touch->setLocation(p);
        active.touch->setLocation(p);
        active.touch->setPhase(TouchPhase::Began);
        activeTouches_[pointer] = active;
    } else {
        if (it == activeTouches_.end()) return;  // a pointer that never went down here
        active = it->second;
        View* v = active.touch->view();
        // Locations follow the view, wherever it has moved meanwhile.
        active.touch->setLocation(active.overlay ? v->convertPoint(ip, nullptr) : surfacePointForInterfacePoint(ip));
        active.touch->setPhase(phase == 1 ? TouchPhase::Moved : phase == 2 ? TouchPhase::Ended : TouchPhase::Cancelled);
    }
    Touch* touch = active.touch.get();
    View* v = touch->view();
    touch->setTimestamp(timestamp);
    if (phase >= 2) activeTouches_.erase(pointer);
    if (!v) return;
    TouchSet* set = TouchSet::setWithTouch(touch);
    Event* event = Event::eventWithTouches(set, timestamp);
    switch (phase) {
        case 0: v->touchesBegan(set, event); break;
        case 1: v->touchesMoved(set, event); break;
        case 2: v->touchesEnded(set, event); break;
        default: v->touchesCancelled(set, event); break;
    }
}

namespace {

double wallSeconds();
}  // namespace

bool handleApplicationEvent(Application* app, const SDL_Event& e) {
    AccelerometerInput::shared().handleEvent(e);
    ApplicationDelegate* d = app->delegate();
    switch (e.type) {
        case SDL_QUIT: app->terminate(); return true;
        case SDL_WINDOWEVENT:
            switch (e.window.event) {
                case SDL_WINDOWEVENT_FOCUS_LOST: if (d) d->applicationWillResignActive(app); return true;
                case SDL_WINDOWEVENT_FOCUS_GAINED: if (d) d->applicationDidBecomeActive(app); return true;
                case SDL_WINDOWEVENT_MINIMIZED:
                    if (app->minimized_) return false;
                    app->minimized_ = true;
                    log("application: the window is minimised; entering the background");
                    if (d) d->applicationDidEnterBackground(app);
                    return true;
                case SDL_WINDOWEVENT_RESTORED:
                    // Also sent when a maximised window is restored: only a
                    // window coming back from the background counts.
                    if (!app->minimized_) return false;
                    app->minimized_ = false;
                    log("application: the window is restored; entering the foreground");
                    if (d) d->applicationWillEnterForeground(app);
                    return true;
                case SDL_WINDOWEVENT_CLOSE: app->terminate(); return true;
                default: return false;
            }
        case SDL_KEYDOWN:
            if (e.key.keysym.sym == SDLK_F11) Display::shared().toggleFullscreen();
            return true;
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP:
        case SDL_MOUSEMOTION: {
            if (e.type == SDL_MOUSEMOTION && !(e.motion.state & SDL_BUTTON_LMASK)) return false;
            if (e.type != SDL_MOUSEMOTION && e.button.button != SDL_BUTTON_LEFT) return false;
            int x = e.type == SDL_MOUSEMOTION ? e.motion.x : e.button.x;
            int y = e.type == SDL_MOUSEMOTION ? e.motion.y : e.button.y;
            float ix = 0, iy = 0;
            Display::shared().windowToInterface(x, y, &ix, &iy);
            int phase = e.type == SDL_MOUSEBUTTONDOWN ? 0 : e.type == SDL_MOUSEMOTION ? 1 : 2;
            app->deliverPointer(-1, phase, ix, iy, Clock::now());
            return true;
        }
        case SDL_FINGERDOWN:
        case SDL_FINGERMOTION:
        case SDL_FINGERUP: {
            // Finger positions are normalised to the window.
            int winW = 0, winH = 0;
            SDL_GetWindowSize(Display::shared().window(), &winW, &winH);
            float ix = 0, iy = 0;
            Display::shared().windowToInterface(static_cast<int>(e.tfinger.x * winW),
                                                static_cast<int>(e.tfinger.y * winH), &ix, &iy);
            int phase = e.type == SDL_FINGERDOWN ? 0 : e.type == SDL_FINGERMOTION ? 1 : 2;
            app->deliverPointer(static_cast<long long>(e.tfinger.fingerId), phase, ix, iy, Clock::now());
            return true;
        }
        default: return false;
    }
}

namespace {
double wallSeconds() {
    struct timeval tv;
    ::gettimeofday(&tv, nullptr);
    return static_cast<double>(tv.tv_sec) + tv.tv_usec / 1e6;
}

}  // namespace

int ApplicationMain(int argc, char** argv, const char* principalClassName, const char* delegateClassName) {
    (void)principalClassName;
    Options& o = Options::shared();
    CommandLine cl(argc > 0 ? argv[0] : "tiltboard");
    cl.addCommon(o);
    if (gExtraFlags) gExtraFlags(cl);
    parseCommandLineOrExit(cl, argc, argv);

    if (!o.logFile.empty() && !setLogFile(o.logFile)) {
        std::fprintf(stderr, "%s: cannot open log file %s\n", argv[0], o.logFile.c_str());
        return 2;
    }
    Clock::setFixedStep(o.fixedDt);
    std::string dataDir = o.dataDir.empty() ? defaultDataDir() : o.dataDir;
    UserDefaults::setDataDirectory(dataDir);
    Device::current().configure(o.tablet, o.retina, dataDir);

    SDL_SetHint(SDL_HINT_TOUCH_MOUSE_EVENTS, "0");
    Device& dev = Device::current();
    CGRect b = dev.screenBounds();
    float scale = dev.screenScale();
    if (!Display::shared().open(o.headless, static_cast<int>(b.size.width * scale),
                                static_cast<int>(b.size.height * scale), scale))
        return 1;

    Application* app = Application::sharedApplication();
    auto it = registry().find(delegateClassName ? delegateClassName : "");
    if (it == registry().end()) {
        log("application: no delegate class named '%s'", delegateClassName ? delegateClassName : "");
        return 1;
    }
    Object* delegateObject = it->second();
    app->delegateObject_ = delegateObject;
    app->delegate_ = dynamic_cast<ApplicationDelegate*>(delegateObject);

    if (o.frames > 0) {
        long limit = o.frames;
        if (!o.screenshot.empty()) Display::shared().captureAtFrame(static_cast<unsigned long>(limit));
        Display::shared().setPresentHook([app, limit](unsigned long n) {
            if (static_cast<long>(n) >= limit)
                RunLoop::main().performOnMainThread([app] { app->terminate(); }, false);
        });
    }

    // Events: SDL's queue; a wall clock that jumps against the monotonic
    // one is a significant time change.
    Uint32 wakeEvent = SDL_RegisterEvents(1);
    double wallOffset = wallSeconds() - Clock::now();
    RunLoop::main().setEventSource(
        [app, wakeEvent, &wallOffset](double timeout) {
            bool handled = false;
            SDL_Event e;
            int ms = static_cast<int>(std::ceil(timeout * 1000));
            if (ms > 0 && SDL_WaitEventTimeout(&e, ms)) {
                if (e.type != wakeEvent) handled |= handleApplicationEvent(app, e);
            }
            while (SDL_PollEvent(&e))
                if (e.type != wakeEvent) handled |= handleApplicationEvent(app, e);
            if (!Clock::isFixedStep()) {
                double offset = wallSeconds() - Clock::now();
                if (std::fabs(offset - wallOffset) > 2.0 && app->delegate()) {
                    app->delegate()->applicationSignificantTimeChange(app);
                    handled = true;
                }
                wallOffset = offset;
            }
            return handled;
        },
        [wakeEvent] {
            SDL_Event e{};
            e.type = wakeEvent;
            SDL_PushEvent(&e);
        });

    {
        AutoreleasePool pool;
        if (app->delegate_) app->delegate_->applicationDidFinishLaunching(app);
    }
    RunLoop::main().run();
    {
        AutoreleasePool pool;
        // Animations still running hold views and GL textures: let them go
        // while the views' world and the GL context are still there.
        ViewAnimator::shared().cancelAll();
        delegateObject->release();
        app->delegate_ = nullptr;
        app->delegateObject_ = nullptr;
    }
    RunLoop::main().setEventSource(nullptr, nullptr);
    Display::shared().close();
    SDL_Quit();
    return 0;
}

}  // namespace host
