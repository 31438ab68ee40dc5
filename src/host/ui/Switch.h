// The on/off switch: a rounded track showing "ON" in blue or "OFF" in
// white with a knob between them; a click toggles it, the strip sliding
// across in a short animation, and sends the value-changed event once.
// Setting the value from code sends nothing. Its size is its own (94 x 27
// points); a frame given to it only places it.
#pragma once

#include "host/ui/Control.h"

namespace host {

class Switch : public Control {
public:
    static constexpr float kWidth = 94;
    static constexpr float kHeight = 27;
    static constexpr double kToggleDuration = 0.2;

    bool initWithFrame(CGRect frame) override;
    static Switch* switchWithFrame(CGRect frame);
    void setFrame(CGRect f) override;

    bool isOn() const { return on_; }
    void setOn(bool on) { setOn(on, false); }
    void setOn(bool on, bool animated);

    CGSize sizeThatFits(CGSize size) const override;

protected:
    void endTracking(CGPoint p, bool inside) override;
    void stateChanged() override;

private:
    void placeStrip();

    bool on_ = false;
    View* strip_ = nullptr;  // subviews: owned by this view
    View* knob_ = nullptr;
};

}  // namespace host
