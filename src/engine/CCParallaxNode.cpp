#include "engine/CCParallaxNode.h"

#include "engine/ccMacros.h"
#include "host/core/Log.h"

// ---- CGPointObject ------------------------------------------------------------

CGPointObject* CGPointObject::pointWithCGPoint(CGPoint ratio, CGPoint offset) {
    return host::create<CGPointObject>([&](CGPointObject* p) { return p->initWithCGPoint(ratio, offset); });
}

bool CGPointObject::initWithCGPoint(CGPoint ratio, CGPoint offset) {
    ratio_ = ratio;
    offset_ = offset;
    child_ = nullptr;
    return true;
}

// ---- CCParallaxNode -----------------------------------------------------------

bool CCParallaxNode::init() {
    if (!CCNode::init()) return false;
    parallaxArray_ = CCArray::arrayWithCapacity(5);
    lastPosition = CGPointMake(-100, -100);
    return parallaxArray_ != nullptr;
}

void CCParallaxNode::addChild(CCNode* child, int z, CGPoint ratio, CGPoint offset) {
    CCAssert(child != nullptr, "Argument must be non-nil");
    CGPointObject* entry = CGPointObject::pointWithCGPoint(ratio, offset);
    entry->setChild(child);
    parallaxArray_->addObject(entry);
    const CGPoint p = position_;
    child->setPosition(CGPointMake(p.x * ratio.x + offset.x, p.y * ratio.y + offset.y));
    CCNode::addChild(child, z, child->tag());
}

void CCParallaxNode::addChild(CCNode*, int, int) {
    host::log("engine: CCParallaxNode: a child added without a ratio is ignored; "
              "use addChild(child, z, ratio, offset)");
}

void CCParallaxNode::removeChild(CCNode* child, bool cleanup) {
    ccArray* entries = parallaxArray_->data;
    for (unsigned i = 0; i < entries->count; ++i) {
        if (static_cast<CGPointObject*>(entries->items[i])->child() == child) {
            ccArrayRemoveObjectAtIndex(entries, i);
            break;
        }
    }
    CCNode::removeChild(child, cleanup);
}

void CCParallaxNode::removeAllChildrenWithCleanup(bool cleanup) {
    parallaxArray_->removeAllObjects();
    CCNode::removeAllChildrenWithCleanup(cleanup);
}

CGPoint CCParallaxNode::absolutePosition_() {
    CGPoint p = position_;
    for (CCNode* n = parent_; n; n = n->parent()) {
        const CGPoint q = n->position();
        p.x += q.x;
        p.y += q.y;
    }
    return p;
}

void CCParallaxNode::visit() {
    const CGPoint p = absolutePosition_();
    if (p.x != lastPosition.x || p.y != lastPosition.y) {
        ccArray* entries = parallaxArray_->data;
        for (unsigned i = 0; i < entries->count; ++i) {
            const CGPointObject* entry = static_cast<CGPointObject*>(entries->items[i]);
            const CGPoint r = entry->ratio(), o = entry->offset();
            entry->child()->setPosition(CGPointMake(p.x * r.x - p.x + o.x, p.y * r.y - p.y + o.y));
        }
        lastPosition = p;
    }
    CCNode::visit();
}
