// CCTexture2D: one GL texture object and how much of it holds content.
//
// Textures made from images and text use power-of-two storage; the content
// spans texture coordinates 0..maxS across and 0..maxT down, with the
// image's top row at t = 0, and the rest is transparent padding.
//
// The class is one interface implemented in several files: the core,
// pixel formats, filtering and immediate drawing (CCTexture2D.cpp), images
// (CCTexture2DImage.cpp), PVR files and raw PVRTC data (CCTexture2DPVR.cpp)
// and rendered text (CCTexture2DText.cpp).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "host/core/CGGeometry.h"
#include "host/core/Object.h"

namespace host { class Image; class Font; }

enum CCTexture2DPixelFormat : int32_t {
    kCCTexture2DPixelFormat_RGBA8888 = 1,
    kCCTexture2DPixelFormat_RGB565 = 2,
    kCCTexture2DPixelFormat_A8 = 3,
    kCCTexture2DPixelFormat_I8 = 4,
    kCCTexture2DPixelFormat_AI88 = 5,
    kCCTexture2DPixelFormat_RGBA4444 = 6,
    kCCTexture2DPixelFormat_RGB5A1 = 7,
    kCCTexture2DPixelFormat_PVRTC4 = 8,
    kCCTexture2DPixelFormat_PVRTC2 = 9,
    kCCTexture2DPixelFormat_Default = kCCTexture2DPixelFormat_RGBA8888,
};

// GL enums in this order: minFilter, magFilter, wrapS, wrapT.
struct ccTexParams { uint32_t minFilter, magFilter, wrapS, wrapT; };

class CCTexture2D : public host::Object {
public:
    CCTexture2D() = default;

    // ---- Core -----------------------------------------------------------
    // Uploads `data` as level 0 of a new texture; the caller keeps the
    // bytes. Throws CCInternalInconsistencyException for a format that has
    // no plain upload (I8, PVRTC).
    bool initWithData(const void* data, CCTexture2DPixelFormat format, uint32_t pixelsWide,
                      uint32_t pixelsHigh, CGSize contentSizeInPixels);
    // Frees a pixel buffer obtained with malloc.
    void releaseData(void* data);
    // A hook for subclasses that keep their pixels; returns `data`.
    virtual void* keepData(void* data, unsigned length);

    unsigned name() const { return name_; }
    uint32_t pixelsWide() const { return width_; }
    uint32_t pixelsHigh() const { return height_; }
    CCTexture2DPixelFormat pixelFormat() const { return format_; }
    CGSize contentSizeInPixels() const { return size_; }
    // In points: the pixel size divided by the content scale factor.
    CGSize contentSize() const;
    float maxS() const { return maxS_; }
    void setMaxS(float s) { maxS_ = s; }
    float maxT() const { return maxT_; }
    void setMaxT(float t) { maxT_ = t; }
    bool hasPremultipliedAlpha() const { return hasPremultipliedAlpha_; }

    std::string description() const override;

    // ---- Image ----------------------------------------------------------
    // Draws the decoded image into power-of-two storage in the default
    // alpha pixel format (A8 for masks, RGB565 for low-depth opaque
    // images). Fails for an image above the maximum texture size.
    bool initWithImage(host::Image* image);

    // ---- PixelFormat ----------------------------------------------------
    static void setDefaultAlphaPixelFormat(CCTexture2DPixelFormat format);
    static CCTexture2DPixelFormat defaultAlphaPixelFormat();
    // Bits per pixel of this texture's format; 0xFFFFFFFF for none.
    unsigned bitsPerPixelForFormat() const;

    // ---- GLFilter -------------------------------------------------------
    void setTexParameters(const ccTexParams* params);
    void setAntiAliasTexParameters();
    void setAliasTexParameters();
    // Power-of-two textures only; choose a mipmap filter afterwards.
    void generateMipmap();

    // ---- Drawing (immediate mode; client arrays enabled by the caller) ----
    void drawAtPoint(CGPoint point);
    void drawInRect(CGRect rect);

    // ---- PVRSupport -----------------------------------------------------
    bool initWithPVRFile(const std::string& path);
    bool initWithPVRTCData(const void* data, int level, int bpp, bool hasAlpha, int length,
                           CCTexture2DPixelFormat pixelFormat);
    static void PVRImagesHavePremultipliedAlpha(bool haveAlphaPremultiplied);
    static bool PVRImagesHavePremultipliedAlpha();
    // Bytes of one square PVRTC image: bpp x length^2 / 8, at least 32.
    static size_t PVRTCDataSize(int bpp, int length);

    // ---- Text (an A8 texture of white text on transparent black) ---------
    // Alignment: 0 left, 1 centre, 2 right. Line-break mode 0 wraps at
    // word boundaries.
    bool initWithString(const std::string& string, const std::string& fontName, float fontSize);
    bool initWithString(const std::string& string, CGSize dimensions, int alignment,
                        const std::string& fontName, float fontSize);
    bool initWithString(const std::string& string, CGSize dimensions, int alignment,
                        int lineBreakMode, const std::string& fontName, float fontSize);
    bool initWithString(const std::string& string, CGSize dimensions, int alignment,
                        int lineBreakMode, const host::Font* font);

protected:
    ~CCTexture2D() override;

private:
    unsigned name_ = 0;
    CGSize size_{0, 0};
    uint32_t width_ = 0;
    uint32_t height_ = 0;
    CCTexture2DPixelFormat format_ = CCTexture2DPixelFormat(0);
    float maxS_ = 0;
    float maxT_ = 0;
    bool hasPremultipliedAlpha_ = false;
};
