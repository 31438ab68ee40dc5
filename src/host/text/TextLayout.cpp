#include "host/text/TextLayout.h"

#include <algorithm>

#include "host/text/FontFace.h"
#include "host/text/Utf8.h"

namespace host {

namespace {
constexpr char32_t kEllipsis = 0x2026;
// Slack for float rounding, so text measured for a box fits that box.
constexpr float kFitTolerance = 1.0f / 64;

// Spaces a line may break after; they hang past the line's end.
bool isBreakingSpace(char32_t c) {
    return c == ' ' || c == 0x1680 || (c >= 0x2000 && c <= 0x200B && c != 0x2007) || c == 0x205F || c == 0x3000;
}

// Ideographic scripts break between any two characters.
bool isIdeographic(char32_t c) {
    return (c >= 0x2E80 && c <= 0x9FFF) || (c >= 0xAC00 && c <= 0xD7AF) || (c >= 0xF900 && c <= 0xFAFF) ||
           (c >= 0x20000 && c <= 0x3FFFF);
}

bool isHyphen(char32_t c) { return c == '-' || c == 0x2010; }

// Line separators become '\n' ("\r\n" counts once), tabs become spaces, and
// other control characters are dropped: they have nothing to draw.
std::u32string normalise(const std::u32string& in) {
    std::u32string out;
    out.reserve(in.size());
    for (size_t i = 0; i < in.size(); ++i) {
        const char32_t c = in[i];
        if (c == '\r') {
            if (i + 1 < in.size() && in[i + 1] == '\n') continue;
            out.push_back('\n');
        } else if (c == 0x2028 || c == 0x2029 || c == 0x85) {
            out.push_back('\n');
        } else if (c == '\t') {
            out.push_back(' ');
        } else if (c != '\n' && (c < 0x20 || (c >= 0x7F && c < 0xA0))) {
            continue;
        } else {
            out.push_back(c);
        }
    }
    return out;
}

// Resolves a run's glyphs and their pen positions (kerning between glyphs
// of the same face included); returns the run's advance width.
float placeRun(FontFace& face, const char32_t* chars, size_t count, std::vector<ResolvedGlyph>& glyphs,
               std::vector<float>& xs) {
    glyphs.resize(count);
    xs.resize(count);
    float pen = 0;
    for (size_t i = 0; i < count; ++i) {
        glyphs[i] = face.resolve(chars[i]);
        if (i > 0 && glyphs[i].face == glyphs[i - 1].face)
            pen += glyphs[i].face->kerning(glyphs[i - 1].index, glyphs[i].index);
        xs[i] = pen;
        pen += glyphs[i].advance;
    }
    return pen;
}
}  // namespace

struct TextLayout::Builder {
    Builder(TextLayout& l, FontFace& f, int m, int a)
        : layout(l), face(f), mode(m), alignment(a), lineHeight(f.lineHeight()),
          // The descender rests on the line's bottom and the line gap sits
          // above the ascender, where accents over capitals reach.
          baselineOffset(f.lineHeight() - f.descender()) {}

    TextLayout& layout;
    FontFace& face;
    int mode;
    int alignment;
    float lineHeight;
    float baselineOffset;
    // The paragraph being laid out, measured once.
    const char32_t* chars = nullptr;
    size_t count = 0;
    std::vector<ResolvedGlyph> glyphs;
    std::vector<float> xs;
    float total = 0;
    // Scratch for placing one line.
    std::u32string lineChars;
    std::vector<ResolvedGlyph> lineGlyphs;
    std::vector<float> lineXs;

    float maxWidth() const { return layout.box_.width; }
    // The next line's top would be at or below the box's bottom edge.
    bool full() const { return float(layout.lines_.size()) * lineHeight >= layout.box_.height; }
    // Width of the paragraph's first `n` characters / of those from `from` on.
    float prefixWidth(size_t n) const { return n == 0 ? 0 : xs[n - 1] + glyphs[n - 1].advance; }
    float suffixWidth(size_t from) const { return from >= count ? 0 : total - xs[from]; }
    bool fits(float width) const { return width <= maxWidth() + kFitTolerance; }

    void paragraph(const char32_t* begin, const char32_t* end) {
        chars = begin;
        count = size_t(end - begin);
        total = placeRun(face, chars, count, glyphs, xs);
        if (mode == kTextLineBreakModeCharacterWrap || mode == kTextLineBreakModeWordWrap) wrap();
        else singleLine();
    }

    bool breakAllowedBefore(size_t i) const {
        const char32_t before = chars[i - 1], c = chars[i];
        if (isBreakingSpace(c)) return false;
        return isBreakingSpace(before) || isHyphen(before) || isIdeographic(before) || isIdeographic(c);
    }

    void wrap() {
        if (count == 0) {
            addLine(chars, chars);
            return;
        }
        size_t start = 0;
        while (start < count && !full()) {
            const float origin = xs[start];
            size_t lastBreak = 0;  // 0: no break opportunity on this line yet
            size_t i = start;
            for (; i < count; ++i) {
                if (i > start && breakAllowedBefore(i)) lastBreak = i;
                if (isBreakingSpace(chars[i])) continue;  // spaces hang past the edge
                if (i > start && !fits(xs[i] + glyphs[i].advance - origin)) break;
            }
            if (i == count) {
                addLine(chars + start, chars + count);
                return;
            }
            const bool atWord = mode == kTextLineBreakModeWordWrap && lastBreak > start;
            const size_t breakAt = atWord ? lastBreak : i;
            size_t contentEnd = breakAt;
            while (contentEnd > start && isBreakingSpace(chars[contentEnd - 1])) --contentEnd;
            addLine(chars + start, chars + contentEnd);
            start = breakAt;
            while (start < count && isBreakingSpace(chars[start])) ++start;
        }
    }

    // Clip and the truncation modes: the paragraph on one line.
    void singleLine() {
        if (mode == kTextLineBreakModeClip || fits(total)) {
            addLine(chars, chars + count);
            return;
        }
        std::u32string ellipsis(1, kEllipsis);
        if (face.resolve(kEllipsis).index == 0) ellipsis = U"...";
        std::vector<ResolvedGlyph> ellipsisGlyphs;
        std::vector<float> ellipsisXs;
        const float budget =
            maxWidth() - placeRun(face, ellipsis.data(), ellipsis.size(), ellipsisGlyphs, ellipsisXs);

        size_t keepHead = 0, tailFrom = count;  // kept: [0, keepHead) ... [tailFrom, count)
        if (mode == kTextLineBreakModeHeadTruncation) {
            while (tailFrom > 0 && suffixWidth(tailFrom - 1) <= budget) --tailFrom;
        } else if (mode == kTextLineBreakModeMiddleTruncation) {
            // Alternate sides so both ends keep about as much.
            for (bool left = true; keepHead < tailFrom; left = !left) {
                if (left && prefixWidth(keepHead + 1) + suffixWidth(tailFrom) <= budget) ++keepHead;
                else if (!left && prefixWidth(keepHead) + suffixWidth(tailFrom - 1) <= budget) --tailFrom;
                else break;
            }
        } else {  // tail truncation
            while (keepHead < count && prefixWidth(keepHead + 1) <= budget) ++keepHead;
        }
        while (keepHead > 0 && isBreakingSpace(chars[keepHead - 1])) --keepHead;
        while (tailFrom < count && isBreakingSpace(chars[tailFrom])) ++tailFrom;
        lineChars.assign(chars, chars + keepHead);
        lineChars += ellipsis;
        lineChars.append(chars + tailFrom, chars + count);
        addLine(lineChars.data(), lineChars.data() + lineChars.size());
    }

    void addLine(const char32_t* begin, const char32_t* end) {
        if (full()) return;
        const size_t n = size_t(end - begin);
        Line line;
        line.top = float(layout.lines_.size()) * lineHeight;
        line.baseline = line.top + baselineOffset;
        line.width = placeRun(face, begin, n, lineGlyphs, lineXs);
        line.firstGlyph = layout.glyphs_.size();
        line.glyphCount = n;
        for (size_t i = 0; i < n; ++i)
            layout.glyphs_.push_back(Glyph{lineGlyphs[i].face, lineGlyphs[i].index, lineXs[i]});
        const float free = maxWidth() - line.width;
        if (free > 0 && alignment == kTextAlignmentCenter) line.x = free / 2;
        else if (free > 0 && alignment == kTextAlignmentRight) line.x = free;
        line.text = encodeUtf8(begin, end);
        layout.lines_.push_back(std::move(line));
    }
};

TextLayout::TextLayout(const Font& font, const std::string& text, CGSize box, int lineBreakMode, int alignment)
    // The layout keeps the font (and so its faces) alive; retaining does not
    // change the font itself.
    : font_(const_cast<Font*>(&font)), box_(box) {
    if (!(box.width >= 0) || !(box.height >= 0)) box_ = CGSizeZero;  // negative or NaN: an empty box
    if (lineBreakMode < kTextLineBreakModeWordWrap || lineBreakMode > kTextLineBreakModeMiddleTruncation)
        lineBreakMode = kTextLineBreakModeWordWrap;
    const std::u32string chars = normalise(decodeUtf8(text));
    if (chars.empty()) return;

    auto guard = FontFaceCache::shared().lock();
    Builder builder(*this, *font.face(), lineBreakMode, alignment);
    const char32_t* p = chars.data();
    const char32_t* end = p + chars.size();
    while (!builder.full()) {
        const char32_t* lineEnd = std::find(p, end, U'\n');
        builder.paragraph(p, lineEnd);
        if (lineEnd == end) break;
        p = lineEnd + 1;
    }
}

CGSize TextLayout::usedSize() const {
    float width = 0;
    for (const Line& line : lines_) width = std::max(width, line.width);
    return CGSize{width, float(lines_.size()) * font_->lineHeight()};
}

}  // namespace host
