// Easing actions: each curve's value at chosen progress, the values outside
// [0, 1] that wrapped actions must accept, and the reverse rules.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include "ActionTestSupport.h"
#include "engine/CCActionEase.h"
#include "engine/CCActionIntervalProperty.h"
#include "engine/Support/CGPointExtension.h"

namespace {

// Wraps a fresh probe with `make`, starts it and returns f(t).
using Maker = std::function<CCActionInterval*(CCActionInterval*)>;

float eased(const Maker& make, float t) {
    Probe* p = Probe::make("p", 2);
    CCActionInterval* e = make(p);
    e->startWithTarget(CCNode::node());
    e->update(t);
    return p->ts.empty() ? NAN : p->ts.back();  // NaN: the curve handed nothing on
}

TEST_F(ActionTest, EaseWrapsStartStopAndDuration) {
    CCNode* n = CCNode::node();
    Probe* p = Probe::make("p", 2);
    CCActionEase* e = CCActionEase::actionWithAction(p);
    EXPECT_FLOAT_EQ(e->duration(), 2);
    run(e, n);
    EXPECT_EQ(p->target(), n);
    frames(1, 0);
    frames(1, 1);
    EXPECT_FLOAT_EQ(p->ts.back(), 0.5f);  // the identity curve
    frames(1, 1);
    EXPECT_EQ(p->stops, 1);
    EXPECT_EQ(mgr()->numberOfRunningActionsInTarget(n), 0u);
}

TEST_F(ActionTest, RateCurves) {
    auto in = [](float r) { return [r](CCActionInterval* a) { return CCEaseIn::actionWithAction(a, r); }; };
    auto out = [](float r) { return [r](CCActionInterval* a) { return CCEaseOut::actionWithAction(a, r); }; };
    auto inOut = [](float r) { return [r](CCActionInterval* a) { return CCEaseInOut::actionWithAction(a, r); }; };
    EXPECT_FLOAT_EQ(eased(in(2), 0.5f), 0.25f);
    EXPECT_FLOAT_EQ(eased(in(3), 0.5f), 0.125f);
    EXPECT_FLOAT_EQ(eased(out(2), 0.25f), 0.5f);
    EXPECT_FLOAT_EQ(eased(out(2), 1), 1);
    for (float rate : {2.0f, 3.0f}) {
        EXPECT_FLOAT_EQ(eased(inOut(rate), 0.5f), 0.5f) << rate;
        EXPECT_FLOAT_EQ(eased(inOut(rate), 1), 1) << rate;
        EXPECT_FLOAT_EQ(eased(inOut(rate), 0), 0) << rate;
    }
    EXPECT_FLOAT_EQ(eased(inOut(2), 0.25f), 0.125f);
    EXPECT_FLOAT_EQ(eased(inOut(2), 0.75f), 0.875f);  // the even rate's sign flip keeps it rising
    EXPECT_FLOAT_EQ(eased(inOut(3), 0.75f), 0.9375f);
}

// A fractional in-out rate mirrors the first half rather than raising a
// negative number to a fractional power; an elastic period of 0 takes the
// curve's default period. Either way every progress gives a number.
TEST_F(ActionTest, FractionalRatesAndAZeroPeriodGiveNumbers) {
    auto inOut = [](float r) { return [r](CCActionInterval* a) { return CCEaseInOut::actionWithAction(a, r); }; };
    const float ts[] = {0, 0.25f, 0.5f, 0.75f, 1};
    for (float rate : {1.5f, 2.5f}) {
        float previous = -1;
        for (float t : ts) {
            const float f = eased(inOut(rate), t);
            ASSERT_TRUE(std::isfinite(f)) << "rate " << rate << " at " << t;
            EXPECT_GT(f, previous) << "rate " << rate << " at " << t;
            previous = f;
        }
        EXPECT_FLOAT_EQ(eased(inOut(rate), 0.5f), 0.5f);
        EXPECT_FLOAT_EQ(eased(inOut(rate), 1), 1);
        EXPECT_FLOAT_EQ(eased(inOut(rate), 0.75f), 1 - eased(inOut(rate), 0.25f)) << rate;
        EXPECT_FLOAT_EQ(eased(inOut(rate), 0.25f), 0.5f * std::pow(0.5f, rate));
    }

    using Elastic = std::function<CCEaseElastic*(CCActionInterval*, float)>;
    const Elastic curves[] = {
        [](CCActionInterval* a, float p) { return CCEaseElasticIn::actionWithAction(a, p); },
        [](CCActionInterval* a, float p) { return CCEaseElasticOut::actionWithAction(a, p); },
    };
    for (const Elastic& curve : curves) {
        for (float t : ts) {
            const float f = eased([&](CCActionInterval* a) { return curve(a, 0); }, t);
            ASSERT_TRUE(std::isfinite(f)) << t;
            EXPECT_FLOAT_EQ(f, eased([&](CCActionInterval* a) { return curve(a, 0.3f); }, t)) << t;
        }
        CCEaseElastic* e = curve(Probe::make("p", 1), 0);
        e->startWithTarget(CCNode::node());
        e->update(0.5f);
        EXPECT_FLOAT_EQ(e->period(), 0.3f) << "the default period is kept";
    }
}

TEST_F(ActionTest, ExponentialCurvesAndTheirEnds) {
    auto in = [](CCActionInterval* a) { return CCEaseExponentialIn::actionWithAction(a); };
    auto out = [](CCActionInterval* a) { return CCEaseExponentialOut::actionWithAction(a); };
    auto inOut = [](CCActionInterval* a) { return CCEaseExponentialInOut::actionWithAction(a); };
    EXPECT_EQ(eased(in, 0), 0);
    EXPECT_FLOAT_EQ(eased(in, 1), 0.999f);  // never exactly 1
    EXPECT_NEAR(eased(in, 0.5f), std::pow(2.0f, -5.0f) - 0.001f, 1e-7);
    EXPECT_EQ(eased(out, 1), 1);
    EXPECT_NEAR(eased(out, 0.5f), 1 - std::pow(2.0f, -5.0f), 1e-7);
    EXPECT_EQ(eased(out, 0), 0);
    EXPECT_NEAR(eased(inOut, 0), 0.000488f, 1e-6);
    EXPECT_NEAR(eased(inOut, 1), 0.999512f, 1e-6);
    EXPECT_FLOAT_EQ(eased(inOut, 0.5f), 0.5f);
}

TEST_F(ActionTest, SineCurves) {
    auto in = [](CCActionInterval* a) { return CCEaseSineIn::actionWithAction(a); };
    auto out = [](CCActionInterval* a) { return CCEaseSineOut::actionWithAction(a); };
    auto inOut = [](CCActionInterval* a) { return CCEaseSineInOut::actionWithAction(a); };
    EXPECT_NEAR(eased(in, 0.5f), 1 - std::sqrt(0.5f), 1e-6);
    EXPECT_NEAR(eased(in, 1), 1, 1e-6);
    EXPECT_NEAR(eased(out, 0.5f), std::sqrt(0.5f), 1e-6);
    EXPECT_NEAR(eased(out, 1.0f / 3), 0.5f, 1e-6);
    EXPECT_NEAR(eased(inOut, 0.5f), 0.5f, 1e-6);
    EXPECT_NEAR(eased(inOut, 0.25f), 0.5f * (1 - std::sqrt(0.5f)), 1e-6);
    EXPECT_NEAR(eased(inOut, 1), 1, 1e-6);
}

TEST_F(ActionTest, ElasticCurvesOvershootAndKeepTheirEnds) {
    auto in = [](CCActionInterval* a) { return CCEaseElasticIn::actionWithAction(a); };
    auto out = [](CCActionInterval* a) { return CCEaseElasticOut::actionWithAction(a, 0.3f); };
    for (float t : {0.0f, 1.0f}) {
        EXPECT_EQ(eased(in, t), t);
        EXPECT_EQ(eased(out, t), t);
    }
    // Out: 2^-10t sin((t - p/4) 2pi / p) + 1 with p = 0.3.
    EXPECT_NEAR(eased(out, 0.1f), std::pow(2.0f, -1.0f) * std::sin((0.1f - 0.075f) * 2 * 3.1415927f / 0.3f) + 1,
                1e-5);
    EXPECT_GT(eased(out, 0.15f), 1);  // overshoots the end
    EXPECT_NEAR(eased(in, 0.9f), -std::pow(2.0f, -1.0f) * std::sin((-0.1f - 0.075f) * 2 * 3.1415927f / 0.3f), 1e-5);
    EXPECT_LT(eased(in, 0.85f), 0);  // swings behind the start

    // A period of 0 becomes 0.45 at the first update that needs one.
    Probe* p = Probe::make("p", 1);
    CCEaseElasticInOut* io = CCEaseElasticInOut::actionWithAction(p, 0);
    io->startWithTarget(CCNode::node());
    io->update(1);
    EXPECT_EQ(io->period(), 0);
    io->update(0.75f);
    EXPECT_FLOAT_EQ(io->period(), 0.45f);
    const float v = 0.5f, s = 0.45f / 4;
    EXPECT_NEAR(p->ts.back(), std::pow(2.0f, -10 * v) * std::sin((v - s) * 2 * 3.1415927f / 0.45f) * 0.5f + 1, 1e-5);
    EXPECT_FLOAT_EQ(CCEaseElastic::actionWithAction(Probe::make("q", 1))->period(), 0.3f);
}

TEST_F(ActionTest, BounceCurveIsContinuousAndEndsAtOne) {
    EXPECT_FLOAT_EQ(CCEaseBounce::bounceTime(1), 1);
    EXPECT_FLOAT_EQ(CCEaseBounce::bounceTime(0), 0);
    for (double edge : {1 / 2.75, 2 / 2.75, 2.5 / 2.75}) {
        const float below = std::nextafter(static_cast<float>(edge), 0.0f);
        const float above = std::nextafter(static_cast<float>(edge), 1.0f);
        EXPECT_NEAR(CCEaseBounce::bounceTime(below), CCEaseBounce::bounceTime(above), 1e-4) << edge;
    }
    EXPECT_FLOAT_EQ(CCEaseBounce::bounceTime(1.5f / 2.75f), 0.75f);  // the bottom of the second bounce

    auto in = [](CCActionInterval* a) { return CCEaseBounceIn::actionWithAction(a); };
    auto out = [](CCActionInterval* a) { return CCEaseBounceOut::actionWithAction(a); };
    auto inOut = [](CCActionInterval* a) { return CCEaseBounceInOut::actionWithAction(a); };
    EXPECT_FLOAT_EQ(eased(out, 0.2f), 7.5625f * 0.04f);
    EXPECT_FLOAT_EQ(eased(in, 0.8f), 1 - 7.5625f * 0.04f);
    EXPECT_FLOAT_EQ(eased(inOut, 0.5f), 0.5f);
    EXPECT_FLOAT_EQ(eased(inOut, 0.1f), (1 - CCEaseBounce::bounceTime(0.8f)) * 0.5f);
    EXPECT_FLOAT_EQ(eased(inOut, 0.6f), CCEaseBounce::bounceTime(0.2f) * 0.5f + 0.5f);
}

TEST_F(ActionTest, BackCurvesDipBehindAndOvershoot) {
    auto in = [](CCActionInterval* a) { return CCEaseBackIn::actionWithAction(a); };
    auto out = [](CCActionInterval* a) { return CCEaseBackOut::actionWithAction(a); };
    auto inOut = [](CCActionInterval* a) { return CCEaseBackInOut::actionWithAction(a); };
    float lowest = 1, lowestAt = 0;
    for (int i = 0; i <= 100; ++i) {
        const float t = i / 100.0f, v = eased(in, t);
        if (v < lowest) lowest = v, lowestAt = t;
    }
    EXPECT_NEAR(lowest, -0.1f, 0.002f);
    EXPECT_NEAR(lowestAt, 0.42f, 0.011f);
    EXPECT_NEAR(eased(in, 1), 1, 1e-6);
    EXPECT_NEAR(eased(out, 0.58f), 1.1f, 0.002f);  // the mirror image overshoots the end
    EXPECT_NEAR(eased(out, 0), 0, 1e-6);
    EXPECT_NEAR(eased(inOut, 0.5f), 0.5f, 1e-6);
    EXPECT_NEAR(eased(inOut, 1), 1, 1e-6);
    EXPECT_LT(eased(inOut, 0.1f), 0);
    EXPECT_GT(eased(inOut, 0.9f), 1);

    // A wrapped move follows the curve behind its start.
    CCNode* n = CCNode::node();
    n->setPosition(ccp(100, 0));
    CCEaseBackIn* e = CCEaseBackIn::actionWithAction(CCMoveBy::actionWithDuration(1, ccp(100, 0)));
    e->startWithTarget(n);
    e->update(0.42f);
    EXPECT_LT(n->position().x, 100);
}

TEST_F(ActionTest, EaseReversesFollowTheirRules) {
    auto p = [] { return Probe::make("p", 1); };
    auto* in = dynamic_cast<CCEaseIn*>(CCEaseIn::actionWithAction(p(), 4)->reverse());
    ASSERT_NE(in, nullptr);
    EXPECT_FLOAT_EQ(in->rate(), 0.25f);
    EXPECT_EQ(static_cast<Probe*>(in->innerAction())->name, "p'");  // the wrapped action is reversed too
    auto* out = dynamic_cast<CCEaseOut*>(CCEaseOut::actionWithAction(p(), 2)->reverse());
    ASSERT_NE(out, nullptr);
    EXPECT_FLOAT_EQ(out->rate(), 0.5f);
    auto* io = dynamic_cast<CCEaseInOut*>(CCEaseInOut::actionWithAction(p(), 3)->reverse());
    ASSERT_NE(io, nullptr);
    EXPECT_FLOAT_EQ(io->rate(), 3);

    EXPECT_NE(dynamic_cast<CCEaseExponentialOut*>(CCEaseExponentialIn::actionWithAction(p())->reverse()), nullptr);
    EXPECT_NE(dynamic_cast<CCEaseExponentialIn*>(CCEaseExponentialOut::actionWithAction(p())->reverse()), nullptr);
    EXPECT_NE(dynamic_cast<CCEaseExponentialInOut*>(CCEaseExponentialInOut::actionWithAction(p())->reverse()),
              nullptr);
    EXPECT_NE(dynamic_cast<CCEaseSineOut*>(CCEaseSineIn::actionWithAction(p())->reverse()), nullptr);
    EXPECT_NE(dynamic_cast<CCEaseSineIn*>(CCEaseSineOut::actionWithAction(p())->reverse()), nullptr);
    EXPECT_NE(dynamic_cast<CCEaseSineInOut*>(CCEaseSineInOut::actionWithAction(p())->reverse()), nullptr);
    EXPECT_EQ(CCEaseElastic::actionWithAction(p())->reverse(), nullptr);
    auto* eo = dynamic_cast<CCEaseElasticOut*>(CCEaseElasticIn::actionWithAction(p(), 0.7f)->reverse());
    ASSERT_NE(eo, nullptr);
    EXPECT_FLOAT_EQ(eo->period(), 0.7f);
    EXPECT_NE(dynamic_cast<CCEaseElasticIn*>(CCEaseElasticOut::actionWithAction(p())->reverse()), nullptr);
    auto* eio = dynamic_cast<CCEaseElasticInOut*>(CCEaseElasticInOut::actionWithAction(p(), 0.6f)->reverse());
    ASSERT_NE(eio, nullptr);
    EXPECT_FLOAT_EQ(eio->period(), 0.6f);
    EXPECT_NE(dynamic_cast<CCEaseBounceOut*>(CCEaseBounceIn::actionWithAction(p())->reverse()), nullptr);
    EXPECT_NE(dynamic_cast<CCEaseBounceIn*>(CCEaseBounceOut::actionWithAction(p())->reverse()), nullptr);
    EXPECT_NE(dynamic_cast<CCEaseBounceInOut*>(CCEaseBounceInOut::actionWithAction(p())->reverse()), nullptr);
    EXPECT_NE(dynamic_cast<CCEaseBackOut*>(CCEaseBackIn::actionWithAction(p())->reverse()), nullptr);
    EXPECT_NE(dynamic_cast<CCEaseBackIn*>(CCEaseBackOut::actionWithAction(p())->reverse()), nullptr);
    EXPECT_NE(dynamic_cast<CCEaseBackInOut*>(CCEaseBackInOut::actionWithAction(p())->reverse()), nullptr);

    // No reverse inside, no reverse outside.
    EXPECT_EQ(CCEaseSineIn::actionWithAction(CCMoveTo::actionWithDuration(1, ccp(1, 1)))->reverse(), nullptr);
    EXPECT_EQ(CCEaseIn::actionWithAction(CCMoveTo::actionWithDuration(1, ccp(1, 1)), 2)->reverse(), nullptr);

    // A reversed eased move really runs back.
    CCNode* n = CCNode::node();
    CCEaseIn* there = CCEaseIn::actionWithAction(CCMoveBy::actionWithDuration(1, ccp(40, 0)), 2);
    there->startWithTarget(n);
    there->update(1);
    CCActionInterval* back = there->reverse();
    back->startWithTarget(n);
    back->update(0.25f);
    EXPECT_TRUE(pointNear(n->position(), ccp(40 - 40 * std::pow(0.25f, 0.5f), 0)));
    back->update(1);
    EXPECT_TRUE(pointNear(n->position(), ccp(0, 0)));
}

TEST_F(ActionTest, EaseCopiesKeepClassAndParameters) {
    Probe* p = Probe::make("p", 1);
    host::Ref<CCEaseIn> in = CCEaseIn::actionWithAction(p, 5)->copy();
    EXPECT_FLOAT_EQ(in->rate(), 5);
    EXPECT_NE(in->innerAction(), p);
    EXPECT_EQ(static_cast<Probe*>(in->innerAction())->name, "p#");
    host::Ref<CCEaseElasticOut> eo =
        CCEaseElasticOut::actionWithAction(p, 0.8f)->copy();
    EXPECT_FLOAT_EQ(eo->period(), 0.8f);
    host::Ref<CCEaseBackInOut> b = CCEaseBackInOut::actionWithAction(p)->copy();
    EXPECT_FLOAT_EQ(b->duration(), 1);
}

}  // namespace
