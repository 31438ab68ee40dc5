#include "engine/CCActionProgressTimer.h"

#include "engine/CCProgressTimer.h"
#include "host/core/Log.h"

void CCProgressAction::startWithTarget(CCNode* target) {
    CCActionInterval::startWithTarget(target);
    timer_ = dynamic_cast<CCProgressTimer*>(target);
    if (!timer_ && target)
        host::log("%s: %s is not a progress timer; the action changes nothing", className().c_str(),
                  target->description().c_str());
}

void CCProgressAction::update(ccTime t) {
    const float percentage = from_ + (to_ - from_) * t;
    if (timer_ && finiteFor("percentage", {percentage})) timer_->setPercentage(percentage);
}

CCProgressTo* CCProgressTo::actionWithDuration(ccTime d, float percent) {
    return host::create<CCProgressTo>([&](CCProgressTo* a) { return a->initWithDuration(d, percent); });
}

bool CCProgressTo::initWithDuration(ccTime d, float percent) {
    if (!CCActionInterval::initWithDuration(d)) return false;
    to_ = percent;
    return true;
}

void CCProgressTo::startWithTarget(CCNode* target) {
    CCProgressAction::startWithTarget(target);
    from_ = timer_ ? timer_->percentage() : 0;
    // A full timer starts again from empty.
    if (from_ == 100) from_ = 0;
}

CCProgressTo* CCProgressTo::makeCopy() const {
    return host::createOwned<CCProgressTo>([&](CCProgressTo* a) { return a->initWithDuration(duration_, to_); });
}

CCProgressFromTo* CCProgressFromTo::actionWithDuration(ccTime d, float fromPercentage, float toPercentage) {
    return host::create<CCProgressFromTo>(
        [&](CCProgressFromTo* a) { return a->initWithDuration(d, fromPercentage, toPercentage); });
}

bool CCProgressFromTo::initWithDuration(ccTime d, float fromPercentage, float toPercentage) {
    if (!CCActionInterval::initWithDuration(d)) return false;
    from_ = fromPercentage;
    to_ = toPercentage;
    return true;
}

CCProgressFromTo* CCProgressFromTo::reverse() { return actionWithDuration(duration_, to_, from_); }

CCProgressFromTo* CCProgressFromTo::makeCopy() const {
    return host::createOwned<CCProgressFromTo>(
        [&](CCProgressFromTo* a) { return a->initWithDuration(duration_, from_, to_); });
}
