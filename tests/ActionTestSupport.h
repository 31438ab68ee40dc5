// Shared pieces of the action tests: an interval action that records what
// its parent does to it, a fixture with a fresh action manager per test
// that checks no probe leaked, and a node with a colour.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "engine/CCAction.h"
#include "engine/CCActionManager.h"
#include "engine/CCNode.h"
#include "engine/CCProtocols.h"
#include "engine/CCScheduler.h"
#include "host/core/Object.h"

// Everything probes saw, in order: "name:start", "name:0.5", "name:stop".
struct ProbeLog {
    std::vector<std::string> events;
    int created = 0;
    int destroyed = 0;
    void clear() { *this = ProbeLog{}; }
};

inline ProbeLog& probeLog() {
    static ProbeLog log;
    return log;
}

// An interval action whose start, updates and stop are recorded; a hook
// may run inside update (that is, inside the manager's pass).
class Probe : public CCActionInterval {
public:
    Probe() { ++probeLog().created; }
    static Probe* make(const std::string& name, ccTime d) {
        return host::create<Probe>([&](Probe* p) {
            p->name = name;
            return p->initWithDuration(d);
        });
    }
    void startWithTarget(CCNode* target) override {
        CCActionInterval::startWithTarget(target);
        ++starts;
        probeLog().events.push_back(name + ":start");
    }
    void update(ccTime t) override {
        ts.push_back(t);
        char buf[32];
        std::snprintf(buf, sizeof buf, ":%g", t);
        probeLog().events.push_back(name + buf);
        if (hook) {
            auto h = hook;
            h();
        }
    }
    void stop() override {
        ++stops;
        probeLog().events.push_back(name + ":stop");
        CCActionInterval::stop();
    }
    // Reverses and copies are probes too, so composites can be checked.
    CCFiniteTimeAction* reverse() override { return make(name + "'", duration_); }
    host::Ref<Probe> copy() const { return host::Ref<Probe>::adopt(makeCopy()); }

    std::string name;
    std::vector<ccTime> ts;
    std::function<void()> hook;
    int starts = 0;
    int stops = 0;

protected:
    ~Probe() override { ++probeLog().destroyed; }
    Probe* makeCopy() const override {
        Probe* p = host::createOwned<Probe>([this](Probe* c) { return c->initWithDuration(duration_); });
        p->name = name + "#";
        return p;
    }
};

// A plain node with a colour and an opacity, for the colour actions.
class ColourNode : public CCNode, public CCRGBAProtocol {
public:
    static ColourNode* node() { return host::create<ColourNode>(); }
    void setColor(ccColor3B c) override { color_ = c; }
    ccColor3B color() const override { return color_; }
    uint8_t opacity() const override { return opacity_; }
    void setOpacity(uint8_t o) override { opacity_ = o; }

    ccColor3B color_{255, 255, 255};
    uint8_t opacity_ = 255;
};

// Each test gets a fresh scheduler and action manager; every probe made
// during the test must be gone once the manager and the pool let go.
class ActionTest : public ::testing::Test {
protected:
    void SetUp() override {
        CCActionManager::purgeSharedManager();
        CCScheduler::purgeSharedScheduler();
        probeLog().clear();
    }
    void TearDown() override {
        CCActionManager::purgeSharedManager();
        CCScheduler::purgeSharedScheduler();
        pool.drain();
        EXPECT_EQ(probeLog().destroyed, probeLog().created) << "a probe leaked or was freed twice";
    }
    static CCActionManager* mgr() { return CCActionManager::sharedManager(); }
    // Runs the action on the node, not paused.
    static void run(CCAction* action, CCNode* node) { mgr()->addAction(action, node, false); }
    static void frames(int n, ccTime dt) {
        for (int i = 0; i < n; ++i) mgr()->update(dt);
    }
    static std::vector<std::string>& events() { return probeLog().events; }

    host::AutoreleasePool pool;
};

using Events = std::vector<std::string>;

// Points compared within a tolerance.
inline ::testing::AssertionResult pointNear(CGPoint actual, CGPoint expected, float tolerance = 1e-3f) {
    if (std::fabs(actual.x - expected.x) > tolerance || std::fabs(actual.y - expected.y) > tolerance)
        return ::testing::AssertionFailure() << "got (" << actual.x << ", " << actual.y << "), expected ("
                                             << expected.x << ", " << expected.y << ")";
    return ::testing::AssertionSuccess();
}
