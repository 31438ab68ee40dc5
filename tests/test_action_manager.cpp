// CCActionManager and the interval time model: stepping, removal from inside
// a step, pausing, node helpers.
#include <gtest/gtest.h>

#include <cfloat>
#include <functional>
#include <string>
#include <vector>

#include "engine/CCAction.h"
#include "engine/CCActionManager.h"
#include "engine/CCNode.h"
#include "engine/CCScheduler.h"
#include "host/core/Ref.h"

namespace {

int gCreated = 0;
int gDestroyed = 0;
int gStops = 0;
std::vector<std::string> gLog;

// An interval action that records its updates and can run a hook from
// inside update (which runs inside the manager's step).
class Recorder : public CCActionInterval {
public:
    Recorder() { ++gCreated; }
    static Recorder* make(const std::string& name, ccTime d) {
        return host::create<Recorder>([&](Recorder* r) {
            r->name = name;
            return r->initWithDuration(d);
        });
    }
    void update(ccTime t) override {
        gLog.push_back(name);
        ts.push_back(t);
        alive = true;
        if (hook) {
            auto h = hook;
            h();
        }
        // The hook may have removed us: we must still be alive here.
        EXPECT_TRUE(alive);
    }
    void stop() override {
        ++stops;
        ++gStops;
        CCActionInterval::stop();
    }

    std::string name;
    std::vector<ccTime> ts;
    std::function<void()> hook;
    int stops = 0;
    bool alive = false;

protected:
    ~Recorder() override {
        alive = false;
        ++gDestroyed;
    }
};

CCActionManager* mgr() { return CCActionManager::sharedManager(); }

using Log = std::vector<std::string>;

class ActionManagerTest : public ::testing::Test {
protected:
    void SetUp() override {
        // Start from a manager registered with a fresh scheduler.
        CCActionManager::purgeSharedManager();
        CCScheduler::purgeSharedScheduler();
        gLog.clear();
        gCreated = gDestroyed = gStops = 0;
    }
    void TearDown() override {
        CCActionManager::purgeSharedManager();
        CCScheduler::purgeSharedScheduler();
        pool.drain();
        EXPECT_EQ(gDestroyed, gCreated);   // nothing leaked, nothing freed twice
    }
    host::AutoreleasePool pool;
};

}  // namespace

// ---- the time model ---------------------------------------------------------

TEST_F(ActionManagerTest, FirstStepSeesZeroThenProgressIsClampedAtOne) {
    CCNode* n = CCNode::node();
    Recorder* a = Recorder::make("a", 1.0f);
    mgr()->addAction(a, n, false);
    EXPECT_EQ(a->target(), n);
    EXPECT_EQ(a->originalTarget(), n);

    mgr()->update(0.5f);   // discarded
    mgr()->update(0.25f);
    mgr()->update(0.5f);
    ASSERT_EQ(a->ts.size(), 3u);
    EXPECT_FLOAT_EQ(a->ts[0], 0.0f);
    EXPECT_FLOAT_EQ(a->ts[1], 0.25f);
    EXPECT_FLOAT_EQ(a->ts[2], 0.75f);
    EXPECT_EQ(mgr()->numberOfRunningActionsInTarget(n), 1u);

    a->retain();
    mgr()->update(2.0f);   // overshoots: update(1), stopped and removed in the same frame
    EXPECT_FLOAT_EQ(a->ts.back(), 1.0f);
    EXPECT_EQ(a->stops, 1);
    EXPECT_EQ(a->target(), nullptr);
    EXPECT_EQ(a->originalTarget(), n);
    EXPECT_EQ(mgr()->numberOfRunningActionsInTarget(n), 0u);
    mgr()->update(1.0f);
    EXPECT_EQ(a->ts.size(), 4u);
    a->release();
}

TEST_F(ActionManagerTest, ZeroDurationFinishesOnFirstStepWithProgressOne) {
    CCNode* n = CCNode::node();
    Recorder* a = Recorder::make("a", 0);
    EXPECT_FLOAT_EQ(a->duration(), FLT_EPSILON);
    a->setDuration(0);   // even a duration forced to 0 must not divide by zero
    mgr()->addAction(a, n, false);
    mgr()->update(0.1f);
    ASSERT_EQ(a->ts.size(), 1u);
    EXPECT_FLOAT_EQ(a->ts[0], 0.0f);   // elapsed 0 / epsilon = 0
    EXPECT_EQ(mgr()->numberOfRunningActionsInTarget(n), 0u);   // elapsed 0 >= duration 0

    Recorder* b = Recorder::make("b", 0);
    mgr()->addAction(b, n, false);
    mgr()->update(0.1f);
    ASSERT_EQ(b->ts.size(), 1u);
    EXPECT_FLOAT_EQ(b->ts[0], 0.0f);
    EXPECT_EQ(mgr()->numberOfRunningActionsInTarget(n), 1u);   // 0 < epsilon
    mgr()->update(0.1f);
    EXPECT_FLOAT_EQ(b->ts.back(), 1.0f);
    EXPECT_EQ(mgr()->numberOfRunningActionsInTarget(n), 0u);
}

TEST_F(ActionManagerTest, RestartResetsElapsedAndCopyKeepsDurationNotTag) {
    CCNode* n = CCNode::node();
    Recorder* a = Recorder::make("a", 2.0f);
    a->setTag(7);
    a->startWithTarget(n);
    a->step(1.0f);
    a->step(1.0f);
    EXPECT_FLOAT_EQ(a->elapsed(), 1.0f);
    a->startWithTarget(n);
    EXPECT_FLOAT_EQ(a->elapsed(), 0.0f);
    a->step(5.0f);
    EXPECT_FLOAT_EQ(a->ts.back(), 0.0f);

    host::Ref<CCActionInterval> c = a->copy();
    EXPECT_FLOAT_EQ(c->duration(), 2.0f);
    EXPECT_EQ(c->tag(), kCCActionTagInvalid);
    EXPECT_EQ(c->target(), nullptr);
    EXPECT_EQ(c->reverse(), nullptr);

    CCAction* base = CCAction::action();
    base->setTag(3);
    EXPECT_TRUE(base->isDone());
    host::Ref<CCAction> bc = base->copy();
    EXPECT_EQ(bc->tag(), 3);
    EXPECT_NE(base->description().find("CCAction = "), std::string::npos);
    EXPECT_NE(base->description().find(" | Tag = 3>"), std::string::npos);
    EXPECT_EQ(CCActionInterval::actionWithDuration(1)->tag(), -1);
}

// ---- removal from inside a step ------------------------------------------------

TEST_F(ActionManagerTest, ActionRemovingItselfStaysAliveAndIsNotStopped) {
    CCNode* n = CCNode::node();
    Recorder* a = Recorder::make("a", 10);
    Recorder* b = Recorder::make("b", 10);
    mgr()->addAction(a, n, false);
    mgr()->addAction(b, n, false);
    a->hook = [&] {
        mgr()->removeAction(a);
        EXPECT_EQ(gDestroyed, 0);   // still on the stack
    };
    pool.drain();   // only the manager keeps them now
    mgr()->update(0.1f);
    EXPECT_EQ(gLog, (Log{"a", "b"}));   // b neither skipped nor stepped twice
    EXPECT_EQ(gDestroyed, 1);           // freed once its step returned
    EXPECT_EQ(mgr()->numberOfRunningActionsInTarget(n), 1u);
    EXPECT_EQ(b->stops, 0);
}

TEST_F(ActionManagerTest, RemovingNeighboursKeepsThePassInStep) {
    CCNode* n = CCNode::node();
    Recorder* a = Recorder::make("a", 10);
    Recorder* b = Recorder::make("b", 10);
    Recorder* c = Recorder::make("c", 10);
    Recorder* d = Recorder::make("d", 10);
    for (Recorder* r : {a, b, c, d}) mgr()->addAction(r, n, false);
    // b removes the one before it and the one after it.
    b->hook = [&] {
        b->hook = nullptr;
        mgr()->removeAction(a);
        mgr()->removeAction(c);
    };
    pool.drain();
    mgr()->update(0.1f);
    EXPECT_EQ(gLog, (Log{"a", "b", "d"}));
    EXPECT_EQ(gDestroyed, 2);
    gLog.clear();
    mgr()->update(0.1f);
    EXPECT_EQ(gLog, (Log{"b", "d"}));
}

TEST_F(ActionManagerTest, StoppingAllOwnActionsDropsRecordAfterThePass) {
    CCNode* n = CCNode::node();
    CCNode* m = CCNode::node();
    Recorder* a = Recorder::make("a", 10);
    Recorder* b = Recorder::make("b", 10);
    Recorder* other = Recorder::make("other", 10);
    mgr()->addAction(a, n, false);
    mgr()->addAction(b, n, false);
    mgr()->addAction(other, m, false);
    a->hook = [&] {
        n->stopAllActions();
        EXPECT_EQ(gDestroyed, 1);   // b goes, a is kept while it runs
        EXPECT_EQ(n->numberOfRunningActions(), 0u);
    };
    n->retain();
    pool.drain();
    unsigned nRefs = n->retainCount();   // ours and the record's
    mgr()->update(0.1f);
    EXPECT_EQ(gLog, (Log{"a", "other"}));
    EXPECT_EQ(gDestroyed, 2);
    EXPECT_EQ(n->retainCount(), nRefs - 1);   // record deleted, target released
    EXPECT_EQ(gStops, 0);                     // removals never stop
    mgr()->pauseTarget(n);                    // no record: no effect later
    Recorder* again = Recorder::make("again", 10);
    mgr()->addAction(again, n, false);
    gLog.clear();
    mgr()->update(0.1f);
    EXPECT_EQ(gLog, (Log{"other", "again"}));   // a new record goes last
    n->release();
}

TEST_F(ActionManagerTest, RemovingAnotherTargetsOrAllActionsFromInsideAStep) {
    // Held as a parent would hold them: removing a target's record
    // releases the target.
    host::Ref<CCNode> n1(CCNode::node()), n2(CCNode::node()), n3(CCNode::node());
    Recorder* a = Recorder::make("a", 10);
    Recorder* b = Recorder::make("b", 10);
    Recorder* c = Recorder::make("c", 10);
    mgr()->addAction(a, n1, false);
    mgr()->addAction(b, n2, false);
    mgr()->addAction(c, n3, false);
    a->hook = [&] { mgr()->removeAllActionsFromTarget(n2); };
    pool.drain();
    mgr()->update(0.1f);
    EXPECT_EQ(gLog, (Log{"a", "c"}));   // n2's record is gone, n3's still visited
    EXPECT_EQ(gDestroyed, 1);

    gLog.clear();
    Recorder* late = Recorder::make("late", 10);
    a->hook = [&] {
        a->hook = nullptr;
        mgr()->addAction(late, n1, false);   // appended: stepped this pass
        mgr()->addAction(Recorder::make("new", 10), n2, false);   // new record: visited too
    };
    mgr()->update(0.1f);
    EXPECT_EQ(gLog, (Log{"a", "late", "c", "new"}));

    gLog.clear();
    c->hook = [&] {
        mgr()->removeAllActions();
        EXPECT_EQ(gDestroyed, 1 + 3);   // a, late, new go; c is kept while it runs
    };
    pool.drain();
    mgr()->update(0.1f);
    EXPECT_EQ(gLog, (Log{"a", "late", "c"}));
    EXPECT_EQ(gDestroyed, 5);
    EXPECT_EQ(mgr()->numberOfRunningActionsInTarget(n1), 0u);
    EXPECT_EQ(mgr()->numberOfRunningActionsInTarget(n3), 0u);
}

TEST_F(ActionManagerTest, ActionRemovedByItsStartUpCodeIsNeverStepped) {
    CCNode* n = CCNode::node();
    class SelfCancelling : public CCActionInterval {
    public:
        void startWithTarget(CCNode* t) override {
            CCActionInterval::startWithTarget(t);
            CCActionManager::sharedManager()->removeAction(this);
        }
        void update(ccTime) override { ++updates; }
        int updates = 0;
    };
    auto* s = host::create<SelfCancelling>([](SelfCancelling* a) { return a->initWithDuration(1); });
    mgr()->addAction(s, n, false);
    EXPECT_EQ(mgr()->numberOfRunningActionsInTarget(n), 0u);
    mgr()->update(0.1f);
    EXPECT_EQ(s->updates, 0);
}

// ---- tags, counting, pausing ----------------------------------------------------

TEST_F(ActionManagerTest, TagsCountsAndUnknownTargets) {
    CCNode* n = CCNode::node();
    CCNode* stranger = CCNode::node();
    Recorder* a = Recorder::make("a", 10);
    Recorder* b = Recorder::make("b", 10);
    Recorder* c = Recorder::make("c", 10);
    a->setTag(5);
    b->setTag(5);
    c->setTag(6);
    EXPECT_EQ(n->runAction(a), a);
    n->runAction(b);
    n->runAction(c);
    EXPECT_EQ(n->numberOfRunningActions(), 3u);
    EXPECT_EQ(n->getActionByTag(5), a);
    EXPECT_EQ(n->getActionByTag(6), c);
    EXPECT_EQ(n->getActionByTag(9), nullptr);
    EXPECT_EQ(stranger->getActionByTag(5), nullptr);
    EXPECT_EQ(stranger->numberOfRunningActions(), 0u);

    n->stopActionByTag(5);   // only the first of two
    EXPECT_EQ(n->numberOfRunningActions(), 2u);
    EXPECT_EQ(n->getActionByTag(5), b);
    stranger->stopActionByTag(5);
    stranger->stopAction(b);   // removal goes by the action's own target
    EXPECT_EQ(n->numberOfRunningActions(), 1u);
    n->stopAction(nullptr);
    stranger->stopAllActions();
    n->stopAllActions();
    EXPECT_EQ(n->numberOfRunningActions(), 0u);
}

TEST_F(ActionManagerTest, PausedRecordKeepsItsFlag) {
    CCNode* n = CCNode::node();
    Recorder* a = Recorder::make("a", 10);
    Recorder* b = Recorder::make("b", 10);
    mgr()->addAction(a, n, true);
    mgr()->addAction(b, n, false);   // the record stays paused
    mgr()->update(0.1f);
    EXPECT_TRUE(gLog.empty());
    mgr()->resumeTarget(n);
    mgr()->update(0.1f);
    EXPECT_EQ(gLog, (Log{"a", "b"}));
    mgr()->pauseTarget(n);
    mgr()->update(0.1f);
    EXPECT_EQ(gLog.size(), 2u);
}

TEST_F(ActionManagerTest, NodeNotRunningHoldsActionsUntilOnEnter) {
    CCNode* n = CCNode::node();
    Recorder* a = Recorder::make("a", 10);
    n->runAction(a);
    CCScheduler::sharedScheduler()->tick(0.1f);   // the manager is a priority-0 update
    EXPECT_TRUE(gLog.empty());
    n->onEnter();
    CCScheduler::sharedScheduler()->tick(0.1f);
    EXPECT_EQ(gLog, (Log{"a"}));
    n->onExit();
    CCScheduler::sharedScheduler()->tick(0.1f);
    EXPECT_EQ(gLog.size(), 1u);
    EXPECT_EQ(n->numberOfRunningActions(), 1u);   // paused, still registered
    n->cleanup();
    EXPECT_EQ(n->numberOfRunningActions(), 0u);
}

TEST_F(ActionManagerTest, PurgeReleasesTargetsAndActions) {
    CCNode* n = CCNode::node();
    mgr()->addAction(Recorder::make("a", 10), n, false);
    pool.drain();
    n = CCNode::node();
    n->retain();
    pool.drain();
    unsigned before = n->retainCount();
    mgr()->addAction(Recorder::make("b", 10), n, false);
    EXPECT_EQ(n->retainCount(), before + 1);
    CCActionManager::purgeSharedManager();
    pool.drain();
    EXPECT_EQ(gDestroyed, 2);
    EXPECT_EQ(n->retainCount(), before);
    n->release();
}
