#include "engine/CCLabelBMFont.h"

#include <algorithm>

#include "engine/CCBMFontConfiguration.h"
#include "engine/CCSprite.h"
#include "engine/CCTexture2D.h"
#include "engine/CCTextureCache.h"
#include "host/core/Log.h"
#include "host/text/Utf8.h"

namespace {

// The previous character of a line's first: no kerning pair uses it.
constexpr uint16_t kNoPreviousCharacter = 0xFFFF;

// Number of code points: the sprite count a string needs at most.
unsigned codePointCount(const std::string& s) {
    unsigned n = 0;
    for (size_t i = 0; i < s.size();) host::decodeUtf8At(s, &i), ++n;
    return n;
}

}  // namespace

// ---- Creation -----------------------------------------------------------------------

CCLabelBMFont* CCLabelBMFont::labelWithString(const std::string& string, const std::string& fntFile) {
    return host::create<CCLabelBMFont>([&](CCLabelBMFont* l) { return l->initWithString(string, fntFile); });
}

bool CCLabelBMFont::initWithString(const std::string& string, const std::string& fntFile) {
    CCBMFontConfiguration* configuration = FNTConfigLoadFile(fntFile);
    if (!configuration) return false;  // logged by the parser
    CCTexture2D* texture = CCTextureCache::sharedTextureCache()->addImage(configuration->atlasName());
    if (!texture) return false;  // logged by the texture cache
    // A rectangle past the image would sample the padding or beyond.
    const CGSize image = texture->contentSizeInPixels();
    const CGSize extent = configuration->glyphExtent();
    if (extent.width > image.width || extent.height > image.height) {
        host::log("engine: CCLabelBMFont: %s: glyph rectangles reach %g x %g pixels, beyond its image %s (%g x %g)",
                  fntFile.c_str(), double(extent.width), double(extent.height), configuration->atlasName().c_str(),
                  double(image.width), double(image.height));
        return false;
    }
    if (!CCSpriteBatchNode::initWithTexture(texture, std::max(1u, codePointCount(string)))) return false;
    configuration_ = configuration;
    opacity_ = 255;
    color_ = ccc3(255, 255, 255);
    setContentSize(CGSizeZero);
    opacityModifyRGB_ = texture->hasPremultipliedAlpha();
    CCNode::setAnchorPoint(CGPointMake(0.5f, 0.5f));  // no layout yet
    setString(string);
    return true;
}

CCLabelBMFont::~CCLabelBMFont() = default;

void CCLabelBMFont::purgeCachedData() { FNTConfigRemoveCache(); }

int CCLabelBMFont::kerningAmountForFirst(uint16_t first, uint16_t second) const {
    return configuration_ ? configuration_->kerningAmount(first, second) : 0;
}

// ---- Text -----------------------------------------------------------------------------

void CCLabelBMFont::setString(const std::string& string) {
    string_ = string;
    if (CCArray* children = children_.get())
        for (host::Object* o : *children) static_cast<CCNode*>(o)->setVisible(false);
    createFontChars();
}

CCSprite* CCLabelBMFont::characterSprite(unsigned index, const CGRect& rectInPixels) {
    if (index >= characterSprites_.size()) characterSprites_.resize(index + 1);
    CCSprite* sprite = characterSprites_[index].get();
    if (!sprite || sprite->parent() != this || sprite->tag() != int(index))
        sprite = static_cast<CCSprite*>(getChildByTag(int(index)));
    if (sprite) {
        sprite->setTextureRectInPixels(rectInPixels, false, rectInPixels.size);
        sprite->setVisible(true);
        sprite->setOpacity(255);
    } else {
        sprite = host::create<CCSprite>(
            [&](CCSprite* s) { return s->initWithBatchNodeRectInPixels(this, rectInPixels); });
        if (!sprite) return nullptr;
        addChild(sprite, 0, int(index));
        if (sprite->batchNode() != this) {  // the atlas could not grow (logged)
            removeChild(sprite, true);
            return nullptr;
        }
    }
    characterSprites_[index] = sprite;
    return sprite;
}

void CCLabelBMFont::createFontChars() {
    if (!configuration_) return;
    const int lineHeight = int(configuration_->commonHeight());
    if (string_.empty()) {
        setContentSizeInPixels(CGSizeZero);
        return;
    }
    // A trailing newline does not open a line.
    const int lines = 1 + int(std::count(string_.begin(), string_.end() - 1, '\n'));

    int x = 0, y = lineHeight * (lines - 1), longest = 0;
    uint16_t previous = kNoPreviousCharacter;
    unsigned index = 0;
    for (size_t at = 0; at < string_.size(); ++index) {
        const char32_t c = host::decodeUtf8At(string_, &at);
        if (c == '\n') {
            x = 0;
            y -= lineHeight;
            previous = kNoPreviousCharacter;  // kerning never spans lines
            continue;
        }
        // Codes the table cannot hold have no definition, hence no kerning.
        const uint16_t code = c < kCCBMFontMaxChars ? uint16_t(c) : kNoPreviousCharacter;
        const int kerning = code == kNoPreviousCharacter ? 0 : kerningAmountForFirst(previous, code);
        const _BMFontDef& def = configuration_->definitionFor(uint32_t(c));

        CCSprite* sprite = characterSprite(index, def.rect);
        if (!sprite) break;
        sprite->setPositionInPixels(
            CGPointMake(float(x + def.xOffset + kerning) + def.rect.size.width / 2,
                        float(y + lineHeight - def.yOffset) - def.rect.size.height / 2));
        sprite->setOpacityModifyRGB(opacityModifyRGB_);
        sprite->setColor(color_);
        if (opacity_ != 255) sprite->setOpacity(opacity_);

        x += kerning + def.xAdvance;
        previous = code;
        longest = std::max(longest, x);
    }
    setContentSizeInPixels(CGSizeMake(float(longest), float(lines * lineHeight)));
}

// ---- Colour, opacity, anchor -----------------------------------------------------

void CCLabelBMFont::setColor(ccColor3B color) {
    color_ = color;
    if (CCArray* children = children_.get())
        for (host::Object* o : *children) static_cast<CCSprite*>(o)->setColor(color);
}

void CCLabelBMFont::setOpacity(uint8_t opacity) {
    opacity_ = opacity;
    if (CCArray* children = children_.get())
        for (host::Object* o : *children) static_cast<CCSprite*>(o)->setOpacity(opacity);
}

void CCLabelBMFont::setOpacityModifyRGB(bool modify) {
    opacityModifyRGB_ = modify;
    if (CCArray* children = children_.get())
        for (host::Object* o : *children) static_cast<CCSprite*>(o)->setOpacityModifyRGB(modify);
}

void CCLabelBMFont::setAnchorPoint(CGPoint point) {
    if (point.x == anchorPoint_.x && point.y == anchorPoint_.y) return;
    CCSpriteBatchNode::setAnchorPoint(point);
    createFontChars();
}
