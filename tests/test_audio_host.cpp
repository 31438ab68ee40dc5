// The host services under the sound engine: the notification centre, the
// audio session and the long-audio player.
#include <gtest/gtest.h>

#include <thread>

#include "AudioTestSupport.h"
#include "host/core/NotificationCenter.h"
#include "host/core/RunLoop.h"
#include "host/sound/AudioPlayer.h"
#include "host/sound/AudioSession.h"

namespace {

struct Observer : host::Object {
    std::vector<std::string> seen;
    host::Object* lastSender = nullptr;
    Observer* removeOnCall = nullptr;
    void note(host::Notification* n) {
        seen.push_back(n->name());
        lastSender = n->object();
        if (removeOnCall) host::NotificationCenter::defaultCenter().removeObserver(removeOnCall);
    }
    void plain() { seen.push_back("plain"); }
};

using ObserverRef = host::Ref<Observer>;
ObserverRef makeObserver() { return ObserverRef::adopt(new Observer); }

TEST(NotificationCenter, DeliversByNameAndSenderInRegistrationOrder) {
    host::NotificationCenter& c = host::NotificationCenter::defaultCenter();
    ObserverRef a = makeObserver(), b = makeObserver(), all = makeObserver(), sender = makeObserver();
    c.addObserver(a.get(), cc_selector(Observer::note), "one");
    c.addObserver(b.get(), cc_selector(Observer::note), "one", sender.get());
    c.addObserver(all.get(), cc_selector(Observer::note), "");
    c.addObserver(a.get(), cc_selector(Observer::plain), "two");

    c.postNotificationName("one");
    c.postNotificationName("one", sender.get());
    c.postNotificationName("two");
    EXPECT_EQ(a->seen, (std::vector<std::string>{"one", "one", "plain"}));
    EXPECT_EQ(b->seen, (std::vector<std::string>{"one"}));
    EXPECT_EQ(b->lastSender, sender.get());
    EXPECT_EQ(all->seen, (std::vector<std::string>{"one", "one", "two"}));

    c.removeObserver(a.get(), "one");
    c.postNotificationName("one");
    c.postNotificationName("two");
    EXPECT_EQ(a->seen.size(), 4u);
    EXPECT_EQ(a->seen.back(), "plain");
    for (auto* o : {a.get(), b.get(), all.get()}) c.removeObserver(o);
    EXPECT_EQ(c.observationCount(a.get()), 0u);
    c.postNotificationName("one");
    EXPECT_EQ(all->seen.size(), 5u);   // the three above and the two after a's removal
}

TEST(NotificationCenter, AnObserverRemovedDuringAPostIsNotCalled) {
    host::NotificationCenter& c = host::NotificationCenter::defaultCenter();
    ObserverRef first = makeObserver(), second = makeObserver();
    first->removeOnCall = second.get();
    c.addObserver(first.get(), cc_selector(Observer::note), "n");
    c.addObserver(second.get(), cc_selector(Observer::note), "n");
    c.postNotificationName("n");
    EXPECT_EQ(first->seen.size(), 1u);
    EXPECT_TRUE(second->seen.empty());
    c.removeObserver(first.get());
}

TEST(NotificationCenter, PostsFromAnotherThreadAreDeliveredOnThatThread) {
    host::NotificationCenter& c = host::NotificationCenter::defaultCenter();
    ObserverRef o = makeObserver();
    c.addObserver(o.get(), cc_selector(Observer::note), "bg");
    std::thread::id deliveredOn;
    struct Probe : host::Object {
        std::thread::id* where;
        void hit() { *where = std::this_thread::get_id(); }
    };
    host::Ref<Probe> probe = host::Ref<Probe>::adopt(new Probe);
    probe->where = &deliveredOn;
    c.addObserver(probe.get(), cc_selector(Probe::hit), "bg");
    std::thread t([&] { c.postNotificationName("bg"); });
    std::thread::id poster = t.get_id();
    t.join();
    EXPECT_EQ(o->seen.size(), 1u);
    EXPECT_EQ(deliveredOn, poster);
    c.removeObserver(o.get());
    c.removeObserver(probe.get());
}

struct SessionDelegate : host::AudioSessionDelegate {
    int begins = 0, plainEnds = 0;
    void beginInterruption() override { ++begins; }
    void endInterruption() override { ++plainEnds; }
};

TEST(AudioSession, SucceedsAtEverythingAndForwardsInterruptions) {
    host::AudioSession& s = host::AudioSession::sharedInstance();
    s.reset();
    std::string error = "stale";
    EXPECT_TRUE(s.setCategory(host::kAudioSessionCategoryPlayback, &error));
    EXPECT_TRUE(error.empty());
    EXPECT_EQ(s.category(), host::kAudioSessionCategoryPlayback);
    EXPECT_TRUE(s.setActive(true, &error));
    EXPECT_TRUE(s.isActive());
    EXPECT_FALSE(s.otherAudioIsPlaying());
    EXPECT_FALSE(s.audioRoute().empty());

    s.failNextActivations(1);
    EXPECT_FALSE(s.setActive(true, &error));
    EXPECT_FALSE(error.empty());
    EXPECT_TRUE(s.setActive(true, &error));

    SessionDelegate d;
    s.setDelegate(&d);
    s.beginInterruption();
    s.endInterruption(0);   // the default flag handler calls the plain one
    EXPECT_EQ(d.begins, 1);
    EXPECT_EQ(d.plainEnds, 1);
    s.setDelegate(nullptr);
    s.beginInterruption();
    EXPECT_EQ(d.begins, 1);
    s.reset();
}

// ---- The long-audio player ----------------------------------------------------------

struct PlayerWatcher : host::AudioPlayerDelegate {
    int finished = 0, begins = 0, ends = 0;
    void audioPlayerDidFinishPlaying(host::AudioPlayer*, bool ok) override { finished += ok ? 1 : 0; }
    void audioPlayerBeginInterruption(host::AudioPlayer*) override { ++begins; }
    void audioPlayerEndInterruption(host::AudioPlayer*) override { ++ends; }
};

class AudioPlayerTest : public ::testing::Test {
protected:
    void SetUp() override { host::RunLoop::main().reset(); }
    void TearDown() override { host::RunLoop::main().reset(); }

    host::Ref<host::AudioPlayer> open(const std::string& path) {
        std::string error;
        host::AudioPlayer* p = host::createOwned<host::AudioPlayer>(
            [&](host::AudioPlayer* a) { return a->initWithContentsOfFile(path, &error); });
        EXPECT_TRUE(p) << error;
        return host::Ref<host::AudioPlayer>::adopt(p);
    }
};

TEST_F(AudioPlayerTest, RefusesWhatIsNotAudioAndSaysWhy) {
    std::string junk = audiotest::scratchPath("junk.mp3");
    audiotest::writeFile(junk, std::vector<uint8_t>(300, 0x5A));
    std::string error;
    host::AudioPlayer* p = host::createOwned<host::AudioPlayer>(
        [&](host::AudioPlayer* a) { return a->initWithContentsOfFile(junk, &error); });
    EXPECT_EQ(p, nullptr);
    EXPECT_FALSE(error.empty());
}

TEST_F(AudioPlayerTest, PlaysPausesSeeksAndKnowsItsDuration) {
    host::Ref<host::AudioPlayer> p = open(audiotest::writeToneFile("seek.wav", 1.5, 440, 0.3, 22050, 2));
    EXPECT_NEAR(p->duration(), 1.5, 1e-6);
    EXPECT_EQ(p->currentTime(), 0.0);
    EXPECT_FALSE(p->isPlaying());
    ASSERT_TRUE(p->play());
    EXPECT_TRUE(p->isPlaying());
    ASSERT_TRUE(audiotest::pumpUntil([&] { return p->currentTime() > 0.2; }, 3));
    p->pause();
    EXPECT_FALSE(p->isPlaying());
    const double pausedAt = p->currentTime();
    audiotest::pump(0.1);
    EXPECT_NEAR(p->currentTime(), pausedAt, 0.03);
    p->setCurrentTime(1.0);
    EXPECT_DOUBLE_EQ(p->currentTime(), 1.0);
    p->setCurrentTime(9.0);                      // clamped to the end
    EXPECT_DOUBLE_EQ(p->currentTime(), 1.5);
    p->setCurrentTime(0);
    EXPECT_EQ(p->currentTime(), 0.0);
    p->setVolume(0.5f);
    EXPECT_FLOAT_EQ(p->volume(), 0.5f);
    p->setNumberOfLoops(-5);
    EXPECT_EQ(p->numberOfLoops(), -1);
}

TEST_F(AudioPlayerTest, PlaysItsLoopsThenStopsAndSaysSoOnTheMainThread) {
    PlayerWatcher w;
    host::Ref<host::AudioPlayer> p = open(audiotest::writeToneFile("twice.wav", 0.2, 440, 0.5));
    p->setDelegate(&w);
    p->setNumberOfLoops(1);
    ASSERT_TRUE(p->play());
    EXPECT_TRUE(audiotest::pumpUntil([&] { return w.finished > 0; }, 3));
    EXPECT_FALSE(p->isPlaying());
    EXPECT_EQ(p->currentTime(), 0.0);
    audiotest::pump(0.2);
    EXPECT_EQ(w.finished, 1);
    p = nullptr;

    // Two plays of 0.2 s back to back, then silence.
    audiotest::Capture c = audiotest::readCapture();
    ASSERT_TRUE(c.ok());
    double start = c.onset();
    ASSERT_GE(start, 0);
    EXPECT_GT(c.peak(0, start + 0.25, start + 0.35), 0.2);
    EXPECT_LT(c.peak(0, start + 0.45, c.seconds()), 0.01);
}

TEST_F(AudioPlayerTest, AStopDoesNotCountAsFinishingAndAGonePlayerIsNotCalled) {
    PlayerWatcher w;
    host::Ref<host::AudioPlayer> p = open(audiotest::writeToneFile("short.wav", 0.1, 440, 0.5));
    p->setDelegate(&w);
    ASSERT_TRUE(p->play());
    p->stop();
    audiotest::pump(0.3);
    EXPECT_EQ(w.finished, 0);

    // Let it finish without running the main loop, then let it go: the
    // queued message must find no player.
    ASSERT_TRUE(p->play());
    auto until = std::chrono::steady_clock::now() + std::chrono::seconds(3);
    while (p->isPlaying() && std::chrono::steady_clock::now() < until) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_FALSE(p->isPlaying());
    p = nullptr;
    audiotest::pump(0.1);
    EXPECT_EQ(w.finished, 0);
}

TEST_F(AudioPlayerTest, AnInterruptionPausesThePlayerAndTellsItsDelegate) {
    PlayerWatcher w;
    host::Ref<host::AudioPlayer> p = open(audiotest::writeToneFile("call.wav", 1.0, 440, 0.5));
    p->setDelegate(&w);
    ASSERT_TRUE(p->play());
    host::AudioSession::sharedInstance().beginInterruption();
    EXPECT_FALSE(p->isPlaying());
    EXPECT_EQ(w.begins, 1);
    host::AudioSession::sharedInstance().endInterruption(host::kAudioSessionInterruptionShouldResume);
    EXPECT_EQ(w.ends, 1);
    EXPECT_FALSE(p->isPlaying());   // the delegate decides
}

TEST_F(AudioPlayerTest, VolumeScalesWhatIsHeard) {
    auto peakAt = [&](float volume) {
        host::Ref<host::AudioPlayer> p = open(audiotest::writeToneFile("vol.wav", 0.3, 440, 0.5));
        p->setVolume(volume);
        p->play();
        audiotest::pump(0.45);
        p = nullptr;
        return audiotest::readCapture().peak(0);
    };
    double full = peakAt(1.0f);
    double quarter = peakAt(0.25f);
    ASSERT_GT(full, 0.2);
    EXPECT_NEAR(quarter / full, 0.25, 0.03);
}

}  // namespace
