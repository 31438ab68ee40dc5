// The transitions that turn the scenes with the camera or capture them into
// textures: each runs the life cycle of every transition once, then what
// they show part-way through.
#include <gtest/gtest.h>

#include "TransitionTestSupport.h"
#include "engine/CCCamera.h"
#include "engine/CCProgressTimer.h"
#include "engine/CCTransitionCrossFade.h"
#include "engine/CCTransitionFade.h"
#include "engine/CCTransitionFlip.h"
#include "engine/CCTransitionRadial.h"

using namespace transition_tests;

namespace {

const TransitionCase kCameraAndCaptureTransitions[] = {
    kind<CCTransitionFlipX>("FlipX", true, true),
    kind<CCTransitionFlipY>("FlipY", true, true),
    kind<CCTransitionFlipAngular>("FlipAngular", true, true),
    kind<CCTransitionZoomFlipX>("ZoomFlipX", true, true),
    kind<CCTransitionZoomFlipY>("ZoomFlipY", true, true),
    kind<CCTransitionZoomFlipAngular>("ZoomFlipAngular", true, true),
    // Only the captures show: neither scene is drawn while it runs.
    drawing<CCTransitionCrossFade>("CrossFade", true, {}),
    // The outgoing scene is captured and hidden at once.
    drawing<CCTransitionRadialCCW>("RadialCCW", false, {"B"}),
    drawing<CCTransitionRadialCW>("RadialCW", false, {"B"}),
};

INSTANTIATE_TEST_SUITE_P(CameraAndCapture, EveryTransition, ::testing::ValuesIn(kCameraAndCaptureTransitions),
                         caseName);

// The director's own 3D projection, under which the cameras turn the
// scenes in perspective.
class CaptureTransitions : public TransitionFixture {
protected:
    void SetUp() override {
        TransitionFixture::SetUp();
        director_->setProjection(kCCDirectorProjection3D);
    }
    void TearDown() override {
        director_->setProjection(kCCDirectorProjection2D);
        TransitionFixture::TearDown();
    }
    static bool isBackground(ccColor4B c) { return c.r < 20 && c.g < 20 && c.b < 20; }

    void expectFlipXTurns(int orientation) {
        director_->replaceScene(CCTransitionFlipX::transitionWithDuration(1.0f, b_, orientation));
        frames(16);  // a quarter: the old scene has turned by about 45 degrees
        EXPECT_FALSE(b_->visible());
        EXPECT_TRUE(rgbNear(pixelAt(160, 240), ccc3(255, 0, 0)));
        // Orientation 0 turns the right edge away (the picture narrows to
        // the right), 1 the left edge.
        const int far = orientation == 0 ? 310 : 10, near = orientation == 0 ? 10 : 310;
        EXPECT_TRUE(isBackground(pixelAt(far, 240)));
        EXPECT_TRUE(rgbNear(pixelAt(near, 240), ccc3(255, 0, 0)));
        frames(30);  // three quarters: the new scene is coming round
        EXPECT_FALSE(a_->visible());
        EXPECT_TRUE(b_->visible());
        EXPECT_TRUE(b_->camera()->dirty());
        EXPECT_TRUE(rgbNear(pixelAt(160, 240), ccc3(0, 0, 255)));
        ASSERT_GT(framesUntilRunning(b_, 30), 0);
        EXPECT_FALSE(b_->camera()->dirty()) << "the end puts the camera back";
    }

    void expectRadialSweep(bool clockwise) {
        CCTransitionScene* t = clockwise ? CCTransitionRadialCW::transitionWithDuration(1.0f, b_)
                                         : CCTransitionRadialCCW::transitionWithDuration(1.0f, b_);
        director_->replaceScene(t);
        frames(16);  // a quarter swept away
        auto* sweep = dynamic_cast<CCProgressTimer*>(t->getChildByTag(kSceneRadial));
        ASSERT_NE(sweep, nullptr);
        host::Ref<CCProgressTimer> keep(sweep);
        EXPECT_EQ(sweep->type(), clockwise ? kCCProgressTimerTypeRadialClockwise
                                           : kCCProgressTimerTypeRadialCounterClockwise);
        EXPECT_NEAR(sweep->percentage(), 75, 3);
        // The hand has uncovered the new scene in the top quarter it passed
        // (the top right counter-clockwise, the top left clockwise); the
        // rest still shows the old one.
        const int swept = clockwise ? 80 : 240, kept = clockwise ? 240 : 80;
        EXPECT_TRUE(rgbNear(pixelAt(swept, 360), ccc3(0, 0, 255)));
        EXPECT_TRUE(rgbNear(pixelAt(kept, 360), ccc3(255, 0, 0)));
        EXPECT_TRUE(rgbNear(pixelAt(80, 120), ccc3(255, 0, 0)));
        EXPECT_TRUE(rgbNear(pixelAt(240, 120), ccc3(255, 0, 0)));
        ASSERT_GT(framesUntilRunning(b_, 60), 0);
        EXPECT_EQ(keep->parent(), nullptr) << "the sweep went with the transition";
    }
};

}  // namespace

TEST_F(CaptureTransitions, FlipsTurnTheOldSceneAwayThenTheNewOneIn) { expectFlipXTurns(0); }

TEST_F(CaptureTransitions, TheOtherOrientationTurnsTheOtherWay) { expectFlipXTurns(1); }

TEST_F(CaptureTransitions, ACrossFadeBlendsTheCapturedScenes) {
    CCTransitionCrossFade* t = CCTransitionCrossFade::transitionWithDuration(1.0f, b_);
    director_->replaceScene(t);
    frames(31);  // half-way
    host::Ref<CCNode> layer(t->getChildByTag(kSceneFade));
    ASSERT_NE(layer, nullptr);
    const ccColor4B mid = pixelAt(160, 240);
    EXPECT_NEAR(mid.r, 128, 16);
    EXPECT_NEAR(mid.b, 128, 16);
    EXPECT_EQ(mid.g, 0);
    frames(28);
    EXPECT_GT(pixelAt(20, 460).b, 200) << "nearly all the new scene, corners too";
    ASSERT_GT(framesUntilRunning(b_, 10), 0);
    EXPECT_EQ(layer->parent(), nullptr) << "the captures went with the transition";
    frame();
    EXPECT_TRUE(rgbNear(pixelAt(160, 240), ccc3(0, 0, 255)));
}

TEST_F(CaptureTransitions, ARadialSweepsTheCapturedOldSceneAwayCounterClockwise) { expectRadialSweep(false); }

TEST_F(CaptureTransitions, ARadialSweepsClockwise) { expectRadialSweep(true); }
