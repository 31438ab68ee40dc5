#include "engine/CCLabelTTF.h"

#include <cstdio>

// CCSprite's implicit constructor destroys its animation table on
// failure, which needs the complete animation type.
#include "engine/CCAnimation.h"
#include "engine/CCContentScale.h"
#include "engine/CCTexture2D.h"

CCLabelTTF* CCLabelTTF::labelWithString(const std::string& string, const std::string& fontName, float fontSize) {
    return host::create<CCLabelTTF>([&](CCLabelTTF* l) { return l->initWithString(string, fontName, fontSize); });
}

CCLabelTTF* CCLabelTTF::labelWithString(const std::string& string, CGSize dimensions, int alignment,
                                        const std::string& fontName, float fontSize) {
    return host::create<CCLabelTTF>(
        [&](CCLabelTTF* l) { return l->initWithString(string, dimensions, alignment, fontName, fontSize); });
}

CCLabelTTF* CCLabelTTF::labelWithString(const std::string& string, CGSize dimensions, int alignment,
                                        int lineBreakMode, const std::string& fontName, float fontSize) {
    return host::create<CCLabelTTF>([&](CCLabelTTF* l) {
        return l->initWithString(string, dimensions, alignment, lineBreakMode, fontName, fontSize);
    });
}

bool CCLabelTTF::initWithString(const std::string& string, const std::string& fontName, float fontSize) {
    // The sprite's own initialisation: init() of this class refuses.
    if (!CCSprite::init()) return false;
    dimensions_ = CGSizeZero;
    alignment_ = 0;
    lineBreakMode_ = 0;
    fontName_ = fontName;
    fontSize_ = fontSize * __ccContentScaleFactor;
    setString(string);
    return true;
}

bool CCLabelTTF::initWithString(const std::string& string, CGSize dimensions, int alignment,
                                const std::string& fontName, float fontSize) {
    return initWithString(string, dimensions, alignment, 0, fontName, fontSize);
}

bool CCLabelTTF::initWithString(const std::string& string, CGSize dimensions, int alignment, int lineBreakMode,
                                const std::string& fontName, float fontSize) {
    if (!CCSprite::init()) return false;
    dimensions_ = CGSizeMake(dimensions.width * __ccContentScaleFactor, dimensions.height * __ccContentScaleFactor);
    alignment_ = alignment;
    lineBreakMode_ = lineBreakMode;
    fontName_ = fontName;
    fontSize_ = fontSize * __ccContentScaleFactor;
    setString(string);
    return true;
}

void CCLabelTTF::setString(const std::string& string) {
    string_ = string;
    const bool fitText = dimensions_.width == 0 && dimensions_.height == 0;
    host::Ref<CCTexture2D> texture = host::Ref<CCTexture2D>::adopt(host::createOwned<CCTexture2D>([&](CCTexture2D* t) {
        return fitText ? t->initWithString(string_, fontName_, fontSize_)
                       : t->initWithString(string_, dimensions_, alignment_, lineBreakMode_, fontName_, fontSize_);
    }));
    setTexture(texture);
    if (texture) setTextureRect(CGRect{CGPointZero, texture->contentSize()});
    else setTextureRect(CGRectZero);
}

std::string CCLabelTTF::description() const {
    char size[32];
    std::snprintf(size, sizeof size, "%.1f", double(fontSize_));
    return "<" + className() + " = " + host::addressString(this) + " | Label = " + string_ +
           ", FontName = " + fontName_ + ", FontSize = " + size + ">";
}
