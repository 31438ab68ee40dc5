// Scene transitions: for every transition, the outgoing scene runs on until
// the hand-over, the incoming scene is entered exactly once, touches are
// off while it runs and on after, and both scenes are at rest at the end.
// Then the drawing of particular transitions part-way through, pushes, and
// a transition with no outgoing scene.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "TransitionTestSupport.h"
#include "engine/CCActionInterval.h"
#include "engine/CCActionIntervalProperty.h"
#include "engine/CCCamera.h"
#include "engine/CCGrid.h"
#include "engine/CCLayer.h"
#include "engine/CCScene.h"
#include "engine/CCTransition.h"
#include "engine/CCTransitionFade.h"
#include "engine/CCTransitionGrid.h"
#include "engine/CCTransitionPageTurn.h"
#include "engine/CCTransitionSlide.h"
#include "engine/CCTransitionZoom.h"
#include "host/core/Ref.h"

using namespace transition_tests;

namespace {

const TransitionCase kEveryTransition[] = {
    kind<CCTransitionSlideInL>("SlideInL", false),     kind<CCTransitionSlideInR>("SlideInR", true),
    kind<CCTransitionSlideInT>("SlideInT", false),     kind<CCTransitionSlideInB>("SlideInB", true),
    kind<CCTransitionMoveInL>("MoveInL", true),        kind<CCTransitionMoveInR>("MoveInR", true),
    kind<CCTransitionMoveInT>("MoveInT", true),        kind<CCTransitionMoveInB>("MoveInB", true),
    kind<CCTransitionRotoZoom>("RotoZoom", true),      kind<CCTransitionJumpZoom>("JumpZoom", true),
    kind<CCTransitionShrinkGrow>("ShrinkGrow", true),  kind<CCTransitionFade>("Fade", true, true),
    kind<CCTransitionTurnOffTiles>("TurnOffTiles", false),
    kind<CCTransitionSplitCols>("SplitCols", true, true), kind<CCTransitionSplitRows>("SplitRows", true, true),
    kind<CCTransitionFadeTR>("FadeTR", false),         kind<CCTransitionFadeBL>("FadeBL", false),
    kind<CCTransitionFadeUp>("FadeUp", false),         kind<CCTransitionFadeDown>("FadeDown", false),
    kind<CCTransitionPageTurn>("PageTurn", false),
    {"PageTurnBackwards", [](ccTime d, CCScene* s) -> CCTransitionScene* {
         return CCTransitionPageTurn::transitionWithDuration(d, s, true);
     }, true, false},
};

}  // namespace

TEST_P(EveryTransition, RunsItsCourseAndHandsOverExactlyOnce) {
    const TransitionCase& c = GetParam();
    host::Ref<CCTransitionScene> t = c.make(0.5f, b_);
    EXPECT_FALSE(touchesOn()) << "touches go off as soon as the transition exists";
    EXPECT_EQ(t->outScene(), a_);
    EXPECT_EQ(t->inSceneOnTop(), c.inSceneOnTop);
    director_->replaceScene(t);

    frame();
    EXPECT_EQ(director_->runningScene(), t);
    EXPECT_EQ(log_, (Log{"B:enter"})) << "A keeps running; B is entered by the transition";

    // Both scenes are drawn, in the transition's order.
    draws_.clear();
    frame();
    if (c.drawnAtFirst)
        EXPECT_EQ(draws_, *c.drawnAtFirst);
    else if (c.incomingHiddenAtFirst)
        EXPECT_EQ(draws_, (Log{"A"}));
    else
        EXPECT_EQ(draws_, c.inSceneOnTop ? (Log{"A", "B"}) : (Log{"B", "A"}));

    int n = framesUntilRunning(b_, 60);
    ASSERT_GT(n, 0) << "the transition never handed over";
    EXPECT_GE(n + 2, 30) << "it lasted its half second";
    EXPECT_EQ(log_, (Log{"B:enter", "A:exit", "B:didFinish", "A:cleanup"}));
    EXPECT_TRUE(touchesOn());
    expectAtRest(b_, "incoming");
    expectAtRest(a_, "outgoing");
    for (CCNode* n : {static_cast<CCNode*>(a_.get()), static_cast<CCNode*>(b_.get()), static_cast<CCNode*>(t.get())})
        EXPECT_FALSE(n->grid() && n->grid()->active()) << "no grid is left drawing " << n->description();
    t.reset();

    frames(5);
    EXPECT_EQ(log_.size(), 4u) << "nothing more happens to either scene";
    EXPECT_EQ(director_->runningScene(), b_);
    // Neither the transition nor its actions hold the scenes any more.
    EXPECT_EQ(a_->retainCount(), 1u);
    EXPECT_EQ(a_->numberOfRunningActions(), 0u);
}

TEST_P(EveryTransition, TouchesStayOffUntilTheHandOver) {
    director_->replaceScene(GetParam().make(0.25f, b_));
    for (int i = 0; i < 60 && director_->runningScene() != b_; ++i) {
        EXPECT_FALSE(touchesOn()) << "frame " << i;
        frame();
    }
    EXPECT_EQ(director_->runningScene(), b_);
    EXPECT_TRUE(touchesOn());
}

INSTANTIATE_TEST_SUITE_P(Transitions, EveryTransition, ::testing::ValuesIn(kEveryTransition),
                         caseName);

// ---- Part-way pictures ------------------------------------------------------------

using TransitionDrawing = TransitionFixture;

TEST_F(TransitionDrawing, SlideInRPushesTheOldSceneOutToTheLeft) {
    director_->replaceScene(CCTransitionSlideInR::transitionWithDuration(1.0f, b_));
    frames(20);
    const float bx = b_->position().x;
    ASSERT_GT(bx, 20);
    ASSERT_LT(bx, 300);
    EXPECT_FLOAT_EQ(a_->position().x, bx - 319.5f) << "side by side, overlapping by half a point";
    EXPECT_TRUE(rgbNear(pixelAt(int(bx) + 5, 240), ccc3(0, 0, 255)));
    EXPECT_TRUE(rgbNear(pixelAt(int(bx) - 5, 240), ccc3(255, 0, 0)));
}

TEST_F(TransitionDrawing, SlideInLBringsTheNewSceneInFromTheLeft) {
    director_->replaceScene(CCTransitionSlideInL::transitionWithDuration(1.0f, b_));
    frames(20);
    const float edge = b_->position().x + 320;  // B's right edge
    ASSERT_GT(edge, 20);
    ASSERT_LT(edge, 300);
    EXPECT_FLOAT_EQ(a_->position().x, b_->position().x + 319.5f);
    EXPECT_TRUE(rgbNear(pixelAt(int(edge) - 5, 240), ccc3(0, 0, 255)));
    EXPECT_TRUE(rgbNear(pixelAt(int(edge) + 5, 240), ccc3(255, 0, 0)));
}

TEST_F(TransitionDrawing, SlidesUpAndDownMoveBothScenesVertically) {
    director_->replaceScene(CCTransitionSlideInT::transitionWithDuration(1.0f, b_));
    frames(20);
    const float by = b_->position().y;
    ASSERT_GT(by, 20);
    ASSERT_LT(by, 460);
    EXPECT_FLOAT_EQ(a_->position().y, by - 479.5f);
    EXPECT_FLOAT_EQ(b_->position().x, 0);
    EXPECT_TRUE(rgbNear(pixelAt(160, int(by) + 5), ccc3(0, 0, 255)));
    EXPECT_TRUE(rgbNear(pixelAt(160, int(by) - 5), ccc3(255, 0, 0)));
}

TEST_F(TransitionDrawing, AMoveInCoversTheStillOldScene) {
    director_->replaceScene(CCTransitionMoveInB::transitionWithDuration(1.0f, b_));
    frames(20);
    const float top = b_->position().y + 480;  // B's top edge, rising
    ASSERT_GT(top, 20);
    ASSERT_LT(top, 460);
    EXPECT_FLOAT_EQ(a_->position().y, 0) << "the old scene does not move";
    EXPECT_TRUE(rgbNear(pixelAt(160, int(top) - 5), ccc3(0, 0, 255)));
    EXPECT_TRUE(rgbNear(pixelAt(160, int(top) + 5), ccc3(255, 0, 0)));
}

TEST_F(TransitionDrawing, AFadeDarkensTheOldSceneThenLightensTheNewOne) {
    CCTransitionFade* t = CCTransitionFade::transitionWithDuration(1.0f, b_, ccc3(0, 0, 0));
    director_->replaceScene(t);
    frames(15);  // a quarter of the way
    auto* layer = dynamic_cast<CCLayerColor*>(t->getChildByTag(kSceneFade));
    ASSERT_NE(layer, nullptr);
    host::Ref<CCLayerColor> keepLayer(layer);  // the transition lets go of it at the end
    uint8_t alpha = layer->opacity();
    ASSERT_GT(alpha, 60);
    ASSERT_LT(alpha, 200);
    EXPECT_TRUE(rgbNear(pixelAt(160, 240), ccc3(uint8_t(255 - alpha), 0, 0), 3));
    frames(30);  // three quarters
    EXPECT_FALSE(a_->visible());
    EXPECT_TRUE(b_->visible());
    alpha = layer->opacity();
    ASSERT_GT(alpha, 60);
    ASSERT_LT(alpha, 200);
    EXPECT_TRUE(rgbNear(pixelAt(160, 240), ccc3(0, 0, uint8_t(255 - alpha)), 3));
    frames(20);
    EXPECT_EQ(director_->runningScene(), b_);
    EXPECT_EQ(layer->parent(), nullptr) << "the fade layer went with the transition";
    frame();
    EXPECT_TRUE(rgbNear(pixelAt(160, 240), ccc3(0, 0, 255)));
}

TEST_F(TransitionDrawing, AFadeThroughAColourShowsThatColour) {
    director_->replaceScene(CCTransitionFade::transitionWithDuration(1.0f, b_, ccc3(0, 255, 0)));
    frames(31);  // the half-way point: the layer is opaque
    EXPECT_TRUE(rgbNear(pixelAt(160, 240), ccc3(0, 255, 0), 12));
}

TEST_F(TransitionDrawing, RotoZoomSpinsAndShrinksTheOldSceneFirst) {
    director_->replaceScene(CCTransitionRotoZoom::transitionWithDuration(1.0f, b_));
    frames(15);
    EXPECT_LT(a_->scale(), 0.9f);
    EXPECT_GT(a_->rotation(), 90);
    EXPECT_FLOAT_EQ(b_->scale(), 0.001f) << "the new scene waits for the first half";
    frames(30);
    EXPECT_GT(b_->scale(), 0.01f);
    EXPECT_LT(b_->scale(), 1);
}

TEST_F(TransitionDrawing, JumpZoomJumpsTheScenesAcrossAtHalfSize) {
    director_->replaceScene(CCTransitionJumpZoom::transitionWithDuration(1.0f, b_));
    frames(25);  // the old scene is half-way through its jump
    EXPECT_FLOAT_EQ(a_->scale(), 0.5f);
    EXPECT_LT(a_->position().x, 0);
    EXPECT_FLOAT_EQ(b_->position().x, 320) << "the new scene waits off to the right";
    frames(20);
    EXPECT_LT(b_->position().x, 320);
    EXPECT_FLOAT_EQ(b_->scale(), 0.5f);
}

TEST_F(TransitionDrawing, ShrinkGrowScalesAboutOppositeThirds) {
    director_->replaceScene(CCTransitionShrinkGrow::transitionWithDuration(1.0f, b_));
    frames(20);
    EXPECT_FLOAT_EQ(b_->anchorPoint().x, 2 / 3.0f);
    EXPECT_FLOAT_EQ(a_->anchorPoint().x, 1 / 3.0f);
    EXPECT_GT(b_->scale(), 0.1f);
    EXPECT_LT(b_->scale(), 1);
    EXPECT_LT(a_->scale(), 0.9f);
    // B is drawn over A, grown about x = 2/3 of the window.
    EXPECT_TRUE(rgbNear(pixelAt(213, 240), ccc3(0, 0, 255)));
}

TEST_F(TransitionFixture, TheEndOfATransitionRestoresBothCameras) {
    a_->camera()->setEyeX(0, 10, 5);
    b_->camera()->setCenterX(3, 4, 0);
    director_->replaceScene(CCTransitionMoveInL::transitionWithDuration(0.25f, b_));
    ASSERT_GT(framesUntilRunning(b_, 40), 0);
    EXPECT_FALSE(a_->camera()->dirty());
    EXPECT_FALSE(b_->camera()->dirty());
    float x, y, z;
    b_->camera()->centerX(&x, &y, &z);
    EXPECT_FLOAT_EQ(x, 0);
    EXPECT_FLOAT_EQ(y, 0);
}

// ---- Pushing, and no outgoing scene ------------------------------------------------

TEST_F(TransitionFixture, APushedTransitionLeavesTheOldSceneToBePoppedBack) {
    CCAction* waiting = a_->runAction(CCDelayTime::actionWithDuration(10));
    director_->pushScene(CCTransitionMoveInR::transitionWithDuration(0.25f, b_));
    ASSERT_GT(framesUntilRunning(b_, 40), 0);
    EXPECT_EQ(log_, (Log{"B:enter", "A:exit", "B:didFinish"})) << "no cleanup for a pushed-over scene";
    EXPECT_TRUE(a_->visible()) << "shown again for when it comes back";
    EXPECT_EQ(a_->numberOfRunningActions(), 1u) << "its actions wait, paused";
    const float elapsedAtPush = static_cast<CCActionInterval*>(waiting)->elapsed();
    frames(10);
    EXPECT_FLOAT_EQ(static_cast<CCActionInterval*>(waiting)->elapsed(), elapsedAtPush);

    log_.clear();
    director_->popScene();
    frame();
    EXPECT_EQ(director_->runningScene(), a_);
    EXPECT_EQ(log_, (Log{"B:exit", "B:cleanup", "A:enter", "A:didFinish"}));
    frames(2);
    EXPECT_GT(static_cast<CCActionInterval*>(waiting)->elapsed(), elapsedAtPush) << "A runs on where it stopped";
    EXPECT_TRUE(touchesOn());
}

namespace {

// The director has a scene on its stack but has not drawn a frame, so no
// scene runs yet.
class BeforeTheFirstFrame : public RenderFixture {
protected:
    void SetUp() override {
        host::Clock::setFixedStep(true);
        RenderFixture::SetUp();
    }
    void TearDown() override {
        RenderFixture::TearDown();
        host::Clock::setFixedStep(false);
    }
    Log log, draws;  // outlive the scenes, which the director ends in TearDown
};

}  // namespace

TEST_F(BeforeTheFirstFrame, ATransitionWithNoOutgoingSceneStillHandsOver) {
    host::Ref<RecordingScene> b = RecordingScene::make("B", kBlue, &log, &draws);
    CCTransitionScene* t = CCTransitionSlideInR::transitionWithDuration(0.25f, b);
    EXPECT_EQ(t->outScene(), nullptr);
    director_->replaceScene(t);
    int n = 0;
    while (director_->runningScene() != b && n < 40) {
        frame();
        ++n;
    }
    EXPECT_EQ(director_->runningScene(), b) << "the transition waited out its duration and handed over";
    EXPECT_GE(n, 15);
    EXPECT_EQ(log, (Log{"B:enter", "B:didFinish"}));
    EXPECT_TRUE(CCTouchDispatcher::sharedDispatcher()->dispatchEvents());
    expectAtRest(b, "incoming");
}
