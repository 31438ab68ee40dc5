#include "MapScroller.h"

#include <algorithm>

#include "engine/CCDirector.h"
#include "host/ui/Touch.h"

namespace {

// The position along one axis that keeps [origin, origin + size) of the
// map over [0, window).
float clampAxis(float position, float origin, float size, float window) {
    if (size <= window) return (window - size) / 2 - origin;
    return std::min(-origin, std::max(window - origin - size, position));
}

}  // namespace

MapScroller* MapScroller::scrollerWithMap(CCNode* map, CGRect extent, CGPoint start) {
    return host::create<MapScroller>([&](MapScroller* s) { return s->initWithMap(map, extent, start); });
}

bool MapScroller::initWithMap(CCNode* map, CGRect extent, CGPoint start) {
    if (!init() || !map) return false;
    map_ = map;
    extent_ = extent;
    addChild(map);
    centreOn(start);
    setIsTouchEnabled(true);
    return true;
}

void MapScroller::centreOn(CGPoint point) {
    const CGSize win = CCDirector::sharedDirector()->winSize();
    moveMapTo(CGPointMake(win.width / 2 - point.x, win.height / 2 - point.y));
}

void MapScroller::moveMapTo(CGPoint position) {
    const CGSize win = CCDirector::sharedDirector()->winSize();
    map_->setPosition(CGPointMake(clampAxis(position.x, extent_.origin.x, extent_.size.width, win.width),
                                  clampAxis(position.y, extent_.origin.y, extent_.size.height, win.height)));
}

void MapScroller::ccTouchesMoved(host::TouchSet* touches, host::Event*) {
    for (const host::Ref<host::Touch>& touch : *touches) {
        CCDirector* director = CCDirector::sharedDirector();
        const CGPoint now = director->convertToGL(touch->locationInView(touch->view()));
        const CGPoint before = director->convertToGL(touch->previousLocationInView(touch->view()));
        const CGPoint at = map_->position();
        moveMapTo(CGPointMake(at.x + now.x - before.x, at.y + now.y - before.y));
        return;  // one finger drags
    }
}
