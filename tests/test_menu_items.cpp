// Menu items on their own: the label zoom and disabled colour, the font and
// character-map forms, sprite and image items, the toggle, and colour and
// opacity passed down from the menu.
#include <gtest/gtest.h>

#include "ImageFileWriters.h"
#include "LogCapture.h"
#include "MenuTestSupport.h"
#include "ScratchDirectory.h"
#include "engine/CCLabelAtlas.h"
#include "engine/CCLabelTTF.h"
#include "engine/CCLayer.h"
#include "engine/CCMenu.h"
#include "engine/CCMenuItem.h"
#include "engine/CCMenuItemSprite.h"
#include "engine/CCMenuItemToggle.h"
#include "engine/CCSprite.h"

namespace {

class MenuItems : public MenuFixture {
protected:
    void SetUp() override {
        MenuFixture::SetUp();
        // Ten 8 x 12 cells for the characters "0" to "9".
        charMap_ = writePngFile(dir_, "digits.png", 80, 12, [](unsigned, unsigned) { return ccc4(255, 255, 255, 255); });
        ASSERT_FALSE(charMap_.empty());
    }
    CCLabelAtlas* digits(const std::string& text) { return CCLabelAtlas::labelWithString(text, charMap_, 8, 12, '0'); }
    CCMenuItemLabel* labelItem(const std::string& text) {
        return CCMenuItemLabel::itemWithLabel(digits(text), target_, cc_selector(PressRecorder::pressed));
    }

    ScratchDirectory dir_;
    std::string charMap_;
    host::Ref<PressRecorder> target_ = PressRecorder::make();
};

bool sameColour(ccColor3B a, ccColor3B b) { return a.r == b.r && a.g == b.g && a.b == b.b; }

}  // namespace

// ---- Label items -------------------------------------------------------------------

TEST_F(MenuItems, ALabelItemTakesItsLabelsSizeAndAnchorsItAtTheCorner) {
    CCMenuItemLabel* item = labelItem("123");
    EXPECT_FLOAT_EQ(item->contentSize().width, 24);
    EXPECT_FLOAT_EQ(item->contentSize().height, 12);
    EXPECT_EQ(item->label()->parent(), item);
    EXPECT_FLOAT_EQ(item->label()->anchorPoint().x, 0);
    EXPECT_FLOAT_EQ(item->anchorPoint().x, 0.5f);
    item->setString("12345");
    EXPECT_FLOAT_EQ(item->contentSize().width, 40);
    CCLabelAtlas* replacement = digits("1");
    CCNode* old = item->label();
    host::Ref<CCNode> keepOld = old;
    item->setLabel(replacement);
    EXPECT_EQ(old->parent(), nullptr);
    EXPECT_FLOAT_EQ(item->contentSize().width, 8);
}

TEST_F(MenuItems, ALabelItemWithoutALabelIsNotMade) {
    EXPECT_EQ(CCMenuItemLabel::itemWithLabel(nullptr), nullptr);
    EXPECT_EQ(host::create<CCMenuItem>(), nullptr) << "an item is made with its action";
    EXPECT_EQ(host::create<CCMenu>(), nullptr) << "a menu is made with its items";
}

TEST_F(MenuItems, SelectionZoomsToOnePointTwoAndBackOverATenthOfASecond) {
    CCMenuItemLabel* item = labelItem("1");
    scene_->addChild(CCMenu::menuWithItems({item}));
    item->selected();
    frames(4);
    EXPECT_GT(item->scale(), 1.0f);
    EXPECT_LT(item->scale(), 1.2f);
    frames(6);
    EXPECT_FLOAT_EQ(item->scale(), 1.2f);
    item->unselected();
    frames(10);
    EXPECT_FLOAT_EQ(item->scale(), 1.0f);
}

TEST_F(MenuItems, ActivatingMidZoomSnapsBackBeforeTheActionRuns) {
    CCMenuItemLabel* item = nullptr;
    float scaleSeenByAction = 0;
    item = CCMenuItemLabel::itemWithLabel(digits("1"), [&](host::Object*) { scaleSeenByAction = item->scale(); });
    item->setScale(1.5f);
    scene_->addChild(CCMenu::menuWithItems({item}));
    item->selected();
    frames(4);
    ASSERT_GT(item->scale(), 1.5f);
    item->activate();
    EXPECT_FLOAT_EQ(scaleSeenByAction, 1.5f);
    EXPECT_EQ(item->numberOfRunningActions(), 0u);
}

TEST_F(MenuItems, ReselectingDuringTheShrinkDoesNotCompoundTheZoom) {
    CCMenuItemLabel* item = labelItem("1");
    scene_->addChild(CCMenu::menuWithItems({item}));
    item->selected();
    frames(10);
    item->unselected();
    frames(3);  // part-way back
    item->selected();
    frames(10);
    EXPECT_FLOAT_EQ(item->scale(), 1.2f);
    item->unselected();
    frames(10);
    EXPECT_FLOAT_EQ(item->scale(), 1.0f);
}

TEST_F(MenuItems, ADisabledLabelItemIsGreyAndNeitherZoomsNorFires) {
    CCMenuItemLabel* item = labelItem("1");
    item->setColor(ccc3(0, 200, 0));
    scene_->addChild(CCMenu::menuWithItems({item}));
    item->setIsEnabled(false);
    EXPECT_TRUE(sameColour(item->color(), ccc3(126, 126, 126)));
    item->setIsEnabled(false);  // no change: the saved colour stays green
    item->selected();
    frames(10);
    EXPECT_FLOAT_EQ(item->scale(), 1.0f);
    item->activate();
    EXPECT_TRUE(target_->senders.empty());
    item->setDisabledColor(ccc3(10, 20, 30));
    item->setIsEnabled(true);
    EXPECT_TRUE(sameColour(item->color(), ccc3(0, 200, 0)));
    item->setIsEnabled(false);
    EXPECT_TRUE(sameColour(item->color(), ccc3(10, 20, 30)));
}

TEST_F(MenuItems, ADisabledLabelDrawsInTheDisabledColour) {
    // A white 8 x 12 glyph over black: the pixel at its middle is the label's colour.
    CCMenuItemLabel* item = labelItem("0");
    CCMenu* menu = CCMenu::menuWithItems({item});
    scene_->addChild(menu);
    item->setIsEnabled(false);
    frame();
    EXPECT_TRUE(rgbNear(pixelAt(160, 240), ccc3(126, 126, 126)));
    item->setIsEnabled(true);
    frame();
    EXPECT_TRUE(rgbNear(pixelAt(160, 240), ccc3(255, 255, 255)));
}

TEST_F(MenuItems, AnAtlasFontItemShowsItsCharacterMap) {
    CCMenuItemAtlasFont* item = CCMenuItemAtlasFont::itemFromString("42", charMap_, 8, 12, '0', target_,
                                                                    cc_selector(PressRecorder::pressed));
    ASSERT_NE(item, nullptr);
    EXPECT_FLOAT_EQ(item->contentSize().width, 16);
    EXPECT_NE(dynamic_cast<CCLabelAtlas*>(item->label()), nullptr);
    item->activate();
    EXPECT_EQ(target_->senders.size(), 1u);
}

TEST_F(MenuItems, AnAtlasFontItemWithAMissingMapIsNotMade) {
    LogCapture log;
    EXPECT_EQ(CCMenuItemAtlasFont::itemFromString("42", dir_.file("nothing.png"), 8, 12, '0'), nullptr);
    EXPECT_FALSE(log.lines().empty()) << "the failure is logged";
}

TEST_F(MenuItems, FontItemsUseTheClassDefaultsAndRebuildTheirLabel) {
    EXPECT_EQ(CCMenuItemFont::fontName(), "Marker Felt");
    EXPECT_EQ(CCMenuItemFont::fontSize(), 32u);
    // A font every test machine has; the default comes back afterwards.
    CCMenuItemFont::setFontName("Helvetica");
    CCMenuItemFont* big = CCMenuItemFont::itemFromString("Play");
    ASSERT_NE(big, nullptr);
    EXPECT_EQ(big->itemFontSize(), 32u);
    EXPECT_NE(dynamic_cast<CCLabelTTF*>(big->label()), nullptr);
    const float bigHeight = big->contentSize().height;
    EXPECT_GT(bigHeight, 0);

    CCMenuItemFont::setFontSize(16);
    CCMenuItemFont* small = CCMenuItemFont::itemFromString("Play");
    CCMenuItemFont::setFontSize(32);
    CCMenuItemFont::setFontName("Marker Felt");
    ASSERT_NE(small, nullptr);
    EXPECT_EQ(small->itemFontSize(), 16u);
    EXPECT_LT(small->contentSize().height, bigHeight);

    small->setItemFontSize(32);
    EXPECT_FLOAT_EQ(small->contentSize().height, bigHeight) << "the label is rebuilt at the new size";
    EXPECT_EQ(dynamic_cast<CCLabelTTF*>(small->label())->string(), "Play");
    EXPECT_EQ(small->children()->count(), 1u) << "the old label is gone";
    small->setItemFontName("Courier");
    EXPECT_EQ(small->itemFontName(), "Courier");
    EXPECT_EQ(dynamic_cast<CCLabelTTF*>(small->label())->string(), "Play");
}

// ---- Sprite and image items -------------------------------------------------------------

namespace {

CCLayerColor* block(ccColor4B c) { return CCLayerColor::layerWithColor(c, 60, 30); }

}  // namespace

TEST_F(MenuItems, ASpriteItemShowsTheImageOfItsState) {
    CCLayerColor* normal = block(ccc4(255, 0, 0, 255));
    CCLayerColor* selected = block(ccc4(0, 255, 0, 255));
    CCLayerColor* disabled = block(ccc4(0, 0, 255, 255));
    CCMenuItemSprite* item = CCMenuItemSprite::itemFromNormalSprite(normal, selected, disabled, nullptr, {});
    EXPECT_FLOAT_EQ(item->contentSize().width, 60);
    EXPECT_TRUE(normal->visible());
    EXPECT_FALSE(selected->visible());
    EXPECT_FALSE(disabled->visible());
    EXPECT_FLOAT_EQ(selected->anchorPoint().x, 0);

    item->selected();
    EXPECT_FALSE(normal->visible());
    EXPECT_TRUE(selected->visible());
    item->unselected();
    EXPECT_TRUE(normal->visible());
    EXPECT_FALSE(selected->visible());
    item->setIsEnabled(false);
    EXPECT_FALSE(normal->visible());
    EXPECT_TRUE(disabled->visible());
    item->setIsEnabled(true);
    EXPECT_TRUE(normal->visible());
    EXPECT_FALSE(disabled->visible());
}

TEST_F(MenuItems, ASpriteItemWithoutOptionalImagesKeepsTheNormalOneUp) {
    CCLayerColor* normal = block(ccc4(255, 0, 0, 255));
    CCMenuItemSprite* item = CCMenuItemSprite::itemFromNormalSprite(normal, nullptr);
    item->selected();
    EXPECT_TRUE(normal->visible());
    item->setIsEnabled(false);
    EXPECT_TRUE(normal->visible());
}

TEST_F(MenuItems, ReplacingAnImageRemovesTheOldOne) {
    CCLayerColor* first = block(ccc4(255, 0, 0, 255));
    host::Ref<CCLayerColor> keep = first;
    CCMenuItemSprite* item = CCMenuItemSprite::itemFromNormalSprite(first, nullptr);
    CCLayerColor* second = block(ccc4(0, 255, 0, 255));
    item->setNormalImage(second);
    EXPECT_EQ(first->parent(), nullptr);
    EXPECT_EQ(second->parent(), item);
    item->setNormalImage(second);  // the same node: nothing changes
    EXPECT_EQ(item->children()->count(), 1u);
}

TEST_F(MenuItems, ASpriteItemDrawsTheSelectedImageWhileHeld) {
    CCMenuItemSprite* item = CCMenuItemSprite::itemFromNormalSprite(block(ccc4(255, 0, 0, 255)),
                                                                    block(ccc4(0, 255, 0, 255)), target_,
                                                                    cc_selector(PressRecorder::pressed));
    scene_->addChild(CCMenu::menuWithItems({item}));
    frame();
    EXPECT_TRUE(rgbNear(pixelAt(160, 240), ccc3(255, 0, 0)));
    Finger finger;
    finger.down(CGPointMake(160, 240));
    frame();
    EXPECT_TRUE(rgbNear(pixelAt(160, 240), ccc3(0, 255, 0)));
    finger.up(CGPointMake(160, 240));
    frame();
    EXPECT_TRUE(rgbNear(pixelAt(160, 240), ccc3(255, 0, 0)));
    EXPECT_EQ(target_->senders.size(), 1u);
}

TEST_F(MenuItems, ColourAndOpacityReachAllThreeImages) {
    CCLayerColor* normal = block(ccc4(255, 0, 0, 255));
    CCLayerColor* selected = block(ccc4(0, 255, 0, 255));
    CCMenuItemSprite* item = CCMenuItemSprite::itemFromNormalSprite(normal, selected);
    item->setColor(ccc3(1, 2, 3));
    item->setOpacity(99);
    EXPECT_TRUE(sameColour(selected->color(), ccc3(1, 2, 3)));
    EXPECT_EQ(selected->opacity(), 99);
    EXPECT_TRUE(sameColour(item->color(), ccc3(1, 2, 3)));
    EXPECT_EQ(item->opacity(), 99);
}

TEST_F(MenuItems, AnImageItemLoadsItsFilesAsSprites) {
    std::string red = writePngFile(dir_, "red.png", 40, 20, [](unsigned, unsigned) { return ccc4(255, 0, 0, 255); });
    std::string green = writePngFile(dir_, "green.png", 40, 20, [](unsigned, unsigned) { return ccc4(0, 255, 0, 255); });
    CCMenuItemImage* item = CCMenuItemImage::itemFromNormalImage(red, green);
    ASSERT_NE(item, nullptr);
    EXPECT_FLOAT_EQ(item->contentSize().width, 40);
    EXPECT_NE(dynamic_cast<CCSprite*>(item->normalImage()), nullptr);
    EXPECT_NE(item->selectedImage(), nullptr);
    EXPECT_EQ(item->disabledImage(), nullptr);
}

TEST_F(MenuItems, AnImageItemWithAFileThatDoesNotLoadIsNotMade) {
    std::string red = writePngFile(dir_, "red.png", 40, 20, [](unsigned, unsigned) { return ccc4(255, 0, 0, 255); });
    std::string garbage = dir_.write("garbage.png", "not an image at all");
    LogCapture log;
    EXPECT_EQ(CCMenuItemImage::itemFromNormalImage(dir_.file("missing.png"), red), nullptr);
    EXPECT_EQ(CCMenuItemImage::itemFromNormalImage(red, garbage), nullptr);
    EXPECT_EQ(CCMenuItemImage::itemFromNormalImage(red, red, dir_.file("missing.png")), nullptr);
    EXPECT_NE(log.joined().find("missing.png"), std::string::npos) << log.joined();
}

// ---- Toggles ----------------------------------------------------------------------------

TEST_F(MenuItems, AToggleCyclesItsSubItemsAndTheActionSeesTheNewIndex) {
    std::vector<unsigned> seen;
    CCMenuItemToggle* toggle = nullptr;
    toggle = CCMenuItemToggle::itemWithBlock([&](host::Object* sender) {
        EXPECT_EQ(sender, toggle);
        seen.push_back(toggle->selectedIndex());
    }, {sizedItem(10, 10), sizedItem(20, 20), sizedItem(30, 30)});
    EXPECT_EQ(toggle->selectedIndex(), 0u);
    toggle->activate();
    toggle->activate();
    toggle->activate();
    EXPECT_EQ(seen, (std::vector<unsigned>{1, 2, 0}));
}

TEST_F(MenuItems, AToggleShowsOneSubItemCentredInItsOwnSize) {
    CCMenuItem* off = sizedItem(10, 10);
    CCMenuItem* on = sizedItem(40, 20);
    CCMenuItemToggle* toggle = CCMenuItemToggle::itemWithTarget(target_, cc_selector(PressRecorder::pressed), {off, on});
    toggle->setSelectedIndex(1);
    EXPECT_EQ(toggle->selectedItem(), on);
    EXPECT_EQ(toggle->getChildByTag(kCCItemForToggleTag), on);
    EXPECT_EQ(off->parent(), nullptr);
    EXPECT_EQ(toggle->children()->count(), 1u);
    EXPECT_FLOAT_EQ(toggle->contentSize().width, 40);
    EXPECT_FLOAT_EQ(on->position().x, 20);
    EXPECT_FLOAT_EQ(on->position().y, 10);
    toggle->activate();
    EXPECT_EQ(toggle->selectedItem(), off);
    EXPECT_EQ(target_->senders.size(), 1u);
}

TEST_F(MenuItems, AToggleForwardsSelectionToTheShownItemAndStateToAll) {
    CCMenuItemLabel* a = labelItem("1");
    CCMenuItemLabel* b = labelItem("2");
    CCMenuItemToggle* toggle = CCMenuItemToggle::itemWithTarget(nullptr, {}, {a, b});
    toggle->selected();
    EXPECT_TRUE(a->isSelected());
    EXPECT_FALSE(b->isSelected());
    toggle->unselected();
    EXPECT_FALSE(a->isSelected());
    toggle->setIsEnabled(false);
    EXPECT_FALSE(a->isEnabled());
    EXPECT_FALSE(b->isEnabled());
    toggle->activate();
    EXPECT_EQ(toggle->selectedIndex(), 0u) << "a disabled toggle does not advance";
    toggle->setIsEnabled(true);
    toggle->setColor(ccc3(9, 8, 7));
    toggle->setOpacity(50);
    EXPECT_TRUE(sameColour(b->color(), ccc3(9, 8, 7)));
    EXPECT_EQ(b->opacity(), 50);
    EXPECT_TRUE(sameColour(toggle->color(), ccc3(9, 8, 7)));
}

TEST_F(MenuItems, AToggleWithoutSubItemsActivatesSafely) {
    int fired = 0;
    CCMenuItemToggle* toggle = CCMenuItemToggle::itemWithBlock([&](host::Object*) { ++fired; }, {});
    ASSERT_NE(toggle, nullptr);
    toggle->activate();
    toggle->selected();
    EXPECT_EQ(fired, 1);
    EXPECT_EQ(toggle->selectedItem(), nullptr);
    toggle->setSubItems(nullptr);
    toggle->activate();
    EXPECT_EQ(fired, 2);
}

TEST_F(MenuItems, TappingAToggleInAMenuAdvancesIt) {
    CCMenuItemToggle* toggle =
        CCMenuItemToggle::itemWithTarget(target_, cc_selector(PressRecorder::pressed), {sizedItem(50, 50), sizedItem(50, 50)});
    scene_->addChild(CCMenu::menuWithItems({toggle}));
    Finger().tap(CGPointMake(160, 240));
    EXPECT_EQ(toggle->selectedIndex(), 1u);
    Finger().tap(CGPointMake(160, 240));
    EXPECT_EQ(toggle->selectedIndex(), 0u);
    EXPECT_EQ(target_->senders.size(), 2u);
}

// ---- The menu's colour and opacity ---------------------------------------------------------

TEST_F(MenuItems, TheMenusColourAndOpacityReachEveryItem) {
    CCMenuItemLabel* label = labelItem("1");
    CCMenuItemSprite* sprite = CCMenuItemSprite::itemFromNormalSprite(block(ccc4(255, 0, 0, 255)), nullptr);
    CCMenu* menu = CCMenu::menuWithItems({label, sprite, sizedItem(5, 5)});
    EXPECT_EQ(menu->opacity(), 0) << "0 until set";
    EXPECT_TRUE(sameColour(menu->color(), ccc3(0, 0, 0)));
    menu->setOpacity(128);
    menu->setColor(ccc3(0, 255, 0));
    EXPECT_EQ(menu->opacity(), 128);
    EXPECT_EQ(label->opacity(), 128);
    EXPECT_EQ(sprite->opacity(), 128);
    EXPECT_TRUE(sameColour(label->color(), ccc3(0, 255, 0)));
    EXPECT_TRUE(sameColour(sprite->color(), ccc3(0, 255, 0)));
}
