// CCTexture2D from a decoded image: drawn into power-of-two storage in the
// default alpha pixel format, repacked for the 16-bit formats.
#include <cstdlib>
#include <cstring>

#include "engine/CCConfiguration.h"
#include "engine/CCTexture2D.h"
#include "engine/Support/ccUtils.h"
#include "engine/ccMacros.h"
#include "host/core/Log.h"
#include "host/graphics/Image.h"

namespace {

// Each 32-bit pixel read as a little-endian word: R bits 0-7, G 8-15,
// B 16-23, A 24-31.
uint16_t packRGB565(uint32_t p) { return uint16_t(((p << 8) & 0xF800) | ((p >> 5) & 0x07E0) | ((p >> 19) & 0x001F)); }
uint16_t packRGBA4444(uint32_t p) {
    return uint16_t(((p << 8) & 0xF000) | ((p >> 4) & 0x0F00) | ((p >> 16) & 0x00F0) | (p >> 28));
}
uint16_t packRGB5A1(uint32_t p) {
    return uint16_t(((p << 8) & 0xF800) | ((p >> 5) & 0x07C0) | ((p >> 18) & 0x003E) | (p >> 31));
}

// Repacks POTWide x POTHigh RGBA bytes in place into 16-bit values; the
// first half of the buffer then holds the result.
void repack(uint8_t* buffer, size_t pixelCount, uint16_t (*pack)(uint32_t)) {
    auto* out = reinterpret_cast<uint16_t*>(buffer);
    for (size_t i = 0; i < pixelCount; ++i) {
        const uint8_t* p = buffer + i * 4;
        const uint32_t word = uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
        out[i] = pack(word);  // writes bytes 2i..2i+1, never ahead of the read at 4i
    }
}

}  // namespace

bool CCTexture2D::initWithImage(host::Image* image) {
    if (!image || !image->hasBitmap()) {
        host::log("texture: the image has no bitmap");
        return false;
    }
    const uint32_t POTWide = ccNextPOT(image->width());
    const uint32_t POTHigh = ccNextPOT(image->height());
    const int maxTextureSize = CCConfiguration::sharedConfiguration()->maxTextureSize();
    if (POTWide == 0 || POTHigh == 0 || POTHigh > uint32_t(maxTextureSize) || POTWide > uint32_t(maxTextureSize)) {
        host::log("texture: image (%u x %u) is bigger than the supported %d x %d", unsigned(image->width()),
                  unsigned(image->height()), maxTextureSize, maxTextureSize);
        return false;
    }

    const host::Image::AlphaInfo info = image->alphaInfo();
    const bool hasAlpha = info == host::Image::kAlphaPremultipliedLast || info == host::Image::kAlphaPremultipliedFirst ||
                          info == host::Image::kAlphaLast || info == host::Image::kAlphaFirst;
    CCTexture2DPixelFormat pixelFormat;
    if (!image->hasColorSpace())
        pixelFormat = kCCTexture2DPixelFormat_A8;
    else if (hasAlpha || image->bitsPerComponent() >= 8)
        pixelFormat = defaultAlphaPixelFormat();
    else
        pixelFormat = kCCTexture2DPixelFormat_RGB565;

    host::Image::DrawMode mode;
    size_t bytesPerPixel = 4;
    switch (pixelFormat) {
        case kCCTexture2DPixelFormat_RGBA8888:
        case kCCTexture2DPixelFormat_RGBA4444:
        case kCCTexture2DPixelFormat_RGB5A1:
            mode = hasAlpha ? host::Image::DrawMode::RGBAPremultiplied : host::Image::DrawMode::RGBSkipAlpha;
            break;
        case kCCTexture2DPixelFormat_RGB565: mode = host::Image::DrawMode::RGBSkipAlpha; break;
        case kCCTexture2DPixelFormat_A8:
            mode = host::Image::DrawMode::AlphaOnly;
            bytesPerPixel = 1;
            break;
        default: throw CCInternalInconsistencyException("Invalid pixel format");
    }

    // The buffer is handed to releaseData, so it comes from the C allocator.
    const size_t pixelCount = size_t(POTWide) * POTHigh;
    auto* data = static_cast<uint8_t*>(std::calloc(pixelCount, bytesPerPixel));
    if (!data) {
        host::log("texture: not enough memory for a %u x %u texture", unsigned(POTWide), unsigned(POTHigh));
        return false;
    }
    // The cleared buffer is the transparent padding; the image fills the
    // first rows and columns, its top row at t = 0.
    image->drawInto(data, POTWide, mode);

    switch (pixelFormat) {
        case kCCTexture2DPixelFormat_RGB565: repack(data, pixelCount, packRGB565); break;
        case kCCTexture2DPixelFormat_RGBA4444: repack(data, pixelCount, packRGBA4444); break;
        case kCCTexture2DPixelFormat_RGB5A1: repack(data, pixelCount, packRGB5A1); break;
        default: break;
    }

    const CGSize imageSize = CGSizeMake(float(image->width()), float(image->height()));
    const bool ok = initWithData(data, pixelFormat, POTWide, POTHigh, imageSize);
    hasPremultipliedAlpha_ = ok && mode == host::Image::DrawMode::RGBAPremultiplied;
    releaseData(data);
    return ok;
}
