// CCTexturePVR: a parsed PVR (version 2) texture file, plain or inflated
// from .pvr.gz / .pvr.ccz, split into mipmap levels and uploaded as one GL
// texture. Temporary: a CCTexture2D takes over its GL name.
#pragma once

#include <cstdint>
#include <string>

#include "engine/CCTexture2D.h"
#include "host/core/Object.h"

// One mipmap level: a pointer into the file's bytes and its length.
struct CCPVRMipmap {
    const unsigned char* address;
    unsigned int len;
};

enum { CC_PVRMIPMAP_MAX = 16 };

class CCTexturePVR : public host::Object {
public:
    // Autoreleased; a URL that is not a file URL gives nullptr.
    static CCTexturePVR* pvrTextureWithContentsOfFile(const std::string& path);
    static CCTexturePVR* pvrTextureWithContentsOfURL(const std::string& url);
    bool initWithContentsOfFile(const std::string& path);
    bool initWithContentsOfURL(const std::string& url);

    // Checks the header and splits the pixel data into levels; the levels
    // point into `data`, which must outlive their use.
    bool unpackPVRData(const unsigned char* data, unsigned int len);
    // Uploads every level into a new GL texture.
    bool createGLTexture();

    unsigned name() const { return name_; }
    uint32_t width() const { return width_; }
    uint32_t height() const { return height_; }
    bool hasAlpha() const { return hasAlpha_; }
    CCTexture2DPixelFormat format() const { return format_; }
    bool retainName() const { return retainName_; }
    // When true, destroying this object leaves the GL texture alive.
    void setRetainName(bool retain) { retainName_ = retain; }
    int numberOfMipmaps() const { return numberOfMipmaps_; }
    // Valid only while the bytes given to unpackPVRData live.
    const CCPVRMipmap& mipmap(int level) const { return mipmaps_[level]; }

protected:
    ~CCTexturePVR() override;

private:
    void reset();

    CCPVRMipmap mipmaps_[CC_PVRMIPMAP_MAX] = {};
    int numberOfMipmaps_ = 0;
    uint32_t tableFormatIndex_ = 0xFFFFFFFFu;
    uint32_t width_ = 0;
    uint32_t height_ = 0;
    unsigned name_ = 0;
    bool hasAlpha_ = false;
    bool retainName_ = false;
    CCTexture2DPixelFormat format_ = CCTexture2DPixelFormat(0);
    std::string source_ = "data";  // what log lines name
};
