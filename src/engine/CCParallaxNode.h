// CCParallaxNode: a node whose children move at their own rates as the
// node, or any of its ancestors, moves: layered backgrounds.
//
// Each child has a ratio and an offset. Before every visit, once the sum of
// the positions of the node and its ancestors (P) has changed, a child is
// placed at P * ratio - P + offset in the node's space, so on the screen it
// sits at P * ratio + offset: ratio (1, 1) moves with the node like a plain
// child, ratio (0, 0) stays put at its offset. Only positions count;
// rotation and scale of the ancestors are not part of P.
#pragma once

#include "engine/CCNode.h"
#include "engine/Support/CCArray.h"
#include "host/core/Ref.h"

// A child's ratio and offset.
class CGPointObject : public host::Object {
public:
    static CGPointObject* pointWithCGPoint(CGPoint ratio, CGPoint offset);
    bool initWithCGPoint(CGPoint ratio, CGPoint offset);

    CGPoint ratio() const { return ratio_; }
    void setRatio(CGPoint ratio) { ratio_ = ratio; }
    CGPoint offset() const { return offset_; }
    void setOffset(CGPoint offset) { offset_ = offset; }
    // Not retained: the parallax node's children array holds the child.
    CCNode* child() const { return child_; }
    void setChild(CCNode* child) { child_ = child; }

private:
    CGPoint ratio_{0, 0};
    CGPoint offset_{0, 0};
    CCNode* child_ = nullptr;
};

class CCParallaxNode : public CCNode {
public:
    static CCParallaxNode* node() { return host::create<CCParallaxNode>(); }
    bool init() override;

    // Adds `child` with z and its own tag, moving at `ratio` of the node's
    // speed from `offset` (points).
    void addChild(CCNode* child, int z, CGPoint ratio, CGPoint offset);
    // Children need a ratio: this adds nothing (and says so in the log).
    using CCNode::addChild;
    void addChild(CCNode* child, int z, int tag) override;
    void removeChild(CCNode* child, bool cleanup) override;
    void removeAllChildrenWithCleanup(bool cleanup) override;
    void visit() override;

    // The node's position plus those of all its ancestors (points).
    CGPoint absolutePosition_();
    // The entries, one CGPointObject per child, in the order they were added.
    ccArray* parallaxArray() const { return parallaxArray_->data; }

protected:
    ~CCParallaxNode() override = default;

private:
    host::Ref<CCArray> parallaxArray_;
    // Where P was at the last placement; far from any real start, so the
    // first visit always places the children.
    CGPoint lastPosition{-100, -100};
};
