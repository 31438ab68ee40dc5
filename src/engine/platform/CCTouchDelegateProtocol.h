// The touch protocols.
//
// A delegate is a host::Object that also derives from one of these
// protocols; the dispatcher reaches the object with dynamic_cast to retain
// it and to compare delegates by identity. Optional callbacks have empty
// bodies, and a delegate announces the ones it really implements through
// the bit mask it returns (1 began, 2 moved, 4 ended, 8 cancelled).
#pragma once

#include "host/ui/Touch.h"

enum {
    kCCTouchBeganBit = 1,
    kCCTouchMovedBit = 2,
    kCCTouchEndedBit = 4,
    kCCTouchCancelledBit = 8,
};

// Gets one touch at a time; claims it by returning true from ccTouchBegan.
class CCTargetedTouchDelegate {
public:
    virtual ~CCTargetedTouchDelegate() = default;

    virtual bool ccTouchBegan(host::Touch* touch, host::Event* event) = 0;
    virtual void ccTouchMoved(host::Touch*, host::Event*) {}
    virtual void ccTouchEnded(host::Touch*, host::Event*) {}
    virtual void ccTouchCancelled(host::Touch*, host::Event*) {}

    // Bits of the callbacks this delegate implements; began is required.
    virtual int implementedTouchCallbacks() const { return kCCTouchBeganBit; }
};

// Gets the whole set of touches of each event.
class CCStandardTouchDelegate {
public:
    virtual ~CCStandardTouchDelegate() = default;

    virtual void ccTouchesBegan(host::TouchSet*, host::Event*) {}
    virtual void ccTouchesMoved(host::TouchSet*, host::Event*) {}
    virtual void ccTouchesEnded(host::TouchSet*, host::Event*) {}
    virtual void ccTouchesCancelled(host::TouchSet*, host::Event*) {}

    // Bits of the callbacks this delegate implements.
    virtual int implementedTouchesCallbacks() const { return 0; }
};

// What the GL view forwards its touch events to.
class EAGLTouchDelegate {
public:
    virtual ~EAGLTouchDelegate() = default;

    virtual void touchesBegan(host::TouchSet* touches, host::Event* event) = 0;
    virtual void touchesMoved(host::TouchSet* touches, host::Event* event) = 0;
    virtual void touchesEnded(host::TouchSet* touches, host::Event* event) = 0;
    virtual void touchesCancelled(host::TouchSet* touches, host::Event* event) = 0;
};
