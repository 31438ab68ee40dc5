// The game scene driven headless through the real director, scheduler,
// actions, touches and accelerometer: the countdown, the board's motion and
// bounds, spawning, leaving and scoring, the best score, a hit, and the
// after-game menu.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "GameSprite.h"
#include "GameTestSupport.h"
#include "HelloWorldLayer.h"
#include "MainMenu.h"
#include "engine/CCLabelTTF.h"
#include "engine/CCMenu.h"
#include "engine/CCParticleExamples.h"
#include "engine/CCSpriteBatchNode.h"
#include "engine/Support/CCArray.h"

namespace {

class GameSceneTest : public GameFixture {
protected:
    // A new game scene, running.
    HelloWorldLayer* enterGame() {
        HelloWorldLayer* game = HelloWorldLayer::node();
        director_->runWithScene(game);
        frame();
        return game;
    }
    // A game past its countdown.
    HelloWorldLayer* liveGame() {
        HelloWorldLayer* game = enterGame();
        EXPECT_GT(framesUntil([&] { return game->isGameRunning(); }, 400), 0);
        return game;
    }
    static void clearBalls(HelloWorldLayer* game) {
        game->ballBatch()->removeAllChildrenWithCleanup(true);
        game->balls()->removeAllObjects();
    }
    // A ball of the game put at `p` with velocity `v`.
    static GameSprite* ballAt(HelloWorldLayer* game, CGPoint p, CGPoint v) {
        game->addNewSprite();
        auto* ball = static_cast<GameSprite*>(game->balls()->lastObject());
        ball->setPosition(p);
        ball->setVelocity(v);
        return ball;
    }
    static std::string countdownText(HelloWorldLayer* game) {
        auto* label = static_cast<CCLabelTTF*>(game->getChildByTag(HelloWorldLayer::kCountdownTag));
        return label ? label->string() : "(none)";
    }
    void tilt(double y) { host::Accelerometer::sharedAccelerometer().deliver(0, y, -1, 0); }
    static int childrenTagged(CCNode* node, int tag) {
        int n = 0;
        for (host::Object* o : *node->children())
            if (static_cast<CCNode*>(o)->tag() == tag) ++n;
        return n;
    }
    static int fireworksIn(CCNode* node) {
        int n = 0;
        for (host::Object* o : *node->children())
            if (dynamic_cast<CCParticleFireworks*>(o)) ++n;
        return n;
    }
};

TEST_F(GameSceneTest, LabelsShowTheScoreAndTheStoredBestTopRight) {
    host::UserDefaults::standardUserDefaults().setInteger(42, "high");
    HelloWorldLayer* game = enterGame();
    EXPECT_EQ(game->scoreLabel()->string(), "Score: 0");
    EXPECT_EQ(game->highScoreLabel()->string(), "High Score: 42");
    const CGSize s = game->scoreLabel()->boundingBox().size;
    const CGSize h = game->highScoreLabel()->boundingBox().size;
    EXPECT_FLOAT_EQ(game->scoreLabel()->position().x, win().width - s.width);
    EXPECT_FLOAT_EQ(game->scoreLabel()->position().y, win().height - s.height);
    // The wider high-score label's right edge lines up with the score's.
    EXPECT_NEAR(game->highScoreLabel()->position().x + h.width / 2, game->scoreLabel()->position().x + s.width / 2,
                1e-3);
    EXPECT_FLOAT_EQ(game->highScoreLabel()->position().y, game->scoreLabel()->position().y - h.height);
}

TEST_F(GameSceneTest, TheCountdownShowsThreeTwoOneGoAndTakesFourSeconds) {
    HelloWorldLayer* game = enterGame();
    EXPECT_EQ(countdownText(game), "3");
    EXPECT_EQ(game->getChildByTag(HelloWorldLayer::kCountdownTag)->scale(), 0);
    std::vector<std::string> texts{"3"};
    std::vector<int> changedAt;
    int liveAt = -1;
    for (int f = 1; f <= 300 && liveAt < 0; ++f) {
        frame();
        if (countdownText(game) != texts.back()) {
            texts.push_back(countdownText(game));
            changedAt.push_back(f);
        }
        // Nothing moves or spawns before "GO!" has shrunk away.
        if (!game->isGameRunning()) {
            ASSERT_EQ(game->balls()->count(), 0u);
            ASSERT_EQ(game->skate(), nullptr);
        } else {
            liveAt = f;
        }
    }
    EXPECT_EQ(texts, (std::vector<std::string>{"3", "2", "1", "GO!"}));
    ASSERT_EQ(changedAt.size(), 3u);
    // One second a step (an action's first frame counts no time), so
    // four seconds in all.
    int previous = 0;
    for (int i = 0; i < 3; ++i) {
        EXPECT_GE(changedAt[i] - previous, 60) << texts[i + 1];
        EXPECT_LE(changedAt[i] - previous, 62) << texts[i + 1];
        previous = changedAt[i];
    }
    EXPECT_GE(liveAt - previous, 60);
    EXPECT_LE(liveAt - previous, 62);
    // The label stays, shrunk to nothing; the first ball is already in.
    EXPECT_EQ(game->getChildByTag(HelloWorldLayer::kCountdownTag)->scale(), 0);
    EXPECT_EQ(game->balls()->count(), 1u);
}

TEST_F(GameSceneTest, TheBoardRestsOnTheFloorAndDriftsRightBeforeTheFirstSample) {
    HelloWorldLayer* game = liveGame();
    CCSprite* skate = game->skate();
    ASSERT_NE(skate, nullptr);
    EXPECT_FLOAT_EQ(skate->scale(), 0.6f);
    EXPECT_FLOAT_EQ(skate->position().y, skate->boundingBox().size.height / 2);
    EXPECT_EQ(game->multiplier(), 100);
    const float x0 = skate->position().x;
    frames(30);
    EXPECT_NEAR(skate->position().x - x0, 30 * 100.0f / 60, 1e-3);
    EXPECT_FLOAT_EQ(skate->position().y, skate->boundingBox().size.height / 2);
}

TEST_F(GameSceneTest, TiltSetsTheSpeedAndOrientationThreeTurnsItAround) {
    HelloWorldLayer* game = liveGame();
    // Held with the home button on the right, a positive y moves the board
    // left.
    tilt(0.2);
    EXPECT_FLOAT_EQ(game->multiplier(), -static_cast<float>(0.2 * 1750));
    const float x0 = game->skate()->position().x;
    frame();
    EXPECT_LT(game->skate()->position().x, x0);
    // In every other orientation it moves it right.
    for (host::InterfaceOrientation orientation :
         {host::InterfaceOrientation::Portrait, host::InterfaceOrientation::PortraitUpsideDown,
          host::InterfaceOrientation::LandscapeLeft}) {
        host::Application::sharedApplication()->setStatusBarOrientation(orientation, false);
        tilt(0.2);
        EXPECT_FLOAT_EQ(game->multiplier(), static_cast<float>(0.2 * 1750)) << int(orientation);
    }
    host::Application::sharedApplication()->setStatusBarOrientation(host::InterfaceOrientation::LandscapeRight, false);
    // Every sample replaces the last one.
    tilt(-0.1);
    EXPECT_FLOAT_EQ(game->multiplier(), static_cast<float>(0.1 * 1750));
}

TEST_F(GameSceneTest, TheBoardStopsAtBothBounds) {
    HelloWorldLayer* game = liveGame();
    CCSprite* skate = game->skate();
    // The scaled width; its last bits follow the position it is measured at.
    const float w = skate->boundingBox().size.width;
    const float slack = 1e-3f;
    tilt(-1);  // right, fast
    for (int i = 0; i < 40; ++i) {
        clearBalls(game);
        frame();
        ASSERT_LE(skate->position().x, win().width - w / 2 + slack);
    }
    EXPECT_NEAR(skate->position().x, win().width - w / 2, slack);
    tilt(1);  // left, fast
    for (int i = 0; i < 40; ++i) {
        clearBalls(game);
        frame();
        // The left bound is the whole width plus 20 from the edge.
        ASSERT_GE(skate->position().x, w + 20 - slack);
    }
    EXPECT_NEAR(skate->position().x, w + 20, slack);
    // Both tests are strict, and each bound is exact.
    EXPECT_EQ(HelloWorldLayer::boundBoardX(w + 20, w, win().width), w + 20);
    EXPECT_EQ(HelloWorldLayer::boundBoardX(w + 19.5f, w, win().width), w + 20);
    EXPECT_EQ(HelloWorldLayer::boundBoardX(w + 20.5f, w, win().width), w + 20.5f);
    EXPECT_EQ(HelloWorldLayer::boundBoardX(win().width - w / 2, w, win().width), win().width - w / 2);
    EXPECT_EQ(HelloWorldLayer::boundBoardX(win().width - w / 2 + 0.5f, w, win().width), win().width - w / 2);
}

TEST_F(GameSceneTest, TheSpawnIntervalShrinksEveryFrameDownToItsFloor) {
    HelloWorldLayer* game = liveGame();
    // 0.9 s at the start, less what the steps since took off.
    EXPECT_LE(game->timeToPass(), 0.9f);
    EXPECT_GT(game->timeToPass(), 0.9f * 0.9995f);
    float expected = game->timeToPass();
    int floorAt = -1;
    const float dt = 1.0f / 60;
    for (int f = 1; f <= 19000; ++f) {
        clearBalls(game);
        const float passedBefore = game->timePassed();
        game->step(dt);
        expected = static_cast<float>(expected * 0.9999);
        if (expected < 0.15f) expected = 0.15f;
        ASSERT_EQ(game->timeToPass(), expected) << "frame " << f;
        // A spawn is due when the time since the last one reaches the
        // interval; the clock then starts again.
        if (passedBefore + dt >= expected) {
            ASSERT_EQ(game->timePassed(), 0) << "frame " << f;
            ASSERT_EQ(game->balls()->count(), 1u) << "frame " << f;
        } else {
            ASSERT_EQ(game->balls()->count(), 0u) << "frame " << f;
        }
        if (floorAt < 0 && game->timeToPass() == 0.15f) floorAt = f;
        pool_.drain();
    }
    // About 17,900 frames from 0.9 s.
    EXPECT_NEAR(floorAt, 17900, 150);
    EXPECT_EQ(game->timeToPass(), 0.15f);
}

TEST_F(GameSceneTest, ABallLeavesAtExactlyTheRightEdgePlusHalfItsWidth) {
    HelloWorldLayer* game = liveGame();
    clearBalls(game);
    GameSprite* staying = ballAt(game, CGPointZero, CGPointZero);
    const float bw = staying->boundingBox().size.width;
    const float edge = win().width + bw / 2;
    staying->setPosition(CGPointMake(std::nextafter(edge, 0.0f), 200));
    GameSprite* leaving = ballAt(game, CGPointMake(0, 200), CGPointZero);
    leaving->setScale(staying->scale());
    leaving->setPosition(CGPointMake(edge, 200));
    game->step(0);
    ASSERT_EQ(game->balls()->count(), 1u);
    EXPECT_EQ(game->balls()->objectAtIndex(0), staying);
    EXPECT_EQ(game->scoreCount(), 1);
    EXPECT_EQ(game->scoreLabel()->string(), "Score: 1");
    EXPECT_EQ(game->ballBatch()->children()->count(), 1u);
}

TEST_F(GameSceneTest, OnlyALiveGameScoresAndTheEndSendsTheBallsRushingOff) {
    HelloWorldLayer* game = liveGame();
    clearBalls(game);
    ballAt(game, CGPointMake(win().width + 40, 200), CGPointZero);
    game->step(0);
    EXPECT_EQ(game->scoreCount(), 1);
    GameSprite* ball = ballAt(game, CGPointMake(200, 250), CGPointMake(80, -5));
    game->stopGame();
    EXPECT_FALSE(game->isGameRunning());
    EXPECT_EQ(game->skate(), nullptr);
    EXPECT_EQ(host::Accelerometer::sharedAccelerometer().delegate(), nullptr);
    EXPECT_FLOAT_EQ(ball->velocity().x, 200);
    EXPECT_FLOAT_EQ(ball->velocity().y, -5);
    ball->setPosition(CGPointMake(win().width + 40, 200));
    game->step(0);
    EXPECT_EQ(game->balls()->count(), 0u);
    EXPECT_EQ(game->scoreCount(), 1);
    EXPECT_EQ(game->scoreLabel()->string(), "Score: 1");
}

TEST_F(GameSceneTest, TheBestIsStoredOnlyWhenBeatenAndTheLabelFollowsAtOnce) {
    host::UserDefaults& defaults = host::UserDefaults::standardUserDefaults();
    // Stored as a real number: a rewrite would store an integer.
    defaults.setDouble(2, "high");
    HelloWorldLayer* game = liveGame();
    clearBalls(game);
    for (int point = 1; point <= 2; ++point) {
        ballAt(game, CGPointMake(win().width + 40, 200), CGPointZero);
        game->step(0);
    }
    EXPECT_EQ(game->scoreCount(), 2);
    EXPECT_TRUE(defaults.objectForKey("high").isReal());
    EXPECT_EQ(game->highScoreLabel()->string(), "High Score: 2");
    ballAt(game, CGPointMake(win().width + 40, 200), CGPointZero);
    game->step(0);
    EXPECT_TRUE(defaults.objectForKey("high").isInteger());
    EXPECT_EQ(defaults.integerForKey("high"), 3);
    EXPECT_EQ(game->highScoreLabel()->string(), "High Score: 3");
}

TEST_F(GameSceneTest, TheBestScoreSurvivesARestartOfTheProgram) {
    HelloWorldLayer* game = liveGame();
    clearBalls(game);
    for (int point = 0; point < 5; ++point) {
        ballAt(game, CGPointMake(win().width + 40, 200), CGPointZero);
        game->step(0);
    }
    // What the application does when it ends, then a fresh start that
    // reads the defaults file again.
    ASSERT_TRUE(host::UserDefaults::standardUserDefaults().synchronize());
    detachGLView();
    director_->end();
    pool_.drain();
    host::UserDefaults::resetForTesting();
    host::UserDefaults::setDataDirectory(data_.path());
    attachGLView();
    HelloWorldLayer* again = enterGame();
    EXPECT_EQ(again->highScoreLabel()->string(), "High Score: 5");
    EXPECT_EQ(host::UserDefaults::standardUserDefaults().integerForKey("high"), 5);
}

TEST_F(GameSceneTest, AHitSetsOffFireworksAndEndsThePassAtOnce) {
    HelloWorldLayer* game = liveGame();
    clearBalls(game);
    const CGPoint board = game->skate()->position();
    ballAt(game, CGPointMake(board.x, board.y + 5), CGPointZero);
    GameSprite* later = ballAt(game, CGPointMake(300, 250), CGPointMake(120, -10));
    game->step(1.0f / 60);
    EXPECT_FALSE(game->isGameRunning());
    EXPECT_EQ(game->skate(), nullptr);
    // The ball after the one that hit was not moved in that pass.
    EXPECT_EQ(later->position().x, 300);
    EXPECT_EQ(later->position().y, 250);
    EXPECT_EQ(fireworksIn(game), 1);
    EXPECT_EQ(game->balls()->count(), 2u);
    EXPECT_EQ(game->afterGameMenu(), nullptr);
}

TEST_F(GameSceneTest, ABallJustOutOfReachDoesNotHit) {
    HelloWorldLayer* game = liveGame();
    clearBalls(game);
    const CGPoint board = game->skate()->position();
    GameSprite* ball = ballAt(game, CGPointZero, CGPointZero);
    const double reach = HelloWorldLayer::hitDistance(ball->boundingBox().size.width,
                                                      game->skate()->boundingBox().size.width);
    ball->setPosition(CGPointMake(board.x + static_cast<float>(reach) + 0.5f, board.y));
    game->step(0);
    EXPECT_TRUE(game->isGameRunning());
    ball->setPosition(CGPointMake(board.x + static_cast<float>(reach) - 0.5f, board.y));
    game->step(0);
    EXPECT_FALSE(game->isGameRunning());
}

TEST_F(GameSceneTest, TheMenuComesOnlyAfterTheLastBallAndSlidesUpIntoPlace) {
    HelloWorldLayer* game = liveGame();
    clearBalls(game);
    const CGPoint board = game->skate()->position();
    ballAt(game, CGPointMake(board.x, board.y), CGPointMake(100, 0));
    ballAt(game, CGPointMake(30, 250), CGPointMake(70, -10));
    frame();
    ASSERT_FALSE(game->isGameRunning());
    const int shown = framesUntil(
        [&] {
            if (game->afterGameMenu()) return true;
            EXPECT_GT(game->balls()->count(), 0u);
            return false;
        },
        900);
    ASSERT_GT(shown, 0);
    EXPECT_EQ(game->balls()->count(), 0u);
    CCMenu* menu = game->afterGameMenu();
    EXPECT_FLOAT_EQ(menu->position().y, -0.5f * menu->boundingBox().size.height);
    frames(32);
    EXPECT_EQ(menu->numberOfRunningActions(), 0u);
    EXPECT_FLOAT_EQ(menu->position().y, win().height / 2);
    EXPECT_FLOAT_EQ(menu->position().x, win().width / 2);
    // Its items, "Restart Game" 60 points above "Back to Menu".
    ASSERT_EQ(menu->children()->count(), 2u);
    auto* restart = static_cast<CCMenuItemLabel*>(menu->children()->objectAtIndex(0));
    auto* back = static_cast<CCMenuItemLabel*>(menu->children()->objectAtIndex(1));
    EXPECT_EQ(static_cast<CCLabelTTF*>(restart->label())->string(), "Restart Game");
    EXPECT_EQ(static_cast<CCLabelTTF*>(back->label())->string(), "Back to Menu");
    EXPECT_EQ(restart->position().y - back->position().y, 60);
    // Nothing is stepped any more: no new balls come.
    frames(120);
    EXPECT_EQ(game->balls()->count(), 0u);
}

TEST_F(GameSceneTest, RestartGameByTouchCountsDownAgainOnceEvenWhenPressedTwice) {
    HelloWorldLayer* game = liveGame();
    clearBalls(game);
    ballAt(game, game->skate()->position(), CGPointMake(150, 0));
    frame();
    ASSERT_GT(framesUntil([&] { return game->afterGameMenu() != nullptr; }, 150), 0);
    frames(40);
    CCMenu* menu = game->afterGameMenu();
    const CGPoint restart = centreOf(game->restartItem());
    tap(restart);
    EXPECT_EQ(countdownText(game), "3");
    EXPECT_EQ(game->scoreCount(), 0);
    EXPECT_EQ(game->scoreLabel()->string(), "Score: 0");
    // The menu slides away; a second press on it while it goes does nothing.
    frames(5);
    tap(centreOf(game->restartItem()));
    EXPECT_EQ(childrenTagged(game, HelloWorldLayer::kCountdownTag), 1);
    EXPECT_LT(menu->position().y, win().height / 2);
    ASSERT_GT(framesUntil([&] { return game->afterGameMenu() == nullptr; }, 40), 0);
    ASSERT_GT(framesUntil([&] { return game->isGameRunning(); }, 300), 0);
    frames(5);
    int boards = 0;
    for (host::Object* o : *game->children())
        if (auto* sprite = dynamic_cast<CCSprite*>(o))
            if (sprite == game->skate()) ++boards;
    EXPECT_EQ(boards, 1);
    EXPECT_EQ(childrenTagged(game, HelloWorldLayer::kCountdownTag), 1);
}

TEST_F(GameSceneTest, BackToMenuSlidesBackToTheMainMenu) {
    HelloWorldLayer* game = liveGame();
    clearBalls(game);
    ballAt(game, game->skate()->position(), CGPointMake(150, 0));
    frame();
    ASSERT_GT(framesUntil([&] { return game->afterGameMenu() != nullptr; }, 150), 0);
    frames(40);
    CCNode* back = static_cast<CCNode*>(game->afterGameMenu()->children()->objectAtIndex(1));
    tap(centreOf(back));
    frames(30);
    EXPECT_NE(dynamic_cast<MainMenu*>(director_->runningScene()), nullptr);
}

TEST_F(GameSceneTest, LeavingMidGameLetsGoOfTheAccelerometer) {
    HelloWorldLayer* game = liveGame();
    EXPECT_EQ(host::Accelerometer::sharedAccelerometer().delegate(), game);
    EXPECT_DOUBLE_EQ(host::Accelerometer::sharedAccelerometer().updateInterval(), 1.0 / 60);
    director_->replaceScene(MainMenu::node());
    frame();
    EXPECT_EQ(host::Accelerometer::sharedAccelerometer().delegate(), nullptr);
}

}  // namespace
