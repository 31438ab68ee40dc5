// Makes a bitmap font from a TrueType/OpenType file through the host's text
// engine: the glyphs of the chosen characters rendered at one pixel size
// and packed into a PNG sheet (white, coverage in alpha), and the text font
// description beside it, with the font's kerning pairs (read from its
// 'kern' table; fonts that kern only through OpenType layout give none).
#pragma once

#include <string>

namespace bitmapfont {

// Codes a bitmap-font label can show.
constexpr char32_t kMaxCharacter = 2047;

struct FontRequest {
    std::string fontFile;
    int pixelSize = 0;
    // Written as OUT.fnt and OUT.png; the description names the image by
    // its file name, so both stay together.
    std::string outPrefix;
    // UTF-8; empty means printable ASCII and Latin-1.
    std::string characters;
};

struct FontSummary {
    int characters = 0;        // characters written
    int missing = 0;           // asked for but not in the font
    int kerningPairs = 0;
    int sheetWidth = 0, sheetHeight = 0;
};

// The largest sheet side made (a common GL maximum texture size).
constexpr int kMaxSheetSide = 4096;

// False with `error` set (one line) when the font cannot be used, a
// character is out of range, the glyphs do not fit a sheet or a file
// cannot be written.
bool makeBitmapFont(const FontRequest& request, FontSummary* summary, std::string* error);

}  // namespace bitmapfont
