// Transitions that turn the scenes in depth with an orbiting camera: the
// outgoing scene turns edge-on over the first half, then the incoming
// scene turns from edge-on to face the player over the second half. The
// zoom flips also shrink the outgoing scene to half size on its way out
// and grow the incoming one back from half size.
//
// Which way they turn is the orientation (0 or 1): for the horizontal
// flips 0 turns the outgoing scene's right edge away from the player and 1
// its left edge; for the vertical flips 0 turns its top edge away and 1 its
// bottom edge; the angular flips turn about a diagonal, one way or the
// other.
#pragma once

#include "engine/CCTransition.h"

class CCTransitionSceneOriented : public CCTransitionScene {
public:
    CC_TRANSITION_FACTORY(CCTransitionSceneOriented)
    static CCTransitionSceneOriented* transitionWithDuration(ccTime duration, CCScene* scene, int orientation);
    // Orientation 0.
    bool initWithDuration(ccTime duration, CCScene* scene) override;
    virtual bool initWithDuration(ccTime duration, CCScene* scene, int orientation);

    int orientation() const { return orientation_; }

protected:
    ~CCTransitionSceneOriented() override = default;

    template <class T> static T* orientedTransitionOf(ccTime duration, CCScene* scene, int orientation) {
        return host::create<T>([&](T* t) { return t->initWithDuration(duration, scene, orientation); });
    }

    // The flips' effect. The camera starts at angle Z 270 and turns by 90
    // when `turnsBack`, else starts at 90 and turns by -90; the incoming and
    // outgoing cameras sit at the given angles X.
    void flipScenes(bool turnsBack, float inAngleX, float outAngleX, bool zoom);

    int orientation_ = 0;
};

// Every oriented transition has both factories, returning its own type.
#define CC_ORIENTED_TRANSITION_FACTORY(Class)                                                   \
    CC_TRANSITION_FACTORY(Class)                                                                \
    static Class* transitionWithDuration(ccTime duration, CCScene* scene, int orientation) {    \
        return orientedTransitionOf<Class>(duration, scene, orientation);                       \
    }

// About the vertical axis.
class CCTransitionFlipX : public CCTransitionSceneOriented {
public:
    CC_ORIENTED_TRANSITION_FACTORY(CCTransitionFlipX)
    void onEnter() override;

protected:
    ~CCTransitionFlipX() override = default;
};

// About the horizontal axis.
class CCTransitionFlipY : public CCTransitionSceneOriented {
public:
    CC_ORIENTED_TRANSITION_FACTORY(CCTransitionFlipY)
    void onEnter() override;

protected:
    ~CCTransitionFlipY() override = default;
};

// About a diagonal.
class CCTransitionFlipAngular : public CCTransitionSceneOriented {
public:
    CC_ORIENTED_TRANSITION_FACTORY(CCTransitionFlipAngular)
    void onEnter() override;

protected:
    ~CCTransitionFlipAngular() override = default;
};

class CCTransitionZoomFlipX : public CCTransitionSceneOriented {
public:
    CC_ORIENTED_TRANSITION_FACTORY(CCTransitionZoomFlipX)
    void onEnter() override;

protected:
    ~CCTransitionZoomFlipX() override = default;
};

class CCTransitionZoomFlipY : public CCTransitionSceneOriented {
public:
    CC_ORIENTED_TRANSITION_FACTORY(CCTransitionZoomFlipY)
    void onEnter() override;

protected:
    ~CCTransitionZoomFlipY() override = default;
};

class CCTransitionZoomFlipAngular : public CCTransitionSceneOriented {
public:
    CC_ORIENTED_TRANSITION_FACTORY(CCTransitionZoomFlipAngular)
    void onEnter() override;

protected:
    ~CCTransitionZoomFlipAngular() override = default;
};
