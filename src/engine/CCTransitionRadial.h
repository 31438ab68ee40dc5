// Transitions that capture the outgoing scene and sweep it away like a
// clock hand, uncovering the incoming scene beneath: the capture is shown
// through a radial progress timer running from 100 % to 0 %.
#pragma once

#include "engine/CCTransition.h"

// The tag of the sweeping progress timer among the transition's children.
constexpr int kSceneRadial = 0xC001;

// Sweeps counter-clockwise.
class CCTransitionRadialCCW : public CCTransitionScene {
public:
    CC_TRANSITION_FACTORY(CCTransitionRadialCCW)

    // Should the GL refuse the capture texture (logged), the incoming scene
    // simply shows for the duration.
    void onEnter() override;
    void onExit() override;

protected:
    ~CCTransitionRadialCCW() override = default;
    // The incoming scene is drawn first; the outgoing one (hidden) over it.
    void sceneOrder() override { inSceneOnTop_ = false; }
    // The progress timer type of the sweep.
    virtual int radialType() const;
};

// Sweeps clockwise.
class CCTransitionRadialCW : public CCTransitionRadialCCW {
public:
    CC_TRANSITION_FACTORY(CCTransitionRadialCW)

protected:
    ~CCTransitionRadialCW() override = default;
    int radialType() const override;
};
