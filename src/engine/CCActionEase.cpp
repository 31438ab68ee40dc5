#include "engine/CCActionEase.h"

#include <cmath>

#include "engine/ccMacros.h"

namespace {

// Single-precision constants, so every curve computes in float.
constexpr float kPi = 3.1415927f;
constexpr float kHalfPi = 1.5707964f;
constexpr float kBackOvershoot = 1.70158f;
constexpr float kBackInOutOvershoot = 1.70158f * 1.525f;  // 2.5949094
constexpr float kElasticPeriod = 0.3f;
constexpr float kElasticInOutPeriod = 0.45f;

inline float pow2(float x) { return std::pow(2.0f, x); }

}  // namespace

// ---- CCActionEase --------------------------------------------------------------

CCActionEase* CCActionEase::actionWithAction(CCActionInterval* action) { return wrap<CCActionEase>(action); }

bool CCActionEase::initWithAction(CCActionInterval* action) {
    CCAssert(action != nullptr, "Ease: argument must be non-nil");
    if (!initWithDuration(action->duration())) return false;
    other = action;
    return true;
}

CCActionEase::~CCActionEase() = default;

void CCActionEase::startWithTarget(CCNode* target) {
    CCActionInterval::startWithTarget(target);
    other->startWithTarget(target_);
}

void CCActionEase::stop() {
    other->stop();
    CCActionInterval::stop();
}

void CCActionEase::update(ccTime t) { updateInner(t); }

CCActionInterval* CCActionEase::reversedInner() { return dynamic_cast<CCActionInterval*>(other->reverse()); }

CCActionInterval* CCActionEase::reverse() { return wrap<CCActionEase>(reversedInner()); }

CCActionEase* CCActionEase::makeCopy() const { return copyAs<CCActionEase>(); }

// ---- Rate curves ---------------------------------------------------------------

CCEaseRateAction* CCEaseRateAction::actionWithAction(CCActionInterval* action, float rate) {
    return wrap<CCEaseRateAction>(action, rate);
}

bool CCEaseRateAction::initWithAction(CCActionInterval* action, float rate) {
    if (!CCActionEase::initWithAction(action)) return false;
    rate_ = rate;
    return true;
}

CCEaseRateAction* CCEaseRateAction::sameKind(CCActionInterval* inner, float rate) const {
    return actionWithAction(inner, rate);
}

CCActionInterval* CCEaseRateAction::reverse() {
    CCActionInterval* inner = reversedInner();
    return inner ? sameKind(inner, 1 / rate_) : nullptr;
}

void CCEaseIn::update(ccTime t) { updateInner(std::pow(t, rate_)); }

void CCEaseOut::update(ccTime t) { updateInner(std::pow(t, 1 / rate_)); }

void CCEaseInOut::update(ccTime t) {
    const float u = t * 2;
    // The power of the distance to the end, not of a negative number: a
    // fractional power of a negative base has no value. For whole rates
    // this is the same curve, to the bit.
    if (u < 1)
        updateInner(0.5f * std::pow(u, rate_));
    else
        updateInner(0.5f * (2 - std::pow(2 - u, rate_)));
}

CCActionInterval* CCEaseInOut::reverse() {
    CCActionInterval* inner = reversedInner();
    return inner ? sameKind(inner, rate_) : nullptr;
}

// ---- Exponential ---------------------------------------------------------------

void CCEaseExponentialIn::update(ccTime t) { updateInner(t == 0 ? 0 : pow2(10 * (t - 1)) - 0.001f); }

CCActionInterval* CCEaseExponentialIn::reverse() { return CCEaseExponentialOut::actionWithAction(reversedInner()); }

void CCEaseExponentialOut::update(ccTime t) { updateInner(t == 1 ? 1 : 1 - pow2(-10 * t)); }

CCActionInterval* CCEaseExponentialOut::reverse() { return CCEaseExponentialIn::actionWithAction(reversedInner()); }

void CCEaseExponentialInOut::update(ccTime t) {
    const float u = t * 2;
    if (u < 1)
        updateInner(0.5f * pow2(10 * (u - 1)));
    else
        updateInner(0.5f * (2 - pow2(-10 * (u - 1))));
}

// ---- Sine ----------------------------------------------------------------------

void CCEaseSineIn::update(ccTime t) { updateInner(1 - std::cos(t * kHalfPi)); }

CCActionInterval* CCEaseSineIn::reverse() { return CCEaseSineOut::actionWithAction(reversedInner()); }

void CCEaseSineOut::update(ccTime t) { updateInner(std::sin(t * kHalfPi)); }

CCActionInterval* CCEaseSineOut::reverse() { return CCEaseSineIn::actionWithAction(reversedInner()); }

void CCEaseSineInOut::update(ccTime t) { updateInner(-0.5f * (std::cos(kPi * t) - 1)); }

// ---- Elastic -------------------------------------------------------------------

CCEaseElastic* CCEaseElastic::actionWithAction(CCActionInterval* action) {
    return wrap<CCEaseElastic>(action, kElasticPeriod);
}

CCEaseElastic* CCEaseElastic::actionWithAction(CCActionInterval* action, float period) {
    return wrap<CCEaseElastic>(action, period);
}

bool CCEaseElastic::initWithAction(CCActionInterval* action) { return initWithAction(action, kElasticPeriod); }

bool CCEaseElastic::initWithAction(CCActionInterval* action, float period) {
    if (!CCActionEase::initWithAction(action)) return false;
    period_ = period;
    return true;
}

void CCEaseElasticIn::update(ccTime t) {
    if (t == 0 || t == 1) {
        updateInner(t);
        return;
    }
    const float p = periodOr(kElasticPeriod);
    const float s = p / 4;
    const float v = t - 1;
    updateInner(-pow2(10 * v) * std::sin((v - s) * kPi * 2 / p));
}

CCActionInterval* CCEaseElasticIn::reverse() {
    return CCEaseElasticOut::actionWithAction(reversedInner(), period_);
}

void CCEaseElasticOut::update(ccTime t) {
    if (t == 0 || t == 1) {
        updateInner(t);
        return;
    }
    const float p = periodOr(kElasticPeriod);
    const float s = p / 4;
    updateInner(pow2(-10 * t) * std::sin((t - s) * kPi * 2 / p) + 1);
}

CCActionInterval* CCEaseElasticOut::reverse() {
    return CCEaseElasticIn::actionWithAction(reversedInner(), period_);
}

void CCEaseElasticInOut::update(ccTime t) {
    if (t == 0 || t == 1) {
        updateInner(t);
        return;
    }
    const float p = periodOr(kElasticInOutPeriod);
    const float s = p / 4;
    const float v = t * 2 - 1;
    const float wave = std::sin((v - s) * kPi * 2 / p);
    if (v < 0)
        updateInner(-0.5f * pow2(10 * v) * wave);
    else
        updateInner(pow2(-10 * v) * wave * 0.5f + 1);
}

// ---- Bounce --------------------------------------------------------------------

ccTime CCEaseBounce::bounceTime(ccTime t) {
    // The range tests compare in double against double quotients; the
    // offsets are float quotients.
    if (t < 1 / 2.75) return 7.5625f * t * t;
    if (t < 2 / 2.75) {
        t -= 1.5f / 2.75f;
        return 7.5625f * t * t + 0.75f;
    }
    if (t < 2.5 / 2.75) {
        t -= 2.25f / 2.75f;
        return 7.5625f * t * t + 0.9375f;
    }
    t -= 2.625f / 2.75f;
    return 7.5625f * t * t + 0.984375f;
}

void CCEaseBounceIn::update(ccTime t) { updateInner(1 - bounceTime(1 - t)); }

CCActionInterval* CCEaseBounceIn::reverse() { return CCEaseBounceOut::actionWithAction(reversedInner()); }

void CCEaseBounceOut::update(ccTime t) { updateInner(bounceTime(t)); }

CCActionInterval* CCEaseBounceOut::reverse() { return CCEaseBounceIn::actionWithAction(reversedInner()); }

void CCEaseBounceInOut::update(ccTime t) {
    if (t < 0.5f)
        updateInner((1 - bounceTime(1 - t * 2)) * 0.5f);
    else
        updateInner(bounceTime(t * 2 - 1) * 0.5f + 0.5f);
}

// ---- Back ----------------------------------------------------------------------

void CCEaseBackIn::update(ccTime t) { updateInner(t * t * ((kBackOvershoot + 1) * t - kBackOvershoot)); }

CCActionInterval* CCEaseBackIn::reverse() { return CCEaseBackOut::actionWithAction(reversedInner()); }

void CCEaseBackOut::update(ccTime t) {
    const float v = t - 1;
    updateInner(v * v * ((kBackOvershoot + 1) * v + kBackOvershoot) + 1);
}

CCActionInterval* CCEaseBackOut::reverse() { return CCEaseBackIn::actionWithAction(reversedInner()); }

void CCEaseBackInOut::update(ccTime t) {
    const float u = t * 2;
    if (u < 1) {
        updateInner(u * u * ((kBackInOutOvershoot + 1) * u - kBackInOutOvershoot) / 2);
    } else {
        const float v = u - 2;
        updateInner(v * v * ((kBackInOutOvershoot + 1) * v + kBackInOutOvershoot) / 2 + 1);
    }
}
