// CCNode: the base of everything placed in a scene.
//
// A node has an affine placement relative to its parent (position,
// rotation, scale, skew, anchor point), children sorted by ascending z
// order (ties in insertion order), a lookup tag and a running state that
// follows the scene it belongs to. Geometry is kept both in points (what
// game code sets) and in pixels (what drawing uses); transforms are in
// pixels and cached until a setter marks them dirty.
#pragma once

#include <cstdint>
#include <string>

#include "engine/CCSelectors.h"
#include "engine/Support/CCArray.h"
#include "engine/ccTypes.h"
#include "host/core/CGAffineTransform.h"
#include "host/core/Object.h"
#include "host/core/Ref.h"

class CCAction;
class CCCamera;
class CCGridBase;

namespace host { class Touch; }

// Tag of a node nobody tagged.
enum { kCCNodeTagInvalid = -1 };

class CCNode : public host::Object {
public:
    CCNode();

    // A new, initialised node that the caller does not own. Subclasses
    // declare their own `static X* node() { return host::create<X>(); }`.
    static CCNode* node();
    virtual bool init();

    std::string description() const override;

    // ---- Properties -----------------------------------------------------
    float rotation() const { return rotation_; }
    virtual void setRotation(float v);
    float scaleX() const { return scaleX_; }
    virtual void setScaleX(float v);
    float scaleY() const { return scaleY_; }
    virtual void setScaleY(float v);
    // The getter returns scaleX; the setter assigns both.
    float scale() const { return scaleX_; }
    virtual void setScale(float v);
    CGPoint position() const { return position_; }
    virtual void setPosition(CGPoint p);
    CGPoint positionInPixels() const { return positionInPixels_; }
    virtual void setPositionInPixels(CGPoint p);
    float skewX() const { return skewX_; }
    virtual void setSkewX(float v);
    float skewY() const { return skewY_; }
    virtual void setSkewY(float v);
    CGPoint anchorPoint() const { return anchorPoint_; }
    virtual void setAnchorPoint(CGPoint p);
    CGPoint anchorPointInPixels() const { return anchorPointInPixels_; }
    CGSize contentSize() const { return contentSize_; }
    virtual void setContentSize(CGSize s);
    CGSize contentSizeInPixels() const { return contentSizeInPixels_; }
    virtual void setContentSizeInPixels(CGSize s);
    bool isRelativeAnchorPoint() const { return isRelativeAnchorPoint_; }
    virtual void setIsRelativeAnchorPoint(bool v);
    // Stored (and returned) in pixels: the setter multiplies by the content
    // scale factor.
    float vertexZ() const { return vertexZ_; }
    virtual void setVertexZ(float z);
    bool visible() const { return visible_; }
    virtual void setVisible(bool v) { visible_ = v; }
    int tag() const { return tag_; }
    void setTag(int t) { tag_ = t; }
    void* userData() const { return userData_; }
    void setUserData(void* d) { userData_ = d; }
    // The grid effect drawing this node and its subtree (retained); while
    // it is active the subtree is drawn through it.
    CCGridBase* grid() const { return grid_.get(); }
    void setGrid(CCGridBase* grid);
    CCNode* parent() const { return parent_; }
    void setParent(CCNode* p) { parent_ = p; }  // not retained
    CCArray* children() const { return children_.get(); }
    int zOrder() const { return zOrder_; }
    bool isRunning() const { return isRunning_; }
    // The node's camera, created (clean) on first use; transform() applies
    // it once it has been moved.
    CCCamera* camera();

    // ---- Children -------------------------------------------------------
    void addChild(CCNode* child);
    void addChild(CCNode* child, int z);
    virtual void addChild(CCNode* child, int z, int tag);
    virtual void reorderChild(CCNode* child, int z);
    CCNode* getChildByTag(int tag) const;
    virtual void removeChild(CCNode* child, bool cleanup);
    void removeChildByTag(int tag, bool cleanup);
    void removeFromParentAndCleanup(bool cleanup);
    virtual void removeAllChildrenWithCleanup(bool cleanup);

    // ---- Life cycle -----------------------------------------------------
    virtual void onEnter();
    virtual void onEnterTransitionDidFinish();
    virtual void onExit();
    virtual void cleanup();

    // ---- Scheduling (the shared scheduler, this node as target) ---------
    void schedule(SEL_SCHEDULE sel);
    void schedule(SEL_SCHEDULE sel, ccTime interval);
    void unschedule(SEL_SCHEDULE sel);
    void unscheduleAllSelectors();
    void scheduleUpdate();
    void scheduleUpdateWithPriority(int priority);
    void unscheduleUpdate();
    virtual void update(ccTime dt) { (void)dt; }
    void pauseSchedulerAndActions();
    void resumeSchedulerAndActions();

    // ---- Actions (the shared action manager, this node as target) --------
    // Starts the action on this node, paused while the node is not running.
    // Returns the action.
    CCAction* runAction(CCAction* action);
    void stopAllActions();
    void stopAction(CCAction* action);
    void stopActionByTag(int tag);
    CCAction* getActionByTag(int tag);
    unsigned numberOfRunningActions();

    // ---- Drawing --------------------------------------------------------
    virtual void visit();
    void transform();
    void transformAncestors();
    virtual void draw() {}

    // ---- Transforms and conversions (transforms in pixels) ---------------
    CGAffineTransform nodeToParentTransform();
    CGAffineTransform parentToNodeTransform();
    CGAffineTransform nodeToWorldTransform();
    CGAffineTransform worldToNodeTransform();
    CGRect boundingBoxInPixels();
    CGRect boundingBox();
    CGPoint convertToNodeSpace(CGPoint worldPoint);
    CGPoint convertToWorldSpace(CGPoint nodePoint);
    CGPoint convertToNodeSpaceAR(CGPoint worldPoint);
    CGPoint convertToWorldSpaceAR(CGPoint nodePoint);
    CGPoint convertToWindowSpace(CGPoint nodePoint);
    CGPoint convertTouchToNodeSpace(host::Touch* touch);
    CGPoint convertTouchToNodeSpaceAR(host::Touch* touch);

    // Read-only access to the cached GL matrix (column-major 4 x 4).
    const float* transformGL() const { return transformGL_; }

protected:
    ~CCNode() override;

    // Keeps the child array sorted by z; ties go after equal siblings.
    void insertChild(CCNode* child, int z);
    void detachChild(CCNode* child, bool doCleanup);
    // A plain store of the z order; no re-sorting.
    void _setZOrder(int z) { zOrder_ = z; }
    bool hasActiveGrid() const;
    void markDirty() {
        isTransformDirty_ = 1;
        isInverseDirty_ = 1;
        isTransformGLDirty_ = 1;
    }
    void updateAnchorPointInPixels();

    float rotation_ = 0;
    float scaleX_ = 1, scaleY_ = 1;
    CGPoint position_ = CGPointZero;
    CGPoint positionInPixels_ = CGPointZero;
    float skewX_ = 0, skewY_ = 0;
    bool visible_ = true;
    CGPoint anchorPointInPixels_ = CGPointZero;
    CGPoint anchorPoint_ = CGPointZero;
    bool isRelativeAnchorPoint_ = true;
    CGSize contentSize_ = CGSizeZero;
    CGSize contentSizeInPixels_ = CGSizeZero;
    CGAffineTransform transform_ = CGAffineTransformIdentity;
    CGAffineTransform inverse_ = CGAffineTransformIdentity;
    float transformGL_[16] = {};
    float vertexZ_ = 0;
    host::Ref<CCCamera> camera_;  // null until camera() is first called
    host::Ref<CCGridBase> grid_;
    int32_t zOrder_ = 0;
    host::Ref<CCArray> children_;  // created by the first addChild, capacity 4
    CCNode* parent_ = nullptr;     // not retained
    int32_t tag_ = kCCNodeTagInvalid;
    void* userData_ = nullptr;
    bool isRunning_ = false;
    unsigned isTransformDirty_ : 1;
    unsigned isInverseDirty_ : 1;
    unsigned isTransformGLDirty_ : 1;
};
