// One FreeType face at one pixel size, with its glyph metrics and rendered
// glyphs cached, and the process-wide store of such faces.
//
// FreeType objects are not safe to use from two threads at once, so every
// use of a face happens under the store's one lock (`FontFaceCache::lock`).
// The public text API (Font, TextLayout, drawText) takes it; the methods
// here expect the caller to hold it.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <tuple>
#include <unordered_map>
#include <vector>

#include "host/text/FontFile.h"

struct FT_FaceRec_;
struct FT_LibraryRec_;

namespace host {

// A rendered glyph: coverage rows top down; `left`/`top` place its top-left
// corner relative to the pen position on the baseline (top counts upwards).
struct GlyphBitmap {
    int left = 0, top = 0, width = 0, height = 0;
    std::vector<uint8_t> coverage;
};

class FontFace;

// A glyph as text layout uses it: which face draws it, its index there and
// its advance in pixels.
struct ResolvedGlyph {
    FontFace* face = nullptr;
    uint32_t index = 0;
    float advance = 0;
};

// Names read from inside a font file.
struct FontFileInfo {
    std::string family;
    std::string style;
    std::string postscriptName;
};

class FontFace {
public:
    ~FontFace();
    FontFace(const FontFace&) = delete;
    FontFace& operator=(const FontFace&) = delete;

    const FontFile& file() const { return file_; }
    float pixelSize() const { return pixelSize_; }
    // Distances from the baseline, both positive, and the distance between
    // baselines of consecutive lines.
    float ascender() const { return ascender_; }
    float descender() const { return descender_; }
    float lineHeight() const { return lineHeight_; }
    const std::string& familyName() const { return family_; }
    const std::string& styleName() const { return style_; }

    // The glyph for a code point: from this face, or for a code point this
    // face lacks, from a system font that has it; failing both, this face's
    // missing-glyph symbol.
    ResolvedGlyph resolve(char32_t codePoint);
    // Kerning between two glyphs of this face, in pixels.
    float kerning(uint32_t left, uint32_t right) const;
    // The rendered glyph, or nullptr when it cannot be rendered. The
    // pointer is valid until the next call on this face.
    const GlyphBitmap* bitmap(uint32_t glyphIndex);

private:
    friend class FontFaceCache;
    FontFace(FT_FaceRec_* face, FontFile file, float pixelSize, bool isFallback);
    uint32_t glyphIndex(char32_t codePoint) const;
    float advance(uint32_t glyphIndex) const;
    bool render(uint32_t glyphIndex, GlyphBitmap* out) const;

    FT_FaceRec_* face_;
    FontFile file_;
    float pixelSize_;
    bool isFallback_;  // a fallback face never falls back further
    float ascender_ = 0, descender_ = 0, lineHeight_ = 0;
    std::string family_, style_;
    bool hasKerning_ = false;

    // Code point -> glyph; fallback faces stay alive through `fallbacks_`.
    std::unordered_map<char32_t, ResolvedGlyph> glyphs_;
    std::vector<std::shared_ptr<FontFace>> fallbacks_;
    std::unordered_map<uint32_t, GlyphBitmap> bitmaps_;
    size_t bitmapBytes_ = 0;
    GlyphBitmap scratch_;  // for glyphs too large to keep
};

class FontFaceCache {
public:
    // Lives for the whole process (never destroyed), so faces released
    // during static destruction still find their FreeType library.
    static FontFaceCache& shared();

    std::unique_lock<std::recursive_mutex> lock() { return std::unique_lock<std::recursive_mutex>(mutex_); }

    // The face of `file` at `pixelSize`, shared by everyone asking for the
    // same pair; nullptr (and one log line) when the file is no usable
    // font. Call with the lock held.
    std::shared_ptr<FontFace> face(const FontFile& file, float pixelSize);
    // Reads the names inside a font file without keeping it open; false
    // (and one log line) when it is no usable font. Takes the lock.
    bool describe(const std::string& path, FontFileInfo* info);

private:
    friend class FontFace;
    FontFaceCache();
    // A face used for code points another face lacks (lock held).
    std::shared_ptr<FontFace> fallbackFace(char32_t codePoint, float pixelSize);
    std::shared_ptr<FontFace> open(const FontFile& file, float pixelSize, bool isFallback);
    FT_LibraryRec_* library() const { return library_; }

    using Key = std::tuple<std::string, int, long>;
    static Key keyFor(const FontFile& file, float pixelSize);

    std::recursive_mutex mutex_;
    FT_LibraryRec_* library_ = nullptr;
    std::map<Key, std::shared_ptr<FontFace>> faces_;
    std::map<Key, std::weak_ptr<FontFace>> fallbackFaces_;
    std::set<Key> brokenFallbacks_;  // opened once and failed: not retried
};

}  // namespace host
