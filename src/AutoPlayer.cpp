#include "AutoPlayer.h"

#include <algorithm>
#include <cmath>

#include "GameSprite.h"
#include "HelloWorldLayer.h"
#include "MainMenu.h"
#include "engine/CCDirector.h"
#include "engine/CCLabelTTF.h"
#include "engine/CCMenu.h"
#include "engine/CCSprite.h"
#include "engine/Support/CCArray.h"
#include "host/core/Application.h"
#include "host/core/Clock.h"
#include "host/core/Log.h"
#include "host/core/RunLoop.h"
#include "host/display/Accelerometer.h"
#include "host/display/Display.h"

namespace {

constexpr float kSpeeds[] = {-DodgePlanner::kMaxSpeed, -DodgePlanner::kMaxSpeed / 2, 0, DodgePlanner::kMaxSpeed / 2,
                             DodgePlanner::kMaxSpeed};
// After how many frames a move switches from its first speed to its second.
constexpr int kSwitchFrames[] = {6, 12, 20, 30, 45, 60, DodgePlanner::kHorizon};
constexpr float kRoomCap = 60;

unsigned long frameNumber() { return host::Display::shared().framesPresented(); }

}  // namespace

// ---- DodgePlanner ---------------------------------------------------------------

DodgePlanner::DodgePlanner() {
    frameStart_.resize(kHorizon + 2);
    danger_.reserve(64 * kHorizon);
}

void DodgePlanner::predictDanger(const Board& board, const std::vector<Ball>& balls, float dt) {
    danger_.clear();
    work_.assign(balls.begin(), balls.end());
    for (int k = 1; k <= kHorizon; ++k) {
        frameStart_[k] = danger_.size();
        for (Ball& b : work_) {
            GameSprite::advance(&b.position, &b.velocity, b.floorY, dt);
            const float reach =
                static_cast<float>(HelloWorldLayer::hitDistance(b.width, board.width)) + kSafetyMargin;
            const float dy = b.position.y - board.position.y;
            if (std::fabs(dy) >= reach) continue;
            const float halfWidth = std::sqrt(reach * reach - dy * dy);
            danger_.push_back({b.position.x - halfWidth, b.position.x + halfWidth});
        }
    }
    frameStart_[kHorizon + 1] = danger_.size();
}

void DodgePlanner::evaluate(float first, int switchFrame, float second, const Board& board, float windowWidth,
                            float dt, int* survived, float* room, float* endX) const {
    float x = board.position.x;
    *room = kRoomCap;
    for (int k = 1; k <= kHorizon; ++k) {
        x = HelloWorldLayer::boundBoardX(x + (k <= switchFrame ? first : second) * dt, board.width, windowWidth);
        for (size_t i = frameStart_[k]; i < frameStart_[k + 1]; ++i) {
            const Interval& d = danger_[i];
            if (x > d.from && x < d.to) {
                *survived = k;
                *endX = x;
                return;
            }
            *room = std::min(*room, std::min(std::fabs(x - d.from), std::fabs(x - d.to)));
        }
    }
    *survived = kHorizon + 1;
    *endX = x;
}

float DodgePlanner::chooseSpeed(const Board& board, const std::vector<Ball>& balls, float windowWidth, float dt) {
    predictDanger(board, balls, dt);
    const float home = windowWidth * 0.5f;
    float bestScore = -1e30f;
    float bestSpeed = 0;
    for (float first : kSpeeds)
        for (int switchFrame : kSwitchFrames)
            for (float second : kSpeeds) {
                int survived = 0;
                float room = 0, endX = 0;
                evaluate(first, switchFrame, second, board, windowWidth, dt, &survived, &room, &endX);
                // Staying clear longest matters most; then room to spare,
                // a board near the middle, and no needless jerks.
                const float score = survived * 1000.0f + room - 0.05f * std::fabs(endX - home) -
                                    5.0f * std::fabs(first - lastSpeed_) / kMaxSpeed;
                if (score > bestScore) {
                    bestScore = score;
                    bestSpeed = first;
                }
            }
    lastSpeed_ = bestSpeed;
    return bestSpeed;
}

// ---- AutoPlayer ---------------------------------------------------------------------

AutoPlayer::~AutoPlayer() { stop(); }

void AutoPlayer::start() {
    if (timer_) return;
    // Between frames: the display link and this timer share the 60 Hz beat,
    // and the run loop fires the display link first.
    timer_ = host::Timer::scheduledTimer(1.0 / 60, nullptr, [this] { tick(); }, true);
}

void AutoPlayer::stop() {
    if (timer_) timer_->invalidate();
    timer_.reset();
}

void AutoPlayer::tick() {
    CCScene* scene = CCDirector::sharedDirector()->runningScene();
    if (auto* menu = dynamic_cast<MainMenu*>(scene))
        playMenu(menu);
    else if (auto* game = dynamic_cast<HelloWorldLayer*>(scene))
        playGame(game);
}

void AutoPlayer::playMenu(MainMenu* menu) {
    if (pressedOn_.get() == menu) return;
    if (press(menu->playGameItem())) {
        pressedOn_ = menu;
        host::log("autoplay: pressed \"Play Game\" at frame %lu", frameNumber());
    }
}

void AutoPlayer::playGame(HelloWorldLayer* game) {
    noteHighScore(game);
    const bool live = game->isGameRunning();
    if (wasLive_ && !live) {
        ++gamesOver_;
        host::log("autoplay: game %d over at frame %lu with a score of %d", gamesOver_, frameNumber(),
                  game->scoreCount());
    }
    wasLive_ = live;
    if (live) {
        tilt(game);
        return;
    }
    CCMenu* menu = game->afterGameMenu();
    // Only a menu that has slid into place and still takes touches.
    if (!menu || pressedOn_.get() == menu || menu->numberOfRunningActions() > 0 || !menu->isTouchEnabled()) return;
    if (press(game->restartItem())) {
        pressedOn_ = menu;
        host::log("autoplay: pressed \"Restart Game\" at frame %lu", frameNumber());
    }
}

void AutoPlayer::noteHighScore(HelloWorldLayer* game) {
    // The label changes only with the score, or in a new game scene.
    if (watchedGame_.get() == game && watchedScore_ == game->scoreCount()) return;
    watchedGame_ = game;
    watchedScore_ = game->scoreCount();
    CCLabelTTF* label = game->highScoreLabel();
    if (!label) return;
    std::string shown = label->string();
    if (shown == highScoreShown_) return;
    highScoreShown_ = std::move(shown);
    host::log("autoplay: the screen shows \"%s\" at frame %lu", highScoreShown_.c_str(), frameNumber());
}

bool AutoPlayer::press(CCNode* item) {
    if (!item) return false;
    host::Application* app = host::Application::sharedApplication();
    if (fingerDown_) {
        app->deliverPointer(-1, host::TouchPhase::Ended, fingerAt_.x, fingerAt_.y, host::Clock::now());
        fingerDown_ = false;
        waited_ = 0;
        return true;
    }
    if (waited_ < kPauseFrames) {
        ++waited_;
        return false;
    }
    // The item's centre, from GL points (origin bottom left) to interface
    // points (origin top left).
    const CGSize size = item->contentSize();
    const CGPoint centre = item->convertToWorldSpace(CGPointMake(size.width / 2, size.height / 2));
    fingerAt_ = CGPointMake(centre.x, CCDirector::sharedDirector()->winSize().height - centre.y);
    app->deliverPointer(-1, host::TouchPhase::Began, fingerAt_.x, fingerAt_.y, host::Clock::now());
    fingerDown_ = true;
    return false;
}

void AutoPlayer::tilt(HelloWorldLayer* game) {
    CCSprite* skate = game->skate();
    if (!skate) return;
    balls_.clear();
    for (host::Object* object : *game->balls()) {
        auto* ball = static_cast<GameSprite*>(object);
        balls_.push_back({ball->position(), ball->velocity(), ball->boundingBox().size.width, ball->floorY()});
    }
    CCDirector* director = CCDirector::sharedDirector();
    const DodgePlanner::Board board{skate->position(), skate->boundingBox().size.width};
    const float speed = planner_.chooseSpeed(board, balls_, director->winSize().width,
                                             static_cast<float>(director->animationInterval()));
    // The game's speed is proportional to acceleration.y.
    const double y = speed / HelloWorldLayer::boardSpeedForAcceleration(1.0);
    host::Accelerometer::sharedAccelerometer().deliver(0, y, -std::sqrt(std::max(0.0, 1 - y * y)),
                                                       host::Clock::now());
}
