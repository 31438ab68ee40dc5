// The emulated accelerometer's keyboard input: the easing, the device axis
// a tilt lands on in each orientation, key and focus events, sampling at
// the update interval from the run loop, and the game's board following
// the keys.
#include <gtest/gtest.h>

#include <SDL2/SDL.h>

#include <cmath>
#include <vector>

#include "GameTestSupport.h"
#include "HelloWorldLayer.h"
#include "engine/CCSprite.h"
#include "host/core/Application.h"
#include "host/core/Clock.h"
#include "host/core/RunLoop.h"
#include "host/display/Accelerometer.h"
#include "host/display/AccelerometerInput.h"

namespace {

struct Sample {
    double x, y, z, t;
};

class SampleRecorder : public host::AccelerometerDelegate {
public:
    void accelerometer(host::Accelerometer*, host::Acceleration* a) override {
        samples.push_back({a->x, a->y, a->z, a->timestamp});
    }
    std::vector<Sample> samples;
};

SDL_Event keyEvent(Uint32 type, SDL_Keycode key) {
    SDL_Event e{};
    e.type = type;
    e.key.keysym.sym = key;
    return e;
}

SDL_Event focusLost() {
    SDL_Event e{};
    e.type = SDL_WINDOWEVENT;
    e.window.event = SDL_WINDOWEVENT_FOCUS_LOST;
    return e;
}

class TiltInputTest : public ::testing::Test {
protected:
    void SetUp() override {
        host::Clock::setFixedStep(true);
        host::Application::sharedApplication()->setStatusBarOrientation(host::InterfaceOrientation::LandscapeRight, false);
        host::Accelerometer::sharedAccelerometer().setDelegate(&recorder);
        host::Accelerometer::sharedAccelerometer().setUpdateInterval(1.0 / 60);
        // Samples are timed from here; the tests take them by hand.
        input().start();
    }
    void TearDown() override {
        input().stop();
        host::Accelerometer::sharedAccelerometer().setDelegate(nullptr);
        host::Accelerometer::sharedAccelerometer().setUpdateInterval(1.0 / 60);
        host::RunLoop::main().reset();
        host::Application::sharedApplication()->setStatusBarOrientation(host::InterfaceOrientation::Portrait, false);
        host::Clock::setFixedStep(false);
    }
    static host::AccelerometerInput& input() { return host::AccelerometerInput::shared(); }
    // Samples `n` times, 1/60 s apart on the virtual clock.
    void sampleFrames(int n) {
        for (int i = 0; i < n; ++i) {
            host::Clock::advanceTo(host::Clock::now() + 1.0 / 60);
            input().sample();
        }
    }
    SampleRecorder recorder;
};

TEST(TiltEaser, EasesToTheFullTiltInATenthOfASecondAndBack) {
    host::TiltEaser e;
    e.setHeld(true, false);
    EXPECT_NEAR(e.advance(0.05), 0.175, 1e-12);
    EXPECT_NEAR(e.advance(0.05), 0.35, 1e-12);
    EXPECT_EQ(e.advance(1.0), 0.35);  // held: stays at the full tilt
    e.setHeld(false, false);
    EXPECT_NEAR(e.advance(0.05), 0.175, 1e-12);
    EXPECT_EQ(e.advance(0.2), 0);  // never past level
    e.setHeld(false, true);
    EXPECT_EQ(e.advance(0.5), -0.35);
    // Both held cancel out.
    e.setHeld(true, true);
    EXPECT_EQ(e.advance(0.5), 0);
    EXPECT_EQ(e.advance(-1), 0);  // a clock going back moves nothing
}

TEST(TiltEaser, LandsOnTheAxisThatPointsAcrossTheInterface) {
    const double t = 0.3, level = -std::sqrt(1 - t * t);
    const host::DeviceAcceleration o3 = host::accelerationForInterfaceTilt(host::InterfaceOrientation::LandscapeRight, t);
    EXPECT_EQ(o3.x, 0);
    EXPECT_EQ(o3.y, t);
    EXPECT_DOUBLE_EQ(o3.z, level);
    EXPECT_EQ(host::accelerationForInterfaceTilt(host::InterfaceOrientation::LandscapeLeft, t).y, -t);
    EXPECT_EQ(host::accelerationForInterfaceTilt(host::InterfaceOrientation::Portrait, t).x, -t);
    EXPECT_EQ(host::accelerationForInterfaceTilt(host::InterfaceOrientation::PortraitUpsideDown, t).x, t);
    EXPECT_EQ(host::accelerationForInterfaceTilt(host::InterfaceOrientation::Portrait, 0).z, -1);
}

TEST_F(TiltInputTest, ArrowsAndLettersTiltAndLettingGoLevelsOut) {
    input().handleEvent(keyEvent(SDL_KEYDOWN, SDLK_LEFT));
    sampleFrames(6);
    ASSERT_EQ(recorder.samples.size(), 6u);
    EXPECT_NEAR(recorder.samples.back().y, 0.35, 1e-9);
    EXPECT_GT(recorder.samples.front().y, 0);
    EXPECT_LT(recorder.samples.front().y, 0.35);
    input().handleEvent(keyEvent(SDL_KEYUP, SDLK_LEFT));
    sampleFrames(6);
    EXPECT_NEAR(recorder.samples.back().y, 0, 1e-9);

    input().handleEvent(keyEvent(SDL_KEYDOWN, SDLK_d));
    sampleFrames(6);
    EXPECT_NEAR(recorder.samples.back().y, -0.35, 1e-9);
    input().handleEvent(keyEvent(SDL_KEYDOWN, SDLK_a));  // both ways: level
    sampleFrames(6);
    EXPECT_NEAR(recorder.samples.back().y, 0, 1e-9);
    // Other keys are not tilt keys.
    input().handleEvent(keyEvent(SDL_KEYUP, SDLK_a));
    input().handleEvent(keyEvent(SDL_KEYUP, SDLK_d));
    input().handleEvent(keyEvent(SDL_KEYDOWN, SDLK_SPACE));
    sampleFrames(3);
    EXPECT_EQ(recorder.samples.back().y, 0);
}

TEST_F(TiltInputTest, LosingTheFocusLetsGoOfEveryKey) {
    input().handleEvent(keyEvent(SDL_KEYDOWN, SDLK_RIGHT));
    sampleFrames(6);
    EXPECT_NEAR(recorder.samples.back().y, -0.35, 1e-9);
    input().handleEvent(focusLost());
    sampleFrames(6);
    EXPECT_NEAR(recorder.samples.back().y, 0, 1e-9);
}

TEST_F(TiltInputTest, SamplesArriveFromTheRunLoopAtTheUpdateInterval) {
    ASSERT_TRUE(input().isStarted());
    const double t0 = host::Clock::now();
    while (recorder.samples.size() < 10) ASSERT_TRUE(host::RunLoop::main().runOnce(1.0));
    for (size_t i = 0; i < 10; ++i) EXPECT_NEAR(recorder.samples[i].t - t0, (i + 1) / 60.0, 1e-9) << i;
    // A delegate asking for another interval gets it from the next sample on.
    host::Accelerometer::sharedAccelerometer().setUpdateInterval(0.1);
    while (recorder.samples.size() < 14) ASSERT_TRUE(host::RunLoop::main().runOnce(1.0));
    EXPECT_NEAR(recorder.samples[12].t - recorder.samples[11].t, 0.1, 1e-9);
    EXPECT_NEAR(recorder.samples[13].t - recorder.samples[12].t, 0.1, 1e-9);
    input().stop();
    EXPECT_FALSE(input().isStarted());
    const size_t count = recorder.samples.size();
    host::RunLoop::main().runOnce(0.5);
    EXPECT_EQ(recorder.samples.size(), count);
}

TEST_F(TiltInputTest, NoDelegateNoSample) {
    host::Accelerometer::sharedAccelerometer().setDelegate(nullptr);
    input().handleEvent(keyEvent(SDL_KEYDOWN, SDLK_LEFT));
    sampleFrames(3);
    EXPECT_TRUE(recorder.samples.empty());
    EXPECT_GT(input().currentTilt(), 0);  // the tilt itself still eases
}

class BoardFollowsKeysTest : public GameFixture {
protected:
    void TearDown() override {
        host::AccelerometerInput::shared().stop();
        host::RunLoop::main().reset();
        GameFixture::TearDown();
    }
};

TEST_F(BoardFollowsKeysTest, LeftSlidesTheBoardLeftAndRightSlidesItRight) {
    HelloWorldLayer* game = HelloWorldLayer::node();
    director_->runWithScene(game);
    ASSERT_GT(framesUntil([&] { return game->isGameRunning(); }, 400), 0);
    host::AccelerometerInput& input = host::AccelerometerInput::shared();
    input.start();
    input.handleEvent(keyEvent(SDL_KEYDOWN, SDLK_LEFT));
    for (int i = 0; i < 6; ++i) {
        host::Clock::advanceTo(host::Clock::now() + 1.0 / 60);
        input.sample();
    }
    EXPECT_FLOAT_EQ(game->multiplier(), -static_cast<float>(0.35 * 1750));
    float x = game->skate()->position().x;
    frame();
    EXPECT_LT(game->skate()->position().x, x);
    input.handleEvent(keyEvent(SDL_KEYUP, SDLK_LEFT));
    input.handleEvent(keyEvent(SDL_KEYDOWN, SDLK_RIGHT));
    for (int i = 0; i < 12; ++i) {
        host::Clock::advanceTo(host::Clock::now() + 1.0 / 60);
        input.sample();
    }
    x = game->skate()->position().x;
    frame();
    EXPECT_GT(game->skate()->position().x, x);
}

}  // namespace
