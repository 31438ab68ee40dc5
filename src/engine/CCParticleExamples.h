// Eleven ready-made point emitters. Each `init` uses the preset's own
// particle count; `initWithTotalParticles` takes any count and sets the
// preset's parameters (all in gravity mode, emitting at the window centre
// or along an edge of the director's window).
//
// All but CCParticleFireworks draw "fire.png" from the texture cache;
// fireworks come without a texture for the caller to choose.
#pragma once

#include "engine/CCParticleSystemPoint.h"

#define CC_DECLARE_PARTICLE_PRESET(Name)                                                           \
    class Name : public CCParticleSystemPoint {                                                    \
    public:                                                                                        \
        static Name* node() { return host::create<Name>(); }                                       \
        static Name* particleWithTotalParticles(unsigned n) {                                      \
            return host::create<Name>([n](Name* p) { return p->initWithTotalParticles(n); });      \
        }                                                                                          \
        bool init() override;                                                                      \
        bool initWithTotalParticles(unsigned numberOfParticles) override;                          \
                                                                                                   \
    protected:                                                                                     \
        ~Name() override = default;                                                                \
    }

// Red sparks in every direction for a tenth of a second, falling slowly.
CC_DECLARE_PARTICLE_PRESET(CCParticleFireworks);  // 1500 particles
// A flickering fire along the bottom.
CC_DECLARE_PARTICLE_PRESET(CCParticleFire);       // 250
// A glowing ball.
CC_DECLARE_PARTICLE_PRESET(CCParticleSun);        // 350
// Blue particles spiralling out.
CC_DECLARE_PARTICLE_PRESET(CCParticleGalaxy);     // 200
// Grey petals spiralling out.
CC_DECLARE_PARTICLE_PRESET(CCParticleFlower);     // 250
// A blue comet pulled up and to the left.
CC_DECLARE_PARTICLE_PRESET(CCParticleMeteor);     // 150
// Slow, wide spiral arms.
CC_DECLARE_PARTICLE_PRESET(CCParticleSpiral);     // 500
// A burst of 700 particles in a tenth of a second.
CC_DECLARE_PARTICLE_PRESET(CCParticleExplosion);  // 700
// Grey puffs rising from the bottom.
CC_DECLARE_PARTICLE_PRESET(CCParticleSmoke);      // 200
// Flakes drifting down from above the top edge.
CC_DECLARE_PARTICLE_PRESET(CCParticleSnow);       // 700
// Drops slanting down from the top edge.
CC_DECLARE_PARTICLE_PRESET(CCParticleRain);       // 1000

#undef CC_DECLARE_PARTICLE_PRESET
