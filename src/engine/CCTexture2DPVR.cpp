// CCTexture2D from PVR files and from raw PVRTC data.
#include "engine/CCConfiguration.h"
#include "engine/CCTexture2D.h"
#include "engine/CCTexturePVR.h"
#include "host/core/Log.h"
#include "host/core/Ref.h"
#include "host/display/GLES.h"

#ifndef GL_COMPRESSED_RGB_PVRTC_4BPPV1_IMG
#define GL_COMPRESSED_RGB_PVRTC_4BPPV1_IMG 0x8C00
#define GL_COMPRESSED_RGB_PVRTC_2BPPV1_IMG 0x8C01
#define GL_COMPRESSED_RGBA_PVRTC_4BPPV1_IMG 0x8C02
#define GL_COMPRESSED_RGBA_PVRTC_2BPPV1_IMG 0x8C03
#endif

namespace {
// Whether PVR and PVRTC textures count as premultiplied.
bool PVRHaveAlphaPremultiplied_ = false;
}  // namespace

void CCTexture2D::PVRImagesHavePremultipliedAlpha(bool haveAlphaPremultiplied) {
    PVRHaveAlphaPremultiplied_ = haveAlphaPremultiplied;
}

bool CCTexture2D::PVRImagesHavePremultipliedAlpha() { return PVRHaveAlphaPremultiplied_; }

bool CCTexture2D::initWithPVRFile(const std::string& path) {
    auto pvr = host::Ref<CCTexturePVR>::adopt(
        host::createOwned<CCTexturePVR>([&](CCTexturePVR* t) { return t->initWithContentsOfFile(path); }));
    if (!pvr) return false;
    pvr->setRetainName(true);
    name_ = pvr->name();
    width_ = pvr->width();
    height_ = pvr->height();
    maxS_ = maxT_ = 1;
    size_ = CGSizeMake(float(width_), float(height_));
    hasPremultipliedAlpha_ = PVRHaveAlphaPremultiplied_;
    format_ = pvr->format();
    setAntiAliasTexParameters();
    return true;
}

bool CCTexture2D::initWithPVRTCData(const void* data, int level, int bpp, bool hasAlpha, int length,
                                    CCTexture2DPixelFormat pixelFormat) {
    if (!CCConfiguration::sharedConfiguration()->supportsPVRTC()) {
        host::log("texture: this GL cannot draw PVRTC textures");
        return false;
    }
    if (length <= 0) return false;
    glGenTextures(1, &name_);
    glBindTexture(GL_TEXTURE_2D, name_);
    setAntiAliasTexParameters();
    GLenum format;
    if (hasAlpha)
        format = bpp == 4 ? GL_COMPRESSED_RGBA_PVRTC_4BPPV1_IMG : GL_COMPRESSED_RGBA_PVRTC_2BPPV1_IMG;
    else
        format = bpp == 4 ? GL_COMPRESSED_RGB_PVRTC_4BPPV1_IMG : GL_COMPRESSED_RGB_PVRTC_2BPPV1_IMG;
    glCompressedTexImage2D(GL_TEXTURE_2D, level, format, length, length, 0, GLsizei(PVRTCDataSize(bpp, length)),
                           data);
    size_ = CGSizeMake(float(length), float(length));
    width_ = height_ = uint32_t(length);
    maxS_ = maxT_ = 1;
    hasPremultipliedAlpha_ = PVRHaveAlphaPremultiplied_;
    format_ = pixelFormat;
    return true;
}

size_t CCTexture2D::PVRTCDataSize(int bpp, int length) {
    const size_t size = size_t(bpp) * size_t(length) * size_t(length) / 8;
    return size < 32 ? 32 : size;  // the smallest PVRTC image is 32 bytes
}
