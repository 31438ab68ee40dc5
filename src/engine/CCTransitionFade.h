// A transition through a solid colour: a layer of that colour fades in
// over the outgoing scene, the scenes swap behind it, and it fades out over
// the incoming scene.
#pragma once

#include "engine/CCTransition.h"
#include "engine/ccTypes.h"

// The tag of the fading layer among the transition's children.
constexpr int kSceneFade = static_cast<int>(0xFADEFADEu);

class CCTransitionFade : public CCTransitionScene {
public:
    CC_TRANSITION_FACTORY(CCTransitionFade)
    static CCTransitionFade* transitionWithDuration(ccTime duration, CCScene* scene, ccColor3B color);
    // Through black.
    bool initWithDuration(ccTime duration, CCScene* scene) override;
    bool initWithDuration(ccTime duration, CCScene* scene, ccColor3B color);

    void onEnter() override;
    void onExit() override;

    // The colour faded through; its alpha is 0 (the layer starts clear).
    ccColor4B color() const { return color_; }

protected:
    ~CCTransitionFade() override = default;

private:
    ccColor4B color_{0, 0, 0, 0};
};
