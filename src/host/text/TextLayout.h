// Lays a UTF-8 string out in a box: lines from the top, each placed by the
// alignment, broken by the line-break mode, clipped to the box.
//
// Line-break modes: 0 wraps at word boundaries (a word wider than the box
// is broken between characters), 1 wraps between any characters; the other
// modes keep each paragraph (text between explicit "\n" breaks) on one
// line: 2 clips it at the box edge, 3 truncates its head ("…xyz"), 4 its
// tail ("abc…"), 5 its middle ("ab…yz"). Unknown modes wrap at words.
// Alignments: 0 left, 1 centre, 2 right; unknown values align left.
//
// Coordinates are pixels with the origin at the box's top-left corner and
// y growing downwards. Lines whose top lies inside the box are laid out
// (the last may be cut by the box's bottom edge when drawn).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "host/core/CGGeometry.h"
#include "host/core/Ref.h"
#include "host/text/Font.h"

namespace host {

class FontFace;

enum TextLineBreakMode : int {
    kTextLineBreakModeWordWrap = 0,
    kTextLineBreakModeCharacterWrap = 1,
    kTextLineBreakModeClip = 2,
    kTextLineBreakModeHeadTruncation = 3,
    kTextLineBreakModeTailTruncation = 4,
    kTextLineBreakModeMiddleTruncation = 5,
};

enum TextAlignment : int {
    kTextAlignmentLeft = 0,
    kTextAlignmentCenter = 1,
    kTextAlignmentRight = 2,
};

class TextLayout {
public:
    struct Glyph {
        FontFace* face;  // kept alive by the layout's font
        uint32_t index;
        float x;         // pen position from the line's left edge
    };
    struct Line {
        std::string text;   // what the line shows, ellipsis included
        float x = 0;        // left edge of the line in the box
        float top = 0;      // top of the line in the box
        float baseline = 0;
        float width = 0;    // advance width of what it shows
        size_t firstGlyph = 0;
        size_t glyphCount = 0;
    };

    TextLayout(const Font& font, const std::string& text, CGSize box, int lineBreakMode, int alignment);

    const Font& font() const { return *font_; }
    CGSize box() const { return box_; }
    const std::vector<Line>& lines() const { return lines_; }
    const std::vector<Glyph>& glyphs() const { return glyphs_; }
    // The widest line by the height of all laid-out lines (not rounded).
    CGSize usedSize() const;

private:
    struct Builder;
    Ref<Font> font_;
    CGSize box_;
    std::vector<Line> lines_;
    std::vector<Glyph> glyphs_;
};

}  // namespace host
