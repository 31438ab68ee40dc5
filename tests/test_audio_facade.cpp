// The facade the game calls: effects by file name, the refusal code for
// files that cannot be loaded, load-once, and the switches it forwards.
#include <gtest/gtest.h>

#include <cstdio>

#include "AudioTestSupport.h"
#include "audio/CDAudioManager.h"
#include "audio/CDSoundSource.h"
#include "audio/SimpleAudioEngine.h"
#include "host/core/Options.h"
#include "host/sound/AudioSession.h"

namespace {

class SimpleAudioEngineTest : public ::testing::Test {
protected:
    void SetUp() override {
        SimpleAudioEngine::end();
        host::AudioSession::sharedInstance().reset();
        effect = audiotest::writeToneFile("effect.wav", 0.1, 440, 0.5);
        audio = SimpleAudioEngine::sharedEngine();
        ASSERT_TRUE(audio);
    }
    void TearDown() override { SimpleAudioEngine::end(); }

    CDSoundEngine* engine() { return CDAudioManager::sharedManager()->soundEngine(); }

    host::AutoreleasePool pool;
    SimpleAudioEngine* audio = nullptr;
    std::string effect;
};

TEST_F(SimpleAudioEngineTest, CreatesTheManagerAndItsEngineOnce) {
    EXPECT_EQ(SimpleAudioEngine::sharedEngine(), audio);
    EXPECT_EQ(CDAudioManager::sharedManagerState(), kCDManagerInitialised);
    EXPECT_TRUE(engine()->functioning());
    EXPECT_FALSE(audio->mute());
    EXPECT_TRUE(audio->enabled());
    SimpleAudioEngine::end();
    EXPECT_EQ(CDAudioManager::sharedManagerState(), kCDManagerNotInitialised);
}

TEST_F(SimpleAudioEngineTest, AFileThatDoesNotExistIsRefusedWithoutPlaying) {
    EXPECT_EQ(audio->playEffect(audiotest::scratchPath("nothing-here.wav")), kCDSoundRefused);
    EXPECT_EQ(audio->soundSourceForFile(audiotest::scratchPath("nothing-here.wav")), nullptr);
    for (int i = 0; i < engine()->sourceTotal(); ++i) {
        ALint state = 0;
        alGetSourcei(engine()->sourceNameAtIndex(i), AL_SOURCE_STATE, &state);
        EXPECT_NE(state, AL_PLAYING);
    }
}

TEST_F(SimpleAudioEngineTest, TwoPlaysOfAFileLoadItOnceAndUnloadingLoadsItAgain) {
    ALuint first = audio->playEffect(effect);
    EXPECT_NE(first, kCDSoundRefused);
    EXPECT_NE(first, kCDNoSource);
    EXPECT_TRUE(engine()->validateBufferId(0));
    // The file is gone: a second play can only work from the loaded buffer.
    std::remove(effect.c_str());
    ALuint second = audio->playEffect(effect, 1.5f, -0.5f, 0.5f);
    EXPECT_NE(second, kCDSoundRefused);
    EXPECT_FALSE(engine()->validateBufferId(1));
    ALfloat pitch = 0;
    alGetSourcef(second, AL_PITCH, &pitch);
    EXPECT_FLOAT_EQ(pitch, 1.5f);

    audio->unloadEffect(effect);
    EXPECT_FALSE(engine()->validateBufferId(0));
    EXPECT_EQ(audio->playEffect(effect), kCDSoundRefused);   // loads again, and fails
    audiotest::writeToneFile("effect.wav", 0.1, 440, 0.5);
    EXPECT_NE(audio->playEffect(effect), kCDSoundRefused);
}

TEST_F(SimpleAudioEngineTest, PreloadLoadsWithoutPlayingAndStopEffectStops) {
    audio->preloadEffect(effect);
    EXPECT_TRUE(engine()->validateBufferId(0));
    ALuint source = audio->playEffect(effect);
    audio->stopEffect(source);
    ALint state = 0;
    alGetSourcei(source, AL_SOURCE_STATE, &state);
    EXPECT_NE(state, AL_PLAYING);

    host::Ref<CDSoundSource> held(audio->soundSourceForFile(effect));
    ASSERT_TRUE(held);
    EXPECT_EQ(held->soundId(), 0);
}

TEST_F(SimpleAudioEngineTest, TheGameLoadsItsJumpSoundFromTheResources) {
    std::string saved = host::Options::shared().resources;
    host::Options::shared().resources = audiotest::resourcesDir();
    audio->preloadEffect("Jump.wav");
    EXPECT_NE(audio->playEffect("Jump.wav"), kCDSoundRefused);
    audio->unloadEffect("Jump.wav");
    host::Options::shared().resources = saved;
}

TEST_F(SimpleAudioEngineTest, MuteReachesTheManagerOnlyWhenItChanges) {
    CDAudioManager* manager = CDAudioManager::sharedManager();
    audio->setMute(true);
    EXPECT_TRUE(manager->mute());
    EXPECT_TRUE(engine()->mute());
    audio->setMute(false);
    EXPECT_FALSE(manager->mute());

    // Muted behind the facade's back: the facade still thinks "not muted",
    // so passing "not muted" is no change and is not passed on.
    manager->setMute(true);
    audio->setMute(false);
    EXPECT_TRUE(manager->mute());

    audio->setEnabled(false);
    EXPECT_FALSE(manager->enabled());
    EXPECT_EQ(audio->playEffect(effect), kCDSoundRefused);
    audio->setEnabled(true);
    EXPECT_TRUE(manager->enabled());
}

TEST_F(SimpleAudioEngineTest, VolumesAreTheEngineGainAndTheMusicVolume) {
    audio->setEffectsVolume(0.25f);
    EXPECT_FLOAT_EQ(audio->effectsVolume(), 0.25f);
    EXPECT_FLOAT_EQ(engine()->masterGain(), 0.25f);
    audio->setBackgroundMusicVolume(0.5f);
    EXPECT_FLOAT_EQ(audio->backgroundMusicVolume(), 0.5f);
    EXPECT_FLOAT_EQ(CDAudioManager::sharedManager()->backgroundMusic()->volume(), 0.5f);
}

TEST_F(SimpleAudioEngineTest, BackgroundMusicLoopsByDefault) {
    std::string music = audiotest::writeToneFile("music.wav", 0.3, 220, 0.4);
    EXPECT_TRUE(audio->willPlayBackgroundMusic());
    audio->playBackgroundMusic(music);
    EXPECT_TRUE(audio->isBackgroundMusicPlaying());
    EXPECT_EQ(CDAudioManager::sharedManager()->backgroundMusic()->numberOfLoops(), -1);
    audio->pauseBackgroundMusic();
    EXPECT_FALSE(audio->isBackgroundMusicPlaying());
    audio->resumeBackgroundMusic();
    EXPECT_TRUE(audio->isBackgroundMusicPlaying());
    audio->rewindBackgroundMusic();
    audio->stopBackgroundMusic();
    EXPECT_FALSE(audio->isBackgroundMusicPlaying());
    audio->playBackgroundMusic(music, false);
    EXPECT_EQ(CDAudioManager::sharedManager()->backgroundMusic()->numberOfLoops(), 0);
}

}  // namespace
