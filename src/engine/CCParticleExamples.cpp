#include "engine/CCParticleExamples.h"

#include "engine/CCDirector.h"
#include "engine/CCTextureCache.h"

namespace {

// How a preset's emission rate follows from its count.
enum class Emission { CountPerLife, CountPerDuration, Fixed };

// How a preset blends: the default for its texture, or additive
// (GL_SRC_ALPHA, GL_ONE) chosen after or before the texture is set.
enum class Blend { Normal, AdditiveAfterTexture, AdditiveBeforeTexture };

// Positions in points from the window size.
using PlaceFunction = CGPoint (*)(CGSize window);

CGPoint zero(CGSize) { return CGPointZero; }
CGPoint centre(CGSize w) { return CGPointMake(w.width / 2, w.height / 2); }
CGPoint halfWidthAcross(CGSize w) { return CGPointMake(w.width / 2, 0); }

struct ParticlePreset {
    unsigned defaultCount;
    float duration;
    CGPoint gravity;
    float speed, speedVar;
    float radialAccel, radialAccelVar;
    float tangentialAccel, tangentialAccelVar;
    float angle, angleVar;
    PlaceFunction position;
    PlaceFunction posVar;
    float life, lifeVar;
    float startSize, startSizeVar;
    ccColor4F startColor, startColorVar;
    ccColor4F endColor, endColorVar;
    Emission emission;
    float fixedEmissionRate;  // for Emission::Fixed
    Blend blend;
    bool textured;  // "fire.png"
};

constexpr ccColor4F kNoColor{0, 0, 0, 0};
constexpr ccColor4F kOpaqueBlack{0, 0, 0, 1};
constexpr ccColor4F kHalfGrey{0.5f, 0.5f, 0.5f, 0};

// clang-format off
const ParticlePreset kFireworks{
    1500, 0.1f, {0, -10}, 100, 20, 0, 0, 0, 0, 90, 270, centre, zero, 0.5f, 0.1f, 8, 2,
    {1, 0, 0, 1}, {0.1f, 0, 0, 0}, {1, 0, 0, 1}, kNoColor,
    Emission::CountPerLife, 0, Blend::Normal, false};
const ParticlePreset kFire{
    250, -1, {0, 0}, 60, 20, 0, 0, 0, 0, 90, 10,
    [](CGSize w) { return CGPointMake(w.width / 2, 60); }, [](CGSize) { return CGPointMake(40, 20); },
    3, 0.25f, 54, 10, {0.76f, 0.25f, 0.12f, 1}, kNoColor, kOpaqueBlack, kNoColor,
    Emission::CountPerLife, 0, Blend::AdditiveAfterTexture, true};
const ParticlePreset kSun{
    350, -1, {0, 0}, 20, 5, 0, 0, 0, 0, 90, 360, centre, zero, 1, 0.5f, 30, 10,
    {0.76f, 0.25f, 0.12f, 1}, kNoColor, kOpaqueBlack, kNoColor,
    Emission::CountPerLife, 0, Blend::AdditiveBeforeTexture, true};
const ParticlePreset kGalaxy{
    200, -1, {0, 0}, 60, 10, -80, 0, 80, 0, 90, 360, centre, zero, 4, 1, 37, 10,
    {0.12f, 0.25f, 0.76f, 1}, kNoColor, kOpaqueBlack, kNoColor,
    Emission::CountPerLife, 0, Blend::AdditiveAfterTexture, true};
const ParticlePreset kFlower{
    250, -1, {0, 0}, 80, 10, -60, 0, 15, 0, 90, 360, centre, zero, 4, 1, 30, 10,
    {0.5f, 0.5f, 0.5f, 1}, {0.5f, 0.5f, 0.5f, 0.5f}, kOpaqueBlack, kNoColor,
    Emission::CountPerLife, 0, Blend::AdditiveAfterTexture, true};
const ParticlePreset kMeteor{
    150, -1, {-200, 200}, 15, 5, 0, 0, 0, 0, 90, 360, centre, zero, 2, 1, 60, 10,
    {0.2f, 0.4f, 0.7f, 1}, {0, 0, 0.2f, 0.1f}, kOpaqueBlack, kNoColor,
    Emission::CountPerLife, 0, Blend::AdditiveAfterTexture, true};
const ParticlePreset kSpiral{
    500, -1, {0, 0}, 150, 0, -380, 0, 45, 0, 90, 0, centre, zero, 12, 0, 20, 0,
    {0.5f, 0.5f, 0.5f, 1}, kHalfGrey, {0.5f, 0.5f, 0.5f, 1}, kHalfGrey,
    Emission::CountPerLife, 0, Blend::Normal, true};
const ParticlePreset kExplosion{
    700, 0.1f, {0, 0}, 70, 40, 0, 0, 0, 0, 90, 360, centre, zero, 5, 2, 15, 10,
    {0.7f, 0.1f, 0.2f, 1}, kHalfGrey, kHalfGrey, kHalfGrey,
    Emission::CountPerDuration, 0, Blend::Normal, true};
const ParticlePreset kSmoke{
    200, -1, {0, 0}, 25, 10, 0, 0, 0, 0, 90, 5, halfWidthAcross, [](CGSize) { return CGPointMake(20, 0); },
    4, 1, 60, 10, {0.8f, 0.8f, 0.8f, 1}, {0.02f, 0.02f, 0.02f, 0}, kOpaqueBlack, kNoColor,
    Emission::CountPerLife, 0, Blend::Normal, true};
const ParticlePreset kSnow{
    700, -1, {0, -1}, 5, 1, 0, 1, 0, 1, -90, 5,
    [](CGSize w) { return CGPointMake(w.width / 2, w.height + 10); }, halfWidthAcross,
    45, 15, 10, 5, {1, 1, 1, 1}, kNoColor, {1, 1, 1, 0}, kNoColor,
    Emission::Fixed, 10, Blend::Normal, true};
const ParticlePreset kRain{
    1000, -1, {10, -10}, 130, 30, 0, 1, 0, 1, -90, 5,
    [](CGSize w) { return CGPointMake(w.width / 2, w.height); }, halfWidthAcross,
    4.5f, 0, 4, 2, {0.7f, 0.8f, 1, 1}, kNoColor, {0.7f, 0.8f, 1, 0.5f}, kNoColor,
    Emission::Fixed, 20, Blend::Normal, true};
// clang-format on

void applyPreset(CCParticleSystem* p, const ParticlePreset& v) {
    p->setDuration(v.duration);
    p->setEmitterMode(kCCParticleModeGravity);
    p->setGravity(v.gravity);
    p->setSpeed(v.speed);
    p->setSpeedVar(v.speedVar);
    p->setRadialAccel(v.radialAccel);
    p->setRadialAccelVar(v.radialAccelVar);
    p->setTangentialAccel(v.tangentialAccel);
    p->setTangentialAccelVar(v.tangentialAccelVar);
    p->setAngle(v.angle);
    p->setAngleVar(v.angleVar);

    const CGSize window = CCDirector::sharedDirector()->winSize();
    p->setPosition(v.position(window));
    p->setPosVar(v.posVar(window));

    p->setLife(v.life);
    p->setLifeVar(v.lifeVar);
    p->setStartSize(v.startSize);
    p->setStartSizeVar(v.startSizeVar);
    p->setEndSize(kCCParticleStartSizeEqualToEndSize);
    p->setStartColor(v.startColor);
    p->setStartColorVar(v.startColorVar);
    p->setEndColor(v.endColor);
    p->setEndColorVar(v.endColorVar);

    const float count = float(p->totalParticles());
    switch (v.emission) {
        case Emission::CountPerLife: p->setEmissionRate(count / v.life); break;
        case Emission::CountPerDuration: p->setEmissionRate(count / v.duration); break;
        case Emission::Fixed: p->setEmissionRate(v.fixedEmissionRate); break;
    }

    if (v.blend == Blend::AdditiveBeforeTexture) p->setBlendAdditive(true);
    if (v.textured) p->setTexture(CCTextureCache::sharedTextureCache()->addImage("fire.png"));
    if (v.blend != Blend::AdditiveBeforeTexture) p->setBlendAdditive(v.blend == Blend::AdditiveAfterTexture);
}

}  // namespace

#define CC_DEFINE_PARTICLE_PRESET(Name, preset)                                         \
    bool Name::init() { return initWithTotalParticles(preset.defaultCount); }           \
    bool Name::initWithTotalParticles(unsigned numberOfParticles) {                     \
        if (!CCParticleSystemPoint::initWithTotalParticles(numberOfParticles)) return false; \
        applyPreset(this, preset);                                                      \
        return true;                                                                    \
    }

CC_DEFINE_PARTICLE_PRESET(CCParticleFireworks, kFireworks)
CC_DEFINE_PARTICLE_PRESET(CCParticleFire, kFire)
CC_DEFINE_PARTICLE_PRESET(CCParticleSun, kSun)
CC_DEFINE_PARTICLE_PRESET(CCParticleGalaxy, kGalaxy)
CC_DEFINE_PARTICLE_PRESET(CCParticleFlower, kFlower)
CC_DEFINE_PARTICLE_PRESET(CCParticleMeteor, kMeteor)
CC_DEFINE_PARTICLE_PRESET(CCParticleSpiral, kSpiral)
CC_DEFINE_PARTICLE_PRESET(CCParticleExplosion, kExplosion)
CC_DEFINE_PARTICLE_PRESET(CCParticleSmoke, kSmoke)
CC_DEFINE_PARTICLE_PRESET(CCParticleSnow, kSnow)
CC_DEFINE_PARTICLE_PRESET(CCParticleRain, kRain)
