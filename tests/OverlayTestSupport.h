// Support for the overlay view tests: a key window over a stand-in for the
// GL view (a view that records the touches it gets, in its portrait
// coordinates), a run loop driven in virtual time, clicks delivered the
// way the host delivers the mouse, and views that record their touches.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "host/core/Application.h"
#include "host/core/Clock.h"
#include "host/core/Object.h"
#include "host/core/RunLoop.h"
#include "host/ui/Touch.h"
#include "host/ui/TouchRouter.h"
#include "host/ui/View.h"
#include "host/ui/ViewAnimation.h"
#include "host/ui/Window.h"

inline ::testing::AssertionResult rectNear(CGRect a, CGRect e, float tol = 1e-3f) {
    auto off = [tol](float x, float y) { return std::fabs(x - y) > tol; };
    if (off(a.origin.x, e.origin.x) || off(a.origin.y, e.origin.y) || off(a.size.width, e.size.width) ||
        off(a.size.height, e.size.height))
        return ::testing::AssertionFailure() << "got (" << a.origin.x << ", " << a.origin.y << ", " << a.size.width
                                             << ", " << a.size.height << "), expected (" << e.origin.x << ", "
                                             << e.origin.y << ", " << e.size.width << ", " << e.size.height << ")";
    return ::testing::AssertionSuccess();
}

// A view that records the phases and locations of the touches it gets.
class TouchLog : public host::View {
public:
    static TouchLog* make(CGRect frame) {
        return host::create<TouchLog>([frame](TouchLog* v) { return v->initWithFrame(frame); });
    }
    void touchesBegan(host::TouchSet* t, host::Event*) override { record('b', t); }
    void touchesMoved(host::TouchSet* t, host::Event*) override { record('m', t); }
    void touchesEnded(host::TouchSet* t, host::Event*) override { record('e', t); }
    void touchesCancelled(host::TouchSet* t, host::Event*) override { record('c', t); }
    std::string phases;
    std::vector<CGPoint> locations;

private:
    void record(char phase, host::TouchSet* t) {
        phases += phase;
        host::Touch* touch = t->anyObject();
        locations.push_back(touch->locationInView(touch->view()));
    }
};

// Time in these tests is virtual: it moves only as the run loop reaches
// its next deadline (or the end of the span asked for).
inline void runFor(double seconds) {
    const double end = host::Clock::now() + seconds;
    while (host::Clock::now() < end - 1e-9) {
        const double before = host::Clock::now();
        const bool handled = host::RunLoop::main().runOnce(end - before);
        if (!handled && host::Clock::now() == before) host::Clock::advanceTo(end);
    }
    host::RunLoop::main().runOnce(0);
}

class OverlayFixture : public ::testing::Test {
protected:
    void SetUp() override {
        host::RunLoop::main().reset();
        host::ViewAnimator::shared().cancelAll();
        host::Clock::setFixedStep(true);
        app_ = host::Application::sharedApplication();
        app_->setStatusBarOrientation(host::InterfaceOrientation::LandscapeRight, false);
        // The window and the GL view keep the portrait bounds.
        window_ = host::Ref<host::Window>::adopt(host::createOwned<host::Window>(
            [](host::Window* w) { return w->initWithFrame(CGRectMake(0, 0, 320, 480)); }));
        surface_ = TouchLog::make(CGRectMake(0, 0, 320, 480));
        window_->addSubview(surface_);
        window_->makeKeyAndVisible();
        host::TouchRouter::shared().setTouchView(surface_);
    }
    void TearDown() override {
        host::ViewAnimator::shared().cancelAll();
        host::TouchRouter::shared().setTouchView(nullptr);
        app_->setStatusBarOrientation(host::InterfaceOrientation::Portrait, false);
        surface_ = nullptr;
        window_.reset();
        pool_.drain();
        host::RunLoop::main().reset();
        host::Clock::setFixedStep(false);
    }

    // A click at an interface point (origin top left as the player sees it).
    void click(float x, float y) {
        press(x, y);
        release(x, y);
    }
    void press(float x, float y) { app_->deliverPointer(-1, host::TouchPhase::Began, x, y, time_ += 0.05); }
    void drag(float x, float y) { app_->deliverPointer(-1, host::TouchPhase::Moved, x, y, time_ += 0.05); }
    void release(float x, float y) { app_->deliverPointer(-1, host::TouchPhase::Ended, x, y, time_ += 0.05); }
    // The centre of `v` in interface points.
    static CGPoint centreOf(const host::View* v) {
        const CGRect b = v->bounds();
        return v->convertPointTo(CGPointMake(b.origin.x + b.size.width / 2, b.origin.y + b.size.height / 2), nullptr);
    }
    void clickCentreOf(const host::View* v) {
        const CGPoint c = centreOf(v);
        click(c.x, c.y);
    }

    host::AutoreleasePool pool_;
    host::Application* app_ = nullptr;
    host::Ref<host::Window> window_;
    TouchLog* surface_ = nullptr;  // a subview of the window
    double time_ = 0;
};
