// Buttons: a title and an image (and a background image) for each state,
// normal, highlighted, disabled and selected; what a state does not set
// comes from the normal state. Target-action as for every control (touch
// up inside is the usual event).
//
// Custom buttons draw only what they are given (a highlighted image that is
// not set shows the normal one darkened); rounded-rect buttons draw the
// platform's white rounded button, blue while pressed.
#pragma once

#include <string>

#include "host/graphics/Image.h"
#include "host/text/Font.h"
#include "host/ui/Control.h"

namespace host {

enum ButtonType : int {
    kButtonTypeCustom = 0,
    kButtonTypeRoundedRect = 1,
};

class Button : public Control {
public:
    static Button* buttonWithType(int type);
    int buttonType() const { return type_; }

    void setTitle(const std::string& title, unsigned state);
    std::string titleForState(unsigned state) const;
    std::string currentTitle() const { return titleForState(state()); }
    void setTitleColor(Color c, unsigned state);
    Color titleColorForState(unsigned state) const;
    void setImage(Image* image, unsigned state);
    Image* imageForState(unsigned state) const;
    Image* currentImage() const { return imageForState(state()); }
    void setBackgroundImage(Image* image, unsigned state);
    Image* backgroundImageForState(unsigned state) const;
    // nullptr restores the default (bold system font, 15 points).
    void setTitleFont(Font* f);
    Font* titleFont() const;
    bool adjustsImageWhenHighlighted() const { return adjustsImage_; }
    void setAdjustsImageWhenHighlighted(bool a);

    CGSize sizeThatFits(CGSize size) const override;
    void drawRect(DrawingContext& ctx, CGRect rect) override;

private:
    static constexpr int kSlots = 4;  // normal, highlighted, disabled, selected
    template <class T>
    struct PerState {
        T values[kSlots] = {};
        bool given[kSlots] = {};
        void set(unsigned state, T v);
        // The value for a state, falling back to the normal state's.
        T get(unsigned state) const;
        bool has(unsigned state) const;
    };
    bool initWithType(int type);

    int type_ = kButtonTypeCustom;
    PerState<std::string> titles_;
    PerState<Color> titleColors_;
    PerState<Ref<Image>> images_;
    PerState<Ref<Image>> backgrounds_;
    Ref<Font> font_;
    mutable Ref<Font> defaultFont_;
    bool adjustsImage_ = true;
};

}  // namespace host
