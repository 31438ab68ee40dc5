#include "host/ui/OverlayRenderer.h"


#include <algorithm>
#include <cmath>

#include "host/core/Clock.h"
#include "host/core/Device.h"
#include "host/core/Log.h"
#include "host/display/Display.h"
#include "host/display/GLStateSnapshot.h"
#include "host/graphics/DrawingContext.h"
#include "host/ui/TouchRouter.h"
#include "host/ui/ViewAnimation.h"
#include "host/ui/ViewTransitionGeometry.h"
#include "host/ui/Window.h"

namespace host {

namespace {

constexpr float kPi = 3.14159265358979f;
constexpr float kMinVisibleAlpha = 1.0f / 512;
// Corner segments of a rounded clip shape.
constexpr int kCornerSegments = 6;
const Color kPaper{0.95f, 0.95f, 0.93f, 1};

Color premultiplied(const Color& c, float alpha) {
    const float a = c.a * alpha;
    return Color{c.r * a, c.g * a, c.b * a, a};
}

CGAffineTransform localToParent(const View::Geometry& g) {
    const CGSize s = g.bounds.size;
    CGAffineTransform t = CGAffineTransformMakeTranslation(-g.bounds.origin.x - s.width / 2,
                                                           -g.bounds.origin.y - s.height / 2);
    t = CGAffineTransformConcat(t, g.transform);
    return CGAffineTransformConcat(t, CGAffineTransformMakeTranslation(g.center.x, g.center.y));
}

bool isUpright(const CGAffineTransform& m) { return std::fabs(m.b) < 1e-6f && std::fabs(m.c) < 1e-6f; }

int pixelsFor(float points, float scale) { return std::max(1, int(std::ceil(points * scale - 0.01f))); }

}  // namespace

OverlayRenderer& OverlayRenderer::shared() {
    static OverlayRenderer renderer;
    return renderer;
}

void OverlayRenderer::attachToDisplay() {
    Display::shared().setOverlayDrawer(
        [this](const PresentationTarget& target) { drawWindow(Window::keyWindow(), target); });
}

// ---- passes ------------------------------------------------------------------------

void OverlayRenderer::beginPass() {
    glViewport(target_.originX, target_.originY, target_.pixelWidth, target_.pixelHeight);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ONE_MINUS_SRC_ALPHA);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_SCISSOR_TEST);
    glDisable(GL_STENCIL_TEST);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glEnableClientState(GL_VERTEX_ARRAY);
    glDisableClientState(GL_COLOR_ARRAY);
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    glDisable(GL_TEXTURE_2D);
    texturing_ = false;
    stencilDepth_ = 0;
    stencilCleared_ = false;
    scissorOn_ = false;
    clipCount_ = 0;
}

void OverlayRenderer::endPass() {
    glDisable(GL_STENCIL_TEST);
    glStencilFunc(GL_ALWAYS, 0, 0xFF);
    glStencilOp(GL_KEEP, GL_KEEP, GL_KEEP);
    glDisable(GL_SCISSOR_TEST);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glDisableClientState(GL_COLOR_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glEnable(GL_TEXTURE_2D);
    glColor4f(1, 1, 1, 1);
}

void OverlayRenderer::drawWindow(Window* window, const PresentationTarget& target) {
    if (!window || window->isHidden() || target.width <= 0 || target.height <= 0 || target.pointScale <= 0) return;
    // What is on screen now, before the animator's next tick delivers.
    ViewAnimator::shared().advance(Clock::now(), false);
    renderLiveTransitions();

    target_ = Target{target.x,          target.y, target.width, target.height, target.pointScale,
                     target.contentScale > 0 ? target.contentScale : target.pointScale, true, target.hasStencil};
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrthof(0, float(target.width) / target_.scale, float(target.height) / target_.scale, 0, -1, 1);
    beginPass();
    const CGAffineTransform identity = CGAffineTransformIdentity;
    const auto& views = window->subviews();
    for (size_t i = 0; i < views.size(); ++i) drawView(views[i].get(), identity, 1);
    drawView(window->presentationLayer(), identity, 1);
    drawView(window->alertLayer(), identity, 1);
    endPass();
}

bool OverlayRenderer::captureSubtree(View* view, RenderTexture* target) {
    if (!view || !target || !isGLContextCurrent() || !gl().bindFramebuffer) return false;
    const float scale = Device::current().screenScale();
    const View::Geometry g = view->presentation();
    const CGRect b = view->bounds();
    if (b.size.width <= 0 || b.size.height <= 0) return false;
    const int pw = pixelsFor(b.size.width, scale), ph = pixelsFor(b.size.height, scale);
    if (!target->prepare(pw, ph)) return false;

    GLStateSnapshot saved;
    // A capture may come in the middle of a pass: keep its clip state.
    const Target outerTarget = target_;
    const int outerDepth = stencilDepth_, outerClips = clipCount_;
    const bool outerCleared = stencilCleared_, outerScissor = scissorOn_;
    GLint outerBox[4];
    std::copy(scissorBox_, scissorBox_ + 4, outerBox);

    target_ = Target{0, 0, pw, ph, scale, scale, false, target->hasStencil()};
    gl().bindFramebuffer(GL_FRAMEBUFFER_OES, target->framebuffer());
    glViewport(0, 0, pw, ph);
    glClearColor(0, 0, 0, 0);
    glClearStencil(0);
    glStencilMask(0xFF);
    glClear(GL_COLOR_BUFFER_BIT | (target->hasStencil() ? GL_STENCIL_BUFFER_BIT : 0));
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    // Row 0 is the view's top edge.
    glOrthof(b.origin.x, b.origin.x + b.size.width, b.origin.y, b.origin.y + b.size.height, -1, 1);
    beginPass();
    stencilCleared_ = true;
    View::Geometry root = g;
    root.bounds = b;
    drawViewBody(view, root, CGAffineTransformIdentity, 1);
    endPass();

    target_ = outerTarget;
    stencilDepth_ = outerDepth;
    clipCount_ = outerClips;
    stencilCleared_ = outerCleared;
    scissorOn_ = outerScissor;
    std::copy(outerBox, outerBox + 4, scissorBox_);
    return true;
}

void OverlayRenderer::renderLiveTransitions() {
    for (ActiveTransition* t : ViewAnimator::shared().transitions()) {
        const bool flip = t->kind == kAnimationTransitionFlipFromLeft || t->kind == kAnimationTransitionFlipFromRight;
        // A flip shows the new content only in its second half.
        if (flip && t->progress < 0.5f) continue;
        captureSubtree(t->view.get(), &t->after);
    }
}

// ---- views ----------------------------------------------------------------------------

void OverlayRenderer::drawView(View* v, const CGAffineTransform& toTarget, float alpha) {
    if (!v || v->isHidden()) return;
    if (isSurfaceView(v)) {
        // The engine's frame is already there; its subviews are overlays.
        const auto& views = v->subviews();
        for (size_t i = 0; i < views.size(); ++i) drawView(views[i].get(), toTarget, alpha);
        return;
    }
    const View::Geometry g = v->presentation();
    const float a = alpha * g.alpha;
    if (a < kMinVisibleAlpha) return;
    const CGAffineTransform m = CGAffineTransformConcat(localToParent(g), toTarget);
    if (v->transition_) {
        drawTransition(*v->transition_, g, m, a);
        return;
    }
    drawViewBody(v, g, m, a);
}

void OverlayRenderer::drawViewBody(View* v, const View::Geometry& g, const CGAffineTransform& m, float alpha) {
    drawBackground(v, g, m, alpha);
    updateBacking(v);
    const ViewBacking& b = *v->backing_;
    if (b.content.isValid())
        drawQuad(m, g.bounds, b.content.id(), b.content.maxU(), b.content.maxV(), Color{alpha, alpha, alpha, alpha});
    const auto& views = v->subviews();
    if (views.empty()) return;
    const bool clip = v->clipsToBounds();
    if (clip) pushClip(m, g.bounds, v->cornerRadius());
    for (size_t i = 0; i < views.size(); ++i) drawView(views[i].get(), m, alpha);
    if (clip) popClip(m, g.bounds, v->cornerRadius());
}

void OverlayRenderer::drawBackground(View* v, const View::Geometry& g, const CGAffineTransform& m, float alpha) {
    if (g.backgroundColor.isClear()) return;
    const Color c = premultiplied(g.backgroundColor, alpha);
    if (v->cornerRadius() <= 0) {
        drawQuad(m, g.bounds, 0, 0, 0, c);
        return;
    }
    updateBacking(v);
    const ViewBacking& b = *v->backing_;
    if (b.shape.isValid()) drawQuad(m, g.bounds, b.shape.id(), b.shape.maxU(), b.shape.maxV(), c);
}

int OverlayRenderer::maxTextureSide() {
    if (maxTextureSide_ == 0) {
        GLint side = 0;
        glGetIntegerv(GL_MAX_TEXTURE_SIZE, &side);
        maxTextureSide_ = side > 0 ? side : 2048;
    }
    return maxTextureSide_;
}

void OverlayRenderer::updateBacking(View* v) {
    if (!v->backing_) v->backing_ = std::make_unique<ViewBacking>();
    ViewBacking& b = *v->backing_;
    const CGSize size = v->bounds().size;
    const float scale = target_.contentScale;
    const int pw = pixelsFor(size.width, scale), ph = pixelsFor(size.height, scale);
    bool sized = size.width > 0 && size.height > 0;
    if (sized && (pw > maxTextureSide() || ph > maxTextureSide())) {
        // Larger than any texture: no bitmap is made for it at all.
        if (b.pixelWidth != pw || b.pixelHeight != ph)
            log("overlay: a %s of %d x %d pixels is too large to draw its content", v->className().c_str(), pw, ph);
        sized = false;
    }

    const float radius = v->cornerRadius();
    if (radius <= 0 || !sized) {
        b.shape.reset();
    } else if (b.shapeRadius != radius || b.shapeWidth != pw || b.shapeHeight != ph || !b.shape.isValid()) {
        DrawingContext ctx(&scratch_, pw, ph, scale);
        ctx.fillRoundedRect(CGRectMake(0, 0, size.width, size.height), radius, Color::whiteColor());
        b.shape.upload(ctx.pixels(), pw, ph);
        b.shapeRadius = radius;
        b.shapeWidth = pw;
        b.shapeHeight = ph;
    }

    if (b.version == v->contentVersion() && b.pixelWidth == pw && b.pixelHeight == ph && b.scale == scale) return;
    // Recorded first: a drawRect that asks for display again draws next frame.
    b.version = v->contentVersion();
    b.pixelWidth = pw;
    b.pixelHeight = ph;
    b.scale = scale;
    ++contentRenders_;
    if (!sized) {
        b.content.reset();
        return;
    }
    DrawingContext ctx(&scratch_, pw, ph, scale);
    const CGRect bounds = CGRectMake(0, 0, size.width, size.height);
    v->drawRect(ctx, bounds);
    if (!ctx.hasDrawn()) {
        b.content.reset();
        return;
    }
    if (v->clipsToBounds() && radius > 0) ctx.maskToRoundedRect(bounds, radius);
    if (!b.content.upload(ctx.pixels(), pw, ph)) b.content.reset();
}

// ---- transitions ----------------------------------------------------------------------------

void OverlayRenderer::drawTransition(ActiveTransition& t, const View::Geometry& g, const CGAffineTransform& m,
                                     float alpha) {
    if (t.kind == kAnimationTransitionCurlUp || t.kind == kAnimationTransitionCurlDown)
        drawCurl(t, g, m, alpha);
    else
        drawFlip(t, g, m, alpha);
}

void OverlayRenderer::drawFlip(ActiveTransition& t, const View::Geometry& g, const CGAffineTransform& m, float alpha) {
    const FlipFace face = flipFaceAt(t.kind, t.progress);
    const RenderTexture& tex = face.showsNewContent ? t.after : t.before;
    if (!tex.isValid()) return;
    const CGRect b = g.bounds;
    const float cx = b.origin.x + b.size.width / 2, cy = b.origin.y + b.size.height / 2;
    const float eye = flipEyeDistance(b.size.width);
    const float xs[4] = {b.origin.x, b.origin.x + b.size.width, b.origin.x, b.origin.x + b.size.width};
    const float ys[4] = {b.origin.y, b.origin.y, b.origin.y + b.size.height, b.origin.y + b.size.height};
    const float us[4] = {0, tex.maxU(), 0, tex.maxU()};
    const float vs[4] = {0, 0, tex.maxV(), tex.maxV()};
    for (int i = 0; i < 4; ++i) {
        const ProjectedPoint p = projectFlipPoint(xs[i], ys[i], cx, cy, face.angle, eye);
        const CGPoint s = CGPointApplyAffineTransform(CGPointMake(p.x, p.y), m);
        positions_[i * 4 + 0] = s.x * p.w;
        positions_[i * 4 + 1] = s.y * p.w;
        positions_[i * 4 + 2] = 0;
        positions_[i * 4 + 3] = p.w;
        uvs_[i * 2] = us[i];
        uvs_[i * 2 + 1] = vs[i];
    }
    setTexturing(true);
    glBindTexture(GL_TEXTURE_2D, tex.texture());
    const float k = alpha * face.shade;
    glColor4f(k, k, k, alpha);
    submit(GL_TRIANGLE_STRIP, 4, 4, true, false);
}

void OverlayRenderer::drawCurl(ActiveTransition& t, const View::Geometry& g, const CGAffineTransform& m, float alpha) {
    const CurlLayout layout = curlLayoutAt(t.kind, t.progress);
    const RenderTexture& page = layout.pageIsOldContent ? t.before : t.after;
    const RenderTexture& under = layout.pageIsOldContent ? t.after : t.before;
    const CGRect b = g.bounds;
    const float h = b.size.height;
    const float radius = curlRadius(h);
    // The page never leaves the view's own rectangle.
    pushClip(m, b, 0);
    if (under.isValid()) drawQuad(m, b, under.texture(), under.maxU(), under.maxV(), Color{alpha, alpha, alpha, alpha});

    CurlRow rows[kMaxCurlRows];
    const int n = page.isValid() && layout.roll < 1 ? curlRows(h, layout.roll, radius, rows) : 0;
    // A soft shadow the roll casts on what it uncovers, below its lowest
    // point.
    if (n > 0 && layout.roll > 0) {
        float lowest = 0;
        for (int i = 0; i < n; ++i) lowest = std::max(lowest, rows[i].screenY);
        const float top = b.origin.y + lowest, depth = std::min(14.0f, h * 0.3f);
        const float shadow = 0.35f * alpha;
        const CGPoint corners[4] = {{b.origin.x, top}, {b.origin.x + b.size.width, top},
                                    {b.origin.x, top + depth}, {b.origin.x + b.size.width, top + depth}};
        for (int i = 0; i < 4; ++i) {
            const CGPoint s = CGPointApplyAffineTransform(corners[i], m);
            positions_[i * 2] = s.x;
            positions_[i * 2 + 1] = s.y;
            const float a = i < 2 ? shadow : 0;
            colors_[i * 4 + 0] = colors_[i * 4 + 1] = colors_[i * 4 + 2] = 0;
            colors_[i * 4 + 3] = a;
        }
        setTexturing(false);
        submit(GL_TRIANGLE_STRIP, 4, 2, false, true);
    }

    if (n > 1) {
        // The strips facing the viewer come first, then those showing the
        // page's back; each batch is one triangle strip.
        int firstBack = n - 1;  // the row where the back's strips begin
        for (int i = 1; i < n; ++i)
            if (rows[i].back) { firstBack = i - 1; break; }
        auto strip = [&](int from, int to, float rgbScale, float alphaScale, bool textured, const Color* tint) {
            int count = 0;
            for (int i = from; i <= to && count + 2 <= kMaxVertices; ++i) {
                const CurlRow& r = rows[i];
                const float y = b.origin.y + r.screenY;
                const CGPoint left = CGPointApplyAffineTransform(CGPointMake(b.origin.x, y), m);
                const CGPoint right = CGPointApplyAffineTransform(CGPointMake(b.origin.x + b.size.width, y), m);
                const float v = r.pageY / h * page.maxV();
                const CGPoint ends[2] = {left, right};
                for (int e = 0; e < 2; ++e, ++count) {
                    positions_[count * 2] = ends[e].x;
                    positions_[count * 2 + 1] = ends[e].y;
                    uvs_[count * 2] = e ? page.maxU() : 0;
                    uvs_[count * 2 + 1] = v;
                    const float a = alpha * alphaScale;
                    const float k = r.shade * a * rgbScale;
                    colors_[count * 4 + 0] = tint ? tint->r * k : k;
                    colors_[count * 4 + 1] = tint ? tint->g * k : k;
                    colors_[count * 4 + 2] = tint ? tint->b * k : k;
                    colors_[count * 4 + 3] = a;
                }
            }
            if (count < 4) return;
            setTexturing(textured);
            if (textured) glBindTexture(GL_TEXTURE_2D, page.texture());
            submit(GL_TRIANGLE_STRIP, count, 2, textured, true);
        };
        if (firstBack > 0) strip(0, firstBack, 1, 1, true, nullptr);
        if (firstBack < n - 1) {
            // The back is paper with the content faintly showing through.
            strip(firstBack, n - 1, 1, 1, false, &kPaper);
            strip(firstBack, n - 1, 1, 0.18f, true, nullptr);
        }
    }
    popClip(m, b, 0);
}

// ---- clipping --------------------------------------------------------------------------------

void OverlayRenderer::scissorTo(const CGAffineTransform& m, CGRect r) {
    const CGRect box = CGRectApplyAffineTransform(r, m);
    const float s = target_.scale;
    int x0 = int(std::floor(box.origin.x * s + 0.001f)), x1 = int(std::ceil((box.origin.x + box.size.width) * s - 0.001f));
    int y0, y1;
    if (target_.yDown) {
        y0 = target_.pixelHeight - int(std::ceil((box.origin.y + box.size.height) * s - 0.001f));
        y1 = target_.pixelHeight - int(std::floor(box.origin.y * s + 0.001f));
    } else {
        y0 = int(std::floor(box.origin.y * s + 0.001f));
        y1 = int(std::ceil((box.origin.y + box.size.height) * s - 0.001f));
    }
    // Boxes are in framebuffer pixels; the target may be a viewport inside it.
    x0 += target_.originX;
    x1 += target_.originX;
    y0 += target_.originY;
    y1 += target_.originY;
    if (scissorOn_) {
        x0 = std::max(x0, int(scissorBox_[0]));
        y0 = std::max(y0, int(scissorBox_[1]));
        x1 = std::min(x1, int(scissorBox_[0] + scissorBox_[2]));
        y1 = std::min(y1, int(scissorBox_[1] + scissorBox_[3]));
    }
    scissorBox_[0] = x0;
    scissorBox_[1] = y0;
    scissorBox_[2] = std::max(0, x1 - x0);
    scissorBox_[3] = std::max(0, y1 - y0);
    glScissor(scissorBox_[0], scissorBox_[1], scissorBox_[2], scissorBox_[3]);
    glEnable(GL_SCISSOR_TEST);
    scissorOn_ = true;
}

void OverlayRenderer::drawClipShape(const CGAffineTransform& m, CGRect r, float radius) {
    radius = std::min(radius, std::min(r.size.width, r.size.height) / 2);
    int n = 0;
    auto put = [&](float x, float y) {
        const CGPoint p = CGPointApplyAffineTransform(CGPointMake(x, y), m);
        positions_[n * 2] = p.x;
        positions_[n * 2 + 1] = p.y;
        ++n;
    };
    put(r.origin.x + r.size.width / 2, r.origin.y + r.size.height / 2);
    const float x0 = r.origin.x + radius, x1 = r.origin.x + r.size.width - radius;
    const float y0 = r.origin.y + radius, y1 = r.origin.y + r.size.height - radius;
    // Corners clockwise on screen (y down): top left, top right, bottom
    // right, bottom left, each from its start angle through 90 degrees.
    const float cxs[4] = {x0, x1, x1, x0}, cys[4] = {y0, y0, y1, y1};
    for (int corner = 0; corner < 4; ++corner) {
        const float start = kPi + corner * kPi / 2;
        const int steps = radius > 0 ? kCornerSegments : 0;
        for (int k = 0; k <= steps; ++k) {
            const float a = start + (steps ? float(k) / float(steps) : 0) * kPi / 2;
            put(cxs[corner] + radius * std::cos(a), cys[corner] + radius * std::sin(a));
        }
    }
    // Close the fan on its first edge point.
    positions_[n * 2] = positions_[2];
    positions_[n * 2 + 1] = positions_[3];
    ++n;
    setTexturing(false);
    submit(GL_TRIANGLE_FAN, n, 2, false, false);
}

void OverlayRenderer::pushClip(const CGAffineTransform& m, CGRect r, float radius) {
    if (clipCount_ == kMaxClips) {
        ++clipCount_;  // counted so the matching pop balances; too deep to clip
        return;
    }
    Clip& c = clips_[clipCount_++];
    c.hadScissor = scissorOn_;
    std::copy(scissorBox_, scissorBox_ + 4, c.previousBox);
    c.usesStencil = target_.hasStencil && !(radius <= 0 && isUpright(m));
    if (!c.usesStencil) {
        scissorTo(m, r);
        return;
    }
    if (!stencilCleared_) {
        glClearStencil(0);
        glStencilMask(0xFF);
        glClear(GL_STENCIL_BUFFER_BIT);
        stencilCleared_ = true;
    }
    glEnable(GL_STENCIL_TEST);
    glColorMask(GL_FALSE, GL_FALSE, GL_FALSE, GL_FALSE);
    glStencilFunc(GL_EQUAL, stencilDepth_, 0xFF);
    glStencilOp(GL_KEEP, GL_KEEP, GL_INCR);
    drawClipShape(m, r, radius);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    ++stencilDepth_;
    glStencilFunc(GL_EQUAL, stencilDepth_, 0xFF);
    glStencilOp(GL_KEEP, GL_KEEP, GL_KEEP);
}

void OverlayRenderer::popClip(const CGAffineTransform& m, CGRect r, float radius) {
    if (clipCount_ == 0) return;
    if (clipCount_-- > kMaxClips) return;
    const Clip& c = clips_[clipCount_];
    if (c.usesStencil) {
        glColorMask(GL_FALSE, GL_FALSE, GL_FALSE, GL_FALSE);
        glStencilFunc(GL_EQUAL, stencilDepth_, 0xFF);
        glStencilOp(GL_KEEP, GL_KEEP, GL_DECR);
        drawClipShape(m, r, radius);
        glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
        --stencilDepth_;
        glStencilFunc(GL_EQUAL, stencilDepth_, 0xFF);
        glStencilOp(GL_KEEP, GL_KEEP, GL_KEEP);
        if (stencilDepth_ == 0) glDisable(GL_STENCIL_TEST);
        return;
    }
    scissorOn_ = c.hadScissor;
    std::copy(c.previousBox, c.previousBox + 4, scissorBox_);
    if (scissorOn_) {
        glScissor(scissorBox_[0], scissorBox_[1], scissorBox_[2], scissorBox_[3]);
    } else {
        glDisable(GL_SCISSOR_TEST);
    }
}

// ---- quads -----------------------------------------------------------------------------------

void OverlayRenderer::setTexturing(bool on) {
    if (on == texturing_) return;
    on ? glEnable(GL_TEXTURE_2D) : glDisable(GL_TEXTURE_2D);
    texturing_ = on;
}

void OverlayRenderer::submit(GLenum mode, int count, int positionSize, bool textured, bool coloured) {
    glVertexPointer(positionSize, GL_FLOAT, 0, positions_);
    if (textured) {
        glEnableClientState(GL_TEXTURE_COORD_ARRAY);
        glTexCoordPointer(2, GL_FLOAT, 0, uvs_);
    } else {
        glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    }
    if (coloured) {
        glEnableClientState(GL_COLOR_ARRAY);
        glColorPointer(4, GL_FLOAT, 0, colors_);
    }
    glDrawArrays(mode, 0, count);
    if (coloured) glDisableClientState(GL_COLOR_ARRAY);
}

void OverlayRenderer::drawQuad(const CGAffineTransform& m, CGRect r, GLuint texture, float maxU, float maxV,
                               const Color& c) {
    const float x0 = r.origin.x, y0 = r.origin.y, x1 = x0 + r.size.width, y1 = y0 + r.size.height;
    const CGPoint corners[4] = {{x0, y0}, {x1, y0}, {x0, y1}, {x1, y1}};
    for (int i = 0; i < 4; ++i) {
        const CGPoint p = CGPointApplyAffineTransform(corners[i], m);
        positions_[i * 2] = p.x;
        positions_[i * 2 + 1] = p.y;
    }
    const float uv[8] = {0, 0, maxU, 0, 0, maxV, maxU, maxV};
    std::copy(uv, uv + 8, uvs_);
    setTexturing(texture != 0);
    if (texture) glBindTexture(GL_TEXTURE_2D, texture);
    glColor4f(c.r, c.g, c.b, c.a);
    submit(GL_TRIANGLE_STRIP, 4, 2, texture != 0, false);
}

}  // namespace host
