// A layer that scrolls a map by dragging: the map follows the finger and
// stays over the window (a map smaller than the window is centred).
#pragma once

#include "engine/CCLayer.h"

class MapScroller : public CCLayer {
public:
    // `extent` is the area the map draws, in its own points (a hexagonal
    // or isometric map reaches past its content size); `start` is the
    // map point that begins at the window's centre.
    static MapScroller* scrollerWithMap(CCNode* map, CGRect extent, CGPoint start);
    bool initWithMap(CCNode* map, CGRect extent, CGPoint start);

    void ccTouchesMoved(host::TouchSet* touches, host::Event* event) override;
    int implementedTouchesCallbacks() const override { return kCCTouchMovedBit; }
    // Moves the map to show `point` of it at the window's centre, as far as
    // the extent allows.
    void centreOn(CGPoint point);

private:
    void moveMapTo(CGPoint position);

    CCNode* map_ = nullptr;  // a child: kept alive by this layer
    CGRect extent_{};
};
