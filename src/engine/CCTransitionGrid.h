// Transitions drawn through a grid: the outgoing scene's tiles turn off
// in a random order or fade out from one side, or the window splits into
// sliding columns or rows that come back with the incoming scene.
//
// Each runs its effect once, then hands over (finish) and switches off the
// grid the effect installed, so no grid is left active.
#pragma once

#include "engine/CCTransition.h"
#include "engine/ccTypes.h"

class CCActionInterval;

// What the grid transitions share.
class CCGridTransitionScene : public CCTransitionScene {
protected:
    ~CCGridTransitionScene() override = default;
    // Runs the effect on `node`, then finish, then switches the node's
    // grid off. Without a node (no outgoing scene) the transition still
    // hands over when the effect would have ended.
    void runGridEffect(CCNode* node, CCFiniteTimeAction* effect);
    // The tile grid of the tile transitions: 12 rows, and as many columns
    // as the window's shape gives square-ish tiles.
    static ccGridSize tileGridSize();
};

// The outgoing scene's tiles turn off one by one (always in the same
// order), uncovering the incoming scene beneath.
class CCTransitionTurnOffTiles : public CCGridTransitionScene {
public:
    CC_TRANSITION_FACTORY(CCTransitionTurnOffTiles)
    void onEnter() override;
    // No easing: the action as it is.
    virtual CCActionInterval* easeActionWithAction(CCActionInterval* action);

protected:
    ~CCTransitionTurnOffTiles() override = default;
    void sceneOrder() override { inSceneOnTop_ = false; }
};

// The outgoing scene splits into three columns sliding up and down out of
// the window; they come back with the incoming scene on them.
class CCTransitionSplitCols : public CCGridTransitionScene {
public:
    CC_TRANSITION_FACTORY(CCTransitionSplitCols)
    void onEnter() override;
    // The split over half the duration.
    virtual CCActionInterval* action();
    // An ease-in-out of rate 3.
    virtual CCActionInterval* easeActionWithAction(CCActionInterval* action);

protected:
    ~CCTransitionSplitCols() override = default;
};

// The same with three rows sliding left and right.
class CCTransitionSplitRows : public CCTransitionSplitCols {
public:
    CC_TRANSITION_FACTORY(CCTransitionSplitRows)
    CCActionInterval* action() override;

protected:
    ~CCTransitionSplitRows() override = default;
};

// The outgoing scene's tiles shrink away from the bottom-left corner
// towards the top-right one, uncovering the incoming scene beneath.
class CCTransitionFadeTR : public CCGridTransitionScene {
public:
    CC_TRANSITION_FACTORY(CCTransitionFadeTR)
    void onEnter() override;
    // The fading effect on a grid of `size` over the whole duration.
    virtual CCActionInterval* actionWithSize(ccGridSize size);
    // No easing: the action as it is.
    virtual CCActionInterval* easeActionWithAction(CCActionInterval* action);

protected:
    ~CCTransitionFadeTR() override = default;
    void sceneOrder() override { inSceneOnTop_ = false; }
};

// From the top-right corner towards the bottom-left one.
class CCTransitionFadeBL : public CCTransitionFadeTR {
public:
    CC_TRANSITION_FACTORY(CCTransitionFadeBL)
    CCActionInterval* actionWithSize(ccGridSize size) override;

protected:
    ~CCTransitionFadeBL() override = default;
};

// Row by row from the bottom up.
class CCTransitionFadeUp : public CCTransitionFadeTR {
public:
    CC_TRANSITION_FACTORY(CCTransitionFadeUp)
    CCActionInterval* actionWithSize(ccGridSize size) override;

protected:
    ~CCTransitionFadeUp() override = default;
};

// Row by row from the top down.
class CCTransitionFadeDown : public CCTransitionFadeTR {
public:
    CC_TRANSITION_FACTORY(CCTransitionFadeDown)
    CCActionInterval* actionWithSize(ccGridSize size) override;

protected:
    ~CCTransitionFadeDown() override = default;
};
