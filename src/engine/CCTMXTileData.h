// The tile data of a map layer, as the map editor writes it: Base64 text
// of little-endian 32-bit GIDs (plain, or a zlib or gzip stream), or
// comma-separated decimal GIDs. Each reader gives exactly `count` GIDs or
// fails with a reason; nothing is read past the layer's size.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Base64 text; `compressed` for a zlib or gzip stream inside it, which may
// inflate to no more than the layer's bytes.
bool ccTMXDecodeBase64Tiles(const std::string& text, bool compressed, size_t count, std::vector<uint32_t>* tiles,
                            std::string* reason);
// "1,2,0,\n3,..." with any white space round the numbers.
bool ccTMXDecodeCSVTiles(const std::string& text, size_t count, std::vector<uint32_t>* tiles, std::string* reason);
// A GID written as an attribute: decimal, at most 32 bits.
bool ccTMXParseGID(const char* text, uint32_t* gid);
