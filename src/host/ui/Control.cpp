#include "host/ui/Control.h"

#include "host/ui/Touch.h"

namespace host {

bool Control::initWithFrame(CGRect frame) {
    if (!View::initWithFrame(frame)) return false;
    setBackgroundColor(Color::clearColor());
    return true;
}

void Control::addAction(Object* target, unsigned events, std::function<void(Control*)> call) {
    if (!events || !call) return;
    actions_.push_back(Action{target, events, std::move(call)});
}

void Control::addTarget(Object* target, Selector<void()> action, unsigned events) {
    if (!target || !action) return;
    addAction(target, events, [target, action](Control*) { action(target); });
}

void Control::addHandler(std::function<void(Control*)> handler, unsigned events) {
    addAction(nullptr, events, std::move(handler));
}

void Control::removeTarget(Object* target, unsigned events) {
    for (auto it = actions_.begin(); it != actions_.end();) {
        if (target && it->target != target) {
            ++it;
            continue;
        }
        it->events &= ~events;
        it = it->events ? it + 1 : actions_.erase(it);
    }
}

void Control::sendActionsForControlEvents(unsigned events) {
    // A copy: an action may add or remove actions, or drop the last
    // reference to this control.
    Ref<Control> keep = this;
    std::vector<Action> due;
    for (const Action& a : actions_)
        if (a.events & events) due.push_back(a);
    for (const Action& a : due) a.call(this);
}

void Control::setEnabled(bool e) {
    if (e == enabled_) return;
    enabled_ = e;
    stateChanged();
}

void Control::setHighlighted(bool h) {
    if (h == highlighted_) return;
    highlighted_ = h;
    stateChanged();
}

void Control::setSelected(bool s) {
    if (s == selected_) return;
    selected_ = s;
    stateChanged();
}

unsigned Control::state() const {
    unsigned s = kControlStateNormal;
    if (highlighted_) s |= kControlStateHighlighted;
    if (!enabled_) s |= kControlStateDisabled;
    if (selected_) s |= kControlStateSelected;
    return s;
}

CGPoint Control::locationOf(TouchSet* touches) const {
    Touch* t = touches ? touches->anyObject() : nullptr;
    if (!t) return CGPointZero;
    View* from = t->view();
    const CGPoint p = t->locationInView(from);
    return from == this ? p : convertPoint(p, from);
}

bool Control::insideWithSlop(CGPoint p) const {
    return CGRectContainsPoint(CGRectInset(bounds(), -kTrackingSlop, -kTrackingSlop), p);
}

void Control::touchesBegan(TouchSet* touches, Event* event) {
    if (!enabled_) {
        View::touchesBegan(touches, event);
        return;
    }
    Ref<Control> keep = this;
    const CGPoint p = locationOf(touches);
    pressed_ = true;
    tracking_ = beginTracking(p);
    touchInside_ = true;
    setHighlighted(true);
    sendActionsForControlEvents(kControlEventTouchDown);
}

void Control::touchesMoved(TouchSet* touches, Event* event) {
    if (!pressed_) {
        View::touchesMoved(touches, event);
        return;
    }
    Ref<Control> keep = this;
    const CGPoint p = locationOf(touches);
    const bool inside = insideWithSlop(p);
    const bool wasInside = touchInside_;
    touchInside_ = inside;
    setHighlighted(inside);
    if (tracking_) tracking_ = continueTracking(p);
    unsigned events = inside ? kControlEventTouchDragInside : kControlEventTouchDragOutside;
    if (inside != wasInside) events |= inside ? kControlEventTouchDragEnter : kControlEventTouchDragExit;
    sendActionsForControlEvents(events);
}

void Control::touchesEnded(TouchSet* touches, Event* event) {
    if (!pressed_) {
        View::touchesEnded(touches, event);
        return;
    }
    Ref<Control> keep = this;
    const CGPoint p = locationOf(touches);
    const bool inside = insideWithSlop(p);
    const bool wasTracking = tracking_;
    pressed_ = false;
    tracking_ = false;
    touchInside_ = false;
    setHighlighted(false);
    if (wasTracking) endTracking(p, inside);
    sendActionsForControlEvents(inside ? kControlEventTouchUpInside : kControlEventTouchUpOutside);
}

void Control::touchesCancelled(TouchSet* touches, Event* event) {
    if (!pressed_) {
        View::touchesCancelled(touches, event);
        return;
    }
    Ref<Control> keep = this;
    const bool wasTracking = tracking_;
    pressed_ = false;
    tracking_ = false;
    touchInside_ = false;
    setHighlighted(false);
    if (wasTracking) cancelTracking();
    sendActionsForControlEvents(kControlEventTouchCancel);
}

}  // namespace host
