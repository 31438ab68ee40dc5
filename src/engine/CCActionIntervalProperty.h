// Interval actions that animate one property of their target from the
// value it has when the action starts: rotation, position, skew, scale,
// jumps, Bézier paths, blinking, opacity and colour.
//
// "To" actions end at a fixed value; "By" actions move by an amount from
// wherever the target is when they start, so they can run twice, in a
// sequence or a repeat, and they have a reverse. Progress t normally runs
// 0 to 1; easing may drive it a little outside, and every update accepts
// that.
#pragma once

#include <cstdint>

#include "engine/CCAction.h"
#include "engine/ccTypes.h"

class CCRGBAProtocol;

// Turns to an angle (degrees, clockwise) the shorter way round.
class CCRotateTo : public CCActionInterval {
public:
    static CCRotateTo* actionWithDuration(ccTime d, float angle);
    bool initWithDuration(ccTime d, float angle);
    void startWithTarget(CCNode* target) override;
    void update(ccTime t) override;
    host::Ref<CCRotateTo> copy() const { return host::Ref<CCRotateTo>::adopt(makeCopy()); }

protected:
    CCRotateTo* makeCopy() const override;
    ~CCRotateTo() override = default;
    float dstAngle_ = 0, startAngle_ = 0, diffAngle_ = 0;
};

// Turns by an angle (degrees, clockwise).
class CCRotateBy : public CCActionInterval {
public:
    static CCRotateBy* actionWithDuration(ccTime d, float angle);
    bool initWithDuration(ccTime d, float angle);
    void startWithTarget(CCNode* target) override;
    void update(ccTime t) override;
    CCRotateBy* reverse() override;
    host::Ref<CCRotateBy> copy() const { return host::Ref<CCRotateBy>::adopt(makeCopy()); }

protected:
    CCRotateBy* makeCopy() const override;
    ~CCRotateBy() override = default;
    float angle_ = 0, startAngle_ = 0;
};

// Moves to a position (points).
class CCMoveTo : public CCActionInterval {
public:
    static CCMoveTo* actionWithDuration(ccTime d, CGPoint position);
    bool initWithDuration(ccTime d, CGPoint position);
    void startWithTarget(CCNode* target) override;
    void update(ccTime t) override;
    host::Ref<CCMoveTo> copy() const { return host::Ref<CCMoveTo>::adopt(makeCopy()); }

protected:
    CCMoveTo* makeCopy() const override;
    ~CCMoveTo() override = default;
    CGPoint endPosition_ = CGPointZero, startPosition_ = CGPointZero, delta_ = CGPointZero;
};

// Moves by an offset (points).
class CCMoveBy : public CCMoveTo {
public:
    static CCMoveBy* actionWithDuration(ccTime d, CGPoint offset);
    bool initWithDuration(ccTime d, CGPoint offset);
    void startWithTarget(CCNode* target) override;
    CCMoveBy* reverse() override;
    host::Ref<CCMoveBy> copy() const { return host::Ref<CCMoveBy>::adopt(makeCopy()); }

protected:
    CCMoveBy* makeCopy() const override;
    ~CCMoveBy() override = default;
};

// Skews to angles (degrees) the shorter way.
class CCSkewTo : public CCActionInterval {
public:
    static CCSkewTo* actionWithDuration(ccTime d, float skewX, float skewY);
    bool initWithDuration(ccTime d, float skewX, float skewY);
    void startWithTarget(CCNode* target) override;
    void update(ccTime t) override;
    host::Ref<CCSkewTo> copy() const { return host::Ref<CCSkewTo>::adopt(makeCopy()); }

protected:
    CCSkewTo* makeCopy() const override;
    ~CCSkewTo() override = default;
    float skewX_ = 0, skewY_ = 0;
    float startSkewX_ = 0, startSkewY_ = 0;
    float endSkewX_ = 0, endSkewY_ = 0;
    float deltaX_ = 0, deltaY_ = 0;
};

// Skews by angles (degrees).
class CCSkewBy : public CCSkewTo {
public:
    static CCSkewBy* actionWithDuration(ccTime d, float deltaSkewX, float deltaSkewY);
    bool initWithDuration(ccTime d, float deltaSkewX, float deltaSkewY);
    void startWithTarget(CCNode* target) override;
    CCSkewBy* reverse() override;
    host::Ref<CCSkewBy> copy() const { return host::Ref<CCSkewBy>::adopt(makeCopy()); }

protected:
    CCSkewBy* makeCopy() const override;
    ~CCSkewBy() override = default;
};

// Hops `jumps` times along a straight line to start + offset; each hop is a
// parabola `height` points above the line.
class CCJumpBy : public CCActionInterval {
public:
    static CCJumpBy* actionWithDuration(ccTime d, CGPoint position, float height, unsigned jumps);
    bool initWithDuration(ccTime d, CGPoint position, float height, unsigned jumps);
    void startWithTarget(CCNode* target) override;
    void update(ccTime t) override;
    CCJumpBy* reverse() override;
    host::Ref<CCJumpBy> copy() const { return host::Ref<CCJumpBy>::adopt(makeCopy()); }

protected:
    CCJumpBy* makeCopy() const override;
    ~CCJumpBy() override = default;
    CGPoint startPosition_ = CGPointZero;
    CGPoint delta_ = CGPointZero;
    float height_ = 0;
    uint32_t jumps_ = 0;
};

// Hops to an absolute position. The end point given at construction is
// kept, so the action ends there however often it is restarted.
class CCJumpTo : public CCJumpBy {
public:
    static CCJumpTo* actionWithDuration(ccTime d, CGPoint position, float height, unsigned jumps);
    bool initWithDuration(ccTime d, CGPoint position, float height, unsigned jumps);
    void startWithTarget(CCNode* target) override;
    // No reverse: the start point is not known before the action runs.
    CCJumpBy* reverse() override { return nullptr; }
    host::Ref<CCJumpTo> copy() const { return host::Ref<CCJumpTo>::adopt(makeCopy()); }

protected:
    CCJumpTo* makeCopy() const override;
    ~CCJumpTo() override = default;
    CGPoint endPosition_ = CGPointZero;
};

// Follows a cubic Bézier curve whose points are relative to the start
// position (the curve's first point is the start itself).
class CCBezierBy : public CCActionInterval {
public:
    static CCBezierBy* actionWithDuration(ccTime d, ccBezierConfig config);
    bool initWithDuration(ccTime d, ccBezierConfig config);
    void startWithTarget(CCNode* target) override;
    void update(ccTime t) override;
    CCBezierBy* reverse() override;
    host::Ref<CCBezierBy> copy() const { return host::Ref<CCBezierBy>::adopt(makeCopy()); }

protected:
    CCBezierBy* makeCopy() const override;
    ~CCBezierBy() override = default;
    ccBezierConfig config_{};
    CGPoint startPosition_ = CGPointZero;
};

// Follows a cubic Bézier curve through absolute control and end points.
// The absolute points given at construction are kept, so a restarted
// action still ends at the same place.
class CCBezierTo : public CCBezierBy {
public:
    static CCBezierTo* actionWithDuration(ccTime d, ccBezierConfig config);
    bool initWithDuration(ccTime d, ccBezierConfig config);
    void startWithTarget(CCNode* target) override;
    CCBezierBy* reverse() override { return nullptr; }
    host::Ref<CCBezierTo> copy() const { return host::Ref<CCBezierTo>::adopt(makeCopy()); }

protected:
    CCBezierTo* makeCopy() const override;
    ~CCBezierTo() override = default;
    ccBezierConfig absolute_{};
};

// Scales to factors; the one-value form sets both axes.
class CCScaleTo : public CCActionInterval {
public:
    static CCScaleTo* actionWithDuration(ccTime d, float scale);
    static CCScaleTo* actionWithDuration(ccTime d, float scaleX, float scaleY);
    bool initWithDuration(ccTime d, float scale);
    bool initWithDuration(ccTime d, float scaleX, float scaleY);
    void startWithTarget(CCNode* target) override;
    void update(ccTime t) override;
    host::Ref<CCScaleTo> copy() const { return host::Ref<CCScaleTo>::adopt(makeCopy()); }

protected:
    CCScaleTo* makeCopy() const override;
    ~CCScaleTo() override = default;
    float scaleX_ = 0, scaleY_ = 0;  // unused, kept for the field layout
    float startScaleX_ = 1, startScaleY_ = 1;
    float endScaleX_ = 1, endScaleY_ = 1;
    float deltaX_ = 0, deltaY_ = 0;
};

// Multiplies the scale by factors.
class CCScaleBy : public CCScaleTo {
public:
    static CCScaleBy* actionWithDuration(ccTime d, float scale);
    static CCScaleBy* actionWithDuration(ccTime d, float scaleX, float scaleY);
    void startWithTarget(CCNode* target) override;
    CCScaleBy* reverse() override;
    host::Ref<CCScaleBy> copy() const { return host::Ref<CCScaleBy>::adopt(makeCopy()); }

protected:
    CCScaleBy* makeCopy() const override;
    ~CCScaleBy() override = default;
};

// Switches visibility on and off `blinks` times. It does not restore the
// starting visibility when it ends.
class CCBlink : public CCActionInterval {
public:
    static CCBlink* actionWithDuration(ccTime d, unsigned blinks);
    bool initWithDuration(ccTime d, unsigned blinks);
    void update(ccTime t) override;
    CCBlink* reverse() override;
    host::Ref<CCBlink> copy() const { return host::Ref<CCBlink>::adopt(makeCopy()); }

protected:
    CCBlink* makeCopy() const override;
    ~CCBlink() override = default;
    uint32_t times_ = 0;
};

// The colour actions below act on targets implementing CCRGBAProtocol; on
// any other target they log one line when started and change nothing.

// Opacity from 0 to 255.
class CCFadeIn : public CCActionInterval {
public:
    static CCFadeIn* actionWithDuration(ccTime d);
    void startWithTarget(CCNode* target) override;
    void update(ccTime t) override;
    CCActionInterval* reverse() override;
    host::Ref<CCFadeIn> copy() const { return host::Ref<CCFadeIn>::adopt(makeCopy()); }

protected:
    CCFadeIn* makeCopy() const override;
    ~CCFadeIn() override = default;
    CCRGBAProtocol* rgba_ = nullptr;  // the target seen through its colour interface
};

// Opacity from 255 to 0.
class CCFadeOut : public CCActionInterval {
public:
    static CCFadeOut* actionWithDuration(ccTime d);
    void startWithTarget(CCNode* target) override;
    void update(ccTime t) override;
    CCActionInterval* reverse() override;
    host::Ref<CCFadeOut> copy() const { return host::Ref<CCFadeOut>::adopt(makeCopy()); }

protected:
    CCFadeOut* makeCopy() const override;
    ~CCFadeOut() override = default;
    CCRGBAProtocol* rgba_ = nullptr;
};

// Opacity from the current value to a given one.
class CCFadeTo : public CCActionInterval {
public:
    static CCFadeTo* actionWithDuration(ccTime d, uint8_t opacity);
    bool initWithDuration(ccTime d, uint8_t opacity);
    void startWithTarget(CCNode* target) override;
    void update(ccTime t) override;
    host::Ref<CCFadeTo> copy() const { return host::Ref<CCFadeTo>::adopt(makeCopy()); }

protected:
    CCFadeTo* makeCopy() const override;
    ~CCFadeTo() override = default;
    uint8_t toOpacity_ = 0, fromOpacity_ = 0;
    CCRGBAProtocol* rgba_ = nullptr;
};

// Colour from the current one to a given one.
class CCTintTo : public CCActionInterval {
public:
    static CCTintTo* actionWithDuration(ccTime d, uint8_t red, uint8_t green, uint8_t blue);
    bool initWithDuration(ccTime d, uint8_t red, uint8_t green, uint8_t blue);
    void startWithTarget(CCNode* target) override;
    void update(ccTime t) override;
    host::Ref<CCTintTo> copy() const { return host::Ref<CCTintTo>::adopt(makeCopy()); }

protected:
    CCTintTo* makeCopy() const override;
    ~CCTintTo() override = default;
    ccColor3B to_{0, 0, 0}, from_{0, 0, 0};
    CCRGBAProtocol* rgba_ = nullptr;
};

// Colour changed by signed amounts per channel (results wrap to 8 bits).
class CCTintBy : public CCActionInterval {
public:
    static CCTintBy* actionWithDuration(ccTime d, int16_t deltaRed, int16_t deltaGreen, int16_t deltaBlue);
    bool initWithDuration(ccTime d, int16_t deltaRed, int16_t deltaGreen, int16_t deltaBlue);
    void startWithTarget(CCNode* target) override;
    void update(ccTime t) override;
    CCTintBy* reverse() override;
    host::Ref<CCTintBy> copy() const { return host::Ref<CCTintBy>::adopt(makeCopy()); }

protected:
    CCTintBy* makeCopy() const override;
    ~CCTintBy() override = default;
    int16_t deltaR_ = 0, deltaG_ = 0, deltaB_ = 0;
    int16_t fromR_ = 0, fromG_ = 0, fromB_ = 0;
    CCRGBAProtocol* rgba_ = nullptr;
};
