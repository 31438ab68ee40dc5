// Without an audio device the sound engine is "not functioning": nothing
// plays, nothing crashes, one log line says so. OpenAL reads its
// configuration once per process, so the check runs in a fresh process of
// its own (a re-executed death-test child) set up without a device.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

#include "AudioTestSupport.h"
#include "LogCapture.h"
#include "audio/CDAudioManager.h"
#include "audio/CDSoundSource.h"
#include "audio/SimpleAudioEngine.h"
#include "host/sound/AudioPlayer.h"

namespace {

int gFailures = 0;

void check(bool ok, const char* what) {
    if (ok) return;
    std::fprintf(stderr, "not as expected: %s\n", what);
    ++gFailures;
}

[[noreturn]] void runWithoutDevice() {
    audiotest::useConfigurationWithoutDevice();
    std::string effect = audiotest::writeToneFile("nodevice-effect.wav", 0.1, 440, 0.5);
    std::vector<std::string> lines;
    {
        host::AutoreleasePool pool;
        LogCapture log;
        SimpleAudioEngine* audio = SimpleAudioEngine::sharedEngine();
        CDAudioManager* manager = CDAudioManager::sharedManager();
        CDSoundEngine* engine = manager->soundEngine();
        check(!engine->functioning(), "the engine does not function");
        check(engine->sourceTotal() == 0, "no sources");
        check(audio->playEffect(effect) == kCDSoundRefused, "playEffect is refused");
        check(audio->soundSourceForFile(effect) == nullptr, "no held source from the facade");
        check(engine->soundSourceForSound(0, 0) == nullptr, "no held source from the engine");
        check(!engine->loadBuffer(0, effect), "loads fail");
        check(engine->playSound(0, 0, 1, 0, 1, false) == kCDSoundRefused, "plays are refused");
        audio->setEffectsVolume(0.5f);
        check(audio->effectsVolume() == 0.5f, "the volume is kept");
        audio->setMute(true);
        audio->setMute(false);
        audio->setEnabled(false);
        audio->setEnabled(true);
        engine->stopAllSounds();
        engine->stopSourceGroup(0);

        audio->playBackgroundMusic(effect);
        check(!audio->isBackgroundMusicPlaying(), "music does not play");
        audio->stopBackgroundMusic();

        host::AudioPlayer* player = host::createOwned<host::AudioPlayer>(
            [&](host::AudioPlayer* p) { return p->initWithContentsOfFile(effect, nullptr); });
        check(player != nullptr, "a player still opens the file");
        if (player) {
            check(!player->play(), "a player cannot play");
            check(!player->isPlaying(), "a player is not playing");
            player->release();
        }
        SimpleAudioEngine::end();
        lines = log.lines();
    }
    check(lines.size() == 1, "exactly one log line");
    if (!lines.empty()) check(lines[0] == "sound is off: no audio device", "the engine's one line");
    for (const std::string& l : lines) std::fprintf(stderr, "log: %s\n", l.c_str());
    std::fflush(stderr);
    std::_Exit(gFailures == 0 ? 0 : 1);
}

TEST(SoundWithoutDevice, NothingPlaysNothingCrashesOneLogLine) {
#ifdef GTEST_FLAG_SET
    GTEST_FLAG_SET(death_test_style, "threadsafe");
#else
    ::testing::FLAGS_gtest_death_test_style = "threadsafe";
#endif
    EXPECT_EXIT(runWithoutDevice(), ::testing::ExitedWithCode(0), "");
}

}  // namespace
