// Controls over the game: the switch, buttons, action sheets and alerts,
// driven by clicks through the host's pointer delivery.
#include <gtest/gtest.h>

#include <thread>

#include "OverlayTestSupport.h"
#include "host/ui/ActionSheet.h"
#include "host/ui/AlertView.h"
#include "host/ui/Button.h"
#include "host/ui/Switch.h"
#include "host/ui/ViewController.h"
#include "host/ui/Window.h"

namespace {

// The target of control actions.
class ActionRecorder : public host::Object {
public:
    static ActionRecorder* make() { return host::create<ActionRecorder>([](ActionRecorder*) { return true; }); }
    void switched(host::Switch* s) { values.push_back(s->isOn()); }
    void pressed(host::Button* b) { buttons.push_back(b); }
    void plain() { ++plainCalls; }
    std::vector<bool> values;
    std::vector<host::Button*> buttons;
    int plainCalls = 0;
};

class ControlsTest : public OverlayFixture {};

TEST_F(ControlsTest, AClickTogglesTheSwitchAndSendsValueChangedOnce) {
    ActionRecorder* target = ActionRecorder::make();
    host::Switch* sw = host::Switch::switchWithFrame(CGRectMake(200, 200, 10, 10));
    EXPECT_FLOAT_EQ(sw->frame().size.width, host::Switch::kWidth);  // its own size
    EXPECT_FLOAT_EQ(sw->frame().size.height, host::Switch::kHeight);
    sw->addTarget(target, cc_selector(ActionRecorder::switched), host::kControlEventValueChanged);
    int handled = 0;
    sw->addHandler([&](host::Control*) { ++handled; }, host::kControlEventValueChanged);
    surface_->addSubview(sw);

    clickCentreOf(sw);
    EXPECT_TRUE(sw->isOn());
    ASSERT_EQ(target->values.size(), 1u);
    EXPECT_TRUE(target->values[0]);
    EXPECT_EQ(handled, 1);
    EXPECT_EQ(surface_->phases, "");
    runFor(host::Switch::kToggleDuration + 0.05);
    clickCentreOf(sw);
    EXPECT_FALSE(sw->isOn());
    EXPECT_EQ(target->values.size(), 2u);

    // Setting it from code sends nothing; a press let go far away neither.
    sw->setOn(true);
    const CGPoint c = centreOf(sw);
    press(c.x, c.y);
    drag(10, 300);
    release(10, 300);
    EXPECT_TRUE(sw->isOn());
    EXPECT_EQ(target->values.size(), 2u);
    EXPECT_EQ(handled, 2);

    // Disabled, it takes nothing: the touch goes on to the GL view.
    sw->setEnabled(false);
    clickCentreOf(sw);
    EXPECT_TRUE(sw->isOn());
    EXPECT_EQ(surface_->phases, "be");
    sw->removeTarget(target, host::kControlEventAllEvents);
    EXPECT_EQ(sw->actionCount(), 1u);
}

TEST_F(ControlsTest, TheSwitchSlidesToItsNewPlaceOverAShortAnimation) {
    host::Switch* sw = host::Switch::switchWithFrame(CGRectMake(0, 0, 0, 0));
    surface_->addSubview(sw);
    host::View* strip = sw->subviews().front().get();
    const float offX = strip->presentation().center.x;
    sw->setOn(true, true);
    const float onX = strip->center().x;  // the model is there at once
    EXPECT_GT(onX, offX);
    runFor(host::Switch::kToggleDuration / 2);
    const float mid = strip->presentation().center.x;
    EXPECT_GT(mid, offX);
    EXPECT_LT(mid, onX);
    runFor(host::Switch::kToggleDuration);
    EXPECT_FLOAT_EQ(strip->presentation().center.x, onX);
}

TEST_F(ControlsTest, AButtonActsOnTouchUpInsideOnly) {
    ActionRecorder* target = ActionRecorder::make();
    host::Button* b = host::Button::buttonWithType(host::kButtonTypeRoundedRect);
    b->setFrame(CGRectMake(100, 100, 80, 30));
    b->addTarget(target, cc_selector(ActionRecorder::pressed), host::kControlEventTouchUpInside);
    b->addTarget(target, cc_selector(ActionRecorder::plain), host::kControlEventTouchDown);
    surface_->addSubview(b);

    clickCentreOf(b);
    ASSERT_EQ(target->buttons.size(), 1u);
    EXPECT_EQ(target->buttons[0], b);
    EXPECT_EQ(target->plainCalls, 1);

    // Highlighted while pressed and inside; let go outside, nothing.
    press(110, 110);
    EXPECT_TRUE(b->isHighlighted());
    drag(400, 300);
    EXPECT_FALSE(b->isHighlighted());
    release(400, 300);
    EXPECT_EQ(target->buttons.size(), 1u);
    // Dragged out and back in, it still counts.
    press(110, 110);
    drag(400, 300);
    drag(120, 112);
    release(120, 112);
    EXPECT_EQ(target->buttons.size(), 2u);
    EXPECT_FALSE(b->isHighlighted());
}

TEST_F(ControlsTest, ButtonStatesFallBackToTheNormalOne) {
    host::Button* b = host::Button::buttonWithType(host::kButtonTypeCustom);
    b->setTitle("Play", host::kControlStateNormal);
    b->setTitle("Playing", host::kControlStateHighlighted);
    EXPECT_EQ(b->currentTitle(), "Play");
    b->setHighlighted(true);
    EXPECT_EQ(b->currentTitle(), "Playing");
    b->setHighlighted(false);
    b->setEnabled(false);
    EXPECT_EQ(b->currentTitle(), "Play");
    EXPECT_EQ(b->imageForState(host::kControlStateDisabled), nullptr);
}

// Records what an action sheet tells its delegate.
class SheetLog : public host::ActionSheetDelegate {
public:
    void actionSheetClickedButtonAtIndex(host::ActionSheet*, int i) override { events += "c" + std::to_string(i); }
    void actionSheetWillDismissWithButtonIndex(host::ActionSheet*, int i) override { events += "w" + std::to_string(i); }
    void actionSheetDidDismissWithButtonIndex(host::ActionSheet*, int i) override { events += "d" + std::to_string(i); }
    std::string events;
};

host::Button* buttonWithTag(host::View* root, int tag) {
    for (auto& v : root->subviews()) {
        if (auto* b = dynamic_cast<host::Button*>(v.get()); b && b->tag() == tag) return b;
        if (host::Button* found = buttonWithTag(v.get(), tag)) return found;
    }
    return nullptr;
}

TEST_F(ControlsTest, AnActionSheetReportsTheIndexOfTheButtonClicked) {
    SheetLog log;
    host::ActionSheet* sheet = host::ActionSheet::actionSheetWithTitle(
        "Other Apps", &log, "Cancel", "", {"Zero", "One", "Two", "Three", "Four", "Five"});
    ASSERT_EQ(sheet->numberOfButtons(), 7);
    EXPECT_EQ(sheet->cancelButtonIndex(), 6);
    EXPECT_EQ(sheet->buttonTitleAtIndex(3), "Three");
    EXPECT_EQ(sheet->buttonTitleAtIndex(9), "");
    sheet->setTag(10);
    sheet->showInView(surface_);
    EXPECT_TRUE(sheet->isVisible());
    EXPECT_EQ(window_->presentationLayer()->viewWithTag(10), sheet);
    runFor(host::ActionSheet::kSlideDuration + 0.05);

    // Every button lies on screen, below the one before it.
    float lastY = -1;
    for (int i = 0; i < 7; ++i) {
        host::Button* b = buttonWithTag(sheet, i);
        ASSERT_NE(b, nullptr);
        const CGPoint c = centreOf(b);
        EXPECT_GT(c.y, lastY);
        EXPECT_LT(c.y, host::interfaceBounds().size.height);
        lastY = c.y;
    }
    clickCentreOf(buttonWithTag(sheet, 3));
    EXPECT_EQ(log.events, "c3w3");  // dismissed once the sheet has slid away
    runFor(host::ActionSheet::kSlideDuration + 0.05);
    EXPECT_EQ(log.events, "c3w3d3");
    EXPECT_FALSE(sheet->isVisible());
    EXPECT_TRUE(window_->presentationLayer()->subviews().empty());
}

TEST_F(ControlsTest, ADestructiveButtonComesFirstAndCancelLast) {
    host::ActionSheet* sheet = host::ActionSheet::actionSheetWithTitle("t", nullptr, "Cancel", "Delete", {"A", "B"});
    EXPECT_EQ(sheet->destructiveButtonIndex(), 0);
    EXPECT_EQ(sheet->buttonTitleAtIndex(1), "A");
    EXPECT_EQ(sheet->cancelButtonIndex(), 3);
    // With no window at all there is nowhere to show it: one log line.
    window_.reset();
    sheet->showInView(nullptr);
    EXPECT_FALSE(sheet->isVisible());
}

// Records what alerts tell their delegate, and on which thread.
class AlertLog : public host::AlertViewDelegate {
public:
    void alertViewClickedButtonAtIndex(host::AlertView* a, int i) override { note(a, "c", i); }
    void alertViewDidDismissWithButtonIndex(host::AlertView* a, int i) override { note(a, "d", i); }
    std::string events;
    bool allOnMainThread = true;

private:
    void note(host::AlertView* a, const char* what, int i) {
        allOnMainThread &= host::RunLoop::isMainThread();
        events += a->title() + what + std::to_string(i) + " ";
    }
};

TEST_F(ControlsTest, AlertsQueueAndEachReportsItsDismissal) {
    AlertLog log;
    host::AlertView* first = host::AlertView::alertWithTitle("A", "first", &log, "", {"Cancel", "Check It Out"});
    host::AlertView* second = host::AlertView::alertWithTitle("B", "second", &log, "", {"Cancel", "Check It Out"});
    EXPECT_EQ(first->cancelButtonIndex(), -1);
    EXPECT_EQ(first->buttonTitleAtIndex(0), "Cancel");
    first->show();
    second->show();
    EXPECT_EQ(window_->visibleAlert(), first);
    EXPECT_EQ(window_->queuedAlertCount(), 1u);
    EXPECT_FALSE(second->isVisible());
    runFor(host::AlertView::kShowDuration + 0.05);

    clickCentreOf(buttonWithTag(first, 1));
    runFor(host::AlertView::kDismissDuration + 0.05);
    EXPECT_EQ(log.events, "Ac1 Ad1 ");
    // The next one came up when the first was gone.
    EXPECT_EQ(window_->visibleAlert(), second);
    EXPECT_TRUE(second->isVisible());
    runFor(host::AlertView::kShowDuration + 0.05);
    clickCentreOf(buttonWithTag(second, 0));
    runFor(host::AlertView::kDismissDuration + 0.05);
    EXPECT_EQ(log.events, "Ac1 Ad1 Bc0 Bd0 ");
    EXPECT_EQ(window_->visibleAlert(), nullptr);
    EXPECT_TRUE(window_->alertLayer()->subviews().empty());
    EXPECT_TRUE(log.allOnMainThread);
}

TEST_F(ControlsTest, AQueuedAlertDismissedFromCodeLeavesTheQueue) {
    AlertLog log;
    host::AlertView* first = host::AlertView::alertWithTitle("A", "", &log, "OK", {});
    host::AlertView* second = host::AlertView::alertWithTitle("B", "", &log, "OK", {});
    first->show();
    second->show();
    second->dismissWithClickedButtonIndex(0, true);
    EXPECT_EQ(log.events, "Bd0 ");
    EXPECT_EQ(window_->queuedAlertCount(), 0u);
    first->dismissWithClickedButtonIndex(0, false);
    EXPECT_EQ(log.events, "Bd0 Ad0 ");
    EXPECT_EQ(window_->visibleAlert(), nullptr);
}

TEST_F(ControlsTest, AnAlertShownFromAnotherThreadComesUpOnTheMainOne) {
    AlertLog log;
    host::Ref<host::AlertView> alert = host::AlertView::alertWithTitle("T", "m", &log, "", {"Cancel", "Go"});
    std::thread([alert] { alert->show(); }).join();
    EXPECT_EQ(window_->visibleAlert(), nullptr);
    runFor(host::AlertView::kShowDuration + 0.05);
    EXPECT_EQ(window_->visibleAlert(), alert.get());
    clickCentreOf(buttonWithTag(alert, 0));
    runFor(host::AlertView::kDismissDuration + 0.05);
    EXPECT_EQ(log.events, "Tc0 Td0 ");
    EXPECT_TRUE(log.allOnMainThread);
}

// A view controller that records its appearance callbacks.
class AppearanceLog : public host::ViewController {
public:
    void viewDidLoad() override { events += "load "; }
    void viewWillAppear(bool) override { events += "will "; }
    void viewDidAppear(bool) override { events += "did "; }
    void viewDidDisappear(bool) override { events += "gone "; }
    std::string events;
};

TEST_F(ControlsTest, AModalControllerCoversTheWindowUntilDismissed) {
    host::Ref<host::ViewController> presenter = host::Ref<host::ViewController>::adopt(new host::ViewController);
    presenter->setView(surface_);
    host::Ref<AppearanceLog> modal = host::Ref<AppearanceLog>::adopt(new AppearanceLog);
    presenter->presentModalViewController(modal, true);
    EXPECT_EQ(modal->events, "load will ");
    EXPECT_EQ(presenter->modalViewController(), modal.get());
    EXPECT_EQ(modal->parentViewController(), presenter.get());
    runFor(0.35);
    EXPECT_EQ(modal->events, "load will did ");
    EXPECT_TRUE(rectNear(modal->view()->frame(), host::interfaceBounds()));
    // It takes every touch.
    click(5, 5);
    EXPECT_EQ(surface_->phases, "");
    EXPECT_EQ(modal->nextResponder(), window_->presentationLayer());

    // Dismissed from the presented side, it goes to the presenter.
    modal->dismissModalViewControllerAnimated(true);
    runFor(0.35);
    EXPECT_EQ(modal->events, "load will did gone ");
    EXPECT_EQ(presenter->modalViewController(), nullptr);
    EXPECT_EQ(modal->view()->superview(), nullptr);
    click(5, 5);
    EXPECT_EQ(surface_->phases, "be");
    presenter->setView(nullptr);
}

}  // namespace
