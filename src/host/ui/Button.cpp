#include "host/ui/Button.h"

#include <algorithm>
#include <cmath>

#include "host/graphics/DrawingContext.h"
#include "host/text/TextLayout.h"

namespace host {

namespace {

constexpr float kDefaultFontSize = 15;
constexpr float kImageTitleGap = 4;
constexpr float kRoundedRadius = 9;
const Color kRoundedTitle{0.22f, 0.33f, 0.53f, 1};
const Color kRoundedBorder{0.55f, 0.55f, 0.58f, 1};
const LinearGradient kPressedFill{{Color{0.02f, 0.55f, 0.96f, 1}, 0}, {Color{0.0f, 0.36f, 0.86f, 1}, 1}};

int slotFor(unsigned state) {
    if (state & kControlStateHighlighted) return 1;
    if (state & kControlStateDisabled) return 2;
    if (state & kControlStateSelected) return 3;
    return 0;
}

}  // namespace

template <class T>
void Button::PerState<T>::set(unsigned state, T v) {
    const int slot = slotFor(state);
    values[slot] = std::move(v);
    given[slot] = true;
}

template <class T>
T Button::PerState<T>::get(unsigned state) const {
    const int slot = slotFor(state);
    if (given[slot]) return values[slot];
    if ((state & kControlStateSelected) && given[3]) return values[3];
    return values[0];
}

template <class T>
bool Button::PerState<T>::has(unsigned state) const {
    return given[slotFor(state)];
}

Button* Button::buttonWithType(int type) {
    return create<Button>([type](Button* b) { return b->initWithType(type); });
}

bool Button::initWithType(int type) {
    if (!initWithFrame(CGRectZero)) return false;
    type_ = type == kButtonTypeRoundedRect ? kButtonTypeRoundedRect : kButtonTypeCustom;
    if (type_ == kButtonTypeRoundedRect) {
        titleColors_.set(kControlStateNormal, kRoundedTitle);
        titleColors_.set(kControlStateHighlighted, Color::whiteColor());
    } else {
        titleColors_.set(kControlStateNormal, Color::whiteColor());
    }
    return true;
}

void Button::setTitle(const std::string& title, unsigned state) {
    titles_.set(state, title);
    setNeedsDisplay();
}
std::string Button::titleForState(unsigned state) const { return titles_.get(state); }

void Button::setTitleColor(Color c, unsigned state) {
    titleColors_.set(state, c);
    setNeedsDisplay();
}
Color Button::titleColorForState(unsigned state) const { return titleColors_.get(state); }

void Button::setImage(Image* image, unsigned state) {
    images_.set(state, image);
    setNeedsDisplay();
}
Image* Button::imageForState(unsigned state) const { return images_.get(state).get(); }

void Button::setBackgroundImage(Image* image, unsigned state) {
    backgrounds_.set(state, image);
    setNeedsDisplay();
}
Image* Button::backgroundImageForState(unsigned state) const { return backgrounds_.get(state).get(); }

void Button::setTitleFont(Font* f) {
    font_ = f;
    setNeedsDisplay();
}

Font* Button::titleFont() const {
    if (font_) return font_.get();
    if (!defaultFont_) defaultFont_ = Font::boldSystemFont(kDefaultFontSize);
    return defaultFont_.get();
}

void Button::setAdjustsImageWhenHighlighted(bool a) {
    adjustsImage_ = a;
    setNeedsDisplay();
}

CGSize Button::sizeThatFits(CGSize) const {
    const std::string title = currentTitle();
    Image* image = currentImage();
    Font* f = titleFont();
    CGSize text = f && !title.empty() ? f->sizeOfString(title) : CGSizeZero;
    const float iw = image ? float(image->width()) : 0, ih = image ? float(image->height()) : 0;
    const float gap = iw > 0 && text.width > 0 ? kImageTitleGap : 0;
    return CGSizeMake(std::ceil(iw + gap + text.width), std::ceil(std::max(ih, f ? f->lineHeight() : 0)));
}

void Button::drawRect(DrawingContext& ctx, CGRect rect) {
    const unsigned s = state();
    const bool pressed = s & kControlStateHighlighted;
    const bool disabled = s & kControlStateDisabled;
    if (type_ == kButtonTypeRoundedRect) {
        const CGRect shape = CGRectInset(rect, 0.5f, 0.5f);
        if (pressed) {
            ctx.fillRoundedRect(shape, kRoundedRadius, kPressedFill, CGPointMake(0, rect.origin.y),
                                CGPointMake(0, rect.origin.y + rect.size.height));
        } else {
            ctx.fillRoundedRect(shape, kRoundedRadius, Color::whiteColor());
            ctx.strokeRoundedRect(shape, kRoundedRadius, 1, kRoundedBorder);
        }
    }
    if (Image* bg = backgroundImageForState(s)) ctx.drawImage(*bg, rect, disabled ? 0.5f : 1);

    // The image and the title side by side, centred as one group.
    Image* image = imageForState(s);
    const bool darken = pressed && adjustsImage_ && !images_.has(kControlStateHighlighted);
    CGSize imageSize = image ? CGSizeMake(float(image->width()), float(image->height())) : CGSizeZero;
    if (imageSize.width > rect.size.width || imageSize.height > rect.size.height) {
        const float k = std::min(rect.size.width / imageSize.width, rect.size.height / imageSize.height);
        imageSize = CGSizeMake(imageSize.width * k, imageSize.height * k);
    }
    const std::string title = titleForState(s);
    Font* f = titleFont();
    float textW = f && !title.empty() ? f->sizeOfString(title).width : 0;
    const float gap = imageSize.width > 0 && textW > 0 ? kImageTitleGap : 0;
    textW = std::min(textW, rect.size.width - imageSize.width - gap);
    const float x = rect.origin.x + (rect.size.width - (imageSize.width + gap + textW)) / 2;
    if (image && imageSize.width > 0) {
        const CGRect at = CGRectMake(std::round(x), std::round(rect.origin.y + (rect.size.height - imageSize.height) / 2),
                                     imageSize.width, imageSize.height);
        ctx.drawImage(*image, at, disabled ? 0.5f : 1, darken ? 0.6f : 1);
    }
    if (textW > 0) {
        Color c = titleColorForState(s);
        if (disabled && !titleColors_.has(kControlStateDisabled)) c.a *= 0.5f;
        // Without an image the whole width is the title's, centred; beside
        // one it starts after the image.
        const CGRect box = imageSize.width > 0
                               ? CGRectMake(x + imageSize.width + gap, rect.origin.y, textW + 1, rect.size.height)
                               : rect;
        ctx.drawText(title, *f, box, kTextLineBreakModeTailTruncation,
                     imageSize.width > 0 ? kTextAlignmentLeft : kTextAlignmentCenter, c, 1, true);
    }
}

}  // namespace host
