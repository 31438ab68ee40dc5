// CCScene: the root node of what the director runs. It covers the window:
// at position (0, 0) its content size is the window size, and rotation or
// scale pivot about the window centre.
#pragma once

#include "engine/CCNode.h"

class CCScene : public CCNode {
public:
    static CCScene* node() { return host::create<CCScene>(); }
    bool init() override;
    // Transition scenes say so; the director then keeps the outgoing scene
    // running while the transition draws it.
    virtual bool isTransitionScene() const { return false; }
};
