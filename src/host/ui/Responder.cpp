#include "host/ui/Responder.h"

#include <vector>

#include "host/ui/Touch.h"
#include "host/ui/TouchRouter.h"
#include "host/ui/View.h"

namespace host {

namespace {

// The GL view's own coordinates for touches are the portrait surface's,
// while its subviews live in overlay space.
CGPoint toOverlaySpace(const View* v, CGPoint p) {
    if (isSurfaceView(v)) return TouchRouter::shared().interfacePointForSurfacePoint(p);
    return CGPointApplyAffineTransform(p, v->transformToOverlay());
}

CGPoint fromOverlaySpace(const View* v, CGPoint p) {
    if (isSurfaceView(v)) return TouchRouter::shared().surfacePointForInterfacePoint(p);
    return v->convertPoint(p, nullptr);
}

// While a responder passes touches on to a view, each touch reports its
// location in that view's coordinates; the old values come back after.
class TouchRetarget {
public:
    TouchRetarget(TouchSet* set, View* target) : set_(target ? set : nullptr) {
        if (!set_) return;
        for (const Ref<Touch>& t : *set_) {
            View* from = t->view();
            saved_.push_back({t->view(), t->previousLocationInView(from), t->locationInView(from)});
            if (!from || from == target) continue;
            CGPoint prev = fromOverlaySpace(target, toOverlaySpace(from, t->previousLocationInView(from)));
            CGPoint now = fromOverlaySpace(target, toOverlaySpace(from, t->locationInView(from)));
            t->setLocation(prev);
            t->setLocation(now);
            t->setView(target);
        }
    }
    ~TouchRetarget() {
        if (!set_) return;
        size_t i = 0;
        for (const Ref<Touch>& t : *set_) {
            const Saved& s = saved_[i++];
            t->setLocation(s.previous);
            t->setLocation(s.location);
            t->setView(s.view);
        }
    }
    TouchRetarget(const TouchRetarget&) = delete;
    TouchRetarget& operator=(const TouchRetarget&) = delete;

private:
    struct Saved {
        View* view;
        CGPoint previous, location;
    };
    TouchSet* set_;
    std::vector<Saved> saved_;
};

void passOn(const Responder* from, TouchPhase phase, TouchSet* touches, Event* event) {
    Responder* next = from->nextResponder();
    if (!next || !touches) return;
    TouchRetarget retarget(touches, dynamic_cast<View*>(next));
    switch (phase) {
        case TouchPhase::Began: next->touchesBegan(touches, event); break;
        case TouchPhase::Moved:
        case TouchPhase::Stationary: next->touchesMoved(touches, event); break;
        case TouchPhase::Ended: next->touchesEnded(touches, event); break;
        case TouchPhase::Cancelled: next->touchesCancelled(touches, event); break;
    }
}

}  // namespace

void Responder::touchesBegan(TouchSet* t, Event* e) { passOn(this, TouchPhase::Began, t, e); }
void Responder::touchesMoved(TouchSet* t, Event* e) { passOn(this, TouchPhase::Moved, t, e); }
void Responder::touchesEnded(TouchSet* t, Event* e) { passOn(this, TouchPhase::Ended, t, e); }
void Responder::touchesCancelled(TouchSet* t, Event* e) { passOn(this, TouchPhase::Cancelled, t, e); }

}  // namespace host
