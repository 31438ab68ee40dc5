// Interval property actions: the values they write at chosen progress, how
// they pick up their start values, their reverses, and frame animation on
// real sprites.
#include <gtest/gtest.h>

#include "ActionTestSupport.h"
#include "RenderFixture.h"
#include "LogCapture.h"
#include "TestTextures.h"
#include "engine/CCActionAnimate.h"
#include "engine/CCActionEase.h"
#include "engine/CCActionInterval.h"
#include "engine/CCActionIntervalProperty.h"
#include "engine/CCActionTween.h"
#include "engine/CCAnimation.h"
#include "engine/CCSprite.h"
#include "engine/CCSpriteFrame.h"
#include "engine/Support/CGPointExtension.h"

namespace {

// Starts the action on the node and applies progress t.
void at(CCActionInterval* a, CCNode* n, ccTime t) {
    a->startWithTarget(n);
    a->update(t);
}

// ---- Rotation and position ---------------------------------------------------------

// A NaN or an infinity never reaches a node, whatever produced it: the
// property keeps its value and each action says so once.
TEST_F(ActionTest, NonFiniteValuesNeverReachTheNode) {
    LogCapture log;
    CCNode* n = CCNode::node();
    n->setPosition(ccp(10, 20));
    run(CCMoveTo::actionWithDuration(1, ccp(NAN, 5)), n);
    frames(3, 0.25f);
    EXPECT_TRUE(pointNear(n->position(), ccp(10, 20)));
    EXPECT_EQ(log.lines().size(), 1u) << log.joined();

    // A rate below 0 makes 0 to its power infinite: that frame is refused,
    // the next, finite one is not.
    CCActionInterval* move = CCEaseIn::actionWithAction(CCMoveBy::actionWithDuration(1, ccp(8, 0)), -1);
    at(move, n, 0);
    EXPECT_TRUE(pointNear(n->position(), ccp(10, 20)));
    move->update(0.5f);
    EXPECT_TRUE(pointNear(n->position(), ccp(26, 20)));

    n->setScale(2);
    at(CCScaleBy::actionWithDuration(1, 0)->reverse(), n, 0.5f);  // a scale by 1 / 0
    EXPECT_FLOAT_EQ(n->scaleX(), 2);
    n->setRotation(30);
    at(CCActionTween::actionWithDuration(1, "rotation", 0, INFINITY), n, 0.5f);
    EXPECT_FLOAT_EQ(n->rotation(), 30);

    ColourNode* c = ColourNode::node();
    c->opacity_ = 77;
    at(CCFadeTo::actionWithDuration(1, 200), c, NAN);
    EXPECT_EQ(c->opacity_, 77);
    EXPECT_EQ(log.lines().size(), 5u) << log.joined();
}

TEST_F(ActionTest, RotateToTakesTheShorterWay) {
    CCNode* n = CCNode::node();
    n->setRotation(350);
    CCRotateTo* r = CCRotateTo::actionWithDuration(1, 10);
    at(r, n, 0.5f);
    EXPECT_FLOAT_EQ(n->rotation(), 360);  // +20 over the run, not -340
    r->update(1);
    EXPECT_FLOAT_EQ(n->rotation(), 370);

    n->setRotation(-350);  // reduced keeping its sign: -350, and 360 becomes 0
    at(r, n, 1);
    EXPECT_FLOAT_EQ(n->rotation(), -350);

    n->setRotation(810);  // 810 reduces to 90; 90 -> 10 turns back 80
    at(r, n, 0.5f);
    EXPECT_FLOAT_EQ(n->rotation(), 50);

    n->setRotation(0);
    CCRotateTo* far = CCRotateTo::actionWithDuration(1, 270);  // 270 is -90 the short way
    at(far, n, 1);
    EXPECT_FLOAT_EQ(n->rotation(), -90);
    EXPECT_EQ(far->reverse(), nullptr);
}

TEST_F(ActionTest, RotateByAndItsReverseReturnToTheStart) {
    CCNode* n = CCNode::node();
    n->setRotation(30);
    CCRotateBy* r = CCRotateBy::actionWithDuration(2, 400);
    at(r, n, 0.25f);
    EXPECT_FLOAT_EQ(n->rotation(), 130);
    r->update(1);
    EXPECT_FLOAT_EQ(n->rotation(), 430);  // no reduction for a by-action
    CCRotateBy* back = r->reverse();
    EXPECT_FLOAT_EQ(back->duration(), 2);
    at(back, n, 1);
    EXPECT_FLOAT_EQ(n->rotation(), 30);
}

TEST_F(ActionTest, MoveByStartedTwiceMovesByTheSameOffset) {
    CCNode* n = CCNode::node();
    CCMoveBy* m = CCMoveBy::actionWithDuration(1, ccp(10, -5));
    at(m, n, 1);
    EXPECT_TRUE(pointNear(n->position(), ccp(10, -5)));
    n->setPosition(ccp(100, 100));
    at(m, n, 0.5f);
    EXPECT_TRUE(pointNear(n->position(), ccp(105, 97.5f)));
    m->update(1);
    EXPECT_TRUE(pointNear(n->position(), ccp(110, 95)));
    at(m->reverse(), n, 1);
    EXPECT_TRUE(pointNear(n->position(), ccp(100, 100)));

    CCMoveTo* to = CCMoveTo::actionWithDuration(1, ccp(0, 50));
    at(to, n, 0.5f);
    EXPECT_TRUE(pointNear(n->position(), ccp(50, 75)));
    to->update(1.5f);  // an easing overshoot goes past the end
    EXPECT_TRUE(pointNear(n->position(), ccp(-50, 25)));
    at(to, n, 0.2f);  // a move-to started again reads its new start
    EXPECT_TRUE(pointNear(n->position(), ccp(-40, 30)));
}

// ---- Skew ------------------------------------------------------------------------

TEST_F(ActionTest, SkewToReducesTheStartAndTakesTheShortWay) {
    CCNode* n = CCNode::node();
    n->setSkewX(200);  // reduced by 180: 20
    n->setSkewY(200);  // reduced by 360: 200; to 0 the short way is +160
    CCSkewTo* s = CCSkewTo::actionWithDuration(1, 0, 0);
    at(s, n, 0.5f);
    EXPECT_FLOAT_EQ(n->skewX(), 10);
    EXPECT_FLOAT_EQ(n->skewY(), 280);
    s->update(1);
    EXPECT_FLOAT_EQ(n->skewX(), 0);
    EXPECT_FLOAT_EQ(n->skewY(), 360);

    CCNode* m = CCNode::node();
    m->setSkewX(5);
    CCSkewBy* by = CCSkewBy::actionWithDuration(1, 30, -10);
    at(by, m, 0.5f);
    EXPECT_FLOAT_EQ(m->skewX(), 20);
    EXPECT_FLOAT_EQ(m->skewY(), -5);
    by->update(1);
    at(by->reverse(), m, 1);
    EXPECT_FLOAT_EQ(m->skewX(), 5);
    EXPECT_FLOAT_EQ(m->skewY(), 0);
    host::Ref<CCSkewBy> c = by->copy();
    at(c, m, 1);
    EXPECT_FLOAT_EQ(m->skewX(), 35);
}

// ---- Jumps and curves --------------------------------------------------------------

TEST_F(ActionTest, JumpByLandsOnTheLineAndPeaksBetween) {
    CCNode* n = CCNode::node();
    n->setPosition(ccp(5, 5));
    CCJumpBy* j = CCJumpBy::actionWithDuration(1, ccp(30, 12), 10, 3);
    j->startWithTarget(n);
    for (float t : {0.0f, 1.0f / 3, 2.0f / 3, 1.0f}) {
        j->update(t);
        EXPECT_TRUE(pointNear(n->position(), ccp(5 + 30 * t, 5 + 12 * t), 1e-3f)) << "t = " << t;
    }
    for (float t : {1.0f / 6, 0.5f, 5.0f / 6}) {
        j->update(t);
        EXPECT_TRUE(pointNear(n->position(), ccp(5 + 30 * t, 5 + 12 * t + 10), 1e-3f)) << "t = " << t;
    }
    j->update(1.0f / 12);  // a quarter of the first hop: 4 * 0.25 * 0.75 of the height
    EXPECT_NEAR(n->position().y, 5 + 1 + 7.5f, 1e-3);

    n->setPosition(ccp(35, 17));
    at(j->reverse(), n, 1);
    EXPECT_TRUE(pointNear(n->position(), ccp(5, 5)));
}

TEST_F(ActionTest, JumpToEndsAtItsPointFromAnyStart) {
    CCNode* n = CCNode::node();
    n->setPosition(ccp(10, 10));
    CCJumpTo* j = CCJumpTo::actionWithDuration(1, ccp(100, 0), 20, 1);
    at(j, n, 0.5f);
    EXPECT_TRUE(pointNear(n->position(), ccp(55, 5 + 20)));
    j->update(1);
    EXPECT_TRUE(pointNear(n->position(), ccp(100, 0)));
    n->setPosition(ccp(-50, 40));  // run again from elsewhere: the same end
    at(j, n, 1);
    EXPECT_TRUE(pointNear(n->position(), ccp(100, 0)));
    EXPECT_EQ(j->reverse(), nullptr);

    // Inside a repeat the end point holds every cycle.
    CCNode* m = CCNode::node();
    run(CCRepeat::actionWithAction(CCJumpTo::actionWithDuration(1, ccp(8, 8), 5, 2), 3), m);
    frames(1, 0);
    frames(3, 1);
    EXPECT_TRUE(pointNear(m->position(), ccp(8, 8)));
}

TEST_F(ActionTest, BezierFollowsTheCurveAndItsReverseRetracesIt) {
    CCNode* n = CCNode::node();
    n->setPosition(ccp(10, 10));
    ccBezierConfig c{ccp(100, 0), ccp(0, 100), ccp(100, 100)};  // end, control 1, control 2
    CCBezierBy* b = CCBezierBy::actionWithDuration(1, c);
    at(b, n, 0);
    EXPECT_TRUE(pointNear(n->position(), ccp(10, 10)));
    b->update(0.5f);
    EXPECT_TRUE(pointNear(n->position(), ccp(60, 85)));
    b->update(1);
    EXPECT_TRUE(pointNear(n->position(), ccp(110, 10)));

    // An asymmetric curve: the reverse, started at the end, is at t where
    // the forward curve is at 1 - t.
    ccBezierConfig a{ccp(100, 30), ccp(0, 50), ccp(80, 120)};
    CCBezierBy* fwd = CCBezierBy::actionWithDuration(1, a);
    CCBezierBy* back = fwd->reverse();
    CCNode* m = CCNode::node();
    for (float t : {0.0f, 0.25f, 0.6f, 1.0f}) {
        n->setPosition(ccp(10, 10));
        at(fwd, n, 1 - t);
        m->setPosition(ccp(110, 40));
        at(back, m, t);
        EXPECT_TRUE(pointNear(m->position(), n->position(), 1e-3f)) << "t = " << t;
    }
}

TEST_F(ActionTest, BezierToUsesAbsolutePointsOnEveryStart) {
    CCNode* n = CCNode::node();
    n->setPosition(ccp(10, 10));
    ccBezierConfig c{ccp(110, 10), ccp(10, 110), ccp(110, 110)};
    CCBezierTo* b = CCBezierTo::actionWithDuration(1, c);
    at(b, n, 0.5f);
    EXPECT_TRUE(pointNear(n->position(), ccp(60, 85)));
    n->setPosition(ccp(0, 0));
    at(b, n, 1);
    EXPECT_TRUE(pointNear(n->position(), ccp(110, 10)));
    host::Ref<CCBezierTo> copy = b->copy();
    n->setPosition(ccp(500, 500));
    at(copy, n, 1);
    EXPECT_TRUE(pointNear(n->position(), ccp(110, 10)));
    EXPECT_EQ(b->reverse(), nullptr);
}

// ---- Scale and blink ---------------------------------------------------------------

TEST_F(ActionTest, ScaleToAndScaleBy) {
    CCNode* n = CCNode::node();
    at(CCScaleTo::actionWithDuration(1, 3), n, 0.5f);
    EXPECT_FLOAT_EQ(n->scaleX(), 2);
    EXPECT_FLOAT_EQ(n->scaleY(), 2);
    at(CCScaleTo::actionWithDuration(1, 1, 5), n, 1);
    EXPECT_FLOAT_EQ(n->scaleX(), 1);
    EXPECT_FLOAT_EQ(n->scaleY(), 5);

    n->setScale(0.5f);
    CCScaleBy* by = CCScaleBy::actionWithDuration(1, 2);
    at(by, n, 1);
    EXPECT_FLOAT_EQ(n->scaleX(), 1);
    EXPECT_FLOAT_EQ(n->scaleY(), 1);
    at(by, n, 1);  // relative: doubles again from the new start
    EXPECT_FLOAT_EQ(n->scaleX(), 2);
    CCScaleBy* back = CCScaleBy::actionWithDuration(1, 4, 0.5f)->reverse();
    n->setScale(1);
    at(back, n, 1);
    EXPECT_FLOAT_EQ(n->scaleX(), 0.25f);
    EXPECT_FLOAT_EQ(n->scaleY(), 2);
}

TEST_F(ActionTest, BlinkTogglesBySlicesAndKeepsTheLastStateWhenDone) {
    CCNode* n = CCNode::node();
    CCBlink* b = CCBlink::actionWithDuration(1, 2);  // slices of 0.5, visible in their second half
    b->startWithTarget(n);
    b->update(0.1f);
    EXPECT_FALSE(n->visible());
    b->update(0.3f);
    EXPECT_TRUE(n->visible());
    b->update(0.6f);
    EXPECT_FALSE(n->visible());
    b->update(0.9f);
    EXPECT_TRUE(n->visible());

    // Run to completion by the manager: the finishing update leaves it alone.
    CCNode* m = CCNode::node();
    run(CCBlink::actionWithDuration(1, 2), m);
    frames(1, 0);
    frames(1, 0.9f);
    EXPECT_TRUE(m->visible());
    frames(1, 0.2f);
    EXPECT_TRUE(m->visible());
    EXPECT_EQ(mgr()->numberOfRunningActionsInTarget(m), 0u);
    host::Ref<CCBlink> c = b->copy();
    EXPECT_FLOAT_EQ(c->duration(), 1);
}

// ---- Opacity and colour ------------------------------------------------------------

TEST_F(ActionTest, FadesTruncateAndWrapToEightBits) {
    ColourNode* n = ColourNode::node();
    CCFadeIn* in = CCFadeIn::actionWithDuration(1);
    at(in, n, 0.999f);
    EXPECT_EQ(n->opacity_, 254);
    in->update(1);
    EXPECT_EQ(n->opacity_, 255);
    in->update(0);
    EXPECT_EQ(n->opacity_, 0);
    in->update(1.1f);  // 280 keeps its low 8 bits
    EXPECT_EQ(n->opacity_, 24);

    CCFadeOut* out = CCFadeOut::actionWithDuration(1);
    at(out, n, 0.5f);
    EXPECT_EQ(n->opacity_, 127);
    out->update(1);
    EXPECT_EQ(n->opacity_, 0);
    EXPECT_NE(dynamic_cast<CCFadeIn*>(out->reverse()), nullptr);
    EXPECT_NE(dynamic_cast<CCFadeOut*>(in->reverse()), nullptr);

    n->opacity_ = 200;
    CCFadeTo* to = CCFadeTo::actionWithDuration(1, 100);
    at(to, n, 0.25f);
    EXPECT_EQ(n->opacity_, 175);
    to->update(1);
    EXPECT_EQ(n->opacity_, 100);
    EXPECT_EQ(to->reverse(), nullptr);
    n->opacity_ = 0;
    at(CCFadeTo::actionWithDuration(1, 255), n, 0.5f);
    EXPECT_EQ(n->opacity_, 127);  // 127.5 truncated, not rounded
}

TEST_F(ActionTest, TintsTruncateAndTintByWraps) {
    ColourNode* n = ColourNode::node();
    CCTintTo* to = CCTintTo::actionWithDuration(1, 0, 128, 10);
    at(to, n, 0.5f);
    EXPECT_EQ(n->color_.r, 127);
    EXPECT_EQ(n->color_.g, 191);
    EXPECT_EQ(n->color_.b, 132);
    to->update(1);
    EXPECT_EQ(n->color_.r, 0);
    EXPECT_EQ(n->color_.g, 128);
    EXPECT_EQ(n->color_.b, 10);
    EXPECT_EQ(to->reverse(), nullptr);

    n->color_ = ccc3(200, 100, 0);
    CCTintBy* by = CCTintBy::actionWithDuration(1, 100, -150, 300);
    at(by, n, 0.5f);
    EXPECT_EQ(n->color_.r, 250);
    EXPECT_EQ(n->color_.g, 25);
    EXPECT_EQ(n->color_.b, 150);
    by->update(1);
    EXPECT_EQ(n->color_.r, 300 & 0xFF);
    EXPECT_EQ(n->color_.g, (-50) & 0xFF);
    EXPECT_EQ(n->color_.b, 300 & 0xFF);

    n->color_ = ccc3(10, 20, 30);
    CCTintBy* back = CCTintBy::actionWithDuration(1, 5, 6, 7)->reverse();
    at(back, n, 1);
    EXPECT_EQ(n->color_.r, 5);
    EXPECT_EQ(n->color_.g, 14);
    EXPECT_EQ(n->color_.b, 23);
}

TEST_F(ActionTest, ColourActionsOnANodeWithoutColourChangeNothing) {
    CCNode* n = CCNode::node();
    run(CCSequence::actions(CCFadeOut::actionWithDuration(0.5f), CCTintTo::actionWithDuration(0.5f, 1, 2, 3),
                            CCTintBy::actionWithDuration(0.5f, 1, 2, 3), CCFadeTo::actionWithDuration(0.5f, 9),
                            nullptr),
        n);
    frames(1, 0);
    frames(5, 0.5f);
    EXPECT_EQ(mgr()->numberOfRunningActionsInTarget(n), 0u);
    EXPECT_TRUE(n->visible());
}

// ---- Tween -----------------------------------------------------------------------

class Gauge : public CCNode, public CCTweenKeyValueCoding {
public:
    static Gauge* node() { return host::create<Gauge>(); }
    bool setFloatValueForKey(float value, const std::string& key) override {
        if (key != "level") return false;
        level = value;
        return true;
    }
    float level = 0;
};

TEST_F(ActionTest, TweenSetsNamedPropertiesAndIgnoresUnknownNames) {
    CCNode* n = CCNode::node();
    CCActionTween* t = CCActionTween::actionWithDuration(1, "rotation", 10, 90);
    at(t, n, 0.25f);
    EXPECT_FLOAT_EQ(n->rotation(), 30);
    at(t->reverse(), n, 0.25f);
    EXPECT_FLOAT_EQ(n->rotation(), 70);
    at(CCActionTween::actionWithDuration(1, "scaleY", 1, 3), n, 0.5f);
    EXPECT_FLOAT_EQ(n->scaleY(), 2);
    EXPECT_FLOAT_EQ(n->scaleX(), 1);

    ColourNode* c = ColourNode::node();
    at(CCActionTween::actionWithDuration(1, "opacity", 255, 0), c, 0.5f);
    EXPECT_EQ(c->opacity_, 127);

    Gauge* g = Gauge::node();
    host::Ref<CCActionTween> copy = 
        CCActionTween::actionWithDuration(2, "level", -1, 1)->copy();
    EXPECT_EQ(copy->key(), "level");
    at(copy, g, 0.75f);
    EXPECT_FLOAT_EQ(g->level, 0.5f);

    at(CCActionTween::actionWithDuration(1, "no such thing", 0, 1), n, 1);  // logged, nothing changes
    EXPECT_FLOAT_EQ(n->rotation(), 70);
}

// ---- Drawing: fades on a real sprite and frame animation ---------------------------

class SpriteActionTest : public RenderFixture {
protected:
    void SetUp() override {
        RenderFixture::SetUp();
        // Four 16 x 16 frames side by side: red, green, blue, white.
        strip_ = makeTexture(64, 16, CGSizeMake(64, 16), [](unsigned x, unsigned) {
            const ccColor4B colours[] = {kRed, kGreen, kBlue, kWhite};
            return colours[x / 16];
        });
        ASSERT_NE(strip_, nullptr);
    }
    CCSpriteFrame* frameAt(unsigned i) { return CCSpriteFrame::frameWithTexture(strip_, CGRectMake(16.0f * i, 0, 16, 16)); }
    CCAnimation* animation() {
        CCAnimation* a = CCAnimation::animationWithName("strip", 0.25f);
        for (unsigned i = 0; i < 4; ++i) a->addFrame(frameAt(i));
        return a;
    }
    static void steps(int n, ccTime dt) {
        for (int i = 0; i < n; ++i) CCActionManager::sharedManager()->update(dt);
    }
    ccColor4B centre(CCSprite* s) {
        const CGPoint p = s->position();
        return pixelAt(static_cast<int>(p.x), static_cast<int>(p.y));
    }
    host::Ref<CCTexture2D> strip_;  // frame() drains the pool: keep the texture
};

// A sprite that counts how often it is given a frame.
class CountingSprite : public CCSprite {
public:
    static CountingSprite* withFrame(CCSpriteFrame* f) {
        return host::create<CountingSprite>([f](CountingSprite* s) { return s->initWithSpriteFrame(f); });
    }
    using CCSprite::setDisplayFrame;
    void setDisplayFrame(CCSpriteFrame* frame) override {
        ++frameChanges;
        CCSprite::setDisplayFrame(frame);
    }
    int frameChanges = 0;
};

TEST_F(SpriteActionTest, FadeAndTintChangeWhatIsDrawn) {
    CCSprite* s = CCSprite::spriteWithTexture(strip_, CGRectMake(48, 0, 16, 16));  // the white frame
    ASSERT_NE(s, nullptr);
    s->setPosition(ccp(100, 100));
    scene_->addChild(s);
    frame();
    EXPECT_TRUE(rgbNear(centre(s), ccc3(255, 255, 255)));

    host::Ref<CCFadeTo> fade = CCFadeTo::actionWithDuration(1, 0);  // frame() drains the pool
    at(fade, s, 0.5f);
    EXPECT_EQ(s->opacity(), 127);
    frame();
    EXPECT_TRUE(rgbNear(centre(s), ccc3(127, 127, 127), 3));

    fade->update(1);
    at(CCTintTo::actionWithDuration(1, 255, 0, 0), s, 1);
    s->setOpacity(255);
    frame();
    EXPECT_TRUE(rgbNear(centre(s), ccc3(255, 0, 0)));
}

TEST_F(SpriteActionTest, AnimateShowsEachFrameAndRestoresTheOriginal) {
    CountingSprite* s = CountingSprite::withFrame(frameAt(3));  // white to begin with
    ASSERT_NE(s, nullptr);
    s->setPosition(ccp(60, 60));
    scene_->addChild(s);
    frame();
    s->frameChanges = 0;

    host::Ref<CCAnimate> a = CCAnimate::actionWithAnimation(animation());  // frame() drains the pool
    EXPECT_FLOAT_EQ(a->duration(), 1);
    a->startWithTarget(s);
    const ccColor3B expected[] = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {255, 255, 255}};
    for (int i = 0; i < 4; ++i) {
        a->update(0.25f * i + 0.1f);
        frame();
        EXPECT_TRUE(rgbNear(centre(s), expected[i])) << "frame " << i;
    }
    EXPECT_EQ(s->frameChanges, 4);
    a->update(0.95f);  // still the last frame: not assigned again
    a->update(1);      // t = 1 shows the last frame, not one past it
    EXPECT_EQ(s->frameChanges, 4);
    a->update(0.3f);
    frame();
    EXPECT_TRUE(rgbNear(centre(s), expected[1]));
    a->stop();
    frame();
    EXPECT_TRUE(rgbNear(centre(s), expected[3]));  // the original frame is back
    EXPECT_TRUE(s->isFrameDisplayed(frameAt(3)));

    // Without restoring, the last frame stays; the reverse plays backwards.
    s->setDisplayFrame(frameAt(0));
    host::Ref<CCAnimate> keep = CCAnimate::actionWithAnimation(animation(), false);
    s->runAction(keep);
    steps(1, 0);
    steps(5, 0.25f);
    EXPECT_EQ(s->numberOfRunningActions(), 0u);
    EXPECT_TRUE(s->isFrameDisplayed(frameAt(3)));
    CCAnimate* back = keep->reverse();
    EXPECT_FLOAT_EQ(back->duration(), 1);
    back->startWithTarget(s);
    back->update(0.1f);
    EXPECT_TRUE(s->isFrameDisplayed(frameAt(3)));
    back->update(0.9f);
    EXPECT_TRUE(s->isFrameDisplayed(frameAt(0)));
    back->stop();
    EXPECT_TRUE(s->isFrameDisplayed(frameAt(0)));  // the reverse keeps the flag: no restore
    host::Ref<CCAnimate> c = keep->copy();
    EXPECT_FALSE(c.get() == keep.get());
    EXPECT_EQ(c->animation(), keep->animation());  // shared, not copied
}

TEST_F(SpriteActionTest, AnimateSurvivesEmptyAnimationsOddTargetsAndEasedProgress) {
    CCSprite* s = CCSprite::spriteWithSpriteFrame(frameAt(2));
    CCAnimate* empty = CCAnimate::actionWithAnimation(CCAnimation::animationWithName("none", 0.1f));
    at(empty, s, 1);  // no frames: nothing to show, nothing read out of range
    empty->stop();
    EXPECT_TRUE(s->isFrameDisplayed(frameAt(2)));

    CCAnimate* a = CCAnimate::actionWithAnimation(animation());
    at(a, s, -0.2f);  // eased progress below 0 stays on the first frame
    EXPECT_TRUE(s->isFrameDisplayed(frameAt(0)));
    a->update(1.3f);
    EXPECT_TRUE(s->isFrameDisplayed(frameAt(3)));
    a->stop();

    CCNode* plain = CCNode::node();
    at(a, plain, 0.5f);  // not a sprite: logged, nothing happens
    a->stop();
}

}  // namespace
