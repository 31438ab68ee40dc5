// Where the menu's align operations put their items (menu coordinates; the
// portrait window is 320 x 480 points).
#include <gtest/gtest.h>

#include "MenuTestSupport.h"
#include "engine/CCMenu.h"

namespace {

using MenuAlignment = MenuFixture;

void expectAt(CCMenuItem* item, float x, float y) {
    EXPECT_FLOAT_EQ(item->position().x, x) << "x";
    EXPECT_FLOAT_EQ(item->position().y, y) << "y";
}

}  // namespace

TEST_F(MenuAlignment, VerticallyStacksTopToBottomAroundTheOrigin) {
    CCMenuItem* a = sizedItem(10, 40);
    CCMenuItem* b = sizedItem(10, 60);
    CCMenu* menu = CCMenu::menuWithItems({a, b});
    menu->alignItemsVertically();  // total 40 + 5 + 60 = 105
    expectAt(a, 0, 32.5f);
    expectAt(b, 0, -22.5f);
    menu->alignItemsVerticallyWithPadding(15);  // total 115
    expectAt(a, 0, 37.5f);
    expectAt(b, 0, -27.5f);
}

TEST_F(MenuAlignment, VerticalSpacingCountsEachItemsScale) {
    CCMenuItem* a = sizedItem(10, 20);
    CCMenuItem* b = sizedItem(10, 20);
    a->setScaleY(2);  // 40 high as drawn
    CCMenu* menu = CCMenu::menuWithItems({a, b});
    menu->alignItemsVerticallyWithPadding(0);  // total 60
    expectAt(a, 0, 10);
    expectAt(b, 0, -20);
}

TEST_F(MenuAlignment, HorizontallyRunsLeftToRightAroundTheOrigin) {
    CCMenuItem* a = sizedItem(40, 10);
    CCMenuItem* b = sizedItem(60, 10);
    CCMenuItem* c = sizedItem(20, 10);
    c->setScaleX(0.5f);  // 10 wide as drawn
    CCMenu* menu = CCMenu::menuWithItems({a, b, c});
    menu->alignItemsHorizontally();  // total 40 + 5 + 60 + 5 + 10 = 120
    expectAt(a, -40, 0);
    expectAt(b, 15, 0);
    expectAt(c, 55, 0);
}

TEST_F(MenuAlignment, ColumnsSpreadEachRowAcrossTheWindow) {
    // Row 1: two items 30 and 21.5 high (the row counts 30); row 2: one item 20 high.
    CCMenuItem* a = sizedItem(10, 30);
    CCMenuItem* b = sizedItem(10, 21.5f);
    CCMenuItem* c = sizedItem(10, 20);
    CCMenu* menu = CCMenu::menuWithItems({a, b, c});
    menu->alignItemsInColumns({2, 1});
    // h = -5 + (30 + 5) + (20 + 5) = 55; y starts at 55 / 2 = 27 (whole numbers).
    // Row 1: w = 320 / 3, items at x = w and 2w from the left edge.
    const float w = 320.0f / 3;
    expectAt(a, w - 160, 27 - 15);
    expectAt(b, 2 * w - 160, 27 - 10.75f);
    // Row 2: y = 27 - 35 = -8; w = 160.
    expectAt(c, 0, -8 - 10);
}

TEST_F(MenuAlignment, RowHeightsDropTheirFractions) {
    CCMenuItem* a = sizedItem(10, 30.9f);
    CCMenuItem* b = sizedItem(10, 10);
    CCMenu* menu = CCMenu::menuWithItems({a, b});
    menu->alignItemsInColumns({1, 1});
    // h = -5 + 35 + 15 = 45, y = 22; the first row counts 30, not 30.9.
    expectAt(a, 0, 22 - 30.9f / 2);
    expectAt(b, 0, 22 - 35 - 5);
}

TEST_F(MenuAlignment, RowsStackEachColumnAroundTheWindowMiddle) {
    // Column 1: two items (40 x 20 and 30 x 10); column 2: one item 50 x 30.
    CCMenuItem* a = sizedItem(40, 20);
    CCMenuItem* b = sizedItem(30, 10);
    CCMenuItem* c = sizedItem(50, 30);
    CCMenu* menu = CCMenu::menuWithItems({a, b, c});
    menu->alignItemsInRows({2, 1});
    // Widths: 40 and 50, W = -10 + 50 + 60 = 100, x starts at -50.
    // Column heights: -5 + 25 + 15 = 35 and -5 + 35 = 30.
    // Column 1: y = (35 + 480) / 2 = 257.5; items at y - 240, stepping by h + 10.
    expectAt(a, -50 + 20, 257.5f - 240);
    expectAt(b, -50 + 20, 257.5f - 30 - 240);
    // Column 2: x = -50 + 40 + 5 = -5; y = (30 + 480) / 2 = 255.
    expectAt(c, -5 + 25, 255 - 240);
}

TEST_F(MenuAlignment, ALandscapeMenuSpreadsRowsAcrossTheWiderWindow) {
    director_->setDeviceOrientation(kCCDeviceOrientationLandscapeLeft);
    CCMenuItem* a = sizedItem(10, 10);
    CCMenuItem* b = sizedItem(10, 10);
    CCMenu* menu = CCMenu::menuWithItems({a, b});
    EXPECT_FLOAT_EQ(menu->position().x, 240);
    EXPECT_FLOAT_EQ(menu->position().y, 160);
    menu->alignItemsInColumns({2});  // h = 10, y = 5; w = 480 / 3
    expectAt(a, 160 - 240, 0);
    expectAt(b, 320 - 240, 0);
    director_->setDeviceOrientation(kCCDeviceOrientationPortrait);
}

TEST_F(MenuAlignment, GridCountsThatDoNotMatchTheItemsAreRefused) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    CCMenu* menu = CCMenu::menuWithItems({sizedItem(10, 10), sizedItem(10, 10), sizedItem(10, 10)});
    host::Ref<CCMenu> keep = menu;
    // Too few places would read counts that are not there.
    EXPECT_DEATH(menu->alignItemsInColumns({1, 1}), "counts must add up");
    EXPECT_DEATH(menu->alignItemsInRows({2}), "counts must add up");
    EXPECT_DEATH(menu->alignItemsInColumns({3, 0}), "at least one item");
}
