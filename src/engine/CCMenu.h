// CCMenu: a full-window layer of menu items. It takes touches one at a
// time ahead of ordinary layers (a swallowing targeted delegate at
// priority -128), shows the item under the finger as selected and fires
// that item's action when the finger lifts over it. Items are placed
// relative to the menu's position, the centre of the window area below the
// status bar; the align operations lay them out in a line or a grid.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <vector>

#include "engine/CCLayer.h"
#include "engine/CCMenuItem.h"
#include "engine/CCProtocols.h"

enum {
    kCCMenuStateWaiting = 0,
    kCCMenuStateTrackingTouch = 1,
};

// Menus see touches before layers (priority 0).
constexpr int kCCMenuTouchPriority = -128;

class CCMenu : public CCLayer, public CCRGBAProtocol {
public:
    // The items become children with z 0, 1, 2, ... in the order given.
    static CCMenu* menuWithItems(std::initializer_list<CCMenuItem*> items);
    bool initWithItems(std::initializer_list<CCMenuItem*> items);
    bool initWithItems(const std::vector<CCMenuItem*>& items);
    // A menu is made with its items: plain init is refused.
    bool init() override { return false; }

    void registerWithTouchDispatcher() override;
    bool ccTouchBegan(host::Touch* touch, host::Event* event) override;
    void ccTouchMoved(host::Touch* touch, host::Event* event) override;
    void ccTouchEnded(host::Touch* touch, host::Event* event) override;
    void ccTouchCancelled(host::Touch* touch, host::Event* event) override;
    int implementedTouchCallbacks() const override {
        return kCCTouchBeganBit | kCCTouchMovedBit | kCCTouchEndedBit | kCCTouchCancelledBit;
    }

    // The first visible, enabled item under the touch, or nullptr.
    CCMenuItem* itemForTouch(host::Touch* touch);
    int state() const { return state_; }
    CCMenuItem* selectedItem() const { return selectedItem_; }

    // Leaving the stage drops a touch being tracked.
    void onExit() override;
    using CCNode::addChild;
    void addChild(CCNode* child, int z, int tag) override;
    // An item removed while selected is forgotten, so that a touch still
    // tracked never reaches it.
    void removeChild(CCNode* child, bool cleanup) override;
    void removeAllChildrenWithCleanup(bool cleanup) override;

    // A column centred on the menu's origin, top to bottom (padding 5).
    void alignItemsVertically();
    void alignItemsVerticallyWithPadding(float padding);
    // A row centred on the menu's origin, left to right (padding 5).
    void alignItemsHorizontally();
    void alignItemsHorizontallyWithPadding(float padding);
    // Rows with the given numbers of items, top row first. The counts must
    // be at least 1 each and add up to the number of items.
    void alignItemsInColumns(std::initializer_list<unsigned> itemsPerRow);
    void alignItemsInColumns(const std::vector<unsigned>& itemsPerRow);
    // Columns with the given numbers of items, left column first; the same
    // rule for the counts.
    void alignItemsInRows(std::initializer_list<unsigned> itemsPerColumn);
    void alignItemsInRows(const std::vector<unsigned>& itemsPerColumn);

    // The last colour and opacity passed on to every item (black and 0
    // until set).
    uint8_t opacity() const override { return opacity_; }
    void setOpacity(uint8_t opacity) override;
    ccColor3B color() const override { return color_; }
    void setColor(ccColor3B color) override;

protected:
    ~CCMenu() override = default;

private:
    // The children that are menu items, in child order.
    template <class F> void forEachItem(F&& f) const;
    unsigned itemCount() const;

    int state_ = kCCMenuStateWaiting;
    CCMenuItem* selectedItem_ = nullptr;  // not retained: one of the children
    uint8_t opacity_ = 0;
    ccColor3B color_{0, 0, 0};
};
