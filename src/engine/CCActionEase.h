// Easing: an action that wraps an interval action and reshapes its pace.
// It passes f(t) instead of its own linear progress t to the wrapped
// action's update; start, stop and duration are the wrapped action's.
// Several curves leave [0, 1] in the middle of the run (elastic, back,
// bounce), so the wrapped action sees values a little outside it.
//
// Reverses reverse the wrapped action too; they are null when the wrapped
// action has no reverse.
#pragma once

#include "engine/CCAction.h"
#include "host/core/Ref.h"

class CCActionEase : public CCActionInterval {
public:
    static CCActionEase* actionWithAction(CCActionInterval* action);
    virtual bool initWithAction(CCActionInterval* action);

    CCActionInterval* innerAction() const { return other.get(); }

    void startWithTarget(CCNode* target) override;
    void stop() override;
    // The identity curve here; subclasses reshape t.
    void update(ccTime t) override;
    CCActionInterval* reverse() override;
    host::Ref<CCActionEase> copy() const { return host::Ref<CCActionEase>::adopt(makeCopy()); }

protected:
    CCActionEase* makeCopy() const override;
    ~CCActionEase() override;

    // An autoreleased E wrapping `inner` (null when inner is null).
    template <class E> static E* wrap(CCActionInterval* inner) {
        if (!inner) return nullptr;
        return host::create<E>([inner](E* e) { return e->initWithAction(inner); });
    }
    // A caller-owned E around a copy of the wrapped action.
    template <class E> E* copyAs() const {
        auto inner = ccOwnedCopy(other.get());
        return host::createOwned<E>([&inner](E* e) { return e->initWithAction(inner); });
    }
    // The wrapped action's reverse as an interval action, or null.
    CCActionInterval* reversedInner();
    // Hands the reshaped progress to the wrapped action, unless the curve
    // gave no number for it (then the wrapped action is left as it was).
    void updateInner(float f) {
        if (finiteFor("eased progress", {f})) other->update(f);
    }

    host::Ref<CCActionInterval> other;
};

// ---- Power curves with a rate ---------------------------------------------------

class CCEaseRateAction : public CCActionEase {
public:
    static CCEaseRateAction* actionWithAction(CCActionInterval* action, float rate);
    virtual bool initWithAction(CCActionInterval* action, float rate);
    using CCActionEase::initWithAction;

    float rate() const { return rate_; }
    void setRate(float r) { rate_ = r; }

    // Same class, rate 1 / rate.
    CCActionInterval* reverse() override;
    host::Ref<CCEaseRateAction> copy() const { return host::Ref<CCEaseRateAction>::adopt(makeCopy()); }

protected:
    CCEaseRateAction* makeCopy() const override { return copyWithRate<CCEaseRateAction>(rate_); }
    ~CCEaseRateAction() override = default;

    template <class E> static E* wrap(CCActionInterval* inner, float rate) {
        if (!inner) return nullptr;
        return host::create<E>([inner, rate](E* e) { return e->initWithAction(inner, rate); });
    }
    template <class E> E* copyWithRate(float rate) const {
        auto inner = ccOwnedCopy(other.get());
        return host::createOwned<E>([&inner, rate](E* e) { return e->initWithAction(inner, rate); });
    }
    // A new action of this object's class (autoreleased).
    virtual CCEaseRateAction* sameKind(CCActionInterval* inner, float rate) const;

    float rate_ = 2;
};

// t^rate: slow start.
class CCEaseIn : public CCEaseRateAction {
public:
    static CCEaseIn* actionWithAction(CCActionInterval* a, float rate) { return wrap<CCEaseIn>(a, rate); }
    void update(ccTime t) override;
    host::Ref<CCEaseIn> copy() const { return host::Ref<CCEaseIn>::adopt(makeCopy()); }

protected:
    CCEaseIn* makeCopy() const override { return copyWithRate<CCEaseIn>(rate_); }
    ~CCEaseIn() override = default;
    CCEaseRateAction* sameKind(CCActionInterval* a, float rate) const override { return actionWithAction(a, rate); }
};

// t^(1/rate): slow end.
class CCEaseOut : public CCEaseRateAction {
public:
    static CCEaseOut* actionWithAction(CCActionInterval* a, float rate) { return wrap<CCEaseOut>(a, rate); }
    void update(ccTime t) override;
    host::Ref<CCEaseOut> copy() const { return host::Ref<CCEaseOut>::adopt(makeCopy()); }

protected:
    CCEaseOut* makeCopy() const override { return copyWithRate<CCEaseOut>(rate_); }
    ~CCEaseOut() override = default;
    CCEaseRateAction* sameKind(CCActionInterval* a, float rate) const override { return actionWithAction(a, rate); }
};

// Slow start and slow end; its reverse keeps the rate. The second half
// mirrors the first about (0.5, 0.5), so any positive rate works.
class CCEaseInOut : public CCEaseRateAction {
public:
    static CCEaseInOut* actionWithAction(CCActionInterval* a, float rate) { return wrap<CCEaseInOut>(a, rate); }
    void update(ccTime t) override;
    CCActionInterval* reverse() override;
    host::Ref<CCEaseInOut> copy() const { return host::Ref<CCEaseInOut>::adopt(makeCopy()); }

protected:
    CCEaseInOut* makeCopy() const override { return copyWithRate<CCEaseInOut>(rate_); }
    ~CCEaseInOut() override = default;
    CCEaseRateAction* sameKind(CCActionInterval* a, float rate) const override { return actionWithAction(a, rate); }
};

// ---- Exponential ----------------------------------------------------------------

// Ends at 0.999, never exactly 1.
class CCEaseExponentialIn : public CCActionEase {
public:
    static CCEaseExponentialIn* actionWithAction(CCActionInterval* a) { return wrap<CCEaseExponentialIn>(a); }
    void update(ccTime t) override;
    CCActionInterval* reverse() override;
    host::Ref<CCEaseExponentialIn> copy() const { return host::Ref<CCEaseExponentialIn>::adopt(makeCopy()); }

protected:
    CCEaseExponentialIn* makeCopy() const override { return copyAs<CCEaseExponentialIn>(); }
    ~CCEaseExponentialIn() override = default;
};

class CCEaseExponentialOut : public CCActionEase {
public:
    static CCEaseExponentialOut* actionWithAction(CCActionInterval* a) { return wrap<CCEaseExponentialOut>(a); }
    void update(ccTime t) override;
    CCActionInterval* reverse() override;
    host::Ref<CCEaseExponentialOut> copy() const { return host::Ref<CCEaseExponentialOut>::adopt(makeCopy()); }

protected:
    CCEaseExponentialOut* makeCopy() const override { return copyAs<CCEaseExponentialOut>(); }
    ~CCEaseExponentialOut() override = default;
};

// No special case at the ends: about 0.000488 at 0 and 0.999512 at 1.
class CCEaseExponentialInOut : public CCActionEase {
public:
    static CCEaseExponentialInOut* actionWithAction(CCActionInterval* a) { return wrap<CCEaseExponentialInOut>(a); }
    void update(ccTime t) override;
    CCActionInterval* reverse() override { return wrap<CCEaseExponentialInOut>(reversedInner()); }
    host::Ref<CCEaseExponentialInOut> copy() const { return host::Ref<CCEaseExponentialInOut>::adopt(makeCopy()); }

protected:
    CCEaseExponentialInOut* makeCopy() const override { return copyAs<CCEaseExponentialInOut>(); }
    ~CCEaseExponentialInOut() override = default;
};

// ---- Sine -----------------------------------------------------------------------

class CCEaseSineIn : public CCActionEase {
public:
    static CCEaseSineIn* actionWithAction(CCActionInterval* a) { return wrap<CCEaseSineIn>(a); }
    void update(ccTime t) override;
    CCActionInterval* reverse() override;
    host::Ref<CCEaseSineIn> copy() const { return host::Ref<CCEaseSineIn>::adopt(makeCopy()); }

protected:
    CCEaseSineIn* makeCopy() const override { return copyAs<CCEaseSineIn>(); }
    ~CCEaseSineIn() override = default;
};

class CCEaseSineOut : public CCActionEase {
public:
    static CCEaseSineOut* actionWithAction(CCActionInterval* a) { return wrap<CCEaseSineOut>(a); }
    void update(ccTime t) override;
    CCActionInterval* reverse() override;
    host::Ref<CCEaseSineOut> copy() const { return host::Ref<CCEaseSineOut>::adopt(makeCopy()); }

protected:
    CCEaseSineOut* makeCopy() const override { return copyAs<CCEaseSineOut>(); }
    ~CCEaseSineOut() override = default;
};

class CCEaseSineInOut : public CCActionEase {
public:
    static CCEaseSineInOut* actionWithAction(CCActionInterval* a) { return wrap<CCEaseSineInOut>(a); }
    void update(ccTime t) override;
    CCActionInterval* reverse() override { return wrap<CCEaseSineInOut>(reversedInner()); }
    host::Ref<CCEaseSineInOut> copy() const { return host::Ref<CCEaseSineInOut>::adopt(makeCopy()); }

protected:
    CCEaseSineInOut* makeCopy() const override { return copyAs<CCEaseSineInOut>(); }
    ~CCEaseSineInOut() override = default;
};

// ---- Elastic --------------------------------------------------------------------

// Oscillates around the target with the given period (default 0.3). A
// period of 0 has no wave: each curve replaces it (and keeps the new
// value) with its default period at the first update that needs it.
class CCEaseElastic : public CCActionEase {
public:
    static CCEaseElastic* actionWithAction(CCActionInterval* action);
    static CCEaseElastic* actionWithAction(CCActionInterval* action, float period);
    bool initWithAction(CCActionInterval* action) override;
    virtual bool initWithAction(CCActionInterval* action, float period);

    float period() const { return period_; }
    void setPeriod(float p) { period_ = p; }

    // The plain elastic action has no reverse.
    CCActionInterval* reverse() override { return nullptr; }
    host::Ref<CCEaseElastic> copy() const { return host::Ref<CCEaseElastic>::adopt(makeCopy()); }

protected:
    CCEaseElastic* makeCopy() const override { return copyWithPeriod<CCEaseElastic>(); }
    ~CCEaseElastic() override = default;

    template <class E> static E* wrap(CCActionInterval* inner, float period) {
        if (!inner) return nullptr;
        return host::create<E>([inner, period](E* e) { return e->initWithAction(inner, period); });
    }
    template <class E> E* copyWithPeriod() const {
        auto inner = ccOwnedCopy(other.get());
        const float period = period_;
        return host::createOwned<E>([&inner, period](E* e) { return e->initWithAction(inner, period); });
    }

    // The period, after replacing a period of 0 by `fallback`.
    float periodOr(float fallback) {
        if (period_ == 0) period_ = fallback;
        return period_;
    }

    float period_ = 0.3f;
};

class CCEaseElasticIn : public CCEaseElastic {
public:
    static CCEaseElasticIn* actionWithAction(CCActionInterval* a) { return wrap<CCEaseElasticIn>(a, 0.3f); }
    static CCEaseElasticIn* actionWithAction(CCActionInterval* a, float p) { return wrap<CCEaseElasticIn>(a, p); }
    void update(ccTime t) override;
    CCActionInterval* reverse() override;
    host::Ref<CCEaseElasticIn> copy() const { return host::Ref<CCEaseElasticIn>::adopt(makeCopy()); }

protected:
    CCEaseElasticIn* makeCopy() const override { return copyWithPeriod<CCEaseElasticIn>(); }
    ~CCEaseElasticIn() override = default;
};

class CCEaseElasticOut : public CCEaseElastic {
public:
    static CCEaseElasticOut* actionWithAction(CCActionInterval* a) { return wrap<CCEaseElasticOut>(a, 0.3f); }
    static CCEaseElasticOut* actionWithAction(CCActionInterval* a, float p) { return wrap<CCEaseElasticOut>(a, p); }
    void update(ccTime t) override;
    CCActionInterval* reverse() override;
    host::Ref<CCEaseElasticOut> copy() const { return host::Ref<CCEaseElasticOut>::adopt(makeCopy()); }

protected:
    CCEaseElasticOut* makeCopy() const override { return copyWithPeriod<CCEaseElasticOut>(); }
    ~CCEaseElasticOut() override = default;
};

// Its default period for a period of 0 is 0.45.
class CCEaseElasticInOut : public CCEaseElastic {
public:
    static CCEaseElasticInOut* actionWithAction(CCActionInterval* a) { return wrap<CCEaseElasticInOut>(a, 0.3f); }
    static CCEaseElasticInOut* actionWithAction(CCActionInterval* a, float p) {
        return wrap<CCEaseElasticInOut>(a, p);
    }
    void update(ccTime t) override;
    CCActionInterval* reverse() override { return wrap<CCEaseElasticInOut>(reversedInner(), period_); }
    host::Ref<CCEaseElasticInOut> copy() const { return host::Ref<CCEaseElasticInOut>::adopt(makeCopy()); }

protected:
    CCEaseElasticInOut* makeCopy() const override { return copyWithPeriod<CCEaseElasticInOut>(); }
    ~CCEaseElasticInOut() override = default;
};

// ---- Bounce ---------------------------------------------------------------------

class CCEaseBounce : public CCActionEase {
public:
    static CCEaseBounce* actionWithAction(CCActionInterval* a) { return wrap<CCEaseBounce>(a); }
    // The bounce curve: four parabolas, 1 at t = 1.
    static ccTime bounceTime(ccTime t);
    host::Ref<CCEaseBounce> copy() const { return host::Ref<CCEaseBounce>::adopt(makeCopy()); }
    CCActionInterval* reverse() override { return wrap<CCEaseBounce>(reversedInner()); }

protected:
    CCEaseBounce* makeCopy() const override { return copyAs<CCEaseBounce>(); }
    ~CCEaseBounce() override = default;
};

class CCEaseBounceIn : public CCEaseBounce {
public:
    static CCEaseBounceIn* actionWithAction(CCActionInterval* a) { return wrap<CCEaseBounceIn>(a); }
    void update(ccTime t) override;
    CCActionInterval* reverse() override;
    host::Ref<CCEaseBounceIn> copy() const { return host::Ref<CCEaseBounceIn>::adopt(makeCopy()); }

protected:
    CCEaseBounceIn* makeCopy() const override { return copyAs<CCEaseBounceIn>(); }
    ~CCEaseBounceIn() override = default;
};

class CCEaseBounceOut : public CCEaseBounce {
public:
    static CCEaseBounceOut* actionWithAction(CCActionInterval* a) { return wrap<CCEaseBounceOut>(a); }
    void update(ccTime t) override;
    CCActionInterval* reverse() override;
    host::Ref<CCEaseBounceOut> copy() const { return host::Ref<CCEaseBounceOut>::adopt(makeCopy()); }

protected:
    CCEaseBounceOut* makeCopy() const override { return copyAs<CCEaseBounceOut>(); }
    ~CCEaseBounceOut() override = default;
};

class CCEaseBounceInOut : public CCEaseBounce {
public:
    static CCEaseBounceInOut* actionWithAction(CCActionInterval* a) { return wrap<CCEaseBounceInOut>(a); }
    void update(ccTime t) override;
    CCActionInterval* reverse() override { return wrap<CCEaseBounceInOut>(reversedInner()); }
    host::Ref<CCEaseBounceInOut> copy() const { return host::Ref<CCEaseBounceInOut>::adopt(makeCopy()); }

protected:
    CCEaseBounceInOut* makeCopy() const override { return copyAs<CCEaseBounceInOut>(); }
    ~CCEaseBounceInOut() override = default;
};

// ---- Back (overshoot) -------------------------------------------------------------

class CCEaseBackIn : public CCActionEase {
public:
    static CCEaseBackIn* actionWithAction(CCActionInterval* a) { return wrap<CCEaseBackIn>(a); }
    void update(ccTime t) override;
    CCActionInterval* reverse() override;
    host::Ref<CCEaseBackIn> copy() const { return host::Ref<CCEaseBackIn>::adopt(makeCopy()); }

protected:
    CCEaseBackIn* makeCopy() const override { return copyAs<CCEaseBackIn>(); }
    ~CCEaseBackIn() override = default;
};

class CCEaseBackOut : public CCActionEase {
public:
    static CCEaseBackOut* actionWithAction(CCActionInterval* a) { return wrap<CCEaseBackOut>(a); }
    void update(ccTime t) override;
    CCActionInterval* reverse() override;
    host::Ref<CCEaseBackOut> copy() const { return host::Ref<CCEaseBackOut>::adopt(makeCopy()); }

protected:
    CCEaseBackOut* makeCopy() const override { return copyAs<CCEaseBackOut>(); }
    ~CCEaseBackOut() override = default;
};

class CCEaseBackInOut : public CCActionEase {
public:
    static CCEaseBackInOut* actionWithAction(CCActionInterval* a) { return wrap<CCEaseBackInOut>(a); }
    void update(ccTime t) override;
    CCActionInterval* reverse() override { return wrap<CCEaseBackInOut>(reversedInner()); }
    host::Ref<CCEaseBackInOut> copy() const { return host::Ref<CCEaseBackInOut>::adopt(makeCopy()); }

protected:
    CCEaseBackInOut* makeCopy() const override { return copyAs<CCEaseBackInOut>(); }
    ~CCEaseBackInOut() override = default;
};
