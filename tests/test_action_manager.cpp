#include <gtest/gtest.h>

#include <vector>

#include "engine/CCAction.h"
#include "engine/CCActionManager.h"
#include "engine/CCNode.h"
#include "engine/CCScheduler.h"

namespace {

// An interval action that records the times it is updated with, and can
// run a hook from inside its own update.
class Probe : public CCActionInterval {
public:
    static Probe* make(ccTime d) {
        return host::create<Probe>([d](Probe* p) { return p->initWithDuration(d); });
    }
    void update(ccTime t) override {
        seen.push_back(t);
        if (hook) hook();
    }
    std::vector<float> seen;
    std::function<void()> hook;
    static int alive;
    Probe() { ++alive; }
    ~Probe() override { --alive; }
};
int Probe::alive = 0;

class ActionManagerTest : public ::testing::Test {
protected:
    void TearDown() override {
        CCActionManager::purgeSharedManager();
        CCScheduler::purgeSharedScheduler();
        pool_.drain();
        EXPECT_EQ(Probe::alive, 0);
    }
    void tick(ccTime dt) { CCScheduler::sharedScheduler()->tick(dt); }
    host::AutoreleasePool pool_;
};

TEST_F(ActionManagerTest, FirstStepSeesZeroAndTimeIsClampedAtOne) {
    CCActionManager::sharedManager();
    CCNode* node = CCNode::node();
    node->onEnter();
    Probe* p = Probe::make(1.0f);
    node->runAction(p);
    tick(0.5f);
    tick(0.5f);
    tick(0.75f);
    ASSERT_GE(p->seen.size(), 2u);
    EXPECT_FLOAT_EQ(p->seen[0], 0.0f);
    EXPECT_FLOAT_EQ(p->seen[1], 0.5f);
    EXPECT_LE(p->seen.back(), 1.0f);
    EXPECT_EQ(node->numberOfRunningActions(), 0u);
    node->onExit();
}

TEST_F(ActionManagerTest, ActionsOfANodeNotRunningWaitForOnEnter) {
    CCActionManager::sharedManager();
    CCNode* node = CCNode::node();
    Probe* p = Probe::make(2.0f);
    node->runAction(p);
    tick(0.1f);
    EXPECT_TRUE(p->seen.empty());
    node->onEnter();
    tick(0.1f);
    EXPECT_EQ(p->seen.size(), 1u);
    node->onExit();
    node->cleanup();
}

TEST_F(ActionManagerTest, AnActionThatStopsEverythingFromItsStepIsNotFreedUnderItself) {
    CCActionManager::sharedManager();
    host::Ref<CCNode> keep = CCNode::node();
    CCNode* node = keep.get();
    node->onEnter();
    Probe* a = Probe::make(5.0f);
    Probe* b = Probe::make(5.0f);
    a->setTag(7);
    node->runAction(a);
    node->runAction(b);
    EXPECT_EQ(node->getActionByTag(7), a);
    a->hook = [node] { node->stopAllActions(); };
    pool_.drain();  // only the manager holds the actions now
    tick(0.1f);
    EXPECT_EQ(node->numberOfRunningActions(), 0u);
    node->onExit();
    node->cleanup();
}

}  // namespace
