// The per-frame path must not allocate once a scene is set up: this binary
// counts every global operator new and checks a scheduler tick and a tree
// visit make none.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>

#include "GLTestEnvironment.h"
#include "engine/CCNode.h"
#include "engine/CCScheduler.h"

namespace {
std::atomic<long> gAllocations{0};
}

void* operator new(std::size_t n) {
    ++gAllocations;
    if (void* p = std::malloc(n ? n : 1)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

namespace {

class Ticking : public CCNode {
public:
    static Ticking* node() { return host::create<Ticking>(); }
    void update(ccTime dt) override { total += dt; }
    void timer(ccTime dt) { total += dt; }
    float total = 0;
};

TEST(SteadyState, TickAndVisitAllocateNothing) {
    ASSERT_TRUE(ensureHeadlessDisplay());
    host::AutoreleasePool pool;
    CCNode* root = CCNode::node();
    root->retain();
    for (int i = 0; i < 200; ++i) {
        Ticking* n = Ticking::node();
        n->setPosition(CGPointMake(i, i));
        n->setRotation(static_cast<float>(i));
        root->addChild(n, i % 3 - 1);
        n->scheduleUpdate();
        n->schedule(schedule_selector(Ticking::timer), 0.5f);
    }
    root->onEnter();
    CCScheduler* scheduler = CCScheduler::sharedScheduler();
    scheduler->tick(0.016f);  // first frame caches transforms and timers
    root->visit();
    pool.drain();

    long before = gAllocations.load();
    ASSERT_GT(before, 0) << "the counter sees allocations at all";
    for (int frame = 0; frame < 120; ++frame) {
        scheduler->tick(1.0f / 60);
        root->visit();
    }
    EXPECT_EQ(gAllocations.load() - before, 0);

    root->onExit();
    root->cleanup();
    root->release();
    CCScheduler::purgeSharedScheduler();
}

}  // namespace
