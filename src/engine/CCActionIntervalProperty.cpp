#include "engine/CCActionIntervalProperty.h"

#include <climits>
#include <cmath>

#include "engine/CCNode.h"
#include "engine/CCProtocols.h"
#include "engine/Support/CGPointExtension.h"
#include "host/core/Log.h"

namespace {

// Autoreleased and caller-owned instances made with initWithDuration(args).
template <class T, class... A> T* made(A... args) {
    return host::create<T>([&](T* a) { return a->initWithDuration(args...); });
}
template <class T, class... A> T* owned(A... args) {
    return host::createOwned<T>([&](T* a) { return a->initWithDuration(args...); });
}

// The low 8 bits of the value truncated toward zero; values outside the
// int range saturate first so the conversion stays defined.
uint8_t lowByte(float v) {
    if (!(v > static_cast<float>(INT_MIN))) return 0;
    if (v >= static_cast<float>(INT_MAX)) return 0xFF;
    return static_cast<uint8_t>(static_cast<unsigned>(static_cast<int>(v)) & 0xFFu);
}

// The target's colour interface, or null (logged once per start).
CCRGBAProtocol* colourOf(CCNode* target, const CCAction* action) {
    auto* rgba = dynamic_cast<CCRGBAProtocol*>(target);
    if (!rgba && target)
        host::log("%s: %s has no colour or opacity; the action changes nothing", action->className().c_str(),
                  target->description().c_str());
    return rgba;
}

// A difference of angles brought into [-180, 180] by one correction each way.
float shorterWay(float diff) {
    if (diff > 180) diff -= 360;
    if (diff < -180) diff += 360;
    return diff;
}

}  // namespace

// ---- Rotation ------------------------------------------------------------------

CCRotateTo* CCRotateTo::actionWithDuration(ccTime d, float angle) { return made<CCRotateTo>(d, angle); }

bool CCRotateTo::initWithDuration(ccTime d, float angle) {
    if (!CCActionInterval::initWithDuration(d)) return false;
    dstAngle_ = angle;
    return true;
}

void CCRotateTo::startWithTarget(CCNode* target) {
    CCActionInterval::startWithTarget(target);
    startAngle_ = std::fmod(target->rotation(), 360.0f);
    diffAngle_ = shorterWay(dstAngle_ - startAngle_);
}

void CCRotateTo::update(ccTime t) {
    const float angle = startAngle_ + diffAngle_ * t;
    if (finiteFor("rotation", {angle})) target_->setRotation(angle);
}

CCRotateTo* CCRotateTo::makeCopy() const { return owned<CCRotateTo>(duration_, dstAngle_); }

CCRotateBy* CCRotateBy::actionWithDuration(ccTime d, float angle) { return made<CCRotateBy>(d, angle); }

bool CCRotateBy::initWithDuration(ccTime d, float angle) {
    if (!CCActionInterval::initWithDuration(d)) return false;
    angle_ = angle;
    return true;
}

void CCRotateBy::startWithTarget(CCNode* target) {
    CCActionInterval::startWithTarget(target);
    startAngle_ = target->rotation();
}

void CCRotateBy::update(ccTime t) {
    const float angle = startAngle_ + angle_ * t;
    if (finiteFor("rotation", {angle})) target_->setRotation(angle);
}

CCRotateBy* CCRotateBy::reverse() { return actionWithDuration(duration_, -angle_); }

CCRotateBy* CCRotateBy::makeCopy() const { return owned<CCRotateBy>(duration_, angle_); }

// ---- Position ------------------------------------------------------------------

CCMoveTo* CCMoveTo::actionWithDuration(ccTime d, CGPoint position) { return made<CCMoveTo>(d, position); }

bool CCMoveTo::initWithDuration(ccTime d, CGPoint position) {
    if (!CCActionInterval::initWithDuration(d)) return false;
    endPosition_ = position;
    return true;
}

void CCMoveTo::startWithTarget(CCNode* target) {
    CCActionInterval::startWithTarget(target);
    startPosition_ = target->position();
    delta_ = ccpSub(endPosition_, startPosition_);
}

void CCMoveTo::update(ccTime t) {
    const CGPoint p = ccp(startPosition_.x + delta_.x * t, startPosition_.y + delta_.y * t);
    if (finiteFor("position", {p.x, p.y})) target_->setPosition(p);
}

CCMoveTo* CCMoveTo::makeCopy() const { return owned<CCMoveTo>(duration_, endPosition_); }

CCMoveBy* CCMoveBy::actionWithDuration(ccTime d, CGPoint offset) { return made<CCMoveBy>(d, offset); }

bool CCMoveBy::initWithDuration(ccTime d, CGPoint offset) {
    if (!CCActionInterval::initWithDuration(d)) return false;
    delta_ = offset;
    return true;
}

void CCMoveBy::startWithTarget(CCNode* target) {
    // The move-to start recomputes delta_ from an end point: keep ours.
    const CGPoint delta = delta_;
    CCMoveTo::startWithTarget(target);
    delta_ = delta;
}

CCMoveBy* CCMoveBy::reverse() { return actionWithDuration(duration_, ccpNeg(delta_)); }

CCMoveBy* CCMoveBy::makeCopy() const { return owned<CCMoveBy>(duration_, delta_); }

// ---- Skew ----------------------------------------------------------------------

CCSkewTo* CCSkewTo::actionWithDuration(ccTime d, float sx, float sy) { return made<CCSkewTo>(d, sx, sy); }

bool CCSkewTo::initWithDuration(ccTime d, float sx, float sy) {
    if (!CCActionInterval::initWithDuration(d)) return false;
    endSkewX_ = sx;
    endSkewY_ = sy;
    return true;
}

void CCSkewTo::startWithTarget(CCNode* target) {
    CCActionInterval::startWithTarget(target);
    startSkewX_ = std::fmod(target->skewX(), 180.0f);
    startSkewY_ = std::fmod(target->skewY(), 360.0f);
    deltaX_ = shorterWay(endSkewX_ - startSkewX_);
    deltaY_ = shorterWay(endSkewY_ - startSkewY_);
}

void CCSkewTo::update(ccTime t) {
    const float x = startSkewX_ + deltaX_ * t, y = startSkewY_ + deltaY_ * t;
    if (!finiteFor("skew", {x, y})) return;
    target_->setSkewX(x);
    target_->setSkewY(y);
}

CCSkewTo* CCSkewTo::makeCopy() const { return owned<CCSkewTo>(duration_, endSkewX_, endSkewY_); }

CCSkewBy* CCSkewBy::actionWithDuration(ccTime d, float dx, float dy) { return made<CCSkewBy>(d, dx, dy); }

bool CCSkewBy::initWithDuration(ccTime d, float dx, float dy) {
    if (!CCSkewTo::initWithDuration(d, dx, dy)) return false;
    skewX_ = dx;
    skewY_ = dy;
    return true;
}

void CCSkewBy::startWithTarget(CCNode* target) {
    CCSkewTo::startWithTarget(target);
    deltaX_ = skewX_;
    deltaY_ = skewY_;
    endSkewX_ = startSkewX_ + deltaX_;
    endSkewY_ = startSkewY_ + deltaY_;
}

CCSkewBy* CCSkewBy::reverse() { return actionWithDuration(duration_, -skewX_, -skewY_); }

CCSkewBy* CCSkewBy::makeCopy() const { return owned<CCSkewBy>(duration_, skewX_, skewY_); }

// ---- Jumps ---------------------------------------------------------------------

CCJumpBy* CCJumpBy::actionWithDuration(ccTime d, CGPoint position, float height, unsigned jumps) {
    return made<CCJumpBy>(d, position, height, jumps);
}

bool CCJumpBy::initWithDuration(ccTime d, CGPoint position, float height, unsigned jumps) {
    if (!CCActionInterval::initWithDuration(d)) return false;
    delta_ = position;
    height_ = height;
    jumps_ = jumps;
    return true;
}

void CCJumpBy::startWithTarget(CCNode* target) {
    CCActionInterval::startWithTarget(target);
    startPosition_ = target->position();
}

void CCJumpBy::update(ccTime t) {
    const float frac = std::fmod(jumps_ * t, 1.0f);
    const float y = height_ * 4 * frac * (1 - frac) + delta_.y * t;
    const CGPoint p = ccp(startPosition_.x + delta_.x * t, startPosition_.y + y);
    if (finiteFor("position", {p.x, p.y})) target_->setPosition(p);
}

CCJumpBy* CCJumpBy::reverse() { return actionWithDuration(duration_, ccpNeg(delta_), height_, jumps_); }

CCJumpBy* CCJumpBy::makeCopy() const { return owned<CCJumpBy>(duration_, delta_, height_, jumps_); }

CCJumpTo* CCJumpTo::actionWithDuration(ccTime d, CGPoint position, float height, unsigned jumps) {
    return made<CCJumpTo>(d, position, height, jumps);
}

bool CCJumpTo::initWithDuration(ccTime d, CGPoint position, float height, unsigned jumps) {
    if (!CCJumpBy::initWithDuration(d, position, height, jumps)) return false;
    endPosition_ = position;
    return true;
}

void CCJumpTo::startWithTarget(CCNode* target) {
    CCJumpBy::startWithTarget(target);
    delta_ = ccpSub(endPosition_, startPosition_);
}

CCJumpTo* CCJumpTo::makeCopy() const { return owned<CCJumpTo>(duration_, endPosition_, height_, jumps_); }

// ---- Bézier curves -------------------------------------------------------------

namespace {

// A cubic Bézier from 0 through a and b to c, at t.
float bezierAt(float a, float b, float c, float t) {
    const float u = 1 - t;
    return 3 * t * u * u * a + 3 * t * t * u * b + t * t * t * c;
}

}  // namespace

CCBezierBy* CCBezierBy::actionWithDuration(ccTime d, ccBezierConfig config) { return made<CCBezierBy>(d, config); }

bool CCBezierBy::initWithDuration(ccTime d, ccBezierConfig config) {
    if (!CCActionInterval::initWithDuration(d)) return false;
    config_ = config;
    return true;
}

void CCBezierBy::startWithTarget(CCNode* target) {
    CCActionInterval::startWithTarget(target);
    startPosition_ = target->position();
}

void CCBezierBy::update(ccTime t) {
    const float x = bezierAt(config_.controlPoint_1.x, config_.controlPoint_2.x, config_.endPosition.x, t);
    const float y = bezierAt(config_.controlPoint_1.y, config_.controlPoint_2.y, config_.endPosition.y, t);
    const CGPoint p = ccpAdd(startPosition_, ccp(x, y));
    if (finiteFor("position", {p.x, p.y})) target_->setPosition(p);
}

CCBezierBy* CCBezierBy::reverse() {
    // The same curve walked from its end: the end becomes the origin.
    ccBezierConfig r;
    r.endPosition = ccpNeg(config_.endPosition);
    r.controlPoint_1 = ccpSub(config_.controlPoint_2, config_.endPosition);
    r.controlPoint_2 = ccpSub(config_.controlPoint_1, config_.endPosition);
    return actionWithDuration(duration_, r);
}

CCBezierBy* CCBezierBy::makeCopy() const { return owned<CCBezierBy>(duration_, config_); }

CCBezierTo* CCBezierTo::actionWithDuration(ccTime d, ccBezierConfig config) { return made<CCBezierTo>(d, config); }

bool CCBezierTo::initWithDuration(ccTime d, ccBezierConfig config) {
    if (!CCBezierBy::initWithDuration(d, config)) return false;
    absolute_ = config;
    return true;
}

void CCBezierTo::startWithTarget(CCNode* target) {
    CCBezierBy::startWithTarget(target);
    config_.controlPoint_1 = ccpSub(absolute_.controlPoint_1, startPosition_);
    config_.controlPoint_2 = ccpSub(absolute_.controlPoint_2, startPosition_);
    config_.endPosition = ccpSub(absolute_.endPosition, startPosition_);
}

CCBezierTo* CCBezierTo::makeCopy() const { return owned<CCBezierTo>(duration_, absolute_); }

// ---- Scale ---------------------------------------------------------------------

CCScaleTo* CCScaleTo::actionWithDuration(ccTime d, float scale) { return made<CCScaleTo>(d, scale); }

CCScaleTo* CCScaleTo::actionWithDuration(ccTime d, float sx, float sy) { return made<CCScaleTo>(d, sx, sy); }

bool CCScaleTo::initWithDuration(ccTime d, float scale) { return initWithDuration(d, scale, scale); }

bool CCScaleTo::initWithDuration(ccTime d, float sx, float sy) {
    if (!CCActionInterval::initWithDuration(d)) return false;
    endScaleX_ = sx;
    endScaleY_ = sy;
    return true;
}

void CCScaleTo::startWithTarget(CCNode* target) {
    CCActionInterval::startWithTarget(target);
    startScaleX_ = target->scaleX();
    startScaleY_ = target->scaleY();
    deltaX_ = endScaleX_ - startScaleX_;
    deltaY_ = endScaleY_ - startScaleY_;
}

void CCScaleTo::update(ccTime t) {
    const float x = startScaleX_ + deltaX_ * t, y = startScaleY_ + deltaY_ * t;
    if (!finiteFor("scale", {x, y})) return;
    target_->setScaleX(x);
    target_->setScaleY(y);
}

CCScaleTo* CCScaleTo::makeCopy() const { return owned<CCScaleTo>(duration_, endScaleX_, endScaleY_); }

CCScaleBy* CCScaleBy::actionWithDuration(ccTime d, float scale) { return made<CCScaleBy>(d, scale, scale); }

CCScaleBy* CCScaleBy::actionWithDuration(ccTime d, float sx, float sy) { return made<CCScaleBy>(d, sx, sy); }

void CCScaleBy::startWithTarget(CCNode* target) {
    CCScaleTo::startWithTarget(target);
    deltaX_ = startScaleX_ * endScaleX_ - startScaleX_;
    deltaY_ = startScaleY_ * endScaleY_ - startScaleY_;
}

CCScaleBy* CCScaleBy::reverse() { return actionWithDuration(duration_, 1 / endScaleX_, 1 / endScaleY_); }

CCScaleBy* CCScaleBy::makeCopy() const { return owned<CCScaleBy>(duration_, endScaleX_, endScaleY_); }

// ---- Blink ---------------------------------------------------------------------

CCBlink* CCBlink::actionWithDuration(ccTime d, unsigned blinks) { return made<CCBlink>(d, blinks); }

bool CCBlink::initWithDuration(ccTime d, unsigned blinks) {
    if (!CCActionInterval::initWithDuration(d)) return false;
    times_ = blinks;
    return true;
}

void CCBlink::update(ccTime t) {
    if (isDone() || !finiteFor("visibility", {t})) return;
    const float slice = 1.0f / times_;
    const float m = std::fmod(t, slice);
    target_->setVisible(m > slice / 2);
}

CCBlink* CCBlink::reverse() { return actionWithDuration(duration_, times_); }

CCBlink* CCBlink::makeCopy() const { return owned<CCBlink>(duration_, times_); }

// ---- Opacity -------------------------------------------------------------------

CCFadeIn* CCFadeIn::actionWithDuration(ccTime d) { return made<CCFadeIn>(d); }

void CCFadeIn::startWithTarget(CCNode* target) {
    CCActionInterval::startWithTarget(target);
    rgba_ = colourOf(target, this);
}

void CCFadeIn::update(ccTime t) {
    if (rgba_ && finiteFor("opacity", {t})) rgba_->setOpacity(lowByte(255 * t));
}

CCActionInterval* CCFadeIn::reverse() { return CCFadeOut::actionWithDuration(duration_); }

CCFadeIn* CCFadeIn::makeCopy() const { return owned<CCFadeIn>(duration_); }

CCFadeOut* CCFadeOut::actionWithDuration(ccTime d) { return made<CCFadeOut>(d); }

void CCFadeOut::startWithTarget(CCNode* target) {
    CCActionInterval::startWithTarget(target);
    rgba_ = colourOf(target, this);
}

void CCFadeOut::update(ccTime t) {
    if (rgba_ && finiteFor("opacity", {t})) rgba_->setOpacity(lowByte(255 * (1 - t)));
}

CCActionInterval* CCFadeOut::reverse() { return CCFadeIn::actionWithDuration(duration_); }

CCFadeOut* CCFadeOut::makeCopy() const { return owned<CCFadeOut>(duration_); }

CCFadeTo* CCFadeTo::actionWithDuration(ccTime d, uint8_t opacity) { return made<CCFadeTo>(d, opacity); }

bool CCFadeTo::initWithDuration(ccTime d, uint8_t opacity) {
    if (!CCActionInterval::initWithDuration(d)) return false;
    toOpacity_ = opacity;
    return true;
}

void CCFadeTo::startWithTarget(CCNode* target) {
    CCActionInterval::startWithTarget(target);
    rgba_ = colourOf(target, this);
    if (rgba_) fromOpacity_ = rgba_->opacity();
}

void CCFadeTo::update(ccTime t) {
    if (rgba_ && finiteFor("opacity", {t})) rgba_->setOpacity(lowByte(fromOpacity_ + (toOpacity_ - fromOpacity_) * t));
}

CCFadeTo* CCFadeTo::makeCopy() const { return owned<CCFadeTo>(duration_, toOpacity_); }

// ---- Colour --------------------------------------------------------------------

CCTintTo* CCTintTo::actionWithDuration(ccTime d, uint8_t r, uint8_t g, uint8_t b) { return made<CCTintTo>(d, r, g, b); }

bool CCTintTo::initWithDuration(ccTime d, uint8_t r, uint8_t g, uint8_t b) {
    if (!CCActionInterval::initWithDuration(d)) return false;
    to_ = ccc3(r, g, b);
    return true;
}

void CCTintTo::startWithTarget(CCNode* target) {
    CCActionInterval::startWithTarget(target);
    rgba_ = colourOf(target, this);
    if (rgba_) from_ = rgba_->color();
}

void CCTintTo::update(ccTime t) {
    if (!rgba_ || !finiteFor("colour", {t})) return;
    auto channel = [t](uint8_t from, uint8_t to) { return lowByte(from + (to - from) * t); };
    rgba_->setColor(ccc3(channel(from_.r, to_.r), channel(from_.g, to_.g), channel(from_.b, to_.b)));
}

CCTintTo* CCTintTo::makeCopy() const { return owned<CCTintTo>(duration_, to_.r, to_.g, to_.b); }

CCTintBy* CCTintBy::actionWithDuration(ccTime d, int16_t r, int16_t g, int16_t b) { return made<CCTintBy>(d, r, g, b); }

bool CCTintBy::initWithDuration(ccTime d, int16_t r, int16_t g, int16_t b) {
    if (!CCActionInterval::initWithDuration(d)) return false;
    deltaR_ = r;
    deltaG_ = g;
    deltaB_ = b;
    return true;
}

void CCTintBy::startWithTarget(CCNode* target) {
    CCActionInterval::startWithTarget(target);
    rgba_ = colourOf(target, this);
    if (!rgba_) return;
    const ccColor3B c = rgba_->color();
    fromR_ = c.r;
    fromG_ = c.g;
    fromB_ = c.b;
}

void CCTintBy::update(ccTime t) {
    if (!rgba_ || !finiteFor("colour", {t})) return;
    auto channel = [t](int16_t from, int16_t delta) { return lowByte(from + delta * t); };
    rgba_->setColor(ccc3(channel(fromR_, deltaR_), channel(fromG_, deltaG_), channel(fromB_, deltaB_)));
}

CCTintBy* CCTintBy::reverse() {
    return actionWithDuration(duration_, static_cast<int16_t>(-deltaR_), static_cast<int16_t>(-deltaG_),
                              static_cast<int16_t>(-deltaB_));
}

CCTintBy* CCTintBy::makeCopy() const { return owned<CCTintBy>(duration_, deltaR_, deltaG_, deltaB_); }
