// Value types shared across the engine.
#pragma once

#include <cstdint>

#include "host/core/CGGeometry.h"

using ccTime = float;

struct ccColor3B { uint8_t r, g, b; };
struct ccColor4B { uint8_t r, g, b, a; };
struct ccColor4F { float r, g, b, a; };
struct ccBlendFunc { uint32_t src, dst; };
struct ccVertex2F { float x, y; };
struct ccVertex3F { float x, y, z; };
struct ccTex2F { float u, v; };
struct ccBezierConfig { CGPoint endPosition, controlPoint_1, controlPoint_2; };
// A grid's size in cells (x columns, y rows), or a cell's position in it.
struct ccGridSize { int32_t x, y; };
inline ccGridSize ccg(int32_t x, int32_t y) { return ccGridSize{x, y}; }
inline bool ccGridSizeEqualToSize(ccGridSize a, ccGridSize b) { return a.x == b.x && a.y == b.y; }

// One tile of a tiled grid: its corners bottom-left, bottom-right,
// top-left, top-right (48 bytes).
struct ccQuad3 { ccVertex3F bl, br, tl, tr; };

inline ccColor3B ccc3(uint8_t r, uint8_t g, uint8_t b) { return ccColor3B{r, g, b}; }
inline ccColor4B ccc4(uint8_t r, uint8_t g, uint8_t b, uint8_t a) { return ccColor4B{r, g, b, a}; }

// ---- Vertex and quad records drawn straight from client memory ----------

// One textured, coloured vertex (24 bytes, no padding): position in pixels.
struct ccV3F_C4B_T2F {
    ccVertex3F vertices;
    ccColor4B colors;
    ccTex2F texCoords;
};

// A quad of four such vertices (96 bytes). Top and bottom refer to the
// quad's own geometry (larger y is top), not to texture rows.
struct ccV3F_C4B_T2F_Quad {
    ccV3F_C4B_T2F tl;
    ccV3F_C4B_T2F bl;
    ccV3F_C4B_T2F tr;
    ccV3F_C4B_T2F br;
};

// A 2D textured, coloured vertex (20 bytes).
struct ccV2F_C4B_T2F {
    ccVertex2F vertices;
    ccColor4B colors;
    ccTex2F texCoords;
};

// A 2D quad, corners bottom-left, bottom-right, top-left, top-right (80 bytes).
struct ccV2F_C4B_T2F_Quad {
    ccV2F_C4B_T2F bl;
    ccV2F_C4B_T2F br;
    ccV2F_C4B_T2F tl;
    ccV2F_C4B_T2F tr;
};

// One point sprite (16 bytes): position and size in pixels.
struct ccPointSprite {
    ccVertex2F pos;
    ccColor4B colors;
    float size;
};

static_assert(sizeof(ccV3F_C4B_T2F) == 24, "vertex records are read by GL with a 24-byte stride");
static_assert(sizeof(ccV3F_C4B_T2F_Quad) == 96, "quads lie contiguous in the atlas");
static_assert(sizeof(ccV2F_C4B_T2F) == 20, "vertex records are read by GL with a 20-byte stride");
static_assert(sizeof(ccV2F_C4B_T2F_Quad) == 80, "2D quads lie contiguous");
static_assert(sizeof(ccQuad3) == 48, "a tile is four vertices of the grid's vertex array");
static_assert(sizeof(ccPointSprite) == 16, "point sprites are read by GL with a 16-byte stride");

// The engine's default blend function, the one the director sets around a
// visit (premultiplied alpha): GL_ONE, GL_ONE_MINUS_SRC_ALPHA.
constexpr uint32_t CC_BLEND_SRC = 0x0001;  // GL_ONE
constexpr uint32_t CC_BLEND_DST = 0x0303;  // GL_ONE_MINUS_SRC_ALPHA

inline bool ccBlendFuncIsDefault(ccBlendFunc f) { return f.src == CC_BLEND_SRC && f.dst == CC_BLEND_DST; }
