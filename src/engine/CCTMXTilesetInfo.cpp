#include "engine/CCTMXTilesetInfo.h"

#include <cmath>

namespace {

// Whole tiles of `tile` pixels, `spacing` apart, inside `extent` pixels
// with `margin` on both sides.
unsigned tilesAlong(float extent, float tile, unsigned margin, unsigned spacing) {
    if (tile <= 0) return 0;
    const float fit = std::trunc((extent - 2.0f * float(margin) + float(spacing)) / (tile + float(spacing)));
    return fit > 0 ? unsigned(fit) : 0;
}

}  // namespace

unsigned CCTMXTilesetInfo::tilesPerRow() const {
    return tilesAlong(imageSize_.width, tileSize_.width, margin_, spacing_);
}

unsigned CCTMXTilesetInfo::tilesPerColumn() const {
    return tilesAlong(imageSize_.height, tileSize_.height, margin_, spacing_);
}

CGRect CCTMXTilesetInfo::rectForGID(uint32_t gid) const {
    const unsigned perRow = tilesPerRow();
    if (perRow == 0) return CGRectZero;
    const uint32_t n = (gid & kCCTMXGIDMask) - firstGid_;
    CGRect rect;
    rect.size = tileSize_;
    rect.origin.x = float(n % perRow) * (tileSize_.width + float(spacing_)) + float(margin_);
    rect.origin.y = float(n / perRow) * (tileSize_.height + float(spacing_)) + float(margin_);
    return rect;
}

bool CCTMXTilesetInfo::containsGID(uint32_t gid) const {
    gid &= kCCTMXGIDMask;
    if (gid == 0 || gid < firstGid_) return false;
    if (imageSize_.width <= 0 || imageSize_.height <= 0) return true;
    return gid - firstGid_ < tileCount();
}
