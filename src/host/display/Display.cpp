#include "host/display/Display.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

#include "host/core/ApplicationContext.h"
#include "host/core/Log.h"
#include "host/display/GLStateSnapshot.h"
#include "host/graphics/Image.h"

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

bool isGLContextCurrent() { return SDL_GL_GetCurrentContext() != nullptr; }

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
    // Overlay views clip with the stencil of whatever they are drawn into:
    // in a window, the window's own buffers.
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, headless ? 0 : 8);
    headless_ = headless;
    surfaceW_ = surfaceW;
    surfaceH_ = surfaceH;
    scale_ = scale;
    // The player sees the device in landscape.
    captureW_ = surfaceH;
    captureH_ = surfaceW;
    int winW = static_cast<int>(captureW_ / scale), winH = static_cast<int>(captureH_ / scale);
    Uint32 flags = SDL_WINDOW_OPENGL | SDL_WINDOW_RESIZABLE | SDL_WINDOW_ALLOW_HIGHDPI;
    if (headless) flags |= SDL_WINDOW_HIDDEN;
    const std::string title = ApplicationContext::current().name();
    window_ = SDL_CreateWindow(title.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, winW, winH, flags);
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
    GLint stencilBits = 0;
    glGetIntegerv(GL_STENCIL_BITS, &stencilBits);
    windowHasStencil_ = !headless && stencilBits >= 8;
    createCaptureTarget();
    return true;
}

void Display::createCaptureTarget() {
    glGenTextures(1, &captureTexture_);
    glBindTexture(GL_TEXTURE_2D, captureTexture_);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, captureW_, captureH_, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
    gl().genFramebuffers(1, &captureFbo_);
    gl().bindFramebuffer(GL_FRAMEBUFFER_OES, captureFbo_);
    gl().framebufferTexture2D(GL_FRAMEBUFFER_OES, GL_COLOR_ATTACHMENT0_OES, GL_TEXTURE_2D, captureTexture_, 0);
    attachCaptureStencil();
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    gl().bindFramebuffer(GL_FRAMEBUFFER_OES, 0);
    glBindTexture(GL_TEXTURE_2D, 0);
}

void Display::close() {
    if (context_) {
        if (captureFbo_) gl().deleteFramebuffers(1, &captureFbo_);
        if (captureStencil_ && gl().deleteRenderbuffers) gl().deleteRenderbuffers(1, &captureStencil_);
        if (captureTexture_) glDeleteTextures(1, &captureTexture_);
        if (colorTexture_) glDeleteTextures(1, &colorTexture_);
        captureFbo_ = captureTexture_ = colorTexture_ = captureStencil_ = 0;
        colorFilter_ = 0;
        framesPresented_ = capturedFrame_ = captureAtFrame_ = 0;
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
    SDL_TLSCleanup();
    return false;
}

void SharedGLContext::clearCurrent() {
    SDL_GL_MakeCurrent(window_, nullptr);
    // SDL keeps per-thread state (the current context, the last error)
    // that it frees only for threads it made itself.
    SDL_TLSCleanup();
}

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

PresentationTarget Display::windowTarget() const {
    PresentationTarget t;
    if (!window_) return t;
    int ww = 0, wh = 0;
    SDL_GL_GetDrawableSize(window_, &ww, &wh);
    const float fit = std::min(static_cast<float>(ww) / captureW_, static_cast<float>(wh) / captureH_);
    t.width = static_cast<int>(std::lround(captureW_ * fit));
    t.height = static_cast<int>(std::lround(captureH_ * fit));
    t.x = (ww - t.width) / 2;
    t.y = (wh - t.height) / 2;
    t.pointScale = fit * scale_;
    t.contentScale = overlayContentScale();
    t.hasStencil = windowHasStencil_;
    return t;
}

PresentationTarget Display::captureTarget() const {
    PresentationTarget t;
    t.width = captureW_;
    t.height = captureH_;
    t.pointScale = scale_;
    t.contentScale = overlayContentScale();
    t.hasStencil = captureStencil_ != 0;
    return t;
}

float Display::overlayContentScale() const {
    if (headless_ || !window_) return scale_;
    // Sharp in an enlarged window, and never below the screen's own scale
    // so that a capture keeps every pixel; in half points, so that a
    // window being dragged larger does not redraw every view on each step.
    int ww = 0, wh = 0;
    SDL_GL_GetDrawableSize(window_, &ww, &wh);
    const float fit = std::min(static_cast<float>(ww) / captureW_, static_cast<float>(wh) / captureH_) * scale_;
    return std::max(scale_, std::ceil(fit * 2 - 0.01f) / 2);
}

bool Display::windowToInterface(int wx, int wy, float* ix, float* iy) const {
    if (!window_) return false;
    int winW = 0, winH = 0, dw = 0, dh = 0;
    SDL_GetWindowSize(window_, &winW, &winH);
    SDL_GL_GetDrawableSize(window_, &dw, &dh);
    float px = winW > 0 ? wx * static_cast<float>(dw) / winW : wx;
    float py = winH > 0 ? wy * static_cast<float>(dh) / winH : wy;
    const PresentationTarget t = windowTarget();
    if (t.width <= 0 || t.height <= 0) return false;
    // Interface points, origin top left; the viewport's y runs up from the
    // bottom bar, the window's down from the top.
    const int top = dh - t.y - t.height;
    *ix = (px - t.x) / t.pointScale;
    *iy = (py - top) / t.pointScale;
    const float maxX = captureW_ / scale_, maxY = captureH_ / scale_;
    return *ix >= 0 && *iy >= 0 && *ix <= maxX && *iy <= maxY;
}

void Display::drawSurfaceTurned(float magnification) {
    // Whole-number enlargements repeat each surface pixel exactly (sharp);
    // any other size is filtered.
    const float whole = std::round(magnification);
    const GLint filter = whole >= 1 && std::fabs(magnification - whole) < 1e-3f ? GL_NEAREST : GL_LINEAR;
    glBindTexture(GL_TEXTURE_2D, colorTexture_);
    if (filter != colorFilter_) {
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, filter);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, filter);
        colorFilter_ = filter;
    }
    // Corners of the viewport: bottom-left, bottom-right, top-left,
    // top-right; each takes the texel of the portrait surface that lands
    // there in the interface orientation. The surface's rows run bottom-up
    // in its texture, the interface's top-down.
    static const GLfloat quad[] = {0, 0, 1, 0, 0, 1, 1, 1};
    static const CGPoint corners[] = {{0, 1}, {1, 1}, {0, 0}, {1, 0}};
    const CGAffineTransform toSurface = interfaceToSurface(orientation_, CGSizeMake(1, 1));
    for (int i = 0; i < 4; ++i) {
        const CGPoint s = CGPointApplyAffineTransform(corners[i], toSurface);
        turnedTexCoords_[2 * i] = s.x;
        turnedTexCoords_[2 * i + 1] = 1 - s.y;
    }
    glVertexPointer(2, GL_FLOAT, 0, quad);
    glTexCoordPointer(2, GL_FLOAT, 0, turnedTexCoords_);
    glDrawArrays(GL_TRIANGLE_STRIP, 0, 4);
}

void Display::drawPresentation(GLuint framebuffer, const PresentationTarget& t, bool clearBars) {
    gl().bindFramebuffer(GL_FRAMEBUFFER_OES, framebuffer);
    glDisable(GL_SCISSOR_TEST);
    glDisable(GL_STENCIL_TEST);
    if (clearBars) {
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT);
    }
    glViewport(t.x, t.y, t.width, t.height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrthof(0, 1, 0, 1, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glDisable(GL_BLEND);
    glDisable(GL_DEPTH_TEST);
    glEnable(GL_TEXTURE_2D);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glDisableClientState(GL_COLOR_ARRAY);
    glColor4f(1, 1, 1, 1);
    drawSurfaceTurned(static_cast<float>(t.width) / captureW_);
    if (overlay_) {
        glEnable(GL_BLEND);
        glBlendFunc(GL_ONE, GL_ONE_MINUS_SRC_ALPHA);
        overlay_(t);
    }
}

void Display::present(InterfaceOrientation orientation) {
    if (!context_) return;
    orientation_ = orientation;
    const unsigned long frame = framesPresented_ + 1;
    {
        GLStateSnapshot saved;  // the engine gets back exactly the state it had
        const Uint32 hidden = SDL_WINDOW_MINIMIZED | SDL_WINDOW_HIDDEN;
        if (!headless_ && !(SDL_GetWindowFlags(window_) & hidden)) {
            const PresentationTarget t = windowTarget();
            int ww = 0, wh = 0;
            SDL_GL_GetDrawableSize(window_, &ww, &wh);
            // Black bars where the picture does not cover the window.
            drawPresentation(0, t, t.width < ww || t.height < wh);
            SDL_GL_SwapWindow(window_);
        }
        if (headless_ || frame == captureAtFrame_) {
            drawPresentation(captureFbo_, captureTarget(), false);
            capturedFrame_ = frame;
        }
    }
    framesPresented_ = frame;
    if (presentHook_) presentHook_(framesPresented_);
}

bool Display::readPresentedPixels(std::vector<unsigned char>* rgba) {
    if (!context_ || !rgba) return false;
    if (capturedFrame_ != framesPresented_ && framesPresented_ > 0) {
        // The last frame went only to the window: draw it again, from the
        // surface the engine left and the overlays as they are now.
        GLStateSnapshot saved;
        drawPresentation(captureFbo_, captureTarget(), false);
        capturedFrame_ = framesPresented_;
    }
    GLint fbo = 0;
    glGetIntegerv(GL_FRAMEBUFFER_BINDING_OES, &fbo);
    gl().bindFramebuffer(GL_FRAMEBUFFER_OES, captureFbo_);
    std::vector<unsigned char> pixels(static_cast<size_t>(captureW_) * captureH_ * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, captureW_, captureH_, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    gl().bindFramebuffer(GL_FRAMEBUFFER_OES, static_cast<GLuint>(fbo));
    // GL rows run bottom-up; the player's rows top-down. The image is opaque.
    rgba->resize(pixels.size());
    size_t row = static_cast<size_t>(captureW_) * 4;
    for (int yy = 0; yy < captureH_; ++yy)
        std::copy(pixels.begin() + static_cast<long>(row * (captureH_ - 1 - yy)),
                  pixels.begin() + static_cast<long>(row * (captureH_ - yy)), rgba->begin() + static_cast<long>(row * yy));
    for (size_t i = 3; i < rgba->size(); i += 4) (*rgba)[i] = 255;
    return true;
}

bool Display::writeScreenshot(const std::string& path) {
    std::vector<unsigned char> pixels;
    if (!readPresentedPixels(&pixels)) return false;
    return writePNG(path, pixels.data(), captureW_, captureH_);
}

void Display::attachCaptureStencil() {
    // Bound: the capture framebuffer. Without a stencil buffer the overlay
    // views clip to scissor boxes instead.
    gl().genRenderbuffers(1, &captureStencil_);
    gl().bindRenderbuffer(GL_RENDERBUFFER_OES, captureStencil_);
    gl().renderbufferStorage(GL_RENDERBUFFER_OES, GL_STENCIL_INDEX8_OES, captureW_, captureH_);
    gl().framebufferRenderbuffer(GL_FRAMEBUFFER_OES, GL_STENCIL_ATTACHMENT_OES, GL_RENDERBUFFER_OES, captureStencil_);
    gl().bindRenderbuffer(GL_RENDERBUFFER_OES, 0);
    if (gl().checkFramebufferStatus(GL_FRAMEBUFFER_OES) == GL_FRAMEBUFFER_COMPLETE_OES) return;
    gl().framebufferRenderbuffer(GL_FRAMEBUFFER_OES, GL_STENCIL_ATTACHMENT_OES, GL_RENDERBUFFER_OES, 0);
    if (gl().deleteRenderbuffers) gl().deleteRenderbuffers(1, &captureStencil_);
    captureStencil_ = 0;
    log("display: no stencil buffer for the overlay views; they clip to rectangles");
}

bool Display::isFullscreen() const {
    return window_ && (SDL_GetWindowFlags(window_) & SDL_WINDOW_FULLSCREEN_DESKTOP) == SDL_WINDOW_FULLSCREEN_DESKTOP;
}

void Display::toggleFullscreen() {
    if (!window_) return;
    SDL_SetWindowFullscreen(window_, isFullscreen() ? 0 : SDL_WINDOW_FULLSCREEN_DESKTOP);
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
