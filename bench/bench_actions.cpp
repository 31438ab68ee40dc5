// The action manager's per-frame step with a crowd of running actions:
// 10,000 sprites, each repeating for ever a sequence of a move, a turn and
// a fade. Durations differ per sprite so that sequence hand-overs and cycle
// restarts happen in every frame, as they would in a busy scene.
#include <benchmark/benchmark.h>

#include <vector>

#include "GLTestEnvironment.h"
#include "engine/CCActionInterval.h"
#include "engine/CCActionIntervalProperty.h"
#include "engine/CCActionManager.h"
#include "engine/CCScheduler.h"
#include "engine/CCSprite.h"
#include "engine/Support/CGPointExtension.h"
#include "host/core/Object.h"

namespace {

constexpr int kNodes = 10000;
constexpr float kFrame = 1.0f / 60;

// The action every sprite runs; `i` varies the durations.
CCAction* crowdAction(int i) {
    const float d = 0.2f + 0.05f * (i % 11);
    CCFiniteTimeAction* cycle = CCSequence::actions(CCMoveBy::actionWithDuration(d, ccp(10, -4)),
                                                    CCRotateBy::actionWithDuration(d * 0.5f, 90),
                                                    CCFadeTo::actionWithDuration(d * 0.75f, (i * 37) & 0xFF), nullptr);
    return CCRepeatForever::actionWithAction(static_cast<CCActionInterval*>(cycle));
}

void BM_ActionManagerStep10k(benchmark::State& state) {
    if (!ensureHeadlessDisplay()) {
        state.SkipWithError("no GLES 1.1 context");
        return;
    }
    host::AutoreleasePool pool;
    CCActionManager::purgeSharedManager();
    CCActionManager* manager = CCActionManager::sharedManager();
    std::vector<CCSprite*> sprites;
    sprites.reserve(kNodes);
    for (int i = 0; i < kNodes; ++i) {
        CCSprite* s = CCSprite::node();
        s->retain();
        s->onEnter();  // running: its actions are not paused
        s->runAction(crowdAction(i));
        sprites.push_back(s);
    }
    pool.drain();
    // Every action through its first cycle: all sequences have started all
    // their parts at least once.
    for (int i = 0; i < 120; ++i) manager->update(kFrame);

    for (auto _ : state) manager->update(kFrame);
    state.SetItemsProcessed(state.iterations() * kNodes);

    for (CCSprite* s : sprites) {
        s->onExit();
        s->cleanup();
        s->release();
    }
    CCActionManager::purgeSharedManager();
    CCScheduler::purgeSharedScheduler();
}
BENCHMARK(BM_ActionManagerStep10k)->Unit(benchmark::kMicrosecond);

}  // namespace
