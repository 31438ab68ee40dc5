#include "host/text/TextRenderer.h"

#include <algorithm>
#include <cmath>

#include "host/text/FontFace.h"
#include "host/text/TextLayout.h"

namespace host {

namespace {
struct PixelBounds { int left, top, right, bottom; };  // right and bottom exclusive

// The box at `origin`, cut to the bitmap; partly covered pixels count.
PixelBounds clipBounds(const CoverageBitmap& target, CGPoint origin, CGSize box) {
    auto clampTo = [](double v, int limit) { return int(std::max(0.0, std::min(double(limit), v))); };
    return PixelBounds{clampTo(std::floor(origin.x), target.width), clampTo(std::floor(origin.y), target.height),
                       clampTo(std::ceil(double(origin.x) + box.width), target.width),
                       clampTo(std::ceil(double(origin.y) + box.height), target.height)};
}

void blitGlyph(const GlyphBitmap& glyph, int x, int y, const PixelBounds& clip, const CoverageBitmap& target) {
    const int x0 = std::max(x, clip.left), x1 = std::min(x + glyph.width, clip.right);
    const int y0 = std::max(y, clip.top), y1 = std::min(y + glyph.height, clip.bottom);
    for (int row = y0; row < y1; ++row) {
        const uint8_t* src = &glyph.coverage[size_t(row - y) * size_t(glyph.width) + size_t(x0 - x)];
        uint8_t* dst = target.pixels + size_t(row) * size_t(target.stride) + size_t(x0);
        for (int col = x0; col < x1; ++col, ++src, ++dst) *dst = std::max(*dst, *src);
    }
}
}  // namespace

void drawText(const TextLayout& layout, const CoverageBitmap& target, CGPoint origin) {
    if (!target.pixels || target.width <= 0 || target.height <= 0 || target.stride < target.width) return;
    if (!std::isfinite(origin.x) || !std::isfinite(origin.y)) return;
    const PixelBounds clip = clipBounds(target, origin, layout.box());
    if (clip.left >= clip.right || clip.top >= clip.bottom) return;

    // Glyph bitmaps reach at most about an em beyond their pen position and
    // baseline; anything farther outside the clip is skipped unrendered
    // (which also keeps far-off coordinates out of integer arithmetic).
    const double reach = 2.0 * double(layout.font().size()) + 2.0;
    auto guard = FontFaceCache::shared().lock();
    for (const TextLayout::Line& line : layout.lines()) {
        const double baseline = std::round(double(origin.y) + line.baseline);
        if (baseline + reach < clip.top) continue;
        if (baseline - reach > clip.bottom) break;
        for (size_t g = line.firstGlyph; g < line.firstGlyph + line.glyphCount; ++g) {
            const TextLayout::Glyph& glyph = layout.glyphs()[g];
            const double pen = std::round(double(origin.x) + line.x + glyph.x);
            if (pen + reach < clip.left) continue;
            if (pen - reach > clip.right) break;
            const GlyphBitmap* bitmap = glyph.face->bitmap(glyph.index);
            if (!bitmap || bitmap->width == 0) continue;
            blitGlyph(*bitmap, int(pen) + bitmap->left, int(baseline) - bitmap->top, clip, target);
        }
    }
}

void drawText(const Font& font, const std::string& text, CGRect rect, int lineBreakMode, int alignment,
              const CoverageBitmap& target) {
    const TextLayout layout(font, text, rect.size, lineBreakMode, alignment);
    drawText(layout, target, rect.origin);
}

}  // namespace host
