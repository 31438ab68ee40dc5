#include "host/ui/ActionSheet.h"

#include <algorithm>

#include "host/core/Log.h"
#include "host/graphics/DrawingContext.h"
#include "host/text/Font.h"
#include "host/ui/Label.h"
#include "host/ui/Window.h"

namespace host {

namespace {

constexpr float kMargin = 20;
constexpr float kMaxButtonWidth = 440;
constexpr float kPadding = 10;
constexpr float kGap = 6;
constexpr float kTitleSize = 13;
constexpr float kButtonTitleSize = 18;
constexpr float kMinButtonHeight = 24, kMaxButtonHeight = 44;

// The sheet's dark, slightly translucent ground.
class SheetPanel : public View {
public:
    void drawRect(DrawingContext& ctx, CGRect rect) override {
        const LinearGradient fill{{Color{0.32f, 0.35f, 0.41f, 0.96f}, 0}, {Color{0.11f, 0.12f, 0.15f, 0.97f}, 1}};
        ctx.fillRoundedRect(rect, 0, fill, CGPointMake(0, 0), CGPointMake(0, rect.size.height));
        ctx.fillRect(CGRectMake(0, 0, rect.size.width, 1), Color{1, 1, 1, 0.35f});
    }
};

}  // namespace

bool ActionSheet::initWithTitle(const std::string& title, ActionSheetDelegate* delegate,
                                const std::string& cancelButtonTitle, const std::string& destructiveButtonTitle,
                                const std::vector<std::string>& otherButtonTitles) {
    if (!ModalChoiceView::initWithTitle(title)) return false;
    delegate_ = delegate;
    if (!destructiveButtonTitle.empty()) destructiveIndex_ = addButtonWithTitle(destructiveButtonTitle);
    for (const std::string& t : otherButtonTitles) addButtonWithTitle(t);
    if (!cancelButtonTitle.empty()) setCancelButtonIndex(addButtonWithTitle(cancelButtonTitle));
    return true;
}

ActionSheet* ActionSheet::actionSheetWithTitle(const std::string& title, ActionSheetDelegate* delegate,
                                               const std::string& cancelButtonTitle,
                                               const std::string& destructiveButtonTitle,
                                               const std::vector<std::string>& otherButtonTitles) {
    return create<ActionSheet>([&](ActionSheet* s) {
        return s->initWithTitle(title, delegate, cancelButtonTitle, destructiveButtonTitle, otherButtonTitles);
    });
}

void ActionSheet::showInView(View* view) {
    Window* window = view ? view->window() : nullptr;
    if (!window) window = Window::keyWindow();
    if (!window) {
        log("action sheet: no window to show \"%s\" in", title().c_str());
        return;
    }
    presentInLayer(window->presentationLayer());
}

ModalChoiceView::ButtonStyle ActionSheet::styleForButton(int index) const {
    if (index == destructiveIndex_) return kStyleDestructive;
    return ModalChoiceView::styleForButton(index);
}

View* ActionSheet::makePanel(CGRect area) {
    const float w = area.size.width, h = area.size.height;
    const float buttonW = std::min(w - 2 * kMargin, kMaxButtonWidth);
    Ref<Font> titleFont = Font::systemFontOfSize(kTitleSize);
    Ref<Font> buttonFont = Font::boldSystemFont(kButtonTitleSize);
    const float titleH = title().empty() ? 0 : textHeight(title(), titleFont.get(), buttonW, 2) + kGap;
    const int n = numberOfButtons();
    const bool cancelLast = cancelButtonIndex() == n - 1 && n > 1;
    const float extra = cancelLast ? kGap : 0;
    // The buttons share what the window's height leaves them.
    const float room = h - 2 * kMargin - 2 * kPadding - titleH - float(std::max(0, n - 1)) * kGap - extra;
    const float buttonH = n > 0 ? std::min(kMaxButtonHeight, std::max(kMinButtonHeight, room / float(n))) : 0;
    const float panelH = kPadding + titleH + float(n) * buttonH + float(std::max(0, n - 1)) * kGap + extra + kPadding;

    SheetPanel* panel = create<SheetPanel>([&](SheetPanel* p) {
        return p->initWithFrame(CGRectMake(area.origin.x, area.origin.y + h - panelH, w, panelH));
    });
    if (!panel) return nullptr;
    panel->setBackgroundColor(Color::clearColor());
    const float x = (w - buttonW) / 2;
    float y = kPadding;
    if (!title().empty()) {
        if (Label* l = makeText(title(), titleFont.get(), CGRectMake(x, y, buttonW, titleH - kGap), 2)) {
            l->setTextColor(Color::white(0.85f, 1));
            panel->addSubview(l);
        }
        y += titleH;
    }
    for (int i = 0; i < n; ++i) {
        if (cancelLast && i == n - 1) y += extra;
        if (Button* b = makeButton(i, 8, buttonFont.get())) {
            b->setFrame(CGRectMake(x, y, buttonW, buttonH));
            panel->addSubview(b);
        }
        y += buttonH + kGap;
    }
    return panel;
}

void ActionSheet::animateIn(View* panel, View* dim, std::function<void()> done) {
    const CGPoint rest = panel->center();
    panel->setCenter(CGPointMake(rest.x, rest.y + panel->bounds().size.height));
    dim->setAlpha(0);
    View::animateWithDuration(kSlideDuration, 0, kAnimationOptionCurveEaseOut, [=] {
        panel->setCenter(rest);
        dim->setAlpha(1);
    }, [done](bool) { done(); });
}

void ActionSheet::animateOut(View* panel, View* dim, std::function<void()> done) {
    const CGPoint c = panel->center();
    View::animateWithDuration(kSlideDuration, 0, kAnimationOptionCurveEaseIn, [=] {
        panel->setCenter(CGPointMake(c.x, c.y + panel->bounds().size.height));
        dim->setAlpha(0);
    }, [done](bool) { done(); });
}

void ActionSheet::willPresent() {
    if (delegate_) delegate_->willPresentActionSheet(this);
}
void ActionSheet::didPresent() {
    if (delegate_) delegate_->didPresentActionSheet(this);
}
void ActionSheet::clicked(int index) {
    if (delegate_) delegate_->actionSheetClickedButtonAtIndex(this, index);
}
void ActionSheet::willDismiss(int index) {
    if (delegate_) delegate_->actionSheetWillDismissWithButtonIndex(this, index);
}
void ActionSheet::didDismiss(int index) {
    if (delegate_) delegate_->actionSheetDidDismissWithButtonIndex(this, index);
}

}  // namespace host
