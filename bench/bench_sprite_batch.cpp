// A batch node full of moving sprites, one frame at a time, drawn
// offscreen into a 480 x 320 view: the engine's CPU work per frame (the
// scheduler tick that moves every sprite, and every sprite rewriting its
// quad) is timed apart from the GL side (the batch's draw call, made in
// the GL state the director draws in, and glFinish, which waits for the
// rasteriser). The first frame is read back: it must have pixels on it.
//
// Reported per frame: the iteration time is the mean engine CPU time (this
// thread's CPU clock); "cpu_median_ms" its median, "gl_ms" the mean GL
// draw-and-finish wall time,
// "draw_calls" the draws the batch issues (one per 16384 quads).
#include <GLES/gl.h>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <vector>

#include "BatchMover.h"
#include "BenchSupport.h"
#include "GLTestEnvironment.h"
#include "TestTextures.h"
#include "engine/CCDirector.h"
#include "engine/CCScene.h"
#include "engine/CCScheduler.h"
#include "engine/CCSprite.h"
#include "engine/CCSpriteBatchNode.h"
#include "engine/CCTextureAtlas.h"
#include "engine/platform/CCDirectorIOS.h"
#include "engine/platform/EAGLView.h"

namespace {

using Clock = std::chrono::steady_clock;

double millisecondsBetween(Clock::time_point a, Clock::time_point b) {
    return std::chrono::duration<double, std::milli>(b - a).count();
}

void BM_SpriteBatchFrame(benchmark::State& state) {
    if (!ensureHeadlessDisplay()) {
        state.SkipWithError("no GLES 1.1 context");
        return;
    }
    const int count = int(state.range(0));
    host::AutoreleasePool pool;
    auto* director = static_cast<CCDirectorIOS*>(CCDirectorTimer::sharedDirector());
    director->setOpenGLView(EAGLView::viewWithFrame(CGRectMake(0, 0, 480, 320), kEAGLColorFormatRGBA8, 0));
    director->setProjection(kCCDirectorProjection2D);
    CCScene* scene = CCScene::node();
    director->runWithScene(scene);
    director->drawScene();  // makes the scene current

    CCTexture2D* texture = makeSolidTexture(16, 16, kWhite);
    BatchMover* mover = BatchMover::fill(scene, texture, CGRectMake(0, 0, 8, 8), count);
    CCSpriteBatchNode* batch = mover->batch;
    pool.drain();

    CCScheduler* scheduler = CCScheduler::sharedScheduler();
    ccArray* descendants = batch->descendants()->data;
    std::vector<double> cpu;
    cpu.reserve(1 << 16);
    double glTotal = 0;
    bool checked = false;
    for (auto _ : state) {
        const double c0 = threadCpuMilliseconds();
        scheduler->tick(1.0f / 60);
        // The quad updates the batch's draw would do first; done here so
        // the GL part below only submits and waits.
        for (unsigned i = 0; i < descendants->count; ++i) {
            CCSprite* s = static_cast<CCSprite*>(descendants->items[i]);
            s->updateMethod()(s);
        }
        const double c1 = threadCpuMilliseconds();
        const Clock::time_point t1 = Clock::now();
        glClear(GL_COLOR_BUFFER_BIT);
        {
            DirectorVisitState drawing;
            scene->visit();
        }
        glFinish();
        const Clock::time_point t2 = Clock::now();
        if (!checked) {
            checked = true;
            if (!expectDrawnPixels(state, litPixels(320, 480))) break;
        }
        const double engine = c1 - c0;
        if (cpu.size() < cpu.capacity()) cpu.push_back(engine);
        glTotal += millisecondsBetween(t1, t2);
        state.SetIterationTime(engine / 1000.0);
    }

    std::sort(cpu.begin(), cpu.end());
    const double iterations = double(state.iterations());
    state.counters["cpu_median_ms"] = cpu.empty() ? 0 : cpu[cpu.size() / 2];
    state.counters["gl_ms"] = iterations > 0 ? glTotal / iterations : 0;
    const unsigned block = CCTextureAtlas::kMaxQuadsPerDraw;
    state.counters["draw_calls"] = double((batch->textureAtlas()->totalQuads() + block - 1) / block);
    state.SetItemsProcessed(state.iterations() * count);

    director->end();
    pool.drain();
}
BENCHMARK(BM_SpriteBatchFrame)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(100000)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->MinTime(2.0);

}  // namespace
