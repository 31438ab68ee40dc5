// Owns the GL ES 1.1 context, the framebuffer and its buffers.
//
// On this host the colour buffer is a texture that the display owns, so
// that presenting can turn the portrait image to the interface
// orientation; depth is a renderbuffer. Multisampling needs
// GL_APPLE_framebuffer_multisample, which is asked for but may be absent:
// then no samples are used.
#pragma once

#include <string>

#include "host/core/CGGeometry.h"
#include "host/core/Object.h"
#include "host/display/GLES.h"

class ES1Renderer : public host::Object {
public:
    bool initWithDepthFormat(unsigned depthFormat, unsigned pixelFormat, void* sharegroup, bool multiSampling,
                             unsigned requestedSamples);
    bool resizeFromLayer();
    CGSize backingSize() const { return CGSizeMake(static_cast<float>(backingWidth_), static_cast<float>(backingHeight_)); }
    void* context() const { return context_; }
    unsigned colorRenderBuffer() const { return colorRenderbuffer_; }
    unsigned defaultFrameBuffer() const { return defaultFramebuffer_; }
    unsigned msaaFrameBuffer() const { return msaaFramebuffer_; }
    unsigned msaaColorBuffer() const { return msaaColorbuffer_; }
    unsigned depthBuffer() const { return depthBuffer_; }
    bool multiSampling() const { return multiSampling_; }
    unsigned samplesToUse() const { return samplesToUse_; }
    std::string description() const override;

protected:
    ~ES1Renderer() override;

private:
    int backingWidth_ = 0, backingHeight_ = 0;
    unsigned samplesToUse_ = 0;
    bool multiSampling_ = false;
    unsigned depthFormat_ = 0, pixelFormat_ = 0;
    GLuint defaultFramebuffer_ = 0, colorRenderbuffer_ = 0, depthBuffer_ = 0, msaaFramebuffer_ = 0,
           msaaColorbuffer_ = 0;
    void* context_ = nullptr;
};
