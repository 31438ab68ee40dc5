// Support for the menu and transition tests: a director fixture whose
// frames advance by exactly 1/60 s, fingers that press the screen the way
// the host delivers a mouse (through host::Application::deliverPointer, so
// every touch takes the real path GL view -> touch dispatcher -> menu), a
// target that records the actions it was sent, and a layer that records the
// touches that reach it.
#pragma once

#include <string>
#include <vector>

#include "RenderFixture.h"
#include "engine/CCDirector.h"
#include "engine/CCLayer.h"
#include "engine/CCMenu.h"
#include "engine/platform/CCTouchDispatcher.h"
#include "host/core/Application.h"
#include "host/core/Clock.h"

class MenuFixture : public RenderFixture {
protected:
    void SetUp() override {
        host::Clock::setFixedStep(true);
        RenderFixture::SetUp();
        frame();  // the fixture's scene is now running
    }
    void TearDown() override {
        RenderFixture::TearDown();
        host::Clock::setFixedStep(false);
    }
    void frames(int n) {
        for (int i = 0; i < n; ++i) frame();
    }
};

// One finger (or the mouse) pressing GL points of the window as the player
// sees it: x to the right, y up from the bottom edge.
class Finger {
public:
    explicit Finger(long long id = -1) : id_(id) {}
    void down(CGPoint p) { deliver(host::TouchPhase::Began, p); }
    void move(CGPoint p) { deliver(host::TouchPhase::Moved, p); }
    void up(CGPoint p) { deliver(host::TouchPhase::Ended, p); }
    void cancel(CGPoint p) { deliver(host::TouchPhase::Cancelled, p); }
    void tap(CGPoint p) {
        down(p);
        up(p);
    }

private:
    // Interface points have their origin at the top left of what the
    // player sees; GL points at the bottom left.
    void deliver(host::TouchPhase phase, CGPoint p) {
        float height = CCDirector::sharedDirector()->winSize().height;
        host::Application::sharedApplication()->deliverPointer(id_, phase, p.x, height - p.y, time_ += 0.05);
    }
    long long id_;
    double time_ = 0;
};

// The target of menu item actions: records who pressed what.
class PressRecorder : public host::Object {
public:
    bool init() { return true; }
    static PressRecorder* make() { return host::create<PressRecorder>(); }

    void pressed(host::Object* sender) { senders.push_back(sender); }
    void pressedWithoutSender() { ++plainPresses; }

    std::vector<host::Object*> senders;
    int plainPresses = 0;
};

// A touch-enabled layer (a standard delegate at priority 0) that records
// how many touches of each phase reached it.
class RecordingLayer : public CCLayer {
public:
    static RecordingLayer* make() {
        RecordingLayer* l = host::create<RecordingLayer>();
        l->setIsTouchEnabled(true);
        return l;
    }
    void ccTouchesBegan(host::TouchSet* t, host::Event*) override { began += static_cast<int>(t->count()); }
    void ccTouchesEnded(host::TouchSet* t, host::Event*) override { ended += static_cast<int>(t->count()); }
    int implementedTouchesCallbacks() const override { return kCCTouchBeganBit | kCCTouchEndedBit; }

    int began = 0;
    int ended = 0;
};

// How many targeted registrations the dispatcher holds for `delegate`.
inline size_t targetedRegistrations(host::Object* delegate) {
    size_t n = 0;
    for (const auto& h : CCTouchDispatcher::sharedDispatcher()->targetedHandlers())
        if (h->delegate() == delegate) ++n;
    return n;
}

// A plain item of a given size, without an action.
inline CCMenuItem* sizedItem(float w, float h, host::Object* target = nullptr,
                             CCMenuSelector selector = CCMenuSelector()) {
    CCMenuItem* item = CCMenuItem::itemWithTarget(target, selector);
    item->setContentSize(CGSizeMake(w, h));
    return item;
}
