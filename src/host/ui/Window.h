// The window: the root of the overlay tree. Above its own subviews lie
// its presentation layer (modally presented views and action sheets) and
// its alert layer (one alert at a time, the rest queued). The key window's
// tree is what the overlay renderer draws and the touch router hit-tests.
#pragma once

#include <cstddef>
#include <vector>

#include "host/core/Ref.h"
#include "host/ui/View.h"

namespace host {

class AlertView;

class Window : public View {
public:
    Window();  // out of line: AlertView is an incomplete type here
    bool initWithFrame(CGRect frame) override;
    void makeKeyAndVisible();
    static Window* keyWindow();

    // The overlay view that takes a touch at `p` (interface points), or
    // nullptr when the touch belongs to the GL view. A modal layer that
    // covers the window takes every touch.
    View* overlayHitTest(CGPoint p);
    View* hitTest(CGPoint p) override { return overlayHitTest(p); }

    // Modally presented views and action sheets, above the window's views.
    View* presentationLayer() const { return presentationLayer_.get(); }
    // The alert on screen, above everything.
    View* alertLayer() const { return alertLayer_.get(); }

    // Alerts show one at a time, in the order they were shown.
    void enqueueAlert(AlertView* alert);
    // The alert on screen is gone: the next one comes up.
    void alertDidDismiss(AlertView* alert);
    // Takes an alert out of the queue (false if it was not waiting there).
    bool removeQueuedAlert(AlertView* alert);
    AlertView* visibleAlert() const { return visibleAlert_.get(); }
    size_t queuedAlertCount() const { return queuedAlerts_.size(); }

protected:
    ~Window() override;

private:
    Ref<View> presentationLayer_;
    Ref<View> alertLayer_;
    Ref<AlertView> visibleAlert_;
    std::vector<Ref<AlertView>> queuedAlerts_;
};

}  // namespace host
