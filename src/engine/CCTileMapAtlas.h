// CCTileMapAtlas: a tile map whose layout is a TGA image. Each pixel is a
// map cell; its red byte names the tile drawn there (0: no tile), counting
// the tile sheet's cells left to right and top to bottom; green and blue
// are kept and handed back but not drawn. Row 0 of the map is the image's
// bottom row, drawn at the bottom. One quad per non-empty cell, all in one
// draw call; the number of quads is fixed when the map is made.
//
// Map images of 24 bits a pixel are read as they are; 32-bit images lose
// their alpha and 8-bit grey images give each cell its grey as red, green
// and blue. Other depths are refused.
#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>

#include "engine/CCAtlasNode.h"
#include "engine/Support/TGAlib.h"
#include "engine/ccTypes.h"

class CCTileMapAtlas : public CCAtlasNode {
public:
    // Tile sizes in points. nullptr, with a log line, when the map or the
    // tile sheet cannot be loaded.
    static CCTileMapAtlas* tileMapAtlasWithTileFile(const std::string& tile, const std::string& mapFile,
                                                    int tileWidth, int tileHeight);
    bool initWithTileFile(const std::string& tile, const std::string& mapFile, int tileWidth, int tileHeight);

    // The map image (3 bytes a pixel, rows bottom-up); null after releaseMap.
    const tImageTGA* tgaInfo() const { return tgaInfo_; }
    int itemsToRender() const { return itemsToRender_; }

    // The cell's three bytes. Cells inside the map only, before releaseMap.
    ccColor3B tileAt(ccGridSize position) const;
    // Changes a non-empty cell and redraws it; an empty cell (red 0) has no
    // quad, so nothing changes there.
    void setTile(ccColor3B tile, ccGridSize position);
    // Frees the map image and the cell index; the quads keep drawing.
    void releaseMap();

    // Reads the map image into tgaInfo; false (logged) when it cannot be read.
    bool loadTGAfile(const std::string& file);
    void calculateItemsToRender();
    void updateAtlasValues() override;
    void updateAtlasValueAt(ccGridSize position, ccColor3B value, unsigned index);

protected:
    ~CCTileMapAtlas() override;

private:
    static uint64_t cellKey(int x, int y) { return uint64_t(uint32_t(x)) << 32 | uint32_t(y); }
    unsigned char* cellBytes(ccGridSize position) const;

    tImageTGA* tgaInfo_ = nullptr;  // owned
    // A non-empty cell's quad index.
    std::unordered_map<uint64_t, unsigned> posToAtlasIndex_;
    int itemsToRender_ = 0;
};
