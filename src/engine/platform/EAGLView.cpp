#include "engine/platform/EAGLView.h"

#include "engine/CCConfiguration.h"
#include "engine/CCDirector.h"
#include "host/core/Application.h"
#include "host/core/RunLoop.h"
#include "host/display/Display.h"
#include "host/ui/TouchRouter.h"

EAGLView* EAGLView::viewWithFrame(CGRect frame) {
    return viewWithFrame(frame, kEAGLColorFormatRGB565, 0, false, nullptr, false, 0);
}
EAGLView* EAGLView::viewWithFrame(CGRect frame, const std::string& format) {
    return viewWithFrame(frame, format, 0, false, nullptr, false, 0);
}
EAGLView* EAGLView::viewWithFrame(CGRect frame, const std::string& format, unsigned depth) {
    return viewWithFrame(frame, format, depth, false, nullptr, false, 0);
}
EAGLView* EAGLView::viewWithFrame(CGRect frame, const std::string& format, unsigned depth, bool retained,
                                  void* sharegroup, bool multisampling, unsigned samples) {
    return host::create<EAGLView>([&](EAGLView* v) {
        return v->initWithFrame(frame, format, depth, retained, sharegroup, multisampling, samples);
    });
}

bool EAGLView::initWithFrame(CGRect frame) {
    return initWithFrame(frame, kEAGLColorFormatRGB565, 0, false, nullptr, false, 0);
}
bool EAGLView::initWithFrame(CGRect frame, const std::string& format) {
    return initWithFrame(frame, format, 0, false, nullptr, false, 0);
}

bool EAGLView::initWithFrame(CGRect frame, const std::string& format, unsigned depth, bool retained,
                             void* sharegroup, bool multisampling, unsigned samples) {
    if (!View::initWithFrame(frame)) return false;
    pixelformat_ = format;
    depthFormat_ = depth;
    preserveBackbuffer_ = retained;
    multiSampling_ = multisampling;
    requestedSamples_ = samples;
    if (!setupSurfaceWithSharegroup(sharegroup)) return false;
    // Touches outside every overlay view reach the GL view.
    host::TouchRouter::shared().setTouchView(this);
    return true;
}

unsigned EAGLView::convertPixelFormat(const std::string& name) {
    return name == kEAGLColorFormatRGB565 ? GL_RGB565_OES : GL_RGBA8_OES;
}

bool EAGLView::setupSurfaceWithSharegroup(void* sharegroup) {
    renderer_ = host::Ref<ES1Renderer>::adopt(host::createOwned<ES1Renderer>([&](ES1Renderer* r) {
        return r->initWithDepthFormat(depthFormat_, convertPixelFormat(pixelformat_), sharegroup, multiSampling_,
                                      requestedSamples_);
    }));
    if (!renderer_) return false;
    renderer_->resizeFromLayer();
    size_ = renderer_->backingSize();
    discardFramebufferSupported_ = CCConfiguration::sharedConfiguration()->supportsDiscardFramebuffer();
    return true;
}

void EAGLView::layoutSubviews() {
    if (!renderer_) return;
    size_ = renderer_->backingSize();
    renderer_->resizeFromLayer();
    if (!CCDirector::hasSharedDirector()) return;
    CCDirector* director = CCDirector::sharedDirector();
    director->reshapeProjection(size_);
    host::RunLoop::main().performOnMainThread([director] { director->drawScene(); }, true);
}

void EAGLView::swapBuffers() {
    if (!renderer_) return;
    if (discardFramebufferSupported_ && depthFormat_ && host::gl().discardFramebuffer) {
        const GLenum attachments[] = {GL_DEPTH_ATTACHMENT_OES};
        host::gl().discardFramebuffer(GL_FRAMEBUFFER_OES, 1, attachments);
    }
    host::Display::shared().present(host::Application::sharedApplication()->statusBarOrientation());
}

CGPoint EAGLView::convertPointFromViewToSurface(CGPoint p) const {
    CGRect b = bounds();
    return CGPointMake((p.x - b.origin.x) / b.size.width * size_.width,
                       (p.y - b.origin.y) / b.size.height * size_.height);
}

CGRect EAGLView::convertRectFromViewToSurface(CGRect r) const {
    CGRect b = bounds();
    CGPoint o = convertPointFromViewToSurface(r.origin);
    return CGRectMake(o.x, o.y, r.size.width / b.size.width * size_.width,
                      r.size.height / b.size.height * size_.height);
}

void EAGLView::touchesBegan(host::TouchSet* t, host::Event* e) { if (touchDelegate_) touchDelegate_->touchesBegan(t, e); }
void EAGLView::touchesMoved(host::TouchSet* t, host::Event* e) { if (touchDelegate_) touchDelegate_->touchesMoved(t, e); }
void EAGLView::touchesEnded(host::TouchSet* t, host::Event* e) { if (touchDelegate_) touchDelegate_->touchesEnded(t, e); }
void EAGLView::touchesCancelled(host::TouchSet* t, host::Event* e) {
    if (touchDelegate_) touchDelegate_->touchesCancelled(t, e);
}
