// A small bitmap font for tests: a glyph sheet whose character rectangles
// are filled with known colours, and its description in the styles of
// several generator tools (which must all read to the same definitions).
#pragma once

#include <string>

#include "ImageFileWriters.h"
#include "LogCapture.h"
#include "ScratchDirectory.h"
#include "engine/ccTypes.h"

namespace bmfonttest {

// The glyph sheet: 64 x 32 pixels, transparent but for
//   'A' (65) at (0, 0)   12 x 16, opaque red
//   'V' (86) at (16, 0)  10 x 16, opaque green
//   'j' (106) at (32, 0)  6 x 20, opaque blue
// and the space (32) with no rectangle.
constexpr unsigned kSheetWidth = 64, kSheetHeight = 32;
constexpr int kLineHeight = 24;

inline ccColor4B sheetTexel(unsigned x, unsigned y) {
    if (y < 16 && x < 12) return ccColor4B{255, 0, 0, 255};
    if (y < 16 && x >= 16 && x < 26) return ccColor4B{0, 255, 0, 255};
    if (y < 20 && x >= 32 && x < 38) return ccColor4B{0, 0, 255, 255};
    return ccColor4B{0, 0, 0, 0};
}

// The description in the field order of the format's own definition.
inline std::string plainDescription(const std::string& imageName = "test sheet.png") {
    return "info face=\"Test Face\" size=20 bold=0 italic=0 charset=\"\" unicode=1 stretchH=100 smooth=1 aa=1 "
           "padding=0,0,0,0 spacing=1,1\n"
           "common lineHeight=24 base=19 scaleW=64 scaleH=32 pages=1 packed=0\n"
           "page id=0 file=\"" + imageName + "\"\n"
           "chars count=4\n"
           "char id=32 x=0 y=0 width=0 height=0 xoffset=0 yoffset=0 xadvance=5 page=0 chnl=15\n"
           "char id=65 x=0 y=0 width=12 height=16 xoffset=1 yoffset=4 xadvance=13 page=0 chnl=15\n"
           "char id=86 x=16 y=0 width=10 height=16 xoffset=0 yoffset=4 xadvance=11 page=0 chnl=15\n"
           "char id=106 x=32 y=0 width=6 height=20 xoffset=-1 yoffset=8 xadvance=5 page=0 chnl=15\n"
           "kernings count=2\n"
           "kerning first=65 second=86 amount=-3\n"
           "kerning first=86 second=65 amount=-2\n";
}

// Writes the sheet and the plain description into `dir`; the font's path.
inline std::string writeTestFont(const ScratchDirectory& dir, const std::string& name = "test.fnt") {
    writePngFile(dir, "test sheet.png", kSheetWidth, kSheetHeight, sheetTexel);
    return dir.write(name, plainDescription());
}

}  // namespace bmfonttest
