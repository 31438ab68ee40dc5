#include "host/ui/AlertView.h"

#include <algorithm>

#include "host/core/Log.h"
#include "host/core/RunLoop.h"
#include "host/graphics/DrawingContext.h"
#include "host/text/Font.h"
#include "host/ui/Label.h"
#include "host/ui/Window.h"

namespace host {

namespace {

constexpr float kBoxWidth = 284;
constexpr float kPadding = 16;
constexpr float kGap = 8;
constexpr float kButtonHeight = 43;
constexpr float kCornerRadius = 10;
constexpr float kTitleSize = 17, kMessageSize = 16, kButtonTitleSize = 17;
constexpr float kPopScale = 1.12f;

// The alert's blue, glossy, white-edged box.
class AlertBox : public View {
public:
    void drawRect(DrawingContext& ctx, CGRect rect) override {
        const CGRect shape = CGRectInset(rect, 1, 1);
        const LinearGradient fill{{Color{0.16f, 0.23f, 0.48f, 0.93f}, 0}, {Color{0.04f, 0.08f, 0.27f, 0.93f}, 1}};
        ctx.fillRoundedRect(shape, kCornerRadius, fill, CGPointMake(0, 0), CGPointMake(0, rect.size.height));
        const LinearGradient gloss{{Color{1, 1, 1, 0.22f}, 0}, {Color{1, 1, 1, 0.04f}, 1}};
        ctx.saveState();
        ctx.clipToRect(CGRectMake(0, 0, rect.size.width, 36));
        ctx.fillRoundedRect(shape, kCornerRadius, gloss, CGPointMake(0, 0), CGPointMake(0, 36));
        ctx.restoreState();
        ctx.strokeRoundedRect(shape, kCornerRadius, 2, Color{1, 1, 1, 0.85f});
    }
};

}  // namespace

bool AlertView::initWithTitle(const std::string& title, const std::string& message, AlertViewDelegate* delegate,
                              const std::string& cancelButtonTitle, const std::vector<std::string>& otherButtonTitles) {
    if (!ModalChoiceView::initWithTitle(title)) return false;
    message_ = message;
    delegate_ = delegate;
    if (!cancelButtonTitle.empty()) setCancelButtonIndex(addButtonWithTitle(cancelButtonTitle));
    for (const std::string& t : otherButtonTitles) addButtonWithTitle(t);
    return true;
}

AlertView* AlertView::alertWithTitle(const std::string& title, const std::string& message,
                                     AlertViewDelegate* delegate, const std::string& cancelButtonTitle,
                                     const std::vector<std::string>& otherButtonTitles) {
    return create<AlertView>([&](AlertView* a) {
        return a->initWithTitle(title, message, delegate, cancelButtonTitle, otherButtonTitles);
    });
}

void AlertView::show() {
    if (!RunLoop::isMainThread()) {
        Ref<AlertView> keep = this;
        RunLoop::main().performOnMainThread([keep] { keep->show(); }, false);
        return;
    }
    Window* window = Window::keyWindow();
    if (!window) {
        log("alert: no window to show \"%s\" in", title().c_str());
        return;
    }
    window_ = window;
    window->enqueueAlert(this);
}

bool AlertView::dismissUnshown(int) { return window_ && window_->removeQueuedAlert(this); }

void AlertView::didFinishDismissal() {
    if (Window* w = window_) {
        window_ = nullptr;
        w->alertDidDismiss(this);
    }
}

ModalChoiceView::ButtonPalette AlertView::paletteFor(ButtonStyle style) const {
    const bool cancel = style == kStyleCancel;
    return ButtonPalette{Color{1, 1, 1, cancel ? 0.16f : 0.30f}, Color{1, 1, 1, cancel ? 0.06f : 0.14f},
                         Color{1, 1, 1, 0.50f},                  Color{1, 1, 1, 0.32f},
                         Color{1, 1, 1, 0.55f},                  Color::whiteColor()};
}

View* AlertView::makePanel(CGRect area) {
    Ref<Font> titleFont = Font::boldSystemFont(kTitleSize);
    Ref<Font> messageFont = Font::systemFontOfSize(kMessageSize);
    Ref<Font> buttonFont = Font::boldSystemFont(kButtonTitleSize);
    const float textW = kBoxWidth - 2 * kPadding;
    const int n = numberOfButtons();
    const bool row = n == 2;  // two buttons side by side, more stacked
    const float buttonsH = n == 0 ? 0 : row ? kButtonHeight : float(n) * kButtonHeight + float(n - 1) * kGap;
    const float titleH = textHeight(title(), titleFont.get(), textW, 3);
    float messageH = textHeight(message_, messageFont.get(), textW, 0);
    // A long message is cut so the box stays on screen.
    const float fixed = kPadding + titleH + (messageH > 0 ? kGap : 0) + kPadding + buttonsH + kPadding;
    messageH = std::max(0.0f, std::min(messageH, area.size.height - 20 - fixed));
    const float boxH = fixed + messageH;

    AlertBox* box = create<AlertBox>([&](AlertBox* b) {
        return b->initWithFrame(CGRectMake(area.origin.x + (area.size.width - kBoxWidth) / 2,
                                           area.origin.y + (area.size.height - boxH) / 2, kBoxWidth, boxH));
    });
    if (!box) return nullptr;
    box->setBackgroundColor(Color::clearColor());
    float y = kPadding;
    if (titleH > 0) {
        if (Label* l = makeText(title(), titleFont.get(), CGRectMake(kPadding, y, textW, titleH), 3)) {
            l->setShadowColor(Color{0, 0, 0, 0.6f});
            box->addSubview(l);
        }
        y += titleH;
    }
    if (messageH > 0) {
        y += kGap;
        if (Label* l = makeText(message_, messageFont.get(), CGRectMake(kPadding, y, textW, messageH), 0))
            box->addSubview(l);
        y += messageH;
    }
    y += kPadding;
    const float buttonW = row ? (textW - kGap) / 2 : textW;
    for (int i = 0; i < n; ++i) {
        Button* b = makeButton(i, 6, buttonFont.get());
        if (!b) continue;
        const float bx = row ? kPadding + float(i) * (buttonW + kGap) : kPadding;
        const float by = row ? y : y + float(i) * (kButtonHeight + kGap);
        b->setFrame(CGRectMake(bx, by, buttonW, kButtonHeight));
        box->addSubview(b);
    }
    return box;
}

void AlertView::animateIn(View* panel, View* dim, std::function<void()> done) {
    panel->setAlpha(0);
    panel->setTransform(CGAffineTransformMakeScale(kPopScale, kPopScale));
    dim->setAlpha(0);
    View::animateWithDuration(kShowDuration, 0, kAnimationOptionCurveEaseOut, [=] {
        panel->setAlpha(1);
        panel->setTransform(CGAffineTransformIdentity);
        dim->setAlpha(1);
    }, [done](bool) { done(); });
}

void AlertView::animateOut(View* panel, View* dim, std::function<void()> done) {
    View::animateWithDuration(kDismissDuration, 0, kAnimationOptionCurveEaseIn, [=] {
        panel->setAlpha(0);
        dim->setAlpha(0);
    }, [done](bool) { done(); });
}

void AlertView::willPresent() {
    if (delegate_) delegate_->willPresentAlertView(this);
}
void AlertView::didPresent() {
    if (delegate_) delegate_->didPresentAlertView(this);
}
void AlertView::clicked(int index) {
    if (delegate_) delegate_->alertViewClickedButtonAtIndex(this, index);
}
void AlertView::willDismiss(int index) {
    if (delegate_) delegate_->alertViewWillDismissWithButtonIndex(this, index);
}
void AlertView::didDismiss(int index) {
    if (delegate_) delegate_->alertViewDidDismissWithButtonIndex(this, index);
}

}  // namespace host
