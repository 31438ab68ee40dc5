// CCProgressTimer: a node that shows part of a sprite's image according to
// a percentage: a pie-shaped sector swept from 12 o'clock round the anchor
// point (radial), or a rectangle growing from one edge (bar). The sprite
// supplies the texture, colour, opacity, flips and blend function; the
// timer draws its own fan or strip of at most seven vertices, rebuilt only
// when the percentage, the type or the sprite changes.
//
// Texture coordinates below have v = 0 at the image's top row and span the
// texture's content (maxS x maxT).
#pragma once

#include <array>
#include <string>

#include "engine/CCNode.h"
#include "engine/ccTypes.h"
#include "host/core/Ref.h"

class CCSprite;
class CCTexture2D;

enum CCProgressTimerType {
    kCCProgressTimerTypeRadialCounterClockwise = 0,
    kCCProgressTimerTypeRadialClockwise = 1,
    kCCProgressTimerTypeBarLeftToRight = 2,
    kCCProgressTimerTypeBarRightToLeft = 3,
    kCCProgressTimerTypeBarBottomToTop = 4,
    kCCProgressTimerTypeBarTopToBottom = 5,
};

class CCProgressTimer : public CCNode {
public:
    // A timer on the texture-cache image of that name (nullptr when it
    // cannot be loaded), or on a texture; at 0 %, radial counter-clockwise,
    // anchor (0.5, 0.5), the sprite's size.
    static CCProgressTimer* progressWithFile(const std::string& fileName);
    static CCProgressTimer* progressWithTexture(CCTexture2D* texture);
    bool initWithFile(const std::string& fileName);
    bool initWithTexture(CCTexture2D* texture);

    // Clamped to 0 to 100 (the first value outside is logged once per
    // timer); a value that is not a number is refused and logged.
    void setPercentage(float percentage);
    float percentage() const { return percentage_; }
    // One of CCProgressTimerType; another value is logged and ignored.
    void setType(int type);
    int type() const { return type_; }
    void setSprite(CCSprite* sprite);
    CCSprite* sprite() const { return sprite_.get(); }

    void draw() override;

    // What draw() sends: a fan (radial) or a strip (bar) of this many
    // vertices, positions in the node's pixels.
    int vertexDataCount() const { return vertexDataCount_; }
    const ccV2F_C4B_T2F* vertexData() const { return vertexData_.data(); }

protected:
    ~CCProgressTimer() override;

    void updateProgress();
    void updateRadial();
    void updateBar();
    void updateColor();
    // Corner `index` (0 to 3) of the radial sweep, in units of the content:
    // the order the sweep meets them in. (0, 0) for other indices and for
    // the bar types.
    CGPoint boundaryTexCoord(int index) const;
    ccVertex2F vertexFromTexCoord(CGPoint texCoord) const;

private:
    bool isRadial() const { return type_ <= kCCProgressTimerTypeRadialClockwise; }
    // The content's extent in texture coordinates (maxS, maxT).
    CGPoint textureExtent() const;
    // Vertex i shows `texCoord` (flipped as the sprite is) at the place
    // the unflipped coordinate belongs.
    void setVertex(int i, CGPoint texCoord);
    // Sets the vertex count; a new count takes the sprite's colours anew.
    void resizeVertexData(int count);

    // The largest shape: the centre, 12 o'clock, four corners, the hit.
    static constexpr int kMaxVertices = 7;

    int type_ = kCCProgressTimerTypeRadialCounterClockwise;
    float percentage_ = 0;
    host::Ref<CCSprite> sprite_;
    int vertexDataCount_ = 0;
    std::array<ccV2F_C4B_T2F, kMaxVertices> vertexData_{};
    bool reportedOutOfRange_ = false;
};
