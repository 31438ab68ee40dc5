// Composite interval actions: one after another (CCSequence), together
// (CCSpawn), a number of times (CCRepeat) or for ever (CCRepeatForever),
// plus waiting (CCDelayTime) and playing an action backwards in time
// (CCReverseTime).
//
// Composites drive their children through startWithTarget / update / stop
// only, so a child sees the parent's progress mapped into its own 0..1
// range. CCRepeatForever wraps a whole action and forwards step instead.
#pragma once

#include <cstdint>
#include <initializer_list>

#include "engine/CCAction.h"
#include "engine/Support/CCArray.h"
#include "host/core/Ref.h"

// Two actions, the second starting when the first ends.
class CCSequence : public CCActionInterval {
public:
    static CCSequence* actionOne(CCFiniteTimeAction* one, CCFiniteTimeAction* two);
    // Folds the list from the left into nested pairs: a, b, c gives
    // S(S(a, b), c). The list ends at the first nullptr (so
    // actions(a, b, nullptr) is S(a, b)); a single action is returned
    // itself, and a null first element gives nullptr.
    template <class... Rest>
    static CCFiniteTimeAction* actions(CCFiniteTimeAction* first, Rest... rest) {
        return actionsWithList({first, static_cast<CCFiniteTimeAction*>(rest)...});
    }
    static CCFiniteTimeAction* actionsWithList(std::initializer_list<CCFiniteTimeAction*> list);
    // The same for an array of CCFiniteTimeAction.
    static CCFiniteTimeAction* actionsWithArray(CCArray* actions);

    bool initOne(CCFiniteTimeAction* one, CCFiniteTimeAction* two);

    void startWithTarget(CCNode* target) override;
    void stop() override;
    void update(ccTime t) override;
    // The reverse of the second, then the reverse of the first; null when
    // either has no reverse.
    CCSequence* reverse() override;
    host::Ref<CCSequence> copy() const { return host::Ref<CCSequence>::adopt(makeCopy()); }

    CCFiniteTimeAction* actionAt(int i) const { return actions_[i].get(); }

protected:
    CCSequence* makeCopy() const override;
    ~CCSequence() override;

    host::Ref<CCFiniteTimeAction> actions_[2];
    float split_ = 0;  // the first action's share of the total duration
    int32_t last_ = -1;  // the part updated last; -1 before either ran
};

// Two actions run together; the shorter one is padded with a delay so both
// end at the same time.
class CCSpawn : public CCActionInterval {
public:
    static CCSpawn* actionOne(CCFiniteTimeAction* one, CCFiniteTimeAction* two);
    // Folds like CCSequence::actions.
    template <class... Rest>
    static CCFiniteTimeAction* actions(CCFiniteTimeAction* first, Rest... rest) {
        return actionsWithList({first, static_cast<CCFiniteTimeAction*>(rest)...});
    }
    static CCFiniteTimeAction* actionsWithList(std::initializer_list<CCFiniteTimeAction*> list);
    static CCFiniteTimeAction* actionsWithArray(CCArray* actions);

    bool initOne(CCFiniteTimeAction* one, CCFiniteTimeAction* two);

    void startWithTarget(CCNode* target) override;
    void stop() override;
    void update(ccTime t) override;
    // A spawn of both (padded) reverses; null when either has none.
    CCSpawn* reverse() override;
    host::Ref<CCSpawn> copy() const { return host::Ref<CCSpawn>::adopt(makeCopy()); }

protected:
    CCSpawn* makeCopy() const override;
    ~CCSpawn() override;

    host::Ref<CCFiniteTimeAction> one_;
    host::Ref<CCFiniteTimeAction> two_;
};

// An action run `times` times in a row.
class CCRepeat : public CCActionInterval {
public:
    static CCRepeat* actionWithAction(CCFiniteTimeAction* action, unsigned times);
    bool initWithAction(CCFiniteTimeAction* action, unsigned times);

    CCFiniteTimeAction* innerAction() const { return innerAction_.get(); }
    void setInnerAction(CCFiniteTimeAction* action) { innerAction_ = action; }

    void startWithTarget(CCNode* target) override;
    void stop() override;
    // One cycle boundary at most is handled per update.
    void update(ccTime t) override;
    bool isDone() const override;
    CCRepeat* reverse() override;
    host::Ref<CCRepeat> copy() const { return host::Ref<CCRepeat>::adopt(makeCopy()); }

protected:
    CCRepeat* makeCopy() const override;
    ~CCRepeat() override;

    uint32_t times_ = 0;
    uint32_t total_ = 0;  // cycles completed
    host::Ref<CCFiniteTimeAction> innerAction_;
};

// Restarts its inner action every time it ends; never done by itself.
// The time that ran past the end of one cycle is carried into the next, so
// the cycles keep the pace of the clock.
class CCRepeatForever : public CCAction {
public:
    static CCRepeatForever* actionWithAction(CCActionInterval* action);
    bool initWithAction(CCActionInterval* action);

    CCActionInterval* innerAction() const { return innerAction_.get(); }
    void setInnerAction(CCActionInterval* action) { innerAction_ = action; }

    void startWithTarget(CCNode* target) override;
    void step(ccTime dt) override;
    bool isDone() const override { return false; }
    CCRepeatForever* reverse();
    host::Ref<CCRepeatForever> copy() const { return host::Ref<CCRepeatForever>::adopt(makeCopy()); }

protected:
    CCRepeatForever* makeCopy() const override;
    ~CCRepeatForever() override;

    host::Ref<CCActionInterval> innerAction_;
};

// Does nothing for its duration.
class CCDelayTime : public CCActionInterval {
public:
    static CCDelayTime* actionWithDuration(ccTime d);
    void update(ccTime t) override { (void)t; }
    CCDelayTime* reverse() override;
    host::Ref<CCDelayTime> copy() const { return host::Ref<CCDelayTime>::adopt(makeCopy()); }

protected:
    CCDelayTime* makeCopy() const override;
    ~CCDelayTime() override = default;
};

// Plays an action backwards: progress t drives it at 1 - t.
class CCReverseTime : public CCActionInterval {
public:
    static CCReverseTime* actionWithAction(CCFiniteTimeAction* action);
    bool initWithAction(CCFiniteTimeAction* action);

    void startWithTarget(CCNode* target) override;
    void stop() override;
    void update(ccTime t) override;
    // Backwards twice is forwards: a copy of the wrapped action.
    CCFiniteTimeAction* reverse() override;
    // The wrapped action's amplitude, so that an effect played backwards
    // still swells and fades under the amplitude wrappers.
    float amplitudeRate() const override;
    void setAmplitudeRate(float rate) override;
    host::Ref<CCReverseTime> copy() const { return host::Ref<CCReverseTime>::adopt(makeCopy()); }

protected:
    CCReverseTime* makeCopy() const override;
    ~CCReverseTime() override;

    host::Ref<CCFiniteTimeAction> other_;
};
