#include "engine/CCMotionStreak.h"

#include "engine/CCRibbon.h"
#include "engine/Support/CGPointExtension.h"

CCMotionStreak* CCMotionStreak::streakWithFade(float fade, float minSeg, const std::string& image, float width,
                                               float length, ccColor4B color) {
    return host::create<CCMotionStreak>(
        [&](CCMotionStreak* s) { return s->initWithFade(fade, minSeg, image, width, length, color); });
}

bool CCMotionStreak::initWithFade(float fade, float minSeg, const std::string& image, float width, float length,
                                  ccColor4B color) {
    if (!CCNode::init()) return false;
    segThreshold_ = minSeg;
    width_ = width;
    lastLocation_ = CGPointZero;
    ribbon_ = CCRibbon::ribbonWithWidth(width_, image, length, color, fade);
    if (!ribbon_) return false;
    addChild(ribbon_.get());
    schedule(schedule_selector(CCMotionStreak::update), 0);
    return true;
}

void CCMotionStreak::update(ccTime dt) {
    const CGPoint world = convertToWorldSpace(CGPointZero);
    ribbon_->setPosition(ccp(-world.x, -world.y));
    if (ccpDistance(lastLocation_, world) > segThreshold_) {
        ribbon_->addPointAt(world, width_);
        lastLocation_ = world;
    }
    ribbon_->update(dt);
}

CCTexture2D* CCMotionStreak::texture() const { return ribbon_->texture(); }
void CCMotionStreak::setTexture(CCTexture2D* texture) { ribbon_->setTexture(texture); }
ccBlendFunc CCMotionStreak::blendFunc() const { return ribbon_->blendFunc(); }
void CCMotionStreak::setBlendFunc(ccBlendFunc blendFunc) { ribbon_->setBlendFunc(blendFunc); }
