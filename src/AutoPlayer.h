// The built-in player of --autoplay. Once a frame, between frames, it looks
// at the running scene and does what a player would: on the main menu it
// presses "Play Game" with a real touch; during a game it tilts the device
// through the accelerometer to keep the board clear of the balls; when the
// after-game menu has settled it presses "Restart Game". Its choices depend
// only on what the game shows, so with --seed and --fixed-dt a run repeats
// exactly.
#pragma once

#include <string>
#include <vector>

#include "host/core/CGGeometry.h"
#include "host/core/Object.h"
#include "host/core/Ref.h"

class CCNode;
class HelloWorldLayer;
class MainMenu;
namespace host { class Timer; }

// Chooses the board's speed for the next frame by trying a small set of
// two-part moves against the balls' predicted paths and keeping the one
// that stays clear longest, and among those the roomiest.
class DodgePlanner {
public:
    static constexpr int kHorizon = 90;           // frames looked ahead
    static constexpr float kMaxSpeed = 875;       // points per second (0.5 g)
    static constexpr float kSafetyMargin = 4;     // points added to the hit distance

    struct Ball {
        CGPoint position, velocity;
        float width, floorY;
    };
    struct Board {
        CGPoint position;
        float width;
    };

    DodgePlanner();
    // The speed to move the board at now.
    float chooseSpeed(const Board& board, const std::vector<Ball>& balls, float windowWidth, float dt);

private:
    struct Interval {
        float from, to;
    };
    // Where the board must not be, frame by frame.
    void predictDanger(const Board& board, const std::vector<Ball>& balls, float dt);
    // Frames the move survives (kHorizon + 1 if all), its least room to a
    // ball, and where the board ends.
    void evaluate(float first, int switchFrame, float second, const Board& board, float windowWidth, float dt,
                  int* survived, float* room, float* endX) const;

    std::vector<Ball> work_;             // the balls moved along their paths
    std::vector<Interval> danger_;       // every frame's intervals, back to back
    std::vector<size_t> frameStart_;     // where frame k's intervals start, k = 1 .. kHorizon + 1
    float lastSpeed_ = 0;
};

class AutoPlayer : public host::Object {
public:
    static constexpr int kPauseFrames = 45;  // a player's pause before pressing a menu item

    static AutoPlayer* autoPlayer() { return host::create<AutoPlayer>(); }
    bool init() { return true; }

    void start();
    void stop();
    // One look at the screen and at most one action.
    void tick();

    int gamesPlayed() const { return gamesOver_; }

protected:
    ~AutoPlayer() override;

private:
    void playMenu(MainMenu* menu);
    void playGame(HelloWorldLayer* game);
    // Presses the item after the pause: finger down on one tick, up on the
    // next. Returns true once the press is complete.
    bool press(CCNode* item);
    void tilt(HelloWorldLayer* game);
    // Logs the high score the game shows whenever it changes, so that a
    // run's log says which best scores the player has seen.
    void noteHighScore(HelloWorldLayer* game);

    host::Ref<host::Timer> timer_;
    DodgePlanner planner_;
    std::vector<DodgePlanner::Ball> balls_;
    int waited_ = 0;
    bool fingerDown_ = false;
    CGPoint fingerAt_ = CGPointZero;
    bool wasLive_ = false;
    // What was last pressed (the main menu scene or an after-game menu),
    // kept so that a new one at the same address is not taken for it.
    host::Ref<host::Object> pressedOn_;
    int gamesOver_ = 0;
    host::Ref<host::Object> watchedGame_;
    int watchedScore_ = -1;
    std::string highScoreShown_;
};
