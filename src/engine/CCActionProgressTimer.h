// Actions that animate a CCProgressTimer's percentage. A target that is
// not a progress timer is logged once per start and left alone.
#pragma once

#include "engine/CCAction.h"

class CCProgressTimer;

// What both progress actions share: the percentages they run between and
// the timer they set, from + (to - from) x t.
class CCProgressAction : public CCActionInterval {
public:
    void startWithTarget(CCNode* target) override;
    void update(ccTime t) override;

protected:
    ~CCProgressAction() override = default;

    float to_ = 0, from_ = 0;
    CCProgressTimer* timer_ = nullptr;  // the target, when it is a timer
};

// From the timer's percentage when the action starts (0 when the timer is
// full, so that a full timer runs again) to a given one.
class CCProgressTo : public CCProgressAction {
public:
    static CCProgressTo* actionWithDuration(ccTime d, float percent);
    bool initWithDuration(ccTime d, float percent);
    void startWithTarget(CCNode* target) override;
    host::Ref<CCProgressTo> copy() const { return host::Ref<CCProgressTo>::adopt(makeCopy()); }

protected:
    CCProgressTo* makeCopy() const override;
    ~CCProgressTo() override = default;
};

// From one given percentage to another.
class CCProgressFromTo : public CCProgressAction {
public:
    static CCProgressFromTo* actionWithDuration(ccTime d, float fromPercentage, float toPercentage);
    bool initWithDuration(ccTime d, float fromPercentage, float toPercentage);
    // From and to swapped.
    CCProgressFromTo* reverse() override;
    host::Ref<CCProgressFromTo> copy() const { return host::Ref<CCProgressFromTo>::adopt(makeCopy()); }

protected:
    CCProgressFromTo* makeCopy() const override;
    ~CCProgressFromTo() override = default;
};
