#include "host/text/FontFace.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_ADVANCES_H

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>

#include "host/core/Log.h"
#include "host/core/SafeFileReader.h"
#include "host/text/FontMatcher.h"

namespace host {

namespace {
// Bounds on what the caches keep, so that unusual input (thousands of
// distinct characters, huge sizes, many sizes) cannot grow memory without
// limit. Faces and glyphs dropped are simply made again when needed.
constexpr size_t kMaxCachedFaces = 32;
constexpr size_t kMaxCachedFallbackEntries = 64;
constexpr size_t kMaxCachedGlyphs = 4096;
constexpr size_t kMaxBitmapBytes = size_t(4) << 20;
constexpr size_t kMaxKeptGlyphBytes = size_t(64) << 10;
// Larger font files are not opened (the biggest collections of the
// desktop's fonts are a few tens of megabytes).
constexpr size_t kMaxFontFileBytes = size_t(256) << 20;

// Outlines only, hinted vertically: horizontal positions stay those of the
// unhinted advances that layout measures with.
constexpr FT_Int32 kRenderLoadFlags = FT_LOAD_TARGET_LIGHT | FT_LOAD_NO_BITMAP;

float pixelsFrom26Dot6(FT_Pos v) { return float(v) / 64.0f; }

// FreeType's row order: a negative pitch means `buffer` is the bottom row.
const unsigned char* topRow(const FT_Bitmap& bitmap) {
    if (bitmap.pitch >= 0) return bitmap.buffer;
    return bitmap.buffer - ptrdiff_t(bitmap.pitch) * ptrdiff_t(bitmap.rows - 1);
}

// FreeType reads font files through a stream of ours over a descriptor
// opened safely: its own opening would wait for ever on a FIFO.
unsigned long readFontStream(FT_Stream stream, unsigned long offset, unsigned char* buffer, unsigned long count) {
    if (count == 0) return offset <= stream->size ? 0 : 1;  // a seek: 0 is success
    const int fd = static_cast<int>(stream->descriptor.value);
    unsigned long done = 0;
    while (done < count) {
        const ssize_t n = ::pread(fd, buffer + done, count - done, static_cast<off_t>(offset + done));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        done += static_cast<unsigned long>(n);
    }
    return done;
}

// FreeType closes the stream once: when the face is done, or when opening
// it failed.
void closeFontStream(FT_Stream stream) {
    ::close(static_cast<int>(stream->descriptor.value));
    delete stream;
}

// FT_New_Face for a font file from outside: regular files only, at most
// kMaxFontFileBytes. One log line when the file cannot be opened or is no
// font FreeType reads.
FT_Face openFontFile(FT_Library library, const std::string& path, long index) {
    SafeFileReader reader(path, kMaxFontFileBytes);
    const uint64_t size = reader.size();
    const int fd = reader.releaseDescriptor();
    if (fd < 0) {
        log("fonts: %s", reader.error().c_str());
        return nullptr;
    }
    auto* stream = new FT_StreamRec{};
    stream->size = static_cast<unsigned long>(size);
    stream->descriptor.value = fd;
    stream->read = readFontStream;
    stream->close = closeFontStream;
    FT_Open_Args args{};
    args.flags = FT_OPEN_STREAM;
    args.stream = stream;
    FT_Face face = nullptr;
    const FT_Error error = FT_Open_Face(library, &args, index, &face);
    if (error != 0) {
        log("fonts: cannot load font file %s (FreeType error %d)", path.c_str(), int(error));
        return nullptr;
    }
    return face;
}
}  // namespace

// ---- FontFace --------------------------------------------------------------

FontFace::FontFace(FT_Face face, FontFile file, float pixelSize, bool isFallback)
    : face_(face), file_(std::move(file)), pixelSize_(pixelSize), isFallback_(isFallback) {
    const FT_Fixed yScale = face->size->metrics.y_scale;
    ascender_ = pixelsFrom26Dot6(FT_MulFix(face->ascender, yScale));
    descender_ = -pixelsFrom26Dot6(FT_MulFix(face->descender, yScale));
    if (ascender_ <= 0 || descender_ < 0) {
        // Fonts without vertical metrics: the usual proportions of the em.
        ascender_ = pixelSize * 0.8f;
        descender_ = pixelSize * 0.2f;
    }
    lineHeight_ = std::max(pixelsFrom26Dot6(FT_MulFix(face->height, yScale)), ascender_ + descender_);
    family_ = face->family_name ? face->family_name : "";
    style_ = face->style_name ? face->style_name : "";
    hasKerning_ = FT_HAS_KERNING(face);
}

FontFace::~FontFace() {
    auto guard = FontFaceCache::shared().lock();
    FT_Done_Face(face_);
}

uint32_t FontFace::glyphIndex(char32_t codePoint) const { return FT_Get_Char_Index(face_, FT_ULong(codePoint)); }

float FontFace::advance(uint32_t glyphIndex) const {
    FT_Fixed advance = 0;  // 16.16 pixels, linearly scaled
    if (FT_Get_Advance(face_, glyphIndex, FT_LOAD_NO_HINTING, &advance) != 0) return 0;
    return float(advance) / 65536.0f;
}

ResolvedGlyph FontFace::resolve(char32_t codePoint) {
    auto cached = glyphs_.find(codePoint);
    if (cached != glyphs_.end()) return cached->second;
    if (glyphs_.size() >= kMaxCachedGlyphs) glyphs_.clear();

    ResolvedGlyph glyph{this, glyphIndex(codePoint), 0};
    if (glyph.index == 0 && !isFallback_) {
        std::shared_ptr<FontFace> fallback = FontFaceCache::shared().fallbackFace(codePoint, pixelSize_);
        const uint32_t index = fallback ? fallback->glyphIndex(codePoint) : 0;
        if (index != 0) {
            glyph = ResolvedGlyph{fallback.get(), index, fallback->advance(index)};
            if (std::find(fallbacks_.begin(), fallbacks_.end(), fallback) == fallbacks_.end())
                fallbacks_.push_back(fallback);
        }
    }
    if (glyph.face == this) glyph.advance = advance(glyph.index);
    glyphs_.emplace(codePoint, glyph);
    return glyph;
}

float FontFace::kerning(uint32_t left, uint32_t right) const {
    if (!hasKerning_ || left == 0 || right == 0) return 0;
    FT_Vector delta{0, 0};
    if (FT_Get_Kerning(face_, left, right, FT_KERNING_UNFITTED, &delta) != 0) return 0;
    return pixelsFrom26Dot6(delta.x);
}

const GlyphBitmap* FontFace::bitmap(uint32_t glyphIndex) {
    auto cached = bitmaps_.find(glyphIndex);
    if (cached != bitmaps_.end()) return &cached->second;
    GlyphBitmap rendered;
    if (!render(glyphIndex, &rendered)) return nullptr;
    const size_t bytes = rendered.coverage.size();
    if (bytes > kMaxKeptGlyphBytes) {
        scratch_ = std::move(rendered);
        return &scratch_;
    }
    if (bitmapBytes_ + bytes > kMaxBitmapBytes) {
        bitmaps_.clear();
        bitmapBytes_ = 0;
    }
    bitmapBytes_ += bytes;
    return &bitmaps_.emplace(glyphIndex, std::move(rendered)).first->second;
}

bool FontFace::render(uint32_t glyphIndex, GlyphBitmap* out) const {
    if (FT_Load_Glyph(face_, glyphIndex, kRenderLoadFlags) != 0) return false;
    FT_GlyphSlot slot = face_->glyph;
    if (slot->format != FT_GLYPH_FORMAT_BITMAP && FT_Render_Glyph(slot, FT_RENDER_MODE_LIGHT) != 0) return false;
    const FT_Bitmap& bitmap = slot->bitmap;
    const bool mono = bitmap.pixel_mode == FT_PIXEL_MODE_MONO;
    if (!mono && bitmap.pixel_mode != FT_PIXEL_MODE_GRAY) return false;
    out->left = slot->bitmap_left;
    out->top = slot->bitmap_top;
    out->width = int(bitmap.width);
    out->height = int(bitmap.rows);
    out->coverage.assign(size_t(bitmap.width) * bitmap.rows, 0);
    if (bitmap.rows == 0 || bitmap.width == 0) return true;
    const unsigned char* row = topRow(bitmap);
    // Grey levels other than 256 are rescaled to 0..255.
    const unsigned maxGrey = bitmap.num_grays > 1 ? bitmap.num_grays - 1 : 255;
    for (unsigned y = 0; y < bitmap.rows; ++y, row += bitmap.pitch) {
        uint8_t* dst = &out->coverage[size_t(y) * bitmap.width];
        for (unsigned x = 0; x < bitmap.width; ++x) {
            if (mono) dst[x] = (row[x >> 3] & (0x80 >> (x & 7))) ? 255 : 0;
            else dst[x] = uint8_t(std::min(255u, unsigned(row[x]) * 255u / maxGrey));
        }
    }
    return true;
}

// ---- FontFaceCache ---------------------------------------------------------

FontFaceCache& FontFaceCache::shared() {
    static FontFaceCache* cache = new FontFaceCache;
    return *cache;
}

FontFaceCache::FontFaceCache() {
    if (FT_Init_FreeType(&library_) != 0) {
        log("fonts: FreeType could not start; no text can be drawn");
        library_ = nullptr;
    }
}

FontFaceCache::Key FontFaceCache::keyFor(const FontFile& file, float pixelSize) {
    return Key{file.path, file.index, std::lround(double(pixelSize) * 64.0)};
}

std::shared_ptr<FontFace> FontFaceCache::face(const FontFile& file, float pixelSize) {
    const Key key = keyFor(file, pixelSize);
    auto cached = faces_.find(key);
    if (cached != faces_.end()) return cached->second;
    if (faces_.size() >= kMaxCachedFaces) {
        // Drop the faces only this cache still holds.
        for (auto it = faces_.begin(); it != faces_.end();)
            it = it->second.use_count() == 1 ? faces_.erase(it) : std::next(it);
    }
    std::shared_ptr<FontFace> opened = open(file, pixelSize, false);
    if (opened) faces_.emplace(key, opened);
    return opened;
}

std::shared_ptr<FontFace> FontFaceCache::fallbackFace(char32_t codePoint, float pixelSize) {
    std::optional<FontFile> file = FontMatcher::shared().fontWithCharacter(codePoint);
    if (!file) return nullptr;
    const Key key = keyFor(*file, pixelSize);
    if (brokenFallbacks_.count(key)) return nullptr;
    auto cached = fallbackFaces_.find(key);
    if (cached != fallbackFaces_.end()) {
        if (std::shared_ptr<FontFace> alive = cached->second.lock()) return alive;
    }
    if (fallbackFaces_.size() >= kMaxCachedFallbackEntries) {
        for (auto it = fallbackFaces_.begin(); it != fallbackFaces_.end();)
            it = it->second.expired() ? fallbackFaces_.erase(it) : std::next(it);
    }
    std::shared_ptr<FontFace> opened = open(*file, pixelSize, true);
    if (opened) fallbackFaces_[key] = opened;
    else brokenFallbacks_.insert(key);
    return opened;
}

std::shared_ptr<FontFace> FontFaceCache::open(const FontFile& file, float pixelSize, bool isFallback) {
    if (!library_) return nullptr;
    FT_Face face = openFontFile(library_, file.path, file.index);
    if (!face) return nullptr;
    if (!FT_IS_SCALABLE(face)) {
        log("fonts: %s holds no scalable outlines", file.path.c_str());
        FT_Done_Face(face);
        return nullptr;
    }
    const FT_Error error = FT_Set_Char_Size(face, 0, FT_F26Dot6(std::lround(double(pixelSize) * 64.0)), 72, 72);
    if (error != 0) {
        log("fonts: %s cannot be sized to %.1f px (FreeType error %d)", file.path.c_str(), double(pixelSize),
            int(error));
        FT_Done_Face(face);
        return nullptr;
    }
    return std::shared_ptr<FontFace>(new FontFace(face, file, pixelSize, isFallback));
}

bool FontFaceCache::describe(const std::string& path, FontFileInfo* info) {
    auto guard = lock();
    if (!library_) return false;
    FT_Face face = openFontFile(library_, path, 0);
    if (!face) return false;
    const bool scalable = FT_IS_SCALABLE(face);
    if (scalable) {
        info->family = face->family_name ? face->family_name : "";
        info->style = face->style_name ? face->style_name : "";
        const char* postscript = FT_Get_Postscript_Name(face);
        info->postscriptName = postscript ? postscript : "";
    } else {
        log("fonts: %s holds no scalable outlines", path.c_str());
    }
    FT_Done_Face(face);
    return scalable;
}

}  // namespace host
