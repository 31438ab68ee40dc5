// Colour comparisons for pixel tests that look at the colour channels only.
#pragma once

#include <gtest/gtest.h>

#include "engine/ccTypes.h"

// Colour channels only (the framebuffer's alpha follows the blend
// function too, which is not what these tests look at).
inline ::testing::AssertionResult rgbNear(ccColor4B actual, ccColor4B expected, int tolerance = 2) {
    auto off = [&](int a, int e) { return a - e > tolerance || e - a > tolerance; };
    if (off(actual.r, expected.r) || off(actual.g, expected.g) || off(actual.b, expected.b))
        return ::testing::AssertionFailure() << "got rgb (" << int(actual.r) << ", " << int(actual.g) << ", "
                                             << int(actual.b) << "), expected (" << int(expected.r) << ", "
                                             << int(expected.g) << ", " << int(expected.b) << ")";
    return ::testing::AssertionSuccess();
}
