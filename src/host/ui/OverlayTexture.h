// GL objects of the overlay renderer, released with their owner.
//
// Both kinds keep their storage in power-of-two sizes and reuse it while
// new content fits, so content that changes without growing costs no GL
// allocation. Row 0 of the storage is the top of the content (point y 0),
// so a point (x, y) of content w x h points at scale s samples at
// (x s / storageWidth, y s / storageHeight).
#pragma once

#include <cstdint>

#include "host/display/GLES.h"

namespace host {

class GLTexture {
public:
    GLTexture() = default;
    ~GLTexture() { reset(); }
    GLTexture(const GLTexture&) = delete;
    GLTexture& operator=(const GLTexture&) = delete;

    // Uploads w x h premultiplied RGBA pixels, top row first; false when
    // the GL cannot hold them.
    bool upload(const uint8_t* rgba, int w, int h);
    void reset();

    GLuint id() const { return id_; }
    bool isValid() const { return id_ != 0 && width_ > 0 && height_ > 0; }
    int width() const { return width_; }
    int height() const { return height_; }
    float maxU() const { return storageW_ ? float(width_) / float(storageW_) : 0; }
    float maxV() const { return storageH_ ? float(height_) / float(storageH_) : 0; }

private:
    GLuint id_ = 0;
    int width_ = 0, height_ = 0;
    int storageW_ = 0, storageH_ = 0;
};

// An offscreen colour target with a stencil buffer (for clipping inside
// it), sampled afterwards as a texture.
class RenderTexture {
public:
    RenderTexture() = default;
    ~RenderTexture() { reset(); }
    RenderTexture(const RenderTexture&) = delete;
    RenderTexture& operator=(const RenderTexture&) = delete;

    // Makes room for w x h pixels; false (and one log line) when the GL
    // cannot make a complete framebuffer of that size.
    bool prepare(int w, int h);
    void reset();

    bool isValid() const { return framebuffer_ != 0; }
    GLuint framebuffer() const { return framebuffer_; }
    GLuint texture() const { return texture_; }
    bool hasStencil() const { return stencil_ != 0; }
    int width() const { return width_; }
    int height() const { return height_; }
    float maxU() const { return storageW_ ? float(width_) / float(storageW_) : 0; }
    float maxV() const { return storageH_ ? float(height_) / float(storageH_) : 0; }

private:
    GLuint framebuffer_ = 0, texture_ = 0, stencil_ = 0;
    int width_ = 0, height_ = 0;
    int storageW_ = 0, storageH_ = 0;
};

// The smallest power of two >= n (n >= 1).
int nextPowerOfTwo(int n);

}  // namespace host
