// A decoded bitmap image: PNG (libpng) or JPEG (libjpeg-turbo), from a file
// or from bytes, and PNG/JPEG encoding.
//
// The image describes itself the way textures need it: size, bits per
// component of the source, an alpha-info value and whether it has a colour
// space. Decoded files always have one (grey pictures are decoded as RGB);
// only an image made from one-channel pixels is a mask (no colour space):
// its value is coverage, drawn as an alpha-only bitmap. Other images are
// drawn as 8-bit RGBA with premultiplied alpha, or as RGB with the fourth
// byte skipped, always with the image's top row first.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "host/core/Object.h"

namespace host {

class Image : public Object {
public:
    // The alpha-info values of the platform's image API.
    enum AlphaInfo : uint32_t {
        kAlphaNone = 0,
        kAlphaPremultipliedLast = 1,
        kAlphaPremultipliedFirst = 2,
        kAlphaLast = 3,
        kAlphaFirst = 4,
        kAlphaNoneSkipLast = 5,
        kAlphaNoneSkipFirst = 6,
        kAlphaOnly = 7,
    };
    // Pixel layouts drawInto() can produce; each pixel of the first two is
    // four bytes R, G, B, A in memory.
    enum class DrawMode { RGBAPremultiplied, RGBSkipAlpha, AlphaOnly };

    // Images wider or taller than this, or with more pixels than
    // kMaxPixels, are refused before any pixel memory is allocated.
    static constexpr uint32_t kMaxSide = 32768;
    static constexpr uint64_t kMaxPixels = uint64_t(64) << 20;
    // Image files are read only when they are regular files no larger
    // than this (the largest image allowed, stored uncompressed).
    static constexpr size_t kMaxFileBytes = size_t(256) << 20;

    // Autoreleased; nullptr (and one log line) when the data cannot be
    // read or decoded.
    static Image* imageWithContentsOfFile(const std::string& path);
    static Image* imageWithData(const void* bytes, size_t length);
    // From 8-bit pixels, rows top first: 4 channels = straight RGBA,
    // 3 = RGB, 1 = a grey mask.
    static Image* imageWithPixels(const void* pixels, uint32_t width, uint32_t height, int channels);

    bool initWithContentsOfFile(const std::string& path);
    bool initWithData(const void* bytes, size_t length);
    bool initWithPixels(const void* pixels, uint32_t width, uint32_t height, int channels);

    // False until an initialiser succeeded (the platform's "no CGImage").
    bool hasBitmap() const { return !pixels_.empty(); }
    uint32_t width() const { return width_; }
    uint32_t height() const { return height_; }
    // Of the source: 8 for JPEG, 1 to 16 for PNG.
    unsigned bitsPerComponent() const { return bitsPerComponent_; }
    AlphaInfo alphaInfo() const { return alphaInfo_; }
    bool hasColorSpace() const { return channels_ != 1; }
    // 4 (RGBA, straight alpha), 3 (RGB) or 1 (a mask made from pixels).
    int channels() const { return channels_; }
    const std::vector<uint8_t>& pixels() const { return pixels_; }

    // Draws the image into the top-left corner of a buffer `bufferWidth`
    // pixels wide (4 bytes a pixel, or 1 for AlphaOnly) and at least
    // height() rows, image row 0 at buffer row 0. Bytes outside the image
    // are left as they are.
    void drawInto(uint8_t* buffer, uint32_t bufferWidth, DrawMode mode) const;

    // Encodes the pixels; false (and a log line) on failure.
    bool PNGRepresentation(std::vector<uint8_t>* out) const;
    bool JPEGRepresentation(int quality, std::vector<uint8_t>* out) const;

private:
    bool decodePNG(const uint8_t* bytes, size_t length);
    bool decodeJPEG(const uint8_t* bytes, size_t length);
    void adopt(std::vector<uint8_t>&& pixels, uint32_t w, uint32_t h, int channels, unsigned bpc);

    std::vector<uint8_t> pixels_;
    uint32_t width_ = 0;
    uint32_t height_ = 0;
    int channels_ = 0;
    unsigned bitsPerComponent_ = 0;
    AlphaInfo alphaInfo_ = kAlphaNone;
    std::string origin_;  // what log lines name: a path, or "image data"
};

// True when width x height fits the decoder's limits.
bool imageSizeAcceptable(uint64_t width, uint64_t height);

// PNG encoding of 8-bit pixels, rows top first (channels 1, 3 or 4).
bool encodePNG(const uint8_t* pixels, uint32_t width, uint32_t height, int channels, std::vector<uint8_t>* out);

}  // namespace host
