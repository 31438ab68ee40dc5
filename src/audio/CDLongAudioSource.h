// A long-audio channel: one file at a time played through the host's
// long-audio player, with its own volume, loops, mute and enable switch.
// The audio manager keeps two: channel 0 for background music and
// channel 1 for other long sounds.
#pragma once

#include <string>

#include "audio/CDProtocols.h"
#include "host/core/Object.h"
#include "host/core/Ref.h"
#include "host/sound/AudioPlayer.h"

class CDLongAudioSource : public host::Object, public host::AudioPlayerDelegate, public CDAudioInterruptProtocol {
public:
    bool init();

    // Loads the file (resolved against the resources). Loading the file
    // already loaded pauses and rewinds it instead. A file the player cannot
    // open leaves the channel loaded with no working player (one log line).
    void load(const std::string& filePath);
    // Starts or resumes, when enabled.
    void play();
    void stop();
    void pause();
    void resume();
    void rewind();
    bool isPlaying() const;

    float volume() const { return volume_; }
    void setVolume(float newVolume);
    bool mute() const override { return mute_; }
    void setMute(bool muteValue) override;
    bool enabled() const override { return enabled_; }
    void setEnabled(bool enabledValue) override;
    // -1 loops forever, 0 plays once, n repeats n more times.
    int numberOfLoops() const { return numberOfLoops_; }
    void setNumberOfLoops(int loopCount);
    bool backgroundMusic() const { return backgroundMusic_; }
    void setBackgroundMusic(bool isBackgroundMusic) { backgroundMusic_ = isBackgroundMusic; }
    // Not retained.
    CDLongAudioSourceDelegate* delegate() const { return delegate_; }
    void setDelegate(CDLongAudioSourceDelegate* d) { delegate_ = d; }

    host::AudioPlayer* audioSourcePlayer() const { return audioSourcePlayer_.get(); }
    const std::string& audioSourceFilePath() const { return audioSourceFilePath_; }
    // 0 nothing loaded, 1 loaded.
    int state() const { return state_; }
    // Stopped by the manager's resign behaviour, to be resumed.
    bool systemPaused() const { return systemPaused_; }
    void setSystemPaused(bool paused) { systemPaused_ = paused; }

    // The player's delegate calls.
    void audioPlayerDidFinishPlaying(host::AudioPlayer* player, bool successfully) override;
    void audioPlayerBeginInterruption(host::AudioPlayer* player) override;
    void audioPlayerEndInterruption(host::AudioPlayer* player) override;

protected:
    ~CDLongAudioSource() override;

private:
    host::Ref<host::AudioPlayer> audioSourcePlayer_;
    std::string audioSourceFilePath_;
    int numberOfLoops_ = 0;
    float volume_ = 1.0f;
    CDLongAudioSourceDelegate* delegate_ = nullptr;
    bool mute_ = false;
    bool enabled_ = true;
    bool backgroundMusic_ = false;
    bool systemPaused_ = false;
    int state_ = 0;
};
