// The menu's touch handling: which item a touch selects, dragging off and
// back, firing on lift only, swallowing against the layers beneath, one
// touch at a time, and scene changes made from inside an item's action.
#include <gtest/gtest.h>

#include "MenuTestSupport.h"
#include "engine/CCMenu.h"
#include "engine/CCMenuItem.h"
#include "engine/CCScene.h"
#include "engine/CCTransitionSlide.h"

namespace {

// The window centre in portrait: where a menu puts its origin.
constexpr CGPoint kCentre{160, 240};

CGPoint offset(float dx, float dy) { return CGPointMake(kCentre.x + dx, kCentre.y + dy); }

class MenuTouches : public MenuFixture {
protected:
    void SetUp() override {
        MenuFixture::SetUp();
        target_ = PressRecorder::make();
        layer_ = RecordingLayer::make();
        scene_->addChild(layer_);
        // Two 100 x 40 items, one above the other, 60 points apart.
        top_ = sizedItem(100, 40, target_, cc_selector(PressRecorder::pressed));
        bottom_ = sizedItem(100, 40, target_, cc_selector(PressRecorder::pressed));
        top_->setPosition(CGPointMake(0, 30));
        bottom_->setPosition(CGPointMake(0, -30));
        menu_ = CCMenu::menuWithItems({top_, bottom_});
        scene_->addChild(menu_);
    }

    host::Ref<PressRecorder> target_;
    RecordingLayer* layer_ = nullptr;
    CCMenuItem* top_ = nullptr;
    CCMenuItem* bottom_ = nullptr;
    CCMenu* menu_ = nullptr;
    Finger finger_;
};

}  // namespace

TEST_F(MenuTouches, MenuSitsAtTheWindowCentreAndRegistersAheadOfLayers) {
    EXPECT_FLOAT_EQ(menu_->position().x, 160);
    EXPECT_FLOAT_EQ(menu_->position().y, 240);
    ASSERT_EQ(targetedRegistrations(menu_), 1u);
    const auto& handler = CCTouchDispatcher::sharedDispatcher()->targetedHandlers().front();
    EXPECT_EQ(handler->priority(), -128);
    EXPECT_TRUE(handler->swallowsTouches());
}

TEST_F(MenuTouches, TheItemUnderTheFingerIsSelectedAndFiresOnLift) {
    finger_.down(offset(45, 30 + 18));  // inside the top item, near its corner
    EXPECT_EQ(menu_->state(), kCCMenuStateTrackingTouch);
    EXPECT_EQ(menu_->selectedItem(), top_);
    EXPECT_TRUE(top_->isSelected());
    EXPECT_FALSE(bottom_->isSelected());
    EXPECT_TRUE(target_->senders.empty()) << "nothing fires while the finger is down";

    finger_.up(offset(45, 30 + 18));
    ASSERT_EQ(target_->senders.size(), 1u);
    EXPECT_EQ(target_->senders[0], top_) << "the action receives the item as its sender";
    EXPECT_FALSE(top_->isSelected());
    EXPECT_EQ(menu_->state(), kCCMenuStateWaiting);
}

TEST_F(MenuTouches, HitTestingUsesTheItemRectangleExactly) {
    // The bottom item covers x 110..210 and y 190..230 of the window.
    finger_.down(offset(-50, -50));  // its bottom-left corner is inside
    EXPECT_EQ(menu_->selectedItem(), bottom_);
    finger_.up(offset(-50, -50));
    finger_.down(offset(50, -30));  // the right edge is outside
    EXPECT_EQ(menu_->state(), kCCMenuStateWaiting);
    finger_.up(offset(50, -30));
    finger_.down(offset(0, -10));  // the top edge is outside, and below the top item
    EXPECT_EQ(menu_->state(), kCCMenuStateWaiting);
    finger_.up(offset(0, -10));
    EXPECT_EQ(target_->senders.size(), 1u) << "only the touch on the corner fired";
}

TEST_F(MenuTouches, AMovedOrScaledItemIsHitWhereItIsDrawn) {
    top_->setScale(2);  // now 200 x 80 about its centre (160, 270)
    finger_.down(offset(-95, 30 + 38));
    EXPECT_EQ(menu_->selectedItem(), top_);
    finger_.up(offset(-95, 30 + 38));
    menu_->setPosition(CGPointMake(60, 60));  // bottom item now centred on (60, 30)
    finger_.down(CGPointMake(20, 15));
    EXPECT_EQ(menu_->selectedItem(), bottom_);
    finger_.up(CGPointMake(20, 15));
    EXPECT_EQ(target_->senders.size(), 2u);
}

TEST_F(MenuTouches, DraggingOffUnselectsAndLiftingThereFiresNothing) {
    finger_.down(offset(0, 30));
    finger_.move(offset(0, 100));
    EXPECT_FALSE(top_->isSelected());
    EXPECT_EQ(menu_->selectedItem(), nullptr);
    EXPECT_EQ(menu_->state(), kCCMenuStateTrackingTouch) << "the menu keeps the touch it claimed";
    finger_.up(offset(0, 100));
    EXPECT_TRUE(target_->senders.empty());
    EXPECT_EQ(layer_->ended, 0) << "a claimed touch stays swallowed after it leaves the items";
}

TEST_F(MenuTouches, DraggingBackReselectsAndFires) {
    finger_.down(offset(0, 30));
    finger_.move(offset(0, 100));
    finger_.move(offset(10, 35));
    EXPECT_TRUE(top_->isSelected());
    finger_.up(offset(10, 35));
    ASSERT_EQ(target_->senders.size(), 1u);
    EXPECT_EQ(target_->senders[0], top_);
}

TEST_F(MenuTouches, DraggingOntoAnotherItemFiresOnlyThatOne) {
    finger_.down(offset(0, 30));
    finger_.move(offset(0, -30));
    EXPECT_FALSE(top_->isSelected());
    EXPECT_TRUE(bottom_->isSelected());
    finger_.up(offset(0, -30));
    ASSERT_EQ(target_->senders.size(), 1u);
    EXPECT_EQ(target_->senders[0], bottom_);
}

TEST_F(MenuTouches, AClaimedTouchIsSwallowedAndAMissReachesTheLayer) {
    finger_.tap(offset(0, 30));
    EXPECT_EQ(layer_->began, 0);
    EXPECT_EQ(layer_->ended, 0);
    finger_.tap(offset(0, 150));
    EXPECT_EQ(layer_->began, 1);
    EXPECT_EQ(layer_->ended, 1);
    EXPECT_EQ(target_->senders.size(), 1u);
}

TEST_F(MenuTouches, DisabledOrHiddenItemsClaimNothing) {
    top_->setIsEnabled(false);
    bottom_->setVisible(false);
    finger_.tap(offset(0, 30));
    finger_.tap(offset(0, -30));
    EXPECT_EQ(layer_->began, 2) << "the layer below gets both touches";
    EXPECT_TRUE(target_->senders.empty());
}

TEST_F(MenuTouches, AnInvisibleMenuClaimsNothing) {
    menu_->setVisible(false);
    finger_.tap(offset(0, 30));
    EXPECT_EQ(layer_->began, 1);
    EXPECT_TRUE(target_->senders.empty());
}

TEST_F(MenuTouches, OnlyOneTouchIsTrackedAtATime) {
    Finger second(7);
    finger_.down(offset(0, 30));
    second.down(offset(0, -30));
    EXPECT_FALSE(bottom_->isSelected()) << "the second finger is not the menu's";
    EXPECT_EQ(layer_->began, 1) << "it goes on to the layer";
    second.up(offset(0, -30));
    finger_.up(offset(0, 30));
    ASSERT_EQ(target_->senders.size(), 1u);
    EXPECT_EQ(target_->senders[0], top_);
}

TEST_F(MenuTouches, AnItemDisabledWhileHeldDoesNotFire) {
    finger_.down(offset(0, 30));
    top_->setIsEnabled(false);
    finger_.up(offset(0, 30));
    EXPECT_TRUE(target_->senders.empty());
    EXPECT_FALSE(top_->isSelected()) << "it is still unselected";
}

TEST_F(MenuTouches, ACancelledTouchUnselectsWithoutFiring) {
    finger_.down(offset(0, 30));
    finger_.cancel(offset(0, 30));
    EXPECT_FALSE(top_->isSelected());
    EXPECT_EQ(menu_->state(), kCCMenuStateWaiting);
    EXPECT_TRUE(target_->senders.empty());
    finger_.tap(offset(0, -30));
    EXPECT_EQ(target_->senders.size(), 1u) << "the menu takes the next touch";
}

TEST_F(MenuTouches, LeavingTheStageWhileTrackingDropsTheTouch) {
    host::Ref<CCMenu> keep = menu_;
    finger_.down(offset(0, 30));
    menu_->removeFromParentAndCleanup(false);
    EXPECT_FALSE(top_->isSelected());
    EXPECT_EQ(menu_->state(), kCCMenuStateWaiting);
    EXPECT_EQ(menu_->selectedItem(), nullptr);
    EXPECT_EQ(targetedRegistrations(menu_), 0u);
    finger_.up(offset(0, 30));
    EXPECT_TRUE(target_->senders.empty());
}

TEST_F(MenuTouches, AnItemRemovedWhileHeldIsForgotten) {
    finger_.down(offset(0, 30));
    menu_->removeChild(top_, true);
    EXPECT_EQ(menu_->selectedItem(), nullptr);
    frames(2);  // the removed item is gone for good
    finger_.move(offset(0, -30));
    EXPECT_TRUE(bottom_->isSelected());
    finger_.up(offset(0, -30));
    ASSERT_EQ(target_->senders.size(), 1u);
    EXPECT_EQ(target_->senders[0], bottom_);
}

TEST_F(MenuTouches, AMenuAddedLaterTakesTouchesOverAnEarlierOne) {
    // A menu put up over another (a pop-up) registers later at the same
    // priority, so it is asked first and takes the touch.
    host::Ref<PressRecorder> other = PressRecorder::make();
    CCMenuItem* cover = sizedItem(300, 300, other, cc_selector(PressRecorder::pressed));
    scene_->addChild(CCMenu::menuWithItems({cover}));
    finger_.tap(offset(0, 30));
    EXPECT_EQ(other->senders.size(), 1u);
    EXPECT_TRUE(target_->senders.empty());
}

TEST_F(MenuTouches, SelectorsWithoutASenderAndBlocksBothFire) {
    host::Object* blockSender = nullptr;
    top_ = sizedItem(100, 40, target_, cc_selector(PressRecorder::pressedWithoutSender));
    CCMenuItem* blockItem = CCMenuItem::itemWithBlock([&](host::Object* sender) { blockSender = sender; });
    blockItem->setContentSize(CGSizeMake(100, 40));
    top_->setPosition(CGPointMake(0, 100));
    blockItem->setPosition(CGPointMake(0, -100));
    scene_->addChild(CCMenu::menuWithItems({top_, blockItem}));
    finger_.tap(offset(0, 100));
    finger_.tap(offset(0, -100));
    EXPECT_EQ(target_->plainPresses, 1);
    EXPECT_EQ(blockSender, blockItem);
}

TEST_F(MenuTouches, AnItemWithoutAnActionStillSelectsAndSwallows) {
    CCMenuItem* inert = sizedItem(100, 40);
    inert->setPosition(CGPointMake(0, 150));
    menu_->addChild(inert);
    finger_.down(offset(0, 150));
    EXPECT_TRUE(inert->isSelected());
    finger_.up(offset(0, 150));
    EXPECT_EQ(layer_->began, 0);
    EXPECT_TRUE(target_->senders.empty());
}

TEST_F(MenuTouches, ANonItemChildIsIgnoredByTouchesAndColours) {
    menu_->addChild(CCNode::node());
    menu_->setOpacity(40);
    finger_.tap(offset(0, 30));
    EXPECT_EQ(target_->senders.size(), 1u);
}

// ---- Scene changes from inside an action ---------------------------------------

namespace {

// A scene whose only menu item runs `onPress` when tapped.
class MenuScene : public CCScene {
public:
    static MenuScene* make(std::function<void()> onPress) {
        MenuScene* s = host::create<MenuScene>();
        CCMenuItem* item = CCMenuItem::itemWithBlock([onPress](host::Object*) { onPress(); });
        item->setContentSize(CGSizeMake(100, 40));
        s->menu = CCMenu::menuWithItems({item});
        s->addChild(s->menu);
        return s;
    }
    CCMenu* menu = nullptr;
};

}  // namespace

TEST_F(MenuTouches, AnActionThatReplacesTheSceneHandsTheTouchesOverAtTheSwitch) {
    int secondPresses = 0;
    MenuScene* second = MenuScene::make([&] { ++secondPresses; });
    host::Ref<MenuScene> keep = second;
    auto* replacer = CCMenuItem::itemWithBlock([&](host::Object*) { director_->replaceScene(second); });
    replacer->setContentSize(CGSizeMake(100, 40));
    replacer->setPosition(CGPointMake(0, 100));
    menu_->addChild(replacer);

    finger_.tap(offset(0, 100));
    EXPECT_EQ(targetedRegistrations(menu_), 1u) << "the replace waits for the next frame";
    EXPECT_EQ(targetedRegistrations(second->menu), 0u);

    frame();
    EXPECT_EQ(director_->runningScene(), second);
    EXPECT_EQ(targetedRegistrations(menu_), 0u);
    EXPECT_EQ(targetedRegistrations(second->menu), 1u);
    finger_.tap(kCentre);
    EXPECT_EQ(secondPresses, 1);
    EXPECT_TRUE(target_->senders.empty()) << "the old menu is deaf";
}

TEST_F(MenuTouches, AnActionThatRemovesItsOwnMenuFinishesTheDispatchSafely) {
    auto* remover = CCMenuItem::itemWithBlock([&](host::Object*) { menu_->removeFromParentAndCleanup(true); });
    remover->setContentSize(CGSizeMake(100, 40));
    remover->setPosition(CGPointMake(0, 100));
    menu_->addChild(remover);
    host::Object* menuObject = menu_;
    finger_.tap(offset(0, 100));
    // The removal asked during the dispatch was applied when it ended.
    EXPECT_EQ(targetedRegistrations(menuObject), 0u);
    finger_.tap(offset(0, 30));
    EXPECT_TRUE(target_->senders.empty());
    EXPECT_EQ(layer_->began, 1);
}

TEST_F(MenuTouches, AnActionThatStartsATransitionSilencesTouchesAtOnce) {
    int secondPresses = 0;
    MenuScene* second = MenuScene::make([&] { ++secondPresses; });
    auto* leaver = CCMenuItem::itemWithBlock([&](host::Object*) {
        director_->replaceScene(CCTransitionSlideInR::transitionWithDuration(0.2f, second));
    });
    leaver->setContentSize(CGSizeMake(100, 40));
    leaver->setPosition(CGPointMake(0, 100));
    menu_->addChild(leaver);

    finger_.tap(offset(0, 100));
    EXPECT_FALSE(CCTouchDispatcher::sharedDispatcher()->dispatchEvents());
    finger_.tap(offset(0, 30));  // during the slide
    frames(5);
    finger_.tap(kCentre);
    EXPECT_TRUE(target_->senders.empty());
    EXPECT_EQ(secondPresses, 0);
    frames(15);  // 0.2 s and the hand-over
    EXPECT_EQ(director_->runningScene(), second);
    EXPECT_TRUE(CCTouchDispatcher::sharedDispatcher()->dispatchEvents());
    finger_.tap(kCentre);
    EXPECT_EQ(secondPresses, 1);
}

// ---- The mouse in the landscape window ------------------------------------------------

TEST_F(MenuFixture, AMouseClickInTheLandscapeWindowPressesAnItem) {
    director_->setDeviceOrientation(kCCDeviceOrientationLandscapeLeft);
    host::Ref<PressRecorder> target = PressRecorder::make();
    CCMenuItem* item = sizedItem(80, 30, target, cc_selector(PressRecorder::pressed));
    item->setPosition(CGPointMake(150, -100));  // the menu sits at (240, 160)
    scene_->addChild(CCMenu::menuWithItems({item}));
    host::Application* app = host::Application::sharedApplication();
    // The item spans x 350..430 and y 45..75 of the landscape GL space; the
    // mouse works in interface points, y down from the top edge.
    app->deliverPointer(-1, host::TouchPhase::Began, 420, 320 - 50, 1.0);
    EXPECT_TRUE(item->isSelected());
    app->deliverPointer(-1, host::TouchPhase::Moved, 400, 320 - 70, 1.1);
    app->deliverPointer(-1, host::TouchPhase::Ended, 400, 320 - 70, 1.2);
    ASSERT_EQ(target->senders.size(), 1u);
    EXPECT_EQ(target->senders[0], item);
    app->deliverPointer(-1, host::TouchPhase::Began, 300, 320 - 60, 2.0);  // left of the item
    app->deliverPointer(-1, host::TouchPhase::Ended, 300, 320 - 60, 2.1);
    EXPECT_EQ(target->senders.size(), 1u);
    director_->setDeviceOrientation(kCCDeviceOrientationPortrait);
}
