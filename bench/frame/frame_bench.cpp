// Whole frames through the director's real path: drawScene ticks the
// scheduler (which moves every sprite), visits the scene and presents it,
// turned to landscape, with the overlay pass, into the window (or, headless,
// the capture target); glFinish then waits for the rasteriser. A batch node
// holds 0, 1,000 or 10,000 moving 16 x 16 sprites.
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
#include "engine/CCDirector.h"
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


void BM_WholeFrame(benchmark::State& state) {
    if (!openDisplay()) {
        state.SkipWithError(gWindowed ? "no window (is DISPLAY set?)" : "no GL ES 1.1 context");
        return;
    }
    const int count = int(state.range(0));
    host::AutoreleasePool pool;
    host::Application::sharedApplication()->setStatusBarOrientation(host::InterfaceOrientation::LandscapeRight, false);
    auto* director = static_cast<CCDirectorIOS*>(CCDirectorTimer::sharedDirector());
    director->setOpenGLView(EAGLView::viewWithFrame(CGRectMake(0, 0, 320, 480), kEAGLColorFormatRGB565, 0));
    director->setDeviceOrientation(kCCDeviceOrientationLandscapeLeft);
    CCScene* scene = CCScene::node();
    director->runWithScene(scene);
    director->drawScene();  // makes the scene current

    CCTexture2D* texture = makeSolidTexture(16, 16, kWhite);
    BatchMover::fill(scene, texture, CGRectMake(0, 0, 16, 16), count);
    pool.drain();

    director->drawScene();
    glFinish();
    if (count > 0) {
        std::vector<unsigned char> rgba;
        host::Display::shared().readPresentedPixels(&rgba);
        long lit = 0;
        for (size_t i = 0; i < rgba.size(); i += 4) lit += (rgba[i] | rgba[i + 1] | rgba[i + 2]) != 0;
        if (!expectDrawnPixels(state, lit)) return;
    }

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
