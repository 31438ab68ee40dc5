#include "host/display/WindowEvents.h"

#include <SDL2/SDL.h>
#include <sys/time.h>

#include <cmath>

#include "host/core/Application.h"
#include "host/core/Clock.h"
#include "host/core/Log.h"
#include "host/core/RunLoop.h"
#include "host/display/AccelerometerInput.h"
#include "host/display/Display.h"

namespace host {

namespace {

double wallSeconds() {
    struct timeval tv;
    ::gettimeofday(&tv, nullptr);
    return static_cast<double>(tv.tv_sec) + tv.tv_usec / 1e6;
}

// The phase of a touch that a mouse or finger event stands for.
TouchPhase pointerPhase(Uint32 eventType) {
    switch (eventType) {
        case SDL_MOUSEBUTTONDOWN:
        case SDL_FINGERDOWN: return TouchPhase::Began;
        case SDL_MOUSEMOTION:
        case SDL_FINGERMOTION: return TouchPhase::Moved;
        default: return TouchPhase::Ended;
    }
}

}  // namespace

void WindowEvents::attach() {
    if (attached_) return;
    attached_ = true;
    wakeEvent_ = SDL_RegisterEvents(1);
    wallOffset_ = wallSeconds() - Clock::now();
    const Uint32 wake = wakeEvent_;
    RunLoop::main().setEventSource([this](double timeout) { return pump(timeout); },
                                   [wake] {
                                       SDL_Event e{};
                                       e.type = wake;
                                       SDL_PushEvent(&e);
                                   });
}

void WindowEvents::detach() {
    if (!attached_) return;
    attached_ = false;
    RunLoop::main().setEventSource(nullptr, nullptr);
}

bool WindowEvents::pump(double timeout) {
    bool handled = false;
    SDL_Event e;
    const int ms = static_cast<int>(std::ceil(timeout * 1000));
    if (ms > 0 && SDL_WaitEventTimeout(&e, ms)) {
        if (e.type != wakeEvent_) handled |= handle(e);
    }
    while (SDL_PollEvent(&e))
        if (e.type != wakeEvent_) handled |= handle(e);
    if (!Clock::isFixedStep()) {
        const double offset = wallSeconds() - Clock::now();
        if (std::fabs(offset - wallOffset_) > 2.0 && app_->delegate()) {
            app_->delegate()->applicationSignificantTimeChange(app_);
            handled = true;
        }
        wallOffset_ = offset;
    }
    return handled;
}

bool WindowEvents::handleWindowEvent(const SDL_Event& e) {
    ApplicationDelegate* d = app_->delegate();
    switch (e.window.event) {
        case SDL_WINDOWEVENT_FOCUS_LOST: if (d) d->applicationWillResignActive(app_); return true;
        case SDL_WINDOWEVENT_FOCUS_GAINED: if (d) d->applicationDidBecomeActive(app_); return true;
        case SDL_WINDOWEVENT_MINIMIZED:
            if (minimized_) return false;
            minimized_ = true;
            log("application: the window is minimised; entering the background");
            if (d) d->applicationDidEnterBackground(app_);
            return true;
        case SDL_WINDOWEVENT_RESTORED:
            // Also sent when a maximised window is restored: only a window
            // coming back from the background counts.
            if (!minimized_) return false;
            minimized_ = false;
            log("application: the window is restored; entering the foreground");
            if (d) d->applicationWillEnterForeground(app_);
            return true;
        case SDL_WINDOWEVENT_CLOSE: app_->terminate(); return true;
        default: return false;
    }
}

bool WindowEvents::handle(const SDL_Event& e) {
    AccelerometerInput::shared().handleEvent(e);
    switch (e.type) {
        case SDL_QUIT: app_->terminate(); return true;
        case SDL_WINDOWEVENT: return handleWindowEvent(e);
        case SDL_KEYDOWN:
            if (e.key.keysym.sym == SDLK_F11)
                Display::shared().toggleFullscreen();
            else if (!e.key.repeat)
                app_->deliverKey(int(e.key.keysym.sym));
            return true;
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP:
        case SDL_MOUSEMOTION: {
            if (e.type == SDL_MOUSEMOTION && !(e.motion.state & SDL_BUTTON_LMASK)) return false;
            if (e.type != SDL_MOUSEMOTION && e.button.button != SDL_BUTTON_LEFT) return false;
            const int x = e.type == SDL_MOUSEMOTION ? e.motion.x : e.button.x;
            const int y = e.type == SDL_MOUSEMOTION ? e.motion.y : e.button.y;
            float ix = 0, iy = 0;
            Display::shared().windowToInterface(x, y, &ix, &iy);
            app_->deliverPointer(-1, pointerPhase(e.type), ix, iy, Clock::now());
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
            app_->deliverPointer(static_cast<long long>(e.tfinger.fingerId), pointerPhase(e.type), ix, iy,
                                 Clock::now());
            return true;
        }
        default: return false;
    }
}

}  // namespace host
