#include "engine/CCNode.h"

#include <GLES/gl.h>

#include <cmath>
#include <cstdio>

#include "engine/CCActionManager.h"
#include "engine/CCCamera.h"
#include "engine/CCContentScale.h"
#include "engine/CCDirector.h"
#include "engine/CCGrid.h"
#include "engine/CCScheduler.h"
#include "engine/Support/TransformUtils.h"
#include "engine/ccMacros.h"
#include "host/ui/Touch.h"

namespace {

constexpr float kDegToRad = 0.017453292f;

inline bool isZero(CGPoint p) { return p.x == 0 && p.y == 0; }
inline CGPoint scaled(CGPoint p, float s) { return CGPointMake(p.x * s, p.y * s); }

}  // namespace

CCNode::CCNode() : isTransformDirty_(1), isInverseDirty_(1), isTransformGLDirty_(1) {}

CCNode* CCNode::node() { return host::create<CCNode>(); }

bool CCNode::init() {
    rotation_ = 0;
    scaleX_ = scaleY_ = 1;
    position_ = positionInPixels_ = CGPointZero;
    skewX_ = skewY_ = 0;
    visible_ = true;
    anchorPointInPixels_ = anchorPoint_ = CGPointZero;
    isRelativeAnchorPoint_ = true;
    contentSize_ = contentSizeInPixels_ = CGSizeZero;
    vertexZ_ = 0;
    camera_ = nullptr;
    grid_ = nullptr;
    zOrder_ = 0;
    children_ = nullptr;
    parent_ = nullptr;
    tag_ = kCCNodeTagInvalid;
    userData_ = nullptr;
    isRunning_ = false;
    markDirty();
    return true;
}

CCNode::~CCNode() {
    // Children may outlive us (someone else may retain them): they must not
    // point back at a dead parent.
    if (children_) {
        ccArray* arr = children_->data;
        for (unsigned i = 0; i < arr->count; ++i) static_cast<CCNode*>(arr->items[i])->parent_ = nullptr;
    }
    children_ = nullptr;
}

std::string CCNode::description() const {
    char buf[64];
    std::snprintf(buf, sizeof buf, " | Tag = %i>", tag_);
    return "<" + className() + " = " + host::addressString(this) + buf;
}

// ---- Geometry setters ---------------------------------------------------

void CCNode::setRotation(float v) { rotation_ = v; markDirty(); }
void CCNode::setScaleX(float v) { scaleX_ = v; markDirty(); }
void CCNode::setScaleY(float v) { scaleY_ = v; markDirty(); }
void CCNode::setScale(float v) { scaleX_ = scaleY_ = v; markDirty(); }
void CCNode::setSkewX(float v) { skewX_ = v; markDirty(); }
void CCNode::setSkewY(float v) { skewY_ = v; markDirty(); }
void CCNode::setIsRelativeAnchorPoint(bool v) { isRelativeAnchorPoint_ = v; markDirty(); }

void CCNode::setPosition(CGPoint p) {
    position_ = p;
    const float s = __ccContentScaleFactor;
    positionInPixels_ = s == 1.0f ? p : scaled(p, s);
    markDirty();
}

void CCNode::setPositionInPixels(CGPoint p) {
    positionInPixels_ = p;
    const float s = __ccContentScaleFactor;
    position_ = s == 1.0f ? p : scaled(p, 1.0f / s);
    markDirty();
}

void CCNode::updateAnchorPointInPixels() {
    anchorPointInPixels_ = CGPointMake(contentSizeInPixels_.width * anchorPoint_.x,
                                       contentSizeInPixels_.height * anchorPoint_.y);
}

void CCNode::setAnchorPoint(CGPoint p) {
    if (CGPointEqualToPoint(p, anchorPoint_)) return;
    anchorPoint_ = p;
    updateAnchorPointInPixels();
    markDirty();
}

void CCNode::setContentSize(CGSize z) {
    if (CGSizeEqualToSize(z, contentSize_)) return;
    contentSize_ = z;
    const float s = __ccContentScaleFactor;
    contentSizeInPixels_ = s == 1.0f ? z : CGSizeMake(z.width * s, z.height * s);
    updateAnchorPointInPixels();
    markDirty();
}

void CCNode::setContentSizeInPixels(CGSize z) {
    if (CGSizeEqualToSize(z, contentSizeInPixels_)) return;
    contentSizeInPixels_ = z;
    const float s = __ccContentScaleFactor;
    contentSize_ = s == 1.0f ? z : CGSizeMake(z.width / s, z.height / s);
    updateAnchorPointInPixels();
    markDirty();
}

void CCNode::setVertexZ(float z) { vertexZ_ = z * __ccContentScaleFactor; }

// ---- Children -----------------------------------------------------------

void CCNode::addChild(CCNode* child) {
    CCAssert(child != nullptr, "Argument must be non-nil");
    addChild(child, child->zOrder_, child->tag_);
}

void CCNode::addChild(CCNode* child, int z) {
    CCAssert(child != nullptr, "Argument must be non-nil");
    addChild(child, z, child->tag_);
}

void CCNode::addChild(CCNode* child, int z, int tag) {
    CCAssert(child != nullptr, "Argument must be non-nil");
    CCAssert(child->parent_ == nullptr, "child already added. It can't be added again");
    if (!children_) children_ = CCArray::arrayWithCapacity(4);
    insertChild(child, z);
    child->tag_ = tag;
    child->parent_ = this;
    if (isRunning_) {
        child->onEnter();
        child->onEnterTransitionDidFinish();
    }
}

void CCNode::insertChild(CCNode* child, int z) {
    ccArray* arr = children_->data;
    const unsigned n = arr->count;
    if (n == 0 || static_cast<CCNode*>(arr->items[n - 1])->zOrder_ <= z) {
        children_->addObject(child);
    } else {
        for (unsigned i = 0; i < n; ++i) {
            if (static_cast<CCNode*>(arr->items[i])->zOrder_ > z) {
                children_->insertObject(child, i);
                break;
            }
        }
    }
    child->_setZOrder(z);
}

void CCNode::reorderChild(CCNode* child, int z) {
    CCAssert(child != nullptr, "Child must be non-nil");
    child->retain();
    children_->removeObject(child);
    insertChild(child, z);
    child->release();
}

CCNode* CCNode::getChildByTag(int tag) const {
    if (!children_) return nullptr;
    ccArray* arr = children_->data;
    for (unsigned i = 0; i < arr->count; ++i) {
        CCNode* c = static_cast<CCNode*>(arr->items[i]);
        if (c->tag_ == tag) return c;
    }
    return nullptr;
}

void CCNode::removeChild(CCNode* child, bool doCleanup) {
    if (!child || !children_) return;
    ccArray* arr = children_->data;
    for (unsigned i = 0; i < arr->count; ++i) {
        if (arr->items[i] == child) {
            detachChild(child, doCleanup);
            return;
        }
    }
}

void CCNode::removeChildByTag(int tag, bool doCleanup) {
    CCNode* child = getChildByTag(tag);
    if (child) removeChild(child, doCleanup);
}

void CCNode::removeFromParentAndCleanup(bool doCleanup) {
    if (parent_) parent_->removeChild(this, doCleanup);
}

void CCNode::detachChild(CCNode* child, bool doCleanup) {
    // onExit before cleanup; the parent link goes last, so both still see it.
    if (isRunning_) child->onExit();
    if (doCleanup) child->cleanup();
    child->parent_ = nullptr;
    children_->removeObject(child);
}

void CCNode::removeAllChildrenWithCleanup(bool doCleanup) {
    if (!children_) return;
    ccArray* arr = children_->data;
    for (unsigned i = 0; i < arr->count; ++i) {
        CCNode* c = static_cast<CCNode*>(arr->items[i]);
        if (isRunning_) c->onExit();
        if (doCleanup) c->cleanup();
        c->parent_ = nullptr;
    }
    children_->removeAllObjects();
}

// ---- Life cycle ---------------------------------------------------------

void CCNode::onEnter() {
    if (children_) {
        ccArray* arr = children_->data;
        for (unsigned i = 0; i < arr->count; ++i) static_cast<CCNode*>(arr->items[i])->onEnter();
    }
    resumeSchedulerAndActions();
    isRunning_ = true;
}

void CCNode::onEnterTransitionDidFinish() {
    if (!children_) return;
    ccArray* arr = children_->data;
    for (unsigned i = 0; i < arr->count; ++i)
        static_cast<CCNode*>(arr->items[i])->onEnterTransitionDidFinish();
}

void CCNode::onExit() {
    pauseSchedulerAndActions();
    isRunning_ = false;
    if (children_) {
        ccArray* arr = children_->data;
        for (unsigned i = 0; i < arr->count; ++i) static_cast<CCNode*>(arr->items[i])->onExit();
    }
}

void CCNode::cleanup() {
    stopAllActions();
    unscheduleAllSelectors();
    if (children_) {
        ccArray* arr = children_->data;
        for (unsigned i = 0; i < arr->count; ++i) static_cast<CCNode*>(arr->items[i])->cleanup();
    }
}

// ---- Scheduling ---------------------------------------------------------

void CCNode::schedule(SEL_SCHEDULE sel) { schedule(sel, 0); }

void CCNode::schedule(SEL_SCHEDULE sel, ccTime interval) {
    CCAssert(static_cast<bool>(sel), "Argument must be non-nil");
    CCAssert(interval >= 0, "Argument must be positive");
    CCScheduler::sharedScheduler()->scheduleSelector(sel, this, interval, !isRunning_);
}

void CCNode::unschedule(SEL_SCHEDULE sel) {
    if (!sel) return;
    CCScheduler::sharedScheduler()->unscheduleSelector(sel, this);
}

void CCNode::unscheduleAllSelectors() {
    CCScheduler::sharedScheduler()->unscheduleAllSelectorsForTarget(this);
}

void CCNode::scheduleUpdate() { scheduleUpdateWithPriority(0); }

void CCNode::scheduleUpdateWithPriority(int priority) {
    CCScheduler::sharedScheduler()->scheduleUpdateForTarget(this, priority, !isRunning_);
}

void CCNode::unscheduleUpdate() {
    CCScheduler::sharedScheduler()->unscheduleUpdateForTarget(this);
}

void CCNode::pauseSchedulerAndActions() {
    CCScheduler::sharedScheduler()->pauseTarget(this);
    CCActionManager::sharedManager()->pauseTarget(this);
}

void CCNode::resumeSchedulerAndActions() {
    CCScheduler::sharedScheduler()->resumeTarget(this);
    CCActionManager::sharedManager()->resumeTarget(this);
}

// ---- Actions ------------------------------------------------------------

CCAction* CCNode::runAction(CCAction* action) {
    CCAssert(action != nullptr, "Argument must be non-nil");
    CCActionManager::sharedManager()->addAction(action, this, !isRunning_);
    return action;
}

void CCNode::stopAllActions() { CCActionManager::sharedManager()->removeAllActionsFromTarget(this); }

void CCNode::stopAction(CCAction* action) { CCActionManager::sharedManager()->removeAction(action); }

void CCNode::stopActionByTag(int tag) {
    CCActionManager::sharedManager()->removeActionByTag(tag, this);
}

CCAction* CCNode::getActionByTag(int tag) {
    return CCActionManager::sharedManager()->getActionByTag(tag, this);
}

unsigned CCNode::numberOfRunningActions() {
    return CCActionManager::sharedManager()->numberOfRunningActionsInTarget(this);
}

// ---- Drawing ------------------------------------------------------------

void CCNode::setGrid(CCGridBase* grid) { grid_ = grid; }

bool CCNode::hasActiveGrid() const { return grid_ && grid_->active(); }

void CCNode::visit() {
    if (!visible_) return;
    glPushMatrix();
    // Through an active grid the subtree draws into the grid's picture,
    // from the root's transform down, and the picture is drawn afterwards.
    CCGridBase* grid = hasActiveGrid() ? grid_.get() : nullptr;
    if (grid) {
        grid->beforeDraw();
        transformAncestors();
    }
    transform();
    if (children_) {
        ccArray* arr = children_->data;
        const unsigned n = arr->count;
        unsigned i = 0;
        for (; i < n; ++i) {
            CCNode* c = static_cast<CCNode*>(arr->items[i]);
            if (c->zOrder_ >= 0) break;
            c->visit();
        }
        draw();
        for (; i < n; ++i) static_cast<CCNode*>(arr->items[i])->visit();
    } else {
        draw();
    }
    if (grid) grid->afterDraw(this);
    glPopMatrix();
}

void CCNode::transform() {
    if (isTransformGLDirty_) {
        CGAffineTransform t = nodeToParentTransform();
        CGAffineToGL(&t, transformGL_);
        isTransformGLDirty_ = 0;
    }
    glMultMatrixf(transformGL_);
    if (vertexZ_ != 0) glTranslatef(0, 0, vertexZ_);
    // The camera looks at the node's anchor, so a turned camera turns the
    // node about its anchor. An active grid turns its picture instead.
    if (camera_ && !hasActiveGrid()) {
        const CGPoint a = anchorPointInPixels_;
        if (!isZero(a)) {
            glTranslatef(a.x, a.y, 0);
            camera_->locate();
            glTranslatef(-a.x, -a.y, 0);
        } else {
            camera_->locate();
        }
    }
}

CCCamera* CCNode::camera() {
    if (!camera_)
        camera_ = host::Ref<CCCamera>::adopt(host::createOwned<CCCamera>([](CCCamera* c) { return c->init(); }));
    return camera_.get();
}

void CCNode::transformAncestors() {
    if (parent_) {
        parent_->transformAncestors();
        parent_->transform();
    }
}

// ---- Transforms ---------------------------------------------------------

CGAffineTransform CCNode::nodeToParentTransform() {
    if (isTransformDirty_) {
        const CGPoint a = anchorPointInPixels_;
        const bool anchorSet = !isZero(a);
        CGAffineTransform t = CGAffineTransformIdentity;
        if (!isRelativeAnchorPoint_ && anchorSet) t = CGAffineTransformTranslate(t, a.x, a.y);
        if (!isZero(positionInPixels_))
            t = CGAffineTransformTranslate(t, positionInPixels_.x, positionInPixels_.y);
        if (rotation_ != 0) t = CGAffineTransformRotate(t, -rotation_ * kDegToRad);
        if (skewX_ != 0 || skewY_ != 0) {
            CGAffineTransform skew = {1.0f, std::tan(skewY_ * kDegToRad),
                                      std::tan(skewX_ * kDegToRad), 1.0f, 0.0f, 0.0f};
            t = CGAffineTransformConcat(skew, t);
        }
        if (scaleX_ != 1 || scaleY_ != 1) t = CGAffineTransformScale(t, scaleX_, scaleY_);
        if (anchorSet) t = CGAffineTransformTranslate(t, -a.x, -a.y);
        transform_ = t;
        isTransformDirty_ = 0;
    }
    return transform_;
}

CGAffineTransform CCNode::parentToNodeTransform() {
    if (isInverseDirty_) {
        inverse_ = CGAffineTransformInvert(nodeToParentTransform());
        isInverseDirty_ = 0;
    }
    return inverse_;
}

CGAffineTransform CCNode::nodeToWorldTransform() {
    CGAffineTransform t = nodeToParentTransform();
    for (CCNode* p = parent_; p; p = p->parent_) t = CGAffineTransformConcat(t, p->nodeToParentTransform());
    return t;
}

CGAffineTransform CCNode::worldToNodeTransform() {
    return CGAffineTransformInvert(nodeToWorldTransform());
}

CGRect CCNode::boundingBoxInPixels() {
    CGRect r = CGRectMake(0, 0, contentSizeInPixels_.width, contentSizeInPixels_.height);
    return CGRectApplyAffineTransform(r, nodeToParentTransform());
}

CGRect CCNode::boundingBox() {
    CGRect r = boundingBoxInPixels();
    const float s = __ccContentScaleFactor;
    return CGRectMake(r.origin.x / s, r.origin.y / s, r.size.width / s, r.size.height / s);
}

CGPoint CCNode::convertToNodeSpace(CGPoint p) {
    const float s = __ccContentScaleFactor;
    if (s == 1.0f) return CGPointApplyAffineTransform(p, worldToNodeTransform());
    return scaled(CGPointApplyAffineTransform(scaled(p, s), worldToNodeTransform()), 1.0f / s);
}

CGPoint CCNode::convertToWorldSpace(CGPoint p) {
    const float s = __ccContentScaleFactor;
    if (s == 1.0f) return CGPointApplyAffineTransform(p, nodeToWorldTransform());
    return scaled(CGPointApplyAffineTransform(scaled(p, s), nodeToWorldTransform()), 1.0f / s);
}

CGPoint CCNode::convertToNodeSpaceAR(CGPoint p) {
    const float s = __ccContentScaleFactor;
    CGPoint n = convertToNodeSpace(p);
    CGPoint a = s == 1.0f ? anchorPointInPixels_ : scaled(anchorPointInPixels_, 1.0f / s);
    return CGPointMake(n.x - a.x, n.y - a.y);
}

CGPoint CCNode::convertToWorldSpaceAR(CGPoint p) {
    const float s = __ccContentScaleFactor;
    CGPoint a = s == 1.0f ? anchorPointInPixels_ : scaled(anchorPointInPixels_, 1.0f / s);
    return convertToWorldSpace(CGPointMake(p.x + a.x, p.y + a.y));
}

CGPoint CCNode::convertToWindowSpace(CGPoint p) {
    return CCDirector::sharedDirector()->convertToUI(convertToWorldSpace(p));
}

CGPoint CCNode::convertTouchToNodeSpace(host::Touch* touch) {
    CGPoint p = touch->locationInView(touch->view());
    return convertToNodeSpace(CCDirector::sharedDirector()->convertToGL(p));
}

CGPoint CCNode::convertTouchToNodeSpaceAR(host::Touch* touch) {
    CGPoint p = touch->locationInView(touch->view());
    return convertToNodeSpaceAR(CCDirector::sharedDirector()->convertToGL(p));
}
