// A layer for samples that follow one finger: it takes every touch that
// reaches it (targeted, priority 0) and reports where the finger goes, in
// GL points.
#pragma once

#include "engine/CCDirector.h"
#include "engine/CCLayer.h"
#include "engine/platform/CCTouchDispatcher.h"
#include "host/ui/Touch.h"

class FingerLayer : public CCLayer {
public:
    void registerWithTouchDispatcher() override {
        CCTouchDispatcher::sharedDispatcher()->addTargetedDelegate(this, 0, true);
    }
    int implementedTouchCallbacks() const override {
        return kCCTouchBeganBit | kCCTouchMovedBit | kCCTouchEndedBit | kCCTouchCancelledBit;
    }
    bool ccTouchBegan(host::Touch* touch, host::Event*) override {
        fingerDown(location(touch, false));
        return true;
    }
    void ccTouchMoved(host::Touch* touch, host::Event*) override {
        fingerMoved(location(touch, true), location(touch, false));
    }
    void ccTouchEnded(host::Touch*, host::Event*) override { fingerUp(); }
    void ccTouchCancelled(host::Touch*, host::Event*) override { fingerUp(); }

protected:
    virtual void fingerDown(CGPoint at) = 0;
    virtual void fingerMoved(CGPoint from, CGPoint to) = 0;
    virtual void fingerUp() = 0;

private:
    static CGPoint location(host::Touch* touch, bool previous) {
        const CGPoint p = previous ? touch->previousLocationInView(touch->view()) : touch->locationInView(touch->view());
        return CCDirector::sharedDirector()->convertToGL(p);
    }
};
