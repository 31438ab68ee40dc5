// CCSprite: a node that shows a rectangle of a texture as one quad.
//
// A sprite draws in one of two modes. Stand-alone, its quad is in
// node-local pixels and it draws itself with one GL call after the node
// tree has applied its transform. Inside a CCSpriteBatchNode it never
// draws: it keeps its quad in the batch node's space, with its own and its
// sprite ancestors' transforms folded in, and writes it into the batch
// node's atlas slot (`atlasIndex`) when something changed (`dirty`).
//
// Colour is premultiplied by opacity when `doesOpacityModifyRGB` (textures
// with premultiplied alpha), so blending with (GL_ONE,
// GL_ONE_MINUS_SRC_ALPHA) fades the sprite correctly.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>

#include "engine/CCNode.h"
#include "engine/CCProtocols.h"
#include "engine/ccTypes.h"
#include "host/core/Ref.h"
#include "host/core/Selector.h"

class CCAnimation;
class CCSpriteBatchNode;
class CCSpriteFrame;
class CCTexture2D;
class CCTextureAtlas;

namespace host { class Image; }

// The atlas index of a sprite that has no slot in an atlas.
constexpr uint32_t CCSpriteIndexNotInitialized = 0xFFFFFFFFu;

// Which parts of its parent sprite's transform a sprite follows in a batch.
enum {
    CC_HONOR_PARENT_TRANSFORM_TRANSLATE = 1 << 0,
    CC_HONOR_PARENT_TRANSFORM_ROTATE = 1 << 1,
    CC_HONOR_PARENT_TRANSFORM_SCALE = 1 << 2,
    CC_HONOR_PARENT_TRANSFORM_SKEW = 1 << 3,
    CC_HONOR_PARENT_TRANSFORM_ALL = 15,
};

// A node's placement in pixels, as the batch quads need it.
struct ccTransformValues {
    CGPoint pos;       // position in pixels
    CGPoint scale;     // scale x, y
    float rotation;    // degrees
    CGPoint skew;      // skew x, y in degrees
    CGPoint ap;        // anchor point in pixels
    bool visible;
};

class CCSprite : public CCNode, public CCRGBAProtocol, public CCTextureProtocol {
public:
    using UpdateMethod = host::Selector<void()>;

    CCSprite();  // out of line: the animation table's type is only declared here

    // ---- Creation (autoreleased; nullptr when the initialiser fails) -----
    static CCSprite* node();
    static CCSprite* spriteWithTexture(CCTexture2D* texture);
    static CCSprite* spriteWithTexture(CCTexture2D* texture, CGRect rect);
    static CCSprite* spriteWithFile(const std::string& filename);
    static CCSprite* spriteWithFile(const std::string& filename, CGRect rect);
    static CCSprite* spriteWithSpriteFrame(CCSpriteFrame* frame);
    static CCSprite* spriteWithSpriteFrameName(const std::string& frameName);
    static CCSprite* spriteWithCGImage(host::Image* image, const std::string& key);
    static CCSprite* spriteWithBatchNode(CCSpriteBatchNode* batchNode, CGRect rect);

    // Every initialiser runs init() first. Rectangles are in points unless
    // the name says pixels. A null texture gives a sprite that draws with
    // texture name 0 and keeps its texture coordinates.
    bool init() override;
    virtual bool initWithTexture(CCTexture2D* texture);
    virtual bool initWithTexture(CCTexture2D* texture, CGRect rect);
    // False when the image cannot be loaded.
    virtual bool initWithFile(const std::string& filename);
    virtual bool initWithFile(const std::string& filename, CGRect rect);
    // False for a null frame or an unknown name (logged).
    virtual bool initWithSpriteFrame(CCSpriteFrame* frame);
    virtual bool initWithSpriteFrameName(const std::string& frameName);
    virtual bool initWithCGImage(host::Image* image, const std::string& key);
    // The key is the image's address as eight hex digits.
    virtual bool initWithCGImage(host::Image* image);
    virtual bool initWithBatchNode(CCSpriteBatchNode* batchNode, CGRect rect);
    // The rectangle in pixels: not rotated, untrimmed size = its size.
    virtual bool initWithBatchNodeRectInPixels(CCSpriteBatchNode* batchNode, CGRect rectInPixels);

    std::string description() const override;

    // ---- Texture rectangle and frames ------------------------------------
    // Points; not rotated; untrimmed size = the rectangle's size.
    virtual void setTextureRect(CGRect rect);
    virtual void setTextureRectInPixels(CGRect rect, bool rotated, CGSize untrimmedSize);
    CGRect textureRect() const { return rect_; }
    CGRect textureRectInPixels() const { return rectInPixels_; }
    bool textureRectRotated() const { return rectRotated_; }

    virtual void setDisplayFrame(CCSpriteFrame* frame);
    // A new autoreleased frame describing what the sprite shows now.
    virtual CCSpriteFrame* displayedFrame() const;
    virtual bool isFrameDisplayed(CCSpriteFrame* frame) const;
    // Frame `frameIndex` of the animation of that name in the shared
    // animation cache; logs and changes nothing when there is none.
    virtual void setDisplayFrameWithAnimationName(const std::string& animationName, unsigned frameIndex);
    // The sprite's own animations, by their names.
    virtual void addAnimation(CCAnimation* animation);
    virtual CCAnimation* animationByName(const std::string& animationName) const;
    // Frame `frameIndex` of one of the sprite's own animations; logs and
    // changes nothing when there is none.
    virtual void setDisplayFrame(const std::string& animationName, unsigned frameIndex);

    // ---- Appearance ------------------------------------------------------
    virtual void setFlipX(bool flip);
    virtual void setFlipY(bool flip);
    bool flipX() const { return flipX_; }
    bool flipY() const { return flipY_; }

    void setColor(ccColor3B color) override;
    ccColor3B color() const override;
    uint8_t opacity() const override { return opacity_; }
    void setOpacity(uint8_t opacity) override;
    void setOpacityModifyRGB(bool modify) override;
    bool doesOpacityModifyRGB() const override { return opacityModifyRGB_; }

    // Retains the new texture, releases the old one, and chooses the blend
    // function and colour premultiplication from the texture's alpha.
    void setTexture(CCTexture2D* texture) override;
    CCTexture2D* texture() const override { return texture_.get(); }
    // Overrides the blend choice until the next setTexture.
    void setBlendFunc(ccBlendFunc blendFunc) override { blendFunc_ = blendFunc; }
    ccBlendFunc blendFunc() const override { return blendFunc_; }

    // ---- Batch mode -------------------------------------------------------
    virtual void useBatchNode(CCSpriteBatchNode* batchNode);
    virtual void useSelfRender();
    // Rewrites the atlas quad when dirty; called by the batch node for
    // every descendant each frame through `updateMethod()`.
    virtual void updateTransform();
    // Both dirty flags to `dirty`; every child is marked dirty.
    virtual void setDirtyRecursively(bool dirty);
    void getTransformValues(ccTransformValues* values) const;
    // The sprite's own updateTransform, looked up once at initialisation.
    const UpdateMethod& updateMethod() const { return updateMethod_; }

    uint32_t atlasIndex() const { return atlasIndex_; }
    void setAtlasIndex(uint32_t index) { atlasIndex_ = index; }
    CCSpriteBatchNode* batchNode() const { return batchNode_; }
    void setBatchNode(CCSpriteBatchNode* batchNode) { batchNode_ = batchNode; }
    CCTextureAtlas* textureAtlas() const { return textureAtlas_; }
    void setTextureAtlas(CCTextureAtlas* atlas) { textureAtlas_ = atlas; }
    bool usesBatchNode() const { return usesBatchNode_; }
    void setUsesBatchNode(bool uses) { usesBatchNode_ = uses; }
    bool dirty() const { return dirty_; }
    void setDirty(bool dirty) { dirty_ = dirty; }
    const ccV3F_C4B_T2F_Quad& quad() const { return quad_; }
    int32_t honorParentTransform() const { return honorParentTransform_; }
    void setHonorParentTransform(int32_t flags) { honorParentTransform_ = flags; }
    CGPoint offsetPositionInPixels() const { return offsetPositionInPixels_; }

    // ---- Node overrides ---------------------------------------------------
    using CCNode::addChild;
    void addChild(CCNode* child, int z, int tag) override;
    void removeChild(CCNode* child, bool cleanup) override;
    void removeAllChildrenWithCleanup(bool cleanup) override;
    void reorderChild(CCNode* child, int z) override;

    void setPosition(CGPoint p) override;
    void setPositionInPixels(CGPoint p) override;
    void setRotation(float v) override;
    void setScaleX(float v) override;
    void setScaleY(float v) override;
    void setScale(float v) override;
    void setSkewX(float v) override;
    void setSkewY(float v) override;
    void setVertexZ(float z) override;
    void setAnchorPoint(CGPoint p) override;
    void setVisible(bool v) override;

    void draw() override;

protected:
    ~CCSprite() override;

    void updateTextureCoords(CGRect rectInPixels);
    // Writes colour and opacity into the four corners (and the atlas slot).
    void updateColor();
    void updateBlendFunc();
    // Batch mode: a placement setter changed the transform.
    void markTransformDirty();
    // Stand-alone vertices from the offset and the rectangle size.
    void setStandAloneVertices();
    CCAnimation* cachedAnimation(const std::string& name) const;

    CCTextureAtlas* textureAtlas_ = nullptr;  // not retained
    uint32_t atlasIndex_ = CCSpriteIndexNotInitialized;
    CCSpriteBatchNode* batchNode_ = nullptr;  // not retained
    int32_t honorParentTransform_ = CC_HONOR_PARENT_TRANSFORM_ALL;
    bool dirty_ = false;
    bool recursiveDirty_ = false;
    bool hasChildren_ = false;
    ccBlendFunc blendFunc_{CC_BLEND_SRC, CC_BLEND_DST};
    host::Ref<CCTexture2D> texture_;
    bool usesBatchNode_ = false;
    CGRect rect_ = CGRectZero;
    CGRect rectInPixels_ = CGRectZero;
    bool rectRotated_ = false;
    CGPoint offsetPositionInPixels_ = CGPointZero;
    CGPoint unflippedOffsetPositionFromCenter_ = CGPointZero;
    ccV3F_C4B_T2F_Quad quad_{};
    uint8_t opacity_ = 255;
    ccColor3B color_{255, 255, 255};
    ccColor3B colorUnmodified_{255, 255, 255};
    bool opacityModifyRGB_ = true;
    bool flipX_ = false, flipY_ = false;
    // Created on first use.
    std::unique_ptr<std::unordered_map<std::string, host::Ref<CCAnimation>>> animations_;
    UpdateMethod updateMethod_;
};
