// The built-in player: its dodging choices against predicted balls, and
// whole runs in which it presses the menus through real touches, tilts
// through the accelerometer and scores.
#include <gtest/gtest.h>

#include <vector>

#include "AutoPlayer.h"
#include "GameSprite.h"
#include "GameTestSupport.h"
#include "HelloWorldLayer.h"
#include "MainMenu.h"
#include "engine/CCLabelTTF.h"
#include "engine/CCMenu.h"
#include "engine/CCTransition.h"
#include "engine/Support/CCArray.h"

namespace {

constexpr float kWindow = 480;
constexpr float kBoardWidth = 76.8f;
constexpr float kDt = 1.0f / 60;

DodgePlanner::Ball ballAt(float x, float y, float vx, float vy, float width = 20) {
    return {CGPointMake(x, y), CGPointMake(vx, vy), width, width / 2};
}

TEST(DodgePlanner, WithNothingAroundTheBoardHeadsForTheMiddleAndRests) {
    DodgePlanner planner;
    const std::vector<DodgePlanner::Ball> none;
    EXPECT_GT(planner.chooseSpeed({CGPointMake(120, 12), kBoardWidth}, none, kWindow, kDt), 0);
    DodgePlanner resting;
    EXPECT_EQ(resting.chooseSpeed({CGPointMake(240, 12), kBoardWidth}, none, kWindow, kDt), 0);
}

TEST(DodgePlanner, MovesOutFromUnderABallThatIsLanding) {
    DodgePlanner planner;
    const std::vector<DodgePlanner::Ball> balls{ballAt(240, 90, 0, -300)};
    EXPECT_NE(planner.chooseSpeed({CGPointMake(240, 12), kBoardWidth}, balls, kWindow, kDt), 0);
}

TEST(DodgePlanner, KeepsItsLeadOverABallRollingTowardsIt) {
    // A ball all but rolling along the floor, coming from the left.
    DodgePlanner planner;
    const std::vector<DodgePlanner::Ball> balls{ballAt(130, 10, 150, 1)};
    EXPECT_GT(planner.chooseSpeed({CGPointMake(200, 12), kBoardWidth}, balls, kWindow, kDt), 0);
}

TEST(DodgePlanner, SlipsUnderAHighBallRatherThanBeingCaughtAgainstTheWall) {
    // At the right bound with a ball coming down right onto the board: the
    // only way out is under it, to the left, while it is still high.
    DodgePlanner planner;
    const std::vector<DodgePlanner::Ball> balls{ballAt(300, 120, 190, -60)};
    EXPECT_LT(planner.chooseSpeed({CGPointMake(440, 12), kBoardWidth}, balls, kWindow, kDt), 0);
}

class AutoPlayerTest : public GameFixture {
protected:
    void TearDown() override {
        player_.reset();
        GameFixture::TearDown();
    }
    // A frame, then the player's look between frames.
    void playFrames(int n) {
        for (int i = 0; i < n; ++i) {
            frame();
            player_->tick();
        }
    }
    int playUntil(const std::function<bool()>& done, int limit) {
        for (int i = 1; i <= limit; ++i) {
            playFrames(1);
            if (done()) return i;
        }
        return -1;
    }
    HelloWorldLayer* runningGame() const { return dynamic_cast<HelloWorldLayer*>(director_->runningScene()); }

    host::Ref<AutoPlayer> player_ = AutoPlayer::autoPlayer();
};

TEST_F(AutoPlayerTest, PressesPlayGameAfterAPauseAndScoresInTheGame) {
    director_->runWithScene(MainMenu::node());
    frame();
    playFrames(AutoPlayer::kPauseFrames - 1);
    EXPECT_NE(dynamic_cast<MainMenu*>(director_->runningScene()), nullptr);
    // The press goes through the touch path: the menu starts the slide.
    ASSERT_GT(playUntil([&] { return runningGame() != nullptr; }, 60), 0);
    HelloWorldLayer* game = runningGame();
    ASSERT_GT(playUntil([&] { return game->isGameRunning(); }, 400), 0);
    // Twenty seconds of play: balls leave on the right and score.
    playUntil([&] { return !game->isGameRunning(); }, 1200);
    EXPECT_GT(game->scoreCount(), 0);
    // It tilted: the board did not just drift at its start speed.
    EXPECT_NE(game->multiplier(), 100);
}

TEST_F(AutoPlayerTest, RestartsOnceTheAfterGameMenuHasSettled) {
    HelloWorldLayer* game = HelloWorldLayer::node();
    director_->runWithScene(game);
    ASSERT_GT(playUntil([&] { return game->isGameRunning(); }, 400), 0);
    // A crash it cannot avoid.
    game->addNewSprite();
    auto* ball = static_cast<GameSprite*>(game->balls()->lastObject());
    ball->setPosition(game->skate()->position());
    ball->setVelocity(CGPointMake(150, 0));
    ASSERT_GT(playUntil([&] { return game->afterGameMenu() != nullptr; }, 300), 0);
    EXPECT_EQ(player_->gamesPlayed(), 1);
    // Not while the menu slides up, and not before a player's pause.
    const int pressed = playUntil(
        [&] { return game->afterGameMenu() && !game->afterGameMenu()->isTouchEnabled(); }, 200);
    ASSERT_GT(pressed, 0);
    EXPECT_GE(pressed, 30 + AutoPlayer::kPauseFrames);
    ASSERT_GT(playUntil([&] { return game->isGameRunning(); }, 400), 0);
}

}  // namespace
