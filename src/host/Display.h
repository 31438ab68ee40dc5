// The window and the presentation of the portrait GL surface.
//
// The engine draws into a framebuffer object the size of the portrait
// device surface. Presenting turns that image to the interface orientation
// into a landscape presentation target (what the player sees, and what a
// screenshot records), then scales it, aspect kept, into the window.
#pragma once

#include <SDL2/SDL.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "host/GLES.h"

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
    // Makes this context current on the calling thread.
    bool makeCurrent();
    // Leaves the calling thread with no current context.
    void clearCurrent();

private:
    friend class Display;
    SharedGLContext(SDL_Window* w, SDL_GLContext c) : window_(w), context_(c) {}
    SDL_Window* window_;
    SDL_GLContext context_;
};

class Display {
public:
    static Display& shared();

    // Opens the window and the main GL ES 1.1 context. The portrait surface
    // is `surfaceW` x `surfaceH` pixels.
    bool open(bool headless, int surfaceW, int surfaceH, float scale);
    void close();
    bool isOpen() const { return window_ != nullptr; }
    SDL_Window* window() const { return window_; }
    SDL_GLContext mainContext() const { return context_; }
    // A context sharing objects with the main one (main thread only);
    // nullptr and a log line when the GL cannot make one.
    std::unique_ptr<SharedGLContext> createSharedContext();

    // The colour storage of the GL surface: a texture attached to the bound
    // framebuffer as colour attachment 0. Returns false on failure.
    bool attachColorStorage(bool rgb565, int* width, int* height);
    GLuint colorTexture() const { return colorTexture_; }

    // Presents the surface turned to `orientation` (1 to 4).
    void present(int orientation);
    unsigned long framesPresented() const { return framesPresented_; }
    void setPresentHook(std::function<void(unsigned long)> hook) { presentHook_ = std::move(hook); }
    // Called after the engine frame, before the window present: overlay
    // views draw here, in interface coordinates (points, y down).
    void setOverlayDrawer(std::function<void(int w, int h, float scale)> d) { overlay_ = std::move(d); }

    // Whether the presentation target has a stencil buffer (overlay views
    // clip their subviews with it).
    bool presentationHasStencil() const { return presentStencil_ != 0; }
    // The last presented frame as the player sees it: RGBA rows, top first,
    // interfaceWidth() x interfaceHeight() pixels.
    bool readPresentedPixels(std::vector<unsigned char>* rgba);
    bool writeScreenshot(const std::string& path);
    void toggleFullscreen();
    // Maps a window pixel to a point of the interface (landscape) view.
    bool windowToInterface(int wx, int wy, float* ix, float* iy) const;
    int interfaceWidth() const { return presentW_; }
    int interfaceHeight() const { return presentH_; }

private:
    void drawTexturedQuad(GLuint tex, const GLfloat* verts, const GLfloat* uvs);
    void letterbox(int* x, int* y, int* w, int* h) const;
    void attachPresentStencil();

    SDL_Window* window_ = nullptr;
    SDL_GLContext context_ = nullptr;
    int surfaceW_ = 0, surfaceH_ = 0;
    float scale_ = 1;
    GLuint colorTexture_ = 0;
    GLuint presentFbo_ = 0, presentTexture_ = 0, presentStencil_ = 0;
    int presentW_ = 0, presentH_ = 0;  // interface pixels
    unsigned long framesPresented_ = 0;
    std::function<void(unsigned long)> presentHook_;
    std::function<void(int, int, float)> overlay_;
};

bool writePNG(const std::string& path, const unsigned char* rgba, int w, int h);

}  // namespace host
