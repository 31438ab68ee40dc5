// The host view that carries the GL drawing surface and forwards its
// touches to a touch delegate (the touch dispatcher).
#pragma once

#include <string>

#include "engine/platform/CCTouchDelegateProtocol.h"
#include "engine/platform/ES1Renderer.h"
#include "host/core/Ref.h"
#include "host/ui/View.h"

#define kEAGLColorFormatRGB565 "EAGLColorFormat565"
#define kEAGLColorFormatRGBA8 "EAGLColorFormatRGBA8"

class EAGLView : public host::View {
public:
    static EAGLView* viewWithFrame(CGRect frame);
    static EAGLView* viewWithFrame(CGRect frame, const std::string& format);
    static EAGLView* viewWithFrame(CGRect frame, const std::string& format, unsigned depth);
    static EAGLView* viewWithFrame(CGRect frame, const std::string& format, unsigned depth, bool retained,
                                   void* sharegroup, bool multisampling, unsigned samples);
    bool initWithFrame(CGRect frame) override;
    bool initWithFrame(CGRect frame, const std::string& format);
    bool initWithFrame(CGRect frame, const std::string& format, unsigned depth, bool retained, void* sharegroup,
                       bool multisampling, unsigned samples);

    void swapBuffers();
    void layoutSubviews() override;
    CGPoint convertPointFromViewToSurface(CGPoint p) const;
    CGRect convertRectFromViewToSurface(CGRect r) const;
    static unsigned convertPixelFormat(const std::string& name);

    void* context() const { return renderer_ ? renderer_->context() : nullptr; }
    ES1Renderer* renderer() const { return renderer_; }
    const std::string& pixelFormat() const { return pixelformat_; }
    unsigned depthFormat() const { return depthFormat_; }
    CGSize surfaceSize() const { return size_; }
    EAGLTouchDelegate* touchDelegate() const { return touchDelegate_; }
    void setTouchDelegate(EAGLTouchDelegate* d) { touchDelegate_ = d; }
    bool multiSampling() const { return multiSampling_; }

    bool supportsContentScaleFactor() const override { return true; }

    void touchesBegan(host::TouchSet* t, host::Event* e) override;
    void touchesMoved(host::TouchSet* t, host::Event* e) override;
    void touchesEnded(host::TouchSet* t, host::Event* e) override;
    void touchesCancelled(host::TouchSet* t, host::Event* e) override;

private:
    bool setupSurfaceWithSharegroup(void* sharegroup);

    host::Ref<ES1Renderer> renderer_;
    std::string pixelformat_ = kEAGLColorFormatRGB565;
    unsigned depthFormat_ = 0;
    bool preserveBackbuffer_ = false;
    CGSize size_ = CGSizeZero;
    bool discardFramebufferSupported_ = false;
    EAGLTouchDelegate* touchDelegate_ = nullptr;
    bool multiSampling_ = false;
    unsigned requestedSamples_ = 0;
};
