// Property modifiers and their curves, the action that drives them, and
// interrupt target groups.
#include <gtest/gtest.h>

#include <AL/al.h>

#include "AudioTestSupport.h"
#include "audio/CDAudioInterruptTargetGroup.h"
#include "audio/CDLongAudioSource.h"
#include "audio/CDPropertyModifier.h"
#include "audio/CDPropertyModifierAction.h"
#include "audio/CDSoundEngine.h"
#include "audio/CDSoundSource.h"

namespace {

float curve(int type, float s, float e, float t) {
    host::AutoreleasePool pool;
    CDFloatInterpolator* i =
        host::create<CDFloatInterpolator>([&](CDFloatInterpolator* f) { return f->init(type, s, e); });
    return i->interpolate(t);
}

TEST(FloatInterpolator, CurvesAtChosenPoints) {
    EXPECT_FLOAT_EQ(curve(kCDInterpolationLinear, 1, 0, 0.25f), 0.75f);
    EXPECT_FLOAT_EQ(curve(kCDInterpolationLinear, 1, 0, 1.5f), 0.0f);
    EXPECT_FLOAT_EQ(curve(kCDInterpolationSCurve, 0, 1, 0.5f), 0.5f);
    EXPECT_FLOAT_EQ(curve(kCDInterpolationSCurve, 0, 1, 0.25f), 0.15625f);
    EXPECT_FLOAT_EQ(curve(kCDInterpolationExponential, 0, 1, 0.0f), 0.0f);
    EXPECT_NEAR(curve(kCDInterpolationExponential, 0, 1, 0.5f), 0.030250f, 1e-6f);
    EXPECT_NEAR(curve(kCDInterpolationExponential, 1, 0, 0.1f), 0.5f, 1e-6f);
    EXPECT_FLOAT_EQ(curve(kCDInterpolationExponential, 1, 0, 1.0f), 0.0f);
    EXPECT_FLOAT_EQ(curve(7, 0.2f, 0.9f, 0.5f), 0.0f);
    EXPECT_FLOAT_EQ(curve(7, 0.2f, 0.9f, 1.0f), 0.9f);
}

TEST(FloatInterpolator, RisingExponentialStartsSlowAndFallingOneFallsFast) {
    EXPECT_LT(curve(kCDInterpolationExponential, 0, 1, 0.5f), curve(kCDInterpolationLinear, 0, 1, 0.5f));
    EXPECT_LT(curve(kCDInterpolationExponential, 1, 0, 0.5f), curve(kCDInterpolationLinear, 1, 0, 0.5f));
}

class ModifierTest : public ::testing::Test {
protected:
    void SetUp() override {
        engine = host::Ref<CDSoundEngine>::adopt(
            host::createOwned<CDSoundEngine>([](CDSoundEngine* e) { return e->init(); }));
        ASSERT_TRUE(engine->functioning());
        ASSERT_TRUE(engine->loadBuffer(0, audiotest::writeToneFile("mod.wav", 2.0, 440, 0.3)));
        source = engine->soundSourceForSound(0, 0);
        ASSERT_TRUE(source);
    }

    template <class M>
    M* modifier(host::Object* target, int type, float s, float e) {
        return host::create<M>([&](M* m) { return m->init(target, type, s, e); });
    }

    host::AutoreleasePool pool;
    host::Ref<CDSoundEngine> engine;
    CDSoundSource* source = nullptr;
};

TEST_F(ModifierTest, FaderMovesTheGainAndStopsTheSourceAtTheEnd) {
    CDSoundSourceFader* fader = modifier<CDSoundSourceFader>(source, kCDInterpolationLinear, 1.0f, 0.2f);
    fader->setStopTargetWhenComplete(true);
    ASSERT_TRUE(source->play());
    fader->modify(0.5f);
    EXPECT_NEAR(source->gain(), 0.6f, 1e-6f);
    EXPECT_TRUE(source->isPlaying());
    fader->modify(1.0f);
    EXPECT_FLOAT_EQ(source->gain(), 0.2f);
    EXPECT_FALSE(source->isPlaying());
}

TEST_F(ModifierTest, WithoutStopTheSourceKeepsPlaying) {
    CDSoundSourceFader* fader = modifier<CDSoundSourceFader>(source, kCDInterpolationLinear, 1.0f, 0.0f);
    EXPECT_FALSE(fader->stopTargetWhenComplete());
    ASSERT_TRUE(source->play());
    fader->modify(1.0f);
    EXPECT_TRUE(source->isPlaying());
}

TEST_F(ModifierTest, PannerAndPitchBenderMoveTheirProperties) {
    CDSoundSourcePanner* panner = modifier<CDSoundSourcePanner>(source, kCDInterpolationLinear, -1.0f, 1.0f);
    panner->modify(0.75f);
    EXPECT_FLOAT_EQ(source->pan(), 0.5f);
    CDSoundSourcePitchBender* bender =
        modifier<CDSoundSourcePitchBender>(source, kCDInterpolationSCurve, 1.0f, 2.0f);
    bender->modify(0.25f);
    EXPECT_FLOAT_EQ(source->pitch(), 1.15625f);
    // Start and end values can be moved afterwards.
    bender->setEndValue(3.0f);
    bender->setStartValue(2.0f);
    bender->setInterpolationType(kCDInterpolationLinear);
    EXPECT_EQ(bender->interpolationType(), kCDInterpolationLinear);
    bender->modify(0.5f);
    EXPECT_FLOAT_EQ(source->pitch(), 2.5f);
    bender->modify(1.0f);
    EXPECT_FLOAT_EQ(source->pitch(), 3.0f);
}

TEST_F(ModifierTest, EngineFaderMovesTheMasterGainAndStopsEverything) {
    CDSoundEngineFader* fader = modifier<CDSoundEngineFader>(engine.get(), kCDInterpolationLinear, 1.0f, 0.0f);
    fader->setStopTargetWhenComplete(true);
    ALuint played = engine->playSound(0, 0, 1, 0, 1, false);
    fader->modify(0.25f);
    EXPECT_FLOAT_EQ(engine->masterGain(), 0.75f);
    fader->modify(1.0f);
    EXPECT_FLOAT_EQ(engine->masterGain(), 0.0f);
    ALint state = 0;
    alGetSourcei(played, AL_SOURCE_STATE, &state);
    EXPECT_NE(state, AL_PLAYING);
}

TEST_F(ModifierTest, AnActionDrivesTheModifierWithItsProgress) {
    std::string music = audiotest::writeToneFile("fade.wav", 1.0, 220, 0.4);
    host::Ref<CDLongAudioSource> channel = host::Ref<CDLongAudioSource>::adopt(
        host::createOwned<CDLongAudioSource>([](CDLongAudioSource* s) { return s->init(); }));
    channel->load(music);
    channel->setNumberOfLoops(-1);
    channel->play();
    ASSERT_TRUE(channel->isPlaying());
    CDLongAudioSourceFader* fader =
        modifier<CDLongAudioSourceFader>(channel.get(), kCDInterpolationLinear, 1.0f, 0.0f);
    fader->setStopTargetWhenComplete(true);
    CDPropertyModifierAction* fade = CDPropertyModifierAction::actionWithDuration(2.0f, fader);
    ASSERT_TRUE(fade);
    fade->startWithTarget(nullptr);
    fade->step(0);        // the first step only starts the clock
    EXPECT_FLOAT_EQ(channel->volume(), 1.0f);
    fade->step(0.5f);
    EXPECT_FLOAT_EQ(channel->volume(), 0.75f);
    EXPECT_FLOAT_EQ(channel->audioSourcePlayer()->volume(), 0.75f);
    fade->step(1.5f);
    EXPECT_TRUE(fade->isDone());
    EXPECT_FLOAT_EQ(channel->volume(), 0.0f);
    EXPECT_FALSE(channel->isPlaying());   // paused at the end

    host::Ref<CDPropertyModifierAction> again = fade->copy();
    EXPECT_EQ(again->modifier(), fader);
    EXPECT_FLOAT_EQ(again->duration(), 2.0f);
}

TEST_F(ModifierTest, InterruptGroupPassesSwitchesToEveryMember) {
    CDAudioInterruptTargetGroup* group =
        host::create<CDAudioInterruptTargetGroup>([](CDAudioInterruptTargetGroup* g) { return g->init(); });
    group->setMute(true);
    // A new member takes the group's state first.
    group->addAudioInterruptTarget(source);
    EXPECT_TRUE(source->mute());
    group->addAudioInterruptTarget(engine.get());
    EXPECT_TRUE(engine->mute());
    CDAudioInterruptTargetGroup* inner =
        host::create<CDAudioInterruptTargetGroup>([](CDAudioInterruptTargetGroup* g) { return g->init(); });
    group->addAudioInterruptTarget(inner);
    EXPECT_EQ(group->count(), 3u);

    group->setMute(false);
    EXPECT_FALSE(source->mute());
    EXPECT_FALSE(engine->mute());
    EXPECT_FALSE(inner->mute());
    group->setEnabled(false);
    EXPECT_FALSE(source->enabled());
    EXPECT_FALSE(engine->enabled());

    group->removeAudioInterruptTarget(engine.get());
    EXPECT_EQ(group->count(), 2u);
    group->setEnabled(true);
    EXPECT_TRUE(source->enabled());
    EXPECT_FALSE(engine->enabled());   // no longer a member
}

}  // namespace
