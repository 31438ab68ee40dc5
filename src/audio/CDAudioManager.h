// The audio singleton under the facade: chooses how the app's sound mixes
// with other audio (a mode mapped to an audio-session category), owns the
// effect engine and two long-audio channels (0: background music, 1: other
// long sounds), passes mute and enable switches to all of them, survives
// audio-session interruptions, and can pause or stop its channels while
// the application is inactive.
#pragma once

#include <string>
#include <vector>

#include "audio/CDLongAudioSource.h"
#include "audio/CDProtocols.h"
#include "audio/CDSoundEngine.h"
#include "host/core/NotificationCenter.h"
#include "host/core/Object.h"
#include "host/core/Ref.h"
#include "host/core/Selector.h"
#include "host/sound/AudioSession.h"

// How the app's sound mixes with other audio on the device.
enum {
    kCDAudioModeEffectsOnly = 0,              // ambient; no music
    kCDAudioModeEffectsPlusMusic = 1,         // solo ambient
    kCDAudioModeMusicIfNoOtherAudio = 2,      // the default
    kCDAudioModeMediaPlayback = 3,            // playback
    kCDAudioModePlayAndRecord = 4,            // play and record
};

// What happens to the channels when the application resigns active.
enum {
    kCDResignBehaviorDoNothing = 0,
    kCDResignBehaviorPauseAndResume = 1,
    kCDResignBehaviorStop = 2,
};

// The long-audio channels.
enum {
    kCDChannelBackgroundMusic = 0,
    kCDChannelOther = 1,
    kCDChannelCount = 2,
};

// Shared-manager states.
enum {
    kCDManagerNotInitialised = 0,
    kCDManagerInitialising = 1,
    kCDManagerInitialised = 2,
};

class CDAudioManager : public host::Object,
                       public CDLongAudioSourceDelegate,
                       public CDAudioInterruptProtocol,
                       public host::AudioSessionDelegate {
public:
    // ---- The shared manager ----------------------------------------------------
    // The mode the shared manager will be created with.
    static void configure(int mode);
    // Creates the shared manager on a background thread.
    static void initAsynchronously(int mode);
    static CDAudioManager* sharedManager();
    static int sharedManagerState();
    static void end();

    bool init(int mode);
    void setMode(int mode);
    int mode() const { return _mode; }

    CDSoundEngine* soundEngine() const { return soundEngine_.get(); }
    CDLongAudioSource* backgroundMusic() const { return backgroundMusic_; }
    bool willPlayBackgroundMusic() const { return willPlayBackgroundMusic_; }

    // ---- Background music (channel 0) ------------------------------------------
    void playBackgroundMusic(const std::string& filePath, bool loop);
    void preloadBackgroundMusic(const std::string& filePath);
    void stopBackgroundMusic();
    void pauseBackgroundMusic();
    void resumeBackgroundMusic();
    void rewindBackgroundMusic();
    bool isBackgroundMusicPlaying() const;
    // `selector` is sent to `listener` (not retained) when the music ends.
    void setBackgroundMusicCompletionListener(host::Object* listener, host::Selector<void()> selector);

    bool mute() const override { return _mute; }
    void setMute(bool muteValue) override;
    bool enabled() const override { return enabled_; }
    void setEnabled(bool enabledValue) override;

    // ---- The audio session -----------------------------------------------------
    bool isDeviceMuted() const;
    bool isOtherAudioPlaying() const;
    bool audioSessionSetCategory(const std::string& category);
    bool audioSessionSetActive(bool active);
    const std::string& audioSessionCategory() const { return _audioSessionCategory; }
    bool audioSessionActive() const { return _audioSessionActive; }

    // ---- Channels ------------------------------------------------------------------
    CDLongAudioSource* audioSourceForChannel(int channel) const;
    CDLongAudioSource* audioSourceLoad(const std::string& filePath, int channel);

    // ---- Application life cycle ----------------------------------------------------
    // With `autoHandle` the manager observes the application's resign,
    // become-active and terminate notifications itself.
    void setResignBehavior(int resignBehavior, bool autoHandle);
    int resignBehavior() const { return _resignBehavior; }
    void applicationWillResignActive();
    void applicationDidBecomeActive();
    void applicationWillResignActive(host::Notification* notification);
    void applicationDidBecomeActive(host::Notification* notification);
    void applicationWillTerminate(host::Notification* notification);

    // ---- Interruptions ---------------------------------------------------------------
    void beginInterruption() override;
    void endInterruption() override;
    void endInterruptionWithFlags(int flags) override;
    void audioSessionInterrupted();
    void audioSessionResumed();
    bool interrupted() const { return _interrupted; }
    // A play failed with no OpenAL context current.
    void badAlContextHandler();

    // Channel 0 finished.
    void cdAudioSourceDidFinishPlaying(CDLongAudioSource* source) override;

protected:
    ~CDAudioManager() override;

private:
    host::Ref<CDSoundEngine> soundEngine_;
    CDLongAudioSource* backgroundMusic_ = nullptr;
    std::vector<host::Ref<CDLongAudioSource>> audioSourceChannels_;
    std::string _audioSessionCategory;
    int _mode = kCDAudioModeMusicIfNoOtherAudio;
    host::Selector<void()> backgroundMusicCompletionSelector_;
    host::Object* backgroundMusicCompletionListener_ = nullptr;
    bool willPlayBackgroundMusic_ = false;
    bool _mute = false;
    bool _resigned = false;
    bool _interrupted = false;
    bool _audioSessionActive = false;
    bool enabled_ = true;
    bool _isObservingAppEvents = false;
    int _resignBehavior = kCDResignBehaviorDoNothing;
};
