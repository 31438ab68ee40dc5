// A page turn: the outgoing scene curls away like a page, uncovering the
// incoming scene; backwards, the incoming scene uncurls over the outgoing
// one. Runs once and leaves no grid active.
#pragma once

#include "engine/CCTransitionGrid.h"

class CCTransitionPageTurn : public CCGridTransitionScene {
public:
    // Forwards.
    CC_TRANSITION_FACTORY(CCTransitionPageTurn)
    static CCTransitionPageTurn* transitionWithDuration(ccTime duration, CCScene* scene, bool backwards);
    bool initWithDuration(ccTime duration, CCScene* scene) override;
    bool initWithDuration(ccTime duration, CCScene* scene, bool backwards);

    void onEnter() override;
    // The page turn over the whole duration on a grid of `size`, played
    // backwards in time for a backwards turn.
    virtual CCActionInterval* actionWithSize(ccGridSize size);

    bool backwards() const { return back_; }

protected:
    ~CCTransitionPageTurn() override = default;
    // Forwards the outgoing page lies on top; backwards the incoming one.
    void sceneOrder() override { inSceneOnTop_ = back_; }

    bool back_ = false;
};
