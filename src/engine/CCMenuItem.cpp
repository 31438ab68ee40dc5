// Menu items: the base item, the label item and its font and
// character-map forms.
#include "engine/CCMenuItem.h"

#include "engine/CCActionIntervalProperty.h"
#include "engine/CCLabelAtlas.h"
#include "engine/CCLabelTTF.h"
#include "engine/ccMacros.h"
#include "host/core/Ref.h"

void CCMenuSelector::perform(host::Object* target, host::Object* sender) const {
    if (withSender_)
        withSender_(target, sender);
    else if (plain_)
        plain_(target);
}

// ---- CCMenuItem -----------------------------------------------------------

CCMenuItem* CCMenuItem::itemWithTarget(host::Object* target, CCMenuSelector selector) {
    return host::create<CCMenuItem>([&](CCMenuItem* i) { return i->initWithTarget(target, selector); });
}

CCMenuItem* CCMenuItem::itemWithBlock(CCMenuItemBlock block) {
    return host::create<CCMenuItem>([&](CCMenuItem* i) { return i->initWithBlock(std::move(block)); });
}

bool CCMenuItem::initWithTarget(host::Object* target, CCMenuSelector selector) {
    if (!CCNode::init()) return false;
    setAnchorPoint(CGPointMake(0.5f, 0.5f));
    invocation_ = CCInvocation(target, selector);
    isEnabled_ = true;
    isSelected_ = false;
    return true;
}

bool CCMenuItem::initWithBlock(CCMenuItemBlock block) {
    if (!initWithTarget(nullptr, CCMenuSelector())) return false;
    block_ = std::move(block);
    return true;
}

void CCMenuItem::activate() {
    if (!isEnabled_) return;
    if (block_)
        block_(this);
    else
        invocation_.invoke(this);
}

CGRect CCMenuItem::rect() const {
    return CGRectMake(position_.x - contentSize_.width * anchorPoint_.x,
                      position_.y - contentSize_.height * anchorPoint_.y, contentSize_.width,
                      contentSize_.height);
}

// ---- CCMenuItemLabel ------------------------------------------------------

CCMenuItemLabel* CCMenuItemLabel::itemWithLabel(CCNode* label) {
    return itemWithLabel(label, nullptr, CCMenuSelector());
}

CCMenuItemLabel* CCMenuItemLabel::itemWithLabel(CCNode* label, host::Object* target, CCMenuSelector selector) {
    return host::create<CCMenuItemLabel>(
        [&](CCMenuItemLabel* i) { return i->initWithLabel(label, target, selector); });
}

CCMenuItemLabel* CCMenuItemLabel::itemWithLabel(CCNode* label, CCMenuItemBlock block) {
    return host::create<CCMenuItemLabel>(
        [&](CCMenuItemLabel* i) { return i->initWithLabel(label, std::move(block)); });
}

bool CCMenuItemLabel::initWithLabel(CCNode* label, host::Object* target, CCMenuSelector selector) {
    return initWithTarget(target, selector) && initLabelItem(label);
}

bool CCMenuItemLabel::initWithLabel(CCNode* label, CCMenuItemBlock block) {
    return initWithBlock(std::move(block)) && initLabelItem(label);
}

bool CCMenuItemLabel::initLabelItem(CCNode* label) {
    if (!label) return false;
    originalScale_ = 1.0f;
    colorBackup = ccc3(255, 255, 255);
    disabledColor_ = ccc3(126, 126, 126);
    setLabel(label);
    return true;
}

void CCMenuItemLabel::setLabel(CCNode* label) {
    if (label == label_) return;
    CCAssert(label != nullptr, "CCMenuItemLabel: the label must be non-nil");
    auto* text = dynamic_cast<CCLabelProtocol*>(label);
    auto* rgba = dynamic_cast<CCRGBAProtocol*>(label);
    CCAssert(text && rgba, "CCMenuItemLabel: the label must have a string and a colour");
    if (label_) removeChild(label_, true);
    addChild(label);
    label->setAnchorPoint(CGPointZero);
    setContentSize(label->contentSize());
    label_ = label;
    labelText_ = text;
    labelColor_ = rgba;
}

void CCMenuItemLabel::setString(const std::string& string) {
    labelText_->setString(string);
    setContentSize(label_->contentSize());
}

ccColor3B CCMenuItemLabel::color() const { return labelColor_->color(); }
void CCMenuItemLabel::setColor(ccColor3B color) { labelColor_->setColor(color); }
uint8_t CCMenuItemLabel::opacity() const { return labelColor_->opacity(); }
void CCMenuItemLabel::setOpacity(uint8_t opacity) { labelColor_->setOpacity(opacity); }

void CCMenuItemLabel::activate() {
    if (!isEnabled_) return;
    stopAllActions();
    setScale(originalScale_);
    CCMenuItem::activate();
}

void CCMenuItemLabel::selected() {
    if (!isEnabled_) return;
    CCMenuItem::selected();
    // Reselecting while the shrink still runs keeps the scale stored at the
    // first selection, so the zoom never compounds.
    if (CCAction* running = getActionByTag(kCCZoomActionTag))
        stopAction(running);
    else
        originalScale_ = scale();
    CCAction* zoom = CCScaleTo::actionWithDuration(0.1f, originalScale_ * 1.2f);
    zoom->setTag(kCCZoomActionTag);
    runAction(zoom);
}

void CCMenuItemLabel::unselected() {
    if (!isEnabled_) return;
    CCMenuItem::unselected();
    stopActionByTag(kCCZoomActionTag);
    CCAction* zoom = CCScaleTo::actionWithDuration(0.1f, originalScale_);
    zoom->setTag(kCCZoomActionTag);
    runAction(zoom);
}

void CCMenuItemLabel::setIsEnabled(bool enabled) {
    if (isEnabled_ != enabled) {
        if (!enabled) {
            colorBackup = labelColor_->color();
            labelColor_->setColor(disabledColor_);
        } else {
            labelColor_->setColor(colorBackup);
        }
    }
    CCMenuItem::setIsEnabled(enabled);
}

// ---- CCMenuItemAtlasFont --------------------------------------------------

CCMenuItemAtlasFont* CCMenuItemAtlasFont::itemFromString(const std::string& value, const std::string& charMapFile,
                                                         unsigned itemWidth, unsigned itemHeight,
                                                         uint8_t startCharMap) {
    return itemFromString(value, charMapFile, itemWidth, itemHeight, startCharMap, nullptr, CCMenuSelector());
}

CCMenuItemAtlasFont* CCMenuItemAtlasFont::itemFromString(const std::string& value, const std::string& charMapFile,
                                                         unsigned itemWidth, unsigned itemHeight,
                                                         uint8_t startCharMap, host::Object* target,
                                                         CCMenuSelector selector) {
    return host::create<CCMenuItemAtlasFont>([&](CCMenuItemAtlasFont* i) {
        return i->initFromString(value, charMapFile, itemWidth, itemHeight, startCharMap, target, selector);
    });
}

CCMenuItemAtlasFont* CCMenuItemAtlasFont::itemFromString(const std::string& value, const std::string& charMapFile,
                                                         unsigned itemWidth, unsigned itemHeight,
                                                         uint8_t startCharMap, CCMenuItemBlock block) {
    return host::create<CCMenuItemAtlasFont>([&](CCMenuItemAtlasFont* i) {
        return i->initFromString(value, charMapFile, itemWidth, itemHeight, startCharMap, std::move(block));
    });
}

bool CCMenuItemAtlasFont::initFromString(const std::string& value, const std::string& charMapFile,
                                         unsigned itemWidth, unsigned itemHeight, uint8_t startCharMap,
                                         host::Object* target, CCMenuSelector selector) {
    // The character-map label logs when its image cannot be loaded.
    CCLabelAtlas* label = CCLabelAtlas::labelWithString(value, charMapFile, itemWidth, itemHeight, startCharMap);
    return label && initWithLabel(label, target, selector);
}

bool CCMenuItemAtlasFont::initFromString(const std::string& value, const std::string& charMapFile,
                                         unsigned itemWidth, unsigned itemHeight, uint8_t startCharMap,
                                         CCMenuItemBlock block) {
    CCLabelAtlas* label = CCLabelAtlas::labelWithString(value, charMapFile, itemWidth, itemHeight, startCharMap);
    return label && initWithLabel(label, std::move(block));
}

// ---- CCMenuItemFont -------------------------------------------------------

namespace {

// The class-wide defaults new font items start from.
struct FontDefaults {
    unsigned size = 32;
    std::string name = "Marker Felt";
};

FontDefaults& fontDefaults() {
    static FontDefaults defaults;
    return defaults;
}

}  // namespace

void CCMenuItemFont::setFontSize(unsigned size) { fontDefaults().size = size; }
unsigned CCMenuItemFont::fontSize() { return fontDefaults().size; }
void CCMenuItemFont::setFontName(const std::string& name) { fontDefaults().name = name; }
const std::string& CCMenuItemFont::fontName() { return fontDefaults().name; }

CCMenuItemFont* CCMenuItemFont::itemFromString(const std::string& value) {
    return itemFromString(value, nullptr, CCMenuSelector());
}

CCMenuItemFont* CCMenuItemFont::itemFromString(const std::string& value, host::Object* target,
                                               CCMenuSelector selector) {
    return host::create<CCMenuItemFont>([&](CCMenuItemFont* i) { return i->initFromString(value, target, selector); });
}

CCMenuItemFont* CCMenuItemFont::itemFromString(const std::string& value, CCMenuItemBlock block) {
    return host::create<CCMenuItemFont>([&](CCMenuItemFont* i) { return i->initFromString(value, std::move(block)); });
}

CCNode* CCMenuItemFont::makeLabel(const std::string& value) {
    fontName_ = fontDefaults().name;
    fontSize_ = fontDefaults().size;
    return CCLabelTTF::labelWithString(value, fontName_, static_cast<float>(fontSize_));
}

bool CCMenuItemFont::initFromString(const std::string& value, host::Object* target, CCMenuSelector selector) {
    CCNode* label = makeLabel(value);
    return label && initWithLabel(label, target, selector);
}

bool CCMenuItemFont::initFromString(const std::string& value, CCMenuItemBlock block) {
    CCNode* label = makeLabel(value);
    return label && initWithLabel(label, std::move(block));
}

void CCMenuItemFont::setItemFontSize(unsigned size) {
    fontSize_ = size;
    recreateLabel();
}

void CCMenuItemFont::setItemFontName(const std::string& name) {
    fontName_ = name;
    recreateLabel();
}

void CCMenuItemFont::recreateLabel() {
    // A font that cannot be drawn leaves the current label in place.
    if (CCNode* label = CCLabelTTF::labelWithString(labelText_->string(), fontName_, static_cast<float>(fontSize_)))
        setLabel(label);
}
