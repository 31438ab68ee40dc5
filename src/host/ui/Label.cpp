#include "host/ui/Label.h"

#include <cmath>

#include "host/graphics/DrawingContext.h"

namespace host {

namespace {
constexpr float kUnbounded = 100000;
}

// ---- TextContentView -------------------------------------------------------------

void TextContentView::setText(const std::string& t) {
    if (t == text_) return;
    text_ = t;
    setNeedsDisplay();
}

void TextContentView::setFont(Font* f) {
    if (f == font_.get()) return;
    font_ = f;
    setNeedsDisplay();
}

void TextContentView::setTextColor(Color c) {
    if (c == textColor_) return;
    textColor_ = c;
    setNeedsDisplay();
}

void TextContentView::setTextAlignment(int a) {
    if (a == alignment_) return;
    alignment_ = a;
    setNeedsDisplay();
}

Font* TextContentView::drawingFont() const {
    if (font_) return font_.get();
    if (!defaultFont_) defaultFont_ = Font::systemFontOfSize(defaultFontSize_);
    return defaultFont_.get();
}

// ---- Label ------------------------------------------------------------------------

bool Label::initWithFrame(CGRect frame) {
    if (!View::initWithFrame(frame)) return false;
    setBackgroundColor(Color::whiteColor());
    setUserInteractionEnabled(false);
    return true;
}

Label* Label::labelWithFrame(CGRect frame) {
    return create<Label>([frame](Label* l) { return l->initWithFrame(frame); });
}

void Label::setLineBreakMode(int m) {
    if (m == lineBreakMode_) return;
    lineBreakMode_ = m;
    setNeedsDisplay();
}

void Label::setNumberOfLines(int n) {
    n = n < 0 ? 0 : n;
    if (n == numberOfLines_) return;
    numberOfLines_ = n;
    setNeedsDisplay();
}

void Label::setShadowColor(Color c) {
    if (c == shadowColor_) return;
    shadowColor_ = c;
    setNeedsDisplay();
}

void Label::setShadowOffset(CGSize o) {
    if (CGSizeEqualToSize(o, shadowOffset_)) return;
    shadowOffset_ = o;
    setNeedsDisplay();
}

CGSize Label::sizeThatFits(CGSize size) const {
    Font* f = drawingFont();
    if (!f || text().empty()) return CGSizeZero;
    if (numberOfLines_ == 1) {
        const CGSize s = f->sizeOfString(text());
        return CGSizeMake(std::ceil(s.width), std::ceil(f->lineHeight()));
    }
    const float w = size.width > 0 ? size.width : kUnbounded;
    const float h = numberOfLines_ > 0 ? float(numberOfLines_) * f->lineHeight() : kUnbounded;
    TextLayout layout(*f, text(), CGSizeMake(w, h), kTextLineBreakModeWordWrap, textAlignment());
    const CGSize used = layout.usedSize();
    return CGSizeMake(std::ceil(used.width), std::ceil(used.height));
}

void Label::drawRect(DrawingContext& ctx, CGRect rect) {
    Font* f = drawingFont();
    if (!f || text().empty()) return;
    if (!shadowColor_.isClear()) {
        CGRect shadow = rect;
        shadow.origin.x += shadowOffset_.width;
        shadow.origin.y += shadowOffset_.height;
        ctx.drawText(text(), *f, shadow, lineBreakMode_, textAlignment(), shadowColor_, numberOfLines_, true);
    }
    ctx.drawText(text(), *f, rect, lineBreakMode_, textAlignment(), textColor(), numberOfLines_, true);
}

// ---- TextView -----------------------------------------------------------------------

bool TextView::initWithFrame(CGRect frame) {
    if (!View::initWithFrame(frame)) return false;
    setBackgroundColor(Color::whiteColor());
    return true;
}

TextView* TextView::textViewWithFrame(CGRect frame) {
    return create<TextView>([frame](TextView* t) { return t->initWithFrame(frame); });
}

void TextView::drawRect(DrawingContext& ctx, CGRect rect) {
    Font* f = drawingFont();
    if (!f || text().empty()) return;
    // Lines run on to the bottom edge, where the last one may be cut.
    const CGRect box = CGRectMake(rect.origin.x + kInset, rect.origin.y + kInset, rect.size.width - 2 * kInset,
                                  rect.size.height - kInset);
    ctx.drawText(text(), *f, box, kTextLineBreakModeWordWrap, textAlignment(), textColor());
}

}  // namespace host
