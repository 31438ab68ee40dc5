#include "host/ui/ViewController.h"

#include "host/core/Log.h"
#include "host/ui/Window.h"

namespace host {

namespace {

constexpr double kModalSlideDuration = 0.3;

// Where a modal view waits below the bottom edge.
CGPoint belowScreen(const View* v) {
    const CGRect screen = interfaceBounds();
    return CGPointMake(screen.size.width / 2, screen.size.height + v->bounds().size.height / 2);
}

}  // namespace

ViewController::~ViewController() {
    if (view_ && view_->owner_ == this) view_->owner_ = nullptr;
    if (modal_) {
        // Nobody could take the presented view away any more.
        if (modal_->view_) modal_->view_->removeFromSuperview();
        modal_->parent_ = nullptr;
    }
}

View* ViewController::view() {
    if (!view_) {
        loadView();
        if (!view_) setView(View::viewWithFrame(interfaceBounds()));
        viewDidLoad();
    }
    return view_.get();
}

void ViewController::setView(View* v) {
    if (view_ && view_->owner_ == this) view_->owner_ = nullptr;
    view_ = v;
    if (v) v->owner_ = this;
}

void ViewController::loadView() { setView(View::viewWithFrame(interfaceBounds())); }

Responder* ViewController::nextResponder() const { return view_ ? view_->superview() : nullptr; }

void ViewController::presentModalViewController(ViewController* controller, bool animated) {
    if (!controller || controller == this) return;
    if (modal_) {
        modal_->presentModalViewController(controller, animated);
        return;
    }
    if (controller->parent_) {
        log("view controller: %s is already presented", controller->className().c_str());
        return;
    }
    Window* window = view_ && view_->window() ? view_->window() : Window::keyWindow();
    if (!window) {
        log("view controller: no window to present %s in", controller->className().c_str());
        return;
    }
    modal_ = controller;
    controller->parent_ = this;
    View* v = controller->view();
    v->setFrame(interfaceBounds());
    v->setAutoresizingMask(kAutoresizingFlexibleWidth | kAutoresizingFlexibleHeight);
    controller->viewWillAppear(animated);
    window->presentationLayer()->addSubview(v);
    if (!animated) {
        controller->viewDidAppear(false);
        return;
    }
    const CGPoint rest = v->center();
    v->setCenter(belowScreen(v));
    Ref<ViewController> presented = controller;
    View::animateWithDuration(
        kModalSlideDuration, 0, kAnimationOptionCurveEaseOut, [v, rest] { v->setCenter(rest); },
        [presented](bool) { presented->viewDidAppear(true); });
}

void ViewController::dismissModalViewControllerAnimated(bool animated) {
    if (!modal_) {
        // Sent to the presented controller: its presenter takes it away.
        if (parent_) parent_->dismissModalViewControllerAnimated(animated);
        return;
    }
    if (dismissing_) return;
    Ref<ViewController> presented = modal_;
    // Whatever it presents goes with it.
    if (presented->modal_) presented->dismissModalViewControllerAnimated(false);
    dismissing_ = true;
    presented->viewWillDisappear(animated);
    View* v = presented->view();
    if (!animated) {
        finishDismissal(false);
        return;
    }
    Ref<ViewController> self = this;
    View::animateWithDuration(
        kModalSlideDuration, 0, kAnimationOptionCurveEaseIn, [v] { v->setCenter(belowScreen(v)); },
        [self](bool) { self->finishDismissal(true); });
}

void ViewController::finishDismissal(bool animated) {
    Ref<ViewController> presented = modal_;
    dismissing_ = false;
    if (!presented) return;
    presented->view()->removeFromSuperview();
    presented->parent_ = nullptr;
    modal_.reset();
    presented->viewDidDisappear(animated);
}

}  // namespace host
