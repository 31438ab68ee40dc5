#include "engine/CCGrabber.h"

#include "engine/CCTexture2D.h"
#include "engine/ccMacros.h"
#include "host/display/Display.h"

bool CCGrabber::init() {
    host::gl().genFramebuffers(1, &fbo_);
    return fbo_ != 0;
}

CCGrabber::~CCGrabber() {
    // A grabber let go of after the display closed has nothing to delete.
    if (fbo_ && host::isGLContextCurrent()) host::gl().deleteFramebuffers(1, &fbo_);
}

void CCGrabber::grab(CCTexture2D* texture) {
    auto& gl = host::gl();
    glGetIntegerv(GL_FRAMEBUFFER_BINDING_OES, &oldFBO_);
    gl.bindFramebuffer(GL_FRAMEBUFFER_OES, fbo_);
    gl.framebufferTexture2D(GL_FRAMEBUFFER_OES, GL_COLOR_ATTACHMENT0_OES, GL_TEXTURE_2D, texture->name(), 0);
    const GLenum status = gl.checkFramebufferStatus(GL_FRAMEBUFFER_OES);
    gl.bindFramebuffer(GL_FRAMEBUFFER_OES, GLuint(oldFBO_));
    if (status != GL_FRAMEBUFFER_COMPLETE_OES)
        throw CCException("Frame Grabber", "Could not attach texture to framebuffer");
}

void CCGrabber::beforeRender(CCTexture2D*) {
    glGetIntegerv(GL_FRAMEBUFFER_BINDING_OES, &oldFBO_);
    host::gl().bindFramebuffer(GL_FRAMEBUFFER_OES, fbo_);
    // The director clears the screen with the clear colour: it must not
    // turn transparent black because a grid drew this frame.
    glGetFloatv(GL_COLOR_CLEAR_VALUE, oldClearColor_);
    glClearColor(0, 0, 0, 0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glClearColor(oldClearColor_[0], oldClearColor_[1], oldClearColor_[2], oldClearColor_[3]);
}

void CCGrabber::afterRender(CCTexture2D*) { host::gl().bindFramebuffer(GL_FRAMEBUFFER_OES, GLuint(oldFBO_)); }
