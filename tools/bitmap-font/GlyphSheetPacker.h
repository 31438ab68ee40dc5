// Packs glyph cells into one power-of-two sheet: shelves of cells sorted by
// height, trying every sheet width and keeping the smallest (then the
// squarest) sheet that holds them all.
#pragma once

#include <vector>

namespace bitmapfont {

struct CellSize {
    int width = 0;
    int height = 0;
};

struct CellPlacement {
    int x = 0;
    int y = 0;
};

struct GlyphSheetLayout {
    int width = 0;
    int height = 0;
    std::vector<CellPlacement> placements;  // one per cell, in the cells' order
};

// `spacing` empty pixels are left between cells. False when the cells do
// not fit a `maxSide` x `maxSide` sheet. Empty cells (a side of 0) take no
// room and are placed at (0, 0).
bool packGlyphSheet(const std::vector<CellSize>& cells, int spacing, int maxSide, GlyphSheetLayout* layout);

}  // namespace bitmapfont
