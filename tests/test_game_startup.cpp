// What the game adds at start-up: its --autoplay flag among the host's
// common ones, and the view controller that never lets the platform rotate
// the GL view (the director turns the drawing to landscape itself).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "GameOptions.h"
#include "RootViewController.h"
#include "host/core/Options.h"

namespace {

bool parse(std::vector<std::string> args, std::string* error) {
    host::Options options;
    host::CommandLine cl("tiltboard");
    cl.addCommon(options);
    GameOptions::addFlags(cl);
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    return cl.parse(static_cast<int>(argv.size()), argv.data(), error);
}

TEST(GameStartup, AutoplayIsAFlagOfTheGameBesideTheCommonOnes) {
    GameOptions::shared().autoplay = false;
    std::string error;
    ASSERT_TRUE(parse({"tiltboard", "--headless", "--autoplay", "--seed", "7"}, &error)) << error;
    EXPECT_TRUE(GameOptions::shared().autoplay);
    GameOptions::shared().autoplay = false;
    // It takes no value.
    EXPECT_FALSE(parse({"tiltboard", "--autoplay=yes"}, &error));
    EXPECT_FALSE(GameOptions::shared().autoplay);
}

TEST(GameStartup, TheRootViewControllerAllowsPortraitOnly) {
    RootViewController* controller = host::createOwned<RootViewController>(
        [](RootViewController* c) { return c->initWithNibName(nullptr, nullptr); });
    ASSERT_NE(controller, nullptr);
    EXPECT_TRUE(controller->shouldAutorotateToInterfaceOrientation(1));
    for (int orientation : {0, 2, 3, 4, 5, -1}) EXPECT_FALSE(controller->shouldAutorotateToInterfaceOrientation(orientation));
    controller->release();
}

}  // namespace
