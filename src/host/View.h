// Views, windows and view controllers of the host.
//
// A view's frame is in its superview's coordinates, origin top left, y down.
// The window and the GL view are portrait (the device's own bounds); the
// host turns what they show to the interface orientation when presenting.
#pragma once

#include <vector>

#include "host/CGGeometry.h"
#include "host/Object.h"
#include "host/Ref.h"

namespace host {

class TouchSet;
class Event;

class View : public Object {
public:
    bool init() { return initWithFrame(CGRectZero); }
    virtual bool initWithFrame(CGRect frame);

    CGRect frame() const { return frame_; }
    virtual void setFrame(CGRect f);
    CGRect bounds() const { return CGRectMake(0, 0, frame_.size.width, frame_.size.height); }
    CGPoint center() const;
    void setCenter(CGPoint c);
    int tag() const { return tag_; }
    void setTag(int t) { tag_ = t; }
    bool isHidden() const { return hidden_; }
    void setHidden(bool h) { hidden_ = h; }
    float alpha() const { return alpha_; }
    void setAlpha(float a) { alpha_ = a; }
    bool isUserInteractionEnabled() const { return userInteraction_; }
    void setUserInteractionEnabled(bool e) { userInteraction_ = e; }

    void addSubview(View* v);
    void removeFromSuperview();
    View* superview() const { return superview_; }
    const std::vector<Ref<View>>& subviews() const { return subviews_; }
    View* viewWithTag(int tag);

    // Geometry changed: subclasses re-layout.
    virtual void layoutSubviews() {}
    // Views that render at the screen's scale say so.
    virtual bool supportsContentScaleFactor() const { return false; }
    virtual void setContentScaleFactor(float s) { contentScale_ = s; }
    float contentScaleFactor() const { return contentScale_; }

    // Touches, in this view's coordinates through Touch::locationInView.
    virtual void touchesBegan(TouchSet*, Event*) {}
    virtual void touchesMoved(TouchSet*, Event*) {}
    virtual void touchesEnded(TouchSet*, Event*) {}
    virtual void touchesCancelled(TouchSet*, Event*) {}

    // The deepest visible, interactive view containing `p` (own coords).
    View* hitTest(CGPoint p);
    // A point of this view in window coordinates, and back.
    CGPoint convertToWindow(CGPoint p) const;
    CGPoint convertFromWindow(CGPoint p) const;

protected:
    ~View() override;

private:
    CGRect frame_ = CGRectZero;
    int tag_ = 0;
    bool hidden_ = false;
    float alpha_ = 1;
    bool userInteraction_ = true;
    float contentScale_ = 1;
    View* superview_ = nullptr;
    std::vector<Ref<View>> subviews_;
};

class Window : public View {
public:
    void makeKeyAndVisible();
    static Window* keyWindow();

protected:
    ~Window() override;
};

class ViewController : public Object {
public:
    bool init() { return true; }
    bool initWithNibName(const char* nib, void* bundle) { (void)nib; (void)bundle; return init(); }
    View* view() const { return view_; }
    void setView(View* v) { view_ = v; }
    bool wantsFullScreenLayout() const { return wantsFullScreen_; }
    void setWantsFullScreenLayout(bool b) { wantsFullScreen_ = b; }
    virtual bool shouldAutorotateToInterfaceOrientation(int orientation) { return orientation == 1; }
    virtual void didReceiveMemoryWarning() {}
    virtual void viewDidUnload() {}

private:
    Ref<View> view_;
    bool wantsFullScreen_ = false;
};

}  // namespace host
