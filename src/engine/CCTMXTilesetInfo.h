// CCTMXTilesetInfo: one tile set of a tile map, an image cut into equal
// tiles (with a margin round the image and spacing between tiles), whose
// tiles the map numbers from `firstGid` on, left to right and top to
// bottom.
//
// The map editor stores flips in the top bits of a tile's GID; masked off,
// the rest is the tile's number. A layer honours the horizontal, vertical
// and diagonal bits; the hexagonal rotation bit is masked and not drawn.
#pragma once

#include <cstdint>
#include <string>

#include "host/core/CGGeometry.h"
#include "host/core/Object.h"

enum : uint32_t {
    kCCTMXTileHorizontalFlag = 0x80000000u,
    kCCTMXTileVerticalFlag = 0x40000000u,
    kCCTMXTileDiagonalFlag = 0x20000000u,
    kCCTMXTileHexagonalRotationFlag = 0x10000000u,
    kCCTMXFlipFlags = 0xF0000000u,
    kCCTMXGIDMask = 0x0FFFFFFFu,
};

class CCTMXTilesetInfo : public host::Object {
public:
    static CCTMXTilesetInfo* tilesetInfo() { return host::create<CCTMXTilesetInfo>([](CCTMXTilesetInfo*) { return true; }); }

    const std::string& name() const { return name_; }
    void setName(const std::string& name) { name_ = name; }
    uint32_t firstGid() const { return firstGid_; }
    void setFirstGid(uint32_t gid) { firstGid_ = gid; }
    CGSize tileSize() const { return tileSize_; }
    void setTileSize(CGSize size) { tileSize_ = size; }
    unsigned spacing() const { return spacing_; }
    void setSpacing(unsigned pixels) { spacing_ = pixels; }
    unsigned margin() const { return margin_; }
    void setMargin(unsigned pixels) { margin_ = pixels; }
    // The image's full path.
    const std::string& sourceImage() const { return sourceImage_; }
    void setSourceImage(const std::string& path) { sourceImage_ = path; }
    // Pixels; zero until known (the file may say, a layer sets it from the
    // loaded image).
    CGSize imageSize() const { return imageSize_; }
    void setImageSize(CGSize size) { imageSize_ = size; }

    // The tile's rectangle in the image, in pixels (flip bits ignored).
    // Only for GIDs of this set, with a known image that holds a tile.
    CGRect rectForGID(uint32_t gid) const;
    // Whole tiles across and down the image; 0 while its size is unknown.
    unsigned tilesPerRow() const;
    unsigned tilesPerColumn() const;
    unsigned tileCount() const { return tilesPerRow() * tilesPerColumn(); }
    // Whether the GID (flip bits ignored) names one of this set's tiles; any
    // GID from the first on while the image size is unknown.
    bool containsGID(uint32_t gid) const;

protected:
    ~CCTMXTilesetInfo() override = default;

private:
    std::string name_;
    uint32_t firstGid_ = 0;
    CGSize tileSize_ = CGSizeZero;
    unsigned spacing_ = 0;
    unsigned margin_ = 0;
    std::string sourceImage_;
    CGSize imageSize_ = CGSizeZero;
};
