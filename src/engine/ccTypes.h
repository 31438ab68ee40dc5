// Value types shared across the engine.
#pragma once

#include <cstdint>

#include "host/CGGeometry.h"

using ccTime = float;

struct ccColor3B { uint8_t r, g, b; };
struct ccColor4B { uint8_t r, g, b, a; };
struct ccColor4F { float r, g, b, a; };
struct ccBlendFunc { uint32_t src, dst; };
struct ccVertex2F { float x, y; };
struct ccVertex3F { float x, y, z; };
struct ccTex2F { float u, v; };
struct ccBezierConfig { CGPoint endPosition, controlPoint_1, controlPoint_2; };

inline ccColor3B ccc3(uint8_t r, uint8_t g, uint8_t b) { return ccColor3B{r, g, b}; }
inline ccColor4B ccc4(uint8_t r, uint8_t g, uint8_t b, uint8_t a) { return ccColor4B{r, g, b, a}; }
