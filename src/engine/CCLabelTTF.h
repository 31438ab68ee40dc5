// CCLabelTTF: a sprite showing a string rendered by the host's font engine.
//
// Every setString renders and uploads a new A8 texture (white text on
// transparent black), so the label takes its sprite colour and opacity.
// Fonts are looked up among the system fonts first, then among the
// application's own (host::CustomFontManager). Box and font size are kept
// in pixels: the points given times the content scale factor.
#pragma once

#include <cstdint>
#include <string>

#include "engine/CCProtocols.h"
#include "engine/CCSprite.h"

class CCLabelTTF : public CCSprite, public CCLabelProtocol {
public:
    // Autoreleased; nullptr when the sprite cannot be initialised.
    static CCLabelTTF* labelWithString(const std::string& string, const std::string& fontName, float fontSize);
    static CCLabelTTF* labelWithString(const std::string& string, CGSize dimensions, int alignment,
                                       const std::string& fontName, float fontSize);
    static CCLabelTTF* labelWithString(const std::string& string, CGSize dimensions, int alignment,
                                       int lineBreakMode, const std::string& fontName, float fontSize);

    // A label always names its font: the bare initialiser fails.
    bool init() override { return false; }
    // Box (0, 0): the texture fits the text.
    bool initWithString(const std::string& string, const std::string& fontName, float fontSize);
    // Line-break mode 0 (word wrap).
    bool initWithString(const std::string& string, CGSize dimensions, int alignment, const std::string& fontName,
                        float fontSize);
    // Box in points, alignment 0 left / 1 centre / 2 right, the host's
    // line-break mode, size in points.
    bool initWithString(const std::string& string, CGSize dimensions, int alignment, int lineBreakMode,
                        const std::string& fontName, float fontSize);

    // Renders a new texture for the string, even when it is unchanged.
    void setString(const std::string& string) override;
    std::string string() const override { return string_; }

    // In pixels.
    CGSize dimensions() const { return dimensions_; }
    int32_t alignment() const { return alignment_; }
    int32_t lineBreakMode() const { return lineBreakMode_; }
    const std::string& fontName() const { return fontName_; }
    float fontSize() const { return fontSize_; }

    std::string description() const override;

protected:
    ~CCLabelTTF() override = default;

private:
    CGSize dimensions_ = CGSizeZero;
    int32_t alignment_ = 0;
    std::string fontName_;
    float fontSize_ = 0;
    int32_t lineBreakMode_ = 0;
    std::string string_;
};
