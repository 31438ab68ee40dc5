#include "engine/CCParticleSystem.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>

#include "engine/CCContentScale.h"
#include "engine/CCTexture2D.h"
#include "engine/CCTextureCache.h"
#include "engine/Support/CCFileUtils.h"
#include "engine/Support/ZipUtils.h"
#include "engine/Support/base64.h"
#include "engine/Support/ccUtils.h"
#include "host/core/Bundle.h"
#include "host/core/Log.h"
#include "host/data/PlistValue.h"
#include "host/display/GLES.h"
#include "host/graphics/Image.h"

namespace {

constexpr float kDegreesToRadians = 0.017453292f;

// value ± variance with a fresh random number.
inline float vary(float value, float variance) { return value + variance * CCRANDOM_MINUS1_1(); }

// Clamped to [0, 1]; NaN becomes 0.
inline float clamp01(float v) { return v > 0 ? (v < 1 ? v : 1) : 0; }

inline float nonNegative(float v) { return v > 0 ? v : 0; }

inline ccColor4F varyColor(ccColor4F c, ccColor4F var) {
    // Four separate statements: the random numbers are drawn r, g, b, a.
    ccColor4F out;
    out.r = clamp01(vary(c.r, var.r));
    out.g = clamp01(vary(c.g, var.g));
    out.b = clamp01(vary(c.b, var.b));
    out.a = clamp01(vary(c.a, var.a));
    return out;
}

// The numbers of a particle list. A missing key reads as 0; so does a value
// no emitter can use (not a finite number, or a negative size), which would
// otherwise reach the particles' vertices. report() logs those in one line.
class ListNumbers {
public:
    explicit ListNumbers(const host::PlistValue& list) : list_(list) {}

    float number(const char* key) {
        const float v = float(list_[key].asDouble());
        return std::isfinite(v) ? v : refused(key, v);
    }
    // Sizes are 0 or more, or -1 (an end size the same as the start size).
    float size(const char* key) {
        const float v = number(key);
        return v >= 0 || v == kCCParticleStartSizeEqualToEndSize ? v : refused(key, v);
    }
    void report() const {
        if (!refused_.empty()) host::log("engine: Particle system: unusable values read as 0: %s", refused_.c_str());
    }

private:
    float refused(const char* key, float v) {
        char entry[96];
        std::snprintf(entry, sizeof entry, "%s\"%s\" (%g)", refused_.empty() ? "" : ", ", key, double(v));
        refused_ += entry;
        return 0;
    }

    const host::PlistValue& list_;
    std::string refused_;
};

// Owns a buffer from the C allocator for the length of a scope.
struct MallocBuffer {
    unsigned char* bytes = nullptr;
    ~MallocBuffer() { std::free(bytes); }
};

}  // namespace

// ---- Creation ------------------------------------------------------------

CCParticleSystem* CCParticleSystem::particleWithFile(const std::string& plistFile) {
    return host::create<CCParticleSystem>([&](CCParticleSystem* p) { return p->initWithFile(plistFile); });
}

bool CCParticleSystem::initWithTotalParticles(unsigned numberOfParticles) {
    if (!CCNode::init()) return false;
    totalParticles_ = allocatedParticles_ = numberOfParticles;
    particles_ = ccAllocZeroed<sCCParticle>(numberOfParticles);
    if (!particles_) {
        host::log("Particle system: not enough memory");
        return false;
    }
    active_ = true;
    blendFunc_ = ccBlendFunc{CC_BLEND_SRC, CC_BLEND_DST};
    positionType_ = kCCPositionTypeFree;
    emitterMode_ = kCCParticleModeGravity;
    autoRemoveOnFinish_ = false;
    // A virtual member pointer: calls reach the renderer's override.
    updateParticleImp = &CCParticleSystem::updateQuadWithParticle;
    scheduleUpdateWithPriority(1);
    return true;
}

bool CCParticleSystem::initWithFile(const std::string& plistFile) {
    const std::string path = CCFileUtils::fullPathFromRelativePath(plistFile);
    std::string error;
    host::PlistValue dictionary = host::PlistValue::parseFile(path, &error);
    if (!error.empty()) {
        host::log("engine: Particle system: cannot read %s: %s", path.c_str(), error.c_str());
        return false;
    }
    return initWithDictionary(dictionary);
}

bool CCParticleSystem::initWithDictionary(const host::PlistValue& dictionary) {
    if (!dictionary.isDictionary()) {
        host::log("engine: Particle system: the property list is not a dictionary");
        return false;
    }
    // Read as a double first so that huge and negative counts are caught
    // before any conversion to the unsigned pool size.
    const double maxParticles = dictionary["maxParticles"].asDouble();
    if (!(maxParticles >= 1 && maxParticles <= kMaxParticlesInList)) {
        host::log("engine: Particle system: \"maxParticles\" must be 1 to %u, not %g", kMaxParticlesInList,
                  maxParticles);
        return false;
    }
    // The emission rate is the pool over the life: a negative life would
    // refill the whole pool every frame.
    const double life = dictionary["particleLifespan"].asDouble();
    if (!(life >= 0 && std::isfinite(float(life)))) {
        host::log("engine: Particle system: \"particleLifespan\" must be 0 or more seconds, not %g", life);
        return false;
    }
    if (!initWithTotalParticles(unsigned(maxParticles))) return false;
    readParameters(dictionary);
    loadTexture(dictionary);
    return true;
}

void CCParticleSystem::readParameters(const host::PlistValue& d) {
    ListNumbers numbers(d);
    auto number = [&](const char* key) { return numbers.number(key); };
    auto color = [&](const char* prefix) {
        const std::string p(prefix);
        return ccColor4F{number((p + "Red").c_str()), number((p + "Green").c_str()), number((p + "Blue").c_str()),
                         number((p + "Alpha").c_str())};
    };

    angle_ = number("angle");
    angleVar_ = number("angleVariance");
    duration_ = number("duration");
    blendFunc_.src = uint32_t(d["blendFuncSource"].asInt());
    blendFunc_.dst = uint32_t(d["blendFuncDestination"].asInt());
    startColor_ = color("startColor");
    startColorVar_ = color("startColorVariance");
    endColor_ = color("finishColor");
    endColorVar_ = color("finishColorVariance");
    startSize_ = numbers.size("startParticleSize");
    startSizeVar_ = number("startParticleSizeVariance");
    endSize_ = numbers.size("finishParticleSize");
    endSizeVar_ = number("finishParticleSizeVariance");
    setPosition(CGPointMake(number("sourcePositionx"), number("sourcePositiony")));
    posVar_ = CGPointMake(number("sourcePositionVariancex"), number("sourcePositionVariancey"));
    startSpin_ = number("rotationStart");
    startSpinVar_ = number("rotationStartVariance");
    endSpin_ = number("rotationEnd");
    endSpinVar_ = number("rotationEndVariance");

    const int64_t type = d["emitterType"].asInt();
    emitterMode_ = type >= INT32_MIN && type <= INT32_MAX ? int32_t(type) : -1;
    if (type == kCCParticleModeGravity) {
        setGravity(CGPointMake(number("gravityx"), number("gravityy")));
        setSpeed(number("speed"));
        setSpeedVar(number("speedVariance"));
        setRadialAccel(number("radialAcceleration"));
        setRadialAccelVar(number("radialAccelVariance"));
        setTangentialAccel(number("tangentialAcceleration"));
        setTangentialAccelVar(number("tangentialAccelVariance"));
    } else if (type == kCCParticleModeRadius) {
        setStartRadius(number("maxRadius"));
        setStartRadiusVar(number("maxRadiusVariance"));
        setEndRadius(number("minRadius"));
        setEndRadiusVar(0);
        setRotatePerSecond(number("rotatePerSecond"));
        setRotatePerSecondVar(number("rotatePerSecondVariance"));
    } else {
        host::log("engine: Particle system: unknown \"emitterType\" %lld; its mode parameters stay 0",
                  static_cast<long long>(type));
    }

    life_ = number("particleLifespan");
    lifeVar_ = number("particleLifespanVariance");
    emissionRate_ = float(totalParticles_) / life_;
    numbers.report();
}

// The texture named by "textureFileName", or else the image embedded in
// "textureImageData" (Base64 of a gzip or zlib stream of an image file),
// registered with the texture cache under the file name.
void CCParticleSystem::loadTexture(const host::PlistValue& d) {
    CCTextureCache* cache = CCTextureCache::sharedTextureCache();
    const std::string fileName = d["textureFileName"].asString();
    const std::string* data = d["textureImageData"].string();
    const bool hasData = data && !data->empty();

    // Embedded images are cached under names that need not exist as files:
    // only go to the file system when there is no data to fall back on or
    // the file is really there, so a good list loads without log noise.
    if (!fileName.empty()) {
        CCTexture2D* texture = cache->textureForKey(fileName);
        if (!texture && (!hasData || host::Bundle::fileExists(CCFileUtils::fullPathFromRelativePath(fileName))))
            texture = cache->addImage(fileName);
        if (texture) {
            setTexture(texture);
            return;
        }
    }
    if (!hasData) {
        if (fileName.empty()) host::log("engine: Particle system: the property list names no texture");
        return;  // addImage has said why the file could not be loaded
    }

    MallocBuffer decoded;
    const int decodedLength =
        base64Decode(reinterpret_cast<const unsigned char*>(data->data()), unsigned(data->size()), &decoded.bytes);
    if (decodedLength <= 0) {
        host::log(decodedLength < 0 ? "engine: Particle system: not enough memory to decode \"textureImageData\""
                                    : "engine: Particle system: \"textureImageData\" holds no Base64 data");
        return;
    }
    MallocBuffer inflated;
    const int inflatedLength = ccInflateMemory(decoded.bytes, unsigned(decodedLength), &inflated.bytes);
    if (inflatedLength <= 0) return;  // the inflater has said why

    host::Image* image = host::Image::imageWithData(inflated.bytes, size_t(inflatedLength));
    if (!image) return;  // the decoder has said why
    CCTexture2D* texture = cache->addCGImage(image, fileName.empty() ? nullptr : &fileName);
    if (!texture) {
        host::log("engine: Particle system: cannot make a texture of the embedded %ux%u image", image->width(),
                  image->height());
        return;
    }
    setTexture(texture);
}

// ---- Emission ------------------------------------------------------------

bool CCParticleSystem::addParticle() {
    if (isFull()) return false;
    initParticle(&particles_[particleCount_]);
    ++particleCount_;
    return true;
}

CGPoint CCParticleSystem::emitterPositionInPixels(float s) {
    switch (positionType_) {
        case kCCPositionTypeFree: {
            const CGPoint world = convertToWorldSpace(CGPointZero);
            return CGPointMake(world.x * s, world.y * s);
        }
        case kCCPositionTypeRelative:
            return CGPointMake(position_.x * s, position_.y * s);
        default:
            return CGPointZero;
    }
}

void CCParticleSystem::initParticle(sCCParticle* p) {
    const float s = __ccContentScaleFactor;

    p->timeToLive = nonNegative(vary(life_, lifeVar_));

    p->pos.x = vary(sourcePosition_.x, posVar_.x) * s;
    p->pos.y = vary(sourcePosition_.y, posVar_.y) * s;

    const ccColor4F start = varyColor(startColor_, startColorVar_);
    const ccColor4F end = varyColor(endColor_, endColorVar_);
    p->color = start;
    p->deltaColor.r = (end.r - start.r) / p->timeToLive;
    p->deltaColor.g = (end.g - start.g) / p->timeToLive;
    p->deltaColor.b = (end.b - start.b) / p->timeToLive;
    p->deltaColor.a = (end.a - start.a) / p->timeToLive;

    const float startS = nonNegative(vary(startSize_, startSizeVar_)) * s;
    p->size = startS;
    if (endSize_ == kCCParticleStartSizeEqualToEndSize) {
        p->deltaSize = 0;
    } else {
        const float endS = nonNegative(vary(endSize_, endSizeVar_)) * s;
        p->deltaSize = (endS - startS) / p->timeToLive;
    }

    const float startA = vary(startSpin_, startSpinVar_);
    const float endA = vary(endSpin_, endSpinVar_);
    p->rotation = startA;
    p->deltaRotation = (endA - startA) / p->timeToLive;

    if (positionType_ == kCCPositionTypeFree || positionType_ == kCCPositionTypeRelative)
        p->startPos = emitterPositionInPixels(s);

    const float a = vary(angle_, angleVar_) * kDegreesToRadians;

    if (emitterMode_ == kCCParticleModeGravity) {
        const auto& g = mode_.gravityMode;
        const float v = vary(g.speed, g.speedVar) * s;
        p->mode.gravityMode.dir = CGPointMake(std::cos(a) * v, std::sin(a) * v);
        p->mode.gravityMode.radialAccel = vary(g.radialAccel, g.radialAccelVar) * s;
        p->mode.gravityMode.tangentialAccel = vary(g.tangentialAccel, g.tangentialAccelVar) * s;
    } else {
        const auto& r = mode_.radiusMode;
        const float startR = vary(r.startRadius, r.startRadiusVar) * s;
        const float endR = vary(r.endRadius, r.endRadiusVar) * s;  // drawn even when unused
        p->mode.radiusMode.radius = startR;
        p->mode.radiusMode.deltaRadius =
            r.endRadius == kCCParticleStartRadiusEqualToEndRadius ? 0 : (endR - startR) / p->timeToLive;
        p->mode.radiusMode.angle = a;
        p->mode.radiusMode.degreesPerSecond = vary(r.rotatePerSecond, r.rotatePerSecondVar) * kDegreesToRadians;
    }
}

void CCParticleSystem::stopSystem() {
    active_ = false;
    elapsed_ = duration_;
    emitCounter_ = 0;
}

void CCParticleSystem::resetSystem() {
    active_ = true;
    elapsed_ = 0;
    for (uint32_t i = 0; i < particleCount_; ++i) particles_[i].timeToLive = 0;
}

void CCParticleSystem::setTotalParticles(unsigned n) {
    if (n > allocatedParticles_) {
        host::log("engine: Particle system: cannot raise the pool from %u to %u particles", allocatedParticles_, n);
        return;
    }
    totalParticles_ = n;
}

// ---- The frame -----------------------------------------------------------

void CCParticleSystem::update(ccTime dt) {
    // Not `!= 0`: a negative (or NaN) rate would fill the pool every frame.
    if (active_ && emissionRate_ > 0) {
        const float rate = 1.0f / emissionRate_;
        emitCounter_ += dt;
        while (particleCount_ < totalParticles_ && emitCounter_ > rate) {
            addParticle();
            emitCounter_ -= rate;
        }
        elapsed_ += dt;
        if (duration_ != kCCParticleDurationInfinity && duration_ < elapsed_) stopSystem();
    }

    const float s = __ccContentScaleFactor;
    const CGPoint currentPosition = emitterPositionInPixels(s);
    const bool grouped = positionType_ != kCCPositionTypeFree && positionType_ != kCCPositionTypeRelative;
    const bool gravityMode = emitterMode_ == kCCParticleModeGravity;
    const CGPoint gravity = mode_.gravityMode.gravity;

    particleIdx_ = 0;
    while (particleIdx_ < particleCount_) {
        sCCParticle* p = &particles_[particleIdx_];
        p->timeToLive -= dt;
        if (p->timeToLive > 0) {
            if (gravityMode) {
                auto& m = p->mode.gravityMode;
                CGPoint radial = CGPointZero;
                if (p->pos.x != 0 || p->pos.y != 0) {
                    const float inverseLength = 1.0f / std::sqrt(p->pos.x * p->pos.x + p->pos.y * p->pos.y);
                    radial = CGPointMake(p->pos.x * inverseLength, p->pos.y * inverseLength);
                }
                const CGPoint tangential = CGPointMake(-radial.y * m.tangentialAccel, radial.x * m.tangentialAccel);
                m.dir.x += (radial.x * m.radialAccel + tangential.x + gravity.x) * dt;
                m.dir.y += (radial.y * m.radialAccel + tangential.y + gravity.y) * dt;
                p->pos.x += m.dir.x * dt;
                p->pos.y += m.dir.y * dt;
            } else {
                auto& m = p->mode.radiusMode;
                m.angle += m.degreesPerSecond * dt;
                m.radius += m.deltaRadius * dt;
                p->pos.x = -std::cos(m.angle) * m.radius;
                p->pos.y = -std::sin(m.angle) * m.radius;
            }
            p->color.r += p->deltaColor.r * dt;
            p->color.g += p->deltaColor.g * dt;
            p->color.b += p->deltaColor.b * dt;
            p->color.a += p->deltaColor.a * dt;
            p->size = nonNegative(p->size + p->deltaSize * dt);
            p->rotation += p->deltaRotation * dt;

            const CGPoint newPos = grouped ? p->pos
                                           : CGPointMake(p->pos.x - (currentPosition.x - p->startPos.x),
                                                         p->pos.y - (currentPosition.y - p->startPos.y));
            (this->*updateParticleImp)(p, newPos);
            ++particleIdx_;
        } else {
            if (particleIdx_ != particleCount_ - 1) *p = particles_[particleCount_ - 1];
            --particleCount_;
            // Only once emission has stopped: an emitter that is still
            // emitting (or was just reset) is not finished.
            if (particleCount_ == 0 && autoRemoveOnFinish_ && !active_) {
                unscheduleUpdate();
                // This may release the last reference to us: touch nothing after.
                removeFromParentAndCleanup(true);
                return;
            }
        }
    }
    postStep();
}

void CCParticleSystem::updateQuadWithParticle(sCCParticle* particle, CGPoint newPosition) {
    (void)particle;
    (void)newPosition;
}

// ---- Texture and blending ------------------------------------------------

void CCParticleSystem::setTexture(CCTexture2D* texture) {
    texture_ = texture;  // retains the new one before releasing the old
    if (texture && !texture->hasPremultipliedAlpha() && ccBlendFuncIsDefault(blendFunc_))
        blendFunc_ = ccBlendFunc{GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA};
}

void CCParticleSystem::setBlendAdditive(bool additive) {
    if (additive)
        blendFunc_ = ccBlendFunc{GL_SRC_ALPHA, GL_ONE};
    else if (texture_ && !texture_->hasPremultipliedAlpha())
        blendFunc_ = ccBlendFunc{GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA};
    else
        blendFunc_ = ccBlendFunc{CC_BLEND_SRC, CC_BLEND_DST};
}

bool CCParticleSystem::blendAdditive() const { return blendFunc_.src == GL_SRC_ALPHA && blendFunc_.dst == GL_ONE; }

CCParticleSystem::ScopedBlendFunc::ScopedBlendFunc(ccBlendFunc f) : changed_(!ccBlendFuncIsDefault(f)) {
    if (changed_) glBlendFunc(f.src, f.dst);
}

CCParticleSystem::ScopedBlendFunc::~ScopedBlendFunc() {
    if (changed_) glBlendFunc(CC_BLEND_SRC, CC_BLEND_DST);
}
