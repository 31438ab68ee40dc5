// The application object and its delegate protocol: the life cycle the
// delegate hears about, the status bar, opening links, termination.
//
// The application knows nothing of windows or views. The layers above
// install what it hands on: the UI toolkit a pointer handler (which view a
// finger's touches go to), the program's entry what must happen when the
// application terminates (the screenshot) and when it shuts down.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "host/core/InterfaceOrientation.h"
#include "host/core/Object.h"
#include "host/core/TouchPhase.h"

namespace host {

class Application;

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

    InterfaceOrientation statusBarOrientation() const { return statusBarOrientation_; }
    void setStatusBarOrientation(InterfaceOrientation o, bool animated);
    // The emulated device shows no status bar; its state is only tracked,
    // so code that hides it and shows it again behaves as on the device.
    bool isStatusBarHidden() const { return statusBarHidden_; }
    void setStatusBarHidden(bool hidden, bool animated);
    // Hands http, https and mailto links to the desktop's opener. With the
    // environment variable <APPLICATION>_OPEN_URL_LOG set (see
    // ApplicationContext), each link is appended to that file instead.
    bool openURL(const std::string& url);
    ApplicationDelegate* delegate() const { return delegate_; }

    // Takes over `delegateObject` (which must also be an
    // ApplicationDelegate) and tells it the application has launched.
    void launch(Object* delegateObject);
    // After the run loop ends: the shutdown handlers run, then the
    // delegate is let go of.
    void shutDown();

    // Ends the program: the termination handlers run, then the delegate's
    // termination callback, then the main run loop stops.
    void terminate();
    bool isTerminating() const { return terminating_; }
    void addTerminationHandler(std::function<void()> handler);
    // Handlers that let go of what still holds views and GL objects while
    // the services they need are still there.
    void addShutdownHandler(std::function<void()> handler);

    // A mouse or finger event at an interface point (points, origin top
    // left); `pointer` tells fingers (and the mouse, -1) apart. It goes to
    // the pointer handler the UI toolkit installs; without one it is
    // dropped.
    using PointerHandler = std::function<void(long long pointer, TouchPhase phase, CGPoint at, double timestamp)>;
    void deliverPointer(long long pointer, TouchPhase phase, float ix, float iy, double timestamp);
    void setPointerHandler(PointerHandler handler) { pointerHandler_ = std::move(handler); }
    // A key pressed in the window (not repeats, not the host's own F11):
    // the character of a letter or digit key in lower case ('s'), else the
    // window system's key code. It goes to the key handler a program
    // installs for its shortcuts; without one it is dropped.
    using KeyHandler = std::function<void(int key)>;
    void deliverKey(int key);
    void setKeyHandler(KeyHandler handler) { keyHandler_ = std::move(handler); }

private:
    InterfaceOrientation statusBarOrientation_ = InterfaceOrientation::Portrait;
    bool statusBarHidden_ = false;
    ApplicationDelegate* delegate_ = nullptr;
    Object* delegateObject_ = nullptr;  // owned
    bool terminating_ = false;
    std::vector<std::function<void()>> terminationHandlers_;
    std::vector<std::function<void()>> shutdownHandlers_;
    PointerHandler pointerHandler_;
    KeyHandler keyHandler_;
};

// Delegate classes are looked up by name.
using DelegateFactory = std::function<Object*()>;
void registerDelegateClass(const std::string& name, DelegateFactory factory);
// A new instance of the class registered under `name`, owned by the
// caller; nullptr when there is none.
Object* makeDelegateObject(const std::string& name);

}  // namespace host

#define HOST_REGISTER_DELEGATE(Class)                                                          \
    static const bool Class##_registered = [] {                                                \
        ::host::registerDelegateClass(#Class, [] { return static_cast<::host::Object*>(new Class); }); \
        return true;                                                                           \
    }()
