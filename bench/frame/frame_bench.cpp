// Whole frames through the director's real path: drawScene ticks the
// scheduler (which moves every sprite), visits the scene and presents it,
// turned to landscape, with the overlay pass, into the window (or, headless,
// the capture target); glFinish then waits for the rasteriser. A batch node
// holds 0, 1,000 or 10,000 moving 16 x 16 sprites; or a full-screen picture
// is drawn through a grid effect (BM_GridFrame, described there).
//
// Reported per frame: the iteration time is the frame's wall time; the
// counter "present_ms" is one present measured alone on the same scene
// (glFinish before and after), "present_share" its part of the frame. The
// first frame is read back: with sprites it must have pixels on it.
//
// usage: frame_bench [--windowed] [benchmark flags]
//   --windowed opens a real window on $DISPLAY (run it on a private Xvfb:
//   bench/frame/run_frame_bench does both modes).
#include <GLES/gl.h>
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "BatchMover.h"
#include "BenchSupport.h"
#include "TestTextures.h"
#include "engine/CCActionGrid3D.h"
#include "engine/CCActionPageTurn3D.h"
#include "engine/CCActionTileEffects.h"
#include "engine/CCActionTiledGrid.h"
#include "engine/CCDirector.h"
#include "engine/CCGrid.h"
#include "engine/CCScene.h"
#include "engine/CCSprite.h"
#include "engine/CCSpriteBatchNode.h"
#include "engine/platform/CCDirectorIOS.h"
#include "engine/platform/EAGLView.h"
#include "host/core/Application.h"
#include "host/display/Display.h"

namespace {

bool gWindowed = false;

using Clock = std::chrono::steady_clock;
double millisecondsSince(Clock::time_point t) {
    return std::chrono::duration<double, std::milli>(Clock::now() - t).count();
}

bool openDisplay() {
    static const bool opened = [] {
        if (!gWindowed) setenv("SDL_VIDEODRIVER", "offscreen", 0);
        return host::Display::shared().open(!gWindowed, 320, 480, 1);
    }();
    return opened;
}

// The director as the game runs it (a 16-bit portrait surface shown in
// landscape), running an empty scene; null, and the benchmark skipped,
// without a display.
CCDirectorIOS* startGameDirector(benchmark::State& state, CCScene** scene) {
    if (!openDisplay()) {
        state.SkipWithError(gWindowed ? "no window (is DISPLAY set?)" : "no GL ES 1.1 context");
        return nullptr;
    }
    host::Application::sharedApplication()->setStatusBarOrientation(host::InterfaceOrientation::LandscapeRight, false);
    auto* director = static_cast<CCDirectorIOS*>(CCDirectorTimer::sharedDirector());
    director->setOpenGLView(EAGLView::viewWithFrame(CGRectMake(0, 0, 320, 480), kEAGLColorFormatRGB565, 0));
    director->setDeviceOrientation(kCCDeviceOrientationLandscapeLeft);
    *scene = CCScene::node();
    director->runWithScene(*scene);
    director->drawScene();  // makes the scene current
    return director;
}

// The lit pixels of the last presented frame.
long presentedLitPixels() {
    glFinish();
    std::vector<unsigned char> rgba;
    host::Display::shared().readPresentedPixels(&rgba);
    long lit = 0;
    for (size_t i = 0; i < rgba.size(); i += 4) lit += (rgba[i] | rgba[i + 1] | rgba[i + 2]) != 0;
    return lit;
}

void BM_WholeFrame(benchmark::State& state) {
    const int count = int(state.range(0));
    host::AutoreleasePool pool;
    CCScene* scene = nullptr;
    CCDirectorIOS* director = startGameDirector(state, &scene);
    if (!director) return;

    CCTexture2D* texture = makeSolidTexture(16, 16, kWhite);
    BatchMover::fill(scene, texture, CGRectMake(0, 0, 16, 16), count);
    pool.drain();

    director->drawScene();
    glFinish();
    if (count > 0 && !expectDrawnPixels(state, presentedLitPixels())) return;

    double presentTotal = 0;
    for (auto _ : state) {
        const Clock::time_point start = Clock::now();
        director->drawScene();
        glFinish();
        state.SetIterationTime(millisecondsSince(start) / 1e3);

        state.PauseTiming();
        const Clock::time_point presentStart = Clock::now();
        host::Display::shared().present(host::InterfaceOrientation::LandscapeRight);
        glFinish();
        presentTotal += millisecondsSince(presentStart);
        pool.drain();
        state.ResumeTiming();
    }
    state.counters["present_ms"] = presentTotal / double(std::max<int64_t>(1, state.iterations()));
    state.counters["sprites"] = count;
    director->end();
    pool.drain();
}
BENCHMARK(BM_WholeFrame)->Arg(0)->Arg(1000)->Arg(10000)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(2.0);

// The effects BM_GridFrame draws through, from Arg 1: lattice effects on a
// 32 x 24 grid, tile effects on 16 x 12.
using GridEffectMaker = CCActionInterval* (*)(ccTime duration);
const CGPoint kCentre = CGPointMake(240, 160);
const ccGridSize kLattice = ccg(32, 24), kTiles = ccg(16, 12);
const GridEffectMaker kGridEffects[] = {
    [](ccTime d) -> CCActionInterval* { return CCFadeOutTRTiles::actionWithSize(kTiles, d); },
    [](ccTime d) -> CCActionInterval* { return CCPageTurn3D::actionWithSize(kLattice, d); },
    [](ccTime d) -> CCActionInterval* { return CCWaves3D::actionWithWaves(5, 40, kLattice, d); },
    [](ccTime d) -> CCActionInterval* { return CCWaves::actionWithWaves(5, 20, true, true, kLattice, d); },
    [](ccTime d) -> CCActionInterval* { return CCLiquid::actionWithWaves(4, 20, kLattice, d); },
    [](ccTime d) -> CCActionInterval* { return CCRipple3D::actionWithPosition(kCentre, 240, 4, 160, kLattice, d); },
    [](ccTime d) -> CCActionInterval* { return CCLens3D::actionWithPosition(kCentre, 240, kLattice, d); },
    [](ccTime d) -> CCActionInterval* { return CCTwirl::actionWithPosition(kCentre, 1, 2.5f, kLattice, d); },
    [](ccTime d) -> CCActionInterval* { return CCShaky3D::actionWithRange(5, true, kLattice, d); },
    [](ccTime d) -> CCActionInterval* { return CCFlipX3D::actionWithDuration(d); },
    [](ccTime d) -> CCActionInterval* { return CCFlipY3D::actionWithDuration(d); },
    [](ccTime d) -> CCActionInterval* { return CCShakyTiles3D::actionWithRange(5, true, kTiles, d); },
    [](ccTime d) -> CCActionInterval* { return CCShatteredTiles3D::actionWithRange(5, true, kTiles, d); },
    [](ccTime d) -> CCActionInterval* { return CCShuffleTiles::actionWithSeed(25, kTiles, d); },
    [](ccTime d) -> CCActionInterval* { return CCWavesTiles3D::actionWithWaves(4, 120, kTiles, d); },
    [](ccTime d) -> CCActionInterval* { return CCJumpTiles3D::actionWithJumps(2, 30, kTiles, d); },
};
constexpr int kGridEffectCount = int(sizeof(kGridEffects) / sizeof(kGridEffects[0]));

// A full-screen picture drawn through a grid, every frame: Arg 0 without
// one, 1 under a 16 x 12 tiled effect (tiles fading out), 2 under a
// 32 x 24 lattice effect (the page turn), 3 to 16 under the distortion
// and tile effects in the order of kGridEffects. The effects move every tile or
// vertex each frame, and the picture is captured into the grid's texture
// and drawn through the mesh each frame. The iteration time is the whole
// frame's wall time (drawScene and glFinish); "engine_cpu_ms" is this
// thread's CPU time in drawScene (the effect's update, the capture, the
// blit's submission and the present's), "cpu_share" its part of the frame.
void BM_GridFrame(benchmark::State& state) {
    const int kind = int(state.range(0));
    host::AutoreleasePool pool;
    CCScene* scene = nullptr;
    CCDirectorIOS* director = startGameDirector(state, &scene);
    if (!director) return;

    CCNode* holder = CCNode::node();
    scene->addChild(holder);
    CCTexture2D* texture = makeTexture(512, 512, CGSizeMake(480, 320), [](unsigned x, unsigned y) {
        return ccc4(GLubyte(x / 2), GLubyte(y * 255 / 320), GLubyte(255 - x / 2), 255);
    });
    CCSprite* picture = CCSprite::spriteWithTexture(texture, CGRectMake(0, 0, 480, 320));
    picture->setAnchorPoint(CGPointZero);
    holder->addChild(picture);
    // Effects that never end within a run: every frame is mid-effect.
    constexpr ccTime kForever = 1e6f;
    if (kind > 0 && kind <= kGridEffectCount) holder->runAction(kGridEffects[kind - 1](kForever));
    pool.drain();

    for (int warm = 0; warm < 3; ++warm) director->drawScene();
    if (!expectDrawnPixels(state, presentedLitPixels())) return;
    if (kind != 0 && !(holder->grid() && holder->grid()->active())) {
        state.SkipWithError("the effect drew no grid");
        return;
    }

    double cpuTotal = 0;
    for (auto _ : state) {
        const Clock::time_point start = Clock::now();
        const double cpuStart = threadCpuMilliseconds();
        director->drawScene();
        cpuTotal += threadCpuMilliseconds() - cpuStart;
        glFinish();
        state.SetIterationTime(millisecondsSince(start) / 1e3);
        state.PauseTiming();
        pool.drain();
        state.ResumeTiming();
    }
    state.counters["engine_cpu_ms"] = cpuTotal / double(std::max<int64_t>(1, state.iterations()));
    director->end();
    pool.drain();
}
BENCHMARK(BM_GridFrame)->ArgName("grid")->DenseRange(0, kGridEffectCount)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(2.0);

// The present's share of a frame, once Google Benchmark has the means.
class ShareReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        std::vector<Run> withShare = runs;
        for (Run& r : withShare) {
            const double frame = r.GetAdjustedRealTime();
            auto present = r.counters.find("present_ms");
            if (present != r.counters.end() && frame > 0)
                r.counters["present_share"] = benchmark::Counter(present->second.value / frame);
            auto cpu = r.counters.find("engine_cpu_ms");
            if (cpu != r.counters.end() && frame > 0)
                r.counters["cpu_share"] = benchmark::Counter(cpu->second.value / frame);
        }
        benchmark::ConsoleReporter::ReportRuns(withShare);
    }
};

}  // namespace

int main(int argc, char** argv) {
    std::vector<char*> args;
    for (int i = 0; i < argc; ++i) {
        if (std::strcmp(argv[i], "--windowed") == 0)
            gWindowed = true;
        else
            args.push_back(argv[i]);
    }
    int n = int(args.size());
    benchmark::Initialize(&n, args.data());
    if (benchmark::ReportUnrecognizedArguments(n, args.data())) return 2;
    std::printf("frames %s\n", gWindowed ? "in a window" : "headless");
    ShareReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    host::Display::shared().close();
    return 0;
}
