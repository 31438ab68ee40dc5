// Shared pieces of the particle tests: an emitter that records what it
// hands to its renderer, and the path of the shipped resources.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "LogCapture.h"
#include "engine/CCParticleSystem.h"
#include "engine/CCScheduler.h"
#include "host/core/Bundle.h"
#include "host/core/Log.h"
#include "host/core/Object.h"

// The project's resources directory, found from this file's location.
inline std::string sourceResourcesDir() {
    std::string here = __FILE__;
    return here.substr(0, here.rfind("/tests/")) + "/resources";
}

// Points the bundle at the project's resources while alive.
class ScopedResources {
public:
    ScopedResources() : saved_(host::Bundle::main().resourcePath()) {
        host::Bundle::main().setResourcePath(sourceResourcesDir());
    }
    ~ScopedResources() { host::Bundle::main().setResourcePath(saved_); }

private:
    std::string saved_;
};

// A particle system whose renderer hook records the positions it gets.
class RecordingEmitter : public CCParticleSystem {
public:
    // Owned by the caller; scheduled (paused) like every emitter.
    static RecordingEmitter* make(unsigned pool) {
        return host::createOwned<RecordingEmitter>([pool](RecordingEmitter* e) { return e->initWithTotalParticles(pool); });
    }
    void updateQuadWithParticle(sCCParticle* particle, CGPoint newPosition) override {
        EXPECT_EQ(particle, &particles_[particleIdx_]) << "the hook gets the particle at particleIdx";
        positions.push_back(newPosition);
    }
    void postStep() override { ++postSteps; }

    // One frame: clears what the previous one recorded.
    void step(ccTime dt) {
        positions.clear();
        update(dt);
    }
    // A still emitter in gravity mode: no speed, no gravity, no variance,
    // life `life`, emitting `rate` per second forever.
    void makeStill(float life, float rate) {
        setDuration(kCCParticleDurationInfinity);
        setLife(life);
        setEmissionRate(rate);
        setStartSize(10);
        setEndSize(kCCParticleStartSizeEqualToEndSize);
        setStartColor(ccColor4F{1, 1, 1, 1});
        setEndColor(ccColor4F{1, 1, 1, 1});
    }

    std::vector<CGPoint> positions;
    int postSteps = 0;

protected:
    ~RecordingEmitter() override = default;
};

// Releases an emitter made for a test, and its scheduler registration.
inline void discard(CCParticleSystem* emitter) {
    emitter->cleanup();
    emitter->release();
}
