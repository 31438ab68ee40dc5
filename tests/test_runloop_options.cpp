#include <gtest/gtest.h>

#include <thread>

#include "host/core/Clock.h"
#include "host/core/Options.h"
#include "host/core/RunLoop.h"

namespace {

TEST(CommandLine, ParsesCommonFlagsAndRejectsBadOnes) {
    host::Options o;
    host::CommandLine cl("tiltboard");
    cl.addCommon(o);
    const char* good[] = {"tiltboard", "--headless", "--frames", "120", "--fixed-dt", "--seed=7",
                          "--screenshot", "shots/x.png", "--tablet"};
    std::string err;
    ASSERT_TRUE(cl.parse(9, const_cast<char**>(good), &err)) << err;
    EXPECT_TRUE(o.headless);
    EXPECT_EQ(o.frames, 120);
    EXPECT_TRUE(o.fixedDt && o.hasSeed && o.tablet);
    EXPECT_EQ(o.seed, 7u);
    EXPECT_EQ(o.screenshot, "shots/x.png");

    const char* unknown[] = {"tiltboard", "--bogus"};
    EXPECT_FALSE(cl.parse(2, const_cast<char**>(unknown), &err));
    const char* badNumber[] = {"tiltboard", "--frames", "12x"};
    EXPECT_FALSE(cl.parse(3, const_cast<char**>(badNumber), &err));
    const char* missing[] = {"tiltboard", "--frames"};
    EXPECT_FALSE(cl.parse(2, const_cast<char**>(missing), &err));
    const char* negative[] = {"tiltboard", "--frames", "-3"};
    EXPECT_FALSE(cl.parse(3, const_cast<char**>(negative), &err));
}

TEST(CommandLine, HelpListsEveryFlagAndStopsTheParse) {
    host::Options o;
    host::CommandLine cl("tiltboard");
    cl.addCommon(o);
    std::string server;
    cl.addURL("--feed-server", &server, "the promotion feed server");
    const char* args[] = {"tiltboard", "--frames", "5", "--help", "--bogus"};
    std::string err;
    ASSERT_TRUE(cl.parse(5, const_cast<char**>(args), &err)) << err;
    EXPECT_TRUE(cl.helpRequested());
    const std::string help = cl.help();
    for (const char* flag : {"--headless", "--frames V", "--data-dir V", "--feed-server V", "--help"})
        EXPECT_NE(help.find(flag), std::string::npos) << flag;
    EXPECT_NE(help.find("the promotion feed server"), std::string::npos);
}

class RunLoopTest : public ::testing::Test {
protected:
    void SetUp() override {
        host::RunLoop::main().reset();
        host::Clock::setFixedStep(true);
    }
    void TearDown() override {
        host::RunLoop::main().reset();
        host::Clock::setFixedStep(false);
    }
};

TEST_F(RunLoopTest, DisplayLinkFiresAtItsFrameInterval) {
    host::AutoreleasePool pool;
    int fired = 0;
    host::DisplayLink* link = host::DisplayLink::displayLinkWithTarget(nullptr, [&](host::DisplayLink*) { ++fired; });
    link->setFrameInterval(15);
    link->addToMainRunLoop();
    double start = host::Clock::now();
    while (fired < 2) host::RunLoop::main().runOnce(1);
    EXPECT_NEAR(host::Clock::now() - start, 0.5, 1e-9);
    link->invalidate();
}

TEST_F(RunLoopTest, DelayedPerformsCanBeCancelledByTarget) {
    host::AutoreleasePool pool;
    struct Target : host::Object {};
    host::Ref<Target> a = host::Ref<Target>::adopt(new Target);
    host::Ref<Target> b = host::Ref<Target>::adopt(new Target);
    int ranA = 0, ranB = 0;
    host::RunLoop::main().performAfterDelay(a, 0.1, [&] { ++ranA; });
    host::RunLoop::main().performAfterDelay(b, 0.1, [&] { ++ranB; });
    host::RunLoop::main().cancelPreviousPerformRequests(a);
    for (int i = 0; i < 5; ++i) host::RunLoop::main().runOnce(1);
    EXPECT_EQ(ranA, 0);
    EXPECT_EQ(ranB, 1);
}

TEST_F(RunLoopTest, WorkFromAnotherThreadRunsOnTheMainThread) {
    host::Clock::setFixedStep(false);  // real waiting for the worker
    bool onMain = false;
    std::thread worker([&] {
        host::RunLoop::main().performOnMainThread([&] { onMain = host::RunLoop::isMainThread(); }, true);
    });
    // The worker waits until the main thread has run its work.
    for (int i = 0; i < 100 && !onMain; ++i) host::RunLoop::main().runOnce(0.05);
    worker.join();
    EXPECT_TRUE(onMain);
}

}  // namespace
