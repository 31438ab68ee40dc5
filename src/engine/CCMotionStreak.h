// CCMotionStreak: a node that leaves a fading ribbon behind itself as it
// moves. Every frame it adds its world position to its ribbon once it has
// moved more than the minimum segment length since the last point; the
// ribbon, its child, is kept at minus that world position, so its points,
// stored in world coordinates, draw where they were laid down (ancestors
// may translate; their rotation and scale do not carry over).
#pragma once

#include <string>

#include "engine/CCNode.h"
#include "engine/CCProtocols.h"
#include "engine/CCRibbon.h"
#include "engine/ccTypes.h"
#include "host/core/Ref.h"

class CCTexture2D;

class CCMotionStreak : public CCNode, public CCTextureProtocol {
public:
    // Points fade over `fade` seconds; a point is added after every move
    // longer than `minSeg` points; the band is `width` points wide and its
    // texture repeats every `length` pixels. nullptr when the image cannot
    // be loaded (logged by the texture cache).
    static CCMotionStreak* streakWithFade(float fade, float minSeg, const std::string& image, float width,
                                          float length, ccColor4B color);
    bool initWithFade(float fade, float minSeg, const std::string& image, float width, float length,
                      ccColor4B color);

    // Scheduled every frame from creation.
    void update(ccTime dt) override;

    CCRibbon* ribbon() const { return ribbon_.get(); }

    // ---- CCTextureProtocol, forwarded to the ribbon --------------------------
    CCTexture2D* texture() const override;
    void setTexture(CCTexture2D* texture) override;
    ccBlendFunc blendFunc() const override;
    void setBlendFunc(ccBlendFunc blendFunc) override;

protected:
    ~CCMotionStreak() override = default;

private:
    host::Ref<CCRibbon> ribbon_;  // also a child
    float segThreshold_ = 0;
    float width_ = 0;
    CGPoint lastLocation_{0, 0};
};
