#include "BitmapFontMaker.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <memory>
#include <sstream>
#include <vector>

#include "GlyphSheetPacker.h"
#include "host/text/Font.h"
#include "host/text/FontFace.h"
#include "host/graphics/Image.h"
#include "host/text/Utf8.h"

namespace bitmapfont {

namespace {

// Transparent pixels around every glyph inside its rectangle, so scaled or
// rotated letters keep soft edges, and between rectangles on the sheet.
constexpr int kPadding = 1;
constexpr int kSpacing = 1;

struct Glyph {
    char32_t code = 0;
    uint32_t index = 0;
    int advance = 0;
    host::GlyphBitmap bitmap;
    CellPlacement at;
};

std::u32string defaultCharacters() {
    std::u32string s;
    for (char32_t c = 0x20; c <= 0x7E; ++c) s.push_back(c);
    for (char32_t c = 0xA0; c <= 0xFF; ++c) s.push_back(c);
    return s;
}

// The requested characters, each once, in order; control characters dropped.
bool characterList(const std::string& utf8, std::u32string* out, std::string* error) {
    const std::u32string asked = utf8.empty() ? defaultCharacters() : host::decodeUtf8(utf8);
    for (char32_t c : asked) {
        if (c < 0x20 || c == 0x7F) continue;
        if (c > kMaxCharacter) {
            char buf[96];
            std::snprintf(buf, sizeof buf, "character U+%04X is beyond U+07FF, which bitmap-font labels cannot show",
                          unsigned(c));
            *error = buf;
            return false;
        }
        if (out->find(c) == std::u32string::npos) out->push_back(c);
    }
    return true;
}

std::string baseName(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool writeFile(const std::string& path, const std::string& bytes, std::string* error) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (out) out.write(bytes.data(), std::streamsize(bytes.size()));
    if (out.good()) return true;
    *error = "cannot write " + path;
    return false;
}

// White texels whose alpha is the glyph's coverage.
std::vector<uint8_t> drawSheet(const std::vector<Glyph>& glyphs, int width, int height) {
    std::vector<uint8_t> rgba(size_t(width) * size_t(height) * 4, 0);
    for (size_t i = 0; i < rgba.size(); i += 4) rgba[i] = rgba[i + 1] = rgba[i + 2] = 255;
    for (const Glyph& g : glyphs) {
        const host::GlyphBitmap& b = g.bitmap;
        for (int y = 0; y < b.height; ++y)
            for (int x = 0; x < b.width; ++x) {
                const size_t texel = size_t(g.at.y + kPadding + y) * size_t(width) + size_t(g.at.x + kPadding + x);
                rgba[texel * 4 + 3] = b.coverage[size_t(y) * size_t(b.width) + size_t(x)];
            }
    }
    return rgba;
}

struct Kerning {
    char32_t first, second;
    int amount;
};

std::string describe(const host::Font& font, int pixelSize, const std::vector<Glyph>& glyphs,
                     const std::vector<Kerning>& kernings, int sheetWidth, int sheetHeight,
                     const std::string& imageName) {
    const std::string& style = font.styleName();
    const bool bold = style.find("Bold") != std::string::npos;
    const bool italic = style.find("Italic") != std::string::npos || style.find("Oblique") != std::string::npos;
    const int base = int(std::lround(font.ascender()));
    const int lineHeight = std::max(1, int(std::lround(font.lineHeight())));
    std::ostringstream s;
    s << "info face=\"" << font.familyName() << "\" size=" << pixelSize << " bold=" << bold << " italic=" << italic
      << " charset=\"\" unicode=1 stretchH=100 smooth=1 aa=1 padding=" << kPadding << ',' << kPadding << ','
      << kPadding << ',' << kPadding << " spacing=" << kSpacing << ',' << kSpacing << "\n";
    s << "common lineHeight=" << lineHeight << " base=" << base << " scaleW=" << sheetWidth
      << " scaleH=" << sheetHeight << " pages=1 packed=0\n";
    s << "page id=0 file=\"" << imageName << "\"\n";
    s << "chars count=" << glyphs.size() << "\n";
    for (const Glyph& g : glyphs) {
        const bool ink = g.bitmap.width > 0 && g.bitmap.height > 0;
        const int w = ink ? g.bitmap.width + 2 * kPadding : 0, h = ink ? g.bitmap.height + 2 * kPadding : 0;
        const int xOffset = ink ? g.bitmap.left - kPadding : 0, yOffset = ink ? base - g.bitmap.top - kPadding : 0;
        s << "char id=" << unsigned(g.code) << " x=" << g.at.x << " y=" << g.at.y << " width=" << w
          << " height=" << h << " xoffset=" << xOffset << " yoffset=" << yOffset << " xadvance=" << g.advance
          << " page=0 chnl=15\n";
    }
    s << "kernings count=" << kernings.size() << "\n";
    for (const Kerning& k : kernings)
        s << "kerning first=" << unsigned(k.first) << " second=" << unsigned(k.second) << " amount=" << k.amount
          << "\n";
    return s.str();
}

}  // namespace

bool makeBitmapFont(const FontRequest& request, FontSummary* summary, std::string* error) {
    std::u32string characters;
    if (!characterList(request.characters, &characters, error)) return false;
    host::Ref<host::Font> font = host::Font::fontWithFile(host::FontFile{request.fontFile, 0},
                                                          float(request.pixelSize), host::Font::Kind::Custom,
                                                          baseName(request.fontFile));
    if (!font) {
        *error = request.fontFile + " is not a usable font file";
        return false;
    }

    std::vector<Glyph> glyphs;
    std::vector<Kerning> kernings;
    *summary = FontSummary{};
    {
        auto guard = host::FontFaceCache::shared().lock();
        host::FontFace* face = font->face();
        for (char32_t c : characters) {
            const host::ResolvedGlyph resolved = face->resolve(c);
            // Another font's glyph, or the missing-glyph box: not this font's.
            if (resolved.face != face || resolved.index == 0) {
                ++summary->missing;
                continue;
            }
            Glyph g;
            g.code = c;
            g.index = resolved.index;
            g.advance = int(std::lround(resolved.advance));
            if (const host::GlyphBitmap* b = face->bitmap(resolved.index)) g.bitmap = *b;
            glyphs.push_back(std::move(g));
        }
        for (const Glyph& a : glyphs)
            for (const Glyph& b : glyphs) {
                const int amount = int(std::lround(face->kerning(a.index, b.index)));
                if (amount != 0) kernings.push_back(Kerning{a.code, b.code, amount});
            }
    }
    if (glyphs.empty()) {
        *error = request.fontFile + " has none of the characters asked for";
        return false;
    }

    std::vector<CellSize> cells;
    for (const Glyph& g : glyphs) {
        const bool ink = g.bitmap.width > 0 && g.bitmap.height > 0;
        cells.push_back(ink ? CellSize{g.bitmap.width + 2 * kPadding, g.bitmap.height + 2 * kPadding} : CellSize{});
    }
    GlyphSheetLayout layout;
    if (!packGlyphSheet(cells, kSpacing, kMaxSheetSide, &layout)) {
        *error = "the glyphs at size " + std::to_string(request.pixelSize) + " do not fit a " +
                 std::to_string(kMaxSheetSide) + " x " + std::to_string(kMaxSheetSide) + " sheet";
        return false;
    }
    for (size_t i = 0; i < glyphs.size(); ++i) glyphs[i].at = layout.placements[i];

    std::vector<uint8_t> png;
    const std::vector<uint8_t> rgba = drawSheet(glyphs, layout.width, layout.height);
    if (!host::encodePNG(rgba.data(), uint32_t(layout.width), uint32_t(layout.height), 4, &png)) {
        *error = "cannot encode the glyph sheet";
        return false;
    }
    const std::string imagePath = request.outPrefix + ".png";
    const std::string text =
        describe(*font, request.pixelSize, glyphs, kernings, layout.width, layout.height, baseName(imagePath));
    if (!writeFile(imagePath, std::string(png.begin(), png.end()), error) ||
        !writeFile(request.outPrefix + ".fnt", text, error))
        return false;

    summary->characters = int(glyphs.size());
    summary->kerningPairs = int(kernings.size());
    summary->sheetWidth = layout.width;
    summary->sheetHeight = layout.height;
    return true;
}

}  // namespace bitmapfont
