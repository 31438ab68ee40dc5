// Shared pieces of the particle tests: an emitter that records what it
// hands to its renderer, a capture of log lines, and the path of the
// shipped resources.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

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

// Collects the log lines written while alive.
class LogCapture {
public:
    LogCapture() {
        char name[] = "/tmp/particle-log-XXXXXX";
        const int fd = mkstemp(name);
        if (fd >= 0) close(fd);
        path_ = name;
        host::setLogFile(path_);
    }
    ~LogCapture() {
        host::setLogFile("");
        std::remove(path_.c_str());
    }
    std::vector<std::string> lines() const {
        std::ifstream in(path_);
        std::vector<std::string> out;
        for (std::string line; std::getline(in, line);) out.push_back(line);
        return out;
    }
    // Empty when exactly one line was written, else what was written.
    ::testing::AssertionResult exactlyOneLine() const {
        const std::vector<std::string> all = lines();
        if (all.size() == 1) return ::testing::AssertionSuccess() << all[0];
        auto failure = ::testing::AssertionFailure() << all.size() << " log lines:";
        for (const std::string& l : all) failure << "\n  " << l;
        return failure;
    }

private:
    std::string path_;
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
