// A test fixture for grid actions: a node in the running scene that an
// action starts on, stepped to chosen progress by hand, and its grid.
#pragma once

#include "MenuTestSupport.h"
#include "engine/CCGrid.h"
#include "engine/CCNode.h"

class GridActionFixture : public MenuFixture {
protected:
    // Starts `action` on a fresh node of the scene.
    template <class A> A* startOn(A* action) {
        node_ = CCNode::node();
        scene_->addChild(node_);
        action->startWithTarget(node_);
        return action;
    }
    CCTiledGrid3D* tiles() const { return dynamic_cast<CCTiledGrid3D*>(node_->grid()); }
    CCGrid3D* lattice() const { return dynamic_cast<CCGrid3D*>(node_->grid()); }

    CCNode* node_ = nullptr;
};
