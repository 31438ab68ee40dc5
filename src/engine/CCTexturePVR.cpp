#include "engine/CCTexturePVR.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "engine/CCConfiguration.h"
#include "engine/Support/ZipUtils.h"
#include "engine/Support/ccUtils.h"
#include "host/core/Log.h"
#include "host/display/GLES.h"

#ifndef GL_BGRA
#define GL_BGRA 0x80E1
#endif
#ifndef GL_COMPRESSED_RGBA_PVRTC_4BPPV1_IMG
#define GL_COMPRESSED_RGBA_PVRTC_4BPPV1_IMG 0x8C02
#endif
#ifndef GL_COMPRESSED_RGBA_PVRTC_2BPPV1_IMG
#define GL_COMPRESSED_RGBA_PVRTC_2BPPV1_IMG 0x8C03
#endif

namespace {

constexpr uint32_t kPVRTag = 0x21525650;  // "PVR!" read little-endian
constexpr size_t kHeaderLength = 52;
// Larger sides are refused before any size arithmetic.
constexpr uint32_t kMaxSide = 16384;
constexpr GLenum kNone = 0xFFFFFFFFu;

enum : uint32_t {
    kPVRTypeRGBA4444 = 0x10,
    kPVRTypeRGBA5551 = 0x11,
    kPVRTypeRGBA8888 = 0x12,
    kPVRTypeRGB565 = 0x13,
    kPVRTypeI8 = 0x16,
    kPVRTypeAI88 = 0x17,
    kPVRTypePVRTC2 = 0x18,
    kPVRTypePVRTC4 = 0x19,
    kPVRTypeBGRA8888 = 0x1A,
    kPVRTypeA8 = 0x1B,
};

struct PVRTableFormat {
    uint32_t type;
    GLenum internalFormat, format, glType;
    uint32_t bpp;
    bool compressed;
    CCTexture2DPixelFormat pixelFormat;
};

const PVRTableFormat tableFormats[] = {
    {kPVRTypeRGBA4444, GL_RGBA, GL_RGBA, GL_UNSIGNED_SHORT_4_4_4_4, 16, false, kCCTexture2DPixelFormat_RGBA4444},
    {kPVRTypeRGBA5551, GL_RGBA, GL_RGBA, GL_UNSIGNED_SHORT_5_5_5_1, 16, false, kCCTexture2DPixelFormat_RGB5A1},
    {kPVRTypeRGBA8888, GL_RGBA, GL_RGBA, GL_UNSIGNED_BYTE, 32, false, kCCTexture2DPixelFormat_RGBA8888},
    {kPVRTypeRGB565, GL_RGB, GL_RGB, GL_UNSIGNED_SHORT_5_6_5, 16, false, kCCTexture2DPixelFormat_RGB565},
    {kPVRTypeA8, GL_ALPHA, GL_ALPHA, GL_UNSIGNED_BYTE, 8, false, kCCTexture2DPixelFormat_A8},
    {kPVRTypeI8, GL_LUMINANCE, GL_LUMINANCE, GL_UNSIGNED_BYTE, 8, false, kCCTexture2DPixelFormat_I8},
    {kPVRTypeAI88, GL_LUMINANCE_ALPHA, GL_LUMINANCE_ALPHA, GL_UNSIGNED_BYTE, 16, false, kCCTexture2DPixelFormat_AI88},
    {kPVRTypePVRTC2, GL_COMPRESSED_RGBA_PVRTC_2BPPV1_IMG, kNone, kNone, 2, true, kCCTexture2DPixelFormat_PVRTC2},
    {kPVRTypePVRTC4, GL_COMPRESSED_RGBA_PVRTC_4BPPV1_IMG, kNone, kNone, 4, true, kCCTexture2DPixelFormat_PVRTC4},
    {kPVRTypeBGRA8888, GL_RGBA, GL_BGRA, GL_UNSIGNED_BYTE, 32, false, kCCTexture2DPixelFormat_RGBA8888},
};
constexpr uint32_t kTableFormatCount = sizeof tableFormats / sizeof tableFormats[0];

uint32_t readLittleEndian32(const unsigned char* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

bool endsWith(const std::string& s, const char* suffix) {
    const size_t n = std::strlen(suffix);
    return s.size() >= n && s.compare(s.size() - n, n, suffix) == 0;
}

std::string lowercase(std::string s) {
    for (char& c : s) c = char(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

}  // namespace

CCTexturePVR::~CCTexturePVR() {
    if (name_ && !retainName_) glDeleteTextures(1, &name_);
}

CCTexturePVR* CCTexturePVR::pvrTextureWithContentsOfFile(const std::string& path) {
    return host::create<CCTexturePVR>([&](CCTexturePVR* t) { return t->initWithContentsOfFile(path); });
}

CCTexturePVR* CCTexturePVR::pvrTextureWithContentsOfURL(const std::string& url) {
    return host::create<CCTexturePVR>([&](CCTexturePVR* t) { return t->initWithContentsOfURL(url); });
}

bool CCTexturePVR::initWithContentsOfURL(const std::string& url) {
    static const char kFileScheme[] = "file://";
    if (url.compare(0, sizeof kFileScheme - 1, kFileScheme) != 0) {
        host::log("PVR: only file URLs can be read, not %s", url.c_str());
        return false;
    }
    return initWithContentsOfFile(url.substr(sizeof kFileScheme - 1));
}

void CCTexturePVR::reset() {
    numberOfMipmaps_ = 0;
    std::memset(mipmaps_, 0, sizeof mipmaps_);
    name_ = 0;
    width_ = height_ = 0;
    tableFormatIndex_ = 0xFFFFFFFFu;
    hasAlpha_ = false;
    retainName_ = false;
    format_ = CCTexture2DPixelFormat(0);
}

bool CCTexturePVR::initWithContentsOfFile(const std::string& path) {
    const std::string lower = lowercase(path);
    unsigned char* data = nullptr;
    int length;
    if (endsWith(lower, ".ccz"))
        length = ccInflateCCZFile(path.c_str(), &data);
    else if (endsWith(lower, ".gz"))
        length = ccInflateGZipFile(path.c_str(), &data);
    else
        length = ccLoadFileIntoMemory(path.c_str(), &data);
    if (length < 0) return false;

    reset();
    source_ = path;
    const bool ok = unpackPVRData(data, unsigned(length)) && createGLTexture();
    std::free(data);
    // The levels pointed into the freed bytes.
    for (CCPVRMipmap& m : mipmaps_) m.address = nullptr;
    return ok;
}

bool CCTexturePVR::unpackPVRData(const unsigned char* data, unsigned int len) {
    numberOfMipmaps_ = 0;
    if (!data || len < kHeaderLength) {
        host::log("PVR %s: the file is shorter than its header", source_.c_str());
        return false;
    }
    const uint32_t height = readLittleEndian32(data + 4);
    const uint32_t width = readLittleEndian32(data + 8);
    const uint32_t flags = readLittleEndian32(data + 16);
    const uint32_t dataLength = readLittleEndian32(data + 20);
    const uint32_t alphaMask = readLittleEndian32(data + 40);
    if (readLittleEndian32(data + 44) != kPVRTag) {
        host::log("PVR %s: bad tag", source_.c_str());
        return false;
    }
    if (width == 0 || height == 0 || width > kMaxSide || height > kMaxSide) {
        host::log("PVR %s: unsupported size %u x %u", source_.c_str(), unsigned(width), unsigned(height));
        return false;
    }
    CCConfiguration* configuration = CCConfiguration::sharedConfiguration();
    if (!configuration->supportsNPOT() && (width != ccNextPOT(width) || height != ccNextPOT(height))) {
        host::log("PVR %s: %u x %u is not a power of two", source_.c_str(), unsigned(width), unsigned(height));
        return false;
    }
    const uint32_t type = flags & 0xFF;
    uint32_t row = 0;
    while (row < kTableFormatCount && tableFormats[row].type != type) ++row;
    if (row == kTableFormatCount) {
        host::log("PVR %s: unsupported pixel type 0x%02X", source_.c_str(), unsigned(type));
        return false;
    }
    if (type == kPVRTypeBGRA8888 && !configuration->supportsBGRA8888()) {
        host::log("PVR %s: BGRA8888 textures are not supported by this GL", source_.c_str());
        return false;
    }
    // Never read past the bytes we have.
    if (dataLength > len - kHeaderLength) {
        host::log("PVR %s: the header claims %u bytes of data but the file holds %u", source_.c_str(), unsigned(dataLength),
                  unsigned(len - kHeaderLength));
        return false;
    }

    tableFormatIndex_ = row;
    width_ = width;
    height_ = height;
    hasAlpha_ = alphaMask != 0;
    format_ = tableFormats[row].pixelFormat;
    const uint64_t bpp = tableFormats[row].bpp;

    uint32_t w = width, h = height, offset = 0;
    while (offset < dataLength) {
        uint64_t blockSize = 1, widthBlocks = w, heightBlocks = h;
        if (type == kPVRTypePVRTC4) {
            blockSize = 4 * 4;
            widthBlocks = w / 4;
            heightBlocks = h / 4;
        } else if (type == kPVRTypePVRTC2) {
            blockSize = 8 * 4;
            widthBlocks = w / 8;
            heightBlocks = h / 4;
        }
        if (widthBlocks < 2) widthBlocks = 2;
        if (heightBlocks < 2) heightBlocks = 2;
        const uint64_t levelSize = widthBlocks * heightBlocks * ((blockSize * bpp) / 8);
        const uint32_t left = dataLength - offset;
        // GL reads a whole uncompressed level whatever length we record, so
        // a shorter one would make it read past the data.
        const uint64_t uploadSize = uint64_t(w) * h * bpp / 8;
        if (!tableFormats[row].compressed && uploadSize > left) {
            host::log("PVR %s: level %d is truncated (%u of %u bytes)", source_.c_str(), numberOfMipmaps_,
                      unsigned(left), unsigned(uploadSize));
            return false;
        }
        if (numberOfMipmaps_ == CC_PVRMIPMAP_MAX) {
            host::log("PVR %s: the data hold more than %d mipmap levels", source_.c_str(), CC_PVRMIPMAP_MAX);
            numberOfMipmaps_ = 0;
            return false;
        }
        const uint32_t packetLength = levelSize < left ? uint32_t(levelSize) : left;
        mipmaps_[numberOfMipmaps_].address = data + kHeaderLength + offset;
        mipmaps_[numberOfMipmaps_].len = packetLength;
        ++numberOfMipmaps_;
        offset += packetLength;
        w = w > 1 ? w / 2 : 1;
        h = h > 1 ? h / 2 : 1;
    }
    if (numberOfMipmaps_ == 0) {
        host::log("PVR %s: the file holds no pixel data", source_.c_str());
        return false;
    }
    return true;
}

bool CCTexturePVR::createGLTexture() {
    if (numberOfMipmaps_ == 0 || tableFormatIndex_ >= kTableFormatCount) return false;
    const PVRTableFormat& f = tableFormats[tableFormatIndex_];
    if (f.compressed && !CCConfiguration::sharedConfiguration()->supportsPVRTC()) {
        host::log("PVR %s: this GL cannot draw PVRTC textures", source_.c_str());
        return false;
    }
    if (name_) glDeleteTextures(1, &name_);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glGenTextures(1, &name_);
    glBindTexture(GL_TEXTURE_2D, name_);
    GLenum err = glGetError();
    if (err != GL_NO_ERROR) std::printf("OpenGL error 0x%04X in %s\n", err, "-[CCTexturePVR createGLTexture]");

    GLsizei w = GLsizei(width_), h = GLsizei(height_);
    for (int i = 0; i < numberOfMipmaps_; ++i) {
        const CCPVRMipmap& level = mipmaps_[i];
        if (f.compressed)
            glCompressedTexImage2D(GL_TEXTURE_2D, i, f.internalFormat, w, h, 0, GLsizei(level.len), level.address);
        else
            glTexImage2D(GL_TEXTURE_2D, i, GLint(f.internalFormat), w, h, 0, f.format, f.glType, level.address);
        err = glGetError();
        if (err != GL_NO_ERROR) {
            host::log("PVR %s: OpenGL error 0x%04X uploading level %d", source_.c_str(), unsigned(err), i);
            return false;
        }
        w = w > 1 ? w / 2 : 1;
        h = h > 1 ? h / 2 : 1;
    }
    return true;
}
