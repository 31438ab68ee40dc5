// What the window's events mean to the application: closing it or quitting
// terminates, focus and minimising are life-cycle callbacks of the
// delegate, F11 toggles full screen, the mouse and fingers are pointers
// (in interface points), keys and gamepads feed the accelerometer. Once
// attached, the main run loop waits on SDL's event queue.
#pragma once

union SDL_Event;

namespace host {

class Application;

class WindowEvents {
public:
    explicit WindowEvents(Application* app) : app_(app) {}
    ~WindowEvents() { detach(); }
    WindowEvents(const WindowEvents&) = delete;
    WindowEvents& operator=(const WindowEvents&) = delete;

    // Makes SDL's event queue the main run loop's event source.
    void attach();
    void detach();

    // True when the event meant something to the application.
    bool handle(const SDL_Event& e);

private:
    bool handleWindowEvent(const SDL_Event& e);
    // Waits up to `timeout` seconds for events and handles them all.
    bool pump(double timeout);

    Application* app_;
    bool attached_ = false;
    bool minimized_ = false;
    unsigned wakeEvent_ = 0;
    // Wall clock minus the monotonic one: a jump is a significant time change.
    double wallOffset_ = 0;
};

}  // namespace host
