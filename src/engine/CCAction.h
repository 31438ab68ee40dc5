// Actions: small objects that change a node over time.
//
// The action manager drives a running action: startWithTarget(node) once per
// run, then step(dt) every frame until isDone(), then stop(). Interval
// actions turn the stepped wall time into a progress value t in [0, 1] and
// apply it in update(t). Composite actions drive their children only
// through startWithTarget / update / stop.
#pragma once

#include <initializer_list>
#include <string>

#include "engine/ccTypes.h"
#include "host/core/Object.h"
#include "host/core/Ref.h"

class CCNode;

// The tag of an action nobody tagged.
enum { kCCActionTagInvalid = -1 };

// A copy of an action that may be null (nullptr stays null).
template <class T> auto ccOwnedCopy(const T* action) -> decltype(action->copy()) {
    if (!action) return nullptr;
    return action->copy();
}

class CCAction : public host::Object {
public:
    // A new action the caller does not own.
    static CCAction* action();
    virtual bool init();

    // ---- The action protocol ---------------------------------------------
    // Binds to the target and resets progress; called once per run.
    virtual void startWithTarget(CCNode* target);
    // Unbinds at the end of a run or on removal.
    virtual void stop();
    // Polled by the action manager after every step.
    virtual bool isDone() const;
    // Advances by wall time (seconds).
    virtual void step(ccTime dt);
    // Applies progress t (normally 0 to 1).
    virtual void update(ccTime t);
    // A fresh, unstarted action with the same parameters. Every action
    // class returns its own type; the reference is the caller's.
    host::Ref<CCAction> copy() const { return host::Ref<CCAction>::adopt(makeCopy()); }

    // "<CCAction = 0000ABCD | Tag = -1>"
    std::string description() const override;

    // ---- Properties -------------------------------------------------------
    // The target of the last startWithTarget; kept after stop.
    CCNode* originalTarget() const { return originalTarget_; }
    // The target while running; null after stop.
    CCNode* target() const { return target_; }
    int tag() const { return tag_; }
    void setTag(int t) { tag_ = t; }

protected:
    // What copy() hands out, made by each action class for its own type
    // (a new object with one reference, for copy() to take over).
    virtual CCAction* makeCopy() const;
    ~CCAction() override = default;

    // Whether every value is a finite number. A NaN or an infinity (a curve
    // taken outside its domain, an end point from a division by zero) never
    // reaches the target: the caller leaves its `property` as it was. The
    // first refusal of each action is logged.
    bool finiteFor(const char* property, std::initializer_list<float> values);

    CCNode* originalTarget_ = nullptr;   // not retained
    CCNode* target_ = nullptr;           // not retained
    int tag_ = kCCActionTagInvalid;

private:
    bool reportedNonFinite_ = false;
};

// An action with a known duration.
class CCFiniteTimeAction : public CCAction {
public:
    ccTime duration() const { return duration_; }
    void setDuration(ccTime d) { duration_ = d; }

    // An autoreleased action playing this one backwards; null where no
    // reverse exists (as here).
    virtual CCFiniteTimeAction* reverse();
    host::Ref<CCFiniteTimeAction> copy() const { return host::Ref<CCFiniteTimeAction>::adopt(makeCopy()); }

protected:
    CCFiniteTimeAction* makeCopy() const override;
    ~CCFiniteTimeAction() override = default;

    ccTime duration_ = 0;
};

// An action that runs over its duration and maps elapsed time to progress.
// The first step after a start only starts the clock (update(0)); later
// steps add their dt. update() receives min(1, elapsed / duration).
class CCActionInterval : public CCFiniteTimeAction {
public:
    static CCActionInterval* actionWithDuration(ccTime d);

    // An interval action needs a duration: plain init is refused.
    bool init() override { return false; }
    // A duration of exactly 0 becomes FLT_EPSILON so progress is defined.
    virtual bool initWithDuration(ccTime d);

    ccTime elapsed() const { return elapsed_; }

    // The share of its amplitude an effect with an amplitude (a wave, a
    // ripple) moves by, set each update by the amplitude wrappers. Actions
    // without one raise "IntervalAction (Amplitude)" / "Abstract class
    // needs implementation" for both.
    virtual float amplitudeRate() const;
    virtual void setAmplitudeRate(float rate);

    void startWithTarget(CCNode* target) override;
    bool isDone() const override;
    void step(ccTime dt) override;
    CCFiniteTimeAction* reverse() override { return nullptr; }
    // The same duration; the tag is not copied.
    host::Ref<CCActionInterval> copy() const { return host::Ref<CCActionInterval>::adopt(makeCopy()); }

protected:
    CCActionInterval* makeCopy() const override;
    ~CCActionInterval() override = default;

    ccTime elapsed_ = 0;
    bool firstTick_ = true;
};

// Runs an interval action at a different pace: every step is scaled by
// `speed`, which may change while the action runs.
class CCSpeed : public CCAction {
public:
    static CCSpeed* actionWithAction(CCActionInterval* action, float speed);
    bool initWithAction(CCActionInterval* action, float speed);

    float speed() const { return speed_; }
    void setSpeed(float s) { speed_ = s; }
    CCActionInterval* innerAction() const { return innerAction_.get(); }
    void setInnerAction(CCActionInterval* action) { innerAction_ = action; }

    void startWithTarget(CCNode* target) override;
    void stop() override;
    void step(ccTime dt) override;
    bool isDone() const override;
    // The inner action's reverse at the same speed; null when it has none.
    CCSpeed* reverse();
    host::Ref<CCSpeed> copy() const { return host::Ref<CCSpeed>::adopt(makeCopy()); }

protected:
    CCSpeed* makeCopy() const override;
    ~CCSpeed() override;

    host::Ref<CCActionInterval> innerAction_;
    float speed_ = 1;
};

// Keeps its target (normally a layer) placed so that the followed node
// stays in the middle of the window; with a world boundary the target stops
// where the edge of the world would come into view. It ends when the
// followed node stops running.
class CCFollow : public CCAction {
public:
    static CCFollow* actionWithTarget(CCNode* followedNode);
    static CCFollow* actionWithTarget(CCNode* followedNode, CGRect worldBoundary);
    bool initWithTarget(CCNode* followedNode);
    bool initWithTarget(CCNode* followedNode, CGRect worldBoundary);

    bool boundarySet() const { return boundarySet_; }
    void setBoundarySet(bool v) { boundarySet_ = v; }
    CCNode* followedNode() const { return followedNode_.get(); }

    void step(ccTime dt) override;
    bool isDone() const override;
    void stop() override;
    // Follows the same node within the same boundary.
    host::Ref<CCFollow> copy() const { return host::Ref<CCFollow>::adopt(makeCopy()); }

protected:
    CCFollow* makeCopy() const override;
    ~CCFollow() override;

    host::Ref<CCNode> followedNode_;
    bool boundarySet_ = false;
    bool boundaryFullyCovered_ = false;
    CGPoint halfScreenSize_ = CGPointZero;
    CGPoint fullScreenSize_ = CGPointZero;
    float leftBoundary_ = 0, rightBoundary_ = 0, topBoundary_ = 0, bottomBoundary_ = 0;
};
