// CCSprite: creation, texture rectangle, colour and stand-alone drawing.
// The batch-mode half (quads in the batch node's space, children in the
// atlas) is in CCSpriteBatchMode.cpp.
#include "engine/CCSprite.h"

#include <cstdio>
#include <utility>

#include "engine/CCAnimation.h"
#include "engine/CCAnimationCache.h"
#include "engine/CCContentScale.h"
#include "engine/CCSpriteBatchNode.h"
#include "engine/CCSpriteFrame.h"
#include "engine/CCSpriteFrameCache.h"
#include "engine/CCTexture2D.h"
#include "engine/CCTextureAtlas.h"
#include "engine/CCTextureCache.h"
#include "host/core/Log.h"
#include "host/display/GLES.h"

namespace {

constexpr ccColor4B kOpaqueWhite{255, 255, 255, 255};

CGRect divided(CGRect r, float s) {
    return CGRectMake(r.origin.x / s, r.origin.y / s, r.size.width / s, r.size.height / s);
}

CGRect multiplied(CGRect r, float s) {
    return CGRectMake(r.origin.x * s, r.origin.y * s, r.size.width * s, r.size.height * s);
}

CGRect wholeTexture(const CCTexture2D* texture) {
    if (!texture) return CGRectZero;
    const CGSize size = texture->contentSize();
    return CGRectMake(0, 0, size.width, size.height);
}

}  // namespace

// ---- Creation -------------------------------------------------------------

CCSprite* CCSprite::node() { return host::create<CCSprite>(); }

CCSprite* CCSprite::spriteWithTexture(CCTexture2D* texture) {
    return host::create<CCSprite>([&](CCSprite* s) { return s->initWithTexture(texture); });
}

CCSprite* CCSprite::spriteWithTexture(CCTexture2D* texture, CGRect rect) {
    return host::create<CCSprite>([&](CCSprite* s) { return s->initWithTexture(texture, rect); });
}

CCSprite* CCSprite::spriteWithFile(const std::string& filename) {
    return host::create<CCSprite>([&](CCSprite* s) { return s->initWithFile(filename); });
}

CCSprite* CCSprite::spriteWithFile(const std::string& filename, CGRect rect) {
    return host::create<CCSprite>([&](CCSprite* s) { return s->initWithFile(filename, rect); });
}

CCSprite* CCSprite::spriteWithSpriteFrame(CCSpriteFrame* frame) {
    return host::create<CCSprite>([&](CCSprite* s) { return s->initWithSpriteFrame(frame); });
}

CCSprite* CCSprite::spriteWithSpriteFrameName(const std::string& frameName) {
    return host::create<CCSprite>([&](CCSprite* s) { return s->initWithSpriteFrameName(frameName); });
}

CCSprite* CCSprite::spriteWithCGImage(host::Image* image, const std::string& key) {
    return host::create<CCSprite>([&](CCSprite* s) { return s->initWithCGImage(image, key); });
}

CCSprite* CCSprite::spriteWithBatchNode(CCSpriteBatchNode* batchNode, CGRect rect) {
    return host::create<CCSprite>([&](CCSprite* s) { return s->initWithBatchNode(batchNode, rect); });
}

bool CCSprite::init() {
    if (!CCNode::init()) return false;
    dirty_ = recursiveDirty_ = false;
    useSelfRender();
    opacityModifyRGB_ = true;
    opacity_ = 255;
    color_ = colorUnmodified_ = ccc3(255, 255, 255);
    blendFunc_ = ccBlendFunc{CC_BLEND_SRC, CC_BLEND_DST};
    // No texture yet: straight-alpha blending, no premultiplied colour.
    setTexture(nullptr);
    quad_ = ccV3F_C4B_T2F_Quad{};
    flipX_ = flipY_ = false;
    animations_.reset();
    setAnchorPoint(CGPointMake(0.5f, 0.5f));
    offsetPositionInPixels_ = unflippedOffsetPositionFromCenter_ = CGPointZero;
    honorParentTransform_ = CC_HONOR_PARENT_TRANSFORM_ALL;
    hasChildren_ = false;
    quad_.tl.colors = quad_.bl.colors = quad_.tr.colors = quad_.br.colors = kOpaqueWhite;
    setTextureRectInPixels(CGRectZero, false, CGSizeZero);
    updateMethod_ = cc_selector(CCSprite::updateTransform);
    return true;
}

bool CCSprite::initWithTexture(CCTexture2D* texture) { return initWithTexture(texture, wholeTexture(texture)); }

bool CCSprite::initWithTexture(CCTexture2D* texture, CGRect rect) {
    if (!init()) return false;
    setTexture(texture);
    setTextureRect(rect);
    return true;
}

bool CCSprite::initWithFile(const std::string& filename) {
    CCTexture2D* texture = CCTextureCache::sharedTextureCache()->addImage(filename);
    return texture && initWithTexture(texture);  // the cache logs a failed load
}

bool CCSprite::initWithFile(const std::string& filename, CGRect rect) {
    CCTexture2D* texture = CCTextureCache::sharedTextureCache()->addImage(filename);
    return texture && initWithTexture(texture, rect);
}

bool CCSprite::initWithSpriteFrame(CCSpriteFrame* frame) {
    if (!frame) {
        host::log("CCSprite: cannot show a null sprite frame");
        return false;
    }
    if (!initWithTexture(frame->texture(), frame->rect())) return false;
    setDisplayFrame(frame);
    return true;
}

bool CCSprite::initWithSpriteFrameName(const std::string& frameName) {
    CCSpriteFrame* frame = CCSpriteFrameCache::sharedSpriteFrameCache()->spriteFrameByName(frameName);
    if (!frame) {
        host::log("CCSprite: no sprite frame named \"%s\"", frameName.c_str());
        return false;
    }
    return initWithSpriteFrame(frame);
}

bool CCSprite::initWithCGImage(host::Image* image, const std::string& key) {
    CCTexture2D* texture = CCTextureCache::sharedTextureCache()->addCGImage(image, &key);
    return texture && initWithTexture(texture);
}

bool CCSprite::initWithCGImage(host::Image* image) { return initWithCGImage(image, host::addressString(image)); }

bool CCSprite::initWithBatchNode(CCSpriteBatchNode* batchNode, CGRect rect) {
    if (!batchNode || !initWithTexture(batchNode->texture(), rect)) return false;
    useBatchNode(batchNode);
    return true;
}

bool CCSprite::initWithBatchNodeRectInPixels(CCSpriteBatchNode* batchNode, CGRect rectInPixels) {
    if (!batchNode || !initWithTexture(batchNode->texture())) return false;
    setTextureRectInPixels(rectInPixels, false, rectInPixels.size);
    useBatchNode(batchNode);
    return true;
}

CCSprite::CCSprite() = default;
CCSprite::~CCSprite() = default;

std::string CCSprite::description() const {
    char buf[160];
    std::snprintf(buf, sizeof buf, " | Rect = (%.2f,%.2f,%.2f,%.2f) | tag = %i | atlasIndex = %i>", rect_.origin.x,
                  rect_.origin.y, rect_.size.width, rect_.size.height, tag_, int(atlasIndex_));
    return "<" + className() + " = " + host::addressString(this) + buf;
}

// ---- Texture rectangle ------------------------------------------------------

void CCSprite::setTextureRect(CGRect rect) {
    const CGRect pixels = multiplied(rect, __ccContentScaleFactor);
    setTextureRectInPixels(pixels, false, pixels.size);
}

void CCSprite::setTextureRectInPixels(CGRect rect, bool rotated, CGSize untrimmedSize) {
    rectInPixels_ = rect;
    rect_ = divided(rect, __ccContentScaleFactor);
    rectRotated_ = rotated;
    setContentSizeInPixels(untrimmedSize);
    updateTextureCoords(rectInPixels_);

    // Where the trimmed rectangle sits in the untrimmed content, mirrored
    // with the flips.
    CGPoint relative = unflippedOffsetPositionFromCenter_;
    if (flipX_) relative.x = -relative.x;
    if (flipY_) relative.y = -relative.y;
    offsetPositionInPixels_ =
        CGPointMake(relative.x + (contentSizeInPixels_.width - rectInPixels_.size.width) / 2,
                    relative.y + (contentSizeInPixels_.height - rectInPixels_.size.height) / 2);

    if (usesBatchNode_)
        dirty_ = true;  // the atlas quad is rewritten at the next draw
    else
        setStandAloneVertices();
}

void CCSprite::setStandAloneVertices() {
    const float x1 = offsetPositionInPixels_.x, y1 = offsetPositionInPixels_.y;
    const float x2 = x1 + rectInPixels_.size.width, y2 = y1 + rectInPixels_.size.height;
    quad_.bl.vertices = ccVertex3F{x1, y1, 0};
    quad_.br.vertices = ccVertex3F{x2, y1, 0};
    quad_.tl.vertices = ccVertex3F{x1, y2, 0};
    quad_.tr.vertices = ccVertex3F{x2, y2, 0};
}

void CCSprite::updateTextureCoords(CGRect rect) {
    const CCTexture2D* tex = usesBatchNode_ ? (textureAtlas_ ? textureAtlas_->texture() : nullptr) : texture_.get();
    if (!tex || tex->pixelsWide() == 0 || tex->pixelsHigh() == 0) return;
    const float w = float(tex->pixelsWide()), h = float(tex->pixelsHigh());
    float left = rect.origin.x / w, top = rect.origin.y / h;
    if (rectRotated_) {
        // Stored turned 90 degrees: the image's width runs down the texture.
        float right = left + rect.size.height / w;
        float bottom = top + rect.size.width / h;
        if (flipX_) std::swap(top, bottom);
        if (flipY_) std::swap(left, right);
        quad_.bl.texCoords = ccTex2F{left, top};
        quad_.br.texCoords = ccTex2F{left, bottom};
        quad_.tl.texCoords = ccTex2F{right, top};
        quad_.tr.texCoords = ccTex2F{right, bottom};
    } else {
        float right = left + rect.size.width / w;
        float bottom = top + rect.size.height / h;
        if (flipX_) std::swap(left, right);
        if (flipY_) std::swap(top, bottom);
        quad_.bl.texCoords = ccTex2F{left, bottom};
        quad_.br.texCoords = ccTex2F{right, bottom};
        quad_.tl.texCoords = ccTex2F{left, top};
        quad_.tr.texCoords = ccTex2F{right, top};
    }
}

void CCSprite::setFlipX(bool flip) {
    if (flipX_ == flip) return;
    flipX_ = flip;
    setTextureRectInPixels(rectInPixels_, rectRotated_, contentSizeInPixels_);
}

void CCSprite::setFlipY(bool flip) {
    if (flipY_ == flip) return;
    flipY_ = flip;
    setTextureRectInPixels(rectInPixels_, rectRotated_, contentSizeInPixels_);
}

// ---- Frames and animations ----------------------------------------------------

void CCSprite::setDisplayFrame(CCSpriteFrame* frame) {
    if (!frame) return;
    unflippedOffsetPositionFromCenter_ = frame->offsetInPixels();
    CCTexture2D* newTexture = frame->texture();
    const unsigned newName = newTexture ? newTexture->name() : 0;
    const unsigned oldName = texture_ ? texture_->name() : 0;
    if (newName != oldName) setTexture(newTexture);
    rectRotated_ = frame->rotated();
    setTextureRectInPixels(frame->rectInPixels(), frame->rotated(), frame->originalSizeInPixels());
}

CCSpriteFrame* CCSprite::displayedFrame() const {
    return CCSpriteFrame::frameWithTexture(texture_.get(), rectInPixels_, rectRotated_,
                                           unflippedOffsetPositionFromCenter_, contentSizeInPixels_);
}

bool CCSprite::isFrameDisplayed(CCSpriteFrame* frame) const {
    if (!frame) return false;
    const unsigned frameName = frame->texture() ? frame->texture()->name() : 0;
    const unsigned ownName = texture_ ? texture_->name() : 0;
    return CGRectEqualToRect(frame->rect(), rect_) && frameName == ownName;
}

namespace {

// Frame `index` of the animation, or nullptr (logged) when there is none.
CCSpriteFrame* frameOf(const CCAnimation* animation, const std::string& name, unsigned index) {
    if (!animation) {
        host::log("CCSprite: no animation named \"%s\"", name.c_str());
        return nullptr;
    }
    CCArray* frames = animation->frames();
    if (index >= frames->count()) {
        host::log("CCSprite: animation \"%s\" has no frame %u (it has %u)", name.c_str(), index, frames->count());
        return nullptr;
    }
    return static_cast<CCSpriteFrame*>(frames->objectAtIndex(index));
}

}  // namespace

void CCSprite::setDisplayFrameWithAnimationName(const std::string& animationName, unsigned frameIndex) {
    const CCAnimation* a = CCAnimationCache::sharedAnimationCache()->animationByName(animationName);
    if (CCSpriteFrame* frame = frameOf(a, animationName, frameIndex)) setDisplayFrame(frame);
}

void CCSprite::addAnimation(CCAnimation* animation) {
    if (!animation) return;
    if (!animations_) {
        animations_ = std::make_unique<std::unordered_map<std::string, host::Ref<CCAnimation>>>();
        animations_->reserve(2);
    }
    (*animations_)[animation->name()] = animation;
}

CCAnimation* CCSprite::animationByName(const std::string& animationName) const {
    if (!animations_) return nullptr;
    auto it = animations_->find(animationName);
    return it == animations_->end() ? nullptr : it->second.get();
}

void CCSprite::setDisplayFrame(const std::string& animationName, unsigned frameIndex) {
    if (CCSpriteFrame* frame = frameOf(animationByName(animationName), animationName, frameIndex))
        setDisplayFrame(frame);
}

// ---- Colour, opacity, texture and blending --------------------------------------

void CCSprite::setColor(ccColor3B color) {
    colorUnmodified_ = color_ = color;
    if (opacityModifyRGB_) {
        color_.r = uint8_t(color.r * opacity_ / 255);
        color_.g = uint8_t(color.g * opacity_ / 255);
        color_.b = uint8_t(color.b * opacity_ / 255);
    }
    updateColor();
}

ccColor3B CCSprite::color() const { return opacityModifyRGB_ ? colorUnmodified_ : color_; }

void CCSprite::setOpacity(uint8_t opacity) {
    opacity_ = opacity;
    if (opacityModifyRGB_) setColor(colorUnmodified_);
    updateColor();
}

void CCSprite::setOpacityModifyRGB(bool modify) {
    const ccColor3B c = color();
    opacityModifyRGB_ = modify;
    setColor(c);
}

void CCSprite::updateColor() {
    const ccColor4B c{color_.r, color_.g, color_.b, opacity_};
    quad_.tl.colors = quad_.bl.colors = quad_.tr.colors = quad_.br.colors = c;
    if (!usesBatchNode_) return;
    if (atlasIndex_ != CCSpriteIndexNotInitialized && textureAtlas_)
        textureAtlas_->updateQuad(&quad_, atlasIndex_);
    else
        dirty_ = true;  // not in the atlas yet: written when it gets a slot
}

void CCSprite::setTexture(CCTexture2D* texture) {
    texture_ = texture;  // retains the new one before releasing the old
    updateBlendFunc();
}

void CCSprite::updateBlendFunc() {
    if (texture_ && texture_->hasPremultipliedAlpha()) {
        blendFunc_ = ccBlendFunc{CC_BLEND_SRC, CC_BLEND_DST};
        opacityModifyRGB_ = true;
    } else {
        blendFunc_ = ccBlendFunc{GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA};
        opacityModifyRGB_ = false;
    }
}

// ---- Stand-alone drawing ---------------------------------------------------------

void CCSprite::draw() {
    const bool customBlend = !ccBlendFuncIsDefault(blendFunc_);
    if (customBlend) glBlendFunc(blendFunc_.src, blendFunc_.dst);
    glBindTexture(GL_TEXTURE_2D, texture_ ? texture_->name() : 0);
    constexpr GLsizei stride = sizeof(ccV3F_C4B_T2F);
    glVertexPointer(3, GL_FLOAT, stride, &quad_.tl.vertices);
    glColorPointer(4, GL_UNSIGNED_BYTE, stride, &quad_.tl.colors);
    glTexCoordPointer(2, GL_FLOAT, stride, &quad_.tl.texCoords);
    glDrawArrays(GL_TRIANGLE_STRIP, 0, 4);  // tl, bl, tr, br
    if (customBlend) glBlendFunc(CC_BLEND_SRC, CC_BLEND_DST);
}
