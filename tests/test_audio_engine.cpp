// The effect engine on real OpenAL Soft: source choice, locks, groups,
// gains and mute, checked through OpenAL's own state and through what the
// wave back end wrote.
#include <gtest/gtest.h>

#include <AL/al.h>
#include <AL/alc.h>

#include <cmath>

#include "AudioTestSupport.h"
#include "audio/CDSoundEngine.h"
#include "audio/CDSoundSource.h"
#include "host/core/NotificationCenter.h"
#include "host/core/Ref.h"

namespace {

using audiotest::Capture;

class SoundEngineTest : public ::testing::Test {
protected:
    void SetUp() override {
        engine = host::Ref<CDSoundEngine>::adopt(
            host::createOwned<CDSoundEngine>([](CDSoundEngine* e) { return e->init(); }));
        ASSERT_TRUE(engine);
        ASSERT_TRUE(engine->functioning());
    }

    // Loads a sine tone into `soundId`.
    void loadTone(int soundId, double seconds, double frequency = 440, double amplitude = 0.5) {
        std::string path = audiotest::writeToneFile("tone" + std::to_string(soundId) + ".wav", seconds, frequency,
                                                    amplitude);
        ASSERT_TRUE(engine->loadBuffer(soundId, path));
    }

    bool playing(ALuint source) const {
        ALint state = 0;
        alGetSourcei(source, AL_SOURCE_STATE, &state);
        return state == AL_PLAYING;
    }

    // Closes the device (the engine is the only user) and reads the output.
    Capture finish() {
        engine.reset();
        pool.drain();
        return audiotest::readCapture();
    }

    host::AutoreleasePool pool;   // drained after the engine goes
    host::Ref<CDSoundEngine> engine;
};

TEST_F(SoundEngineTest, StartsWithOneGroupOfEverySourceAndAWorkingGainReadBack) {
    EXPECT_EQ(engine->sourceTotal(), 32);
    EXPECT_EQ(engine->sourceGroupTotal(), 1u);
    EXPECT_EQ(engine->bufferTotal(), 64);
    EXPECT_TRUE(engine->getGainWorks());
    EXPECT_TRUE(engine->enabled());
    EXPECT_FALSE(engine->mute());
    EXPECT_EQ(alcGetCurrentContext(), engine->openALContext());
}

TEST_F(SoundEngineTest, InterruptibleGroupRotatesAndThe33rdPlayCutsOffTheFirst) {
    loadTone(0, 2.0);
    std::vector<ALuint> sources;
    for (int i = 0; i < 33; ++i) sources.push_back(engine->playSound(0, 0, 1, 0, 1, false));
    for (int i = 0; i < 32; ++i) {
        EXPECT_NE(sources[size_t(i)], kCDNoSource);
        EXPECT_NE(sources[size_t(i)], kCDSoundRefused);
        for (int j = 0; j < i; ++j) EXPECT_NE(sources[size_t(i)], sources[size_t(j)]);
    }
    EXPECT_EQ(sources[32], sources[0]);
    EXPECT_TRUE(playing(sources[0]));   // restarted with the new sound
}

TEST_F(SoundEngineTest, NonInterruptibleFullGroupRefusesWithoutCuttingAnything) {
    const int groups[] = {2, 30};
    engine->defineSourceGroups(groups, 2);
    engine->setSourceGroupNonInterruptible(0, true);
    loadTone(0, 1.0, 440, 0.3);
    ALuint a = engine->playSound(0, 0, 1, 0, 1, false);
    ALuint b = engine->playSound(0, 0, 1, 0, 1, false);
    ASSERT_NE(a, b);
    EXPECT_EQ(engine->playSound(0, 0, 1, 0, 1, false), kCDNoSource);
    EXPECT_TRUE(playing(a));
    EXPECT_TRUE(playing(b));

    // Both tones are still heard to their end.
    audiotest::pump(0.6);
    EXPECT_TRUE(playing(a) && playing(b));
    Capture c = finish();
    ASSERT_TRUE(c.ok());
    double start = c.onset();
    ASSERT_GE(start, 0);
    EXPECT_GT(c.peak(0, start + 0.4, start + 0.55), 0.25);   // two 0.3 tones, centred
}

TEST_F(SoundEngineTest, AHeldSourceIsSkippedUntilItIsReleased) {
    const int groups[] = {2};
    engine->defineSourceGroups(groups, 1);
    loadTone(0, 0.5);
    CDSoundSource* held = engine->soundSourceForSound(0, 0);
    ASSERT_TRUE(held);
    host::Ref<CDSoundSource> keep(held);
    EXPECT_TRUE(engine->isSourceLocked(held->sourceIndex()));
    for (int i = 0; i < 4; ++i) EXPECT_NE(engine->playSound(0, 0, 1, 0, 1, false), held->sourceId());

    const ALuint heldName = held->sourceId();
    const int heldIndex = held->sourceIndex();
    keep.reset();
    pool.drain();   // the last reference goes: the source is unlocked
    EXPECT_FALSE(engine->isSourceLocked(heldIndex));
    bool handedOut = false;
    for (int i = 0; i < 2; ++i) handedOut |= engine->playSound(0, 0, 1, 0, 1, false) == heldName;
    EXPECT_TRUE(handedOut);
}

TEST_F(SoundEngineTest, HeldSourceStartsNeutralAndTakesItsSettings) {
    loadTone(3, 0.5);
    CDSoundSource* s = engine->soundSourceForSound(3, 0);
    ASSERT_TRUE(s);
    EXPECT_EQ(s->soundId(), 3);
    EXPECT_FLOAT_EQ(s->pitch(), 1.0f);
    EXPECT_FLOAT_EQ(s->pan(), 0.0f);
    EXPECT_FLOAT_EQ(s->gain(), 1.0f);
    EXPECT_FALSE(s->looping());
    EXPECT_NEAR(s->durationInSeconds(), 0.5f, 1e-4f);

    s->setPan(-0.5f);
    s->setPitch(1.5f);
    s->setLooping(true);
    EXPECT_FLOAT_EQ(s->pan(), -0.5f);
    EXPECT_FLOAT_EQ(s->pitch(), 1.5f);
    EXPECT_TRUE(s->looping());
    EXPECT_TRUE(s->play());
    EXPECT_TRUE(s->isPlaying());
    EXPECT_EQ(s->lastError(), AL_NO_ERROR);

    // Muting keeps the gain to restore; a gain set meanwhile waits too.
    s->setGain(0.8f);
    s->setMute(true);
    ALfloat alGain = -1;
    alGetSourcef(s->sourceId(), AL_GAIN, &alGain);
    EXPECT_FLOAT_EQ(alGain, 0.0f);
    EXPECT_FLOAT_EQ(s->gain(), 0.8f);
    s->setGain(0.4f);
    alGetSourcef(s->sourceId(), AL_GAIN, &alGain);
    EXPECT_FLOAT_EQ(alGain, 0.0f);
    s->setMute(false);
    alGetSourcef(s->sourceId(), AL_GAIN, &alGain);
    EXPECT_FLOAT_EQ(alGain, 0.4f);

    s->setEnabled(false);
    EXPECT_FALSE(s->isPlaying());
    EXPECT_FALSE(s->play());
}

TEST_F(SoundEngineTest, HeldSourceForAnUnknownSoundIsNilAndLeavesNothingLocked) {
    EXPECT_EQ(engine->soundSourceForSound(500, 0), nullptr);
    EXPECT_EQ(engine->soundSourceForSound(0, 7), nullptr);
    for (int i = 0; i < engine->sourceTotal(); ++i) EXPECT_FALSE(engine->isSourceLocked(i));
}

TEST_F(SoundEngineTest, AHeldSourceOutlivingTheEngineDoesNothing) {
    loadTone(0, 0.5);
    host::Ref<CDSoundSource> s(engine->soundSourceForSound(0, 0));
    ASSERT_TRUE(s);
    engine.reset();
    EXPECT_FALSE(s->play());
    EXPECT_FALSE(s->isPlaying());
    EXPECT_EQ(s->lastError(), AL_INVALID_OPERATION);
    s->setGain(0.5f);   // nothing to crash on
}

TEST_F(SoundEngineTest, PlayIsRefusedOrFailsWithTheRightCode) {
    loadTone(0, 0.2);
    EXPECT_EQ(engine->playSound(1, 0, 1, 0, 1, false), kCDSoundRefused);    // not loaded
    EXPECT_EQ(engine->playSound(-1, 0, 1, 0, 1, false), kCDSoundRefused);
    EXPECT_EQ(engine->playSound(0, 1, 1, 0, 1, false), kCDNoSource);        // no such group
    EXPECT_EQ(engine->playSound(0, -1, 1, 0, 1, false), kCDNoSource);
    engine->setEnabled(false);
    EXPECT_EQ(engine->playSound(0, 0, 1, 0, 1, false), kCDSoundRefused);
    engine->setEnabled(true);
    ALuint source = engine->playSound(0, 0, 1.25f, 0.5f, 0.75f, true);
    ASSERT_NE(source, kCDNoSource);
    ALfloat v = 0;
    alGetSourcef(source, AL_PITCH, &v);
    EXPECT_FLOAT_EQ(v, 1.25f);
    alGetSourcef(source, AL_GAIN, &v);
    EXPECT_FLOAT_EQ(v, 0.75f);
    ALfloat pos[3] = {};
    alGetSourcefv(source, AL_POSITION, pos);
    EXPECT_FLOAT_EQ(pos[0], 0.5f);
    ALint looping = 0;
    alGetSourcei(source, AL_LOOPING, &looping);
    EXPECT_EQ(looping, AL_TRUE);
    engine->stopSound(source);
    EXPECT_FALSE(playing(source));
}

TEST_F(SoundEngineTest, SilencedGroupStopsAndRefusesWhileOtherGroupsPlay) {
    const int groups[] = {4, 4};
    engine->defineSourceGroups(groups, 2);
    loadTone(0, 2.0);
    ALuint inZero = engine->playSound(0, 0, 1, 0, 1, false);
    ALuint inOne = engine->playSound(0, 1, 1, 0, 1, false);
    engine->setSourceGroupEnabled(0, true);
    EXPECT_TRUE(engine->sourceGroupEnabled(0));
    EXPECT_FALSE(engine->sourceGroupEnabled(1));
    EXPECT_FALSE(playing(inZero));
    EXPECT_TRUE(playing(inOne));
    EXPECT_EQ(engine->playSound(0, 0, 1, 0, 1, false), kCDSoundRefused);
    engine->setSourceGroupEnabled(0, false);
    EXPECT_NE(engine->playSound(0, 0, 1, 0, 1, false), kCDSoundRefused);
}

TEST_F(SoundEngineTest, GroupsFromAnArrayCountNonNumbersAsEmpty) {
    host::PlistValue::Array defs{host::PlistValue(3), host::PlistValue("not a number"), host::PlistValue(2.0)};
    engine->defineSourceGroups(defs);
    ASSERT_EQ(engine->sourceGroupTotal(), 3u);
    loadTone(0, 0.2);
    EXPECT_EQ(engine->playSound(0, 1, 1, 0, 1, false), kCDNoSource);   // an empty group
    // Group 2 takes the pool entries after group 0's three.
    ALuint fromTwo = engine->playSound(0, 2, 1, 0, 1, false);
    EXPECT_EQ(fromTwo, engine->sourceNameAtIndex(3));
}

TEST_F(SoundEngineTest, MasterGainWhileMutedWaitsForUnmute) {
    engine->setMasterGain(0.8f);
    EXPECT_FLOAT_EQ(engine->masterGain(), 0.8f);
    engine->setMute(true);
    ALfloat listener = -1;
    alGetListenerf(AL_GAIN, &listener);
    EXPECT_FLOAT_EQ(listener, 0.0f);
    engine->setMasterGain(0.3f);
    alGetListenerf(AL_GAIN, &listener);
    EXPECT_FLOAT_EQ(listener, 0.0f);
    EXPECT_FLOAT_EQ(engine->masterGain(), 0.3f);
    engine->setMute(false);
    alGetListenerf(AL_GAIN, &listener);
    EXPECT_FLOAT_EQ(listener, 0.3f);
}

TEST_F(SoundEngineTest, DisablingStopsEverySound) {
    loadTone(0, 2.0);
    ALuint a = engine->playSound(0, 0, 1, 0, 1, false);
    ALuint b = engine->playSound(0, 0, 1, 0, 1, false);
    engine->setEnabled(false);
    EXPECT_FALSE(playing(a));
    EXPECT_FALSE(playing(b));
}

// ---- What is heard ----------------------------------------------------------------

// Plays one 0.2 s tone with the given settings and returns the capture.
Capture playAndCapture(float gain, float pan, bool muted) {
    host::AutoreleasePool pool;
    host::Ref<CDSoundEngine> engine = host::Ref<CDSoundEngine>::adopt(
        host::createOwned<CDSoundEngine>([](CDSoundEngine* e) { return e->init(); }));
    if (!engine->functioning()) return Capture();
    std::string path = audiotest::writeToneFile("heard.wav", 0.2, 440, 0.5);
    if (!engine->loadBuffer(0, path)) return Capture();
    engine->setMute(muted);
    if (engine->playSound(0, 0, 1.0f, pan, gain, false) == kCDNoSource) return Capture();
    audiotest::pump(0.35);
    engine.reset();
    return audiotest::readCapture();
}

TEST(SoundEngineOutput, AnEffectIsHeardAtTheGainSet) {
    Capture full = playAndCapture(1.0f, 0.0f, false);
    Capture half = playAndCapture(0.5f, 0.0f, false);
    ASSERT_TRUE(full.ok() && half.ok());
    // A 0.5 tone played at the centre reaches both channels.
    EXPECT_GT(full.peak(0), 0.2);
    EXPECT_GT(full.peak(1), 0.2);
    const double fullEnergy = full.energy(0) + full.energy(1);
    const double halfEnergy = half.energy(0) + half.energy(1);
    ASSERT_GT(fullEnergy, 0);
    EXPECT_NEAR(std::sqrt(halfEnergy / fullEnergy), 0.5, 0.05);
    EXPECT_NEAR(half.peak(0) / full.peak(0), 0.5, 0.05);
}

TEST(SoundEngineOutput, AMutedEngineWritesSilence) {
    Capture muted = playAndCapture(1.0f, 0.0f, true);
    ASSERT_TRUE(muted.ok());
    ASSERT_GT(muted.seconds(), 0.2);
    EXPECT_LT(muted.peak(0), 1e-3);
    EXPECT_LT(muted.peak(1), 1e-3);
}

TEST(SoundEngineOutput, PanMovesTheSoundBetweenChannels) {
    Capture left = playAndCapture(1.0f, -1.0f, false);
    Capture right = playAndCapture(1.0f, 1.0f, false);
    ASSERT_TRUE(left.ok() && right.ok());
    EXPECT_GT(left.energy(0), 4 * left.energy(1));
    EXPECT_GT(right.energy(1), 4 * right.energy(0));
}

// ---- A play without a context --------------------------------------------------------

struct ContextWatcher : host::Object {
    int bad = 0;
    void badContext() { ++bad; }
};

TEST_F(SoundEngineTest, APlayWithoutAContextAnnouncesIt) {
    loadTone(0, 0.2);
    host::Ref<ContextWatcher> watcher = host::Ref<ContextWatcher>::adopt(new ContextWatcher);
    host::NotificationCenter::defaultCenter().addObserver(watcher.get(), cc_selector(ContextWatcher::badContext),
                                                          kCDN_BadAlContext);
    alcMakeContextCurrent(nullptr);
    EXPECT_EQ(engine->playSound(0, 0, 1, 0, 1, false), kCDNoSource);
    EXPECT_EQ(watcher->bad, 1);
    host::NotificationCenter::defaultCenter().removeObserver(watcher.get());
    alcMakeContextCurrent(engine->openALContext());
    EXPECT_NE(engine->playSound(0, 0, 1, 0, 1, false), kCDNoSource);
}

}  // namespace
