#include "engine/CCActionAnimate.h"

#include "engine/CCAnimation.h"
#include "engine/CCSprite.h"
#include "engine/CCSpriteFrame.h"
#include "engine/CCTexture2D.h"  // CCSpriteFrame.h needs the complete texture class
#include "engine/Support/CCArray.h"
#include "engine/ccMacros.h"
#include "host/core/Log.h"

CCAnimate* CCAnimate::actionWithAnimation(CCAnimation* animation) { return actionWithAnimation(animation, true); }

CCAnimate* CCAnimate::actionWithAnimation(CCAnimation* animation, bool restore) {
    return host::create<CCAnimate>([&](CCAnimate* a) { return a->initWithAnimation(animation, restore); });
}

CCAnimate* CCAnimate::actionWithDuration(ccTime d, CCAnimation* animation, bool restore) {
    return host::create<CCAnimate>([&](CCAnimate* a) { return a->initWithDuration(d, animation, restore); });
}

bool CCAnimate::initWithAnimation(CCAnimation* animation) { return initWithAnimation(animation, true); }

bool CCAnimate::initWithAnimation(CCAnimation* animation, bool restore) {
    CCAssert(animation != nullptr, "Animate: argument Animation must be non-nil");
    return initWithDuration(animation->frames()->count() * animation->delay(), animation, restore);
}

bool CCAnimate::initWithDuration(ccTime d, CCAnimation* animation, bool restore) {
    CCAssert(animation != nullptr, "Animate: argument Animation must be non-nil");
    if (!CCActionInterval::initWithDuration(d)) return false;
    restoreOriginalFrame_ = restore;
    animation_ = animation;
    origFrame_ = nullptr;
    return true;
}

CCAnimate::~CCAnimate() = default;

void CCAnimate::startWithTarget(CCNode* target) {
    CCActionInterval::startWithTarget(target);
    origFrame_ = nullptr;
    sprite_ = dynamic_cast<CCSprite*>(target);
    if (!sprite_) {
        host::log("CCAnimate: %s is not a sprite; no frames are shown", target->description().c_str());
        return;
    }
    if (restoreOriginalFrame_) origFrame_ = sprite_->displayedFrame();
}

void CCAnimate::update(ccTime t) {
    CCArray* frames = animation_->frames();
    const unsigned n = frames->count();
    if (!sprite_ || n == 0 || !finiteFor("frame", {t})) return;  // nothing to show
    // Easing may pass t slightly outside [0, 1]: stay within the frames.
    unsigned i = t > 0 ? static_cast<unsigned>(n * t) : 0;
    if (i >= n) i = n - 1;
    auto* frame = static_cast<CCSpriteFrame*>(frames->objectAtIndex(i));
    if (!sprite_->isFrameDisplayed(frame)) sprite_->setDisplayFrame(frame);
}

void CCAnimate::stop() {
    if (restoreOriginalFrame_ && sprite_ && origFrame_) sprite_->setDisplayFrame(origFrame_);
    sprite_ = nullptr;
    CCActionInterval::stop();
}

CCAnimate* CCAnimate::reverse() {
    CCArray* frames = animation_->frames();
    CCArray* reversed = CCArray::arrayWithCapacity(frames->count());
    for (unsigned i = frames->count(); i-- > 0;) {
        auto copy = ccOwnedCopy(static_cast<CCSpriteFrame*>(frames->objectAtIndex(i)));
        reversed->addObject(copy);
    }
    CCAnimation* animation = CCAnimation::animationWithFrames(reversed, animation_->delay());
    return actionWithDuration(duration_, animation, restoreOriginalFrame_);
}

CCAnimate* CCAnimate::makeCopy() const {
    return host::createOwned<CCAnimate>(
        [this](CCAnimate* a) { return a->initWithDuration(duration_, animation_, restoreOriginalFrame_); });
}
