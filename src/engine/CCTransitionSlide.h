// Transitions that move scenes across the window.
//
// Move-ins: the incoming scene starts just outside one edge and moves in
// over the outgoing scene, which stays still.
// Slide-ins: both scenes move together, the incoming one pushing the
// outgoing one out at the opposite edge. They overlap by half a point so
// no seam shows between them.
//
// Each family places the incoming scene (initScenes), builds its movement
// (action) and eases it (easeActionWithAction: an ease-out of rate 2).
#pragma once

#include "engine/CCTransition.h"

class CCTransitionMoveInL : public CCTransitionScene {
public:
    CC_TRANSITION_FACTORY(CCTransitionMoveInL)
    void onEnter() override;

protected:
    ~CCTransitionMoveInL() override = default;
    // The incoming scene at (-w, 0).
    virtual void initScenes();
    // A move to (0, 0) over the whole duration.
    virtual CCActionInterval* action();
    virtual CCActionInterval* easeActionWithAction(CCActionInterval* action);
};

// From the right edge.
class CCTransitionMoveInR : public CCTransitionMoveInL {
public:
    CC_TRANSITION_FACTORY(CCTransitionMoveInR)

protected:
    ~CCTransitionMoveInR() override = default;
    void initScenes() override;
};

// From the top edge.
class CCTransitionMoveInT : public CCTransitionMoveInL {
public:
    CC_TRANSITION_FACTORY(CCTransitionMoveInT)

protected:
    ~CCTransitionMoveInT() override = default;
    void initScenes() override;
};

// From the bottom edge.
class CCTransitionMoveInB : public CCTransitionMoveInL {
public:
    CC_TRANSITION_FACTORY(CCTransitionMoveInB)

protected:
    ~CCTransitionMoveInB() override = default;
    void initScenes() override;
};

// The incoming scene enters from the left, drawn under the outgoing one.
class CCTransitionSlideInL : public CCTransitionScene {
public:
    CC_TRANSITION_FACTORY(CCTransitionSlideInL)
    void onEnter() override;

protected:
    ~CCTransitionSlideInL() override = default;
    void sceneOrder() override { inSceneOnTop_ = false; }
    virtual void initScenes();
    // A new move by the slide's offset; one for each scene.
    virtual CCActionInterval* action();
    virtual CCActionInterval* easeActionWithAction(CCActionInterval* action);

    // The distance both scenes travel: the window's extent less the overlap.
    static float slideWidth();
    static float slideHeight();
};

// From the right, drawn over the outgoing scene.
class CCTransitionSlideInR : public CCTransitionSlideInL {
public:
    CC_TRANSITION_FACTORY(CCTransitionSlideInR)

protected:
    ~CCTransitionSlideInR() override = default;
    void sceneOrder() override { inSceneOnTop_ = true; }
    void initScenes() override;
    CCActionInterval* action() override;
};

// From the top, drawn under the outgoing scene.
class CCTransitionSlideInT : public CCTransitionSlideInL {
public:
    CC_TRANSITION_FACTORY(CCTransitionSlideInT)

protected:
    ~CCTransitionSlideInT() override = default;
    void sceneOrder() override { inSceneOnTop_ = false; }
    void initScenes() override;
    CCActionInterval* action() override;
};

// From the bottom, drawn over the outgoing scene.
class CCTransitionSlideInB : public CCTransitionSlideInL {
public:
    CC_TRANSITION_FACTORY(CCTransitionSlideInB)

protected:
    ~CCTransitionSlideInB() override = default;
    void sceneOrder() override { inSceneOnTop_ = true; }
    void initScenes() override;
    CCActionInterval* action() override;
};
