// Helpers for the text tests: a coverage bitmap the test owns, the extent
// of what was drawn into it, and installed fonts to copy into a scratch
// resources folder.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "host/text/TextRenderer.h"

struct TestBitmap {
    TestBitmap(int w, int h, int padding = 0) : width(w), height(h), stride(w + padding), bytes(size_t(stride) * h, 0) {}
    host::CoverageBitmap target() { return host::CoverageBitmap{bytes.data(), width, height, stride}; }
    uint8_t at(int x, int y) const { return bytes[size_t(y) * stride + x]; }

    // The bounding box of pixels with coverage above `threshold`;
    // empty() when nothing was drawn.
    struct Extent {
        int left = 1 << 30, top = 1 << 30, right = -1, bottom = -1;  // inclusive
        bool empty() const { return right < 0; }
    };
    Extent extent(int threshold = 0) const {
        Extent e;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                if (at(x, y) > threshold) {
                    e.left = std::min(e.left, x);
                    e.right = std::max(e.right, x);
                    e.top = std::min(e.top, y);
                    e.bottom = std::max(e.bottom, y);
                }
        return e;
    }
    long total() const {
        long sum = 0;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) sum += at(x, y);
        return sum;
    }

    int width, height, stride;
    std::vector<uint8_t> bytes;
};

// Installed fonts the tests copy (fonts-liberation2, fonts-dejavu-core and
// fonts-urw-base35).
inline const char* const kLiberationSans = "/usr/share/fonts/truetype/liberation2/LiberationSans-Regular.ttf";
inline const char* const kDejaVuSans = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
inline const char* const kDejaVuSansBold = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf";
inline const char* const kNimbusSansOTF = "/usr/share/fonts/opentype/urw-base35/NimbusSans-Regular.otf";
