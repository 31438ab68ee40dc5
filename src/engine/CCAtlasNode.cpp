#include "engine/CCAtlasNode.h"

#include <algorithm>

#include "engine/CCContentScale.h"
#include "engine/CCTexture2D.h"
#include "engine/CCTextureAtlas.h"
#include "engine/CCTextureCache.h"
#include "engine/ccMacros.h"
#include "host/core/Log.h"
#include "host/display/GLES.h"

CCAtlasNode* CCAtlasNode::atlasWithTileFile(const std::string& tile, unsigned tileWidth, unsigned tileHeight,
                                            unsigned itemsToRender) {
    return host::create<CCAtlasNode>([&](CCAtlasNode* n) {
        return n->initWithTileFile(tile, tileWidth, tileHeight, itemsToRender);
    });
}

bool CCAtlasNode::initWithTileFile(const std::string& tile, unsigned tileWidth, unsigned tileHeight,
                                   unsigned itemsToRender) {
    if (!CCNode::init()) return false;
    itemWidth_ = static_cast<unsigned>(tileWidth * __ccContentScaleFactor);
    itemHeight_ = static_cast<unsigned>(tileHeight * __ccContentScaleFactor);
    opacity_ = 255;
    color_ = colorUnmodified_ = ccColor3B{255, 255, 255};
    opacityModifyRGB_ = true;
    blendFunc_ = ccBlendFunc{CC_BLEND_SRC, CC_BLEND_DST};

    if (tile.empty()) {
        host::log("CCAtlasNode: no tile file given");
        return false;
    }
    // A failing load has been logged by the image loader, with its reason.
    CCTexture2D* tex = CCTextureCache::sharedTextureCache()->addImage(tile);
    if (!tex) return false;
    textureAtlas_ = CCTextureAtlas::textureAtlasWithTexture(tex, itemsToRender);
    if (!textureAtlas_) {
        host::log("CCAtlasNode: not enough memory for %u quads", itemsToRender);
        return false;
    }
    updateBlendFunc();
    updateOpacityModifyRGB();
    calculateMaxItems();
    // Cell lookups divide by the cells per row: an image that holds no
    // whole cell (or a zero cell size) cannot be mapped at all.
    if (itemsPerRow_ == 0 || itemsPerColumn_ == 0) {
        host::log("CCAtlasNode: '%s' holds no whole %ux%u-pixel cell", tile.c_str(), itemWidth_, itemHeight_);
        return false;
    }
    quadsToDraw_ = itemsToRender;
    return true;
}

CCAtlasNode::~CCAtlasNode() = default;

void CCAtlasNode::updateAtlasValues() {
    throw CCInternalInconsistencyException("CCAtlasNode:Abstract: updateAtlasValue not overriden");
}

void CCAtlasNode::calculateMaxItems() {
    CCTexture2D* tex = texture();
    const CGSize size = tex ? tex->contentSizeInPixels() : CGSizeZero;
    itemsPerColumn_ = itemHeight_ ? static_cast<unsigned>(size.height / itemHeight_) : 0;
    itemsPerRow_ = itemWidth_ ? static_cast<unsigned>(size.width / itemWidth_) : 0;
}

void CCAtlasNode::updateBlendFunc() {
    CCTexture2D* tex = texture();
    if (!tex || !tex->hasPremultipliedAlpha()) blendFunc_ = ccBlendFunc{GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA};
}

void CCAtlasNode::updateOpacityModifyRGB() {
    CCTexture2D* tex = texture();
    opacityModifyRGB_ = tex && tex->hasPremultipliedAlpha();
}

CCTexture2D* CCAtlasNode::texture() const { return textureAtlas_ ? textureAtlas_->texture() : nullptr; }

void CCAtlasNode::setTexture(CCTexture2D* texture) {
    if (!textureAtlas_) return;
    textureAtlas_->setTexture(texture);
    updateBlendFunc();
    updateOpacityModifyRGB();
}

void CCAtlasNode::setTextureAtlas(CCTextureAtlas* atlas) { textureAtlas_ = atlas; }

ccColor3B CCAtlasNode::color() const { return opacityModifyRGB_ ? colorUnmodified_ : color_; }

void CCAtlasNode::setColor(ccColor3B color) {
    color_ = colorUnmodified_ = color;
    if (opacityModifyRGB_) {
        color_.r = static_cast<uint8_t>(color.r * opacity_ / 255);
        color_.g = static_cast<uint8_t>(color.g * opacity_ / 255);
        color_.b = static_cast<uint8_t>(color.b * opacity_ / 255);
    }
}

void CCAtlasNode::setOpacity(uint8_t opacity) {
    opacity_ = opacity;
    if (opacityModifyRGB_) setColor(colorUnmodified_);
}

void CCAtlasNode::setOpacityModifyRGB(bool modify) {
    const ccColor3B current = color();
    opacityModifyRGB_ = modify;
    setColor(current);
}

void CCAtlasNode::draw() {
    if (!textureAtlas_) return;
    // One tint for every cell: the current colour instead of the arrays.
    glDisableClientState(GL_COLOR_ARRAY);
    glColor4ub(color_.r, color_.g, color_.b, opacity_);
    const bool customBlend = !ccBlendFuncIsDefault(blendFunc_);
    if (customBlend) glBlendFunc(blendFunc_.src, blendFunc_.dst);
    // Never past the storage, whatever a caller set quadsToDraw to.
    textureAtlas_->drawNumberOfQuads(std::min(quadsToDraw_, textureAtlas_->capacity()), 0);
    if (customBlend) glBlendFunc(CC_BLEND_SRC, CC_BLEND_DST);
    glEnableClientState(GL_COLOR_ARRAY);
}
