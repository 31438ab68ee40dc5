// Tile-map files for tests: layer data in every encoding the map editor
// writes, maps put together from parts, and tile sheets whose tiles are
// solid colours (tile n of a sheet is kTileColours[n]).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "Base64Encode.h"
#include "Deflate.h"
#include "ImageFileWriters.h"
#include "LogCapture.h"
#include "ScratchDirectory.h"
#include "engine/ccTypes.h"

// Distinct, fully opaque colours for the tiles of a test sheet.
inline ccColor4B tileColour(unsigned n) {
    static const ccColor4B kColours[] = {{255, 0, 0, 255},   {0, 255, 0, 255},   {0, 0, 255, 255},
                                         {255, 255, 0, 255}, {255, 0, 255, 255}, {0, 255, 255, 255},
                                         {255, 128, 0, 255}, {128, 0, 255, 255}};
    return kColours[n % 8];
}

// A sheet of `columns` x `rows` tiles of `tile` pixels, no margin or spacing.
inline std::string writeTileSheet(const ScratchDirectory& dir, const std::string& name, unsigned tile,
                                  unsigned columns, unsigned rows) {
    return writePngFile(dir, name, tile * columns, tile * rows,
                        [&](unsigned x, unsigned y) { return tileColour(y / tile * columns + x / tile); });
}

inline std::string littleEndianGIDs(const std::vector<uint32_t>& gids) {
    std::string bytes;
    for (uint32_t g : gids)
        for (int shift = 0; shift < 32; shift += 8) bytes += char(g >> shift & 0xFF);
    return bytes;
}

// A <data> element: "base64", "zlib", "gzip", "csv" or "xml" (tile elements).
inline std::string tmxData(const std::vector<uint32_t>& gids, const std::string& encoding) {
    if (encoding == "csv") {
        std::string csv;
        for (size_t i = 0; i < gids.size(); ++i) csv += (i ? (i % 7 ? "," : ",\n") : "") + std::to_string(gids[i]);
        return "<data encoding=\"csv\">\n" + csv + "\n</data>";
    }
    if (encoding == "xml") {
        std::string tiles;
        for (uint32_t g : gids) tiles += g ? "<tile gid=\"" + std::to_string(g) + "\"/>" : "<tile/>";
        return "<data>" + tiles + "</data>";
    }
    const std::string raw = littleEndianGIDs(gids);
    if (encoding == "zlib") return "<data encoding=\"base64\" compression=\"zlib\">" + base64Encode(compress(raw)) + "</data>";
    if (encoding == "gzip")
        return "<data encoding=\"base64\" compression=\"gzip\">\n   " + base64Encode(compress(raw, 31)) + "\n  </data>";
    return "<data encoding=\"base64\">" + base64Encode(raw) + "</data>";
}

inline std::string tmxLayer(const std::string& name, int w, int h, const std::string& data,
                            const std::string& attributes = "") {
    return "<layer name=\"" + name + "\" width=\"" + std::to_string(w) + "\" height=\"" + std::to_string(h) + "\" " +
           attributes + ">" + data + "</layer>";
}

inline std::string tmxTileset(int firstGid, const std::string& image, int tile, const std::string& extra = "",
                              const std::string& attributes = "") {
    return "<tileset firstgid=\"" + std::to_string(firstGid) + "\" name=\"set" + std::to_string(firstGid) +
           "\" tilewidth=\"" + std::to_string(tile) + "\" tileheight=\"" + std::to_string(tile) + "\" " + attributes +
           "><image source=\"" + image + "\"/>" + extra + "</tileset>";
}

// A whole map file; `attributes` follow the map's own defaults (an
// orthogonal 4 x 3 map of 8-pixel tiles) and may override them.
inline std::string tmxMap(const std::string& body, const std::string& attributes = "") {
    std::string a = " " + attributes;
    auto add = [&](const char* name, const char* value) {
        if (a.find(std::string(" ") + name + "=") == std::string::npos) a += std::string(" ") + name + "=\"" + value + "\"";
    };
    add("orientation", "orthogonal");
    add("width", "4");
    add("height", "3");
    add("tilewidth", "8");
    add("tileheight", "8");
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<map version=\"1.10\" tiledversion=\"1.10.2\"" + a + ">" +
           body + "</map>\n";
}
