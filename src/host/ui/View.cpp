#include "host/ui/View.h"

#include <algorithm>
#include <cstdio>

#include "host/core/Device.h"
#include "host/core/Log.h"
#include "host/ui/OverlayRenderer.h"
#include "host/ui/TouchRouter.h"
#include "host/ui/ViewAnimation.h"
#include "host/ui/ViewController.h"
#include "host/ui/Window.h"

namespace host {

CGRect interfaceBounds() {
    CGSize s = Device::current().screenBounds().size;
    // The interface is landscape whichever way the device reports itself.
    return CGRectMake(0, 0, std::max(s.width, s.height), std::min(s.width, s.height));
}

namespace {

CGRect untransformedFrame(const View::Geometry& g) {
    return CGRectMake(g.center.x - g.bounds.size.width / 2, g.center.y - g.bounds.size.height / 2,
                      g.bounds.size.width, g.bounds.size.height);
}

// Springs and struts along one axis: the flexible parts share the change
// of the superview's length in proportion to their current lengths.
void resizeAxis(float* origin, float* length, float oldSuper, float newSuper, bool flexLow, bool flexLength,
                bool flexHigh) {
    const float delta = newSuper - oldSuper;
    const int flexible = int(flexLow) + int(flexLength) + int(flexHigh);
    if (delta == 0 || flexible == 0) return;
    const float low = *origin, len = *length, high = oldSuper - *origin - *length;
    const float sum = (flexLow ? std::max(0.0f, low) : 0) + (flexLength ? std::max(0.0f, len) : 0) +
                      (flexHigh ? std::max(0.0f, high) : 0);
    auto share = [&](float part) { return sum > 0 ? delta * std::max(0.0f, part) / sum : delta / float(flexible); };
    const float lowShare = flexLow ? share(low) : 0;
    const float lenShare = flexLength ? share(len) : 0;
    *origin = low + lowShare;
    *length = std::max(0.0f, len + lenShare);
}

}  // namespace

// ---- View: life cycle --------------------------------------------------------

View::View() = default;

View::~View() {
    for (auto& v : subviews_) v->superview_ = nullptr;
    // Touches must not go to a view that is gone.
    TouchRouter& router = TouchRouter::shared();
    if (router.touchView() == this) router.setTouchView(nullptr);
}

bool View::initWithFrame(CGRect frame) {
    model_.center = CGPointMake(frame.origin.x + frame.size.width / 2, frame.origin.y + frame.size.height / 2);
    model_.bounds = CGRectMake(0, 0, frame.size.width, frame.size.height);
    return true;
}

View* View::viewWithFrame(CGRect frame) {
    return create<View>([frame](View* v) { return v->initWithFrame(frame); });
}

std::string View::description() const {
    CGRect f = frame();
    char buf[160];
    std::snprintf(buf, sizeof buf, "<%s = %s | frame = (%g %g; %g %g) tag = %d>", className().c_str(),
                  addressString(this).c_str(), double(f.origin.x), double(f.origin.y), double(f.size.width),
                  double(f.size.height), tag_);
    return buf;
}

// ---- View: geometry -----------------------------------------------------------

CGRect View::frame() const {
    if (CGAffineTransformIsIdentity(model_.transform)) return untransformedFrame(model_);
    CGSize s = model_.bounds.size;
    CGRect r = CGRectApplyAffineTransform(CGRectMake(-s.width / 2, -s.height / 2, s.width, s.height), model_.transform);
    r.origin.x += model_.center.x;
    r.origin.y += model_.center.y;
    return r;
}

void View::willChange(Property p, const Geometry& to) {
    ViewAnimator& animator = ViewAnimator::shared();
    if (animator.isRecording() || (animatedMask_ & p)) animator.propertyWillChange(this, p, to);
}

void View::setFrame(CGRect f) {
    Geometry to = model_;
    to.center = CGPointMake(f.origin.x + f.size.width / 2, f.origin.y + f.size.height / 2);
    to.bounds.size = f.size;
    if (!CGPointEqualToPoint(to.center, model_.center)) setCenter(to.center);
    if (!CGSizeEqualToSize(to.bounds.size, model_.bounds.size)) setBounds(to.bounds);
}

void View::setBounds(CGRect b) {
    if (CGRectEqualToRect(b, model_.bounds)) return;
    Geometry to = model_;
    to.bounds = b;
    willChange(kPropertyBounds, to);
    CGSize old = model_.bounds.size;
    model_.bounds = b;
    if (!CGSizeEqualToSize(old, b.size)) boundsSizeChanged(old);
}

void View::setCenter(CGPoint c) {
    if (CGPointEqualToPoint(c, model_.center)) return;
    Geometry to = model_;
    to.center = c;
    willChange(kPropertyCenter, to);
    model_.center = c;
}

void View::setTransform(CGAffineTransform t) {
    if (CGAffineTransformEqualToTransform(t, model_.transform)) return;
    Geometry to = model_;
    to.transform = t;
    willChange(kPropertyTransform, to);
    model_.transform = t;
}

void View::setAlpha(float a) {
    a = clampUnit(a);
    if (a == model_.alpha) return;
    Geometry to = model_;
    to.alpha = a;
    willChange(kPropertyAlpha, to);
    model_.alpha = a;
}

void View::setBackgroundColor(Color c) {
    if (c == model_.backgroundColor) return;
    Geometry to = model_;
    to.backgroundColor = c;
    willChange(kPropertyBackgroundColor, to);
    model_.backgroundColor = c;
}

void View::setCornerRadius(float r) {
    r = std::max(0.0f, r);
    if (r == cornerRadius_) return;
    cornerRadius_ = r;
    setNeedsDisplay();
}

void View::setClipsToBounds(bool c) {
    if (c == clipsToBounds_) return;
    clipsToBounds_ = c;
    if (cornerRadius_ > 0) setNeedsDisplay();
}

void View::boundsSizeChanged(CGSize oldSize) {
    setNeedsDisplay();
    if (autoresizesSubviews_) {
        // Index loop: a subview's own layout may not change this list, but
        // be safe if it does.
        for (size_t i = 0; i < subviews_.size(); ++i) subviews_[i]->autoresize(oldSize, model_.bounds.size);
    }
    layoutSubviews();
}

void View::autoresize(CGSize oldSuper, CGSize newSuper) {
    if (autoresizingMask_ == kAutoresizingNone) return;
    CGRect f = untransformedFrame(model_);
    const unsigned m = autoresizingMask_;
    resizeAxis(&f.origin.x, &f.size.width, oldSuper.width, newSuper.width, m & kAutoresizingFlexibleLeftMargin,
               m & kAutoresizingFlexibleWidth, m & kAutoresizingFlexibleRightMargin);
    resizeAxis(&f.origin.y, &f.size.height, oldSuper.height, newSuper.height, m & kAutoresizingFlexibleTopMargin,
               m & kAutoresizingFlexibleHeight, m & kAutoresizingFlexibleBottomMargin);
    setCenter(CGPointMake(f.origin.x + f.size.width / 2, f.origin.y + f.size.height / 2));
    CGRect b = model_.bounds;
    b.size = f.size;
    setBounds(b);
}

void View::sizeToFit() {
    CGRect f = frame();
    CGSize s = sizeThatFits(model_.bounds.size);
    setFrame(CGRectMake(f.origin.x, f.origin.y, s.width, s.height));
}

// ---- View: hierarchy --------------------------------------------------------------

void View::attach(View* v, size_t index) {
    if (!v || v == this) return;
    if (isDescendantOfView(v)) {
        log("view: cannot add %s inside itself", v->className().c_str());
        return;
    }
    Ref<View> keep = v;
    if (v->superview_ == this) {
        auto it = std::find_if(subviews_.begin(), subviews_.end(), [v](const Ref<View>& r) { return r.get() == v; });
        size_t at = size_t(it - subviews_.begin());
        subviews_.erase(it);
        if (index > at) --index;
    } else {
        v->detachFromSuperview();
    }
    index = std::min(index, subviews_.size());
    subviews_.insert(subviews_.begin() + long(index), keep);
    v->superview_ = this;
    v->didMoveToSuperview();
}

void View::addSubview(View* v) { attach(v, subviews_.size()); }
void View::insertSubview(View* v, size_t index) { attach(v, index); }

void View::insertSubviewBelow(View* v, View* sibling) {
    auto it = std::find_if(subviews_.begin(), subviews_.end(), [sibling](const Ref<View>& r) { return r.get() == sibling; });
    attach(v, it == subviews_.end() ? subviews_.size() : size_t(it - subviews_.begin()));
}

void View::insertSubviewAbove(View* v, View* sibling) {
    auto it = std::find_if(subviews_.begin(), subviews_.end(), [sibling](const Ref<View>& r) { return r.get() == sibling; });
    attach(v, it == subviews_.end() ? subviews_.size() : size_t(it - subviews_.begin()) + 1);
}

void View::bringSubviewToFront(View* v) {
    if (v && v->superview_ == this) attach(v, subviews_.size());
}

void View::sendSubviewToBack(View* v) {
    if (v && v->superview_ == this) attach(v, 0);
}

void View::detachFromSuperview() {
    View* parent = superview_;
    if (!parent) return;
    superview_ = nullptr;
    auto& list = parent->subviews_;
    // The caller keeps a reference: erasing may drop the parent's.
    list.erase(std::remove_if(list.begin(), list.end(), [this](const Ref<View>& r) { return r.get() == this; }),
               list.end());
}

void View::removeFromSuperview() {
    if (!superview_) return;
    Ref<View> keep = this;  // the last reference may be the parent's
    detachFromSuperview();
    didMoveToSuperview();
}

View* View::viewWithTag(int tag) {
    if (tag_ == tag) return this;
    for (auto& v : subviews_)
        if (View* found = v->viewWithTag(tag)) return found;
    return nullptr;
}

bool View::isDescendantOfView(const View* v) const {
    for (const View* p = this; p; p = p->superview_)
        if (p == v) return true;
    return false;
}

Window* View::window() const {
    for (const View* v = this; v; v = v->superview_) {
        if (v->layerOwner_) return v->layerOwner_;
        if (auto* w = dynamic_cast<const Window*>(v)) return const_cast<Window*>(w);
    }
    return nullptr;
}

// ---- View: touches and coordinates ------------------------------------------------------

Responder* View::nextResponder() const {
    if (owner_) return owner_;
    if (layerOwner_) return nullptr;  // an overlay layer ends the chain
    return superview_;
}

bool View::pointInside(CGPoint p) const { return CGRectContainsPoint(model_.bounds, p); }

View* View::hitTest(CGPoint p) {
    if (hidden_ || !userInteraction_ || model_.alpha < 0.01f) return nullptr;
    if (!pointInside(p)) return nullptr;
    for (size_t i = subviews_.size(); i-- > 0;) {
        View* v = subviews_[i].get();
        CGPoint local = CGPointApplyAffineTransform(p, CGAffineTransformInvert(v->transformToSuperview()));
        if (View* hit = v->hitTest(local)) return hit;
    }
    return this;
}

CGAffineTransform View::transformToSuperview() const {
    const CGSize s = model_.bounds.size;
    CGAffineTransform t = CGAffineTransformMakeTranslation(-model_.bounds.origin.x - s.width / 2,
                                                           -model_.bounds.origin.y - s.height / 2);
    t = CGAffineTransformConcat(t, model_.transform);
    return CGAffineTransformConcat(t, CGAffineTransformMakeTranslation(model_.center.x, model_.center.y));
}

CGAffineTransform View::transformToOverlay() const {
    CGAffineTransform m = CGAffineTransformIdentity;
    // Windows, overlay layers and the GL view hold their subviews in
    // overlay space: the walk stops there.
    for (const View* v = this; v && !v->layerOwner_ && !isSurfaceView(v) && !dynamic_cast<const Window*>(v);
         v = v->superview_)
        m = CGAffineTransformConcat(m, v->transformToSuperview());
    return m;
}

CGPoint View::convertPoint(CGPoint p, const View* from) const {
    CGPoint overlay = from ? CGPointApplyAffineTransform(p, from->transformToOverlay()) : p;
    return CGPointApplyAffineTransform(overlay, CGAffineTransformInvert(transformToOverlay()));
}

CGPoint View::convertPointTo(CGPoint p, const View* to) const {
    CGPoint overlay = CGPointApplyAffineTransform(p, transformToOverlay());
    return to ? to->convertPoint(overlay, nullptr) : overlay;
}

CGRect View::convertRect(CGRect r, const View* from) const {
    CGAffineTransform m = from ? from->transformToOverlay() : CGAffineTransformIdentity;
    m = CGAffineTransformConcat(m, CGAffineTransformInvert(transformToOverlay()));
    return CGRectApplyAffineTransform(r, m);
}

View::Geometry View::presentation() const {
    Geometry g = model_;
    if (!animatedMask_) return g;
    if (animatedMask_ & kPropertyCenter) g.center = presentation_.center;
    if (animatedMask_ & kPropertyBounds) g.bounds = presentation_.bounds;
    if (animatedMask_ & kPropertyTransform) g.transform = presentation_.transform;
    if (animatedMask_ & kPropertyAlpha) g.alpha = presentation_.alpha;
    if (animatedMask_ & kPropertyBackgroundColor) g.backgroundColor = presentation_.backgroundColor;
    return g;
}

}  // namespace host
