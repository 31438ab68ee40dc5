// CCLabelBMFont: a string drawn with a bitmap font, one sprite per
// character, all of them drawn by the label as a sprite batch node.
//
// The character at code-point index i of the string is the child sprite
// with tag i (newlines have none), so a game can move, tint or animate
// single letters. Setting a new string reuses those sprites: surplus ones
// are hidden, and only characters beyond the old length get new ones.
// Layout is in pixels of the glyph image: each line starts at x = 0, the
// pen advances by the characters' advances plus kerning, lines are the
// font's common height apart, and the content size is the widest line by
// the number of lines. The anchor point aligns the whole block.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/CCProtocols.h"
#include "engine/CCSpriteBatchNode.h"
#include "host/core/Ref.h"

class CCBMFontConfiguration;

class CCLabelBMFont : public CCSpriteBatchNode, public CCLabelProtocol, public CCRGBAProtocol {
public:
    // Autoreleased; nullptr when the font file or its glyph image cannot be
    // used (one log line says why).
    static CCLabelBMFont* labelWithString(const std::string& string, const std::string& fntFile);
    static CCLabelBMFont* bitmapFontAtlasWithString(const std::string& string, const std::string& fntFile) {
        return labelWithString(string, fntFile);
    }
    bool initWithString(const std::string& string, const std::string& fntFile);

    // Empties the process-wide cache of parsed font files.
    static void purgeCachedData();

    // ---- CCLabelProtocol (UTF-8) --------------------------------------------
    void setString(const std::string& string) override;
    std::string string() const override { return string_; }
    const std::string& stringRef() const { return string_; }
    void setCString(const char* string) { setString(string ? std::string(string) : std::string()); }

    // ---- CCRGBAProtocol: stored and passed to every character sprite -------
    void setColor(ccColor3B color) override;
    ccColor3B color() const override { return color_; }
    void setOpacity(uint8_t opacity) override;
    uint8_t opacity() const override { return opacity_; }
    void setOpacityModifyRGB(bool modify) override;
    bool doesOpacityModifyRGB() const override { return opacityModifyRGB_; }

    // A new anchor lays the characters out again.
    void setAnchorPoint(CGPoint point) override;

    // Places (creating or reusing) a sprite for every character and sizes
    // the label to the text.
    void createFontChars();
    // The font's kerning between two character codes, in pixels.
    int kerningAmountForFirst(uint16_t first, uint16_t second) const;

    CCBMFontConfiguration* configuration() const { return configuration_.get(); }

protected:
    ~CCLabelBMFont() override;

private:
    // The sprite of the character at index i: the one made for it, else a
    // child tagged i, else a new one. nullptr if the atlas cannot grow.
    CCSprite* characterSprite(unsigned index, const CGRect& rectInPixels);

    std::string string_;
    host::Ref<CCBMFontConfiguration> configuration_;
    uint8_t opacity_ = 255;
    ccColor3B color_{255, 255, 255};
    bool opacityModifyRGB_ = false;
    // The sprite made for each character index, so that reuse does not
    // search the children; checked against the children before use.
    std::vector<host::Ref<CCSprite>> characterSprites_;
};
