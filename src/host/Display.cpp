#include "host/Display.h"

#include <cstdio>
#include <vector>

#include "host/Image.h"
#include "host/Log.h"

namespace host {

GLExtensions& gl() {
    static GLExtensions e;
    return e;
}

bool GLExtensions::load() {
#define LOAD(field, name) field = reinterpret_cast<decltype(field)>(SDL_GL_GetProcAddress(name))
    LOAD(genFramebuffers, "glGenFramebuffersOES");
    LOAD(deleteFramebuffers, "glDeleteFramebuffersOES");
    LOAD(bindFramebuffer, "glBindFramebufferOES");
    LOAD(framebufferTexture2D, "glFramebufferTexture2DOES");
    LOAD(framebufferRenderbuffer, "glFramebufferRenderbufferOES");
    LOAD(checkFramebufferStatus, "glCheckFramebufferStatusOES");
    LOAD(genRenderbuffers, "glGenRenderbuffersOES");
    LOAD(deleteRenderbuffers, "glDeleteRenderbuffersOES");
    LOAD(bindRenderbuffer, "glBindRenderbufferOES");
    LOAD(renderbufferStorage, "glRenderbufferStorageOES");
    LOAD(discardFramebuffer, "glDiscardFramebufferEXT");
    LOAD(generateMipmap, "glGenerateMipmapOES");
#undef LOAD
    return genFramebuffers && bindFramebuffer && framebufferTexture2D && checkFramebufferStatus &&
           genRenderbuffers && bindRenderbuffer && renderbufferStorage;
}

Display& Display::shared() {
    static Display d;
    return d;
}

bool Display::open(bool headless, int surfaceW, int surfaceH, float scale) {
    if (headless) SDL_SetHint(SDL_HINT_VIDEODRIVER, "offscreen");
    if (SDL_InitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0) {
        log("display: cannot start the video system: %s", SDL_GetError());
        return false;
    }
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_ES);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 1);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 1);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    surfaceW_ = surfaceW;
    surfaceH_ = surfaceH;
    scale_ = scale;
    // The player sees the device in landscape.
    presentW_ = surfaceH;
    presentH_ = surfaceW;
    int winW = static_cast<int>(presentW_ / scale), winH = static_cast<int>(presentH_ / scale);
    Uint32 flags = SDL_WINDOW_OPENGL | SDL_WINDOW_RESIZABLE | SDL_WINDOW_ALLOW_HIGHDPI;
    if (headless) flags |= SDL_WINDOW_HIDDEN;
    window_ = SDL_CreateWindow("Tiltboard", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, winW, winH, flags);
    if (!window_) {
        log("display: cannot open a window: %s", SDL_GetError());
        return false;
    }
    SDL_SetWindowMinimumSize(window_, winW / 2, winH / 2);
    context_ = SDL_GL_CreateContext(window_);
    if (!context_) {
        log("display: cannot create an OpenGL ES 1.1 context: %s", SDL_GetError());
        SDL_DestroyWindow(window_);
        window_ = nullptr;
        return false;
    }
    SDL_GL_MakeCurrent(window_, context_);
    SDL_GL_SetSwapInterval(headless ? 0 : 1);
    if (!gl().load()) {
        log("display: the GL context lacks framebuffer objects");
        close();
        return false;
    }
    // The presentation target, landscape, in interface pixels.
    glGenTextures(1, &presentTexture_);
    glBindTexture(GL_TEXTURE_2D, presentTexture_);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, presentW_, presentH_, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
    gl().genFramebuffers(1, &presentFbo_);
    gl().bindFramebuffer(GL_FRAMEBUFFER_OES, presentFbo_);
    gl().framebufferTexture2D(GL_FRAMEBUFFER_OES, GL_COLOR_ATTACHMENT0_OES, GL_TEXTURE_2D, presentTexture_, 0);
    attachPresentStencil();
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    gl().bindFramebuffer(GL_FRAMEBUFFER_OES, 0);
    glBindTexture(GL_TEXTURE_2D, 0);
    return true;
}

void Display::close() {
    if (context_) {
        if (presentFbo_) gl().deleteFramebuffers(1, &presentFbo_);
        if (presentStencil_ && gl().deleteRenderbuffers) gl().deleteRenderbuffers(1, &presentStencil_);
        if (presentTexture_) glDeleteTextures(1, &presentTexture_);
        if (colorTexture_) glDeleteTextures(1, &colorTexture_);
        presentFbo_ = presentTexture_ = colorTexture_ = presentStencil_ = 0;
        SDL_GL_DeleteContext(context_);
        context_ = nullptr;
    }
    if (window_) SDL_DestroyWindow(window_);
    window_ = nullptr;
}

std::unique_ptr<SharedGLContext> Display::createSharedContext() {
    if (!context_) return nullptr;
    SDL_Window* previousWindow = SDL_GL_GetCurrentWindow();
    SDL_GLContext previousContext = SDL_GL_GetCurrentContext();
    // SDL shares with the context current on this thread: the main one.
    SDL_GL_MakeCurrent(window_, context_);
    SDL_Window* surface = SDL_CreateWindow("", 0, 0, 1, 1, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
    SDL_GLContext shared = nullptr;
    if (surface) {
        SDL_GL_SetAttribute(SDL_GL_SHARE_WITH_CURRENT_CONTEXT, 1);
        shared = SDL_GL_CreateContext(surface);
        SDL_GL_SetAttribute(SDL_GL_SHARE_WITH_CURRENT_CONTEXT, 0);
    }
    if (!shared) log("display: cannot create a shared GL context: %s", SDL_GetError());
    // Creating a context makes it current; give the thread back its own.
    SDL_GL_MakeCurrent(previousContext ? previousWindow : window_, previousContext ? previousContext : context_);
    if (!shared) {
        if (surface) SDL_DestroyWindow(surface);
        return nullptr;
    }
    return std::unique_ptr<SharedGLContext>(new SharedGLContext(surface, shared));
}

SharedGLContext::~SharedGLContext() {
    if (SDL_GL_GetCurrentContext() == context_) SDL_GL_MakeCurrent(nullptr, nullptr);
    SDL_GL_DeleteContext(context_);
    SDL_DestroyWindow(window_);
}

bool SharedGLContext::makeCurrent() {
    if (SDL_GL_MakeCurrent(window_, context_) == 0) return true;
    log("display: cannot make the shared GL context current: %s", SDL_GetError());
    return false;
}

void SharedGLContext::clearCurrent() { SDL_GL_MakeCurrent(window_, nullptr); }

bool Display::attachColorStorage(bool rgb565, int* width, int* height) {
    if (!context_) return false;
    GLint boundTexture = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &boundTexture);
    if (!colorTexture_) glGenTextures(1, &colorTexture_);
    glBindTexture(GL_TEXTURE_2D, colorTexture_);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    if (rgb565)
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, surfaceW_, surfaceH_, 0, GL_RGB, GL_UNSIGNED_SHORT_5_6_5, nullptr);
    else
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, surfaceW_, surfaceH_, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
    gl().framebufferTexture2D(GL_FRAMEBUFFER_OES, GL_COLOR_ATTACHMENT0_OES, GL_TEXTURE_2D, colorTexture_, 0);
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(boundTexture));
    *width = surfaceW_;
    *height = surfaceH_;
    return true;
}

void Display::drawTexturedQuad(GLuint tex, const GLfloat* verts, const GLfloat* uvs) {
    glBindTexture(GL_TEXTURE_2D, tex);
    glVertexPointer(2, GL_FLOAT, 0, verts);
    glTexCoordPointer(2, GL_FLOAT, 0, uvs);
    glDrawArrays(GL_TRIANGLE_STRIP, 0, 4);
}

void Display::letterbox(int* x, int* y, int* w, int* h) const {
    int ww = 0, wh = 0;
    SDL_GL_GetDrawableSize(window_, &ww, &wh);
    float s = std::min(static_cast<float>(ww) / presentW_, static_cast<float>(wh) / presentH_);
    *w = static_cast<int>(presentW_ * s);
    *h = static_cast<int>(presentH_ * s);
    *x = (ww - *w) / 2;
    *y = (wh - *h) / 2;
}

bool Display::windowToInterface(int wx, int wy, float* ix, float* iy) const {
    if (!window_) return false;
    int winW = 0, winH = 0, dw = 0, dh = 0;
    SDL_GetWindowSize(window_, &winW, &winH);
    SDL_GL_GetDrawableSize(window_, &dw, &dh);
    float px = winW > 0 ? wx * static_cast<float>(dw) / winW : wx;
    float py = winH > 0 ? wy * static_cast<float>(dh) / winH : wy;
    int x, y, w, h;
    letterbox(&x, &y, &w, &h);
    if (w <= 0 || h <= 0) return false;
    // Interface points, origin top left.
    *ix = (px - x) / w * presentW_ / scale_;
    *iy = (py - y) / h * presentH_ / scale_;
    return *ix >= 0 && *iy >= 0 && *ix <= presentW_ / scale_ && *iy <= presentH_ / scale_;
}

void Display::present(int orientation) {
    if (!context_) return;
    GLint fbo = 0, tex = 0, viewport[4];
    glGetIntegerv(GL_FRAMEBUFFER_BINDING_OES, &fbo);
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &tex);
    glGetIntegerv(GL_VIEWPORT, viewport);
    GLboolean blend = glIsEnabled(GL_BLEND), depth = glIsEnabled(GL_DEPTH_TEST);
    GLboolean texture2D = glIsEnabled(GL_TEXTURE_2D);
    GLboolean vArray = glIsEnabled(GL_VERTEX_ARRAY), cArray = glIsEnabled(GL_COLOR_ARRAY);
    GLboolean tArray = glIsEnabled(GL_TEXTURE_COORD_ARRAY);
    GLint blendSrc = GL_ONE, blendDst = GL_ONE_MINUS_SRC_ALPHA;
    glGetIntegerv(GL_BLEND_SRC, &blendSrc);
    glGetIntegerv(GL_BLEND_DST, &blendDst);

    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrthof(0, 1, 0, 1, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glDisable(GL_BLEND);
    glDisable(GL_DEPTH_TEST);
    glEnable(GL_TEXTURE_2D);
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glDisableClientState(GL_COLOR_ARRAY);
    glColor4f(1, 1, 1, 1);

    // Corners of the landscape target: bottom-left, bottom-right,
    // top-left, top-right; each takes the portrait texel that lands there.
    static const GLfloat quad[] = {0, 0, 1, 0, 0, 1, 1, 1};
    GLfloat uv[8];
    switch (orientation) {
        case 1: { const GLfloat u[] = {0, 0, 1, 0, 0, 1, 1, 1}; std::copy(u, u + 8, uv); break; }
        case 2: { const GLfloat u[] = {1, 1, 0, 1, 1, 0, 0, 0}; std::copy(u, u + 8, uv); break; }
        case 4: { const GLfloat u[] = {1, 0, 1, 1, 0, 0, 0, 1}; std::copy(u, u + 8, uv); break; }
        default: { const GLfloat u[] = {0, 1, 0, 0, 1, 1, 1, 0}; std::copy(u, u + 8, uv); break; }
    }
    gl().bindFramebuffer(GL_FRAMEBUFFER_OES, presentFbo_);
    glViewport(0, 0, presentW_, presentH_);
    drawTexturedQuad(colorTexture_, quad, uv);
    if (overlay_) {
        glEnable(GL_BLEND);
        glBlendFunc(GL_ONE, GL_ONE_MINUS_SRC_ALPHA);
        overlay_(presentW_, presentH_, scale_);
        glDisable(GL_BLEND);
    }

    // The window: black bars around the aspect-kept image.
    gl().bindFramebuffer(GL_FRAMEBUFFER_OES, 0);
    int ww = 0, wh = 0;
    SDL_GL_GetDrawableSize(window_, &ww, &wh);
    glViewport(0, 0, ww, wh);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    int x, y, w, h;
    letterbox(&x, &y, &w, &h);
    glViewport(x, y, w, h);
    static const GLfloat straight[] = {0, 0, 1, 0, 0, 1, 1, 1};
    drawTexturedQuad(presentTexture_, quad, straight);
    SDL_GL_SwapWindow(window_);

    // Give the engine back exactly the state it had.
    gl().bindFramebuffer(GL_FRAMEBUFFER_OES, static_cast<GLuint>(fbo));
    glViewport(viewport[0], viewport[1], viewport[2], viewport[3]);
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(tex));
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
    glBlendFunc(static_cast<GLenum>(blendSrc), static_cast<GLenum>(blendDst));
    blend ? glEnable(GL_BLEND) : glDisable(GL_BLEND);
    depth ? glEnable(GL_DEPTH_TEST) : glDisable(GL_DEPTH_TEST);
    texture2D ? glEnable(GL_TEXTURE_2D) : glDisable(GL_TEXTURE_2D);
    vArray ? glEnableClientState(GL_VERTEX_ARRAY) : glDisableClientState(GL_VERTEX_ARRAY);
    cArray ? glEnableClientState(GL_COLOR_ARRAY) : glDisableClientState(GL_COLOR_ARRAY);
    tArray ? glEnableClientState(GL_TEXTURE_COORD_ARRAY) : glDisableClientState(GL_TEXTURE_COORD_ARRAY);

    ++framesPresented_;
    if (presentHook_) presentHook_(framesPresented_);
}

bool Display::readPresentedPixels(std::vector<unsigned char>* rgba) {
    if (!context_ || !rgba) return false;
    GLint fbo = 0;
    glGetIntegerv(GL_FRAMEBUFFER_BINDING_OES, &fbo);
    gl().bindFramebuffer(GL_FRAMEBUFFER_OES, presentFbo_);
    std::vector<unsigned char> pixels(static_cast<size_t>(presentW_) * presentH_ * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, presentW_, presentH_, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    gl().bindFramebuffer(GL_FRAMEBUFFER_OES, static_cast<GLuint>(fbo));
    // GL rows run bottom-up; the player's rows top-down. The image is opaque.
    rgba->resize(pixels.size());
    size_t row = static_cast<size_t>(presentW_) * 4;
    for (int yy = 0; yy < presentH_; ++yy)
        std::copy(pixels.begin() + static_cast<long>(row * (presentH_ - 1 - yy)),
                  pixels.begin() + static_cast<long>(row * (presentH_ - yy)), rgba->begin() + static_cast<long>(row * yy));
    for (size_t i = 3; i < rgba->size(); i += 4) (*rgba)[i] = 255;
    return true;
}

bool Display::writeScreenshot(const std::string& path) {
    std::vector<unsigned char> pixels;
    if (!readPresentedPixels(&pixels)) return false;
    return writePNG(path, pixels.data(), presentW_, presentH_);
}

void Display::attachPresentStencil() {
    // Bound: the presentation framebuffer. Without a stencil buffer the
    // overlay views clip to scissor boxes instead.
    gl().genRenderbuffers(1, &presentStencil_);
    gl().bindRenderbuffer(GL_RENDERBUFFER_OES, presentStencil_);
    gl().renderbufferStorage(GL_RENDERBUFFER_OES, GL_STENCIL_INDEX8_OES, presentW_, presentH_);
    gl().framebufferRenderbuffer(GL_FRAMEBUFFER_OES, GL_STENCIL_ATTACHMENT_OES, GL_RENDERBUFFER_OES, presentStencil_);
    gl().bindRenderbuffer(GL_RENDERBUFFER_OES, 0);
    if (gl().checkFramebufferStatus(GL_FRAMEBUFFER_OES) == GL_FRAMEBUFFER_COMPLETE_OES) return;
    gl().framebufferRenderbuffer(GL_FRAMEBUFFER_OES, GL_STENCIL_ATTACHMENT_OES, GL_RENDERBUFFER_OES, 0);
    if (gl().deleteRenderbuffers) gl().deleteRenderbuffers(1, &presentStencil_);
    presentStencil_ = 0;
    log("display: no stencil buffer for the overlay views; they clip to rectangles");
}

void Display::toggleFullscreen() {
    if (!window_) return;
    bool full = SDL_GetWindowFlags(window_) & SDL_WINDOW_FULLSCREEN_DESKTOP;
    SDL_SetWindowFullscreen(window_, full ? 0 : SDL_WINDOW_FULLSCREEN_DESKTOP);
}

bool writePNG(const std::string& path, const unsigned char* rgba, int w, int h) {
    std::vector<uint8_t> encoded;
    if (w <= 0 || h <= 0 || !encodePNG(rgba, uint32_t(w), uint32_t(h), 4, &encoded)) return false;
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) {
        log("png: cannot write %s", path.c_str());
        return false;
    }
    const bool written = std::fwrite(encoded.data(), 1, encoded.size(), f) == encoded.size();
    if (std::fclose(f) != 0 || !written) {
        log("png: cannot write %s", path.c_str());
        return false;
    }
    return true;
}

}  // namespace host
