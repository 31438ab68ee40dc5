// A page curling away: the lattice rolls round a cone whose apex sinks
// below the bottom edge, from the right-hand side, until nothing of the
// page is left. The raised part stays in front of the page beneath it.
#pragma once

#include "engine/CCActionGrid.h"

class CCPageTurn3D : public CCGrid3DAction {
public:
    CC_GRID_ACTION_FACTORY(CCPageTurn3D)
    void update(ccTime t) override;

protected:
    ~CCPageTurn3D() override = default;
    CCPageTurn3D* makeCopy() const override { return sizedCopy<CCPageTurn3D>(); }
};
