// Draws the overlay tree with GL ES 1.1 in the display's overlay hook:
// after the engine's frame, into the window's letterboxed viewport or the
// landscape capture target, in interface points times that target's scale.
//
// Each view's own content (what its drawRect draws: text, images,
// gradients) is rasterised once into a texture kept with the view and
// drawn again only when the content changes (setNeedsDisplay, a new size
// or scale); plain backgrounds are coloured quads, rounded ones a cached
// coverage texture tinted with the colour, so background colours can
// animate without redrawing. Transforms and alpha are applied when
// compositing. clipsToBounds cuts subviews to the view's (rounded) shape
// with the stencil buffer, or to a scissor box where the shape is an
// upright rectangle. A view in a flip or curl transition is drawn from
// its captured old content and its live new content, rendered offscreen
// each frame. Steady frames allocate nothing.
#pragma once

#include <cstdint>
#include <vector>

#include "host/display/Display.h"
#include "host/ui/OverlayTexture.h"
#include "host/ui/View.h"

namespace host {

struct ActiveTransition;

// What the renderer keeps for a view between frames.
struct ViewBacking {
    GLTexture content;  // what drawRect drew; empty when it drew nothing
    GLTexture shape;    // the rounded background's coverage, in white
    unsigned long version = 0;
    int pixelWidth = 0, pixelHeight = 0;
    float scale = 0;
    float shapeRadius = 0;
    int shapeWidth = 0, shapeHeight = 0;
};

class OverlayRenderer {
public:
    static OverlayRenderer& shared();

    // Makes the key window's overlay tree draw over every presented frame.
    void attachToDisplay();
    // Draws `window`'s overlay tree into the bound framebuffer, in the
    // viewport `target` gives (interface points, y down).
    void drawWindow(Window* window, const PresentationTarget& target);
    // Renders `view`'s content and subviews in its own coordinates (not its
    // position, transform or alpha) into `target`, at the screen's scale.
    // False without a GL context or when the GL cannot make the target.
    bool captureSubtree(View* view, RenderTexture* target);

    // How many times views' content has been drawn so far: steady frames
    // leave it unchanged.
    unsigned long contentRenders() const { return contentRenders_; }

private:
    struct Target {
        int originX = 0, originY = 0;  // the viewport's corner in the framebuffer
        int pixelWidth = 0, pixelHeight = 0;
        float scale = 1;         // pixels per point on the target
        float contentScale = 1;  // pixels per point of the views' rasterised content
        bool yDown = true;     // point y 0 at the top row (the presentation)
        bool hasStencil = false;
    };
    struct Clip {
        bool usesStencil;
        bool hadScissor;
        GLint previousBox[4];
    };
    static constexpr int kMaxClips = 32;
    static constexpr int kMaxVertices = 96;

    OverlayRenderer() = default;
    void beginPass();
    void endPass();
    void drawView(View* v, const CGAffineTransform& toTarget, float alpha);
    void drawViewBody(View* v, const View::Geometry& g, const CGAffineTransform& m, float alpha);
    void drawBackground(View* v, const View::Geometry& g, const CGAffineTransform& m, float alpha);
    void updateBacking(View* v);
    int maxTextureSide();
    void drawTransition(ActiveTransition& t, const View::Geometry& g, const CGAffineTransform& m, float alpha);
    void drawFlip(ActiveTransition& t, const View::Geometry& g, const CGAffineTransform& m, float alpha);
    void drawCurl(ActiveTransition& t, const View::Geometry& g, const CGAffineTransform& m, float alpha);
    void renderLiveTransitions();

    void pushClip(const CGAffineTransform& m, CGRect r, float radius);
    void popClip(const CGAffineTransform& m, CGRect r, float radius);
    void drawClipShape(const CGAffineTransform& m, CGRect r, float radius);
    void scissorTo(const CGAffineTransform& m, CGRect r);

    // Quads: `texture` 0 draws the colour alone (premultiplied).
    void drawQuad(const CGAffineTransform& m, CGRect r, GLuint texture, float maxU, float maxV, const Color& c);
    void setTexturing(bool on);
    void submit(GLenum mode, int count, int positionSize, bool textured, bool coloured);

    Target target_;
    int stencilDepth_ = 0;
    bool stencilCleared_ = false;
    bool scissorOn_ = false;
    GLint scissorBox_[4] = {0, 0, 0, 0};
    Clip clips_[kMaxClips];
    int clipCount_ = 0;
    bool texturing_ = false;

    std::vector<uint8_t> scratch_;
    GLfloat positions_[kMaxVertices * 4] = {};
    GLfloat uvs_[kMaxVertices * 2] = {};
    GLfloat colors_[kMaxVertices * 4] = {};
    unsigned long contentRenders_ = 0;
    int maxTextureSide_ = 0;  // of the GL, asked once
};

}  // namespace host
