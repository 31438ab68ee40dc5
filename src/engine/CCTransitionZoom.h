// Transitions that scale the scenes about their centres (or, for the
// shrink-grow, about points a third of the way in from each side).
#pragma once

#include "engine/CCTransition.h"

// The outgoing scene spins twice while shrinking to nothing; then the
// incoming scene does the reverse.
class CCTransitionRotoZoom : public CCTransitionScene {
public:
    CC_TRANSITION_FACTORY(CCTransitionRotoZoom)
    void onEnter() override;

protected:
    ~CCTransitionRotoZoom() override = default;
};

// The outgoing scene shrinks to half size and jumps out to the left; the
// incoming scene jumps in from the right at half size and grows.
class CCTransitionJumpZoom : public CCTransitionScene {
public:
    CC_TRANSITION_FACTORY(CCTransitionJumpZoom)
    void onEnter() override;

protected:
    ~CCTransitionJumpZoom() override = default;
};

// The outgoing scene shrinks towards its left third while the incoming
// scene grows from its right third.
class CCTransitionShrinkGrow : public CCTransitionScene {
public:
    CC_TRANSITION_FACTORY(CCTransitionShrinkGrow)
    void onEnter() override;

protected:
    ~CCTransitionShrinkGrow() override = default;
    // An ease-out of rate 2.
    virtual CCActionInterval* easeActionWithAction(CCActionInterval* action);
};
