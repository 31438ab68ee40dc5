// Sprite and image menu items.
#include "engine/CCMenuItemSprite.h"

#include "engine/CCSprite.h"
#include "host/core/Log.h"

// ---- CCMenuItemSprite -----------------------------------------------------

CCMenuItemSprite* CCMenuItemSprite::itemFromNormalSprite(CCNode* normal, CCNode* selected) {
    return itemFromNormalSprite(normal, selected, nullptr, nullptr, CCMenuSelector());
}

CCMenuItemSprite* CCMenuItemSprite::itemFromNormalSprite(CCNode* normal, CCNode* selected, host::Object* target,
                                                         CCMenuSelector selector) {
    return itemFromNormalSprite(normal, selected, nullptr, target, selector);
}

CCMenuItemSprite* CCMenuItemSprite::itemFromNormalSprite(CCNode* normal, CCNode* selected, CCNode* disabled,
                                                         host::Object* target, CCMenuSelector selector) {
    return host::create<CCMenuItemSprite>([&](CCMenuItemSprite* i) {
        return i->initFromNormalSprite(normal, selected, disabled, target, selector);
    });
}

CCMenuItemSprite* CCMenuItemSprite::itemFromNormalSprite(CCNode* normal, CCNode* selected, CCMenuItemBlock block) {
    return itemFromNormalSprite(normal, selected, nullptr, std::move(block));
}

CCMenuItemSprite* CCMenuItemSprite::itemFromNormalSprite(CCNode* normal, CCNode* selected, CCNode* disabled,
                                                         CCMenuItemBlock block) {
    return host::create<CCMenuItemSprite>([&](CCMenuItemSprite* i) {
        return i->initFromNormalSprite(normal, selected, disabled, std::move(block));
    });
}

bool CCMenuItemSprite::initFromNormalSprite(CCNode* normal, CCNode* selected, CCNode* disabled,
                                            host::Object* target, CCMenuSelector selector) {
    if (!initWithTarget(target, selector)) return false;
    initImages(normal, selected, disabled);
    return true;
}

bool CCMenuItemSprite::initFromNormalSprite(CCNode* normal, CCNode* selected, CCNode* disabled,
                                            CCMenuItemBlock block) {
    if (!initWithBlock(std::move(block))) return false;
    initImages(normal, selected, disabled);
    return true;
}

void CCMenuItemSprite::initImages(CCNode* normal, CCNode* selected, CCNode* disabled) {
    setNormalImage(normal);
    setSelectedImage(selected);
    setDisabledImage(disabled);
    setContentSize(normalImage_ ? normalImage_->contentSize() : CGSizeZero);
}

void CCMenuItemSprite::replaceImage(CCNode*& slot, CCNode* image, bool visible) {
    if (image == slot) return;
    if (image) {
        image->setAnchorPoint(CGPointZero);
        image->setVisible(visible);
    }
    if (slot) removeChild(slot, true);
    if (image) addChild(image);
    slot = image;
}

void CCMenuItemSprite::setNormalImage(CCNode* image) { replaceImage(normalImage_, image, true); }
void CCMenuItemSprite::setSelectedImage(CCNode* image) { replaceImage(selectedImage_, image, false); }
void CCMenuItemSprite::setDisabledImage(CCNode* image) { replaceImage(disabledImage_, image, false); }

void CCMenuItemSprite::showImages(bool normal, bool selected, bool disabled) {
    if (normalImage_) normalImage_->setVisible(normal);
    if (selectedImage_) selectedImage_->setVisible(selected);
    if (disabledImage_) disabledImage_->setVisible(disabled);
}

void CCMenuItemSprite::selected() {
    CCMenuItem::selected();
    // Without a selected image the normal one stays up.
    showImages(selectedImage_ == nullptr, selectedImage_ != nullptr, false);
}

void CCMenuItemSprite::unselected() {
    CCMenuItem::unselected();
    showImages(true, false, false);
}

void CCMenuItemSprite::setIsEnabled(bool enabled) {
    CCMenuItem::setIsEnabled(enabled);
    if (enabled || !disabledImage_)
        showImages(true, false, false);
    else
        showImages(false, false, true);
}

namespace {

CCRGBAProtocol* rgbaOf(CCNode* node) { return dynamic_cast<CCRGBAProtocol*>(node); }

}  // namespace

ccColor3B CCMenuItemSprite::color() const {
    CCRGBAProtocol* normal = rgbaOf(normalImage_);
    return normal ? normal->color() : ccc3(0, 0, 0);
}

uint8_t CCMenuItemSprite::opacity() const {
    CCRGBAProtocol* normal = rgbaOf(normalImage_);
    return normal ? normal->opacity() : 0;
}

void CCMenuItemSprite::setColor(ccColor3B color) {
    for (CCNode* image : {normalImage_, selectedImage_, disabledImage_})
        if (CCRGBAProtocol* rgba = rgbaOf(image)) rgba->setColor(color);
}

void CCMenuItemSprite::setOpacity(uint8_t opacity) {
    for (CCNode* image : {normalImage_, selectedImage_, disabledImage_})
        if (CCRGBAProtocol* rgba = rgbaOf(image)) rgba->setOpacity(opacity);
}

// ---- CCMenuItemImage ------------------------------------------------------

struct CCMenuItemImage::Sprites {
    CCNode* normal = nullptr;
    CCNode* selected = nullptr;
    CCNode* disabled = nullptr;
};

// Every named image must load: an item missing the image it was asked to
// show would silently misbehave.
bool CCMenuItemImage::loadSprites(const std::string& normal, const std::string& selected,
                                  const std::string& disabled, Sprites* out) {
    struct Request {
        const std::string& name;
        CCNode** slot;
        bool required;
    };
    for (const Request& r : {Request{normal, &out->normal, true}, Request{selected, &out->selected, false},
                             Request{disabled, &out->disabled, false}}) {
        if (r.name.empty() && !r.required) continue;
        *r.slot = CCSprite::spriteWithFile(r.name);
        if (!*r.slot) {
            host::log("CCMenuItemImage: cannot load the image '%s'", r.name.c_str());
            return false;
        }
    }
    return true;
}

CCMenuItemImage* CCMenuItemImage::itemFromNormalImage(const std::string& normal, const std::string& selected) {
    return itemFromNormalImage(normal, selected, std::string(), nullptr, CCMenuSelector());
}

CCMenuItemImage* CCMenuItemImage::itemFromNormalImage(const std::string& normal, const std::string& selected,
                                                      host::Object* target, CCMenuSelector selector) {
    return itemFromNormalImage(normal, selected, std::string(), target, selector);
}

CCMenuItemImage* CCMenuItemImage::itemFromNormalImage(const std::string& normal, const std::string& selected,
                                                      const std::string& disabled) {
    return itemFromNormalImage(normal, selected, disabled, nullptr, CCMenuSelector());
}

CCMenuItemImage* CCMenuItemImage::itemFromNormalImage(const std::string& normal, const std::string& selected,
                                                      const std::string& disabled, host::Object* target,
                                                      CCMenuSelector selector) {
    return host::create<CCMenuItemImage>([&](CCMenuItemImage* i) {
        return i->initFromNormalImage(normal, selected, disabled, target, selector);
    });
}

CCMenuItemImage* CCMenuItemImage::itemFromNormalImage(const std::string& normal, const std::string& selected,
                                                      CCMenuItemBlock block) {
    return itemFromNormalImage(normal, selected, std::string(), std::move(block));
}

CCMenuItemImage* CCMenuItemImage::itemFromNormalImage(const std::string& normal, const std::string& selected,
                                                      const std::string& disabled, CCMenuItemBlock block) {
    return host::create<CCMenuItemImage>([&](CCMenuItemImage* i) {
        return i->initFromNormalImage(normal, selected, disabled, std::move(block));
    });
}

bool CCMenuItemImage::initFromNormalImage(const std::string& normal, const std::string& selected,
                                          const std::string& disabled, host::Object* target,
                                          CCMenuSelector selector) {
    Sprites s;
    return loadSprites(normal, selected, disabled, &s) &&
           initFromNormalSprite(s.normal, s.selected, s.disabled, target, selector);
}

bool CCMenuItemImage::initFromNormalImage(const std::string& normal, const std::string& selected,
                                          const std::string& disabled, CCMenuItemBlock block) {
    Sprites s;
    return loadSprites(normal, selected, disabled, &s) &&
           initFromNormalSprite(s.normal, s.selected, s.disabled, std::move(block));
}
