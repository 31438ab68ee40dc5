#include "host/ui/ModalChoiceView.h"

#include <cmath>

#include "host/graphics/DrawingContext.h"
#include "host/text/TextLayout.h"
#include "host/ui/Label.h"

namespace host {

namespace {

const Color kDim{0, 0, 0, 0.4f};

// A button drawn as a glossy rounded bar in its palette's colours.
class ChoiceButton : public Button {
public:
    ModalChoiceView::ButtonPalette palette{};
    float radius = 6;

    void drawRect(DrawingContext& ctx, CGRect rect) override {
        const bool pressed = isHighlighted();
        const LinearGradient fill{{pressed ? palette.pressedTop : palette.top, 0},
                                  {pressed ? palette.pressedBottom : palette.bottom, 1}};
        const CGRect shape = CGRectInset(rect, 0.5f, 0.5f);
        ctx.fillRoundedRect(shape, radius, fill, CGPointMake(0, rect.origin.y),
                            CGPointMake(0, rect.origin.y + rect.size.height));
        ctx.strokeRoundedRect(shape, radius, 1, palette.border);
        Button::drawRect(ctx, rect);
    }
};

}  // namespace

bool ModalChoiceView::initWithTitle(const std::string& title) {
    if (!initWithFrame(interfaceBounds())) return false;
    title_ = title;
    setBackgroundColor(Color::clearColor());
    return true;
}

int ModalChoiceView::addButtonWithTitle(const std::string& title) {
    titles_.push_back(title);
    return int(titles_.size()) - 1;
}

std::string ModalChoiceView::buttonTitleAtIndex(int index) const {
    return index >= 0 && index < int(titles_.size()) ? titles_[size_t(index)] : std::string();
}

ModalChoiceView::ButtonPalette ModalChoiceView::paletteFor(ButtonStyle style) const {
    switch (style) {
        case kStyleCancel:
            return ButtonPalette{Color{0.40f, 0.42f, 0.47f, 1}, Color{0.20f, 0.21f, 0.25f, 1}, Color{0.55f, 0.57f, 0.62f, 1},
                                 Color{0.33f, 0.35f, 0.40f, 1}, Color{0, 0, 0, 0.6f}, Color::whiteColor()};
        case kStyleDestructive:
            return ButtonPalette{Color{0.96f, 0.30f, 0.25f, 1}, Color{0.76f, 0.08f, 0.06f, 1}, Color{1.0f, 0.45f, 0.40f, 1},
                                 Color{0.88f, 0.20f, 0.16f, 1}, Color{0, 0, 0, 0.6f}, Color::whiteColor()};
        default:
            return ButtonPalette{Color{0.98f, 0.98f, 0.98f, 1}, Color{0.84f, 0.85f, 0.87f, 1}, Color{0.16f, 0.55f, 0.96f, 1},
                                 Color{0.02f, 0.36f, 0.86f, 1}, Color{0, 0, 0, 0.6f}, Color{0.1f, 0.1f, 0.12f, 1}};
    }
}

Button* ModalChoiceView::makeButton(int index, float cornerRadius, Font* font) {
    ChoiceButton* b = create<ChoiceButton>([](ChoiceButton* c) { return c->initWithFrame(CGRectZero); });
    if (!b) return nullptr;
    b->palette = paletteFor(styleForButton(index));
    b->radius = cornerRadius;
    b->setTag(index);
    b->setTitle(buttonTitleAtIndex(index), kControlStateNormal);
    b->setTitleFont(font);
    b->setTitleColor(b->palette.title, kControlStateNormal);
    if (styleForButton(index) == kStyleDefault) b->setTitleColor(Color::whiteColor(), kControlStateHighlighted);
    b->addTarget(this, cc_selector(ModalChoiceView::buttonClicked), kControlEventTouchUpInside);
    return b;
}

Label* ModalChoiceView::makeText(const std::string& text, Font* font, CGRect frame, int lines) {
    Label* l = Label::labelWithFrame(frame);
    if (!l) return nullptr;
    l->setText(text);
    l->setFont(font);
    l->setTextColor(Color::whiteColor());
    l->setBackgroundColor(Color::clearColor());
    l->setTextAlignment(kTextAlignmentCenter);
    l->setNumberOfLines(lines);
    l->setLineBreakMode(lines == 1 ? kTextLineBreakModeTailTruncation : kTextLineBreakModeWordWrap);
    return l;
}

float ModalChoiceView::textHeight(const std::string& text, Font* font, float width, int lines) {
    if (text.empty() || !font || width <= 0) return 0;
    const float h = lines > 0 ? float(lines) * font->lineHeight() : 100000;
    TextLayout layout(*font, text, CGSizeMake(width, h), kTextLineBreakModeWordWrap, kTextAlignmentCenter);
    return std::ceil(layout.usedSize().height);
}

void ModalChoiceView::presentInLayer(View* layer) {
    if (!layer || visible_) return;
    Ref<ModalChoiceView> keep = this;
    const CGRect area = layer->bounds();
    setFrame(area);
    // Shown again: built afresh.
    while (!subviews().empty()) subviews().back()->removeFromSuperview();
    View* dim = View::viewWithFrame(area);
    View* panel = makePanel(area);
    if (!dim || !panel) return;
    dim->setBackgroundColor(kDim);
    dim->setUserInteractionEnabled(false);
    addSubview(dim);
    addSubview(panel);
    dim_ = dim;
    panel_ = panel;
    visible_ = true;
    willPresent();
    layer->addSubview(this);
    animateIn(panel, dim, [keep] { keep->didPresent(); });
}

void ModalChoiceView::buttonClicked(Button* button) {
    if (!visible_ || dismissing_ || !button) return;
    Ref<ModalChoiceView> keep = this;
    const int index = button->tag();
    clicked(index);
    dismissWithClickedButtonIndex(index, true);
}

void ModalChoiceView::dismissWithClickedButtonIndex(int index, bool animated) {
    if (dismissing_) return;
    Ref<ModalChoiceView> keep = this;
    if (!visible_) {
        if (!dismissUnshown(index)) return;
        willDismiss(index);
        didDismiss(index);
        if (didDismissHandler_) didDismissHandler_(index);
        return;
    }
    dismissing_ = true;
    willDismiss(index);
    if (animated && panel_ && dim_)
        animateOut(panel_, dim_, [keep, index] { keep->finishDismissal(index); });
    else
        finishDismissal(index);
}

void ModalChoiceView::finishDismissal(int index) {
    Ref<ModalChoiceView> keep = this;
    removeFromSuperview();
    visible_ = false;
    dismissing_ = false;
    didDismiss(index);
    if (didDismissHandler_) didDismissHandler_(index);
    didFinishDismissal();
}

}  // namespace host
