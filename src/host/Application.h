// The application object, its delegate protocol, and the entry that runs
// the whole program: flags, window, launch, run loop, termination.
#pragma once

#include <functional>
#include <map>
#include <string>

#include "host/CGGeometry.h"
#include "host/Object.h"
#include "host/Options.h"
#include "host/Ref.h"
#include "host/Touch.h"

union SDL_Event;

namespace host {

class Application;
class View;

class ApplicationDelegate {
public:
    virtual ~ApplicationDelegate() = default;
    virtual void applicationDidFinishLaunching(Application*) {}
    virtual void applicationWillResignActive(Application*) {}
    virtual void applicationDidBecomeActive(Application*) {}
    virtual void applicationDidReceiveMemoryWarning(Application*) {}
    virtual void applicationDidEnterBackground(Application*) {}
    virtual void applicationWillEnterForeground(Application*) {}
    virtual void applicationWillTerminate(Application*) {}
    virtual void applicationSignificantTimeChange(Application*) {}
};

class Application : public Object {
public:
    static Application* sharedApplication();

    int statusBarOrientation() const { return statusBarOrientation_; }
    void setStatusBarOrientation(int o, bool animated);
    // The emulated device shows no status bar; its state is only tracked,
    // so code that hides it and shows it again behaves as on the device.
    bool isStatusBarHidden() const { return statusBarHidden_; }
    void setStatusBarHidden(bool hidden, bool animated);
    // Hands http, https and mailto links to the desktop's opener.
    bool openURL(const std::string& url);
    ApplicationDelegate* delegate() const { return delegate_; }

    // The view that receives touches outside every overlay: the GL view.
    void setTouchView(View* v) { touchView_ = v; }
    View* touchView() const { return touchView_; }

    // Ends the program through the delegate's termination callback.
    void terminate();
    bool isTerminating() const { return terminating_; }

    // Delivers a mouse or finger event at an interface point (points,
    // origin top left) as a touch; phase 0 began, 1 moved, 2 ended,
    // 3 cancelled. `pointer` tells fingers (and the mouse, -1) apart.
    // The key window's overlay views take a touch first (topmost first;
    // see View.h); one they do not take goes to the touch view. Either way
    // the view that took the touch gets all of its phases.
    void deliverPointer(long long pointer, int phase, float ix, float iy, double timestamp);
    // Interface points to the touch view's own (portrait) coordinates, by
    // the status-bar orientation, and back.
    CGPoint surfacePointForInterfacePoint(CGPoint p) const;
    CGPoint interfacePointForSurfacePoint(CGPoint p) const;

private:
    friend int ApplicationMain(int, char**, const char*, const char*);
    friend bool handleApplicationEvent(Application*, const SDL_Event&);
    int statusBarOrientation_ = 1;
    bool statusBarHidden_ = false;
    ApplicationDelegate* delegate_ = nullptr;
    Object* delegateObject_ = nullptr;
    View* touchView_ = nullptr;
    bool terminating_ = false;
    bool minimized_ = false;
    // Each pointer that is down: its touch and the view that took it.
    struct ActiveTouch {
        Ref<Touch> touch;
        Ref<View> overlay;  // nullptr: the touch view has it
    };
    std::map<long long, ActiveTouch> activeTouches_;
};

// Delegate classes are looked up by name.
using DelegateFactory = std::function<Object*()>;
void registerDelegateClass(const std::string& name, DelegateFactory factory);
// Extra flags of the executable, registered before ApplicationMain parses.
void setExtraFlags(std::function<void(CommandLine&)> add);

int ApplicationMain(int argc, char** argv, const char* principalClassName, const char* delegateClassName);

}  // namespace host

#define HOST_REGISTER_DELEGATE(Class)                                                          \
    static const bool Class##_registered = [] {                                                \
        ::host::registerDelegateClass(#Class, [] { return static_cast<::host::Object*>(new Class); }); \
        return true;                                                                           \
    }()
