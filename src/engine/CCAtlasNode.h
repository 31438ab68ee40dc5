// CCAtlasNode: a node that draws a run of equal-sized cells cut from one
// image, through a texture atlas, in one colour and opacity.
//
// Subclasses decide which cell each quad shows (updateAtlasValues); the
// node keeps the cell geometry, the tint and the blend function, and draws
// the first quadsToDraw quads in a single call with the tint as the
// current GL colour (the quads' own vertex colours are not used).
#pragma once

#include <string>

#include "engine/CCNode.h"
#include "engine/CCProtocols.h"
#include "engine/ccTypes.h"
#include "host/core/Ref.h"

class CCTexture2D;
class CCTextureAtlas;

class CCAtlasNode : public CCNode, public CCRGBAProtocol, public CCTextureProtocol {
public:
    // Cells are tileWidth x tileHeight points; the atlas holds
    // itemsToRender quads. nullptr when the image cannot be loaded or holds
    // no whole cell (both logged).
    static CCAtlasNode* atlasWithTileFile(const std::string& tile, unsigned tileWidth, unsigned tileHeight,
                                          unsigned itemsToRender);
    bool initWithTileFile(const std::string& tile, unsigned tileWidth, unsigned tileHeight,
                          unsigned itemsToRender);

    // Fills the quads. Subclasses must override it: the base throws a
    // CCInternalInconsistencyException ("CCAtlasNode:Abstract").
    virtual void updateAtlasValues();

    // ---- CCTextureProtocol ------------------------------------------------
    CCTexture2D* texture() const override;
    // Forwards to the atlas and re-derives the blend function and whether
    // colours are premultiplied.
    void setTexture(CCTexture2D* texture) override;
    ccBlendFunc blendFunc() const override { return blendFunc_; }
    void setBlendFunc(ccBlendFunc blendFunc) override { blendFunc_ = blendFunc; }

    // ---- CCRGBAProtocol ---------------------------------------------------
    // The colour as set (before any premultiplication).
    ccColor3B color() const override;
    void setColor(ccColor3B color) override;
    uint8_t opacity() const override { return opacity_; }
    void setOpacity(uint8_t opacity) override;
    bool doesOpacityModifyRGB() const override { return opacityModifyRGB_; }
    void setOpacityModifyRGB(bool modify) override;

    CCTextureAtlas* textureAtlas() const { return textureAtlas_.get(); }
    void setTextureAtlas(CCTextureAtlas* atlas);
    unsigned quadsToDraw() const { return quadsToDraw_; }
    void setQuadsToDraw(unsigned n) { quadsToDraw_ = n; }

    void draw() override;

protected:
    ~CCAtlasNode() override;

    // Cells across and down the texture, from its content size.
    void calculateMaxItems();
    void updateBlendFunc();
    void updateOpacityModifyRGB();

    host::Ref<CCTextureAtlas> textureAtlas_;
    unsigned itemsPerRow_ = 0;
    unsigned itemsPerColumn_ = 0;
    unsigned itemWidth_ = 0;   // pixels
    unsigned itemHeight_ = 0;  // pixels
    unsigned quadsToDraw_ = 0;
    ccBlendFunc blendFunc_{CC_BLEND_SRC, CC_BLEND_DST};
    uint8_t opacity_ = 255;
    ccColor3B color_{255, 255, 255};            // what draw() uses
    ccColor3B colorUnmodified_{255, 255, 255};  // what was set
    bool opacityModifyRGB_ = true;
};
