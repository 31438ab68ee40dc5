// The main menu with its native controls: the sound switch and its caption
// (placement, first launch, a click, the stored choice across a restart),
// "Play Game" taking them away and sliding into the game, and the "Other
// Apps" sheet, whose rows open the shipped links and whose "Cancel" opens
// nothing. Every press is a real pointer event through the host.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "GameTestSupport.h"
#include "HelloWorldLayer.h"
#include "LogCapture.h"
#include "MainMenu.h"
#include "OtherAppsLinks.h"
#include "audio/SimpleAudioEngine.h"
#include "engine/CCLabelTTF.h"
#include "engine/CCMenu.h"
#include "host/ui/ActionSheet.h"
#include "host/ui/Button.h"
#include "host/ui/Label.h"
#include "host/ui/Switch.h"

namespace {

class MainMenuTest : public GameFixture {
protected:
    void SetUp() override {
        GameFixture::SetUp();
        openedLog_ = data_.file("opened.txt");
        setenv("TILTBOARD_OPEN_URL_LOG", openedLog_.c_str(), 1);
    }
    void TearDown() override {
        unsetenv("TILTBOARD_OPEN_URL_LOG");
        GameFixture::TearDown();
    }
    MainMenu* enterMenu() {
        MainMenu* menu = MainMenu::node();
        director_->runWithScene(menu);
        frame();
        return menu;
    }
    host::View* gl() const { return director_->openGLView(); }
    // A click at a point of the interface (points, y down).
    void click(CGPoint p) {
        host::Application* app = host::Application::sharedApplication();
        app->deliverPointer(-1, host::TouchPhase::Began, p.x, p.y, touchTime_ += 0.05);
        app->deliverPointer(-1, host::TouchPhase::Ended, p.x, p.y, touchTime_ += 0.05);
    }
    static CGPoint overlayCentre(host::View* v) {
        const CGRect b = v->bounds();
        return v->convertPointTo(CGPointMake(b.origin.x + b.size.width / 2, b.origin.y + b.size.height / 2), nullptr);
    }
    // The button titled `title` anywhere under `root`.
    static host::Button* buttonTitled(host::View* root, const std::string& title) {
        if (auto* b = dynamic_cast<host::Button*>(root))
            if (b->currentTitle() == title) return b;
        for (const auto& sub : root->subviews())
            if (host::Button* b = buttonTitled(sub.get(), title)) return b;
        return nullptr;
    }
    std::vector<std::string> opened() const {
        std::ifstream in(openedLog_);
        std::vector<std::string> lines;
        for (std::string line; std::getline(in, line);) lines.push_back(line);
        return lines;
    }
    std::string openedLog_;
};

TEST_F(MainMenuTest, ShowsItsTwoGreenItemsAboveEachOther) {
    MainMenu* menu = enterMenu();
    auto* play = static_cast<CCLabelTTF*>(menu->playGameItem()->label());
    auto* other = static_cast<CCLabelTTF*>(menu->otherAppsItem()->label());
    EXPECT_EQ(play->string(), "Play Game");
    EXPECT_EQ(other->string(), "Other Apps");
    EXPECT_EQ(play->fontSize(), 48);
    EXPECT_EQ(other->fontSize(), 38);
    EXPECT_EQ(menu->playGameItem()->position().y, 60);
    EXPECT_EQ(menu->otherAppsItem()->position().y, 0);
    EXPECT_EQ(menu->playGameItem()->color().g, 255);
    EXPECT_EQ(menu->playGameItem()->color().r, 0);
}

TEST_F(MainMenuTest, FirstLaunchIsMutedWithTheSwitchOffRightOfAndBelowTheCentre) {
    MainMenu* menu = enterMenu();
    auto* soundSwitch = dynamic_cast<host::Switch*>(gl()->viewWithTag(MainMenu::kSoundSwitchTag));
    auto* caption = dynamic_cast<host::Label*>(gl()->viewWithTag(MainMenu::kSoundCaptionTag));
    ASSERT_NE(soundSwitch, nullptr);
    ASSERT_NE(caption, nullptr);
    EXPECT_EQ(soundSwitch, menu->soundSwitch());
    EXPECT_FALSE(soundSwitch->isOn());
    EXPECT_TRUE(SimpleAudioEngine::sharedEngine()->mute());
    const float sw = soundSwitch->frame().size.width;
    EXPECT_FLOAT_EQ(soundSwitch->center().x, 240 + sw * 0.25f);
    EXPECT_FLOAT_EQ(soundSwitch->center().y, 160 + sw * 0.5f);
    EXPECT_EQ(caption->text(), "Sound:");
    EXPECT_FLOAT_EQ(caption->center().x, soundSwitch->center().x - sw * 0.5f - 20);
    EXPECT_FLOAT_EQ(caption->center().y, soundSwitch->center().y);
    EXPECT_EQ(caption->frame().size.width, 80);
    EXPECT_EQ(caption->frame().size.height, 20);
    EXPECT_EQ(caption->backgroundColor().a, 0);
    EXPECT_EQ(caption->textColor().g, 1);
}

TEST_F(MainMenuTest, ClickingTheSwitchStoresTheChoiceAndItSurvivesARestart) {
    enterMenu();
    auto* soundSwitch = dynamic_cast<host::Switch*>(gl()->viewWithTag(MainMenu::kSoundSwitchTag));
    ASSERT_NE(soundSwitch, nullptr);
    click(overlayCentre(soundSwitch));
    EXPECT_TRUE(soundSwitch->isOn());
    EXPECT_FALSE(SimpleAudioEngine::sharedEngine()->mute());
    EXPECT_TRUE(host::UserDefaults::standardUserDefaults().boolForKey("mute"));

    // A new run of the program reads the choice back from the file the
    // switch wrote at once.
    detachGLView();
    director_->end();
    pool_.drain();
    SimpleAudioEngine::end();
    host::UserDefaults::resetForTesting();
    host::UserDefaults::setDataDirectory(data_.path());
    attachGLView();
    MainMenu* again = enterMenu();
    ASSERT_NE(again->soundSwitch(), nullptr);
    EXPECT_TRUE(again->soundSwitch()->isOn());
    EXPECT_FALSE(SimpleAudioEngine::sharedEngine()->mute());

    // And off again mutes at once.
    click(overlayCentre(again->soundSwitch()));
    EXPECT_FALSE(again->soundSwitch()->isOn());
    EXPECT_TRUE(SimpleAudioEngine::sharedEngine()->mute());
    EXPECT_FALSE(host::UserDefaults::standardUserDefaults().boolForKey("mute"));
}

TEST_F(MainMenuTest, PlayGameTakesTheControlsAwayThenSlidesIntoTheGame) {
    MainMenu* menu = enterMenu();
    tap(centreOf(menu->playGameItem()));
    // Gone before the transition has even started.
    EXPECT_EQ(gl()->viewWithTag(MainMenu::kSoundSwitchTag), nullptr);
    EXPECT_EQ(gl()->viewWithTag(MainMenu::kSoundCaptionTag), nullptr);
    EXPECT_EQ(director_->runningScene(), menu);
    frame();
    EXPECT_TRUE(director_->runningScene()->isTransitionScene());
    ASSERT_GT(framesUntil([&] { return dynamic_cast<HelloWorldLayer*>(director_->runningScene()) != nullptr; }, 30),
              0);
}

TEST_F(MainMenuTest, ComingBackFromTheGameBringsTheControlsBack) {
    MainMenu* menu = enterMenu();
    tap(centreOf(menu->playGameItem()));
    ASSERT_GT(framesUntil([&] { return dynamic_cast<HelloWorldLayer*>(director_->runningScene()) != nullptr; }, 30),
              0);
    static_cast<HelloWorldLayer*>(director_->runningScene())->goBackToMain();
    ASSERT_GT(framesUntil([&] { return dynamic_cast<MainMenu*>(director_->runningScene()) != nullptr; }, 30), 0);
    EXPECT_NE(gl()->viewWithTag(MainMenu::kSoundSwitchTag), nullptr);
    EXPECT_NE(gl()->viewWithTag(MainMenu::kSoundCaptionTag), nullptr);
}

TEST_F(MainMenuTest, OtherAppsListsSixAppsAndCancelOpensNothing) {
    MainMenu* menu = enterMenu();
    tap(centreOf(menu->otherAppsItem()));
    host::ActionSheet* sheet = menu->otherAppsSheet();
    ASSERT_NE(sheet, nullptr);
    EXPECT_TRUE(sheet->isVisible());
    EXPECT_EQ(sheet->title(), "Other Apps");
    EXPECT_EQ(sheet->tag(), MainMenu::kOtherAppsSheetTag);
    ASSERT_EQ(sheet->numberOfButtons(), 7);
    for (int i = 0; i < 6; ++i) EXPECT_EQ(sheet->buttonTitleAtIndex(i), OtherAppsLinks::titles()[size_t(i)]);
    EXPECT_EQ(sheet->buttonTitleAtIndex(6), "Cancel");
    EXPECT_EQ(sheet->cancelButtonIndex(), 6);
    EXPECT_EQ(OtherAppsLinks::titles().front(), "Tidy Lists (SALE!)!");
    EXPECT_EQ(OtherAppsLinks::titles().back(), "All Apps");

    // While it is up the game's menu takes no touches.
    tap(centreOf(menu->playGameItem()));
    frames(3);
    EXPECT_EQ(director_->runningScene(), menu);

    host::Button* cancel = buttonTitled(sheet, "Cancel");
    ASSERT_NE(cancel, nullptr);
    click(overlayCentre(cancel));
    frames(30);
    EXPECT_TRUE(opened().empty());
    // Any other index outside the rows opens nothing either.
    menu->actionSheetClickedButtonAtIndex(sheet, -1);
    menu->actionSheetClickedButtonAtIndex(sheet, 7);
    EXPECT_TRUE(opened().empty());
}

TEST_F(MainMenuTest, ARowOpensItsShippedLink) {
    MainMenu* menu = enterMenu();
    tap(centreOf(menu->otherAppsItem()));
    host::ActionSheet* sheet = menu->otherAppsSheet();
    ASSERT_NE(sheet, nullptr);
    host::Button* row = buttonTitled(sheet, "Puck Duel LITE");
    ASSERT_NE(row, nullptr);
    click(overlayCentre(row));
    const std::vector<std::string> links = opened();
    ASSERT_EQ(links.size(), 1u);
    EXPECT_EQ(links[0], OtherAppsLinks::loadFile(gameResourcesDir() + "/OtherApps.plist").linkForRow(3));
    EXPECT_EQ(links[0].rfind("https://", 0), 0u);
}

TEST_F(MainMenuTest, EveryRowOfTheShippedListHasALink) {
    const OtherAppsLinks links = OtherAppsLinks::loadFile(gameResourcesDir() + "/OtherApps.plist");
    for (int i = 0; i < 6; ++i) EXPECT_EQ(links.linkForRow(i).rfind("https://", 0), 0u) << i;
    EXPECT_EQ(links.linkForRow(6), "");
    EXPECT_EQ(links.linkForRow(-1), "");
}

TEST_F(MainMenuTest, ABrokenLinkListIsLoggedAndItsRowsOpenNothing) {
    const std::string broken = data_.write("broken.plist", "<plist><dict><key>All Apps</key>");
    const std::string wrongType = data_.write("array.plist",
                                              "<?xml version=\"1.0\"?><plist version=\"1.0\"><array>"
                                              "<string>https://example.com/</string></array></plist>");
    const std::string badEntry = data_.write("entry.plist",
                                             "<?xml version=\"1.0\"?><plist version=\"1.0\"><dict>"
                                             "<key>All Apps</key><integer>5</integer>"
                                             "<key>Puck Duel PAID</key><string>https://example.com/p</string>"
                                             "</dict></plist>");
    LogCapture log;
    for (const std::string& path : {broken, wrongType, data_.file("missing.plist")}) {
        const OtherAppsLinks links = OtherAppsLinks::loadFile(path);
        for (int i = 0; i < 6; ++i) EXPECT_EQ(links.linkForRow(i), "") << path;
    }
    const OtherAppsLinks partial = OtherAppsLinks::loadFile(badEntry);
    EXPECT_EQ(partial.linkForRow(5), "");
    EXPECT_EQ(partial.linkForRow(4), "https://example.com/p");
    const std::vector<std::string> lines = log.lines();
    ASSERT_EQ(lines.size(), 4u);
    for (const std::string& line : lines) EXPECT_EQ(line.rfind("other apps: ", 0), 0u) << line;
}

}  // namespace
