#include "engine/platform/ES1Renderer.h"

#include <SDL2/SDL.h>

#include <cstdio>

#include "engine/CCConfiguration.h"
#include "host/core/Log.h"
#include "host/display/Display.h"

bool ES1Renderer::initWithDepthFormat(unsigned depthFormat, unsigned pixelFormat, void* sharegroup,
                                      bool multiSampling, unsigned requestedSamples) {
    host::Display& display = host::Display::shared();
    if (!display.isOpen()) return false;
    // The main context is the renderer's; a share group asks for a second
    // context sharing its objects.
    if (sharegroup) {
        SDL_GL_SetAttribute(SDL_GL_SHARE_WITH_CURRENT_CONTEXT, 1);
        context_ = SDL_GL_CreateContext(display.window());
        SDL_GL_SetAttribute(SDL_GL_SHARE_WITH_CURRENT_CONTEXT, 0);
    } else {
        context_ = display.mainContext();
    }
    if (!context_ || SDL_GL_MakeCurrent(display.window(), static_cast<SDL_GLContext>(context_)) != 0) {
        host::log("ES1Renderer: cannot make the GL context current: %s", SDL_GetError());
        return false;
    }
    auto& gl = host::gl();
    gl.genFramebuffers(1, &defaultFramebuffer_);
    gl.bindFramebuffer(GL_FRAMEBUFFER_OES, defaultFramebuffer_);

    depthFormat_ = depthFormat;
    pixelFormat_ = pixelFormat;
    multiSampling_ = multiSampling;
    if (multiSampling_) {
        int maxSamples = CCConfiguration::sharedConfiguration()->maxSamplesAllowed();
        samplesToUse_ = requestedSamples < static_cast<unsigned>(maxSamples) ? requestedSamples
                                                                            : static_cast<unsigned>(maxSamples);
        if (samplesToUse_ == 0) {
            host::log("ES1Renderer: multisampling is not available on this GL; drawing without it");
            multiSampling_ = false;
        }
    }
    CHECK_GL_ERROR_DEBUG(
        "-[ES1Renderer initWithDepthFormat:withPixelFormat:withSharegroup:withMultiSampling:withNumberOfSamples:]");
    return true;
}

bool ES1Renderer::resizeFromLayer() {
    auto& gl = host::gl();
    gl.bindFramebuffer(GL_FRAMEBUFFER_OES, defaultFramebuffer_);
    if (!host::Display::shared().attachColorStorage(pixelFormat_ == GL_RGB565_OES, &backingWidth_, &backingHeight_))
        return false;
    colorRenderbuffer_ = host::Display::shared().colorTexture();
    if (depthFormat_) {
        if (!depthBuffer_) gl.genRenderbuffers(1, &depthBuffer_);
        gl.bindRenderbuffer(GL_RENDERBUFFER_OES, depthBuffer_);
        gl.renderbufferStorage(GL_RENDERBUFFER_OES, depthFormat_, backingWidth_, backingHeight_);
        gl.framebufferRenderbuffer(GL_FRAMEBUFFER_OES, GL_DEPTH_ATTACHMENT_OES, GL_RENDERBUFFER_OES, depthBuffer_);
    }
    GLenum status = gl.checkFramebufferStatus(GL_FRAMEBUFFER_OES);
    if (status != GL_FRAMEBUFFER_COMPLETE_OES) {
        host::log("ES1Renderer: framebuffer incomplete (0x%04X)", status);
        return false;
    }
    CHECK_GL_ERROR_DEBUG("-[ES1Renderer resizeFromLayer:]");
    return true;
}

std::string ES1Renderer::description() const {
    char buf[96];
    std::snprintf(buf, sizeof buf, " | size = %ix%i>", backingWidth_, backingHeight_);
    return "<" + className() + " = " + host::addressString(this) + buf;
}

ES1Renderer::~ES1Renderer() {
    host::Display& display = host::Display::shared();
    if (!display.isOpen()) return;
    auto& gl = host::gl();
    if (defaultFramebuffer_) gl.deleteFramebuffers(1, &defaultFramebuffer_);
    if (depthBuffer_) gl.deleteRenderbuffers(1, &depthBuffer_);
    if (msaaFramebuffer_) gl.deleteFramebuffers(1, &msaaFramebuffer_);
    if (msaaColorbuffer_) gl.deleteRenderbuffers(1, &msaaColorbuffer_);
    defaultFramebuffer_ = depthBuffer_ = msaaFramebuffer_ = msaaColorbuffer_ = 0;
    // The colour texture belongs to the display.
    colorRenderbuffer_ = 0;
    if (context_ && context_ != display.mainContext()) {
        SDL_GL_MakeCurrent(display.window(), display.mainContext());
        SDL_GL_DeleteContext(static_cast<SDL_GLContext>(context_));
    }
    context_ = nullptr;
}
