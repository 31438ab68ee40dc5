#include "HelloWorldLayer.h"

#include <cmath>
#include <cstdio>
#include <string>

#include "GameSprite.h"
#include "MainMenu.h"
#include "audio/SimpleAudioEngine.h"
#include "engine/CCActionInstant.h"
#include "engine/CCActionInterval.h"
#include "engine/CCActionIntervalProperty.h"
#include "engine/CCDirector.h"
#include "engine/CCLabelTTF.h"
#include "engine/CCMenu.h"
#include "engine/CCParticleExamples.h"
#include "engine/CCSprite.h"
#include "engine/CCSpriteBatchNode.h"
#include "engine/CCTextureCache.h"
#include "engine/CCTransitionSlide.h"
#include "engine/Support/CCArray.h"
#include "engine/Support/CGPointExtension.h"
#include "host/core/Application.h"
#include "host/core/Log.h"
#include "host/data/UserDefaults.h"

namespace {

constexpr const char* kFont = "Helvetica";
constexpr float kScoreFontSize = 16;
constexpr float kCountdownFontSize = 64;
constexpr float kRestartFontSize = 48;
constexpr float kBackFontSize = 38;
constexpr ccColor3B kGreen{0, 255, 0};
constexpr ccTime kStepDuration = 0.5f;
constexpr ccTime kTransitionDuration = 0.2f;
constexpr float kItemSpacing = 60;
constexpr unsigned kBallCapacity = 15;
constexpr unsigned kInitialBalls = 10;
constexpr const char* kHighScoreKey = "high";

CGSize windowSize() { return CCDirector::sharedDirector()->winSize(); }

int storedBest() { return static_cast<int>(host::UserDefaults::standardUserDefaults().integerForKey(kHighScoreKey)); }

std::string formatted(const char* format, int value) {
    char text[48];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

CCLabelTTF* greenLabel(const std::string& text, float size) {
    CCLabelTTF* label = CCLabelTTF::labelWithString(text, kFont, size);
    if (label) label->setColor(kGreen);
    return label;
}

}  // namespace

bool HelloWorldLayer::init() {
    if (!CCScene::init()) return false;
    const CGSize win = windowSize();

    score_ = greenLabel("Score: 0", kScoreFontSize);
    highScore_ = greenLabel("", kScoreFontSize);
    if (!score_ || !highScore_) return false;
    const CGSize scoreBox = score_->boundingBox().size;
    score_->setPosition(CGPointMake(win.width - scoreBox.width, win.height - scoreBox.height));
    addChild(score_);

    highScore_->setString(formatted("High Score: %d", storedBest()));
    const CGSize highBox = highScore_->boundingBox().size;
    // Directly below the score label: right edges aligned when it is the
    // wider one, left edges when it is the narrower one.
    highScore_->setPosition(CGPointMake(score_->position().x - std::fabs(highBox.width / 2 - scoreBox.width / 2),
                                        score_->position().y - highBox.height));
    addChild(highScore_);

    SimpleAudioEngine::sharedEngine()->preloadEffect(GameSprite::kBounceSound);

    ba_ = CCSpriteBatchNode::batchNodeWithFile("ball.png", kBallCapacity);
    if (!ba_) return false;
    addChild(ba_);

    balls_ = host::Ref<CCArray>::adopt(
        host::createOwned<CCArray>([](CCArray* a) { return a->initWithCapacity(kInitialBalls); }));
    return balls_.get() != nullptr;
}

HelloWorldLayer::~HelloWorldLayer() {
    host::Accelerometer& accelerometer = host::Accelerometer::sharedAccelerometer();
    if (accelerometer.delegate() == this) accelerometer.setDelegate(nullptr);
}

void HelloWorldLayer::onEnterTransitionDidFinish() {
    resetGame();
    CCScene::onEnterTransitionDidFinish();
}

void HelloWorldLayer::onExit() {
    host::Accelerometer& accelerometer = host::Accelerometer::sharedAccelerometer();
    if (accelerometer.delegate() == this) accelerometer.setDelegate(nullptr);
    CCScene::onExit();
}

// ---- Countdown ------------------------------------------------------------

void HelloWorldLayer::runCountdownActions(CCNode* label, host::Selector<void()> next) {
    label->runAction(CCSequence::actions(CCScaleTo::actionWithDuration(kStepDuration, 1.0f),
                                         CCScaleTo::actionWithDuration(kStepDuration, 0.0f),
                                         CCCallFunc::actionWithTarget(this, next)));
}

void HelloWorldLayer::resetGame() {
    scoreCount_ = 0;
    score_->setString("Score: 0");

    if (CCNode* menu = getChildByTag(kAfterGameMenuTag)) {
        retireAfterGameMenu();
        menu->runAction(CCSequence::actions(
            CCMoveTo::actionWithDuration(kStepDuration,
                                         CGPointMake(menu->position().x, -0.5f * menu->boundingBox().size.height)),
            CCCallBlockN::actionWithBlock([](CCNode* node) { node->removeFromParentAndCleanup(true); })));
    }

    // The previous game's countdown label rests at scale 0; a fresh one
    // takes its place rather than piling up one label per game.
    removeChildByTag(kCountdownTag, true);
    CCLabelTTF* label = greenLabel("3", kCountdownFontSize);
    if (!label) return;
    const CGSize win = windowSize();
    label->setPosition(CGPointMake(win.width / 2, win.height / 2));
    addChild(label, 0, kCountdownTag);
    label->setScale(0);
    runCountdownActions(label, cc_selector(HelloWorldLayer::twoNow));
}

void HelloWorldLayer::countdownStep(const char* text, host::Selector<void()> next) {
    auto* label = static_cast<CCLabelTTF*>(getChildByTag(kCountdownTag));
    if (!label) return;
    label->setString(text);
    runCountdownActions(label, next);
}

void HelloWorldLayer::twoNow() { countdownStep("2", cc_selector(HelloWorldLayer::threeNow)); }
void HelloWorldLayer::threeNow() { countdownStep("1", cc_selector(HelloWorldLayer::goNow)); }
void HelloWorldLayer::goNow() { countdownStep("GO!", cc_selector(HelloWorldLayer::restartNow)); }

// ---- The game ---------------------------------------------------------------

void HelloWorldLayer::restartNow() {
    isGameRunning_ = true;
    multiplier_ = kStartSpeed;
    timeToPass_ = isTabletIdiom() ? 0.8f : 0.9f;

    const CGSize win = windowSize();
    skate_ = CCSprite::spriteWithFile("skate.png");
    if (skate_) {
        addChild(skate_);
        skate_->setScale(kSkateScale);
        skate_->setPosition(CGPointMake(win.width * 0.5f, skate_->boundingBox().size.height * 0.5f));
    }

    host::Accelerometer& accelerometer = host::Accelerometer::sharedAccelerometer();
    accelerometer.setDelegate(this);
    accelerometer.setUpdateInterval(kAccelerometerInterval);

    addNewSprite();
    schedule(cc_selector(HelloWorldLayer::step));
}

void HelloWorldLayer::accelerometer(host::Accelerometer*, host::Acceleration* acceleration) {
    multiplier_ = boardSpeedForAcceleration(acceleration->y);
}

float HelloWorldLayer::boardSpeedForAcceleration(double accelerationY) {
    float speed = static_cast<float>(accelerationY * kTiltSpeedFactor);
    if (isTabletIdiom()) speed = static_cast<float>(speed * kTabletSpeedFactor);
    // Held with the home button on the right, the device's y axis points
    // to the player's left.
    const host::InterfaceOrientation held = host::Application::sharedApplication()->statusBarOrientation();
    if (held == host::InterfaceOrientation::LandscapeRight) speed = -speed;
    return speed;
}

float HelloWorldLayer::boundBoardX(float x, float boardWidth, float windowWidth) {
    // Both tests are strict; the left bound is the full width plus the
    // margin, the right one half the width without a margin.
    if (x > windowWidth - boardWidth / 2) return windowWidth - boardWidth / 2;
    if (x < boardWidth + kLeftMargin) return boardWidth + kLeftMargin;
    return x;
}

void HelloWorldLayer::addNewSprite() {
    GameSprite* ball = GameSprite::spriteWithFile("ball.png");
    if (!ball) return;
    const CGSize size = ball->contentSize();
    ball->setPosition(CGPointMake(-0.5f * size.width, windowSize().height + 0.5f * size.height));
    ba_->addChild(ball);
    balls_->addObject(ball);
}

void HelloWorldLayer::step(ccTime dt) {
    const CGSize win = windowSize();
    if (isGameRunning_ && skate_) {
        CGPoint p = skate_->position();
        p.x += multiplier_ * dt;
        p.x = boundBoardX(p.x, skate_->boundingBox().size.width, win.width);
        skate_->setPosition(p);

        timePassed_ += dt;
        timeToPass_ = static_cast<float>(timeToPass_ * kSpawnDecay);
        if (timeToPass_ < kMinSpawnInterval) timeToPass_ = kMinSpawnInterval;
        if (timePassed_ >= timeToPass_) {
            timePassed_ = 0;
            addNewSprite();
        }
    }

    // Every ball present now is stepped once, unless a hit ends the pass;
    // a ball that leaves is removed in place and the next one takes its
    // index.
    for (uint32_t i = 0; i < balls_->count();) {
        auto* ball = static_cast<GameSprite*>(balls_->objectAtIndex(i));
        ball->update(dt);
        ball->tickColor(dt);
        const float bw = ball->boundingBox().size.width;
        if (ball->position().x >= win.width + bw / 2) {
            ball->removeFromParentAndCleanup(true);
            if (isGameRunning_) {
                ++scoreCount_;
                scoreNow();
            }
            balls_->removeObjectAtIndex(i);
            continue;
        }
        if (isGameRunning_ && skate_) {
            const float w = skate_->boundingBox().size.width;
            const float d = ccpDistance(skate_->position(), ball->position());
            if (d < hitDistance(bw, w)) {
                addParticleAtPos(skate_->position());
                stopGame();
                break;
            }
        }
        ++i;
    }

    if (!isGameRunning_ && balls_->count() == 0) {
        unschedule(cc_selector(HelloWorldLayer::step));
        displayMenu();
    }
}

void HelloWorldLayer::addParticleAtPos(CGPoint position) {
    CCParticleFireworks* fireworks = CCParticleFireworks::particleWithTotalParticles(kFireworksParticles);
    if (!fireworks) return;
    fireworks->setTexture(CCTextureCache::sharedTextureCache()->addImage("fire.png"));
    fireworks->setAutoRemoveOnFinish(true);
    fireworks->setPosition(position);
    addChild(fireworks);
}

void HelloWorldLayer::stopGame() {
    for (host::Object* object : *balls_) {
        auto* ball = static_cast<GameSprite*>(object);
        const CGPoint v = ball->velocity();
        ball->setVelocity(CGPointMake(v.x * kEndRushFactor, v.y));
    }
    if (skate_) skate_->removeFromParentAndCleanup(true);
    skate_ = nullptr;
    host::Accelerometer& accelerometer = host::Accelerometer::sharedAccelerometer();
    if (accelerometer.delegate() == this) accelerometer.setDelegate(nullptr);
    isGameRunning_ = false;
}

void HelloWorldLayer::scoreNow() {
    host::UserDefaults& defaults = host::UserDefaults::standardUserDefaults();
    if (defaults.integerForKey(kHighScoreKey) < scoreCount_) defaults.setInteger(scoreCount_, kHighScoreKey);
    score_->setString(formatted("Score: %d", scoreCount_));
    highScore_->setString(formatted("High Score: %d", storedBest()));
}

// ---- After the game -------------------------------------------------------

void HelloWorldLayer::displayMenu() {
    CCLabelTTF* restartLabel = greenLabel("Restart Game", kRestartFontSize);
    CCLabelTTF* backLabel = greenLabel("Back to Menu", kBackFontSize);
    if (!restartLabel || !backLabel) return;
    CCMenuItemLabel* restart =
        CCMenuItemLabel::itemWithLabel(restartLabel, this, cc_selector(HelloWorldLayer::resetGame));
    CCMenuItemLabel* back = CCMenuItemLabel::itemWithLabel(backLabel, this, cc_selector(HelloWorldLayer::goBackToMain));
    if (!restart || !back) return;
    restart->setPosition(ccpAdd(restart->position(), CGPointMake(0, kItemSpacing)));
    back->setPosition(CGPointMake(restart->position().x, restart->position().y - kItemSpacing));

    CCMenu* menu = CCMenu::menuWithItems({restart, back});
    if (!menu) return;
    restart->setColor(kGreen);
    back->setColor(kGreen);
    addChild(menu);

    // Slide up from below the bottom edge into the place the menu chose.
    const CGPoint home = menu->position();
    menu->setPosition(CGPointMake(home.x, -0.5f * menu->boundingBox().size.height));
    menu->runAction(CCSequence::actions(CCMoveTo::actionWithDuration(kStepDuration, home)));
    menu->setTag(kAfterGameMenuTag);
}

void HelloWorldLayer::goBackToMain() {
    retireAfterGameMenu();
    SimpleAudioEngine::sharedEngine()->unloadEffect(GameSprite::kBounceSound);
    MainMenu* menu = MainMenu::node();
    if (!menu) {
        host::log("game: the main menu cannot be built");
        return;
    }
    CCDirector::sharedDirector()->replaceScene(CCTransitionSlideInL::transitionWithDuration(kTransitionDuration, menu));
}

void HelloWorldLayer::retireAfterGameMenu() {
    if (CCMenu* menu = afterGameMenu()) menu->setIsTouchEnabled(false);
}

CCMenu* HelloWorldLayer::afterGameMenu() const { return static_cast<CCMenu*>(getChildByTag(kAfterGameMenuTag)); }

CCMenuItem* HelloWorldLayer::restartItem() const {
    CCMenu* menu = afterGameMenu();
    if (!menu || !menu->children() || menu->children()->count() == 0) return nullptr;
    return static_cast<CCMenuItem*>(menu->children()->objectAtIndex(0));
}
