// What every drawing benchmark shares: the GL state the director sets
// around its visit, and the check that a frame has pixels on it (a
// benchmark that draws nothing measures nothing).
#pragma once

#include <GLES/gl.h>
#include <benchmark/benchmark.h>
#include <time.h>

#include <vector>

#include "host/core/Bundle.h"

// The project's resources (the director's counter digits among them),
// wherever the benchmark runs from.
struct ProjectResources {
    ProjectResources() { host::Bundle::main().setResourcePath(TILTBOARD_RESOURCES); }
};
inline const ProjectResources kProjectResources;

// CPU time of this thread: the engine's work, unaffected by other load on
// the machine (the GL side is timed by the wall clock, since glFinish
// waits for the rasteriser's own threads).
inline double threadCpuMilliseconds() {
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return double(ts.tv_sec) * 1e3 + double(ts.tv_nsec) / 1e6;
}

// The vertex, colour and texture-coordinate arrays and texturing on, as
// the director's drawScene has them while it visits the running scene:
// without them a visit made outside drawScene draws nothing at all.
class DirectorVisitState {
public:
    DirectorVisitState() {
        glEnableClientState(GL_VERTEX_ARRAY);
        glEnableClientState(GL_COLOR_ARRAY);
        glEnableClientState(GL_TEXTURE_COORD_ARRAY);
        glEnable(GL_TEXTURE_2D);
    }
    ~DirectorVisitState() {
        glDisable(GL_TEXTURE_2D);
        glDisableClientState(GL_TEXTURE_COORD_ARRAY);
        glDisableClientState(GL_COLOR_ARRAY);
        glDisableClientState(GL_VERTEX_ARRAY);
    }
    DirectorVisitState(const DirectorVisitState&) = delete;
    DirectorVisitState& operator=(const DirectorVisitState&) = delete;
};

// Pixels of the bound framebuffer's bottom-left `width` x `height` that
// are not black.
inline long litPixels(int width, int height) {
    std::vector<unsigned char> rgba(size_t(width) * size_t(height) * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    long lit = 0;
    for (size_t i = 0; i < rgba.size(); i += 4) lit += (rgba[i] | rgba[i + 1] | rgba[i + 2]) != 0;
    return lit;
}

// Records the lit pixels of a benchmark's frame, and fails the benchmark
// when there are none. Call once, after a frame.
inline bool expectDrawnPixels(benchmark::State& state, long lit) {
    state.counters["lit_pixels"] = double(lit);
    if (lit > 0) return true;
    state.SkipWithError("the frame has no pixels on it: nothing was drawn");
    return false;
}
