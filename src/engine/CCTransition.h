// CCTransitionScene: a scene the director runs for a while in place of
// the next scene. It holds the outgoing scene (the one running when the
// transition was made) and the incoming one, draws both while its actions
// move, scale, rotate or fade them, and then asks the director to replace
// it by the incoming scene. Touch dispatch is off from the transition's
// creation until that hand-over.
//
// The two scenes are not children: the transition passes them its own
// onEnter, onExit, cleanup and drawing. Because the director leaves the
// outgoing scene running when a transition comes in, and does not enter
// the incoming scene again when the transition goes, each scene gets
// exactly one onEnter / onExit pair across the change.
#pragma once

#include "engine/CCScene.h"
#include "host/core/Ref.h"

class CCActionInterval;
class CCFiniteTimeAction;

class CCTransitionScene : public CCScene {
public:
    static CCTransitionScene* transitionWithDuration(ccTime duration, CCScene* scene);
    // `scene` comes in; the director's running scene (if any) goes out.
    virtual bool initWithDuration(ccTime duration, CCScene* scene);

    bool isTransitionScene() const override { return true; }

    // Enters the incoming scene too.
    void onEnter() override;
    // Exits the outgoing scene and tells the incoming one that it is now
    // in place.
    void onExit() override;
    // Cleans the outgoing scene up when the transition was installed by a
    // replace rather than a push.
    void cleanup() override;
    // Draws both scenes, in the order the subclass chose.
    void draw() override;

    // Called by the subclass's actions at the end of the effect: puts both
    // scenes back in their rest state and hands over later in this tick.
    void finish();
    void hideOutShowIn();
    // The scheduled hand-over: replace this transition by the incoming scene
    // and switch touch dispatch back on.
    void setNewScene(ccTime dt);

    CCScene* inScene() const { return inScene_.get(); }
    CCScene* outScene() const { return outScene_.get(); }
    ccTime duration() const { return duration_; }
    bool inSceneOnTop() const { return inSceneOnTop_; }

protected:
    ~CCTransitionScene() override = default;

    // Sets inSceneOnTop_ (YES here: the incoming scene is drawn last).
    virtual void sceneOrder() { inSceneOnTop_ = true; }

    // An instant action that calls finish on this transition.
    CCFiniteTimeAction* finishAction();
    // Runs `effect` and then finish on the outgoing scene. Without an
    // outgoing scene the transition waits as long itself, so that it still
    // hands over.
    void runOnOutSceneThenFinish(CCFiniteTimeAction* effect);

    template <class T> static T* transitionOf(ccTime duration, CCScene* scene) {
        return host::create<T>([&](T* t) { return t->initWithDuration(duration, scene); });
    }

    host::Ref<CCScene> inScene_;
    host::Ref<CCScene> outScene_;
    ccTime duration_ = 0;
    bool inSceneOnTop_ = true;
    bool sendCleanupToScene_ = false;
};

// Every transition class has a factory returning its own type.
#define CC_TRANSITION_FACTORY(Class)                                    \
    static Class* transitionWithDuration(ccTime duration, CCScene* scene) { \
        return transitionOf<Class>(duration, scene);                    \
    }
