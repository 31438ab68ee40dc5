// The grid transitions part-way through, on real pixels: the outgoing
// scene (red) loses its tiles or curls away over the incoming one (blue),
// the split opens the window onto the clear colour, and two runs of the
// turn-off-tiles transition uncover the same tiles in the same order.
#include <gtest/gtest.h>

#include <vector>

#include "MenuTestSupport.h"
#include "engine/CCLayer.h"
#include "engine/CCScene.h"
#include "engine/CCTransitionGrid.h"
#include "engine/CCTransitionPageTurn.h"
#include "host/core/Ref.h"

namespace {

const ccColor3B kRed = ccc3(255, 0, 0), kBlue = ccc3(0, 0, 255);

class GridTransitionTest : public MenuFixture {
protected:
    void SetUp() override {
        MenuFixture::SetUp();
        a_ = sceneOf(kRed);
        b_ = sceneOf(kBlue);
        director_->replaceScene(a_);
        frame();
    }
    static CCScene* sceneOf(ccColor3B c) {
        CCScene* s = CCScene::node();
        s->addChild(CCLayerColor::layerWithColor(ccc4(c.r, c.g, c.b, 255)));
        return s;
    }
    // Which of the centres of the 8 x 12 tiles of the portrait window show
    // `colour`.
    std::vector<bool> tilesShowing(ccColor3B colour) const {
        std::vector<bool> showing;
        for (int i = 0; i < 8; ++i)
            for (int j = 0; j < 12; ++j) showing.push_back(rgbNear(pixelAt(20 + 40 * i, 20 + 40 * j), colour));
        return showing;
    }
    static int count(const std::vector<bool>& v) {
        int n = 0;
        for (bool b : v) n += b;
        return n;
    }

    host::Ref<CCScene> a_, b_;
};

}  // namespace

TEST_F(GridTransitionTest, TurnOffTilesUncoversTheSameTilesEveryTime) {
    director_->replaceScene(CCTransitionTurnOffTiles::transitionWithDuration(1.0f, b_));
    frames(31);
    const std::vector<bool> uncovered = tilesShowing(kBlue);
    EXPECT_GT(count(uncovered), 96 / 4);
    EXPECT_LT(count(uncovered), 96 * 3 / 4);
    EXPECT_EQ(count(uncovered) + count(tilesShowing(kRed)), 96) << "every tile is one scene or the other";
    frames(40);
    ASSERT_EQ(director_->runningScene(), b_);
    EXPECT_EQ(count(tilesShowing(kBlue)), 96);

    // Back to a red scene: the same tiles go first.
    director_->replaceScene(CCTransitionTurnOffTiles::transitionWithDuration(1.0f, sceneOf(kRed)));
    frames(31);
    EXPECT_EQ(tilesShowing(kRed), uncovered);
}

TEST_F(GridTransitionTest, FadeTRUncoversTheBottomLeftFirst) {
    director_->replaceScene(CCTransitionFadeTR::transitionWithDuration(1.0f, b_));
    frames(31);
    EXPECT_TRUE(rgbNear(pixelAt(5, 5), kBlue));
    EXPECT_TRUE(rgbNear(pixelAt(315, 475), kRed));
}

TEST_F(GridTransitionTest, FadeDownUncoversTheTopFirst) {
    director_->replaceScene(CCTransitionFadeDown::transitionWithDuration(1.0f, b_));
    frames(31);
    EXPECT_TRUE(rgbNear(pixelAt(160, 475), kBlue));
    EXPECT_TRUE(rgbNear(pixelAt(160, 5), kRed));
}

TEST_F(GridTransitionTest, SplitColsOpensTheWindowAndClosesItOnTheNewScene) {
    director_->replaceScene(CCTransitionSplitCols::transitionWithDuration(1.0f, b_));
    frames(16);
    // Column 0 slides down and column 1 up, uncovering the clear colour.
    EXPECT_TRUE(rgbNear(pixelAt(50, 475), ccc3(0, 0, 0)));
    EXPECT_TRUE(rgbNear(pixelAt(50, 5), kRed));
    EXPECT_TRUE(rgbNear(pixelAt(160, 5), ccc3(0, 0, 0)));
    EXPECT_TRUE(rgbNear(pixelAt(160, 475), kRed));
    frames(30);  // past the middle: the columns come back with B on them
    EXPECT_TRUE(rgbNear(pixelAt(160, 240), kBlue));
}

TEST_F(GridTransitionTest, APageTurnCurlsTheOldSceneAwayFromTheRight) {
    director_->replaceScene(CCTransitionPageTurn::transitionWithDuration(1.0f, b_));
    frames(31);
    EXPECT_TRUE(rgbNear(pixelAt(315, 5), kBlue));
    EXPECT_TRUE(rgbNear(pixelAt(5, 475), kRed));
}

TEST_F(GridTransitionTest, ABackwardsPageTurnUncurlsTheNewSceneOverTheOld) {
    director_->replaceScene(CCTransitionPageTurn::transitionWithDuration(1.0f, b_, true));
    frame();
    EXPECT_TRUE(rgbNear(pixelAt(160, 240), kRed)) << "the new page is not shown flat first";
    frames(2);
    EXPECT_TRUE(rgbNear(pixelAt(315, 5), kRed)) << "it starts rolled up";
    frames(55);
    EXPECT_TRUE(rgbNear(pixelAt(160, 240), kBlue));
    EXPECT_TRUE(rgbNear(pixelAt(5, 475), kBlue));
}
