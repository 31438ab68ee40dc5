#include "engine/CCTileMapAtlas.h"

#include <cstdlib>

#include "engine/CCTexture2D.h"
#include "engine/CCTextureAtlas.h"
#include "engine/Support/CCFileUtils.h"
#include "engine/ccMacros.h"
#include "host/core/Log.h"

namespace {

// Rewrites the image as 3 bytes a pixel; false for depths that have no
// red, green and blue to keep.
bool toThreeBytesPerPixel(tImageTGA* image) {
    const size_t bytes = image->pixelDepth / 8u;
    if (bytes == 3) return true;
    if (bytes != 4 && bytes != 1) return false;
    const size_t pixels = size_t(image->width) * size_t(image->height);
    auto* rgb = static_cast<unsigned char*>(std::malloc(pixels * 3));
    if (!rgb) return false;
    for (size_t i = 0; i < pixels; ++i) {
        const unsigned char* from = image->imageData + i * bytes;
        unsigned char* to = rgb + i * 3;
        to[0] = from[0];
        to[1] = bytes == 4 ? from[1] : from[0];
        to[2] = bytes == 4 ? from[2] : from[0];
    }
    std::free(image->imageData);
    image->imageData = rgb;
    image->pixelDepth = 24;
    return true;
}

}  // namespace

CCTileMapAtlas* CCTileMapAtlas::tileMapAtlasWithTileFile(const std::string& tile, const std::string& mapFile,
                                                         int tileWidth, int tileHeight) {
    return host::create<CCTileMapAtlas>(
        [&](CCTileMapAtlas* map) { return map->initWithTileFile(tile, mapFile, tileWidth, tileHeight); });
}

bool CCTileMapAtlas::initWithTileFile(const std::string& tile, const std::string& mapFile, int tileWidth,
                                      int tileHeight) {
    if (tileWidth <= 0 || tileHeight <= 0) {
        host::log("CCTileMapAtlas: the tile size %d x %d is not a size", tileWidth, tileHeight);
        return false;
    }
    if (!loadTGAfile(mapFile)) return false;
    calculateItemsToRender();
    if (!CCAtlasNode::initWithTileFile(tile, unsigned(tileWidth), unsigned(tileHeight), unsigned(itemsToRender_)))
        return false;
    posToAtlasIndex_.reserve(size_t(itemsToRender_));
    updateAtlasValues();
    setContentSizeInPixels(CGSizeMake(float(itemWidth_) * float(tgaInfo_->width),
                                      float(itemHeight_) * float(tgaInfo_->height)));
    return true;
}

CCTileMapAtlas::~CCTileMapAtlas() { tgaDestroy(tgaInfo_); }

bool CCTileMapAtlas::loadTGAfile(const std::string& file) {
    const std::string path = CCFileUtils::fullPathFromRelativePath(file);
    tImageTGA* image = tgaLoad(path.c_str());
    if (image && image->status == TGA_OK && !toThreeBytesPerPixel(image)) {
        host::log("TileMapAtlasLoadTGA: TileMapAtas cannot load TGA file %s: %d bits a pixel are not a map",
                  path.c_str(), int(image->pixelDepth));
        image->status = TGA_ERROR_UNSUPPORTED;
    } else if (!image) {
        host::log("TileMapAtlasLoadTGA: TileMapAtas cannot load TGA file %s: out of memory", path.c_str());
    }
    // The reader has logged its own failures.
    if (!image || image->status != TGA_OK) {
        tgaDestroy(image);
        return false;
    }
    tgaDestroy(tgaInfo_);
    tgaInfo_ = image;
    return true;
}

unsigned char* CCTileMapAtlas::cellBytes(ccGridSize position) const {
    CCAssert(tgaInfo_ != nullptr, "CCTileMapAtlas: the map has been released");
    CCAssert(position.x >= 0 && position.x < tgaInfo_->width && position.y >= 0 && position.y < tgaInfo_->height,
             "CCTileMapAtlas: invalid position");
    return tgaInfo_->imageData + (size_t(position.x) + size_t(position.y) * size_t(tgaInfo_->width)) * 3;
}

void CCTileMapAtlas::calculateItemsToRender() {
    itemsToRender_ = 0;
    for (int x = 0; x < tgaInfo_->width; ++x)
        for (int y = 0; y < tgaInfo_->height; ++y)
            if (cellBytes(ccg(x, y))[0] != 0) ++itemsToRender_;
}

ccColor3B CCTileMapAtlas::tileAt(ccGridSize position) const {
    const unsigned char* cell = cellBytes(position);
    return ccc3(cell[0], cell[1], cell[2]);
}

void CCTileMapAtlas::setTile(ccColor3B tile, ccGridSize position) {
    unsigned char* cell = cellBytes(position);
    if (cell[0] == 0) return;
    cell[0] = tile.r;
    cell[1] = tile.g;
    cell[2] = tile.b;
    const auto found = posToAtlasIndex_.find(cellKey(position.x, position.y));
    if (found != posToAtlasIndex_.end()) updateAtlasValueAt(position, tile, found->second);
}

void CCTileMapAtlas::releaseMap() {
    tgaDestroy(tgaInfo_);
    tgaInfo_ = nullptr;
    posToAtlasIndex_.clear();
}

void CCTileMapAtlas::updateAtlasValues() {
    if (!tgaInfo_) return;
    unsigned index = 0;
    posToAtlasIndex_.clear();
    for (int x = 0; x < tgaInfo_->width; ++x) {
        for (int y = 0; y < tgaInfo_->height && index < unsigned(itemsToRender_); ++y) {
            const unsigned char* cell = cellBytes(ccg(x, y));
            if (cell[0] == 0) continue;
            updateAtlasValueAt(ccg(x, y), ccc3(cell[0], cell[1], cell[2]), index);
            posToAtlasIndex_[cellKey(x, y)] = index;
            ++index;
        }
    }
}

void CCTileMapAtlas::updateAtlasValueAt(ccGridSize position, ccColor3B value, unsigned index) {
    CCTexture2D* texture = textureAtlas_ ? textureAtlas_->texture() : nullptr;
    if (!texture || itemsPerRow_ == 0 || index >= textureAtlas_->capacity()) return;
    const float tw = float(texture->pixelsWide()), th = float(texture->pixelsHigh());
    const float w = float(itemWidth_), h = float(itemHeight_);
    const unsigned row = value.r / itemsPerRow_, column = value.r % itemsPerRow_;
    const float left = float(column) * w / tw, top = float(row) * h / th;
    const float right = left + w / tw, bottom = top + h / th;
    const float x = float(position.x), y = float(position.y);

    ccV3F_C4B_T2F_Quad quad{};
    quad.bl.vertices = ccVertex3F{x * w, y * h, 0};
    quad.bl.texCoords = ccTex2F{left, bottom};
    quad.br.vertices = ccVertex3F{(x + 1) * w, y * h, 0};
    quad.br.texCoords = ccTex2F{right, bottom};
    quad.tl.vertices = ccVertex3F{x * w, (y + 1) * h, 0};
    quad.tl.texCoords = ccTex2F{left, top};
    quad.tr.vertices = ccVertex3F{(x + 1) * w, (y + 1) * h, 0};
    quad.tr.texCoords = ccTex2F{right, top};
    textureAtlas_->updateQuad(&quad, index);
}
