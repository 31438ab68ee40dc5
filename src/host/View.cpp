#include "host/View.h"

#include <algorithm>

namespace host {

namespace {
Window* gKeyWindow = nullptr;
}

View::~View() {
    for (auto& v : subviews_) v->superview_ = nullptr;
}

bool View::initWithFrame(CGRect frame) {
    frame_ = frame;
    return true;
}

void View::setFrame(CGRect f) {
    bool resized = !CGSizeEqualToSize(f.size, frame_.size);
    frame_ = f;
    if (resized) layoutSubviews();
}

CGPoint View::center() const {
    return CGPointMake(frame_.origin.x + frame_.size.width / 2, frame_.origin.y + frame_.size.height / 2);
}

void View::setCenter(CGPoint c) {
    frame_.origin = CGPointMake(c.x - frame_.size.width / 2, c.y - frame_.size.height / 2);
}

void View::addSubview(View* v) {
    if (!v || v == this) return;
    Ref<View> keep = v;
    v->removeFromSuperview();
    subviews_.push_back(v);
    v->superview_ = this;
}

void View::removeFromSuperview() {
    View* parent = superview_;
    if (!parent) return;
    Ref<View> keep = this;  // the last reference may be the parent's
    superview_ = nullptr;
    auto& list = parent->subviews_;
    list.erase(std::remove_if(list.begin(), list.end(), [this](const Ref<View>& r) { return r.get() == this; }),
               list.end());
}

View* View::viewWithTag(int tag) {
    if (tag_ == tag) return this;
    for (auto& v : subviews_)
        if (View* found = v->viewWithTag(tag)) return found;
    return nullptr;
}

View* View::hitTest(CGPoint p) {
    if (hidden_ || !userInteraction_ || alpha_ < 0.01f) return nullptr;
    if (!CGRectContainsPoint(bounds(), p)) return nullptr;
    for (auto it = subviews_.rbegin(); it != subviews_.rend(); ++it) {
        View* v = it->get();
        CGPoint local = CGPointMake(p.x - v->frame_.origin.x, p.y - v->frame_.origin.y);
        if (View* hit = v->hitTest(local)) return hit;
    }
    return this;
}

CGPoint View::convertToWindow(CGPoint p) const {
    for (const View* v = this; v && v->superview_; v = v->superview_) {
        p.x += v->frame_.origin.x;
        p.y += v->frame_.origin.y;
    }
    return p;
}

CGPoint View::convertFromWindow(CGPoint p) const {
    CGPoint origin = convertToWindow(CGPointZero);
    return CGPointMake(p.x - origin.x, p.y - origin.y);
}

Window::~Window() {
    if (gKeyWindow == this) gKeyWindow = nullptr;
}

void Window::makeKeyAndVisible() {
    gKeyWindow = this;
    setHidden(false);
}

Window* Window::keyWindow() { return gKeyWindow; }

}  // namespace host
