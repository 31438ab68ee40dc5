// The eleven preset emitters: their parameters, the game's fireworks from
// first spark to self-removal, and every preset drawing on real GL.
#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "ParticleTestSupport.h"
#include "RenderFixture.h"
#include "engine/CCParticleExamples.h"
#include "engine/CCTextureCache.h"

namespace {

struct PresetExpectation {
    const char* name;
    std::function<CCParticleSystem*()> make;  // with the preset's own count
    unsigned count;
    float duration;
    float emissionRate;
    CGPoint gravity;
    float speed, speedVar, radialAccel, tangentialAccel;
    float angle, angleVar;
    CGPoint position;  // in a 320 x 480 window
    CGPoint posVar;
    float life, lifeVar, startSize, startSizeVar;
    ccColor4F startColor, startColorVar, endColor, endColorVar;
    bool additive;
    bool textured;
};

template <class T> std::function<CCParticleSystem*()> maker() {
    return [] { return static_cast<CCParticleSystem*>(T::node()); };
}

const ccColor4F kNone{0, 0, 0, 0};
const ccColor4F kBlack{0, 0, 0, 1};
const ccColor4F kGrey{0.5f, 0.5f, 0.5f, 0};

std::vector<PresetExpectation> expectations() {
    return {
        {"Fireworks", maker<CCParticleFireworks>(), 1500, 0.1f, 3000, {0, -10}, 100, 20, 0, 0, 90, 270, {160, 240},
         {0, 0}, 0.5f, 0.1f, 8, 2, {1, 0, 0, 1}, {0.1f, 0, 0, 0}, {1, 0, 0, 1}, kNone, false, false},
        {"Fire", maker<CCParticleFire>(), 250, -1, 250 / 3.0f, {0, 0}, 60, 20, 0, 0, 90, 10, {160, 60}, {40, 20}, 3,
         0.25f, 54, 10, {0.76f, 0.25f, 0.12f, 1}, kNone, kBlack, kNone, true, true},
        {"Sun", maker<CCParticleSun>(), 350, -1, 350, {0, 0}, 20, 5, 0, 0, 90, 360, {160, 240}, {0, 0}, 1, 0.5f, 30,
         10, {0.76f, 0.25f, 0.12f, 1}, kNone, kBlack, kNone, true, true},
        {"Galaxy", maker<CCParticleGalaxy>(), 200, -1, 50, {0, 0}, 60, 10, -80, 80, 90, 360, {160, 240}, {0, 0}, 4,
         1, 37, 10, {0.12f, 0.25f, 0.76f, 1}, kNone, kBlack, kNone, true, true},
        {"Flower", maker<CCParticleFlower>(), 250, -1, 62.5f, {0, 0}, 80, 10, -60, 15, 90, 360, {160, 240}, {0, 0}, 4,
         1, 30, 10, {0.5f, 0.5f, 0.5f, 1}, {0.5f, 0.5f, 0.5f, 0.5f}, kBlack, kNone, true, true},
        {"Meteor", maker<CCParticleMeteor>(), 150, -1, 75, {-200, 200}, 15, 5, 0, 0, 90, 360, {160, 240}, {0, 0}, 2,
         1, 60, 10, {0.2f, 0.4f, 0.7f, 1}, {0, 0, 0.2f, 0.1f}, kBlack, kNone, true, true},
        {"Spiral", maker<CCParticleSpiral>(), 500, -1, 500 / 12.0f, {0, 0}, 150, 0, -380, 45, 90, 0, {160, 240},
         {0, 0}, 12, 0, 20, 0, {0.5f, 0.5f, 0.5f, 1}, kGrey, {0.5f, 0.5f, 0.5f, 1}, kGrey, false, true},
        {"Explosion", maker<CCParticleExplosion>(), 700, 0.1f, 7000, {0, 0}, 70, 40, 0, 0, 90, 360, {160, 240},
         {0, 0}, 5, 2, 15, 10, {0.7f, 0.1f, 0.2f, 1}, kGrey, kGrey, kGrey, false, true},
        {"Smoke", maker<CCParticleSmoke>(), 200, -1, 50, {0, 0}, 25, 10, 0, 0, 90, 5, {160, 0}, {20, 0}, 4, 1, 60, 10,
         {0.8f, 0.8f, 0.8f, 1}, {0.02f, 0.02f, 0.02f, 0}, kBlack, kNone, false, true},
        {"Snow", maker<CCParticleSnow>(), 700, -1, 10, {0, -1}, 5, 1, 0, 0, -90, 5, {160, 490}, {160, 0}, 45, 15, 10,
         5, {1, 1, 1, 1}, kNone, {1, 1, 1, 0}, kNone, false, true},
        {"Rain", maker<CCParticleRain>(), 1000, -1, 20, {10, -10}, 130, 30, 0, 0, -90, 5, {160, 480}, {160, 0}, 4.5f,
         0, 4, 2, {0.7f, 0.8f, 1, 1}, kNone, {0.7f, 0.8f, 1, 0.5f}, kNone, false, true},
    };
}

void expectColor(ccColor4F actual, ccColor4F expected, const char* what) {
    EXPECT_FLOAT_EQ(actual.r, expected.r) << what;
    EXPECT_FLOAT_EQ(actual.g, expected.g) << what;
    EXPECT_FLOAT_EQ(actual.b, expected.b) << what;
    EXPECT_FLOAT_EQ(actual.a, expected.a) << what;
}

class ParticlePresetTest : public RenderFixture {
protected:
    ScopedResources resources_;
};

TEST_F(ParticlePresetTest, EveryPresetHasItsParameters) {
    CCTexture2D* fire = CCTextureCache::sharedTextureCache()->addImage("fire.png");
    ASSERT_NE(fire, nullptr);
    for (const PresetExpectation& x : expectations()) {
        SCOPED_TRACE(x.name);
        CCParticleSystem* p = x.make();
        ASSERT_NE(p, nullptr);
        EXPECT_EQ(p->totalParticles(), x.count);
        EXPECT_FLOAT_EQ(p->duration(), x.duration);
        EXPECT_FLOAT_EQ(p->emissionRate(), x.emissionRate);
        EXPECT_EQ(p->emitterMode(), kCCParticleModeGravity);
        EXPECT_FLOAT_EQ(p->gravity().x, x.gravity.x);
        EXPECT_FLOAT_EQ(p->gravity().y, x.gravity.y);
        EXPECT_FLOAT_EQ(p->speed(), x.speed);
        EXPECT_FLOAT_EQ(p->speedVar(), x.speedVar);
        EXPECT_FLOAT_EQ(p->radialAccel(), x.radialAccel);
        EXPECT_FLOAT_EQ(p->tangentialAccel(), x.tangentialAccel);
        EXPECT_FLOAT_EQ(p->angle(), x.angle);
        EXPECT_FLOAT_EQ(p->angleVar(), x.angleVar);
        EXPECT_FLOAT_EQ(p->position().x, x.position.x);
        EXPECT_FLOAT_EQ(p->position().y, x.position.y);
        EXPECT_FLOAT_EQ(p->posVar().x, x.posVar.x);
        EXPECT_FLOAT_EQ(p->posVar().y, x.posVar.y);
        EXPECT_FLOAT_EQ(p->life(), x.life);
        EXPECT_FLOAT_EQ(p->lifeVar(), x.lifeVar);
        EXPECT_FLOAT_EQ(p->startSize(), x.startSize);
        EXPECT_FLOAT_EQ(p->startSizeVar(), x.startSizeVar);
        EXPECT_FLOAT_EQ(p->endSize(), kCCParticleStartSizeEqualToEndSize);
        expectColor(p->startColor(), x.startColor, "start colour");
        expectColor(p->startColorVar(), x.startColorVar, "start colour variance");
        expectColor(p->endColor(), x.endColor, "end colour");
        expectColor(p->endColorVar(), x.endColorVar, "end colour variance");
        EXPECT_EQ(p->startSpin(), 0);
        EXPECT_EQ(p->endSpin(), 0);
        EXPECT_EQ(p->blendAdditive(), x.additive);
        if (!x.additive) {
            EXPECT_TRUE(ccBlendFuncIsDefault(p->blendFunc())) << "premultiplied or no texture";
        }
        EXPECT_EQ(p->texture(), x.textured ? fire : nullptr);
    }
}

TEST_F(ParticlePresetTest, PresetsTakeAnyCount) {
    CCParticleSnow* snow = CCParticleSnow::particleWithTotalParticles(77);
    ASSERT_NE(snow, nullptr);
    EXPECT_EQ(snow->totalParticles(), 77u);
    EXPECT_FLOAT_EQ(snow->emissionRate(), 10) << "a fixed rate";
    CCParticleExplosion* explosion = CCParticleExplosion::particleWithTotalParticles(70);
    EXPECT_FLOAT_EQ(explosion->emissionRate(), 700) << "count over duration";
    CCParticleFire* fire = CCParticleFire::particleWithTotalParticles(30);
    EXPECT_FLOAT_EQ(fire->emissionRate(), 10) << "count over life";
}

// The game's crash: 1000 particles at 2000 a second for a tenth of a
// second, each living 0.4 to 0.6 s; the emitter leaves the scene in the
// update in which the last one dies.
TEST_F(ParticlePresetTest, TheGamesFireworksBurstAndRemoveThemselves) {
    CCParticleFireworks* fireworks = CCParticleFireworks::particleWithTotalParticles(1000);
    ASSERT_NE(fireworks, nullptr);
    EXPECT_FLOAT_EQ(fireworks->emissionRate(), 2000);
    fireworks->setTexture(CCTextureCache::sharedTextureCache()->addImage("fire.png"));
    fireworks->setAutoRemoveOnFinish(true);
    fireworks->setPosition(CGPointMake(100, 40));
    fireworks->unscheduleUpdate();
    fireworks->retain();
    scene_->addChild(fireworks);

    const float dt = 1.0f / 60;
    unsigned most = 0;
    int frames = 0, lastEmittingFrame = 0;
    while (fireworks->parent() && frames < 120) {
        const bool emitting = fireworks->active();
        fireworks->update(dt);
        ++frames;
        if (emitting) lastEmittingFrame = frames;
        most = std::max(most, fireworks->particleCount());
        for (unsigned i = 0; i < fireworks->particleCount(); ++i)
            EXPECT_LT(fireworks->particles()[i].timeToLive, 0.6f);
        frame();
    }
    EXPECT_EQ(fireworks->parent(), nullptr) << "removed itself";
    EXPECT_GE(most, 190u);
    EXPECT_LE(most, 240u) << "about 200 particles";
    const float lifetime = (frames - lastEmittingFrame) * dt;
    EXPECT_GE(lifetime, 0.35f);
    EXPECT_LE(lifetime, 0.65f);
    EXPECT_EQ(fireworks->particleCount(), 0u);
    fireworks->release();
}

TEST_F(ParticlePresetTest, TheFireworksLightUpTheScreen) {
    CCParticleFireworks* fireworks = CCParticleFireworks::node();
    fireworks->setTexture(CCTextureCache::sharedTextureCache()->addImage("fire.png"));
    scene_->addChild(fireworks);
    fireworks->unscheduleUpdate();
    for (int i = 0; i < 12; ++i) fireworks->update(1.0f / 60);
    frame();
    int red = 0, other = 0;
    for (int y = 140; y < 340; y += 2)
        for (int x = 60; x < 260; x += 2) {
            const ccColor4B c = pixelAt(x, y);
            red += c.r > 100;
            other += c.g > 40 || c.b > 40;
        }
    EXPECT_GT(red, 200) << "red sparks round the centre";
    EXPECT_EQ(other, 0) << "and nothing but red";
}

TEST_F(ParticlePresetTest, EveryPresetDraws) {
    for (const PresetExpectation& x : expectations()) {
        SCOPED_TRACE(x.name);
        host::AutoreleasePool pool;
        CCParticleSystem* p = x.make();
        p->unscheduleUpdate();
        p->setPosition(CGPointMake(160, 240));  // snow starts above the window
        scene_->addChild(p);
        for (int i = 0; i < 10; ++i) p->update(1.0f / 30);  // a third of a second
        frame();
        EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
        EXPECT_GT(p->particleCount(), 0u);
        std::vector<ccColor4B> pixels(320 * 480);
        glReadPixels(0, 0, 320, 480, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
        int lit = 0;
        for (const ccColor4B& c : pixels) lit += c.r + c.g + c.b > 60;
        EXPECT_GT(lit, 20) << "something on the screen";
        scene_->removeChild(p, true);
    }
}

}  // namespace
