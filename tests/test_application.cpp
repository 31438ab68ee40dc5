// The application object without a window: its name and what the host
// derives from it, the orientation turns shared by touches and
// presentation, the order of termination, and the signals that ask for it.
#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <string>
#include <vector>

#include "host/core/Application.h"
#include "host/core/ApplicationContext.h"
#include "host/core/InterfaceOrientation.h"
#include "host/core/TerminationSignals.h"

using host::ApplicationContext;
using host::InterfaceOrientation;

TEST(ApplicationContextTest, TheNameGivesTheDataFolderAndTheEnvironmentSettings) {
    const ApplicationContext game("My Game 2!");
    EXPECT_EQ(game.dataFolderName(), "my-game-2");
    EXPECT_EQ(game.environmentVariable("OPEN_URL_LOG"), "MY_GAME_2_OPEN_URL_LOG");

    const char* saved = std::getenv("XDG_CONFIG_HOME");
    const std::string restore = saved ? saved : "";
    setenv("XDG_CONFIG_HOME", "/config", 1);
    EXPECT_EQ(game.defaultDataDirectory(), "/config/my-game-2");
    EXPECT_EQ(ApplicationContext("Named", "own-folder").defaultDataDirectory(), "/config/own-folder");
    // Without a name there is no folder to guess.
    EXPECT_EQ(ApplicationContext().defaultDataDirectory(), "");
    if (saved)
        setenv("XDG_CONFIG_HOME", restore.c_str(), 1);
    else
        unsetenv("XDG_CONFIG_HOME");
}

TEST(InterfaceOrientationTest, EachTurnMapsTheCornersAndComesBackExactly) {
    const CGSize surface = CGSizeMake(320, 480);
    struct Case {
        InterfaceOrientation o;
        CGPoint topLeftOnSurface;  // where the interface's top left corner lands
    };
    const Case cases[] = {{InterfaceOrientation::Portrait, {0, 0}},
                          {InterfaceOrientation::PortraitUpsideDown, {320, 480}},
                          {InterfaceOrientation::LandscapeRight, {320, 0}},
                          {InterfaceOrientation::LandscapeLeft, {0, 480}}};
    for (const Case& c : cases) {
        const CGPoint corner = CGPointApplyAffineTransform(CGPointZero, interfaceToSurface(c.o, surface));
        EXPECT_EQ(corner.x, c.topLeftOnSurface.x) << int(c.o);
        EXPECT_EQ(corner.y, c.topLeftOnSurface.y) << int(c.o);
        const CGPoint p = CGPointMake(12.25f, 301.5f);
        const CGPoint there = CGPointApplyAffineTransform(p, interfaceToSurface(c.o, surface));
        const CGPoint back = CGPointApplyAffineTransform(there, surfaceToInterface(c.o, surface));
        EXPECT_EQ(back.x, p.x) << int(c.o);
        EXPECT_EQ(back.y, p.y) << int(c.o);
    }
    // Landscape with the home button on the right: the interface's x runs
    // down the surface, its y leftwards from the right edge.
    const CGAffineTransform right = interfaceToSurface(InterfaceOrientation::LandscapeRight, surface);
    const CGPoint p = CGPointApplyAffineTransform(CGPointMake(100, 20), right);
    EXPECT_EQ(p.x, 300);
    EXPECT_EQ(p.y, 100);
    EXPECT_FALSE(host::interfaceOrientationFromValue(0));
    EXPECT_FALSE(host::interfaceOrientationFromValue(5));
    EXPECT_EQ(host::interfaceOrientationFromValue(3), InterfaceOrientation::LandscapeRight);
}

namespace {

class RecordingDelegate : public host::Object, public host::ApplicationDelegate {
public:
    explicit RecordingDelegate(std::vector<std::string>* events) : events_(events) {}
    void applicationDidFinishLaunching(host::Application*) override { events_->push_back("launched"); }
    void applicationWillTerminate(host::Application*) override { events_->push_back("delegate terminates"); }

protected:
    ~RecordingDelegate() override { events_->push_back("delegate released"); }

private:
    std::vector<std::string>* events_;
};

}  // namespace

TEST(ApplicationTest, HandlersRunBeforeTheDelegateHearsAndPointersNeedAHandler) {
    std::vector<std::string> events;
    host::Application* app = host::Application::sharedApplication();
    // No UI toolkit has installed its pointer handler in this binary.
    app->deliverPointer(-1, host::TouchPhase::Began, 10, 10, 0);

    app->addTerminationHandler([&events] { events.push_back("termination handler"); });
    app->addShutdownHandler([&events] { events.push_back("shutdown handler"); });
    app->launch(new RecordingDelegate(&events));
    app->terminate();
    app->terminate();  // once only
    app->shutDown();
    EXPECT_EQ(events, (std::vector<std::string>{"launched", "termination handler", "delegate terminates",
                                                 "shutdown handler", "delegate released"}));
    EXPECT_EQ(app->delegate(), nullptr);
}

TEST(TerminationSignalsTest, ASignalIsNotedForTheRunLoopAndOnlyASecondCtrlCEndsAtOnce) {
    host::TerminationSignals::install();
    EXPECT_EQ(host::TerminationSignals::takePending(), 0);
    for (int sig : {SIGHUP, SIGTERM, SIGINT}) {
        ::raise(sig);  // the process lives on: the signal is only noted
        EXPECT_EQ(host::TerminationSignals::takePending(), sig) << host::TerminationSignals::name(sig);
        EXPECT_EQ(host::TerminationSignals::takePending(), 0);
        // While the ending is under way, a closing terminal's second
        // hang-up and a repeated stop request change nothing.
        ::raise(SIGHUP);
        ::raise(SIGTERM);
        EXPECT_EQ(host::TerminationSignals::takePending(), 0);
        host::TerminationSignals::install();
    }
    // A reader of our output that went away does not kill us either.
    ::raise(SIGPIPE);
    EXPECT_EXIT(
        {
            ::raise(SIGINT);
            host::TerminationSignals::takePending();
            ::raise(SIGINT);
            std::exit(0);
        },
        ::testing::KilledBySignal(SIGINT), "");
    host::TerminationSignals::restoreDefaults();
}
