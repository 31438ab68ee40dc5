// Draws laid-out text as anti-aliased coverage into an 8-bit bitmap.
//
// The bitmap's first row is its top; text is drawn top line first. Each
// pixel takes the larger of its old value and the glyph's coverage, so a
// zeroed bitmap ends up holding white-on-black text.
#pragma once

#include <cstdint>
#include <string>

#include "host/core/CGGeometry.h"

namespace host {

class Font;
class TextLayout;

// A caller's 8-bit buffer: `height` rows of `stride` bytes, of which the
// first `width` are pixels.
struct CoverageBitmap {
    uint8_t* pixels = nullptr;
    int width = 0;
    int height = 0;
    int stride = 0;
};

// Draws the layout with its box's top-left corner at `origin` (pixels, y
// down), clipped to the box and to the bitmap.
void drawText(const TextLayout& layout, const CoverageBitmap& target, CGPoint origin = CGPointZero);

// Lays `text` out in `rect` (pixels, y down) and draws it.
void drawText(const Font& font, const std::string& text, CGRect rect, int lineBreakMode, int alignment,
              const CoverageBitmap& target);

}  // namespace host
