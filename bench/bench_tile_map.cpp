// A 256 x 256 orthogonal tile layer (65,536 tiles of 16 x 16 pixels, every
// cell filled) scrolled every frame under a 320 x 480 view, and the time
// to load its map file.
//
// BM_TileMapScroll, per frame: the map moves one step along a circle, then
// the director draws the frame (drawScene: clear, visit, present) and
// glFinish waits for the rasteriser. The iteration time is the frame's
// wall time; "engine_cpu_ms" the mean CPU time of this thread over the
// same span (the engine's work and the driver's submission of the quads,
// not the rasteriser's threads), "cpu_median_ms" its median; "quads" the
// layer's quads, of which only the rows that reach the window are drawn.
// The first frame is read back: it must have pixels on it.
//
// BM_TileMapLoad: tiledMapWithTMXFile on the file, its layer data as
// Base64 of zlib data (0) or as CSV (1); the sheet is in the texture
// cache after the first load, so this is reading and building the layer.
#include <GLES/gl.h>
#include <time.h>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <string>
#include <vector>

#include "BenchSupport.h"
#include "GLTestEnvironment.h"
#include "TMXTestMaps.h"
#include "ScratchDirectory.h"
#include "engine/CCDirector.h"
#include "engine/CCScene.h"
#include "engine/CCTMXLayer.h"
#include "engine/CCTMXTiledMap.h"
#include "engine/CCTextureAtlas.h"
#include "engine/platform/CCDirectorIOS.h"
#include "engine/platform/EAGLView.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kSide = 256;
constexpr int kTile = 16;


// The map file, once per run, in a folder that lives as long as the run.
const std::string& mapFile(int encoding) {
    static ScratchDirectory dir;
    static std::string files[2];
    std::string& file = files[encoding];
    if (file.empty()) {
        writeTileSheet(dir, "sheet.png", kTile, 4, 2);
        std::vector<uint32_t> gids(size_t(kSide) * kSide);
        for (size_t i = 0; i < gids.size(); ++i) gids[i] = uint32_t(1 + (i * 7 + i / kSide) % 8);
        const std::string body = tmxTileset(1, "sheet.png", kTile) +
                                 tmxLayer("Ground", kSide, kSide, tmxData(gids, encoding == 0 ? "zlib" : "csv"));
        const std::string sizes = "width=\"256\" height=\"256\" tilewidth=\"16\" tileheight=\"16\"";
        file = dir.write(encoding == 0 ? "zlib.tmx" : "csv.tmx", tmxMap(body, sizes));
    }
    return file;
}

CCDirectorIOS* startDirector(CCScene* scene) {
    auto* director = static_cast<CCDirectorIOS*>(CCDirectorTimer::sharedDirector());
    director->setOpenGLView(EAGLView::viewWithFrame(CGRectMake(0, 0, 320, 480), kEAGLColorFormatRGBA8, 0));
    director->setProjection(kCCDirectorProjection2D);
    director->runWithScene(scene);
    director->drawScene();  // makes the scene current
    return director;
}

void BM_TileMapScroll(benchmark::State& state) {
    if (!ensureHeadlessDisplay()) {
        state.SkipWithError("no GLES 1.1 context");
        return;
    }
    host::AutoreleasePool pool;
    CCScene* scene = CCScene::node();
    CCDirectorIOS* director = startDirector(scene);
    CCTMXTiledMap* map = CCTMXTiledMap::tiledMapWithTMXFile(mapFile(0));
    if (!map) {
        state.SkipWithError("the map did not load");
        return;
    }
    scene->addChild(map);
    pool.drain();

    {  // one frame drawn by hand and read back before the screen is presented
        glClear(GL_COLOR_BUFFER_BIT);
        DirectorVisitState drawing;
        scene->visit();
        if (!expectDrawnPixels(state, litPixels(320, 480))) return;
    }

    std::vector<double> cpu;
    cpu.reserve(1 << 16);
    double cpuTotal = 0;
    float angle = 0;
    for (auto _ : state) {
        const Clock::time_point t0 = Clock::now();
        const double c0 = threadCpuMilliseconds();
        angle += 0.01f;
        // Round and round inside the map, so the window never leaves it.
        map->setPosition(CGPointMake(-1800 + 1500 * std::cos(angle), -1800 + 1500 * std::sin(angle)));
        director->drawScene();
        glFinish();
        const double engine = threadCpuMilliseconds() - c0;
        const double wall = std::chrono::duration<double>(Clock::now() - t0).count();
        if (cpu.size() < cpu.capacity()) cpu.push_back(engine);
        cpuTotal += engine;
        state.SetIterationTime(wall);
    }
    std::sort(cpu.begin(), cpu.end());
    const double iterations = double(state.iterations());
    state.counters["engine_cpu_ms"] = iterations > 0 ? cpuTotal / iterations : 0;
    state.counters["cpu_median_ms"] = cpu.empty() ? 0 : cpu[cpu.size() / 2];
    CCTMXLayer* layer = map->layerNamed("Ground");
    state.counters["quads"] = double(layer->textureAtlas()->totalQuads());
    director->end();
    pool.drain();
}
BENCHMARK(BM_TileMapScroll)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_TileMapLoad(benchmark::State& state) {
    if (!ensureHeadlessDisplay()) {
        state.SkipWithError("no GLES 1.1 context");
        return;
    }
    host::AutoreleasePool pool;
    CCDirectorIOS* director = startDirector(CCScene::node());
    const std::string& file = mapFile(int(state.range(0)));
    for (auto _ : state) {
        host::AutoreleasePool perLoad;
        CCTMXTiledMap* map = CCTMXTiledMap::tiledMapWithTMXFile(file);
        if (!map) {
            state.SkipWithError("the map did not load");
            break;
        }
        benchmark::DoNotOptimize(map);
    }
    state.SetItemsProcessed(state.iterations() * kSide * kSide);
    director->end();
    pool.drain();
}
BENCHMARK(BM_TileMapLoad)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace
