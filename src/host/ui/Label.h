// Text views drawn with the host's text engine: labels (one or more lines,
// centred vertically, with truncation and an optional shadow) and text
// views (word-wrapped text from the top left, inside a small margin).
//
// Fonts are given at their size in points; the text is drawn at the
// screen's scale. Changing the text or its look draws it again; moving or
// fading the view does not.
#pragma once

#include <string>

#include "host/text/Font.h"
#include "host/text/TextLayout.h"
#include "host/ui/View.h"

namespace host {

// What labels and text views share: the text and how it looks.
class TextContentView : public View {
public:
    const std::string& text() const { return text_; }
    void setText(const std::string& t);
    Font* font() const { return font_.get(); }
    // nullptr restores the default font.
    void setFont(Font* f);
    Color textColor() const { return textColor_; }
    void setTextColor(Color c);
    int textAlignment() const { return alignment_; }
    void setTextAlignment(int a);

protected:
    TextContentView(float defaultFontSize) : defaultFontSize_(defaultFontSize) {}
    // The font to draw with (the default one when none was set).
    Font* drawingFont() const;

private:
    std::string text_;
    Ref<Font> font_;
    mutable Ref<Font> defaultFont_;
    float defaultFontSize_;
    Color textColor_ = Color::blackColor();
    int alignment_ = kTextAlignmentLeft;
};

class Label : public TextContentView {
public:
    static constexpr float kDefaultFontSize = 17;
    Label() : TextContentView(kDefaultFontSize) {}
    // White background, no user interaction, as on the platform.
    bool initWithFrame(CGRect frame) override;
    static Label* labelWithFrame(CGRect frame);

    int lineBreakMode() const { return lineBreakMode_; }
    void setLineBreakMode(int m);
    // 0: as many lines as fit.
    int numberOfLines() const { return numberOfLines_; }
    void setNumberOfLines(int n);
    Color shadowColor() const { return shadowColor_; }
    void setShadowColor(Color c);
    CGSize shadowOffset() const { return shadowOffset_; }
    void setShadowOffset(CGSize o);

    CGSize sizeThatFits(CGSize size) const override;
    void drawRect(DrawingContext& ctx, CGRect rect) override;

private:
    int lineBreakMode_ = kTextLineBreakModeTailTruncation;
    int numberOfLines_ = 1;
    Color shadowColor_ = Color::clearColor();
    CGSize shadowOffset_ = CGSizeMake(0, -1);
};

class TextView : public TextContentView {
public:
    static constexpr float kDefaultFontSize = 12;
    // The margin between the view's edges and its text.
    static constexpr float kInset = 8;
    TextView() : TextContentView(kDefaultFontSize) {}
    bool initWithFrame(CGRect frame) override;
    static TextView* textViewWithFrame(CGRect frame);

    // Kept for callers that set it; the host's text views never edit.
    bool isEditable() const { return editable_; }
    void setEditable(bool e) { editable_ = e; }

    void drawRect(DrawingContext& ctx, CGRect rect) override;

private:
    bool editable_ = true;
};

}  // namespace host
