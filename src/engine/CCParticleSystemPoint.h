// CCParticleSystemPoint: draws every particle as one textured point sprite
// whose size is the particle's size, all in one GL call (GL ES 1.1 point
// sprites with a per-point size array). Particle rotation has no effect.
//
// A context without the point-sprite or point-size-array extension gets
// the same particles drawn as upright quads instead (with a log line at
// creation), so the emitter never silently draws nothing.
#pragma once

#include <string>

#include "engine/CCParticleSystem.h"
#include "engine/CCParticleSystemQuad.h"

class CCParticleSystemPoint : public CCParticleSystem {
public:
    static CCParticleSystemPoint* particleWithFile(const std::string& plistFile) {
        return host::create<CCParticleSystemPoint>(
            [&](CCParticleSystemPoint* p) { return p->initWithFile(plistFile); });
    }
    static CCParticleSystemPoint* particleWithTotalParticles(unsigned n) {
        return host::create<CCParticleSystemPoint>(
            [n](CCParticleSystemPoint* p) { return p->initWithTotalParticles(n); });
    }

    // Point sprites when the current context supports them, else quads.
    bool initWithTotalParticles(unsigned numberOfParticles) override;
    // The same with the way of drawing chosen by the caller; point sprites
    // must only be asked for when the context has them.
    bool initWithTotalParticles(unsigned numberOfParticles, bool usePointSprites);

    // Whether the current GL context has both extensions point sprites need.
    static bool contextSupportsPointSprites();
    bool drawsPointSprites() const { return usePointSprites_; }

    void setTexture(CCTexture2D* texture) override;
    void updateQuadWithParticle(sCCParticle* particle, CGPoint newPosition) override;
    void postStep() override {}
    // Nothing at all when no particle is live. Leaves point sprites off and
    // the texture-coordinate array on, as the engine expects.
    void draw() override;

    // The point records (point-sprite drawing only).
    const ccPointSprite* vertices() const { return vertices_.get(); }
    // The quads (quad drawing only).
    const ccV2F_C4B_T2F_Quad* quads() const { return quads_.quads(); }

protected:
    ~CCParticleSystemPoint() override = default;

private:
    void drawPointSprites();

    CCMallocArray<ccPointSprite> vertices_;
    CCParticleQuadArrays quads_;  // used without point sprites
    bool usePointSprites_ = true;
};
