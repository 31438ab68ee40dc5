// The particle model: emission over time, lifetimes, both motion modes,
// interpolation and variance, the pool, position types and auto-remove.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <vector>

#include "ParticleTestSupport.h"
#include "engine/CCContentScale.h"
#include "engine/CCNode.h"
#include "engine/CCParticleSystem.h"
#include "engine/CCScheduler.h"
#include "engine/Support/ccUtils.h"

namespace {

class ParticleSystemTest : public ::testing::Test {
protected:
    void SetUp() override { srandom(1); }
    void TearDown() override {
        if (emitter_) discard(emitter_);
        pool_.drain();
    }
    RecordingEmitter* make(unsigned pool) {
        emitter_ = RecordingEmitter::make(pool);
        return emitter_;
    }

    host::AutoreleasePool pool_;
    RecordingEmitter* emitter_ = nullptr;
};

TEST_F(ParticleSystemTest, CreationDefaults) {
    host::AutoreleasePool pool;
    EXPECT_EQ(host::createOwned<CCParticleSystem>([](CCParticleSystem* p) { return p->init(); }), nullptr)
        << "an emitter without a pool size is refused";

    RecordingEmitter* e = make(50);
    EXPECT_TRUE(e->active());
    EXPECT_EQ(e->totalParticles(), 50u);
    EXPECT_EQ(e->particleCount(), 0u);
    EXPECT_EQ(e->positionType(), kCCPositionTypeFree);
    EXPECT_EQ(e->emitterMode(), kCCParticleModeGravity);
    EXPECT_FALSE(e->autoRemoveOnFinish());
    EXPECT_TRUE(ccBlendFuncIsDefault(e->blendFunc()));
    EXPECT_EQ(e->duration(), 0);
    EXPECT_EQ(e->emissionRate(), 0);
    EXPECT_EQ(e->texture(), nullptr);
    for (unsigned i = 0; i < 50; ++i) EXPECT_EQ(e->particles()[i].timeToLive, 0) << "the pool starts zeroed";
}

TEST_F(ParticleSystemTest, EmissionFollowsRateWithStrictComparison) {
    RecordingEmitter* e = make(100);
    e->makeStill(100, 4);  // one particle every 0.25 s
    // After the first frame the carried time equals the interval exactly:
    // nothing yet. From then on one particle per frame.
    e->step(0.25f);
    EXPECT_EQ(e->particleCount(), 0u);
    for (unsigned frame = 2; frame <= 6; ++frame) {
        e->step(0.25f);
        EXPECT_EQ(e->particleCount(), frame - 1) << "frame " << frame;
    }
    EXPECT_FLOAT_EQ(e->emitCounter(), 0.25f);
    EXPECT_EQ(e->postSteps, 6);
}

TEST_F(ParticleSystemTest, LongFramesEmitSeveralParticles) {
    RecordingEmitter* e = make(1000);
    e->makeStill(100, 16);  // interval 0.0625 s, exact in binary
    e->step(0.5f);          // 8 intervals, the last one not strictly exceeded
    EXPECT_EQ(e->particleCount(), 7u);
    e->step(0.5f);
    EXPECT_EQ(e->particleCount(), 15u);
    EXPECT_EQ(e->positions.size(), 15u) << "every live particle reaches the renderer";
    EXPECT_EQ(e->particleIdx(), e->particleCount());
}

TEST_F(ParticleSystemTest, ZeroRateEmitsNothingAndNeverEnds) {
    RecordingEmitter* e = make(10);
    e->makeStill(1, 0);
    e->setDuration(0.1f);
    for (int i = 0; i < 20; ++i) e->step(0.1f);
    EXPECT_EQ(e->particleCount(), 0u);
    EXPECT_EQ(e->elapsed(), 0);
    EXPECT_TRUE(e->active()) << "a finite duration never runs out without emission";
    // A rate below 0 is no rate either (it would fill the pool at once).
    e->setEmissionRate(-3);
    e->step(0.1f);
    EXPECT_EQ(e->particleCount(), 0u);
}

TEST_F(ParticleSystemTest, DurationStopsEmissionAndParticlesLiveOn) {
    RecordingEmitter* e = make(100);
    e->makeStill(1, 16);
    e->setDuration(0.2f);
    e->step(0.125f);  // 1 particle; elapsed 0.125
    EXPECT_TRUE(e->active());
    EXPECT_EQ(e->particleCount(), 1u);
    e->step(0.125f);  // 2 more; elapsed 0.25 > 0.2: stopped
    EXPECT_FALSE(e->active());
    EXPECT_EQ(e->particleCount(), 3u);
    EXPECT_FLOAT_EQ(e->elapsed(), 0.2f) << "stopping sets elapsed to the duration";
    EXPECT_EQ(e->emitCounter(), 0);
    e->step(0.125f);
    EXPECT_EQ(e->particleCount(), 3u) << "no more emission, the emitted ones live on";
}

TEST_F(ParticleSystemTest, ParticlesRetireAtTheEndOfTheirLife) {
    RecordingEmitter* e = make(10);
    e->makeStill(0.5f, 16);
    e->step(0.125f);  // born with 0.5 s, 0.125 of it spent in this frame
    e->stopSystem();
    ASSERT_EQ(e->particleCount(), 1u);
    EXPECT_FLOAT_EQ(e->particles()[0].timeToLive, 0.375f);
    for (int frame = 2; frame <= 3; ++frame) {
        e->step(0.125f);
        EXPECT_EQ(e->particleCount(), 1u) << "frame " << frame;
    }
    e->step(0.125f);  // 0.5 s after its birth its time to live is exactly 0: dead
    EXPECT_EQ(e->particleCount(), 0u);
    EXPECT_TRUE(e->positions.empty());
    EXPECT_EQ(e->particleIdx(), 0u);
}

TEST_F(ParticleSystemTest, DyingParticlesAreReplacedByTheLastLiveOne) {
    RecordingEmitter* e = make(10);
    e->makeStill(1, 16);
    e->setLifeVar(0.9f);  // lives from 0.1 to 1.9 s, in random order
    e->step(0.5f);
    e->stopSystem();
    const unsigned born = e->particleCount();
    ASSERT_GT(born, 3u);
    unsigned previous = born;
    for (int frame = 0; frame < 40 && e->particleCount() > 0; ++frame) {
        e->step(0.05f);
        EXPECT_LE(e->particleCount(), previous);
        previous = e->particleCount();
        EXPECT_EQ(e->positions.size(), e->particleCount());
        for (unsigned i = 0; i < e->particleCount(); ++i)
            EXPECT_GT(e->particles()[i].timeToLive, 0) << "live particles are the first particleCount";
    }
    EXPECT_EQ(e->particleCount(), 0u);
}

TEST_F(ParticleSystemTest, ThePoolNeverOverflows) {
    RecordingEmitter* e = make(5);
    e->makeStill(0.3f, 1000);
    for (int frame = 0; frame < 50; ++frame) {
        e->step(0.1f);
        EXPECT_LE(e->particleCount(), 5u);
        EXPECT_EQ(e->particleIdx(), e->particleCount());
    }
    e->step(0.001f);
    EXPECT_TRUE(e->isFull());
    EXPECT_FALSE(e->addParticle());
    EXPECT_EQ(e->particleCount(), 5u);
}

TEST_F(ParticleSystemTest, APoolOfOneWaitsForItsParticleToDie) {
    RecordingEmitter* e = make(1);
    e->makeStill(1, 100);
    e->step(0.125f);
    ASSERT_EQ(e->particleCount(), 1u);
    float life = e->particles()[0].timeToLive;
    for (int frame = 0; frame < 6; ++frame) {
        e->step(0.125f);
        EXPECT_EQ(e->particleCount(), 1u);
        EXPECT_EQ(e->particles()[0].timeToLive, life - 0.125f) << "still the same particle, ageing";
        life = e->particles()[0].timeToLive;
    }
    e->step(0.125f);  // the first particle dies
    EXPECT_EQ(e->particleCount(), 0u);
    e->step(0.125f);  // and the next one is born
    EXPECT_EQ(e->particleCount(), 1u);
    EXPECT_EQ(e->particles()[0].timeToLive, 0.875f);
}

TEST_F(ParticleSystemTest, TotalParticlesCannotExceedThePool) {
    RecordingEmitter* e = make(8);
    LogCapture log;
    e->setTotalParticles(9);
    EXPECT_EQ(e->totalParticles(), 8u);
    EXPECT_TRUE(log.exactlyOneLine());
    e->setTotalParticles(3);
    EXPECT_EQ(e->totalParticles(), 3u);
    e->makeStill(10, 1000);
    e->step(1);
    EXPECT_EQ(e->particleCount(), 3u);
}

TEST_F(ParticleSystemTest, GravityModeAcceleratesParticles) {
    RecordingEmitter* e = make(4);
    e->makeStill(10, 16);
    e->setPositionType(kCCPositionTypeGrouped);
    e->setGravity(CGPointMake(0, -10));
    e->setSpeed(20);
    e->setAngle(0);  // moving right at 20 points per second
    e->step(0.125f);
    ASSERT_EQ(e->particleCount(), 1u);
    const sCCParticle& p = e->particles()[0];
    EXPECT_FLOAT_EQ(p.mode.gravityMode.dir.x, 20);
    EXPECT_FLOAT_EQ(p.mode.gravityMode.dir.y, -1.25f);
    EXPECT_FLOAT_EQ(p.pos.x, 2.5f);
    EXPECT_FLOAT_EQ(p.pos.y, -1.25f * 0.125f);
}

TEST_F(ParticleSystemTest, RadialAndTangentialAccelerationFollowThePosition) {
    RecordingEmitter* e = make(4);
    e->makeStill(10, 16);
    e->setPositionType(kCCPositionTypeGrouped);
    e->setSourcePosition(CGPointMake(10, 0));  // to the right of the emitter
    e->setRadialAccel(8);                       // pushed outwards (+x)
    e->setTangentialAccel(4);                   // turned anticlockwise (+y)
    e->step(0.125f);
    ASSERT_EQ(e->particleCount(), 1u);
    const sCCParticle& p = e->particles()[0];
    EXPECT_FLOAT_EQ(p.mode.gravityMode.dir.x, 1);
    EXPECT_FLOAT_EQ(p.mode.gravityMode.dir.y, 0.5f);
    EXPECT_FLOAT_EQ(p.pos.x, 10.125f);

    // A particle exactly at the emitter has no radial direction.
    RecordingEmitter* centred = RecordingEmitter::make(4);
    centred->makeStill(10, 16);
    centred->setRadialAccel(8);
    centred->setTangentialAccel(4);
    centred->step(0.125f);
    EXPECT_EQ(centred->particles()[0].pos.x, 0);
    EXPECT_EQ(centred->particles()[0].pos.y, 0);
    discard(centred);
}

TEST_F(ParticleSystemTest, RadiusModeCirclesAndShrinks) {
    RecordingEmitter* e = make(4);
    e->makeStill(2, 16);
    e->setEmitterMode(kCCParticleModeRadius);
    e->setPositionType(kCCPositionTypeGrouped);
    e->setAngle(0);
    e->setStartRadius(100);
    e->setEndRadius(0);
    e->setRotatePerSecond(90);
    e->step(0.125f);
    e->stopSystem();
    ASSERT_EQ(e->particleCount(), 1u);
    // Born at angle 0, radius 100; the radius falls 50 per second.
    for (int frame = 1; frame <= 8; ++frame) {
        const sCCParticle& p = e->particles()[0];
        const float t = 0.125f * frame;
        const float angle = 0.017453292f * 90 * t;
        const float radius = 100 - 50 * t;
        EXPECT_NEAR(p.mode.radiusMode.radius, radius, 1e-3) << "t " << t;
        EXPECT_NEAR(p.pos.x, -std::cos(angle) * radius, 1e-3) << "t " << t;
        EXPECT_NEAR(p.pos.y, -std::sin(angle) * radius, 1e-3) << "t " << t;
        ASSERT_EQ(e->positions.size(), 1u);
        EXPECT_NEAR(e->positions[0].x, p.pos.x, 1e-4);
        e->step(0.125f);
    }
}

TEST_F(ParticleSystemTest, RadiusModeKeepsTheRadiusWhenAskedTo) {
    RecordingEmitter* e = make(4);
    e->makeStill(2, 16);
    e->setEmitterMode(kCCParticleModeRadius);
    e->setStartRadius(40);
    e->setEndRadius(kCCParticleStartRadiusEqualToEndRadius);
    e->setEndRadiusVar(30);
    e->setRotatePerSecond(180);
    e->step(0.125f);
    for (int i = 0; i < 5; ++i) e->step(0.125f);
    const sCCParticle& p = e->particles()[0];
    EXPECT_EQ(p.mode.radiusMode.deltaRadius, 0);
    EXPECT_NEAR(std::hypot(p.pos.x, p.pos.y), 40, 1e-4);
}

// The random numbers a particle draws, in order; the sequence must not
// change, or seeded runs stop being reproducible.
TEST_F(ParticleSystemTest, RandomNumbersAreDrawnInAFixedOrder) {
    for (const int mode : {int(kCCParticleModeGravity), int(kCCParticleModeRadius)}) {
        for (const float endSize : {kCCParticleStartSizeEqualToEndSize, 12.0f}) {
            RecordingEmitter* e = RecordingEmitter::make(2);
            e->setEmitterMode(mode);
            e->setLife(2), e->setLifeVar(0.5f);
            e->setSourcePosition(CGPointMake(5, 6)), e->setPosVar(CGPointMake(3, 4));
            e->setStartColor({0.5f, 0.5f, 0.5f, 0.5f}), e->setStartColorVar({0.1f, 0.2f, 0.3f, 0.4f});
            e->setEndColor({0.4f, 0.4f, 0.4f, 0.4f}), e->setEndColorVar({0.1f, 0.1f, 0.1f, 0.1f});
            e->setStartSize(20), e->setStartSizeVar(5), e->setEndSize(endSize), e->setEndSizeVar(2);
            e->setStartSpin(10), e->setStartSpinVar(5), e->setEndSpin(30), e->setEndSpinVar(5);
            e->setAngle(45), e->setAngleVar(10);
            if (mode == kCCParticleModeGravity) {
                e->setSpeed(50), e->setSpeedVar(10), e->setRadialAccel(3), e->setRadialAccelVar(1);
                e->setTangentialAccel(2), e->setTangentialAccelVar(1);
            } else {
                e->setStartRadius(50), e->setStartRadiusVar(10), e->setEndRadius(-1), e->setEndRadiusVar(7);
                e->setRotatePerSecond(30), e->setRotatePerSecondVar(10);
            }

            srandom(42);
            sCCParticle p{};
            e->initParticle(&p);

            srandom(42);
            auto r = [] { return CCRANDOM_MINUS1_1(); };
            const float ttl = 2 + 0.5f * r();
            EXPECT_FLOAT_EQ(p.timeToLive, ttl);
            EXPECT_FLOAT_EQ(p.pos.x, 5 + 3 * r());
            EXPECT_FLOAT_EQ(p.pos.y, 6 + 4 * r());
            const float sr = 0.5f + 0.1f * r(), sg = 0.5f + 0.2f * r(), sb = 0.5f + 0.3f * r();
            const float sa = std::min(1.0f, std::max(0.0f, 0.5f + 0.4f * r()));
            const float er = 0.4f + 0.1f * r();
            r(), r();
            const float ea = 0.4f + 0.1f * r();
            EXPECT_FLOAT_EQ(p.color.r, sr);
            EXPECT_FLOAT_EQ(p.color.g, sg);
            EXPECT_FLOAT_EQ(p.color.b, sb);
            EXPECT_FLOAT_EQ(p.color.a, sa);
            EXPECT_FLOAT_EQ(p.deltaColor.r, (er - sr) / ttl);
            EXPECT_FLOAT_EQ(p.deltaColor.a, (ea - sa) / ttl);
            const float startSize = 20 + 5 * r();
            EXPECT_FLOAT_EQ(p.size, startSize);
            if (endSize == 12.0f) {
                EXPECT_FLOAT_EQ(p.deltaSize, (12 + 2 * r() - startSize) / ttl);
            } else {
                EXPECT_EQ(p.deltaSize, 0) << "no number drawn for a kept size";
            }
            const float startSpin = 10 + 5 * r();
            const float endSpin = 30 + 5 * r();
            EXPECT_FLOAT_EQ(p.rotation, startSpin);
            EXPECT_FLOAT_EQ(p.deltaRotation, (endSpin - startSpin) / ttl);
            const float a = (45 + 10 * r()) * 0.017453292f;
            if (mode == kCCParticleModeGravity) {
                const float v = 50 + 10 * r();
                EXPECT_FLOAT_EQ(p.mode.gravityMode.dir.x, std::cos(a) * v);
                EXPECT_FLOAT_EQ(p.mode.gravityMode.dir.y, std::sin(a) * v);
                EXPECT_FLOAT_EQ(p.mode.gravityMode.radialAccel, 3 + r());
                EXPECT_FLOAT_EQ(p.mode.gravityMode.tangentialAccel, 2 + r());
            } else {
                EXPECT_FLOAT_EQ(p.mode.radiusMode.radius, 50 + 10 * r());
                r();  // the end radius is drawn although it is kept
                EXPECT_EQ(p.mode.radiusMode.deltaRadius, 0);
                EXPECT_FLOAT_EQ(p.mode.radiusMode.angle, a);
                EXPECT_FLOAT_EQ(p.mode.radiusMode.degreesPerSecond, (30 + 10 * r()) * 0.017453292f);
            }
            discard(e);
        }
    }
}

TEST_F(ParticleSystemTest, ColourAndSizeInterpolateOverTheLife) {
    RecordingEmitter* e = make(4);
    e->makeStill(1, 16);
    e->setStartColor({1, 0.5f, 0, 1});
    e->setEndColor({0, 0.5f, 1, 0});
    e->setStartSize(10);
    e->setEndSize(30);
    e->step(0.125f);
    e->stopSystem();
    e->step(0.125f);  // a quarter of the life gone
    const sCCParticle& p = e->particles()[0];
    EXPECT_FLOAT_EQ(p.color.r, 0.75f);
    EXPECT_FLOAT_EQ(p.color.g, 0.5f);
    EXPECT_FLOAT_EQ(p.color.b, 0.25f);
    EXPECT_FLOAT_EQ(p.color.a, 0.75f);
    EXPECT_FLOAT_EQ(p.size, 15);
    for (int i = 0; i < 4; ++i) e->step(0.125f);
    EXPECT_FLOAT_EQ(e->particles()[0].size, 25);
}

TEST_F(ParticleSystemTest, EndSizeZeroShrinksToNothingAndMinusOneKeeps) {
    for (const float endSize : {0.0f, kCCParticleStartSizeEqualToEndSize}) {
        RecordingEmitter* e = RecordingEmitter::make(4);
        e->makeStill(1, 16);
        e->setStartSize(16);
        e->setEndSize(endSize);
        e->step(0.125f);
        e->stopSystem();
        for (int i = 0; i < 6; ++i) e->step(0.125f);
        // 0.125 s of life left.
        EXPECT_FLOAT_EQ(e->particles()[0].size, endSize == 0 ? 2.0f : 16.0f);
        discard(e);
    }
}

TEST_F(ParticleSystemTest, VariancesAreClampedAtBirth) {
    RecordingEmitter* e = make(2000);
    e->makeStill(1, 1e6f);
    e->setStartColor({0.9f, 0.1f, 0.5f, 1});
    e->setStartColorVar({0.5f, 0.5f, 0, 0.5f});
    e->setEndColor({0, 0, 0, 0});
    e->setEndColorVar({2, 2, 2, 2});
    e->setStartSize(4);
    e->setStartSizeVar(10);
    e->setEndSize(2);
    e->setEndSizeVar(10);
    e->setLifeVar(3);
    std::vector<sCCParticle> born(2000);
    int redAtOne = 0, greenAtZero = 0, sizeZero = 0, bornDead = 0;
    for (sCCParticle& p : born) {
        e->initParticle(&p);
        for (float c : {p.color.r, p.color.g, p.color.b, p.color.a}) {
            EXPECT_GE(c, 0);
            EXPECT_LE(c, 1);
        }
        EXPECT_GE(p.size, 0);
        EXPECT_GE(p.timeToLive, 0);
        redAtOne += p.color.r == 1;
        greenAtZero += p.color.g == 0;
        sizeZero += p.size == 0;
        bornDead += p.timeToLive == 0;
    }
    EXPECT_GT(redAtOne, 0);
    EXPECT_GT(greenAtZero, 0);
    EXPECT_GT(sizeZero, 0);
    EXPECT_GT(bornDead, 0);

    // Particles born without a life have infinite deltas; they are retired
    // in their first update, before the deltas are used.
    e->step(0.01f);
    ASSERT_GT(e->particleCount(), 0u);
    ASSERT_LT(e->particleCount(), 2000u);
    for (unsigned i = 0; i < e->particleCount(); ++i) {
        const sCCParticle& p = e->particles()[i];
        EXPECT_TRUE(std::isfinite(p.color.r) && std::isfinite(p.size)) << "particle " << i;
        for (float c : {p.color.r, p.color.g, p.color.b, p.color.a}) {
            EXPECT_GE(c, -1e-3);
            EXPECT_LE(c, 1 + 1e-3);
        }
    }
}

TEST_F(ParticleSystemTest, SourcePositionAndContentScaleSetPixels) {
    RecordingEmitter* e = make(4);
    e->makeStill(1, 16);
    e->setPositionType(kCCPositionTypeGrouped);
    e->setSourcePosition(CGPointMake(7, -3));
    e->setStartSize(5);
    const float saved = __ccContentScaleFactor;
    __ccContentScaleFactor = 2;
    e->step(0.125f);
    __ccContentScaleFactor = saved;
    const sCCParticle& p = e->particles()[0];
    EXPECT_FLOAT_EQ(p.pos.x, 14);
    EXPECT_FLOAT_EQ(p.pos.y, -6);
    EXPECT_FLOAT_EQ(p.size, 10);
}

// ---- Position types ---------------------------------------------------

struct MovedEmitter {
    CGPoint afterEmitterMoved;
    CGPoint afterParentMoved;
};

// One particle emitted at the emitter, then the emitter and then its
// parent moved by (10, 0) each: where does the renderer draw it?
MovedEmitter moveAround(tCCPositionType type) {
    host::AutoreleasePool pool;
    CCNode* parent = CCNode::node();
    parent->setPosition(CGPointMake(100, 50));
    RecordingEmitter* e = RecordingEmitter::make(4);
    parent->addChild(e);
    e->setPosition(CGPointMake(20, 20));
    e->makeStill(10, 16);
    e->setPositionType(type);
    e->step(0.125f);
    e->stopSystem();
    MovedEmitter out{};
    e->setPosition(CGPointMake(30, 20));
    e->step(0.125f);
    out.afterEmitterMoved = e->positions.at(0);
    parent->setPosition(CGPointMake(110, 50));
    e->step(0.125f);
    out.afterParentMoved = e->positions.at(0);
    parent->removeChild(e, true);
    e->release();
    return out;
}

TEST(ParticlePositionTypes, FreeParticlesStayInWorldSpace) {
    const MovedEmitter m = moveAround(kCCPositionTypeFree);
    EXPECT_FLOAT_EQ(m.afterEmitterMoved.x, -10);
    EXPECT_FLOAT_EQ(m.afterParentMoved.x, -20);
    EXPECT_FLOAT_EQ(m.afterParentMoved.y, 0);
}

TEST(ParticlePositionTypes, RelativeParticlesStayInTheParentsSpace) {
    const MovedEmitter m = moveAround(kCCPositionTypeRelative);
    EXPECT_FLOAT_EQ(m.afterEmitterMoved.x, -10);
    EXPECT_FLOAT_EQ(m.afterParentMoved.x, -10) << "they follow the parent";
}

TEST(ParticlePositionTypes, GroupedParticlesMoveWithTheEmitter) {
    const MovedEmitter m = moveAround(kCCPositionTypeGrouped);
    EXPECT_FLOAT_EQ(m.afterEmitterMoved.x, 0);
    EXPECT_FLOAT_EQ(m.afterParentMoved.x, 0);
}

// ---- Stopping, resetting and removing ----------------------------------

TEST_F(ParticleSystemTest, ResetKillsLiveParticlesAndEmitsAgain) {
    RecordingEmitter* e = make(50);
    e->makeStill(10, 16);
    e->setDuration(0.3f);
    for (int i = 0; i < 4; ++i) e->step(0.125f);
    EXPECT_FALSE(e->active());
    const unsigned before = e->particleCount();
    ASSERT_GT(before, 0u);
    e->resetSystem();
    EXPECT_TRUE(e->active());
    EXPECT_EQ(e->elapsed(), 0);
    e->step(0.125f);
    EXPECT_EQ(e->particleCount(), 1u) << "the old particles die, emission restarts";
}

class ParticleAutoRemoveTest : public ::testing::Test {
protected:
    void SetUp() override {
        parent_ = CCNode::node();
        parent_->retain();
        emitter_ = RecordingEmitter::make(20);
        parent_->addChild(emitter_);
        emitter_->makeStill(0.25f, 16);
        emitter_->setDuration(0.1f);
    }
    void TearDown() override {
        if (emitter_->parent()) parent_->removeChild(emitter_, true);
        discard(emitter_);
        parent_->release();
        pool_.drain();
    }
    // Frames of 0.0625 s until the emitter has no particles left.
    int runUntilEmpty() {
        int frames = 0;
        do {
            emitter_->step(0.0625f);
            ++frames;
        } while (emitter_->particleCount() > 0 && frames < 100);
        return frames;
    }

    host::AutoreleasePool pool_;
    CCNode* parent_ = nullptr;
    RecordingEmitter* emitter_ = nullptr;
};

TEST_F(ParticleAutoRemoveTest, TheEmitterLeavesWhenTheLastParticleDies) {
    emitter_->setAutoRemoveOnFinish(true);
    emitter_->step(0.0625f);
    emitter_->step(0.0625f);  // elapsed 0.125 > 0.1: stopped, one particle
    ASSERT_FALSE(emitter_->active());
    ASSERT_EQ(emitter_->particleCount(), 1u);
    EXPECT_EQ(emitter_->parent(), parent_);
    emitter_->step(0.0625f);
    emitter_->step(0.0625f);
    EXPECT_EQ(emitter_->parent(), parent_) << "still a particle alive";
    emitter_->step(0.0625f);  // the last particle dies
    EXPECT_EQ(emitter_->parent(), nullptr);
    EXPECT_EQ(parent_->children()->count(), 0u);
    EXPECT_EQ(emitter_->postSteps, 4) << "the update returns at once";
}

TEST_F(ParticleAutoRemoveTest, WithoutAutoRemoveTheEmitterStays) {
    runUntilEmpty();
    EXPECT_EQ(emitter_->particleCount(), 0u);
    EXPECT_EQ(emitter_->parent(), parent_);
}

TEST_F(ParticleAutoRemoveTest, AnEmitterStillEmittingIsNotFinished) {
    emitter_->setAutoRemoveOnFinish(true);
    emitter_->setDuration(kCCParticleDurationInfinity);
    emitter_->setEmissionRate(2);  // one particle every 0.5 s, living 0.25 s
    for (int i = 0; i < 40; ++i) emitter_->step(0.0625f);
    EXPECT_EQ(emitter_->parent(), parent_) << "empty moments while emitting do not end it";
    emitter_->step(0.0625f);
    emitter_->resetSystem();  // every live particle dies at the next update
    emitter_->step(0.0625f);
    EXPECT_EQ(emitter_->parent(), parent_) << "a reset is a new start, not an end";
}

TEST(ParticleScheduling, TheSchedulerDrivesARunningEmitter) {
    host::AutoreleasePool pool;
    CCNode* root = CCNode::node();
    root->retain();
    RecordingEmitter* e = RecordingEmitter::make(100);
    e->makeStill(10, 16);
    root->addChild(e);
    CCScheduler* scheduler = CCScheduler::sharedScheduler();
    scheduler->tick(0.5f);
    EXPECT_EQ(e->particleCount(), 0u) << "paused until the node runs";
    root->onEnter();
    scheduler->tick(0.5f);
    EXPECT_EQ(e->particleCount(), 7u);
    root->onExit();
    root->removeChild(e, true);
    e->release();
    root->release();
}

}  // namespace
