#include "engine/CCAnimation.h"

#include <cstdio>

#include "engine/CCSpriteFrame.h"
#include "engine/CCTexture2D.h"
#include "engine/CCTextureCache.h"

CCAnimation* CCAnimation::animation() { return animationWithName(std::string(), 0.0f, nullptr); }

CCAnimation* CCAnimation::animationWithFrames(CCArray* frames) {
    return animationWithName(std::string(), 0.0f, frames);
}

CCAnimation* CCAnimation::animationWithFrames(CCArray* frames, float delay) {
    return animationWithName(std::string(), delay, frames);
}

CCAnimation* CCAnimation::animationWithName(const std::string& name) { return animationWithName(name, 0.0f, nullptr); }

CCAnimation* CCAnimation::animationWithName(const std::string& name, CCArray* frames) {
    return animationWithName(name, 0.0f, frames);
}

CCAnimation* CCAnimation::animationWithName(const std::string& name, float delay) {
    return animationWithName(name, delay, nullptr);
}

CCAnimation* CCAnimation::animationWithName(const std::string& name, float delay, CCArray* frames) {
    return host::create<CCAnimation>([&](CCAnimation* a) { return a->initWithName(name, delay, frames); });
}

bool CCAnimation::init() { return initWithName(std::string(), 0.0f, nullptr); }
bool CCAnimation::initWithFrames(CCArray* frames) { return initWithName(std::string(), 0.0f, frames); }
bool CCAnimation::initWithFrames(CCArray* frames, float delay) { return initWithName(std::string(), delay, frames); }
bool CCAnimation::initWithName(const std::string& name) { return initWithName(name, 0.0f, nullptr); }
bool CCAnimation::initWithName(const std::string& name, CCArray* frames) { return initWithName(name, 0.0f, frames); }
bool CCAnimation::initWithName(const std::string& name, float delay) { return initWithName(name, delay, nullptr); }

bool CCAnimation::initWithName(const std::string& name, float delay, CCArray* frames) {
    name_ = name;
    delay_ = delay;
    setFrames(frames);
    return true;
}

void CCAnimation::setFrames(CCArray* frames) {
    // A copy, so the caller's array can change without changing the animation.
    frames_ = frames ? CCArray::arrayWithArray(frames) : CCArray::array();
}

void CCAnimation::addFrame(CCSpriteFrame* frame) {
    if (frame) frames_->addObject(frame);
}

bool CCAnimation::addFrameWithFilename(const std::string& filename) {
    CCTexture2D* texture = CCTextureCache::sharedTextureCache()->addImage(filename);
    if (!texture) return false;  // the image loader has logged why
    const CGSize size = texture->contentSize();
    addFrame(CCSpriteFrame::frameWithTexture(texture, CGRectMake(0, 0, size.width, size.height)));
    return true;
}

void CCAnimation::addFrameWithTexture(CCTexture2D* texture, CGRect rect) {
    addFrame(CCSpriteFrame::frameWithTexture(texture, rect));
}

std::string CCAnimation::description() const {
    char buf[64];
    std::snprintf(buf, sizeof buf, " | frames=%d, delay:%f>", int(frames_->count()), delay_);
    return "<" + className() + " = " + host::addressString(this) + buf;
}
