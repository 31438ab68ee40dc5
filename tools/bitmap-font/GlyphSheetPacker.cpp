#include "GlyphSheetPacker.h"

#include <algorithm>
#include <numeric>

namespace bitmapfont {

namespace {

int nextPowerOfTwo(int v) {
    int p = 1;
    while (p < v) p <<= 1;
    return p;
}

// Shelf packing at one sheet width; the height used, or -1 when a cell is
// wider than the sheet.
int packShelves(const std::vector<CellSize>& cells, const std::vector<size_t>& order, int width, int spacing,
                std::vector<CellPlacement>* out) {
    int x = 0, y = 0, shelfHeight = 0;
    for (size_t i : order) {
        const CellSize& c = cells[i];
        if (c.width <= 0 || c.height <= 0) {
            (*out)[i] = CellPlacement{};
            continue;
        }
        if (c.width > width) return -1;
        if (x + c.width > width) {
            x = 0;
            y += shelfHeight + spacing;
            shelfHeight = 0;
        }
        (*out)[i] = CellPlacement{x, y};
        x += c.width + spacing;
        shelfHeight = std::max(shelfHeight, c.height);
    }
    return y + shelfHeight;
}

}  // namespace

bool packGlyphSheet(const std::vector<CellSize>& cells, int spacing, int maxSide, GlyphSheetLayout* layout) {
    std::vector<size_t> order(cells.size());
    std::iota(order.begin(), order.end(), size_t(0));
    std::stable_sort(order.begin(), order.end(),
                     [&](size_t a, size_t b) { return cells[a].height > cells[b].height; });

    bool found = false;
    std::vector<CellPlacement> trial(cells.size());
    for (int width = 16; width <= maxSide; width <<= 1) {
        const int used = packShelves(cells, order, width, spacing, &trial);
        if (used < 0) continue;
        const int height = nextPowerOfTwo(std::max(used, 1));
        if (height > maxSide) continue;
        const long area = long(width) * height, bestArea = long(layout->width) * layout->height;
        const bool better = !found || area < bestArea ||
                            (area == bestArea && std::max(width, height) < std::max(layout->width, layout->height));
        if (!better) continue;
        found = true;
        layout->width = width;
        layout->height = height;
        layout->placements = trial;
    }
    return found;
}

}  // namespace bitmapfont
