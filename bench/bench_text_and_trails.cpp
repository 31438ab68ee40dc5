// A 2,000-character bitmap-font label whose whole string changes every
// frame, and a motion streak that moves every frame, each drawn offscreen
// in the GL state the director draws in:
//  - BMFontLabelNewString: setString (every character sprite re-laid out)
//    and the quad rewrites the batch's draw makes, in engine CPU time
//    (thread CPU clock); "gl_ms" is the mean draw-and-glFinish wall time;
//  - MotionStreakMoving: one scheduler tick (the streak adds a point, its
//    ribbon ages) and the ribbon's draw call submitted, in engine CPU time;
//    "gl_ms" the mean glFinish wait, "vertices" the band's size.
// Both report the median per frame too ("cpu_median_ms"); the first frame
// is read back and must have pixels on it. The label uses the sample font
// made by make-bitmap-font at build time.
#include <GLES/gl.h>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <string>
#include <vector>

#include "BenchSupport.h"
#include "GLTestEnvironment.h"
#include "engine/CCDirector.h"
#include "engine/CCLabelBMFont.h"
#include "engine/CCMotionStreak.h"
#include "engine/CCRibbon.h"
#include "engine/CCScene.h"
#include "engine/CCScheduler.h"
#include "engine/CCSprite.h"
#include "engine/platform/CCDirectorIOS.h"
#include "engine/platform/EAGLView.h"

namespace {

constexpr int kLines = 40, kColumns = 50;  // 2,000 characters and the newlines between lines

double wallMillisecondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

// A director on a portrait 320 x 480 view with a running scene.
CCScene* startScene() {
    auto* director = static_cast<CCDirectorIOS*>(CCDirectorTimer::sharedDirector());
    director->setOpenGLView(EAGLView::viewWithFrame(CGRectMake(0, 0, 320, 480), kEAGLColorFormatRGBA8, 0));
    director->setProjection(kCCDirectorProjection2D);
    CCScene* scene = CCScene::node();
    director->runWithScene(scene);
    director->drawScene();  // makes the scene current
    return scene;
}

// Per-frame results in the counters.
class FrameTimes {
public:
    FrameTimes() { cpu_.reserve(1 << 16); }
    void add(double cpuMs, double glMs) {
        if (cpu_.size() < cpu_.capacity()) cpu_.push_back(cpuMs);
        gl_ += glMs;
    }
    void report(benchmark::State& state) {
        std::sort(cpu_.begin(), cpu_.end());
        state.counters["cpu_median_ms"] = cpu_.empty() ? 0 : cpu_[cpu_.size() / 2];
        state.counters["gl_ms"] = state.iterations() > 0 ? gl_ / double(state.iterations()) : 0;
    }

private:
    std::vector<double> cpu_;
    double gl_ = 0;
};

// Line after line of printable ASCII, starting `shift` characters on.
void fillText(std::string* text, int shift) {
    text->clear();
    for (int line = 0; line < kLines; ++line) {
        for (int c = 0; c < kColumns; ++c) text->push_back(char(' ' + 1 + (line * 7 + c + shift) % 94));
        if (line + 1 < kLines) text->push_back('\n');
    }
}

void BM_BMFontLabelNewString(benchmark::State& state) {
    if (!ensureHeadlessDisplay()) {
        state.SkipWithError("no GLES 1.1 context");
        return;
    }
    host::AutoreleasePool pool;
    CCScene* scene = startScene();
    std::string text;
    text.reserve(kLines * (kColumns + 1));
    fillText(&text, 0);
    CCLabelBMFont* label = CCLabelBMFont::labelWithString(text, TILTBOARD_SAMPLE_FONTS "/mono-16.fnt");
    if (!label) {
        state.SkipWithError("the sample font is missing: build the sample_fonts target");
        return;
    }
    label->setAnchorPoint(CGPointZero);
    label->setScale(0.5f);  // most of the text on the surface
    scene->addChild(label);
    pool.drain();

    ccArray* letters = label->descendants()->data;
    FrameTimes times;
    bool checked = false;
    int frame = 0;
    for (auto _ : state) {
        fillText(&text, ++frame);
        const double c0 = threadCpuMilliseconds();
        label->setString(text);
        for (unsigned i = 0; i < letters->count; ++i) {
            CCSprite* s = static_cast<CCSprite*>(letters->items[i]);
            s->updateMethod()(s);
        }
        const double cpu = threadCpuMilliseconds() - c0;
        const auto t1 = std::chrono::steady_clock::now();
        glClear(GL_COLOR_BUFFER_BIT);
        {
            DirectorVisitState drawing;
            scene->visit();
        }
        glFinish();
        times.add(cpu, wallMillisecondsSince(t1));
        if (!checked) {
            checked = true;
            if (!expectDrawnPixels(state, litPixels(320, 480))) break;
        }
        state.SetIterationTime(cpu / 1000.0);
    }
    times.report(state);
    state.counters["characters"] = double(kLines * kColumns);
    CCDirector::sharedDirector()->end();
    pool.drain();
}
BENCHMARK(BM_BMFontLabelNewString)->UseManualTime()->Unit(benchmark::kMicrosecond)->MinTime(2.0);

void BM_MotionStreakMoving(benchmark::State& state) {
    if (!ensureHeadlessDisplay()) {
        state.SkipWithError("no GLES 1.1 context");
        return;
    }
    host::AutoreleasePool pool;
    CCScene* scene = startScene();
    CCMotionStreak* streak = CCMotionStreak::streakWithFade(1.0f, 2, TILTBOARD_RESOURCES "/samples/streaks/streak.png",
                                                            16, 32, ccc4(255, 200, 120, 255));
    if (!streak) {
        state.SkipWithError("the streak image is missing");
        return;
    }
    scene->addChild(streak);
    pool.drain();

    CCScheduler* scheduler = CCScheduler::sharedScheduler();
    FrameTimes times;
    bool checked = false;
    float t = 0;
    for (auto _ : state) {
        t += 1.0f / 60;
        const double c0 = threadCpuMilliseconds();
        streak->setPosition(CGPointMake(160 + 120 * std::cos(t * 2.5f), 240 + 180 * std::sin(t * 1.7f)));
        scheduler->tick(1.0f / 60);
        glClear(GL_COLOR_BUFFER_BIT);
        {
            DirectorVisitState drawing;
            scene->visit();
        }
        const double cpu = threadCpuMilliseconds() - c0;
        const auto t1 = std::chrono::steady_clock::now();
        glFinish();
        times.add(cpu, wallMillisecondsSince(t1));
        if (!checked && t > 0.5f) {  // once the band has some length
            checked = true;
            if (!expectDrawnPixels(state, litPixels(320, 480))) break;
        }
        state.SetIterationTime(cpu / 1000.0);
    }
    times.report(state);
    state.counters["vertices"] = double(streak->ribbon()->vertexCount());
    CCDirector::sharedDirector()->end();
    pool.drain();
}
BENCHMARK(BM_MotionStreakMoving)->UseManualTime()->Unit(benchmark::kMicrosecond)->MinTime(2.0);

}  // namespace
