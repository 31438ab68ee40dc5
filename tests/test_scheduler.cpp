// CCScheduler / CCTimer: ordering, deferred removal during a tick, pausing,
// time scale and the timer stepping rule.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "engine/CCScheduler.h"

namespace {

std::vector<std::string> gLog;

// A target that logs every call and can run a hook from inside a callback.
class Probe : public host::Object {
public:
    static Probe* make(const std::string& name) {
        return host::create<Probe>([&](Probe* p) { p->name = name; return true; });
    }
    void update(ccTime dt) {
        gLog.push_back(name + ".update");
        dts.push_back(dt);
        if (onUpdate) onUpdate();
    }
    void a(ccTime dt) { fired("a", dt, onA); }
    void b(ccTime dt) { fired("b", dt, onB); }
    void c(ccTime dt) { fired("c", dt, onC); }

    std::string name;
    std::vector<ccTime> dts;
    std::function<void()> onUpdate, onA, onB, onC;

private:
    void fired(const char* which, ccTime dt, const std::function<void()>& hook) {
        gLog.push_back(name + "." + which);
        dts.push_back(dt);
        if (hook) hook();
    }
};

CCScheduler* sched() { return CCScheduler::sharedScheduler(); }

const SEL_SCHEDULE kA = schedule_selector(Probe::a);
const SEL_SCHEDULE kB = schedule_selector(Probe::b);
const SEL_SCHEDULE kC = schedule_selector(Probe::c);

using Log = std::vector<std::string>;

class SchedulerTest : public ::testing::Test {
protected:
    void SetUp() override { gLog.clear(); }
    void TearDown() override { CCScheduler::purgeSharedScheduler(); }
    host::AutoreleasePool pool;
};

}  // namespace

TEST_F(SchedulerTest, UpdatesRunByPriorityThenTimers) {
    Probe *neg = Probe::make("neg"), *z1 = Probe::make("z1"), *pos = Probe::make("pos"),
          *z2 = Probe::make("z2"), *pos2 = Probe::make("pos2"), *t = Probe::make("t");
    sched()->scheduleSelector(kA, t, 0, false);   // timers run after every update
    sched()->scheduleUpdateForTarget(neg, -5, false);
    sched()->scheduleUpdateForTarget(z1, 0, false);
    sched()->scheduleUpdateForTarget(pos, 10, false);
    sched()->scheduleUpdateForTarget(z2, 0, false);
    sched()->scheduleUpdateForTarget(pos2, 10, false);   // same priority: later
    sched()->tick(0.1f);
    EXPECT_EQ(gLog, (Log{"neg.update", "z1.update", "z2.update", "pos.update", "pos2.update", "t.a"}));
}

TEST_F(SchedulerTest, PriorityInsertionKeepsAscendingOrder) {
    Probe *p3 = Probe::make("p3"), *p1 = Probe::make("p1"), *p2 = Probe::make("p2"),
          *m1 = Probe::make("m1"), *m9 = Probe::make("m9");
    sched()->scheduleUpdateForTarget(p3, 3, false);
    sched()->scheduleUpdateForTarget(p1, 1, false);
    sched()->scheduleUpdateForTarget(p2, 2, false);
    sched()->scheduleUpdateForTarget(m1, -1, false);
    sched()->scheduleUpdateForTarget(m9, -9, false);
    sched()->tick(0);
    EXPECT_EQ(gLog, (Log{"m9.update", "m1.update", "p1.update", "p2.update", "p3.update"}));
}

TEST_F(SchedulerTest, TimerFirstTickSeesZeroThenDeltas) {
    Probe* t = Probe::make("t");
    sched()->scheduleSelector(kA, t, 0, false);
    sched()->tick(0.5f);
    sched()->tick(0.25f);
    EXPECT_EQ(t->dts, (std::vector<ccTime>{0.0f, 0.25f}));
}

TEST_F(SchedulerTest, IntervalTimerDropsRemainder) {
    Probe* t = Probe::make("t");
    sched()->scheduleSelector(kA, t, 1.0f, false);
    sched()->tick(0.4f);   // starts the clock
    sched()->tick(0.4f);
    sched()->tick(0.4f);
    EXPECT_TRUE(t->dts.empty());
    sched()->tick(0.4f);   // elapsed 1.2
    ASSERT_EQ(t->dts.size(), 1u);
    EXPECT_NEAR(t->dts[0], 1.2f, 1e-5);
    // The 0.2 beyond the interval is not carried: two more ticks do not fire.
    sched()->tick(0.4f);
    sched()->tick(0.4f);
    EXPECT_EQ(t->dts.size(), 1u);
    sched()->tick(0.4f);
    EXPECT_EQ(t->dts.size(), 2u);
}

TEST_F(SchedulerTest, RescheduleOnlyChangesInterval) {
    Probe* t = Probe::make("t");
    sched()->scheduleSelector(kA, t, 2.0f, false);
    sched()->scheduleSelector(kA, t, 0.5f, false);
    sched()->tick(0.3f);   // start
    sched()->tick(0.3f);
    EXPECT_TRUE(gLog.empty());
    sched()->tick(0.3f);   // 0.6 >= 0.5; one timer only, so one call
    EXPECT_EQ(gLog, (Log{"t.a"}));
}

TEST_F(SchedulerTest, TimerUnschedulingItselfLetsNextTimerRun) {
    Probe* t = Probe::make("t");
    sched()->scheduleSelector(kA, t, 0, false);
    sched()->scheduleSelector(kB, t, 0, false);
    sched()->scheduleSelector(kC, t, 0, false);
    t->onA = [&] { sched()->unscheduleSelector(kA, t); };
    sched()->tick(0.1f);
    EXPECT_EQ(gLog, (Log{"t.a", "t.b", "t.c"}));
    gLog.clear();
    sched()->tick(0.1f);
    EXPECT_EQ(gLog, (Log{"t.b", "t.c"}));
}

TEST_F(SchedulerTest, UnschedulingLaterTimerFromEarlierSkipsIt) {
    Probe* t = Probe::make("t");
    sched()->scheduleSelector(kA, t, 0, false);
    sched()->scheduleSelector(kB, t, 0, false);
    sched()->scheduleSelector(kC, t, 0, false);
    t->onA = [&] { sched()->unscheduleSelector(kB, t); };
    sched()->tick(0.1f);
    EXPECT_EQ(gLog, (Log{"t.a", "t.c"}));
}

TEST_F(SchedulerTest, LastTimerUnschedulingItselfReleasesTarget) {
    Probe *t = Probe::make("t"), *after = Probe::make("after");
    unsigned base = t->retainCount();
    sched()->scheduleSelector(kA, t, 0, false);
    sched()->scheduleSelector(kA, after, 0, false);
    EXPECT_EQ(t->retainCount(), base + 1);
    t->onA = [&] { sched()->unscheduleSelector(kA, t); };
    sched()->tick(0.1f);
    EXPECT_EQ(gLog, (Log{"t.a", "after.a"}));
    EXPECT_EQ(t->retainCount(), base);
    EXPECT_FALSE(sched()->isTargetPaused(t));
    // The target can be scheduled again afterwards.
    t->onA = nullptr;
    gLog.clear();
    sched()->scheduleSelector(kA, t, 0, false);
    sched()->tick(0.1f);
    EXPECT_EQ(gLog, (Log{"after.a", "t.a"}));   // re-added at the end of the order
}

TEST_F(SchedulerTest, UnscheduleAllInsideTimerStopsRemainingTimers) {
    Probe *t = Probe::make("t"), *other = Probe::make("other");
    unsigned base = t->retainCount();
    sched()->scheduleSelector(kA, t, 0, false);
    sched()->scheduleSelector(kB, t, 0, false);
    sched()->scheduleSelector(kC, t, 0, false);
    sched()->scheduleUpdateForTarget(t, 0, false);
    sched()->scheduleSelector(kA, other, 0, false);
    t->onA = [&] { sched()->unscheduleAllSelectorsForTarget(t); };
    sched()->tick(0.1f);
    EXPECT_EQ(gLog, (Log{"t.update", "t.a", "other.a"}));
    EXPECT_EQ(t->retainCount(), base);   // timer entry and update entry gone
    gLog.clear();
    sched()->tick(0.1f);
    EXPECT_EQ(gLog, (Log{"other.a"}));
}

TEST_F(SchedulerTest, UnscheduleEverythingInsideTimer) {
    Probe *t1 = Probe::make("t1"), *t2 = Probe::make("t2"), *u = Probe::make("u");
    unsigned base1 = t1->retainCount(), base2 = t2->retainCount(), baseU = u->retainCount();
    sched()->scheduleSelector(kA, t1, 0, false);
    sched()->scheduleSelector(kB, t1, 0, false);
    sched()->scheduleSelector(kA, t2, 0, false);
    sched()->scheduleUpdateForTarget(u, 3, false);
    t1->onA = [&] { sched()->unscheduleAllSelectors(); };
    sched()->tick(0.1f);
    EXPECT_EQ(gLog, (Log{"u.update", "t1.a"}));
    EXPECT_EQ(t1->retainCount(), base1);
    EXPECT_EQ(t2->retainCount(), base2);
    EXPECT_EQ(u->retainCount(), baseU);
    gLog.clear();
    sched()->tick(0.1f);
    EXPECT_TRUE(gLog.empty());
}

TEST_F(SchedulerTest, UpdateRemovedByAnotherUpdateIsNotCalled) {
    Probe *killer = Probe::make("killer"), *victim = Probe::make("victim"), *late = Probe::make("late");
    unsigned base = victim->retainCount();
    sched()->scheduleUpdateForTarget(killer, 0, false);
    sched()->scheduleUpdateForTarget(victim, 0, false);
    sched()->scheduleUpdateForTarget(late, 0, false);
    killer->onUpdate = [&] { sched()->unscheduleUpdateForTarget(victim); };
    sched()->tick(0.1f);
    EXPECT_EQ(gLog, (Log{"killer.update", "late.update"}));
    EXPECT_EQ(victim->retainCount(), base);   // freed at the end of the tick
    gLog.clear();
    sched()->tick(0.1f);
    EXPECT_EQ(gLog, (Log{"killer.update", "late.update"}));
}

TEST_F(SchedulerTest, UpdateRemovingItselfFinishesAndIsFreed) {
    Probe *self = Probe::make("self"), *next = Probe::make("next");
    unsigned base = self->retainCount();
    sched()->scheduleUpdateForTarget(self, -1, false);
    sched()->scheduleUpdateForTarget(next, -1, false);
    self->onUpdate = [&] { sched()->unscheduleUpdateForTarget(self); };
    sched()->tick(0.1f);
    EXPECT_EQ(gLog, (Log{"self.update", "next.update"}));
    EXPECT_EQ(self->retainCount(), base);
}

TEST_F(SchedulerTest, RescheduleOfPendingRemovalKeepsOldPriority) {
    Probe *killer = Probe::make("killer"), *v = Probe::make("v"), *p1 = Probe::make("p1");
    sched()->scheduleUpdateForTarget(killer, -1, false);
    sched()->scheduleUpdateForTarget(v, 0, false);
    sched()->scheduleUpdateForTarget(p1, 1, false);
    killer->onUpdate = [&] {
        sched()->unscheduleUpdateForTarget(v);
        sched()->scheduleUpdateForTarget(v, 5, false);   // asks for a later slot
    };
    sched()->tick(0.1f);
    EXPECT_EQ(gLog, (Log{"killer.update", "v.update", "p1.update"}));
    killer->onUpdate = nullptr;
    gLog.clear();
    sched()->tick(0.1f);
    EXPECT_EQ(gLog, (Log{"killer.update", "v.update", "p1.update"}));
}

TEST_F(SchedulerTest, SecondUpdateRegistrationIsIgnored) {
    Probe *a = Probe::make("a"), *b = Probe::make("b");
    sched()->scheduleUpdateForTarget(a, 0, false);
    sched()->scheduleUpdateForTarget(b, 0, false);
    sched()->scheduleUpdateForTarget(a, 7, true);
    sched()->tick(0);
    EXPECT_EQ(gLog, (Log{"a.update", "b.update"}));
}

TEST_F(SchedulerTest, PauseResumeAndIsTargetPaused) {
    Probe *onlyUpdate = Probe::make("u"), *t = Probe::make("t");
    sched()->scheduleUpdateForTarget(onlyUpdate, 0, false);
    sched()->pauseTarget(onlyUpdate);
    EXPECT_FALSE(sched()->isTargetPaused(onlyUpdate));   // only timers are consulted
    sched()->tick(0.1f);
    EXPECT_TRUE(gLog.empty());

    sched()->scheduleSelector(kA, t, 0, true);
    sched()->scheduleSelector(kB, t, 0, false);   // the entry keeps its first paused flag
    sched()->scheduleUpdateForTarget(t, 0, false);
    EXPECT_TRUE(sched()->isTargetPaused(t));
    sched()->tick(0.1f);
    EXPECT_EQ(gLog, (Log{"t.update"}));
    gLog.clear();

    sched()->pauseTarget(t);
    sched()->tick(0.1f);
    EXPECT_TRUE(gLog.empty());

    sched()->resumeTarget(t);
    sched()->resumeTarget(onlyUpdate);
    EXPECT_FALSE(sched()->isTargetPaused(t));
    sched()->tick(0.1f);
    EXPECT_EQ(gLog, (Log{"u.update", "t.update", "t.a", "t.b"}));
}

TEST_F(SchedulerTest, TimeScaleAppliesToEverything) {
    Probe *u = Probe::make("u"), *t = Probe::make("t");
    EXPECT_EQ(sched()->timeScale(), 1.0f);
    sched()->setTimeScale(0.5f);
    sched()->scheduleUpdateForTarget(u, 0, false);
    sched()->scheduleSelector(kA, t, 0, false);
    sched()->tick(0.2f);
    sched()->tick(0.2f);
    EXPECT_EQ(u->dts, (std::vector<ccTime>{0.1f, 0.1f}));
    EXPECT_EQ(t->dts, (std::vector<ccTime>{0.0f, 0.1f}));
}

TEST_F(SchedulerTest, UnscheduleOfUnknownIsAbsorbed) {
    Probe *t = Probe::make("t"), *stranger = Probe::make("s");
    sched()->scheduleSelector(kA, t, 0, false);
    sched()->unscheduleSelector(kB, t);
    sched()->unscheduleSelector(kA, stranger);
    sched()->unscheduleSelector(SEL_SCHEDULE(), nullptr);
    sched()->unscheduleUpdateForTarget(stranger);
    sched()->unscheduleUpdateForTarget(nullptr);
    sched()->unscheduleAllSelectorsForTarget(nullptr);
    sched()->tick(0);
    EXPECT_EQ(gLog, (Log{"t.a"}));
}

TEST_F(SchedulerTest, PurgeReleasesTargetsAndStartsFresh) {
    Probe *t = Probe::make("t"), *u = Probe::make("u");
    unsigned bt = t->retainCount(), bu = u->retainCount();
    sched()->scheduleSelector(kA, t, 0, false);
    sched()->scheduleSelector(kB, t, 0, false);
    sched()->scheduleUpdateForTarget(u, -2, false);
    sched()->setTimeScale(3);
    CCScheduler::purgeSharedScheduler();
    EXPECT_EQ(t->retainCount(), bt);
    EXPECT_EQ(u->retainCount(), bu);
    EXPECT_EQ(sched()->timeScale(), 1.0f);
    sched()->tick(0.1f);
    EXPECT_TRUE(gLog.empty());
}

TEST_F(SchedulerTest, ManyTargetsRunInInsertionOrder) {
    // Timer entries run in the order their targets were first scheduled.
    Probe* t = Probe::make("t");
    std::vector<Probe*> others;
    for (int i = 0; i < 15; ++i) {
        others.push_back(Probe::make("p" + std::to_string(i)));
        sched()->scheduleSelector(kA, others.back(), 0, false);
        sched()->scheduleSelector(kB, others.back(), 0, false);
    }
    sched()->scheduleSelector(kA, t, 0, false);
    sched()->scheduleSelector(kB, t, 0, false);
    sched()->scheduleSelector(kC, t, 0, false);
    sched()->tick(0);
    EXPECT_EQ(gLog.size(), 15u * 2 + 3);
    EXPECT_EQ(gLog.front(), "p0.a");
    EXPECT_EQ(gLog.back(), "t.c");
}

TEST(SchedulerTimerTest, FactoriesAndDescription) {
    host::AutoreleasePool pool;
    Probe* p = Probe::make("p");
    CCTimer* t = CCTimer::timerWithTarget(p, kA);
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->interval(), 0.0f);
    t->setInterval(2);
    EXPECT_EQ(t->interval(), 2.0f);
    CCTimer* t2 = CCTimer::timerWithTarget(p, kB, 0.25f);
    EXPECT_EQ(t2->interval(), 0.25f);
    EXPECT_EQ(host::create<CCTimer>(), nullptr);   // plain init is refused

    std::string d = t->description();
    EXPECT_EQ(d, "<CCTimer = " + host::addressString(t) + " | target:Probe selector:(Probe::a)>");

    gLog.clear();
    CCTimer* direct = CCTimer::timerWithTarget(p, kC);
    direct->update(9);    // starts the clock, fires with 0
    direct->update(0.5f);
    EXPECT_EQ(gLog, (Log{"p.c", "p.c"}));
    EXPECT_EQ(p->dts.back(), 0.5f);
}
