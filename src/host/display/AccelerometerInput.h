// Where the emulated device's accelerometer samples come from: a gamepad's
// accelerometer when one with a sensor is connected, else the keyboard
// (Left/Right or A/D tilt the device, easing towards the full tilt while a
// key is held and back to level when it is let go). Samples reach the
// accelerometer's delegate at the accelerometer's update interval, from a
// repeating run-loop timer, so they arrive between frames.
//
// Tilt is measured in the interface: positive when the edge on the
// player's left goes down. Which device axis that is depends on the
// status-bar orientation.
#pragma once

#include "host/core/InterfaceOrientation.h"
#include "host/core/Ref.h"

union SDL_Event;
struct _SDL_GameController;

namespace host {

class Timer;

// Keyboard tilt: eases linearly towards ±kFullTilt while one direction is
// held (both or neither: towards 0).
class TiltEaser {
public:
    static constexpr double kFullTilt = 0.35;    // g
    static constexpr double kEaseTime = 0.1;     // seconds from level to full tilt

    void setHeld(bool left, bool right) { left_ = left; right_ = right; }
    // Moves the tilt on by `dt` seconds and returns it.
    double advance(double dt);
    double tilt() const { return tilt_; }

private:
    bool left_ = false, right_ = false;
    double tilt_ = 0;
};

// The device acceleration (in g, the device's own axes) of a device tilted
// by `tilt` g in the interface of `orientation`, lying otherwise
// level.
struct DeviceAcceleration {
    double x, y, z;
};
DeviceAcceleration accelerationForInterfaceTilt(InterfaceOrientation orientation, double tilt);

class AccelerometerInput {
public:
    static AccelerometerInput& shared();

    // Starts sampling (and looks for gamepads); stop() ends it.
    void start();
    void stop();
    bool isStarted() const { return timer_.get() != nullptr; }

    // Key, focus and gamepad events, from the host's event handling. Every
    // event may be passed; the ones this does not use are ignored.
    void handleEvent(const SDL_Event& e);

    // One sample now: the current tilt goes to the accelerometer.
    void sample();
    double currentTilt() const { return lastTilt_; }
    bool hasGamepadSensor() const { return gamepad_ != nullptr; }

private:
    AccelerometerInput() = default;
    void schedule();
    void openGamepad(int deviceIndex);
    void closeGamepad();
    bool readGamepadTilt(double* tilt) const;

    Ref<Timer> timer_;
    TiltEaser keys_;
    unsigned heldKeys_ = 0;  // one bit per tilt key
    double lastSampleTime_ = 0;
    double lastTilt_ = 0;
    _SDL_GameController* gamepad_ = nullptr;
    int gamepadInstance_ = -1;
};

}  // namespace host
