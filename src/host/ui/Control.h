// Controls: views that track a touch and send actions for control events
// (touch down, touch up inside, value changed ...) to targets.
//
// A target is not retained, as on the platform: remove it (removeTarget)
// before it goes. Actions are member functions taking the control (any
// class the control is) or nothing, made with cc_selector; a handler
// (std::function) may stand in for a target. A disabled control takes no
// touches: they go on to the next responder.
#pragma once

#include <functional>
#include <type_traits>
#include <vector>

#include "host/core/Selector.h"
#include "host/ui/View.h"

namespace host {

class Touch;

enum ControlEvents : unsigned {
    kControlEventTouchDown = 1u << 0,
    kControlEventTouchDownRepeat = 1u << 1,
    kControlEventTouchDragInside = 1u << 2,
    kControlEventTouchDragOutside = 1u << 3,
    kControlEventTouchDragEnter = 1u << 4,
    kControlEventTouchDragExit = 1u << 5,
    kControlEventTouchUpInside = 1u << 6,
    kControlEventTouchUpOutside = 1u << 7,
    kControlEventTouchCancel = 1u << 8,
    kControlEventValueChanged = 1u << 12,
    kControlEventAllTouchEvents = 0xFFFu,
    kControlEventAllEvents = 0xFFFFFFFFu,
};

enum ControlState : unsigned {
    kControlStateNormal = 0,
    kControlStateHighlighted = 1u << 0,
    kControlStateDisabled = 1u << 1,
    kControlStateSelected = 1u << 2,
};

class Control : public View {
public:
    bool initWithFrame(CGRect frame) override;

    template <class Sender>
    void addTarget(Object* target, Selector<void(Sender*)> action, unsigned events) {
        static_assert(std::is_base_of<Object, Sender>::value, "actions take the control");
        if (!target || !action) return;
        addAction(target, events, [target, action](Control* sender) {
            // The action names the class it expects the sender to be.
            if (auto* s = dynamic_cast<Sender*>(static_cast<Object*>(sender))) action(target, s);
        });
    }
    void addTarget(Object* target, Selector<void()> action, unsigned events);
    void addHandler(std::function<void(Control*)> handler, unsigned events);
    // Every action of `target` for any of `events` (nullptr: every action
    // and handler).
    void removeTarget(Object* target, unsigned events);
    // Calls, in the order they were added, every action for any of `events`.
    void sendActionsForControlEvents(unsigned events);
    size_t actionCount() const { return actions_.size(); }

    bool isEnabled() const { return enabled_; }
    void setEnabled(bool e);
    bool isHighlighted() const { return highlighted_; }
    void setHighlighted(bool h);
    bool isSelected() const { return selected_; }
    void setSelected(bool s);
    unsigned state() const;
    bool isTracking() const { return tracking_; }
    bool isTouchInside() const { return touchInside_; }

    void touchesBegan(TouchSet* touches, Event* event) override;
    void touchesMoved(TouchSet* touches, Event* event) override;
    void touchesEnded(TouchSet* touches, Event* event) override;
    void touchesCancelled(TouchSet* touches, Event* event) override;

protected:
    // How far outside its bounds a tracked touch still counts as inside.
    static constexpr float kTrackingSlop = 20;
    // Tracking hooks, in this control's coordinates; false from begin or
    // continue ends the tracking.
    virtual bool beginTracking(CGPoint p) { (void)p; return true; }
    virtual bool continueTracking(CGPoint p) { (void)p; return true; }
    virtual void endTracking(CGPoint p, bool inside) { (void)p; (void)inside; }
    virtual void cancelTracking() {}
    // The state (enabled, highlighted, selected) changed: by default the
    // content is drawn again.
    virtual void stateChanged() { setNeedsDisplay(); }

private:
    struct Action {
        Object* target;  // not retained; nullptr for handlers
        unsigned events;
        std::function<void(Control*)> call;
    };
    void addAction(Object* target, unsigned events, std::function<void(Control*)> call);
    CGPoint locationOf(TouchSet* touches) const;
    bool insideWithSlop(CGPoint p) const;

    std::vector<Action> actions_;
    bool enabled_ = true;
    bool highlighted_ = false;
    bool selected_ = false;
    bool pressed_ = false;  // a touch began here while enabled
    bool tracking_ = false;
    bool touchInside_ = false;
};

}  // namespace host
