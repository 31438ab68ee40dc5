// The balls: the colour fade of QBColorChangeNode and the motion, bounce
// and bounce sound of GameSprite, on real sprites made from the shipped
// "ball.png".
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "GameSprite.h"
#include "GameTestSupport.h"
#include "QBColorChangeNode.h"
#include "audio/CDSoundSource.h"
#include "audio/SimpleAudioEngine.h"
#include "host/core/Device.h"

namespace {

class BallTest : public GameFixture {
protected:
    static QBColorChangeNode* fadingBall() {
        return host::create<QBColorChangeNode>([](QBColorChangeNode* n) { return n->initWithFile("ball.png"); });
    }
    static GameSprite* plainBall() {
        return host::create<GameSprite>([](GameSprite* s) { return s->initWithFile("ball.png"); });
    }
    static int paletteIndex(ccColor3B c) {
        for (int i = 0; i < QBColorChangeNode::kPaletteSize; ++i) {
            const ccColor3B p = QBColorChangeNode::palette()[i];
            if (p.r == c.r && p.g == c.g && p.b == c.b) return i;
        }
        return -1;
    }
    // A seed whose first two draws pick the same palette entry (the
    // starting colour and the first target).
    static unsigned seedWithRepeatedFirstDraw() {
        for (unsigned seed = 1; seed < 10000; ++seed) {
            srandom(seed);
            const long a = random() % QBColorChangeNode::kPaletteSize;
            if (random() % QBColorChangeNode::kPaletteSize == a) return seed;
        }
        return 0;
    }
    // The palette entry of draw number `skip` + 1 after seeding with
    // `seed`; the generator is left so that this draw comes next.
    static ccColor3B drawAfter(unsigned seed, int skip) {
        srandom(seed);
        for (int i = 0; i < skip; ++i) random();
        const long value = random();
        srandom(seed);
        for (int i = 0; i < skip; ++i) random();
        return QBColorChangeNode::palette()[value % QBColorChangeNode::kPaletteSize];
    }
    // A seed whose first two draws differ in every channel of the palette.
    static unsigned seedWithFullFirstFade() {
        for (unsigned seed = 1; seed < 10000; ++seed) {
            srandom(seed);
            const ccColor3B a = QBColorChangeNode::palette()[random() % QBColorChangeNode::kPaletteSize];
            const ccColor3B b = QBColorChangeNode::palette()[random() % QBColorChangeNode::kPaletteSize];
            if (a.r != b.r && a.g != b.g && a.b != b.b) return seed;
        }
        return 0;
    }
};

TEST_F(BallTest, StartsOnAPaletteColourWithAFadeUnderWay) {
    for (unsigned seed : {1u, 2u, 3u, 99u}) {
        srandom(seed);
        QBColorChangeNode* n = fadingBall();
        ASSERT_NE(n, nullptr);
        EXPECT_GE(paletteIndex(n->color()), 0);
        EXPECT_GE(paletteIndex(n->targetColor()), 0);
        EXPECT_FLOAT_EQ(n->secondsToChange(), 1.33333f);
    }
}

TEST_F(BallTest, AMissingImageGivesNoBall) {
    EXPECT_EQ(host::create<QBColorChangeNode>([](QBColorChangeNode* n) { return n->initWithFile("no-such.png"); }),
              nullptr);
}

TEST_F(BallTest, FadesInAStraightLineTowardsTheTargetAndSwitchesOnTime) {
    const unsigned seed = seedWithFullFirstFade();
    ASSERT_NE(seed, 0u);
    srandom(seed);
    QBColorChangeNode* n = fadingBall();
    const ccColor3B from = n->color(), to = n->targetColor();
    const float dt = 1.0f / 60;
    // Halfway through, every channel is about halfway.
    for (int i = 0; i < 40; ++i) n->tickColor(dt);
    const float done = 40 * dt / n->secondsToChange();
    auto near = [&](uint8_t now, uint8_t a, uint8_t b) { return std::fabs(now - (a + (b - a) * done)) <= 2.0f; };
    EXPECT_TRUE(near(n->color().r, from.r, to.r)) << int(n->color().r);
    EXPECT_TRUE(near(n->color().g, from.g, to.g)) << int(n->color().g);
    EXPECT_TRUE(near(n->color().b, from.b, to.b)) << int(n->color().b);
    // Just before 1.33333 s the colour is all but there; the tick that
    // reaches it draws the next target and leaves the colour as it is
    // rather than snapping it onto the old target.
    for (int i = 40; i < 79; ++i) n->tickColor(dt);
    const ccColor3B before = n->color();
    EXPECT_TRUE(std::abs(before.r - to.r) <= 5 && std::abs(before.g - to.g) <= 5 && std::abs(before.b - to.b) <= 5);
    const ccColor3B third = drawAfter(seed, 2);
    n->tickColor(dt);
    EXPECT_EQ(paletteIndex(n->targetColor()), paletteIndex(third));
    EXPECT_EQ(n->color().r, before.r);
    EXPECT_EQ(n->color().g, before.g);
    EXPECT_EQ(n->color().b, before.b);
}

TEST_F(BallTest, ATargetEqualToTheColourIsRedrawnOnTheNextTick) {
    const unsigned seed = seedWithRepeatedFirstDraw();
    ASSERT_NE(seed, 0u);
    srandom(seed);
    QBColorChangeNode* n = fadingBall();
    const ccColor3B start = n->color();
    EXPECT_EQ(paletteIndex(n->targetColor()), paletteIndex(start));
    // The next tick switches at once instead of waiting 1.33333 s: it
    // takes the third draw of the sequence.
    const ccColor3B third = drawAfter(seed, 2);
    n->tickColor(1.0f / 60);
    EXPECT_EQ(paletteIndex(n->targetColor()), paletteIndex(third));
    EXPECT_EQ(paletteIndex(n->color()), paletteIndex(start));  // nothing faded on that tick
}

TEST_F(BallTest, ChannelsStayBetweenTheEndsOfEveryFade) {
    srandom(12345);
    QBColorChangeNode* n = fadingBall();
    ccColor3B from = n->color(), to = n->targetColor();
    const float steps[] = {1.0f / 60, 1.0f / 30, 0.05f, 1.0f / 144, 0.2f};
    for (int i = 0; i < 20000; ++i) {
        n->tickColor(steps[i % 5]);
        const ccColor3B c = n->color(), t = n->targetColor();
        if (t.r != to.r || t.g != to.g || t.b != to.b) {  // a new fade began
            from = c;
            to = t;
            continue;
        }
        auto within = [](int v, int a, int b) { return v >= std::min(a, b) - 1 && v <= std::max(a, b) + 1; };
        ASSERT_TRUE(within(c.r, from.r, to.r) && within(c.g, from.g, to.g) && within(c.b, from.b, to.b))
            << "tick " << i << ": (" << int(c.r) << ", " << int(c.g) << ", " << int(c.b) << ")";
    }
}

TEST_F(BallTest, AFadeMadeLongerPartWayStopsAtTheEndOfTheRangeInsteadOfWrapping) {
    const unsigned seed = seedWithFullFirstFade();
    srandom(seed);
    QBColorChangeNode* n = fadingBall();
    const ccColor3B to = n->targetColor();
    for (int i = 0; i < 70; ++i) n->tickColor(1.0f / 60);
    // Ten times as long from here: the fade overshoots its target by far.
    n->setSecondsToChange(13.3333f);
    for (int i = 0; i < 700; ++i) {
        n->tickColor(1.0f / 60);
        const ccColor3B c = n->color();
        // Every channel ends at the side of its target, never wrapped round.
        for (auto [now, target] : {std::pair<int, int>{c.r, to.r}, {c.g, to.g}, {c.b, to.b}}) {
            if (target == 255) {
                ASSERT_GE(now, 200) << "tick " << i;
            }
            if (target == 0) {
                ASSERT_LE(now, 55) << "tick " << i;
            }
        }
    }
}

TEST_F(BallTest, SizeAndVelocityAreDrawnInTheirRanges) {
    float smallest = 1, largest = 0;
    for (unsigned seed = 1; seed <= 300; ++seed) {
        srandom(seed);
        GameSprite* ball = GameSprite::spriteWithFile("ball.png");
        ASSERT_NE(ball, nullptr);
        const float s = ball->scale();
        EXPECT_GE(s, 0.0999f);
        EXPECT_LE(s, 0.4901f);
        // Steps of 0.01.
        EXPECT_NEAR(s * 100, std::round(s * 100), 1e-3);
        smallest = std::min(smallest, s);
        largest = std::max(largest, s);
        const CGPoint v = ball->velocity();
        EXPECT_GE(v.x, 65);
        EXPECT_LE(v.x, 199);
        EXPECT_GE(v.y, -20);
        EXPECT_LE(v.y, -11);
        EXPECT_EQ(ball->originalVelocity().x, v.x);
        EXPECT_EQ(ball->originalVelocity().y, v.y);
    }
    EXPECT_FLOAT_EQ(smallest, 0.10f);
    EXPECT_FLOAT_EQ(largest, 0.49f);
}

TEST_F(BallTest, TabletBallsAreHalfAsBigAgain) {
    host::Device& device = host::Device::current();
    srandom(5);
    const float phone = GameSprite::spriteWithFile("ball.png")->scale();
    device.configure(true, false, "");
    srandom(5);
    const float tablet = GameSprite::spriteWithFile("ball.png")->scale();
    device.configure(false, false, "");
    EXPECT_FLOAT_EQ(tablet, static_cast<float>(phone * 1.5));
}

TEST_F(BallTest, FallingSpeedsUpAndRisingSlowsDownOncePerCall) {
    GameSprite* ball = plainBall();
    ball->setScale(0.2f);
    ball->setPosition(CGPointMake(100, 200));
    ball->setVelocity(CGPointMake(120, -15));
    ball->update(0.5f);
    EXPECT_FLOAT_EQ(ball->position().x, 160);
    EXPECT_FLOAT_EQ(ball->position().y, 192.5f);
    EXPECT_FLOAT_EQ(ball->velocity().y, static_cast<float>(-15 * 1.06));
    EXPECT_FLOAT_EQ(ball->velocity().x, 120);

    // Rising at 12.9: divided to about 11.94 and turned downwards at once.
    ball->setVelocity(CGPointMake(0, 12.9f));
    ball->update(1.0f / 60);
    EXPECT_NEAR(ball->velocity().y, -11.944, 1e-3);
    // At 13 it becomes about 12.04 and keeps rising one more call.
    ball->setVelocity(CGPointMake(0, 13));
    ball->update(1.0f / 60);
    EXPECT_NEAR(ball->velocity().y, 12.037, 1e-3);
    ball->update(1.0f / 60);
    EXPECT_NEAR(ball->velocity().y, -11.146, 1e-3);
}

TEST_F(BallTest, ABounceLandsExactlyOnTheFloorAndLosesEnergy) {
    GameSprite* ball = plainBall();
    ball->setScale(0.3f);
    const float floorY = ball->contentSize().height * 0.5f * 0.3f;
    EXPECT_FLOAT_EQ(ball->floorY(), floorY);
    // A long step far below the floor line.
    ball->setPosition(CGPointMake(50, 40));
    ball->setVelocity(CGPointMake(100, -400));
    ball->update(1.0f);
    EXPECT_EQ(ball->position().y, floorY);
    EXPECT_FLOAT_EQ(ball->position().x, 150);
    EXPECT_FLOAT_EQ(ball->velocity().y, static_cast<float>(static_cast<float>(-400 * 1.06) * -0.85));
    // Just above the floor nothing bounces.
    ball->setPosition(CGPointMake(50, floorY + 1));
    ball->setVelocity(CGPointMake(0, -30));
    ball->update(1.0f / 60);
    EXPECT_GT(ball->position().y, floorY);
    EXPECT_LT(ball->velocity().y, 0);
}

TEST_F(BallTest, EveryBounceSetsTheEffectsVolumeToTheBallsSizeAndPlaysTheBounce) {
    SimpleAudioEngine* audio = SimpleAudioEngine::sharedEngine();
    audio->setEffectsVolume(1.0f);
    GameSprite* small = plainBall();
    small->setScale(0.12f);
    GameSprite* big = plainBall();
    big->setScale(0.47f);
    for (GameSprite* ball : {small, big}) {
        ball->setPosition(CGPointMake(10, 1));
        ball->setVelocity(CGPointMake(0, -50));
        ball->update(1.0f / 60);
        EXPECT_FLOAT_EQ(audio->effectsVolume(), ball->scale());
    }
    // The bounce was played from the shipped sound, which is now loaded.
    EXPECT_NE(audio->soundSourceForFile(GameSprite::kBounceSound), nullptr);
    // No bounce, no change.
    audio->setEffectsVolume(0.8f);
    big->setPosition(CGPointMake(10, 200));
    big->update(1.0f / 60);
    EXPECT_FLOAT_EQ(audio->effectsVolume(), 0.8f);
}

TEST_F(BallTest, OnATabletTheBounceVolumeUndoesTheLargerSize) {
    host::Device::current().configure(true, false, "");
    GameSprite* ball = plainBall();
    ball->setScale(0.6f);
    ball->setPosition(CGPointMake(10, 1));
    ball->setVelocity(CGPointMake(0, -50));
    ball->update(1.0f / 60);
    host::Device::current().configure(false, false, "");
    EXPECT_FLOAT_EQ(SimpleAudioEngine::sharedEngine()->effectsVolume(), 0.6f / 1.5f);
}

}  // namespace
