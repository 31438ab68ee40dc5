// The game scene. The player tilts the device to slide a skateboard along
// the bottom edge while colour-fading balls enter at the top-left corner,
// fall, bounce and travel right. A ball leaving on the right while the game
// is live scores a point; a ball touching the board sets off fireworks and
// ends the game, the remaining balls rush off, and a menu slides up. A
// countdown "3", "2", "1", "GO!" comes before every game; the best score is
// kept in the user defaults under "high".
//
// Countdown (not live, step not scheduled) -> Live (live, step scheduled)
// -> Ending (not live, step scheduled until the last ball has left) ->
// Menu (not live, step not scheduled) -> Countdown or the main menu.
#pragma once

#include "engine/CCScene.h"
#include "host/core/Ref.h"
#include "host/core/Selector.h"
#include "host/display/Accelerometer.h"

class CCArray;
class CCLabelTTF;
class CCMenu;
class CCMenuItem;
class CCSprite;
class CCSpriteBatchNode;
class GameSprite;

class HelloWorldLayer : public CCScene, public host::AccelerometerDelegate {
public:
    enum : int { kCountdownTag = 21, kAfterGameMenuTag = 101 };
    static constexpr float kStartSpeed = 100;        // points per second
    static constexpr double kTiltSpeedFactor = 1750; // points per second per g
    static constexpr double kTabletSpeedFactor = 1.5;
    static constexpr float kLeftMargin = 20;
    static constexpr float kSkateScale = 0.6f;
    static constexpr float kMinSpawnInterval = 0.15f;
    static constexpr double kSpawnDecay = 0.9999;
    static constexpr float kEndRushFactor = 2.5f;
    static constexpr double kAccelerometerInterval = 1.0 / 60;
    static constexpr unsigned kFireworksParticles = 1000;

    static HelloWorldLayer* scene() { return node(); }
    static HelloWorldLayer* node() { return host::create<HelloWorldLayer>(); }
    bool init() override;

    void onEnterTransitionDidFinish() override;
    // Leaving the stage mid-game must not leave the accelerometer calling
    // a scene that is gone.
    void onExit() override;

    // The countdown; resetGame is also "Restart Game".
    void resetGame();
    void twoNow();
    void threeNow();
    void goNow();
    // Starts the game.
    void restartNow();
    // Spawns one ball.
    void addNewSprite();
    // The per-frame update while a game is live or ending.
    void step(ccTime dt);
    void accelerometer(host::Accelerometer* accelerometer, host::Acceleration* acceleration) override;
    void addParticleAtPos(CGPoint position);
    void stopGame();
    // Stores a new best and refreshes both labels.
    void scoreNow();
    void displayMenu();
    // "Back to Menu".
    void goBackToMain();

    // The board's x after a move to `x`: its centre stays at least its
    // width plus the margin from the left edge and half its width from the
    // right edge.
    static float boundBoardX(float x, float boardWidth, float windowWidth);
    // A ball whose centre is nearer than this to the board's has hit it.
    static double hitDistance(float ballWidth, float boardWidth) { return (ballWidth + boardWidth) * 0.5; }
    // The board speed (points per second) a sample of `accelerationY` g
    // gives in the current orientation and idiom.
    static float boardSpeedForAcceleration(double accelerationY);

    // ---- what the game shows, for its player and its tests ----
    int scoreCount() const { return scoreCount_; }
    bool isGameRunning() const { return isGameRunning_; }
    CCSprite* skate() const { return skate_; }
    CCArray* balls() const { return balls_; }
    CCSpriteBatchNode* ballBatch() const { return ba_; }
    CCLabelTTF* scoreLabel() const { return score_; }
    CCLabelTTF* highScoreLabel() const { return highScore_; }
    float multiplier() const { return multiplier_; }
    float timeToPass() const { return timeToPass_; }
    float timePassed() const { return timePassed_; }
    // The after-game menu while it is shown (or sliding away), else null.
    CCMenu* afterGameMenu() const;
    // Its "Restart Game" item.
    CCMenuItem* restartItem() const;

protected:
    ~HelloWorldLayer() override;

private:
    // One countdown step: the label shows `text`, grows, shrinks, then
    // `next` is called.
    void countdownStep(const char* text, host::Selector<void()> next);
    void runCountdownActions(CCNode* label, host::Selector<void()> next);
    // The after-game menu stops taking touches once one of its items did
    // its work, so a second press while it slides away does nothing.
    void retireAfterGameMenu();

    CCLabelTTF* score_ = nullptr;      // children of the scene
    CCLabelTTF* highScore_ = nullptr;
    int scoreCount_ = 0;
    CCSprite* skate_ = nullptr;        // a child from restartNow to stopGame
    CCSpriteBatchNode* ba_ = nullptr;  // a child: draws every ball
    bool isGameRunning_ = false;
    float timeToPass_ = 0;
    float timePassed_ = 0;
    host::Ref<CCArray> balls_;
    float multiplier_ = 0;
};
