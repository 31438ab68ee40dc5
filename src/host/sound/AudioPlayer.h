// The long-audio player: plays one sound file of any length that
// libsndfile reads, streaming it into an OpenAL source on a thread of its
// own, with loops, volume, pause and seek. The delegate hears on the main
// thread when playback reaches the end, and when the audio session is
// interrupted and the interruption ends.
//
// Every method is called on the main thread. The player shares the
// process's audio device (host::AudioDevice) through a context of its own,
// so its volume is independent of the effect engine's listener gain.
#pragma once

#include <AL/al.h>
#include <AL/alc.h>

#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "host/core/Object.h"
#include "host/sound/AudioDevice.h"
#include "host/sound/AudioSession.h"
#include "host/sound/SoundFile.h"

namespace host {

class AudioPlayer;

class AudioPlayerDelegate {
public:
    virtual ~AudioPlayerDelegate() = default;
    // Playback reached the end of its last loop (not called for stop).
    virtual void audioPlayerDidFinishPlaying(AudioPlayer* player, bool successfully) {
        (void)player;
        (void)successfully;
    }
    // The session was interrupted; the player has paused itself.
    virtual void audioPlayerBeginInterruption(AudioPlayer* player) { (void)player; }
    // The interruption is over; the player stays paused until told to play.
    virtual void audioPlayerEndInterruption(AudioPlayer* player) { (void)player; }
};

class AudioPlayer : public Object, public AudioInterruptionListener {
public:
    // Opens the file; false (with `error` saying why) when it cannot be
    // read as audio. Nothing is logged here.
    bool initWithContentsOfFile(const std::string& path, std::string* error);

    // Opens the audio output and starts the streaming thread; false when
    // there is no audio device. play() does this itself.
    bool prepareToPlay();
    // Starts or resumes from the current time; false without a device.
    bool play();
    void pause();
    // Stops playing, keeping the current time (like pause).
    void stop();
    bool isPlaying() const;

    // Seconds from the start of the file.
    double currentTime() const;
    void setCurrentTime(double seconds);
    double duration() const { return duration_; }

    float volume() const;
    void setVolume(float volume);
    // -1 loops forever, 0 plays once, n plays n more times.
    int numberOfLoops() const;
    void setNumberOfLoops(int loops);

    AudioPlayerDelegate* delegate() const { return delegate_; }
    void setDelegate(AudioPlayerDelegate* d) { delegate_ = d; }
    const std::string& path() const { return path_; }

    void audioSessionBeginInterruption() override;
    void audioSessionEndInterruption(int flags) override;

protected:
    ~AudioPlayer() override;

private:
    // Frames per streamed buffer and the number of buffers kept queued.
    static constexpr int kFramesPerBuffer = 4096;
    static constexpr int kBufferCount = 4;

    void run();
    void postFinished(unsigned long generation);

    std::string path_;
    SoundFileStream stream_;    // the worker's once it runs
    double duration_ = 0;
    int sampleRate_ = 0;
    ALenum alFormat_ = 0;
    AudioPlayerDelegate* delegate_ = nullptr;

    std::shared_ptr<AudioDevice> device_;
    ALCcontext* context_ = nullptr;
    std::thread worker_;

    // Shared with the worker, under mutex_.
    mutable std::mutex mutex_;
    std::condition_variable wake_;
    bool quit_ = false;
    bool playing_ = false;
    float volume_ = 1.0f;
    int loops_ = 0;
    long long seekFrame_ = 0;      // -1: no seek pending; a fresh player starts at 0
    long long positionFrame_ = 0;
    unsigned long generation_ = 0; // bumped by every transport call

    // Lets a finish message queued for the main thread find out whether
    // the player still exists when it arrives.
    struct Life {
        AudioPlayer* player;
    };
    std::shared_ptr<Life> life_;
};

}  // namespace host
