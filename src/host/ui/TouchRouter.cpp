#include "host/ui/TouchRouter.h"

#include "host/core/Application.h"
#include "host/ui/Touch.h"
#include "host/ui/Window.h"

namespace host {

TouchRouter& TouchRouter::shared() {
    // Never destroyed: the application keeps calling it until the end.
    static TouchRouter* router = new TouchRouter;
    return *router;
}

TouchRouter::TouchRouter() {
    Application::sharedApplication()->setPointerHandler(
        [this](long long pointer, TouchPhase phase, CGPoint at, double timestamp) {
            deliver(pointer, phase, at, timestamp);
        });
}

bool isSurfaceView(const View* v) { return v && v == TouchRouter::shared().touchView(); }

CGPoint TouchRouter::surfacePointForInterfacePoint(CGPoint ip) const {
    if (!touchView_) return ip;
    const InterfaceOrientation o = Application::sharedApplication()->statusBarOrientation();
    return CGPointApplyAffineTransform(ip, interfaceToSurface(o, touchView_->bounds().size));
}

CGPoint TouchRouter::interfacePointForSurfacePoint(CGPoint sp) const {
    if (!touchView_) return sp;
    const InterfaceOrientation o = Application::sharedApplication()->statusBarOrientation();
    return CGPointApplyAffineTransform(sp, surfaceToInterface(o, touchView_->bounds().size));
}

void TouchRouter::deliver(long long pointer, TouchPhase phase, CGPoint ip, double timestamp) {
    auto it = activeTouches_.find(pointer);
    ActiveTouch active;
    if (phase == TouchPhase::Began) {
        if (it != activeTouches_.end()) {
            // A pointer that went down twice without coming up: the first
            // touch is cancelled before the new one begins.
            deliver(pointer, TouchPhase::Cancelled, ip, timestamp);
        }
        Window* window = Window::keyWindow();
        active.overlay = window ? window->overlayHitTest(ip) : nullptr;
        View* v = active.overlay ? active.overlay.get() : touchView_;
        if (!v) return;
        active.touch = Ref<Touch>::adopt(new Touch);
        active.touch->setView(v);
        active.touch->setTapCount(1);
        CGPoint p = active.overlay ? v->convertPoint(ip, nullptr) : surfacePointForInterfacePoint(ip);
        active.touch->setLocation(p);
        active.touch->setLocation(p);
        active.touch->setPhase(TouchPhase::Began);
        activeTouches_[pointer] = active;
    } else {
        if (it == activeTouches_.end()) return;  // a pointer that never went down here
        active = it->second;
        View* v = active.touch->view();
        // Locations follow the view, wherever it has moved meanwhile.
        active.touch->setLocation(active.overlay ? v->convertPoint(ip, nullptr) : surfacePointForInterfacePoint(ip));
        active.touch->setPhase(phase);
    }
    Touch* touch = active.touch.get();
    View* v = touch->view();
    touch->setTimestamp(timestamp);
    if (isFinalPhase(phase)) activeTouches_.erase(pointer);
    if (!v) return;
    TouchSet* set = TouchSet::setWithTouch(touch);
    Event* event = Event::eventWithTouches(set, timestamp);
    switch (phase) {
        case TouchPhase::Began: v->touchesBegan(set, event); break;
        case TouchPhase::Moved:
        case TouchPhase::Stationary: v->touchesMoved(set, event); break;
        case TouchPhase::Ended: v->touchesEnded(set, event); break;
        case TouchPhase::Cancelled: v->touchesCancelled(set, event); break;
    }
}

}  // namespace host
