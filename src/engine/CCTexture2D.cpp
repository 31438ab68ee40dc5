// CCTexture2D core: raw uploads, accessors, pixel formats, filtering and
// immediate drawing.
#include "engine/CCTexture2D.h"

#include <cstdio>
#include <cstdlib>

#include "engine/CCContentScale.h"
#include "engine/ccMacros.h"
#include "host/display/GLES.h"

namespace {
// The format used for images loaded through initWithImage.
CCTexture2DPixelFormat defaultAlphaPixelFormat_ = kCCTexture2DPixelFormat_Default;

struct UploadFormat { GLenum internalFormat, format, type; };

bool uploadFormatFor(CCTexture2DPixelFormat f, UploadFormat* out) {
    switch (f) {
        case kCCTexture2DPixelFormat_RGBA8888: *out = {GL_RGBA, GL_RGBA, GL_UNSIGNED_BYTE}; return true;
        case kCCTexture2DPixelFormat_RGB565: *out = {GL_RGB, GL_RGB, GL_UNSIGNED_SHORT_5_6_5}; return true;
        case kCCTexture2DPixelFormat_A8: *out = {GL_ALPHA, GL_ALPHA, GL_UNSIGNED_BYTE}; return true;
        case kCCTexture2DPixelFormat_AI88:
            *out = {GL_LUMINANCE_ALPHA, GL_LUMINANCE_ALPHA, GL_UNSIGNED_BYTE};
            return true;
        case kCCTexture2DPixelFormat_RGBA4444: *out = {GL_RGBA, GL_RGBA, GL_UNSIGNED_SHORT_4_4_4_4}; return true;
        case kCCTexture2DPixelFormat_RGB5A1: *out = {GL_RGBA, GL_RGBA, GL_UNSIGNED_SHORT_5_5_5_1}; return true;
        default: return false;
    }
}

const ccTexParams kAntiAliased = {GL_LINEAR, GL_LINEAR, GL_CLAMP_TO_EDGE, GL_CLAMP_TO_EDGE};
const ccTexParams kAliased = {GL_NEAREST, GL_NEAREST, GL_CLAMP_TO_EDGE, GL_CLAMP_TO_EDGE};
}  // namespace

CCTexture2D::~CCTexture2D() {
    if (name_) glDeleteTextures(1, &name_);
}

bool CCTexture2D::initWithData(const void* data, CCTexture2DPixelFormat format, uint32_t pixelsWide,
                               uint32_t pixelsHigh, CGSize contentSizeInPixels) {
    UploadFormat upload;
    if (!uploadFormatFor(format, &upload)) throw CCInternalInconsistencyException("");
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glGenTextures(1, &name_);
    glBindTexture(GL_TEXTURE_2D, name_);
    setAntiAliasTexParameters();
    glTexImage2D(GL_TEXTURE_2D, 0, GLint(upload.internalFormat), GLsizei(pixelsWide), GLsizei(pixelsHigh), 0,
                 upload.format, upload.type, data);
    size_ = contentSizeInPixels;
    width_ = pixelsWide;
    height_ = pixelsHigh;
    format_ = format;
    maxS_ = float(contentSizeInPixels.width) / float(pixelsWide);
    maxT_ = float(contentSizeInPixels.height) / float(pixelsHigh);
    hasPremultipliedAlpha_ = false;
    return true;
}

void CCTexture2D::releaseData(void* data) { std::free(data); }

void* CCTexture2D::keepData(void* data, unsigned length) {
    (void)length;
    return data;
}

CGSize CCTexture2D::contentSize() const {
    return CGSize{size_.width / __ccContentScaleFactor, size_.height / __ccContentScaleFactor};
}

std::string CCTexture2D::description() const {
    char buf[160];
    std::snprintf(buf, sizeof buf, "<%s = %s | Name = %i | Dimensions = %ix%i | Coordinates = (%.2f, %.2f)>",
                  className().c_str(), host::addressString(this).c_str(), int(name_), int(width_),
                  int(height_), maxS_, maxT_);
    return buf;
}

// ---- PixelFormat ---------------------------------------------------------

void CCTexture2D::setDefaultAlphaPixelFormat(CCTexture2DPixelFormat format) { defaultAlphaPixelFormat_ = format; }

CCTexture2DPixelFormat CCTexture2D::defaultAlphaPixelFormat() { return defaultAlphaPixelFormat_; }

unsigned CCTexture2D::bitsPerPixelForFormat() const {
    switch (format_) {
        case kCCTexture2DPixelFormat_RGBA8888: return 32;
        case kCCTexture2DPixelFormat_RGB565:
        case kCCTexture2DPixelFormat_AI88:
        case kCCTexture2DPixelFormat_RGBA4444:
        case kCCTexture2DPixelFormat_RGB5A1: return 16;
        case kCCTexture2DPixelFormat_A8:
        case kCCTexture2DPixelFormat_I8: return 8;
        case kCCTexture2DPixelFormat_PVRTC4: return 4;
        case kCCTexture2DPixelFormat_PVRTC2: return 2;
        default: return 0xFFFFFFFFu;
    }
}

// ---- GLFilter ------------------------------------------------------------

void CCTexture2D::setTexParameters(const ccTexParams* params) {
    glBindTexture(GL_TEXTURE_2D, name_);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GLint(params->minFilter));
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GLint(params->magFilter));
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GLint(params->wrapS));
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GLint(params->wrapT));
}

void CCTexture2D::setAntiAliasTexParameters() { setTexParameters(&kAntiAliased); }

void CCTexture2D::setAliasTexParameters() { setTexParameters(&kAliased); }

void CCTexture2D::generateMipmap() {
    glBindTexture(GL_TEXTURE_2D, name_);
    if (host::gl().generateMipmap) host::gl().generateMipmap(GL_TEXTURE_2D);
}

// ---- Drawing -------------------------------------------------------------

void CCTexture2D::drawAtPoint(CGPoint point) {
    const GLfloat coordinates[] = {0, maxT_, maxS_, maxT_, 0, 0, maxS_, 0};
    const GLfloat width = GLfloat(width_) * maxS_;
    const GLfloat height = GLfloat(height_) * maxT_;
    const GLfloat x = GLfloat(point.x), y = GLfloat(point.y);
    const GLfloat vertices[] = {x, y, 0, width + x, y, 0, x, height + y, 0, width + x, height + y, 0};
    glBindTexture(GL_TEXTURE_2D, name_);
    glVertexPointer(3, GL_FLOAT, 0, vertices);
    glTexCoordPointer(2, GL_FLOAT, 0, coordinates);
    glDrawArrays(GL_TRIANGLE_STRIP, 0, 4);
}

void CCTexture2D::drawInRect(CGRect rect) {
    const GLfloat coordinates[] = {0, maxT_, maxS_, maxT_, 0, 0, maxS_, 0};
    const GLfloat x = GLfloat(rect.origin.x), y = GLfloat(rect.origin.y);
    const GLfloat right = x + GLfloat(rect.size.width), top = y + GLfloat(rect.size.height);
    const GLfloat vertices[] = {x, y, right, y, x, top, right, top};
    glBindTexture(GL_TEXTURE_2D, name_);
    glVertexPointer(2, GL_FLOAT, 0, vertices);
    glTexCoordPointer(2, GL_FLOAT, 0, coordinates);
    glDrawArrays(GL_TRIANGLE_STRIP, 0, 4);
}
