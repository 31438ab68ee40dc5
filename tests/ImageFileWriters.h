// Writers for image files in the less common layouts the decoders must
// handle: palette PNGs with transparency, 16-bit and low-depth grey PNGs,
// interlaced PNGs, greyscale JPEGs. Each returns the encoded bytes; PNG
// files of any texels can be written into a scratch folder.
#pragma once

#include <png.h>

#include <string>
#include <vector>

#include "ImageFileWriters.h"
#include "ScratchDirectory.h"
#include "Texels.h"
#include "host/core/Object.h"
#include "host/graphics/Image.h"

struct PNGLayout {
    int colorType = PNG_COLOR_TYPE_RGB;
    int bitDepth = 8;
    bool interlaced = false;
    std::vector<png_color> palette;        // palette images
    std::vector<png_byte> transparency;    // tRNS alphas per palette entry
    bool greyKey = false;                  // tRNS grey key (value greyKeyValue)
    png_uint_16 greyKeyValue = 0;
};

namespace pngwriter {
inline void appendBytes(png_structp png, png_bytep data, png_size_t n) {
    auto* out = static_cast<std::string*>(png_get_io_ptr(png));
    out->append(reinterpret_cast<const char*>(data), n);
}
inline void flushNothing(png_structp) {}
}  // namespace pngwriter

// `rows` hold packed rows exactly as PNG stores them (big-endian 16-bit
// samples, packed low-depth samples).
inline std::string encodePNGLayout(const PNGLayout& layout, unsigned w, unsigned h,
                                   const std::vector<std::vector<png_byte>>& rows) {
    std::string out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return std::string();
    }
    png_set_write_fn(png, &out, pngwriter::appendBytes, pngwriter::flushNothing);
    png_set_IHDR(png, info, w, h, layout.bitDepth, layout.colorType,
                 layout.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    if (!layout.palette.empty())
        png_set_PLTE(png, info, layout.palette.data(), int(layout.palette.size()));
    if (!layout.transparency.empty())
        png_set_tRNS(png, info, layout.transparency.data(), int(layout.transparency.size()), nullptr);
    if (layout.greyKey) {
        png_color_16 key{};
        key.gray = layout.greyKeyValue;
        png_set_tRNS(png, info, nullptr, 0, &key);
    }
    png_write_info(png, info);
    std::vector<png_bytep> pointers;
    for (const auto& r : rows) pointers.push_back(const_cast<png_bytep>(r.data()));
    png_write_image(png, pointers.data());
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return out;
}

// 8-bit pixels (1, 3 or 4 channels, rows top first) as PNG or JPEG bytes.
inline std::string encodeImage(const std::vector<uint8_t>& pixels, unsigned w, unsigned h, int channels,
                               bool jpeg) {
    host::AutoreleasePool pool;
    host::Image* image = host::Image::imageWithPixels(pixels.data(), w, h, channels);
    std::vector<uint8_t> bytes;
    if (!image) return std::string();
    const bool ok = jpeg ? image->JPEGRepresentation(95, &bytes) : image->PNGRepresentation(&bytes);
    return ok ? std::string(bytes.begin(), bytes.end()) : std::string();
}

// w x h pixels of one value per channel.
inline std::vector<uint8_t> solidPixels(unsigned w, unsigned h, std::vector<uint8_t> value) {
    std::vector<uint8_t> out;
    out.reserve(size_t(w) * h * value.size());
    for (size_t i = 0; i < size_t(w) * h; ++i) out.insert(out.end(), value.begin(), value.end());
    return out;
}

// An RGBA PNG file `name` in `dir` of the texels rgbaPixels(w, h, texel)
// gives; its path, or "" when it cannot be encoded.
template <class TexelOf>
std::string writePngFile(const ScratchDirectory& dir, const std::string& name, unsigned w, unsigned h,
                         const TexelOf& texel) {
    const std::string png = encodeImage(rgbaPixels(w, h, texel), w, h, 4, false);
    return png.empty() ? std::string() : dir.write(name, png);
}
