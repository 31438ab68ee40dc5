#include "host/display/AccelerometerInput.h"

#include <SDL2/SDL.h>

#include <algorithm>
#include <cmath>

#include "host/core/Application.h"
#include "host/core/Clock.h"
#include "host/core/Log.h"
#include "host/core/RunLoop.h"
#include "host/display/Accelerometer.h"

namespace host {
namespace {

enum TiltKey : unsigned { kLeftArrow = 1, kLetterA = 2, kRightArrow = 4, kLetterD = 8 };
constexpr unsigned kLeftKeys = kLeftArrow | kLetterA;
constexpr unsigned kRightKeys = kRightArrow | kLetterD;

unsigned tiltKeyFor(const SDL_Keysym& k) {
    switch (k.sym) {
        case SDLK_LEFT: return kLeftArrow;
        case SDLK_RIGHT: return kRightArrow;
        case SDLK_a: return kLetterA;
        case SDLK_d: return kLetterD;
        default: return 0;
    }
}

}  // namespace

double TiltEaser::advance(double dt) {
    double target = 0;
    if (left_ != right_) target = left_ ? kFullTilt : -kFullTilt;
    const double stepSize = std::max(0.0, dt) * kFullTilt / kEaseTime;
    if (tilt_ < target)
        tilt_ = std::min(target, tilt_ + stepSize);
    else
        tilt_ = std::max(target, tilt_ - stepSize);
    return tilt_;
}

DeviceAcceleration accelerationForInterfaceTilt(InterfaceOrientation orientation, double tilt) {
    const double level = -std::sqrt(std::max(0.0, 1.0 - tilt * tilt));
    // The edge on the player's left is the device's top in landscape with
    // the home button on the right, its bottom with the home button on the
    // left, its left side in portrait and its right side upside down;
    // gravity pulls along the axis that points at the lowered edge.
    switch (orientation) {
        case InterfaceOrientation::PortraitUpsideDown: return {tilt, 0, level};
        case InterfaceOrientation::LandscapeRight: return {0, tilt, level};
        case InterfaceOrientation::LandscapeLeft: return {0, -tilt, level};
        case InterfaceOrientation::Portrait: break;
    }
    return {-tilt, 0, level};
}

AccelerometerInput& AccelerometerInput::shared() {
    static AccelerometerInput input;
    return input;
}

void AccelerometerInput::start() {
    if (isStarted()) return;
    if (!SDL_WasInit(SDL_INIT_GAMECONTROLLER) && SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER | SDL_INIT_SENSOR) != 0)
        log("accelerometer: no gamepad support (%s); tilting with the keyboard", SDL_GetError());
    // Gamepads already connected arrive as device-added events.
    lastSampleTime_ = Clock::now();
    schedule();
}

void AccelerometerInput::stop() {
    if (timer_) timer_->invalidate();
    timer_.reset();
    closeGamepad();
    heldKeys_ = 0;
    keys_ = TiltEaser();
    lastTilt_ = 0;
}

void AccelerometerInput::schedule() {
    if (timer_) timer_->invalidate();
    const double interval = Accelerometer::sharedAccelerometer().updateInterval();
    timer_ = Timer::scheduledTimer(interval, nullptr, [this] { sample(); }, true);
}

void AccelerometerInput::handleEvent(const SDL_Event& e) {
    switch (e.type) {
        case SDL_KEYDOWN:
        case SDL_KEYUP: {
            const unsigned key = tiltKeyFor(e.key.keysym);
            if (e.type == SDL_KEYDOWN)
                heldKeys_ |= key;
            else
                heldKeys_ &= ~key;
            break;
        }
        case SDL_WINDOWEVENT:
            // A key let go while another window has the focus never
            // reports its release here.
            if (e.window.event == SDL_WINDOWEVENT_FOCUS_LOST) heldKeys_ = 0;
            break;
        case SDL_CONTROLLERDEVICEADDED:
            if (!gamepad_ && isStarted()) openGamepad(e.cdevice.which);
            break;
        case SDL_CONTROLLERDEVICEREMOVED:
            if (gamepad_ && e.cdevice.which == gamepadInstance_) closeGamepad();
            break;
        default: break;
    }
}

void AccelerometerInput::openGamepad(int deviceIndex) {
    SDL_GameController* pad = SDL_GameControllerOpen(deviceIndex);
    if (!pad) {
        log("accelerometer: cannot open gamepad %d: %s", deviceIndex, SDL_GetError());
        return;
    }
    if (!SDL_GameControllerHasSensor(pad, SDL_SENSOR_ACCEL) ||
        SDL_GameControllerSetSensorEnabled(pad, SDL_SENSOR_ACCEL, SDL_TRUE) != 0) {
        // Without a sensor the pad is no accelerometer: the keyboard stays.
        SDL_GameControllerClose(pad);
        return;
    }
    gamepad_ = pad;
    gamepadInstance_ = SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(pad));
    log("accelerometer: tilting with %s", SDL_GameControllerName(pad) ? SDL_GameControllerName(pad) : "a gamepad");
}

void AccelerometerInput::closeGamepad() {
    if (gamepad_) SDL_GameControllerClose(gamepad_);
    gamepad_ = nullptr;
    gamepadInstance_ = -1;
}

bool AccelerometerInput::readGamepadTilt(double* tilt) const {
    float data[3] = {0, 0, 0};
    if (!gamepad_ || SDL_GameControllerGetSensorData(gamepad_, SDL_SENSOR_ACCEL, data, 3) != 0) return false;
    // The pad reports the push against gravity in m/s², +x towards its
    // right: with its left side lowered, "up" leans towards +x.
    *tilt = std::clamp(static_cast<double>(data[0]) / SDL_STANDARD_GRAVITY, -1.0, 1.0);
    return true;
}

void AccelerometerInput::sample() {
    const double now = Clock::now();
    const double dt = now - lastSampleTime_;
    lastSampleTime_ = now;
    keys_.setHeld((heldKeys_ & kLeftKeys) != 0, (heldKeys_ & kRightKeys) != 0);
    double tilt = keys_.advance(dt);
    double padTilt = 0;
    if (readGamepadTilt(&padTilt)) tilt = padTilt;
    lastTilt_ = tilt;

    Accelerometer& accelerometer = Accelerometer::sharedAccelerometer();
    const DeviceAcceleration a =
        accelerationForInterfaceTilt(Application::sharedApplication()->statusBarOrientation(), tilt);
    accelerometer.deliver(a.x, a.y, a.z, now);
    // A delegate may ask for another interval; the next sample honours it.
    if (timer_ && timer_->interval() != accelerometer.updateInterval()) schedule();
}

}  // namespace host
