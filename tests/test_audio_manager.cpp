// The audio manager and its long-audio channels: modes, background music,
// mute and enable propagation, interruptions and the resign behaviour.
#include <gtest/gtest.h>

#include <AL/al.h>
#include <AL/alc.h>

#include <thread>

#include "AudioTestSupport.h"
#include "LogCapture.h"
#include "audio/CDAudioManager.h"
#include "host/core/BackgroundTask.h"
#include "host/core/RunLoop.h"

namespace {

struct Listener : host::Object {
    int calls = 0;
    bool onMainThread = false;
    void finished() {
        ++calls;
        onMainThread = host::RunLoop::isMainThread();
    }
};

class AudioManagerTest : public ::testing::Test {
protected:
    void SetUp() override {
        host::RunLoop::main().reset();
        host::AudioSession::sharedInstance().reset();
        CDAudioManager::end();
        loop = audiotest::writeToneFile("loop.wav", 0.25, 330, 0.5);
        once = audiotest::writeToneFile("once.wav", 0.2, 550, 0.5);
    }
    void TearDown() override {
        CDAudioManager::end();
        host::AudioSession::sharedInstance().reset();
        host::RunLoop::main().reset();
    }

    CDAudioManager* manager() { return CDAudioManager::sharedManager(); }
    ALfloat listenerGain() const {
        ALfloat g = -1;
        alGetListenerf(AL_GAIN, &g);
        return g;
    }

    host::AutoreleasePool pool;
    std::string loop, once;
};

struct InitWatcher : host::Object {
    int seen = 0;
    void initialised() { ++seen; }
};

TEST_F(AudioManagerTest, TheSharedManagerStartsInMode2AndAnnouncesItselfOnce) {
    host::Ref<InitWatcher> w = host::Ref<InitWatcher>::adopt(new InitWatcher);
    host::NotificationCenter::defaultCenter().addObserver(w.get(), cc_selector(InitWatcher::initialised),
                                                          kCDN_AudioManagerInitialised);
    EXPECT_EQ(CDAudioManager::sharedManagerState(), kCDManagerNotInitialised);
    CDAudioManager* m = manager();
    EXPECT_EQ(manager(), m);
    host::NotificationCenter::defaultCenter().removeObserver(w.get());
    EXPECT_EQ(w->seen, 1);
    EXPECT_EQ(CDAudioManager::sharedManagerState(), kCDManagerInitialised);
    EXPECT_EQ(m->mode(), kCDAudioModeMusicIfNoOtherAudio);
    EXPECT_TRUE(m->willPlayBackgroundMusic());
    EXPECT_EQ(host::AudioSession::sharedInstance().category(), host::kAudioSessionCategorySoloAmbient);
    EXPECT_FALSE(m->audioSessionActive());
    EXPECT_TRUE(m->soundEngine()->functioning());
    EXPECT_EQ(m->backgroundMusic(), m->audioSourceForChannel(kCDChannelBackgroundMusic));
    EXPECT_TRUE(m->backgroundMusic()->backgroundMusic());
    EXPECT_FALSE(m->audioSourceForChannel(kCDChannelOther)->backgroundMusic());
    EXPECT_EQ(m->audioSourceForChannel(2), nullptr);
    EXPECT_EQ(m->audioSourceForChannel(-1), nullptr);
    EXPECT_FALSE(m->isDeviceMuted());
    host::AudioSession::sharedInstance().setAudioRoute("");
    EXPECT_TRUE(m->isDeviceMuted());

    CDAudioManager::end();
    EXPECT_EQ(CDAudioManager::sharedManagerState(), kCDManagerNotInitialised);
}

TEST_F(AudioManagerTest, ModesChooseTheCategoryAndWhetherMusicPlays) {
    CDAudioManager* m = manager();
    struct Expect {
        int mode;
        const char* category;
        bool music;
    } table[] = {
        {0, host::kAudioSessionCategoryAmbient, false},
        {1, host::kAudioSessionCategorySoloAmbient, true},
        {2, host::kAudioSessionCategorySoloAmbient, true},
        {3, host::kAudioSessionCategoryPlayback, true},
        {4, host::kAudioSessionCategoryPlayAndRecord, true},
        {9, host::kAudioSessionCategorySoloAmbient, true},   // unknown: as mode 2
    };
    for (const Expect& e : table) {
        m->setMode(e.mode);
        EXPECT_EQ(host::AudioSession::sharedInstance().category(), e.category) << e.mode;
        EXPECT_EQ(m->audioSessionCategory(), e.category) << e.mode;
        EXPECT_EQ(m->willPlayBackgroundMusic(), e.music) << e.mode;
    }
    host::AudioSession::sharedInstance().setOtherAudioPlaying(true);
    m->setMode(2);
    EXPECT_EQ(host::AudioSession::sharedInstance().category(), host::kAudioSessionCategoryAmbient);
    EXPECT_FALSE(m->willPlayBackgroundMusic());
}

TEST_F(AudioManagerTest, WithOtherAudioPlayingMusicIsLoadedButNotPlayed) {
    host::AudioSession::sharedInstance().setOtherAudioPlaying(true);
    CDAudioManager* m = manager();
    m->playBackgroundMusic(loop, true);
    EXPECT_EQ(m->backgroundMusic()->state(), 1);
    EXPECT_EQ(m->backgroundMusic()->audioSourceFilePath(), loop);
    ASSERT_TRUE(m->backgroundMusic()->audioSourcePlayer());
    EXPECT_FALSE(m->isBackgroundMusicPlaying());
    m->resumeBackgroundMusic();
    EXPECT_FALSE(m->isBackgroundMusicPlaying());
}

TEST_F(AudioManagerTest, ConfiguredModeIsUsedForTheSharedManager) {
    CDAudioManager::configure(kCDAudioModeEffectsOnly);
    CDAudioManager* m = manager();
    EXPECT_EQ(m->mode(), kCDAudioModeEffectsOnly);
    m->playBackgroundMusic(loop, true);
    EXPECT_FALSE(m->isBackgroundMusicPlaying());
    CDAudioManager::end();
    CDAudioManager::configure(kCDAudioModeMusicIfNoOtherAudio);
}

TEST_F(AudioManagerTest, ReplayingTheLoadedFileRestartsTheSamePlayerFromTheStart) {
    CDAudioManager* m = manager();
    m->playBackgroundMusic(loop, true);
    host::AudioPlayer* player = m->backgroundMusic()->audioSourcePlayer();
    ASSERT_TRUE(player);
    EXPECT_EQ(player->numberOfLoops(), -1);
    ASSERT_TRUE(audiotest::pumpUntil([&] { return player->currentTime() > 0.1; }, 3));
    m->playBackgroundMusic(loop, false);
    EXPECT_EQ(m->backgroundMusic()->audioSourcePlayer(), player);
    EXPECT_LT(player->currentTime(), 0.05);
    EXPECT_EQ(player->numberOfLoops(), 0);
    EXPECT_TRUE(m->isBackgroundMusicPlaying());

    m->pauseBackgroundMusic();
    EXPECT_FALSE(m->isBackgroundMusicPlaying());
    m->resumeBackgroundMusic();
    EXPECT_TRUE(m->isBackgroundMusicPlaying());
    m->stopBackgroundMusic();
    EXPECT_FALSE(m->isBackgroundMusicPlaying());
    m->rewindBackgroundMusic();
    EXPECT_EQ(player->currentTime(), 0.0);

    // Another file gets a new player.
    m->preloadBackgroundMusic(once);
    EXPECT_NE(m->backgroundMusic()->audioSourcePlayer(), nullptr);
    EXPECT_EQ(m->backgroundMusic()->audioSourceFilePath(), once);
    EXPECT_FALSE(m->isBackgroundMusicPlaying());
}

TEST_F(AudioManagerTest, LoopingMusicKeepsPlayingPastTheEndOfItsFile) {
    CDAudioManager* m = manager();
    m->playBackgroundMusic(loop, true);
    audiotest::pump(1.0);
    EXPECT_TRUE(m->isBackgroundMusicPlaying());
    CDAudioManager::end();
    audiotest::Capture c = audiotest::readCapture();
    ASSERT_TRUE(c.ok());
    double start = c.onset();
    ASSERT_GE(start, 0);
    ASSERT_GT(c.seconds(), start + 0.8);
    // Four times the file's length without a gap.
    for (double t = start; t < start + 0.8; t += 0.05) EXPECT_GT(c.peak(0, t, t + 0.05), 0.2) << "at " << t - start;
}

TEST_F(AudioManagerTest, MusicPlayedOnceFinishesAndTellsTheListenerOnTheMainThread) {
    CDAudioManager* m = manager();
    host::Ref<Listener> listener = host::Ref<Listener>::adopt(new Listener);
    m->setBackgroundMusicCompletionListener(listener.get(), cc_selector(Listener::finished));
    m->playBackgroundMusic(once, false);
    EXPECT_TRUE(audiotest::pumpUntil([&] { return listener->calls > 0; }, 3));
    EXPECT_EQ(listener->calls, 1);
    EXPECT_TRUE(listener->onMainThread);
    EXPECT_FALSE(m->isBackgroundMusicPlaying());
    EXPECT_EQ(m->backgroundMusic()->audioSourcePlayer()->currentTime(), 0.0);
}

TEST_F(AudioManagerTest, MutingReachesTheEngineAndBothChannelsAndUnmutingRestoresThem) {
    CDAudioManager* m = manager();
    m->soundEngine()->setMasterGain(0.7f);
    m->backgroundMusic()->setVolume(0.6f);
    m->preloadBackgroundMusic(loop);
    CDLongAudioSource* other = m->audioSourceLoad(once, kCDChannelOther);
    ASSERT_TRUE(other && other->audioSourcePlayer());
    other->setVolume(0.4f);

    m->setMute(true);
    EXPECT_TRUE(m->soundEngine()->mute());
    EXPECT_FLOAT_EQ(listenerGain(), 0.0f);
    EXPECT_TRUE(m->backgroundMusic()->mute());
    EXPECT_TRUE(other->mute());
    EXPECT_FLOAT_EQ(m->backgroundMusic()->audioSourcePlayer()->volume(), 0.0f);
    EXPECT_FLOAT_EQ(other->audioSourcePlayer()->volume(), 0.0f);
    // Music does not start while muted.
    m->playBackgroundMusic(loop, true);
    EXPECT_FALSE(m->isBackgroundMusicPlaying());
    // A channel loading a new file stays silent.
    m->audioSourceLoad(loop, kCDChannelOther);
    EXPECT_FLOAT_EQ(other->audioSourcePlayer()->volume(), 0.0f);

    m->setMute(false);
    EXPECT_FLOAT_EQ(listenerGain(), 0.7f);
    EXPECT_FLOAT_EQ(m->backgroundMusic()->audioSourcePlayer()->volume(), 0.6f);
    EXPECT_FLOAT_EQ(other->audioSourcePlayer()->volume(), 0.4f);
}

TEST_F(AudioManagerTest, DisablingStopsEffectsAndPausesAndRewindsBothChannels) {
    CDAudioManager* m = manager();
    CDSoundEngine* engine = m->soundEngine();
    ASSERT_TRUE(engine->loadBuffer(0, audiotest::writeToneFile("long.wav", 2.0, 440, 0.3)));
    ALuint effect = engine->playSound(0, 0, 1, 0, 1, false);
    m->playBackgroundMusic(loop, true);
    host::AudioPlayer* player = m->backgroundMusic()->audioSourcePlayer();
    ASSERT_TRUE(audiotest::pumpUntil([&] { return player->currentTime() > 0.05; }, 3));

    m->setEnabled(false);
    ALint state = 0;
    alGetSourcei(effect, AL_SOURCE_STATE, &state);
    EXPECT_NE(state, AL_PLAYING);
    EXPECT_FALSE(m->isBackgroundMusicPlaying());
    EXPECT_EQ(player->currentTime(), 0.0);
    EXPECT_FALSE(m->backgroundMusic()->enabled());
    EXPECT_FALSE(m->audioSourceForChannel(kCDChannelOther)->enabled());
    EXPECT_EQ(engine->playSound(0, 0, 1, 0, 1, false), kCDSoundRefused);
    m->backgroundMusic()->play();
    EXPECT_FALSE(m->isBackgroundMusicPlaying());

    m->setEnabled(true);
    m->backgroundMusic()->play();
    EXPECT_TRUE(m->isBackgroundMusicPlaying());
}

TEST_F(AudioManagerTest, AnInterruptionEndedWithoutResumeWaitsForAFailedPlay) {
    CDAudioManager* m = manager();
    CDSoundEngine* engine = m->soundEngine();
    ASSERT_TRUE(engine->loadBuffer(0, once));
    m->audioSessionSetActive(true);

    host::AudioSession::sharedInstance().beginInterruption();
    EXPECT_TRUE(m->interrupted());
    EXPECT_EQ(alcGetCurrentContext(), nullptr);
    EXPECT_FALSE(host::AudioSession::sharedInstance().isActive());

    host::AudioSession::sharedInstance().endInterruption(0);
    EXPECT_TRUE(m->interrupted());
    EXPECT_FALSE(host::AudioSession::sharedInstance().isActive());

    // The failed play announces the missing context; the manager resumes.
    EXPECT_EQ(engine->playSound(0, 0, 1, 0, 1, false), kCDNoSource);
    EXPECT_FALSE(m->interrupted());
    EXPECT_TRUE(host::AudioSession::sharedInstance().isActive());
    EXPECT_EQ(alcGetCurrentContext(), engine->openALContext());
    EXPECT_NE(engine->playSound(0, 0, 1, 0, 1, false), kCDNoSource);
}

TEST_F(AudioManagerTest, AnInterruptionPausesTheMusicAndResumingRestartsIt) {
    CDAudioManager* m = manager();
    m->playBackgroundMusic(loop, true);
    ASSERT_TRUE(m->isBackgroundMusicPlaying());
    host::AudioSession::sharedInstance().beginInterruption();
    EXPECT_FALSE(m->isBackgroundMusicPlaying());
    host::AudioSession::sharedInstance().endInterruption(host::kAudioSessionInterruptionShouldResume);
    EXPECT_FALSE(m->interrupted());
    EXPECT_EQ(alcGetCurrentContext(), m->soundEngine()->openALContext());
    EXPECT_TRUE(m->isBackgroundMusicPlaying());

    // Where music may not play, the music channel stays quiet after a call.
    m->setMode(kCDAudioModeEffectsOnly);
    host::AudioSession::sharedInstance().beginInterruption();
    host::AudioSession::sharedInstance().endInterruption(host::kAudioSessionInterruptionShouldResume);
    EXPECT_FALSE(m->isBackgroundMusicPlaying());
}

TEST_F(AudioManagerTest, ActivationIsRetriedAfterAnInterruption) {
    CDAudioManager* m = manager();
    host::AudioSession::sharedInstance().beginInterruption();
    host::AudioSession::sharedInstance().failNextActivations(2);
    host::AudioSession::sharedInstance().endInterruption(host::kAudioSessionInterruptionShouldResume);
    EXPECT_TRUE(m->audioSessionActive());
    EXPECT_TRUE(host::AudioSession::sharedInstance().isActive());
}

TEST_F(AudioManagerTest, ApplicationEventsAreObservedOnlyWhenAskedFor) {
    CDAudioManager* m = manager();
    m->playBackgroundMusic(loop, true);
    host::NotificationCenter& center = host::NotificationCenter::defaultCenter();
    center.postNotificationName(host::kApplicationWillResignActiveNotification);
    EXPECT_TRUE(m->isBackgroundMusicPlaying());

    m->setResignBehavior(kCDResignBehaviorPauseAndResume, true);
    center.postNotificationName(host::kApplicationWillResignActiveNotification);
    EXPECT_FALSE(m->isBackgroundMusicPlaying());
    EXPECT_TRUE(m->backgroundMusic()->systemPaused());
    EXPECT_FALSE(m->audioSourceForChannel(kCDChannelOther)->systemPaused());
    EXPECT_EQ(host::AudioSession::sharedInstance().category(), host::kAudioSessionCategoryAmbient);
    center.postNotificationName(host::kApplicationDidBecomeActiveNotification);
    EXPECT_TRUE(m->isBackgroundMusicPlaying());
    EXPECT_FALSE(m->backgroundMusic()->systemPaused());
    EXPECT_EQ(host::AudioSession::sharedInstance().category(), host::kAudioSessionCategorySoloAmbient);

    // Observing twice does not double the registrations.
    const size_t observations = center.observationCount(m);
    m->setResignBehavior(kCDResignBehaviorStop, true);
    EXPECT_EQ(center.observationCount(m), observations);
    center.postNotificationName(host::kApplicationWillResignActiveNotification);
    EXPECT_FALSE(m->isBackgroundMusicPlaying());
    center.postNotificationName(host::kApplicationDidBecomeActiveNotification);
    EXPECT_FALSE(m->isBackgroundMusicPlaying());

    m->backgroundMusic()->play();
    center.postNotificationName(host::kApplicationWillTerminateNotification);
    EXPECT_FALSE(m->isBackgroundMusicPlaying());
    CDAudioManager::end();
    EXPECT_EQ(center.observationCount(m), 0u);   // nothing left pointing at it
}

TEST_F(AudioManagerTest, ALongFileThatCannotBeOpenedLeavesTheChannelLoadedAndSilent) {
    CDAudioManager* m = manager();
    std::string bad = audiotest::scratchPath("bad-music.ogg");
    audiotest::writeFile(bad, {'j', 'u', 'n', 'k'});
    LogCapture log;
    CDLongAudioSource* channel = m->audioSourceLoad(bad, kCDChannelOther);
    ASSERT_TRUE(channel);
    EXPECT_EQ(channel->state(), 1);
    EXPECT_EQ(channel->audioSourcePlayer(), nullptr);
    channel->play();
    channel->setVolume(0.5f);
    channel->rewind();
    EXPECT_FALSE(channel->isPlaying());
    ASSERT_EQ(log.lines().size(), 1u);
    EXPECT_NE(log.lines()[0].find("bad-music.ogg"), std::string::npos);
}

TEST_F(AudioManagerTest, AsynchronousStartCreatesTheManagerOnAnotherThread) {
    CDAudioManager::initAsynchronously(kCDAudioModeEffectsPlusMusic);
    EXPECT_NE(CDAudioManager::sharedManagerState(), kCDManagerNotInitialised);
    host::BackgroundTask::waitForAll();
    EXPECT_EQ(CDAudioManager::sharedManagerState(), kCDManagerInitialised);
    EXPECT_EQ(manager()->mode(), kCDAudioModeEffectsPlusMusic);
    // A second request while it exists does nothing.
    CDAudioManager::initAsynchronously(kCDAudioModeEffectsOnly);
    host::BackgroundTask::waitForAll();
    EXPECT_EQ(manager()->mode(), kCDAudioModeEffectsPlusMusic);
    CDAudioManager::end();
    CDAudioManager::configure(kCDAudioModeMusicIfNoOtherAudio);
}

}  // namespace
