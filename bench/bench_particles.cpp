// Ten emitters of 1,000 live particles each in a 480 x 320 landscape
// window, for both renderers:
//  - ParticlesUpdate: one scheduler tick, i.e. every emitter's update with
//    the vertex fill, in engine CPU time (thread CPU clock); counters give
//    the median and 90th percentile per frame and the allocations made;
//  - ParticlesDraw: drawing the ten emitters (visit, then glFinish, so the
//    software rasteriser's work is included); counters give GL draw calls
//    per frame and allocations.
// The budget: update median at most 1.5 ms, one draw call per emitter, no
// allocation per frame. The first drawn frame is read back: it must have
// pixels on it.
//
// GL draw calls and allocations are counted by wrapping the real
// functions: the definitions below take precedence over the shared
// libraries' and forward to them.
#include <GLES/gl.h>
#include <benchmark/benchmark.h>
#include <dlfcn.h>
#include <time.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <new>
#include <vector>

#include "BenchSupport.h"
#include "GLTestEnvironment.h"
#include "engine/CCDirector.h"
#include "engine/CCParticleSystemPoint.h"
#include "engine/CCParticleSystemQuad.h"
#include "engine/CCScene.h"
#include "engine/CCScheduler.h"
#include "engine/platform/CCDirectorIOS.h"
#include "engine/platform/EAGLView.h"
#include "host/core/Object.h"

// ---- Counting wrappers --------------------------------------------------------

namespace {
std::atomic<long> gDrawCalls{0};
std::atomic<long> gAllocations{0};
// Only the measuring thread counts: the rasteriser's threads allocate too.
thread_local bool tCounting = false;

template <class F> F realFunction(const char* name) { return reinterpret_cast<F>(dlsym(RTLD_NEXT, name)); }

// Allocations the GL driver makes while it draws are its own, not the
// engine's: they are counted apart.
std::atomic<long> gDriverAllocations{0};
thread_local bool tInDriver = false;
struct DriverScope {
    DriverScope() : saved(tInDriver) { tInDriver = true; }
    ~DriverScope() { tInDriver = saved; }
    bool saved;
};
inline void countAllocation() {
    if (!tCounting) return;
    if (tInDriver) ++gDriverAllocations;
    else ++gAllocations;
}
}  // namespace

extern "C" {
extern void* __libc_malloc(size_t);
extern void* __libc_calloc(size_t, size_t);
extern void* __libc_realloc(void*, size_t);
extern void __libc_free(void*);

void* malloc(size_t n) {
    countAllocation();
    return __libc_malloc(n);
}
void* calloc(size_t n, size_t size) {
    countAllocation();
    return __libc_calloc(n, size);
}
void* realloc(void* p, size_t n) {
    countAllocation();
    return __libc_realloc(p, n);
}

void glDrawArrays(GLenum mode, GLint first, GLsizei count) {
    static const auto real = realFunction<void (*)(GLenum, GLint, GLsizei)>("glDrawArrays");
    ++gDrawCalls;
    DriverScope driver;
    real(mode, first, count);
}
void glDrawElements(GLenum mode, GLsizei count, GLenum type, const void* indices) {
    static const auto real = realFunction<void (*)(GLenum, GLsizei, GLenum, const void*)>("glDrawElements");
    ++gDrawCalls;
    DriverScope driver;
    real(mode, count, type, indices);
}
}

void* operator new(std::size_t n) {
    if (void* p = malloc(n ? n : 1)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept { __libc_free(p); }
void operator delete(void* p, std::size_t) noexcept { __libc_free(p); }

namespace {

constexpr int kEmitters = 10;
constexpr unsigned kParticles = 1000;
constexpr float kFrame = 1.0f / 60;

// A director drawing a landscape 480 x 320 window, and a scene running
// ten full emitters spread over it.
class ParticleScene {
public:
    template <class Emitter> static ParticleScene* make() {
        if (!ensureHeadlessDisplay()) return nullptr;
        auto* s = new ParticleScene;
        s->director_ = static_cast<CCDirectorIOS*>(CCDirectorTimer::sharedDirector());
        s->director_->setOpenGLView(EAGLView::viewWithFrame(CGRectMake(0, 0, 320, 480), kEAGLColorFormatRGBA8, 0));
        s->director_->setProjection(kCCDirectorProjection2D);
        s->director_->setDeviceOrientation(kCCDeviceOrientationLandscapeLeft);
        s->scene_ = CCScene::node();
        s->director_->runWithScene(s->scene_);
        s->director_->drawScene();  // makes the scene current

        CCTexture2D* texture = solidTexture();
        const CGSize win = s->director_->winSize();
        for (int i = 0; i < kEmitters; ++i) {
            Emitter* e = host::create<Emitter>([](Emitter* p) { return p->initWithTotalParticles(kParticles); });
            configure(e, texture);
            e->setPosition(CGPointMake(win.width * float(i % 5 + 1) / 6, win.height * float(i / 5 + 1) / 3));
            s->scene_->addChild(e);
            s->emitters_.push_back(e);
        }
        // Fill every pool: particles live 1 s at 1000 a second.
        for (int frame = 0; frame < 90; ++frame) CCScheduler::sharedScheduler()->tick(kFrame);
        s->pool_.drain();
        return s;
    }
    ~ParticleScene() {
        director_->end();
        pool_.drain();
    }

    unsigned liveParticles() const {
        unsigned n = 0;
        for (CCParticleSystem* e : emitters_) n += e->particleCount();
        return n;
    }
    void draw() const {
        DirectorVisitState drawing;
        for (CCParticleSystem* e : emitters_) e->visit();
    }

private:
    static CCTexture2D* solidTexture() {
        std::vector<uint32_t> white(32 * 32, 0xFFFFFFFFu);
        return host::create<CCTexture2D>([&](CCTexture2D* t) {
            return t->initWithData(white.data(), kCCTexture2DPixelFormat_RGBA8888, 32, 32, CGSizeMake(32, 32));
        });
    }
    // Gravity mode with every per-particle term in use, spinning (which
    // the quad renderer pays for), colour and size changing.
    static void configure(CCParticleSystem* e, CCTexture2D* texture) {
        e->setDuration(kCCParticleDurationInfinity);
        e->setLife(1);
        e->setEmissionRate(float(kParticles) * 1.05f);
        e->setGravity(CGPointMake(0, -20));
        e->setSpeed(60), e->setSpeedVar(20);
        e->setRadialAccel(-10), e->setRadialAccelVar(5);
        e->setTangentialAccel(15), e->setTangentialAccelVar(5);
        e->setAngle(90), e->setAngleVar(360);
        e->setStartSize(8), e->setStartSizeVar(2), e->setEndSize(2);
        e->setStartSpin(0), e->setEndSpin(360), e->setEndSpinVar(90);
        e->setStartColor({1, 0.6f, 0.2f, 1}), e->setStartColorVar({0, 0.2f, 0.2f, 0});
        e->setEndColor({0.2f, 0.2f, 1, 0});
        e->setTexture(texture);
        e->setBlendAdditive(true);
    }

    host::AutoreleasePool pool_;
    CCDirectorIOS* director_ = nullptr;
    CCScene* scene_ = nullptr;
    std::vector<CCParticleSystem*> emitters_;  // children of the scene
};

template <class Emitter> void BM_ParticlesUpdate(benchmark::State& state) {
    ParticleScene* scene = ParticleScene::make<Emitter>();
    if (!scene) {
        state.SkipWithError("no GL ES 1.1 context");
        return;
    }
    CCScheduler* scheduler = CCScheduler::sharedScheduler();
    std::vector<double> frames;
    frames.reserve(1 << 20);
    long allocations = 0;
    for (auto _ : state) {
        const long before = gAllocations.load();
        tCounting = true;
        const double start = threadCpuMilliseconds();
        scheduler->tick(kFrame);
        const double cpu = threadCpuMilliseconds() - start;
        tCounting = false;
        allocations += gAllocations.load() - before;
        state.SetIterationTime(cpu / 1e3);
        if (frames.size() < frames.capacity()) frames.push_back(cpu);
    }
    std::sort(frames.begin(), frames.end());
    if (!frames.empty()) {
        state.counters["median_ms"] = frames[frames.size() / 2];
        state.counters["p90_ms"] = frames[frames.size() * 9 / 10];
    }
    state.counters["particles"] = scene->liveParticles();
    state.counters["allocs_per_frame"] = double(allocations) / double(std::max<int64_t>(1, state.iterations()));
    state.SetItemsProcessed(state.iterations() * int64_t(scene->liveParticles()));
    delete scene;
}
BENCHMARK_TEMPLATE(BM_ParticlesUpdate, CCParticleSystemPoint)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(BM_ParticlesUpdate, CCParticleSystemQuad)->UseManualTime()->Unit(benchmark::kMillisecond);

template <class Emitter> void BM_ParticlesDraw(benchmark::State& state) {
    ParticleScene* scene = ParticleScene::make<Emitter>();
    if (!scene) {
        state.SkipWithError("no GL ES 1.1 context");
        return;
    }
    glClear(GL_COLOR_BUFFER_BIT);
    scene->draw();  // first-use costs of the driver
    glFinish();
    if (!expectDrawnPixels(state, litPixels(320, 480))) {
        delete scene;
        return;
    }
    long draws = 0, allocations = 0, driverAllocations = 0;
    for (auto _ : state) {
        const long drawsBefore = gDrawCalls.load(), allocationsBefore = gAllocations.load();
        const long driverBefore = gDriverAllocations.load();
        tCounting = true;
        scene->draw();
        tCounting = false;
        draws += gDrawCalls.load() - drawsBefore;
        allocations += gAllocations.load() - allocationsBefore;
        driverAllocations += gDriverAllocations.load() - driverBefore;
        glFinish();
    }
    const double frames = double(std::max<int64_t>(1, state.iterations()));
    state.counters["draw_calls_per_frame"] = double(draws) / frames;
    state.counters["engine_allocs_per_frame"] = double(allocations) / frames;
    state.counters["driver_allocs_per_frame"] = double(driverAllocations) / frames;
    state.counters["particles"] = scene->liveParticles();
    delete scene;
}
BENCHMARK_TEMPLATE(BM_ParticlesDraw, CCParticleSystemPoint)->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(BM_ParticlesDraw, CCParticleSystemQuad)->Unit(benchmark::kMillisecond);

}  // namespace
