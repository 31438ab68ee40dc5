// Progress timers drawn on the real GL: which part of the image each type
// shows at a percentage, the shapes at the ends of the sweep, colours,
// clamping, and the two progress actions.
#include <gtest/gtest.h>

#include <cmath>

#include "LogCapture.h"
#include "RenderFixture.h"
#include "TestTextures.h"
#include "engine/CCActionProgressTimer.h"
#include "engine/CCProgressTimer.h"
#include "engine/CCSprite.h"

namespace {

// A 128 x 128 timer centred at (160, 240): it spans x 96..224, y 176..304.
class ProgressTimerTest : public RenderFixture {
protected:
    CCProgressTimer* timerOn(CCTexture2D* texture, int type, float percentage) {
        CCProgressTimer* timer = CCProgressTimer::progressWithTexture(texture);
        timer->setType(type);
        timer->setPercentage(percentage);
        timer->setPosition(CGPointMake(160, 240));
        scene_->addChild(timer);
        return timer;
    }
    // Whether the image shows at a point, each as many pixels right of and
    // above the timer's centre.
    static bool shows(float dx, float dy) {
        const ccColor4B c = pixelAt(int(160 + dx), int(240 + dy));
        return c.r > 200 || c.b > 200;
    }
    // The four quadrants, clockwise from the top right.
    static std::vector<bool> quadrants() { return {shows(32, 32), shows(32, -32), shows(-32, -32), shows(-32, 32)}; }
};

}  // namespace

TEST_F(ProgressTimerTest, RadialTimersSweepFromTwelveOClock) {
    struct Case {
        int type;
        float percentage;
        std::vector<bool> quadrants;  // top right, bottom right, bottom left, top left
    };
    const Case cases[] = {
        {kCCProgressTimerTypeRadialClockwise, 25, {true, false, false, false}},
        {kCCProgressTimerTypeRadialCounterClockwise, 25, {false, false, false, true}},
        {kCCProgressTimerTypeRadialClockwise, 75, {true, true, true, false}},
        {kCCProgressTimerTypeRadialCounterClockwise, 75, {false, true, true, true}},
        {kCCProgressTimerTypeRadialClockwise, 100, {true, true, true, true}},
    };
    host::Ref<CCTexture2D> white(makeSolidTexture(128, 128, kWhite));  // outlives the frames' pools
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.type) + " at " + std::to_string(c.percentage));
        CCProgressTimer* timer = timerOn(white, c.type, c.percentage);
        frame();
        EXPECT_EQ(quadrants(), c.quadrants);
        // The sweep's edge leaves 12 o'clock straight up from the centre.
        if (c.percentage == 25) {
            const float side = c.type == kCCProgressTimerTypeRadialClockwise ? 1.0f : -1.0f;
            EXPECT_TRUE(shows(side * 3, 50));
            EXPECT_FALSE(shows(-side * 3, 50));
            EXPECT_TRUE(shows(side * 50, 3));
            EXPECT_FALSE(shows(side * 50, -3));
        }
        scene_->removeChild(timer, true);
    }
}

TEST_F(ProgressTimerTest, TheSweepsEndsAreAnEmptyFanAndTheWholeImage) {
    CCProgressTimer* timer = timerOn(makeSolidTexture(128, 128, kWhite), kCCProgressTimerTypeRadialCounterClockwise, 50);
    timer->setPercentage(0);
    ASSERT_EQ(timer->vertexDataCount(), 3);
    for (int i = 0; i < 3; ++i) EXPECT_FLOAT_EQ(timer->vertexData()[i].vertices.x, 64) << "on the 12 o'clock line";
    frame();
    EXPECT_EQ(quadrants(), (std::vector<bool>{false, false, false, false}));
    timer->setPercentage(100);
    EXPECT_EQ(timer->vertexDataCount(), 7);
    frame();
    EXPECT_EQ(quadrants(), (std::vector<bool>{true, true, true, true}));
}

TEST_F(ProgressTimerTest, BarsGrowFromTheirEdgeAndFollowTheSpriteFlips) {
    struct Case {
        int type;
        float dx, dy;  // a point the bar covers at 50 %, and its mirror it does not
    };
    const Case cases[] = {
        {kCCProgressTimerTypeBarLeftToRight, -32, 0},
        {kCCProgressTimerTypeBarRightToLeft, 32, 0},
        {kCCProgressTimerTypeBarBottomToTop, 0, -32},
        {kCCProgressTimerTypeBarTopToBottom, 0, 32},
    };
    host::Ref<CCTexture2D> white(makeSolidTexture(128, 128, kWhite));  // outlives the frames' pools
    for (const Case& c : cases) {
        SCOPED_TRACE(c.type);
        CCProgressTimer* timer = timerOn(white, c.type, 50);
        frame();
        EXPECT_TRUE(shows(c.dx, c.dy));
        EXPECT_FALSE(shows(-c.dx, -c.dy));
        EXPECT_TRUE(shows(c.dx / 16, c.dy / 16)) << "half of it: up to the middle";
        EXPECT_FALSE(shows(-c.dx / 8, -c.dy / 8));
        scene_->removeChild(timer, true);
    }
    // Red on the left, blue on the right; flipped, the left half shows blue.
    CCProgressTimer* timer = CCProgressTimer::progressWithTexture(makeTwoColourTexture(128, 128, kRed, kBlue));
    timer->sprite()->setFlipX(true);
    timer->setType(kCCProgressTimerTypeBarLeftToRight);
    timer->setPercentage(50);
    timer->setPosition(CGPointMake(160, 240));
    scene_->addChild(timer);
    frame();
    EXPECT_TRUE(rgbNear(pixelAt(128, 240), ccc3(0, 0, 255)));
    EXPECT_TRUE(rgbNear(pixelAt(192, 240), ccc3(0, 0, 0)));
}

TEST_F(ProgressTimerTest, ANewTypeOrSpriteIsShownAtOnce) {
    CCProgressTimer* timer = timerOn(makeSolidTexture(128, 128, kWhite), kCCProgressTimerTypeRadialClockwise, 50);
    timer->setType(kCCProgressTimerTypeBarLeftToRight);
    EXPECT_EQ(timer->vertexDataCount(), 4);
    frame();
    EXPECT_TRUE(shows(-32, 32));
    EXPECT_FALSE(shows(32, 32));
    timer->setSprite(CCSprite::spriteWithTexture(makeSolidTexture(128, 128, kBlue)));
    frame();
    EXPECT_TRUE(rgbNear(pixelAt(128, 240), ccc3(0, 0, 255)));
    LogCapture log;
    timer->setType(6);
    EXPECT_EQ(timer->type(), kCCProgressTimerTypeBarLeftToRight);
    EXPECT_TRUE(log.exactlyOneLine());
}

TEST_F(ProgressTimerTest, APremultipliedSpriteAtHalfOpacityGivesHalfColours) {
    CCProgressTimer* timer = CCProgressTimer::progressWithTexture(makePremultipliedTexture(8, 8, [](unsigned, unsigned) {
        return kWhite;
    }));
    timer->sprite()->setOpacity(128);
    timer->setPercentage(30);
    ASSERT_GT(timer->vertexDataCount(), 0);
    for (int i = 0; i < timer->vertexDataCount(); ++i) {
        const ccColor4B c = timer->vertexData()[i].colors;
        EXPECT_EQ(c.r, 128);
        EXPECT_EQ(c.g, 128);
        EXPECT_EQ(c.a, 128);
    }
}

TEST_F(ProgressTimerTest, PercentagesOutsideTheRangeAreClampedAndSaidOnce) {
    CCProgressTimer* timer = CCProgressTimer::progressWithTexture(makeSolidTexture(16, 16, kWhite));
    LogCapture log;
    timer->setPercentage(150);
    EXPECT_EQ(timer->percentage(), 100);
    timer->setPercentage(-20);
    EXPECT_EQ(timer->percentage(), 0);
    EXPECT_TRUE(log.exactlyOneLine()) << "once per timer";
    timer->setPercentage(std::nanf(""));
    EXPECT_EQ(timer->percentage(), 0);
    EXPECT_EQ(log.lines().size(), 2u);
}

TEST_F(ProgressTimerTest, ProgressActionsRunBetweenTheirPercentages) {
    CCProgressTimer* timer = CCProgressTimer::progressWithTexture(makeSolidTexture(16, 16, kWhite));
    timer->setPercentage(100);
    CCProgressTo* to = CCProgressTo::actionWithDuration(1, 100);
    to->startWithTarget(timer);
    to->update(0.25f);
    EXPECT_FLOAT_EQ(timer->percentage(), 25) << "a full timer runs from empty again";

    timer->setPercentage(40);
    CCProgressTo* down = CCProgressTo::actionWithDuration(1, 20);
    down->startWithTarget(timer);
    down->update(0.5f);
    EXPECT_FLOAT_EQ(timer->percentage(), 30);

    CCProgressFromTo* fromTo = CCProgressFromTo::actionWithDuration(2, 20, 80);
    CCProgressFromTo* back = fromTo->reverse();
    EXPECT_FLOAT_EQ(back->duration(), 2);
    back->startWithTarget(timer);
    back->update(0.25f);
    EXPECT_FLOAT_EQ(timer->percentage(), 65);

    // On anything but a timer: one line, and nothing changes.
    CCNode* node = CCNode::node();
    LogCapture log;
    CCProgressTo* lost = CCProgressTo::actionWithDuration(1, 50);
    lost->startWithTarget(node);
    lost->update(0.5f);
    EXPECT_TRUE(log.exactlyOneLine());
}
