// CCParticleSystem: a node that emits, moves, recolours, resizes and retires
// a fixed pool of particles every frame.
//
// Every emitter parameter is a base value plus a symmetric random variance
// (value + variance × r, r fresh in [-1, 1) for each use). Particles move in
// one of two modes: gravity (a velocity bent by gravity and by radial and
// tangential acceleration) or radius (circling the emitter on a shrinking
// or growing radius). User-facing lengths are in points; particle records
// are in pixels.
//
// The class does not draw. A renderer subclass (CCParticleSystemPoint,
// CCParticleSystemQuad) receives every live particle's final position once
// per frame through updateQuadWithParticle() and draws the result.
//
// The pool is allocated once at creation. Live particles are always the
// first particleCount() records; a dying particle is replaced by the last
// live one, so order is not preserved and nothing is allocated per frame.
//
// Fields carry a trailing underscore where an accessor of the same name
// exists.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

#include "engine/CCNode.h"
#include "engine/CCProtocols.h"
#include "engine/CCTexture2D.h"
#include "engine/ccTypes.h"
#include "host/core/Ref.h"

namespace host { class PlistValue; }

// A duration of -1 emits forever.
constexpr float kCCParticleDurationInfinity = -1;
// An end size of -1 keeps every particle at its start size.
constexpr float kCCParticleStartSizeEqualToEndSize = -1;
// An end radius of -1 keeps every particle at its start radius.
constexpr float kCCParticleStartRadiusEqualToEndRadius = -1;

// Emitter modes (emitterMode()).
enum : int32_t {
    kCCParticleModeGravity = 0,
    kCCParticleModeRadius = 1,
};

// What live particles do when the emitter node moves (positionType()).
enum tCCPositionType : int32_t {
    // They keep their position in world space.
    kCCPositionTypeFree = 0,
    // They keep their position in the parent's space (and follow the parent).
    kCCPositionTypeRelative = 1,
    // They move with the emitter.
    kCCPositionTypeGrouped = 2,
};

// One particle (84 bytes, 21 floats). Lengths in pixels, angles of the
// radius mode in radians, rotation in degrees.
struct sCCParticle {
    CGPoint pos;        // relative to the emitter
    CGPoint startPos;   // emitter position at birth (free and relative types)
    ccColor4F color;
    ccColor4F deltaColor;   // per second
    float size;
    float deltaSize;        // per second
    float rotation;
    float deltaRotation;    // per second
    float timeToLive;       // seconds left
    union {
        struct {
            CGPoint dir;            // velocity, pixels per second
            float radialAccel;
            float tangentialAccel;
        } gravityMode;
        struct {
            float angle;            // radians
            float degreesPerSecond; // radians per second, despite the name
            float radius;
            float deltaRadius;      // pixels per second
        } radiusMode;
    } mode;
};
static_assert(sizeof(sCCParticle) == 84, "particle records are 21 packed floats");

// Record arrays from the C allocator, freed with free().
struct CCFreeDeleter {
    void operator()(void* p) const { std::free(p); }
};
template <class T> using CCMallocArray = std::unique_ptr<T[], CCFreeDeleter>;
// n zeroed records, or null when the allocation fails.
template <class T> CCMallocArray<T> ccAllocZeroed(size_t n) {
    return CCMallocArray<T>(static_cast<T*>(std::calloc(n ? n : 1, sizeof(T))));
}

class CCParticleSystem : public CCNode, public CCTextureProtocol {
public:
    // Autoreleased; nullptr when the list cannot be read or is not a
    // particle list (one log line).
    static CCParticleSystem* particleWithFile(const std::string& plistFile);

    // An emitter needs a pool size: plain init is refused.
    bool init() override { return false; }
    // Allocates the zeroed pool, sets the defaults (active, blend (GL_ONE,
    // GL_ONE_MINUS_SRC_ALPHA), free position type, gravity mode) and
    // schedules update() every frame with priority 1.
    virtual bool initWithTotalParticles(unsigned numberOfParticles);
    // A property list file, resolved through CCFileUtils.
    bool initWithFile(const std::string& plistFile);
    // A particle property-list dictionary. Fails (one log line) when it is
    // not a dictionary, "maxParticles" is missing, not positive or above
    // kMaxParticlesInList, or "particleLifespan" is negative or not a
    // number. Other values that are not finite numbers, and negative sizes,
    // are read as 0 (one log line names them). A texture that cannot be
    // made leaves the emitter untextured (one log line).
    bool initWithDictionary(const host::PlistValue& dictionary);

    // Pool sizes a property list may ask for: each particle costs about
    // 100 bytes in the pool and up to 80 more in a renderer.
    static constexpr unsigned kMaxParticlesInList = 100000;

    // ---- Emission -------------------------------------------------------
    // Initialises the next free record; false when the pool is full.
    bool addParticle();
    // Draws the particle's random values in a fixed order.
    void initParticle(sCCParticle* particle);
    bool isFull() const { return particleCount_ == totalParticles_; }
    // Stops emitting; live particles run out their lives.
    void stopSystem();
    // Emits again from the start; live particles die at the next update.
    void resetSystem();

    // One frame: emission, then every live particle moves and is handed to
    // the renderer. Scheduled at creation; runs while the node is running.
    void update(ccTime dt) override;

    // ---- Renderer hooks -------------------------------------------------
    // Called for the particle at particleIdx() with its final position in
    // pixels (node space).
    virtual void updateQuadWithParticle(sCCParticle* particle, CGPoint newPosition);
    // Called once after each update.
    virtual void postStep() {}

    // ---- Texture and blending ------------------------------------------
    CCTexture2D* texture() const override { return texture_.get(); }
    // Retains the texture. A texture without premultiplied alpha turns the
    // default blend function into (GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA).
    void setTexture(CCTexture2D* texture) override;
    ccBlendFunc blendFunc() const override { return blendFunc_; }
    void setBlendFunc(ccBlendFunc f) override { blendFunc_ = f; }
    // (GL_SRC_ALPHA, GL_ONE) when true; the normal blend for the texture
    // when false.
    void setBlendAdditive(bool additive);
    bool blendAdditive() const;

    // ---- State ----------------------------------------------------------
    bool active() const { return active_; }
    unsigned particleCount() const { return particleCount_; }
    // The number of particles handed to the renderer in the last update.
    unsigned particleIdx() const { return particleIdx_; }
    const sCCParticle* particles() const { return particles_.get(); }
    unsigned totalParticles() const { return totalParticles_; }
    // The pool is never reallocated: values above the creation count are
    // refused with a log line.
    void setTotalParticles(unsigned n);
    float elapsed() const { return elapsed_; }
    float emitCounter() const { return emitCounter_; }
    bool autoRemoveOnFinish() const { return autoRemoveOnFinish_; }
    void setAutoRemoveOnFinish(bool v) { autoRemoveOnFinish_ = v; }
    tCCPositionType positionType() const { return positionType_; }
    void setPositionType(tCCPositionType t) { positionType_ = t; }
    int32_t emitterMode() const { return emitterMode_; }
    void setEmitterMode(int32_t m) { emitterMode_ = m; }

    // ---- Emitter parameters ---------------------------------------------
    float duration() const { return duration_; }
    void setDuration(float v) { duration_ = v; }
    CGPoint sourcePosition() const { return sourcePosition_; }
    void setSourcePosition(CGPoint p) { sourcePosition_ = p; }
    CGPoint posVar() const { return posVar_; }
    void setPosVar(CGPoint p) { posVar_ = p; }
    float angle() const { return angle_; }
    void setAngle(float v) { angle_ = v; }
    float angleVar() const { return angleVar_; }
    void setAngleVar(float v) { angleVar_ = v; }
    float life() const { return life_; }
    void setLife(float v) { life_ = v; }
    float lifeVar() const { return lifeVar_; }
    void setLifeVar(float v) { lifeVar_ = v; }
    // Particles per second; a rate that is not positive emits nothing.
    float emissionRate() const { return emissionRate_; }
    void setEmissionRate(float v) { emissionRate_ = v; }
    float startSize() const { return startSize_; }
    virtual void setStartSize(float v) { startSize_ = v; }
    float startSizeVar() const { return startSizeVar_; }
    void setStartSizeVar(float v) { startSizeVar_ = v; }
    float endSize() const { return endSize_; }
    virtual void setEndSize(float v) { endSize_ = v; }
    float endSizeVar() const { return endSizeVar_; }
    void setEndSizeVar(float v) { endSizeVar_ = v; }
    ccColor4F startColor() const { return startColor_; }
    void setStartColor(ccColor4F c) { startColor_ = c; }
    ccColor4F startColorVar() const { return startColorVar_; }
    void setStartColorVar(ccColor4F c) { startColorVar_ = c; }
    ccColor4F endColor() const { return endColor_; }
    void setEndColor(ccColor4F c) { endColor_ = c; }
    ccColor4F endColorVar() const { return endColorVar_; }
    void setEndColorVar(ccColor4F c) { endColorVar_ = c; }
    float startSpin() const { return startSpin_; }
    virtual void setStartSpin(float v) { startSpin_ = v; }
    float startSpinVar() const { return startSpinVar_; }
    virtual void setStartSpinVar(float v) { startSpinVar_ = v; }
    float endSpin() const { return endSpin_; }
    virtual void setEndSpin(float v) { endSpin_ = v; }
    float endSpinVar() const { return endSpinVar_; }
    virtual void setEndSpinVar(float v) { endSpinVar_ = v; }

    // Gravity-mode and radius-mode parameters share storage: only those of
    // the current emitter mode mean anything.
    CGPoint gravity() const { return mode_.gravityMode.gravity; }
    void setGravity(CGPoint g) { mode_.gravityMode.gravity = g; }
    float speed() const { return mode_.gravityMode.speed; }
    void setSpeed(float v) { mode_.gravityMode.speed = v; }
    float speedVar() const { return mode_.gravityMode.speedVar; }
    void setSpeedVar(float v) { mode_.gravityMode.speedVar = v; }
    float tangentialAccel() const { return mode_.gravityMode.tangentialAccel; }
    void setTangentialAccel(float v) { mode_.gravityMode.tangentialAccel = v; }
    float tangentialAccelVar() const { return mode_.gravityMode.tangentialAccelVar; }
    void setTangentialAccelVar(float v) { mode_.gravityMode.tangentialAccelVar = v; }
    float radialAccel() const { return mode_.gravityMode.radialAccel; }
    void setRadialAccel(float v) { mode_.gravityMode.radialAccel = v; }
    float radialAccelVar() const { return mode_.gravityMode.radialAccelVar; }
    void setRadialAccelVar(float v) { mode_.gravityMode.radialAccelVar = v; }
    float startRadius() const { return mode_.radiusMode.startRadius; }
    void setStartRadius(float v) { mode_.radiusMode.startRadius = v; }
    float startRadiusVar() const { return mode_.radiusMode.startRadiusVar; }
    void setStartRadiusVar(float v) { mode_.radiusMode.startRadiusVar = v; }
    float endRadius() const { return mode_.radiusMode.endRadius; }
    void setEndRadius(float v) { mode_.radiusMode.endRadius = v; }
    float endRadiusVar() const { return mode_.radiusMode.endRadiusVar; }
    void setEndRadiusVar(float v) { mode_.radiusMode.endRadiusVar = v; }
    float rotatePerSecond() const { return mode_.radiusMode.rotatePerSecond; }
    void setRotatePerSecond(float v) { mode_.radiusMode.rotatePerSecond = v; }
    float rotatePerSecondVar() const { return mode_.radiusMode.rotatePerSecondVar; }
    void setRotatePerSecondVar(float v) { mode_.radiusMode.rotatePerSecondVar = v; }

protected:
    ~CCParticleSystem() override = default;

    // Sets the blend function for a draw when it is not the engine's
    // default, and puts the default back afterwards.
    class ScopedBlendFunc {
    public:
        explicit ScopedBlendFunc(ccBlendFunc f);
        ~ScopedBlendFunc();
        ScopedBlendFunc(const ScopedBlendFunc&) = delete;
        ScopedBlendFunc& operator=(const ScopedBlendFunc&) = delete;

    private:
        bool changed_;
    };

    // The emitter's position in pixels for the position type: at birth
    // (startPos) and per frame (currentPosition).
    CGPoint emitterPositionInPixels(float scale);

    // ---- Emission state -------------------------------------------------
    bool active_ = false;
    float duration_ = 0;
    float elapsed_ = 0;
    CGPoint sourcePosition_ = CGPointZero;
    CGPoint posVar_ = CGPointZero;
    float angle_ = 0, angleVar_ = 0;
    int32_t emitterMode_ = kCCParticleModeGravity;
    union {
        struct {
            CGPoint gravity;
            float speed, speedVar;
            float tangentialAccel, tangentialAccelVar;
            float radialAccel, radialAccelVar;
        } gravityMode;
        struct {
            float startRadius, startRadiusVar;
            float endRadius, endRadiusVar;
            float rotatePerSecond, rotatePerSecondVar;
        } radiusMode;
    } mode_ = {};
    float startSize_ = 0, startSizeVar_ = 0, endSize_ = 0, endSizeVar_ = 0;
    float life_ = 0, lifeVar_ = 0;
    ccColor4F startColor_{0, 0, 0, 0}, startColorVar_{0, 0, 0, 0};
    ccColor4F endColor_{0, 0, 0, 0}, endColorVar_{0, 0, 0, 0};
    float startSpin_ = 0, startSpinVar_ = 0, endSpin_ = 0, endSpinVar_ = 0;
    CCMallocArray<sCCParticle> particles_;
    uint32_t totalParticles_ = 0;
    uint32_t allocatedParticles_ = 0;  // the pool's real size
    uint32_t particleCount_ = 0;
    float emissionRate_ = 0;
    float emitCounter_ = 0;
    host::Ref<CCTexture2D> texture_;
    ccBlendFunc blendFunc_{CC_BLEND_SRC, CC_BLEND_DST};
    tCCPositionType positionType_ = kCCPositionTypeFree;
    bool autoRemoveOnFinish_ = false;
    uint32_t particleIdx_ = 0;
    // The renderer's updateQuadWithParticle(), taken once at creation and
    // called per particle.
    using UpdateParticleImp = void (CCParticleSystem::*)(sCCParticle*, CGPoint);
    UpdateParticleImp updateParticleImp = nullptr;

private:
    void readParameters(const host::PlistValue& dictionary);
    void loadTexture(const host::PlistValue& dictionary);
};
