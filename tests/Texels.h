// Texels for the image and texture tests: a plain RGBA texel, and the pixel
// buffer of a function of (x, y).
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// One RGBA texel, for tests without the engine's colour types.
struct Texel {
    uint8_t r, g, b, a;
};

// w x h RGBA pixels, rows top first, whose texel (x, y) is texel(x, y) (a
// Texel or anything else with r, g, b and a bytes).
template <class TexelOf>
std::vector<uint8_t> rgbaPixels(unsigned w, unsigned h, const TexelOf& texel) {
    std::vector<uint8_t> pixels(size_t(w) * h * 4);
    for (unsigned y = 0; y < h; ++y)
        for (unsigned x = 0; x < w; ++x) {
            const auto c = texel(x, y);
            uint8_t* p = &pixels[(size_t(y) * w + x) * 4];
            p[0] = c.r, p[1] = c.g, p[2] = c.b, p[3] = c.a;
        }
    return pixels;
}
