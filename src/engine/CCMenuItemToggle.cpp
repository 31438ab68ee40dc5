#include "engine/CCMenuItemToggle.h"

#include "engine/ccMacros.h"

CCMenuItemToggle* CCMenuItemToggle::itemWithTarget(host::Object* target, CCMenuSelector selector,
                                                   std::initializer_list<CCMenuItem*> items) {
    return host::create<CCMenuItemToggle>(
        [&](CCMenuItemToggle* t) { return t->initWithTarget(target, selector, items); });
}

CCMenuItemToggle* CCMenuItemToggle::itemWithBlock(CCMenuItemBlock block, std::initializer_list<CCMenuItem*> items) {
    return host::create<CCMenuItemToggle>(
        [&](CCMenuItemToggle* t) { return t->initWithBlock(std::move(block), items); });
}

bool CCMenuItemToggle::initWithTarget(host::Object* target, CCMenuSelector selector,
                                      std::initializer_list<CCMenuItem*> items) {
    if (!CCMenuItem::initWithTarget(target, selector)) return false;
    initSubItems(items);
    return true;
}

bool CCMenuItemToggle::initWithBlock(CCMenuItemBlock block, std::initializer_list<CCMenuItem*> items) {
    if (!CCMenuItem::initWithBlock(std::move(block))) return false;
    initSubItems(items);
    return true;
}

void CCMenuItemToggle::initSubItems(std::initializer_list<CCMenuItem*> items) {
    subItems_ = CCArray::arrayWithCapacity(2);
    for (CCMenuItem* item : items)
        if (item) subItems_->addObject(item);
    // An impossible index, so that showing item 0 takes effect.
    selectedIndex_ = 0xFFFFFFFFu;
    if (subItems_->count() > 0) setSelectedIndex(0);
}

CCMenuItem* CCMenuItemToggle::subItemAt(unsigned index) const {
    if (!subItems_ || index >= subItems_->count()) return nullptr;
    return static_cast<CCMenuItem*>(subItems_->objectAtIndex(index));
}

void CCMenuItemToggle::setSubItems(CCArray* items) { subItems_ = items ? items : CCArray::array(); }

CCMenuItem* CCMenuItemToggle::selectedItem() const { return subItemAt(selectedIndex_); }

void CCMenuItemToggle::setSelectedIndex(unsigned index) {
    if (index == selectedIndex_) return;
    CCMenuItem* item = subItemAt(index);
    CCAssert(item != nullptr, "CCMenuItemToggle: index out of range");
    selectedIndex_ = index;
    removeChildByTag(kCCItemForToggleTag, false);
    addChild(item, 0, kCCItemForToggleTag);
    CGSize s = item->contentSize();
    setContentSize(s);
    item->setPosition(CGPointMake(s.width / 2, s.height / 2));
}

void CCMenuItemToggle::activate() {
    // A toggle without sub-items has nothing to advance to.
    if (isEnabled_ && subItems_->count() > 0) setSelectedIndex((selectedIndex_ + 1) % subItems_->count());
    CCMenuItem::activate();
}

void CCMenuItemToggle::selected() {
    CCMenuItem::selected();
    if (CCMenuItem* shown = selectedItem()) shown->selected();
}

void CCMenuItemToggle::unselected() {
    CCMenuItem::unselected();
    if (CCMenuItem* shown = selectedItem()) shown->unselected();
}

void CCMenuItemToggle::setIsEnabled(bool enabled) {
    CCMenuItem::setIsEnabled(enabled);
    for (host::Object* o : *subItems_) static_cast<CCMenuItem*>(o)->setIsEnabled(enabled);
}

void CCMenuItemToggle::setColor(ccColor3B color) {
    color_ = color;
    for (host::Object* o : *subItems_)
        if (auto* rgba = dynamic_cast<CCRGBAProtocol*>(o)) rgba->setColor(color);
}

void CCMenuItemToggle::setOpacity(uint8_t opacity) {
    opacity_ = opacity;
    for (host::Object* o : *subItems_)
        if (auto* rgba = dynamic_cast<CCRGBAProtocol*>(o)) rgba->setOpacity(opacity);
}
