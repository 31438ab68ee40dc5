// One scheduler frame with many registrations: the per-frame walk must stay
// a plain list / hash walk with no allocation.
#include <benchmark/benchmark.h>

#include <vector>

#include "engine/CCScheduler.h"

namespace {

class BenchTarget : public host::Object {
public:
    void update(ccTime dt) { acc += dt; }
    void step(ccTime dt) { acc += dt; }
    float acc = 0;
};

std::vector<BenchTarget*> makeTargets(int n) {
    std::vector<BenchTarget*> v;
    v.reserve(n);
    for (int i = 0; i < n; ++i) v.push_back(host::createOwned<BenchTarget>([](BenchTarget*) { return true; }));
    return v;
}

void releaseAll(std::vector<BenchTarget*>& v) {
    for (BenchTarget* t : v) t->release();
}

void BM_TickUpdates(benchmark::State& state) {
    const int n = int(state.range(0));
    std::vector<BenchTarget*> targets = makeTargets(n);
    CCScheduler* s = CCScheduler::sharedScheduler();
    for (BenchTarget* t : targets) s->scheduleUpdateForTarget(t, 0, false);
    for (auto _ : state) s->tick(1.0f / 60);
    state.SetItemsProcessed(state.iterations() * n);
    CCScheduler::purgeSharedScheduler();
    releaseAll(targets);
}
BENCHMARK(BM_TickUpdates)->Arg(10000);

void BM_TickTimers(benchmark::State& state) {
    const int n = int(state.range(0));
    std::vector<BenchTarget*> targets = makeTargets(n);
    CCScheduler* s = CCScheduler::sharedScheduler();
    for (BenchTarget* t : targets) s->scheduleSelector(schedule_selector(BenchTarget::step), t, 0, false);
    for (auto _ : state) s->tick(1.0f / 60);
    state.SetItemsProcessed(state.iterations() * n);
    CCScheduler::purgeSharedScheduler();
    releaseAll(targets);
}
BENCHMARK(BM_TickTimers)->Arg(10000);

}  // namespace
