// A menu item that cycles through sub-items on each activation, showing
// one at a time (a sound on/off switch made of two labels, say).
#pragma once

#include <initializer_list>

#include "engine/CCMenuItem.h"
#include "engine/Support/CCArray.h"
#include "host/core/Ref.h"

// The child tag of the sub-item a toggle shows.
constexpr int kCCItemForToggleTag = static_cast<int>(0xC0C05001u);

class CCMenuItemToggle : public CCMenuItem, public CCRGBAProtocol {
public:
    static CCMenuItemToggle* itemWithTarget(host::Object* target, CCMenuSelector selector,
                                            std::initializer_list<CCMenuItem*> items);
    static CCMenuItemToggle* itemWithBlock(CCMenuItemBlock block, std::initializer_list<CCMenuItem*> items);
    bool initWithTarget(host::Object* target, CCMenuSelector selector, std::initializer_list<CCMenuItem*> items);
    bool initWithBlock(CCMenuItemBlock block, std::initializer_list<CCMenuItem*> items);

    unsigned selectedIndex() const { return selectedIndex_; }
    // Shows sub-item `index` (which must exist) and takes its size.
    void setSelectedIndex(unsigned index);
    // The sub-item shown, nullptr when there is none.
    CCMenuItem* selectedItem() const;
    CCArray* subItems() const { return subItems_.get(); }
    // Replaces the list (nullptr empties it); the item shown changes at the
    // next setSelectedIndex.
    void setSubItems(CCArray* items);

    // Stored and passed to every sub-item.
    ccColor3B color() const override { return color_; }
    void setColor(ccColor3B color) override;
    uint8_t opacity() const override { return opacity_; }
    void setOpacity(uint8_t opacity) override;

    // Moves to the next sub-item, then fires the action (which sees the new
    // index).
    void activate() override;
    void selected() override;
    void unselected() override;
    void setIsEnabled(bool enabled) override;

protected:
    ~CCMenuItemToggle() override = default;

private:
    void initSubItems(std::initializer_list<CCMenuItem*> items);
    CCMenuItem* subItemAt(unsigned index) const;

    unsigned selectedIndex_ = 0xFFFFFFFFu;
    host::Ref<CCArray> subItems_;
    uint8_t opacity_ = 0;
    ccColor3B color_{0, 0, 0};
};
