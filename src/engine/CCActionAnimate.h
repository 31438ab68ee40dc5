// CCAnimate: plays the frames of a CCAnimation on a sprite, optionally
// putting back the frame the sprite showed before when it stops.
#pragma once

#include "engine/CCAction.h"
#include "host/core/Ref.h"

class CCAnimation;
class CCSprite;
class CCSpriteFrame;

class CCAnimate : public CCActionInterval {
public:
    // Duration = number of frames × the animation's delay; restores the
    // original frame.
    static CCAnimate* actionWithAnimation(CCAnimation* animation);
    static CCAnimate* actionWithAnimation(CCAnimation* animation, bool restoreOriginalFrame);
    static CCAnimate* actionWithDuration(ccTime d, CCAnimation* animation, bool restoreOriginalFrame);
    bool initWithAnimation(CCAnimation* animation);
    bool initWithAnimation(CCAnimation* animation, bool restoreOriginalFrame);
    bool initWithDuration(ccTime d, CCAnimation* animation, bool restoreOriginalFrame);

    CCAnimation* animation() const { return animation_.get(); }
    void setAnimation(CCAnimation* animation) { animation_ = animation; }

    // On a target that is not a sprite it logs one line and shows nothing.
    void startWithTarget(CCNode* target) override;
    void update(ccTime t) override;
    void stop() override;
    // The frames in reverse order (copies), same delay, duration and flag.
    CCAnimate* reverse() override;
    // Shares the animation.
    host::Ref<CCAnimate> copy() const { return host::Ref<CCAnimate>::adopt(makeCopy()); }

protected:
    CCAnimate* makeCopy() const override;
    ~CCAnimate() override;

    host::Ref<CCAnimation> animation_;
    host::Ref<CCSpriteFrame> origFrame_;
    bool restoreOriginalFrame_ = true;
    CCSprite* sprite_ = nullptr;  // the target as a sprite, while running
};
