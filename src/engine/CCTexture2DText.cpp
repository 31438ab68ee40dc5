// CCTexture2D from text: the string drawn white on black into an 8-bit
// coverage bitmap of power-of-two size and uploaded as an A8 texture, so
// the sprite showing it supplies the colour and opacity.
#include <cmath>
#include <vector>

#include "engine/CCConfiguration.h"
#include "engine/CCTexture2D.h"
#include "engine/Support/ccUtils.h"
#include "host/core/Log.h"
#include "host/text/CustomFontManager.h"
#include "host/text/Font.h"
#include "host/text/TextLayout.h"
#include "host/text/TextRenderer.h"

namespace {

// A system font first, then one of the application's own fonts.
host::Ref<host::Font> lookUpFont(const std::string& name, float size) {
    host::Ref<host::Font> font = host::Font::systemFont(name, size);
    if (!font) font = host::CustomFontManager::sharedManager()->fontWithName(name, size);
    if (!font) host::log("texture: no font \"%s\" at size %.1f", name.c_str(), double(size));
    return font;
}

// Measuring and drawing go through whichever library the font came from.
CGSize measure(const std::string& string, const host::Font& font) {
    if (font.kind() == host::Font::Kind::Custom)
        return host::CustomFontManager::sharedManager()->sizeOfString(string, font);
    return font.sizeOfString(string);
}

void draw(const std::string& string, CGRect rect, const host::Font& font, int lineBreakMode, int alignment,
          const host::CoverageBitmap& target) {
    if (font.kind() == host::Font::Kind::Custom)
        host::CustomFontManager::sharedManager()->drawString(string, rect, font, lineBreakMode, alignment, target);
    else
        host::drawText(font, string, rect, lineBreakMode, alignment, target);
}

// The box's pixel count along one side, or 0 when it holds no whole pixel.
uint32_t wholePixels(float length) {
    if (!(length >= 1) || !std::isfinite(length) || length > float(UINT32_MAX >> 1)) return 0;
    return uint32_t(length);
}

}  // namespace

bool CCTexture2D::initWithString(const std::string& string, const std::string& fontName, float fontSize) {
    host::Ref<host::Font> font = lookUpFont(fontName, fontSize);
    if (!font) return false;
    return initWithString(string, measure(string, *font), host::kTextAlignmentCenter,
                          host::kTextLineBreakModeWordWrap, font.get());
}

bool CCTexture2D::initWithString(const std::string& string, CGSize dimensions, int alignment,
                                 const std::string& fontName, float fontSize) {
    return initWithString(string, dimensions, alignment, host::kTextLineBreakModeWordWrap, fontName, fontSize);
}

bool CCTexture2D::initWithString(const std::string& string, CGSize dimensions, int alignment, int lineBreakMode,
                                 const std::string& fontName, float fontSize) {
    host::Ref<host::Font> font = lookUpFont(fontName, fontSize);
    if (!font) return false;
    return initWithString(string, dimensions, alignment, lineBreakMode, font.get());
}

bool CCTexture2D::initWithString(const std::string& string, CGSize dimensions, int alignment, int lineBreakMode,
                                 const host::Font* font) {
    if (!font) return false;
    const uint32_t width = wholePixels(dimensions.width), height = wholePixels(dimensions.height);
    if (width == 0 || height == 0) return false;  // nothing to draw into
    const uint32_t POTWide = ccNextPOT(width), POTHigh = ccNextPOT(height);
    const int maxTextureSize = CCConfiguration::sharedConfiguration()->maxTextureSize();
    if (POTWide > uint32_t(maxTextureSize) || POTHigh > uint32_t(maxTextureSize)) {
        host::log("texture: text box (%u x %u) is bigger than the supported %d x %d", unsigned(width),
                  unsigned(height), maxTextureSize, maxTextureSize);
        return false;
    }

    // Row 0 of the buffer is the top of the box: the first line lands at
    // t = 0, the texture's top edge.
    std::vector<uint8_t> pixels(size_t(POTWide) * POTHigh, 0);
    const host::CoverageBitmap target{pixels.data(), int(POTWide), int(POTHigh), int(POTWide)};
    draw(string, CGRectMake(0, 0, dimensions.width, dimensions.height), *font, lineBreakMode, alignment, target);
    return initWithData(pixels.data(), kCCTexture2DPixelFormat_A8, POTWide, POTHigh, dimensions);
}
