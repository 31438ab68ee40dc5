// CCGrabber: sends drawing into a texture instead of the screen, through a
// framebuffer object of its own with the texture as its colour storage.
//
// The screen of this host is itself a framebuffer object (the emulated
// device's surface), so the grabber always gives back the framebuffer it
// found bound, never framebuffer 0, and leaves the clear colour as it was.
#pragma once

#include "host/core/Object.h"
#include "host/display/GLES.h"

class CCTexture2D;

class CCGrabber : public host::Object {
public:
    // Makes the framebuffer object.
    bool init();

    // Attaches the texture as the colour storage. Raises "Frame Grabber" /
    // "Could not attach texture to framebuffer" when GL cannot draw into it.
    void grab(CCTexture2D* texture);
    // From here on drawing goes into the texture, cleared to transparent
    // black first.
    void beforeRender(CCTexture2D* texture);
    // Drawing goes back where it went before beforeRender.
    void afterRender(CCTexture2D* texture);

    GLuint fbo() const { return fbo_; }

protected:
    ~CCGrabber() override;

private:
    GLuint fbo_ = 0;
    GLint oldFBO_ = 0;
    GLfloat oldClearColor_[4] = {};
};
