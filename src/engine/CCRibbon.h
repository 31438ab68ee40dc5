// CCRibbon: a textured band through a series of points. Each point widens
// into a left and a right edge vertex across the direction of travel; the
// texture repeats along the band every `textureLength` pixels, and points
// fade out with age over `fadeTime` seconds of the ribbon's own clock.
//
// The band is kept in segments of 50 points, drawn as one triangle strip
// each. A full segment starts the next with a copy of its last point, so
// the band stays continuous; once every point of a segment has faded it
// is kept for reuse, so a ribbon that keeps moving allocates nothing in
// steady state. Points are in pixels of the ribbon's space.
#pragma once

#include <cstdint>
#include <string>

#include "engine/CCNode.h"
#include "engine/CCProtocols.h"
#include "engine/Support/CCArray.h"
#include "engine/ccTypes.h"
#include "host/core/Ref.h"

class CCTexture2D;

class CCRibbonSegment : public host::Object {
public:
    static constexpr unsigned kPoints = 50;

    bool init();
    // Empty and not finished.
    void reset();
    // Draws the points still visible at time `curTime`, alpha falling from
    // the colour's to 0 over `fadeTime`; at time 0 every point has the
    // colour (no fading yet). Points that have faded are dropped from the
    // front; a segment whose every point has gone is marked finished.
    void draw(float curTime, float fadeTime, ccColor4B color);
    // Drops faded points without drawing (a ribbon that is not visited
    // still retires its segments).
    void dropFadedPoints(float curTime, float fadeTime);

    std::string description() const override;

    float verts[kPoints * 2 * 3];            // two vertices (x, y, z) a point, pixels
    float coords[kPoints * 2 * 2];           // two (u, v) a point
    uint8_t colors[kPoints * 2 * 4];         // two (r, g, b, a) a point
    float creationTime[kPoints];             // when each point was added (ribbon clock)
    bool finished = false;                   // every point has faded out
    unsigned end = 0;                        // points stored
    unsigned begin = 0;                      // first point still drawn

private:
    // Age as a fraction of the fade time: above 1 the point has gone.
    static float age(float curTime, float creation, float fadeTime) {
        return fadeTime > 0 ? (curTime - creation) / fadeTime : 2.0f;
    }
};

class CCRibbon : public CCNode, public CCTextureProtocol {
public:
    // `width` in points; the image from the texture cache, repeating every
    // `length` pixels along the band; `fade` seconds. nullptr when the
    // image cannot be loaded (logged by the cache).
    static CCRibbon* ribbonWithWidth(float width, const std::string& image, float length, ccColor4B color, float fade);
    bool initWithWidth(float width, const std::string& image, float length, ccColor4B color, float fade);

    // Adds a point at `location` (points) with the band `width` (points)
    // wide there. The first point only records where the band starts.
    void addPointAt(CGPoint location, float width);
    // Advances the ribbon's clock.
    void update(ccTime dt) override;
    void draw() override;

    // (x cos a - y sin a, x sin a + y cos a).
    static CGPoint rotatePoint(CGPoint point, float rotation);
    // Which side of the line l1-l2 the point lies on (the sign).
    static float sideOfLine(CGPoint p, CGPoint l1, CGPoint l2);

    // ---- CCTextureProtocol -------------------------------------------------
    CCTexture2D* texture() const override { return texture_.get(); }
    // Also sizes the ribbon to the texture (pixels).
    void setTexture(CCTexture2D* texture) override;
    ccBlendFunc blendFunc() const override { return blendFunc_; }
    void setBlendFunc(ccBlendFunc blendFunc) override { blendFunc_ = blendFunc; }

    float textureLength() const { return textureLength_; }
    void setTextureLength(float length) { textureLength_ = length; }
    ccColor4B color() const { return color_; }
    void setColor(ccColor4B color) { color_ = color; }

    CCArray* segments() const { return segments_.get(); }
    CCArray* deletedSegments() const { return deletedSegments_.get(); }
    float currentTime() const { return curTime_; }
    int vertexCount() const { return vertCount_; }

protected:
    ~CCRibbon() override;

private:
    // A segment for the next points: a kept one, reset, or a new one.
    CCRibbonSegment* takeSegment();

    host::Ref<CCArray> segments_;
    host::Ref<CCArray> deletedSegments_;
    CGPoint lastPoint1_{0, 0};
    CGPoint lastPoint2_{0, 0};
    CGPoint lastLocation_{0, 0};  // pixels
    int vertCount_ = 0;  // vertices the last draw drew
    float texVPos_ = 0;
    float curTime_ = 0;
    float fadeTime_ = 0;
    float delta_ = 0;
    float lastWidth_ = 0;  // half width, pixels
    bool pastFirstPoint_ = false;
    host::Ref<CCTexture2D> texture_;
    float textureLength_ = 1;
    ccColor4B color_{255, 255, 255, 255};
    ccBlendFunc blendFunc_{CC_BLEND_SRC, CC_BLEND_DST};
};
