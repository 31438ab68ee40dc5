// Where a finger's touches go. The key window's overlay views take a touch
// first (topmost first; see Window.h); one they do not take goes to the
// touch view, the GL view that shows the engine's frame, in its own
// portrait coordinates. Either way the view that took a touch gets all of
// its phases. The router is the application's pointer handler: it
// installs itself when first used.
#pragma once

#include <map>

#include "host/core/CGGeometry.h"
#include "host/core/Ref.h"
#include "host/core/TouchPhase.h"

namespace host {

class Touch;
class View;

class TouchRouter {
public:
    static TouchRouter& shared();

    // The view that receives touches outside every overlay: the GL view.
    void setTouchView(View* v) { touchView_ = v; }
    View* touchView() const { return touchView_; }

    // Delivers one phase of pointer `pointer` at an interface point.
    void deliver(long long pointer, TouchPhase phase, CGPoint at, double timestamp);

    // Interface points to the touch view's own (portrait) coordinates, by
    // the status-bar orientation, and back.
    CGPoint surfacePointForInterfacePoint(CGPoint p) const;
    CGPoint interfacePointForSurfacePoint(CGPoint p) const;

private:
    TouchRouter();
    TouchRouter(const TouchRouter&) = delete;
    TouchRouter& operator=(const TouchRouter&) = delete;

    View* touchView_ = nullptr;  // not retained; a view going away unsets itself
    // Each pointer that is down: its touch and the view that took it.
    struct ActiveTouch {
        Ref<Touch> touch;
        Ref<View> overlay;  // nullptr: the touch view has it
    };
    std::map<long long, ActiveTouch> activeTouches_;
};

// Whether `v` is the view that shows the engine's frame (the touch view).
// It draws nothing of its own in the overlay tree, and its subviews are in
// overlay space.
bool isSurfaceView(const View* v);

}  // namespace host
