// A transition that captures both scenes into textures and blends from the
// outgoing picture to the incoming one. Only the captures are drawn while
// it runs, so neither scene moves on screen meanwhile.
#pragma once

#include "engine/CCTransition.h"

class CCTransitionCrossFade : public CCTransitionScene {
public:
    CC_TRANSITION_FACTORY(CCTransitionCrossFade)

    // Captures the scenes and starts the fade. Should the GL refuse the
    // capture textures (logged), the scenes are drawn as they are and the
    // incoming one shows at the end of the duration.
    void onEnter() override;
    void onExit() override;
    // Nothing: the layer of captures (a child) is the whole picture.
    void draw() override;

protected:
    ~CCTransitionCrossFade() override = default;

private:
    bool captured_ = false;
};
