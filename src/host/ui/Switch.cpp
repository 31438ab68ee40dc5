#include "host/ui/Switch.h"

#include "host/graphics/DrawingContext.h"
#include "host/text/Font.h"
#include "host/text/TextLayout.h"

namespace host {

namespace {

constexpr float kKnobWidth = 40;
constexpr float kTravel = Switch::kWidth - kKnobWidth;  // how far the strip slides
constexpr float kStripWidth = Switch::kWidth + kTravel;
constexpr float kCornerRadius = 6;
constexpr float kCaptionSize = 16;

const LinearGradient kOnFill{{Color{0.0f, 0.42f, 0.86f, 1}, 0}, {Color{0.16f, 0.58f, 0.98f, 1}, 1}};
const LinearGradient kOffFill{{Color{0.86f, 0.86f, 0.86f, 1}, 0}, {Color{0.99f, 0.99f, 0.99f, 1}, 1}};
const LinearGradient kKnobFill{{Color{1.0f, 1.0f, 1.0f, 1}, 0}, {Color{0.80f, 0.80f, 0.82f, 1}, 1}};
const LinearGradient kKnobPressedFill{{Color{0.86f, 0.86f, 0.88f, 1}, 0}, {Color{0.66f, 0.66f, 0.70f, 1}, 1}};
const Color kOutline{0.45f, 0.45f, 0.48f, 1};

// Views inside a switch only draw: its touches are the switch's.
template <class V>
V* makePart(CGRect frame) {
    V* v = create<V>([frame](V* p) { return p->initWithFrame(frame); });
    if (v) {
        v->setUserInteractionEnabled(false);
        v->setBackgroundColor(Color::clearColor());
    }
    return v;
}

// "ON" on blue, the knob's place, "OFF" on white, side by side.
class SwitchStrip : public View {
public:
    void drawRect(DrawingContext& ctx, CGRect rect) override {
        const float h = rect.size.height;
        ctx.fillRoundedRect(CGRectMake(0, 0, kTravel + kKnobWidth / 2, h), 0, kOnFill, CGPointMake(0, 0),
                            CGPointMake(0, h));
        ctx.fillRoundedRect(CGRectMake(kTravel + kKnobWidth / 2, 0, kStripWidth - kTravel - kKnobWidth / 2, h), 0,
                            kOffFill, CGPointMake(0, 0), CGPointMake(0, h));
        Ref<Font> font = Font::boldSystemFont(kCaptionSize);
        if (!font) return;
        ctx.drawText("ON", *font, CGRectMake(0, 0, kTravel, h), kTextLineBreakModeClip, kTextAlignmentCenter,
                     Color::whiteColor(), 1, true);
        ctx.drawText("OFF", *font, CGRectMake(kTravel + kKnobWidth, 0, kTravel, h), kTextLineBreakModeClip,
                     kTextAlignmentCenter, Color::white(0.45f, 1), 1, true);
    }
};

class SwitchKnob : public View {
public:
    void setPressed(bool p) {
        if (p == pressed_) return;
        pressed_ = p;
        setNeedsDisplay();
    }
    void drawRect(DrawingContext& ctx, CGRect rect) override {
        const CGRect shape = CGRectInset(rect, 0.5f, 0.5f);
        ctx.fillRoundedRect(shape, kCornerRadius, pressed_ ? kKnobPressedFill : kKnobFill, CGPointMake(0, 0),
                            CGPointMake(0, rect.size.height));
        ctx.strokeRoundedRect(shape, kCornerRadius, 1, kOutline);
    }

private:
    bool pressed_ = false;
};

// The track's outline, over the sliding strip.
class SwitchOutline : public View {
public:
    void drawRect(DrawingContext& ctx, CGRect rect) override {
        ctx.strokeRoundedRect(rect, kCornerRadius, 1, kOutline);
    }
};

}  // namespace

bool Switch::initWithFrame(CGRect frame) {
    if (!Control::initWithFrame(CGRectMake(frame.origin.x, frame.origin.y, kWidth, kHeight))) return false;
    setClipsToBounds(true);
    setCornerRadius(kCornerRadius);
    auto* strip = makePart<SwitchStrip>(CGRectMake(0, 0, kStripWidth, kHeight));
    auto* knob = makePart<SwitchKnob>(CGRectMake(kTravel, 0, kKnobWidth, kHeight));
    auto* outline = makePart<SwitchOutline>(CGRectMake(0, 0, kWidth, kHeight));
    if (!strip || !knob || !outline) return false;
    strip->addSubview(knob);
    addSubview(strip);
    addSubview(outline);
    strip_ = strip;
    knob_ = knob;
    placeStrip();
    return true;
}

Switch* Switch::switchWithFrame(CGRect frame) {
    return create<Switch>([frame](Switch* s) { return s->initWithFrame(frame); });
}

void Switch::setFrame(CGRect f) { Control::setFrame(CGRectMake(f.origin.x, f.origin.y, kWidth, kHeight)); }

CGSize Switch::sizeThatFits(CGSize) const { return CGSizeMake(kWidth, kHeight); }

void Switch::placeStrip() {
    if (strip_) strip_->setCenter(CGPointMake((on_ ? 0 : -kTravel) + kStripWidth / 2, kHeight / 2));
}

void Switch::setOn(bool on, bool animated) {
    if (on == on_) return;
    on_ = on;
    if (animated)
        View::animateWithDuration(kToggleDuration, 0, kAnimationOptionCurveEaseInOut, [this] { placeStrip(); }, {});
    else
        placeStrip();
}

void Switch::endTracking(CGPoint, bool inside) {
    if (!inside) return;
    setOn(!on_, true);
    sendActionsForControlEvents(kControlEventValueChanged);
}

void Switch::stateChanged() {
    if (knob_) static_cast<SwitchKnob*>(knob_)->setPressed(isHighlighted());
}

}  // namespace host
