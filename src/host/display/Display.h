// The window and the presentation of the portrait GL surface.
//
// The engine draws into a framebuffer object the size of the portrait
// device surface. Presenting draws that picture, turned to the interface
// orientation, and the overlay views over it straight into the window's
// letterboxed viewport (aspect kept, black bars), in one pass. The same
// drawing into a landscape capture target of the interface's own size is
// what a screenshot records: it is made on every frame of a headless run
// (nothing else shows it), and in a window only for a frame that asks for
// it, since each extra full-screen pass costs a software rasteriser
// milliseconds.
#pragma once

#include <SDL2/SDL.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "host/core/InterfaceOrientation.h"
#include "host/display/GLES.h"

namespace host {

// A second GL ES context in the main context's share group, for a loading
// thread: textures it creates are visible to the main context. It has its
// own hidden 1 x 1 surface, so it can be current on another thread while
// the main context stays current on the main thread. Create and destroy
// it on the main thread.
class SharedGLContext {
public:
    ~SharedGLContext();
    SharedGLContext(const SharedGLContext&) = delete;
    SharedGLContext& operator=(const SharedGLContext&) = delete;
    // Makes this context current on the calling thread; on failure (one
    // log line) the thread is left as clearCurrent leaves it.
    bool makeCurrent();
    // Leaves the calling thread with no current context and lets go of
    // what SDL keeps for it: call it when the thread is done with GL.
    void clearCurrent();

private:
    friend class Display;
    SharedGLContext(SDL_Window* w, SDL_GLContext c) : window_(w), context_(c) {}
    SDL_Window* window_;
    SDL_GLContext context_;
};

// Where a presented frame is drawn: a viewport of a framebuffer, in
// pixels with GL's y up, showing the whole interface.
struct PresentationTarget {
    int x = 0, y = 0, width = 0, height = 0;
    float pointScale = 1;    // target pixels per interface point
    float contentScale = 1;  // pixels per point at which overlay content is rasterised
    bool hasStencil = false;
};

// Whether the calling thread has a GL context current (the display's main
// one or a shared one): GL objects can only be made or deleted with one,
// and a view released after the display closed has none.
bool isGLContextCurrent();

class Display {
public:
    static Display& shared();

    // Opens the window and the main GL ES 1.1 context. The portrait surface
    // is `surfaceW` x `surfaceH` pixels.
    bool open(bool headless, int surfaceW, int surfaceH, float scale);
    void close();
    bool isOpen() const { return window_ != nullptr; }
    bool isHeadless() const { return headless_; }
    SDL_Window* window() const { return window_; }
    SDL_GLContext mainContext() const { return context_; }
    // A context sharing objects with the main one (main thread only);
    // nullptr and a log line when the GL cannot make one.
    std::unique_ptr<SharedGLContext> createSharedContext();

    // The colour storage of the GL surface: a texture attached to the bound
    // framebuffer as colour attachment 0. Returns false on failure.
    bool attachColorStorage(bool rgb565, int* width, int* height);
    GLuint colorTexture() const { return colorTexture_; }

    // Presents the surface turned to the interface orientation.
    void present(InterfaceOrientation orientation);
    unsigned long framesPresented() const { return framesPresented_; }
    void setPresentHook(std::function<void(unsigned long)> hook) { presentHook_ = std::move(hook); }
    // Called after the engine's picture is drawn, for each target: overlay
    // views draw here, in interface coordinates (points, y down).
    void setOverlayDrawer(std::function<void(const PresentationTarget&)> d) { overlay_ = std::move(d); }
    // Makes the present of frame `n` (counted from 1) also draw the capture
    // target, so that a screenshot taken after it shows exactly that frame.
    void captureAtFrame(unsigned long n) { captureAtFrame_ = n; }

    // The last presented frame as the player sees it: RGBA rows, top first,
    // interfaceWidth() x interfaceHeight() pixels. In a window the capture
    // target is drawn anew from the last frame when that frame was not
    // captured.
    bool readPresentedPixels(std::vector<unsigned char>* rgba);
    bool writeScreenshot(const std::string& path);
    void toggleFullscreen();
    bool isFullscreen() const;
    // Maps a window pixel to a point of the interface (landscape) view.
    bool windowToInterface(int wx, int wy, float* ix, float* iy) const;
    int interfaceWidth() const { return captureW_; }
    int interfaceHeight() const { return captureH_; }
    // Where the window shows the interface now: the letterboxed viewport.
    PresentationTarget windowTarget() const;

private:
    PresentationTarget captureTarget() const;
    float overlayContentScale() const;
    void drawPresentation(GLuint framebuffer, const PresentationTarget& target, bool clearBars);
    void drawSurfaceTurned(float magnification);
    void createCaptureTarget();
    void attachCaptureStencil();

    SDL_Window* window_ = nullptr;
    SDL_GLContext context_ = nullptr;
    bool headless_ = false;
    bool windowHasStencil_ = false;
    int surfaceW_ = 0, surfaceH_ = 0;
    float scale_ = 1;
    GLuint colorTexture_ = 0;
    GLint colorFilter_ = 0;  // the colour texture's filters, set when the magnification changes
    GLuint captureFbo_ = 0, captureTexture_ = 0, captureStencil_ = 0;
    int captureW_ = 0, captureH_ = 0;  // interface pixels
    InterfaceOrientation orientation_ = InterfaceOrientation::LandscapeRight;
    GLfloat turnedTexCoords_[8] = {};  // the surface's texels at the viewport's corners
    unsigned long framesPresented_ = 0;
    unsigned long capturedFrame_ = 0;  // the frame the capture target holds
    unsigned long captureAtFrame_ = 0;
    std::function<void(unsigned long)> presentHook_;
    std::function<void(const PresentationTarget&)> overlay_;
};

bool writePNG(const std::string& path, const unsigned char* rgba, int w, int h);

}  // namespace host
