// Small numeric helpers shared across the engine.
#pragma once

#include <cstdint>
#include <cstdlib>

// A random float in [0, 1].
#define CCRANDOM_0_1() (float(random()) / float(0x7fffffff))
// A random float in [-1, 1].
#define CCRANDOM_MINUS1_1() ((float(random()) / float(0x3fffffff)) - 1.0f)

// The smallest power of two >= x (0 gives 0; values above 2^31 wrap to 0).
uint32_t ccNextPOT(uint32_t x);
