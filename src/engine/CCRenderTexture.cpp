#include "engine/CCRenderTexture.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>

#include "engine/CCConfiguration.h"
#include "engine/CCContentScale.h"
#include "engine/CCDirector.h"
#include "engine/CCSprite.h"
#include "engine/ccMacros.h"
#include "engine/Support/CCFileUtils.h"
#include "engine/Support/ccUtils.h"
#include "host/core/AtomicFile.h"
#include "host/core/Log.h"
#include "host/display/Display.h"
#include "host/display/GLES.h"
#include "host/graphics/Image.h"

namespace {

GLint boundFramebuffer() {
    GLint fbo = 0;
    glGetIntegerv(GL_FRAMEBUFFER_BINDING_OES, &fbo);
    return fbo;
}

// Binds a framebuffer for the life of the object and then gives back the
// one that was bound before.
class FramebufferBinding {
public:
    explicit FramebufferBinding(GLuint fbo) : previous_(boundFramebuffer()) {
        host::gl().bindFramebuffer(GL_FRAMEBUFFER_OES, fbo);
    }
    ~FramebufferBinding() { host::gl().bindFramebuffer(GL_FRAMEBUFFER_OES, GLuint(previous_)); }
    FramebufferBinding(const FramebufferBinding&) = delete;
    FramebufferBinding& operator=(const FramebufferBinding&) = delete;

private:
    GLint previous_;
};

// The formats with a plain upload that a framebuffer may take as its
// colour (whether this GL takes them is for the completeness check).
bool drawableFormat(CCTexture2DPixelFormat f) {
    switch (f) {
        case kCCTexture2DPixelFormat_RGBA8888:
        case kCCTexture2DPixelFormat_RGB565:
        case kCCTexture2DPixelFormat_RGBA4444:
        case kCCTexture2DPixelFormat_RGB5A1:
        case kCCTexture2DPixelFormat_A8:
        case kCCTexture2DPixelFormat_AI88: return true;
        default: return false;
    }
}

// Premultiplied rows to straight alpha, in place.
void unpremultiply(std::vector<uint8_t>* rgba) {
    for (size_t i = 0; i + 3 < rgba->size(); i += 4) {
        uint8_t* p = rgba->data() + i;
        const unsigned a = p[3];
        if (a == 255) continue;
        for (int c = 0; c < 3; ++c) p[c] = a ? uint8_t(std::min(255u, (p[c] * 255u + a / 2) / a)) : 0;
    }
}

// Rows bottom first to rows top first.
bool flipRows(const std::vector<uint8_t>& bottomUp, size_t rowBytes, std::vector<uint8_t>* topDown) {
    try {
        topDown->resize(bottomUp.size());
    } catch (const std::bad_alloc&) {
        return false;
    }
    const size_t rows = rowBytes ? bottomUp.size() / rowBytes : 0;
    for (size_t y = 0; y < rows; ++y)
        std::memcpy(topDown->data() + y * rowBytes, bottomUp.data() + (rows - 1 - y) * rowBytes, rowBytes);
    return true;
}

}  // namespace

CCRenderTexture* CCRenderTexture::renderTextureWithWidth(int width, int height) {
    return renderTextureWithWidth(width, height, kCCTexture2DPixelFormat_RGBA8888);
}

CCRenderTexture* CCRenderTexture::renderTextureWithWidth(int width, int height, CCTexture2DPixelFormat format) {
    return host::create<CCRenderTexture>(
        [&](CCRenderTexture* r) { return r->initWithWidth(width, height, format); });
}

CCRenderTexture* CCRenderTexture::captureOfWindow(CCNode* node, ccColor4F background) {
    const CGSize window = CCDirector::sharedDirector()->winSize();
    CCRenderTexture* capture = renderTextureWithWidth(int(window.width), int(window.height));
    if (!capture) return nullptr;
    capture->beginWithClear(background.r, background.g, background.b, background.a);
    if (node) node->visit();
    capture->end();
    return capture;
}

bool CCRenderTexture::initWithWidth(int width, int height) {
    return initWithWidth(width, height, kCCTexture2DPixelFormat_RGBA8888);
}

bool CCRenderTexture::initWithWidth(int width, int height, CCTexture2DPixelFormat format) {
    if (!CCNode::init()) return false;
    if (width <= 0 || height <= 0) {
        host::log("CCRenderTexture: cannot make a render texture of %d x %d points", width, height);
        return false;
    }
    if (!drawableFormat(format) || !host::gl().genFramebuffers) {
        host::log("CCRenderTexture: cannot draw into textures of pixel format %d on this GL", int(format));
        return false;
    }
    // In doubles: a huge size times the scale must not wrap round.
    const double pixelsWide = std::trunc(width * double(__ccContentScaleFactor));
    const double pixelsHigh = std::trunc(height * double(__ccContentScaleFactor));
    const int maxSize = CCConfiguration::sharedConfiguration()->maxTextureSize();
    if (pixelsWide > maxSize || pixelsHigh > maxSize || ccNextPOT(uint32_t(pixelsWide)) > uint32_t(maxSize) ||
        ccNextPOT(uint32_t(pixelsHigh)) > uint32_t(maxSize)) {
        host::log("CCRenderTexture: %d x %d points need a texture larger than the largest this GL has (%d pixels)",
                  width, height, maxSize);
        return false;
    }
    const uint32_t pw = uint32_t(pixelsWide), ph = uint32_t(pixelsHigh);
    const uint32_t storageW = ccNextPOT(pw), storageH = ccNextPOT(ph);
    pixelFormat_ = format;

    std::vector<uint8_t> zeros;
    try {
        zeros.assign(size_t(storageW) * storageH * 4, 0);
    } catch (const std::bad_alloc&) {
        host::log("CCRenderTexture: not enough memory for a %u x %u texture", storageW, storageH);
        return false;
    }
    texture_ = host::Ref<CCTexture2D>::adopt(host::createOwned<CCTexture2D>([&](CCTexture2D* t) {
        return t->initWithData(zeros.data(), format, storageW, storageH, CGSizeMake(float(pw), float(ph)));
    }));
    if (!texture_) return false;

    host::GLExtensions& gl = host::gl();
    GLenum status;
    {
        oldFBO_ = boundFramebuffer();
        gl.genFramebuffers(1, &fbo_);
        FramebufferBinding bound(fbo_);
        gl.framebufferTexture2D(GL_FRAMEBUFFER_OES, GL_COLOR_ATTACHMENT0_OES, GL_TEXTURE_2D, texture_->name(), 0);
        status = gl.checkFramebufferStatus(GL_FRAMEBUFFER_OES);
    }
    if (status != GL_FRAMEBUFFER_COMPLETE_OES) {
        host::log("CCRenderTexture: Could not attach texture to framebuffer (status 0x%04X)", unsigned(status));
        return false;
    }
    texture_->setAliasTexParameters();

    // GL's rows go up from the bottom, so the picture is upside down in
    // texture terms: the sprite turns it back.
    sprite_ = CCSprite::spriteWithTexture(texture_);
    sprite_->setScaleY(-1);
    sprite_->setBlendFunc(ccBlendFunc{GL_ONE, GL_ONE_MINUS_SRC_ALPHA});
    addChild(sprite_);
    return true;
}

CCRenderTexture::~CCRenderTexture() {
    if (fbo_ && host::isGLContextCurrent()) host::gl().deleteFramebuffers(1, &fbo_);
}

int CCRenderTexture::contentWidth() const { return int(texture_->contentSizeInPixels().width); }
int CCRenderTexture::contentHeight() const { return int(texture_->contentSizeInPixels().height); }

void CCRenderTexture::begin() {
    CCAssert(!drawing_, "CCRenderTexture: begin called twice without end");
    drawing_ = true;
    glPushMatrix();
    // Scale the director's frustum so that the window's pixel (x, y) lands
    // on the texture's pixel (x, y) in a viewport the texture's size.
    const CGSize display = CCDirector::sharedDirector()->displaySizeInPixels();
    const float tw = float(contentWidth()), th = float(contentHeight());
    const float xr = display.width > 0 ? tw / display.width : 1, yr = display.height > 0 ? th / display.height : 1;
    glOrthof(-xr, xr, -yr, yr, -1, 1);
    glGetIntegerv(GL_VIEWPORT, oldViewport_);
    glViewport(0, 0, GLsizei(tw), GLsizei(th));
    oldFBO_ = boundFramebuffer();
    host::gl().bindFramebuffer(GL_FRAMEBUFFER_OES, fbo_);
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_COLOR_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glEnable(GL_TEXTURE_2D);
}

void CCRenderTexture::end() {
    CCAssert(drawing_, "CCRenderTexture: end called without begin");
    drawing_ = false;
    host::gl().bindFramebuffer(GL_FRAMEBUFFER_OES, GLuint(oldFBO_));
    glPopMatrix();
    glViewport(oldViewport_[0], oldViewport_[1], oldViewport_[2], oldViewport_[3]);
}

void CCRenderTexture::beginWithClear(float r, float g, float b, float a) {
    begin();
    GLfloat saved[4];
    glGetFloatv(GL_COLOR_CLEAR_VALUE, saved);
    glClearColor(r, g, b, a);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glClearColor(saved[0], saved[1], saved[2], saved[3]);
}

void CCRenderTexture::clear(float r, float g, float b, float a) {
    beginWithClear(r, g, b, a);
    end();
}

bool CCRenderTexture::readPixels(std::vector<uint8_t>* bottomUp) {
    const int w = contentWidth(), h = contentHeight();
    try {
        bottomUp->resize(size_t(w) * size_t(h) * 4);
    } catch (const std::bad_alloc&) {
        host::log("CCRenderTexture: not enough memory to read back %d x %d pixels", w, h);
        return false;
    }
    FramebufferBinding bound(fbo_);
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glReadPixels(0, 0, w, h, GL_RGBA, GL_UNSIGNED_BYTE, bottomUp->data());
    return true;
}

host::Image* CCRenderTexture::getUIImageFromBuffer() {
    std::vector<uint8_t> bottomUp, topDown;
    if (!readPixels(&bottomUp) || !flipRows(bottomUp, size_t(contentWidth()) * 4, &topDown)) return nullptr;
    unpremultiply(&topDown);
    return host::Image::imageWithPixels(topDown.data(), uint32_t(contentWidth()), uint32_t(contentHeight()), 4);
}

bool CCRenderTexture::getUIImageAsDataFromBuffer(int format, std::vector<uint8_t>* out) {
    if (format != kCCRenderTextureImageFormatJPEG && format != kCCRenderTextureImageFormatPNG &&
        format != kCCRenderTextureImageFormatRawRGBA) {
        host::log("CCRenderTexture: unknown image format %d (0 JPEG, 1 PNG, 2 raw)", format);
        return false;
    }
    std::vector<uint8_t> bottomUp;
    if (!readPixels(&bottomUp) || !flipRows(bottomUp, size_t(contentWidth()) * 4, out)) {
        out->clear();
        return false;
    }
    if (format == kCCRenderTextureImageFormatRawRGBA) return true;
    unpremultiply(out);
    host::Ref<host::Image> image = host::Ref<host::Image>::adopt(host::createOwned<host::Image>([&](host::Image* i) {
        return i->initWithPixels(out->data(), uint32_t(contentWidth()), uint32_t(contentHeight()), 4);
    }));
    const bool encoded = image && (format == kCCRenderTextureImageFormatPNG ? image->PNGRepresentation(out)
                                                                            : image->JPEGRepresentation(100, out));
    if (!encoded) out->clear();
    return encoded;
}

bool CCRenderTexture::saveBuffer(const std::string& name) { return saveBuffer(name, kCCRenderTextureImageFormatJPEG); }

bool CCRenderTexture::saveBuffer(const std::string& name, int format) {
    std::vector<uint8_t> bytes;
    if (!getUIImageAsDataFromBuffer(format, &bytes)) return false;
    const std::string path = CCFileUtils::fullPathFromRelativePath(name);
    std::string error;
    if (!host::writeFileAtomically(path, bytes.data(), bytes.size(), &error)) {
        host::log("CCRenderTexture: %s", error.c_str());
        return false;
    }
    return true;
}
