// CCSprite inside a CCSpriteBatchNode: the quad in the batch node's space,
// dirty marking, and keeping the atlas in step when children change.
#include <cmath>

#include "engine/CCSprite.h"
#include "engine/CCSpriteBatchNode.h"
#include "engine/CCTexture2D.h"
#include "engine/CCTextureAtlas.h"
#include "engine/ccMacros.h"

namespace {

constexpr float kDegToRad = 0.017453292f;

// The part of a node's placement that `honour` lets through, applied to a
// point as: minus anchor, scale, skew, rotation, position. With all bits
// set this is exactly the node-to-parent transform of a relative-anchored
// node, so a sprite looks the same inside a batch as outside one.
CGAffineTransform placement(const ccTransformValues& v, int32_t honour) {
    CGAffineTransform t = CGAffineTransformIdentity;
    if (honour & CC_HONOR_PARENT_TRANSFORM_TRANSLATE) t = CGAffineTransformTranslate(t, v.pos.x, v.pos.y);
    if ((honour & CC_HONOR_PARENT_TRANSFORM_ROTATE) && v.rotation != 0)
        t = CGAffineTransformRotate(t, -v.rotation * kDegToRad);
    if ((honour & CC_HONOR_PARENT_TRANSFORM_SKEW) && (v.skew.x != 0 || v.skew.y != 0)) {
        const CGAffineTransform skew = {1.0f, std::tan(v.skew.y * kDegToRad), std::tan(v.skew.x * kDegToRad),
                                        1.0f, 0.0f, 0.0f};
        t = CGAffineTransformConcat(skew, t);
    }
    if ((honour & CC_HONOR_PARENT_TRANSFORM_SCALE) && (v.scale.x != 1 || v.scale.y != 1))
        t = CGAffineTransformScale(t, v.scale.x, v.scale.y);
    return CGAffineTransformTranslate(t, -v.ap.x, -v.ap.y);
}

inline ccVertex3F mapped(CGAffineTransform m, float x, float y, float z) {
    return ccVertex3F{m.a * x + m.c * y + m.tx, m.b * x + m.d * y + m.ty, z};
}

void requireBatchableChild(const CCSprite* parent, CCNode* child) {
    CCSprite* sprite = dynamic_cast<CCSprite*>(child);
    CCAssert(sprite != nullptr, "CCSprite only supports CCSprites as children when using CCSpriteBatchNode");
    const unsigned childName = sprite->texture() ? sprite->texture()->name() : 0;
    const CCTexture2D* atlasTexture = parent->textureAtlas() ? parent->textureAtlas()->texture() : nullptr;
    CCAssert(childName == (atlasTexture ? atlasTexture->name() : 0u), "CCSprite is not using the same texture id");
}

}  // namespace

// ---- Mode switches ------------------------------------------------------------

void CCSprite::useBatchNode(CCSpriteBatchNode* batchNode) {
    usesBatchNode_ = true;
    textureAtlas_ = batchNode ? batchNode->textureAtlas() : nullptr;
    batchNode_ = batchNode;
}

void CCSprite::useSelfRender() {
    atlasIndex_ = CCSpriteIndexNotInitialized;
    usesBatchNode_ = false;
    textureAtlas_ = nullptr;
    batchNode_ = nullptr;
    dirty_ = recursiveDirty_ = false;
    setStandAloneVertices();
}

// ---- The quad in the batch node's space ------------------------------------------

void CCSprite::getTransformValues(ccTransformValues* v) const {
    v->pos = positionInPixels_;
    v->scale = CGPointMake(scaleX_, scaleY_);
    v->rotation = rotation_;
    v->skew = CGPointMake(skewX_, skewY_);
    v->ap = anchorPointInPixels_;
    v->visible = visible_;
}

void CCSprite::updateTransform() {
    if (!dirty_) return;

    CGAffineTransform m = CGAffineTransformIdentity;
    bool shown = visible_;
    if (shown) {
        if (!parent_ || parent_ == batchNode_) {
            ccTransformValues v;
            getTransformValues(&v);
            m = placement(v, CC_HONOR_PARENT_TRANSFORM_ALL);
        } else {
            // Fold in each sprite ancestor up to the batch node; each
            // sprite's own flags decide what of its parent reaches it.
            int32_t honour = CC_HONOR_PARENT_TRANSFORM_ALL;
            for (CCNode* p = this; p && p != batchNode_; p = p->parent()) {
                const CCSprite* s = static_cast<const CCSprite*>(p);
                ccTransformValues v;
                s->getTransformValues(&v);
                if (!v.visible) {
                    shown = false;
                    break;
                }
                m = CGAffineTransformConcat(m, placement(v, honour));
                honour = s->honorParentTransform_;
            }
        }
    }

    if (shown) {
        const float x1 = offsetPositionInPixels_.x, y1 = offsetPositionInPixels_.y;
        const float x2 = x1 + rectInPixels_.size.width, y2 = y1 + rectInPixels_.size.height;
        quad_.bl.vertices = mapped(m, x1, y1, vertexZ_);
        quad_.br.vertices = mapped(m, x2, y1, vertexZ_);
        quad_.tr.vertices = mapped(m, x2, y2, vertexZ_);
        quad_.tl.vertices = mapped(m, x1, y2, vertexZ_);
    } else {
        // Hidden sprites keep their slot but collapse to a point.
        quad_.bl.vertices = quad_.br.vertices = quad_.tl.vertices = quad_.tr.vertices = ccVertex3F{0, 0, 0};
    }
    if (textureAtlas_ && atlasIndex_ != CCSpriteIndexNotInitialized) textureAtlas_->updateQuad(&quad_, atlasIndex_);
    dirty_ = recursiveDirty_ = false;
}

// ---- Dirty marking ------------------------------------------------------------------

void CCSprite::setDirtyRecursively(bool dirty) {
    dirty_ = recursiveDirty_ = dirty;
    if (!children_) return;
    for (host::Object* o : *children_)
        if (CCSprite* child = dynamic_cast<CCSprite*>(o)) child->setDirtyRecursively(true);
}

void CCSprite::markTransformDirty() {
    // Once marked, the whole subtree is dirty until the next draw: later
    // changes in the same frame cost nothing.
    if (!usesBatchNode_ || recursiveDirty_) return;
    dirty_ = recursiveDirty_ = true;
    if (hasChildren_) setDirtyRecursively(true);
}

void CCSprite::setPosition(CGPoint p) { CCNode::setPosition(p); markTransformDirty(); }
void CCSprite::setPositionInPixels(CGPoint p) { CCNode::setPositionInPixels(p); markTransformDirty(); }
void CCSprite::setRotation(float v) { CCNode::setRotation(v); markTransformDirty(); }
void CCSprite::setScaleX(float v) { CCNode::setScaleX(v); markTransformDirty(); }
void CCSprite::setScaleY(float v) { CCNode::setScaleY(v); markTransformDirty(); }
void CCSprite::setScale(float v) { CCNode::setScale(v); markTransformDirty(); }
void CCSprite::setSkewX(float v) { CCNode::setSkewX(v); markTransformDirty(); }
void CCSprite::setSkewY(float v) { CCNode::setSkewY(v); markTransformDirty(); }
void CCSprite::setVertexZ(float z) { CCNode::setVertexZ(z); markTransformDirty(); }
void CCSprite::setAnchorPoint(CGPoint p) { CCNode::setAnchorPoint(p); markTransformDirty(); }
void CCSprite::setVisible(bool v) { CCNode::setVisible(v); markTransformDirty(); }

// ---- Children --------------------------------------------------------------------------

void CCSprite::addChild(CCNode* child, int z, int tag) {
    CCAssert(child != nullptr, "Argument must be non-nil");
    if (usesBatchNode_) requireBatchableChild(this, child);
    CCNode::addChild(child, z, tag);
    // A sprite that has no atlas slot yet brings its children along when
    // it is inserted itself.
    if (usesBatchNode_ && batchNode_ && atlasIndex_ != CCSpriteIndexNotInitialized) {
        CCSprite* sprite = static_cast<CCSprite*>(child);
        batchNode_->insertChild(sprite, batchNode_->atlasIndexForChild(sprite, z));
    }
    hasChildren_ = true;
}

void CCSprite::removeChild(CCNode* child, bool doCleanup) {
    // Only a child of this sprite may leave the atlas through it.
    if (!child || child->parent() != this) return;
    if (usesBatchNode_ && batchNode_) batchNode_->removeSpriteFromAtlas(static_cast<CCSprite*>(child));
    CCNode::removeChild(child, doCleanup);
    hasChildren_ = children_ && children_->count() > 0;
}

void CCSprite::removeAllChildrenWithCleanup(bool doCleanup) {
    if (usesBatchNode_ && batchNode_ && children_) {
        for (host::Object* o : *children_) batchNode_->removeSpriteFromAtlas(static_cast<CCSprite*>(o));
    }
    CCNode::removeAllChildrenWithCleanup(doCleanup);
    hasChildren_ = false;
}

void CCSprite::reorderChild(CCNode* child, int z) {
    CCAssert(child != nullptr, "Child must be non-nil");
    if (z == child->zOrder()) return;
    if (usesBatchNode_ && batchNode_) {
        // Remove and add again, so the child's quads move to their new
        // place in the atlas order.
        child->retain();
        removeChild(child, false);
        addChild(child, z, child->tag());
        child->release();
    } else {
        CCNode::reorderChild(child, z);
    }
}
