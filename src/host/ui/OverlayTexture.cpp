#include "host/ui/OverlayTexture.h"

#include <algorithm>

#include "host/core/Log.h"
#include "host/display/Display.h"

namespace host {

namespace {

int maxTextureSize() {
    GLint size = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &size);
    return size > 0 ? size : 1024;
}

void setTextureParameters() {
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
}

// Binds `id` for the duration of a scope, giving the old binding back.
class TextureBinding {
public:
    explicit TextureBinding(GLuint id) {
        glGetIntegerv(GL_TEXTURE_BINDING_2D, &previous_);
        glBindTexture(GL_TEXTURE_2D, id);
    }
    ~TextureBinding() { glBindTexture(GL_TEXTURE_2D, GLuint(previous_)); }
    TextureBinding(const TextureBinding&) = delete;
    TextureBinding& operator=(const TextureBinding&) = delete;

private:
    GLint previous_ = 0;
};

}  // namespace

int nextPowerOfTwo(int n) {
    int p = 1;
    while (p < n && p < (1 << 30)) p <<= 1;
    return p;
}

// ---- GLTexture ---------------------------------------------------------------

bool GLTexture::upload(const uint8_t* rgba, int w, int h) {
    if (!isGLContextCurrent() || w <= 0 || h <= 0) return false;
    const int limit = maxTextureSize();
    if (w > limit || h > limit) {
        log("overlay: a view of %d x %d pixels is larger than the GL's textures (%d)", w, h, limit);
        return false;
    }
    if (!id_) glGenTextures(1, &id_);
    TextureBinding bind(id_);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    if (w > storageW_ || h > storageH_) {
        storageW_ = std::max(storageW_, nextPowerOfTwo(w));
        storageH_ = std::max(storageH_, nextPowerOfTwo(h));
        setTextureParameters();
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, storageW_, storageH_, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
    }
    glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, w, h, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
    width_ = w;
    height_ = h;
    return true;
}

void GLTexture::reset() {
    if (id_ && isGLContextCurrent()) glDeleteTextures(1, &id_);
    id_ = 0;
    width_ = height_ = storageW_ = storageH_ = 0;
}

// ---- RenderTexture -------------------------------------------------------------

bool RenderTexture::prepare(int w, int h) {
    if (!isGLContextCurrent() || w <= 0 || h <= 0 || !gl().genFramebuffers) return false;
    if (framebuffer_ && w <= storageW_ && h <= storageH_) {
        width_ = w;
        height_ = h;
        return true;
    }
    const int limit = maxTextureSize();
    if (w > limit || h > limit) {
        log("overlay: cannot capture a view of %d x %d pixels (textures end at %d)", w, h, limit);
        return false;
    }
    reset();
    storageW_ = nextPowerOfTwo(w);
    storageH_ = nextPowerOfTwo(h);
    GLint previousFbo = 0, previousRb = 0;
    glGetIntegerv(GL_FRAMEBUFFER_BINDING_OES, &previousFbo);
    glGetIntegerv(GL_RENDERBUFFER_BINDING_OES, &previousRb);
    glGenTextures(1, &texture_);
    {
        TextureBinding bind(texture_);
        setTextureParameters();
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, storageW_, storageH_, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
    }
    gl().genFramebuffers(1, &framebuffer_);
    gl().bindFramebuffer(GL_FRAMEBUFFER_OES, framebuffer_);
    gl().framebufferTexture2D(GL_FRAMEBUFFER_OES, GL_COLOR_ATTACHMENT0_OES, GL_TEXTURE_2D, texture_, 0);
    gl().genRenderbuffers(1, &stencil_);
    gl().bindRenderbuffer(GL_RENDERBUFFER_OES, stencil_);
    gl().renderbufferStorage(GL_RENDERBUFFER_OES, GL_STENCIL_INDEX8_OES, storageW_, storageH_);
    gl().framebufferRenderbuffer(GL_FRAMEBUFFER_OES, GL_STENCIL_ATTACHMENT_OES, GL_RENDERBUFFER_OES, stencil_);
    if (gl().checkFramebufferStatus(GL_FRAMEBUFFER_OES) != GL_FRAMEBUFFER_COMPLETE_OES) {
        // Without stencil: clipping inside falls back to scissor boxes.
        gl().framebufferRenderbuffer(GL_FRAMEBUFFER_OES, GL_STENCIL_ATTACHMENT_OES, GL_RENDERBUFFER_OES, 0);
        if (gl().deleteRenderbuffers) gl().deleteRenderbuffers(1, &stencil_);
        stencil_ = 0;
    }
    const bool complete = gl().checkFramebufferStatus(GL_FRAMEBUFFER_OES) == GL_FRAMEBUFFER_COMPLETE_OES;
    gl().bindFramebuffer(GL_FRAMEBUFFER_OES, GLuint(previousFbo));
    gl().bindRenderbuffer(GL_RENDERBUFFER_OES, GLuint(previousRb));
    if (!complete) {
        log("overlay: cannot make an offscreen target of %d x %d pixels", w, h);
        reset();
        return false;
    }
    width_ = w;
    height_ = h;
    return true;
}

void RenderTexture::reset() {
    if (isGLContextCurrent()) {
        if (framebuffer_ && gl().deleteFramebuffers) gl().deleteFramebuffers(1, &framebuffer_);
        if (stencil_ && gl().deleteRenderbuffers) gl().deleteRenderbuffers(1, &stencil_);
        if (texture_) glDeleteTextures(1, &texture_);
    }
    framebuffer_ = texture_ = stencil_ = 0;
    width_ = height_ = storageW_ = storageH_ = 0;
}

}  // namespace host
