#include "host/sound/AudioPlayer.h"

#include <AL/alext.h>

#include <algorithm>
#include <chrono>
#include <deque>
#include <vector>

#include "host/core/Ref.h"
#include "host/core/RunLoop.h"

namespace host {
namespace {
// How often the streaming thread looks at its source while nothing wakes it.
constexpr auto kPollInterval = std::chrono::milliseconds(10);
}  // namespace

bool AudioPlayer::initWithContentsOfFile(const std::string& path, std::string* error) {
    if (!stream_.open(path, error)) return false;
    if (stream_.frames() <= 0) {
        if (error) *error = "no audio data";
        return false;
    }
    path_ = path;
    sampleRate_ = stream_.sampleRate();
    alFormat_ = stream_.channels() == 2 ? AL_FORMAT_STEREO16 : AL_FORMAT_MONO16;
    duration_ = static_cast<double>(stream_.frames()) / sampleRate_;
    life_ = std::make_shared<Life>(Life{this});
    AudioSession::sharedInstance().addInterruptionListener(this);
    return true;
}

AudioPlayer::~AudioPlayer() {
    if (life_) {
        life_->player = nullptr;
        AudioSession::sharedInstance().removeInterruptionListener(this);
    }
    {
        std::lock_guard<std::mutex> lock(mutex_);
        quit_ = true;
    }
    wake_.notify_all();
    if (worker_.joinable()) worker_.join();
    if (context_) alcDestroyContext(context_);
}

bool AudioPlayer::prepareToPlay() {
    if (context_) return true;
    if (!life_) return false;
    device_ = AudioDevice::openDefault();
    if (!device_) return false;
    // The streaming thread talks to its own context through the
    // thread-local context extension; without it there is no safe way.
    if (!alcIsExtensionPresent(device_->alcDevice(), "ALC_EXT_thread_local_context")) {
        device_.reset();
        return false;
    }
    context_ = alcCreateContext(device_->alcDevice(), nullptr);
    if (!context_) {
        device_.reset();
        return false;
    }
    worker_ = std::thread([this] { run(); });
    return true;
}

bool AudioPlayer::play() {
    if (!prepareToPlay()) return false;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        playing_ = true;
        ++generation_;
    }
    wake_.notify_all();
    return true;
}

void AudioPlayer::pause() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        playing_ = false;
        ++generation_;
    }
    wake_.notify_all();
}

void AudioPlayer::stop() { pause(); }

bool AudioPlayer::isPlaying() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return playing_;
}

double AudioPlayer::currentTime() const {
    std::lock_guard<std::mutex> lock(mutex_);
    if (sampleRate_ <= 0) return 0;
    long long frame = seekFrame_ >= 0 ? seekFrame_ : positionFrame_;
    return static_cast<double>(frame) / sampleRate_;
}

void AudioPlayer::setCurrentTime(double seconds) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        double t = std::max(0.0, std::min(seconds, duration_));
        seekFrame_ = std::min(static_cast<long long>(t * sampleRate_), stream_.frames());
        ++generation_;
    }
    wake_.notify_all();
}

float AudioPlayer::volume() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return volume_;
}

void AudioPlayer::setVolume(float volume) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        volume_ = std::max(0.0f, volume);
    }
    wake_.notify_all();
}

int AudioPlayer::numberOfLoops() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return loops_;
}

void AudioPlayer::setNumberOfLoops(int loops) {
    std::lock_guard<std::mutex> lock(mutex_);
    loops_ = loops < -1 ? -1 : loops;
}

void AudioPlayer::audioSessionBeginInterruption() {
    pause();
    if (delegate_) delegate_->audioPlayerBeginInterruption(this);
}

void AudioPlayer::audioSessionEndInterruption(int flags) {
    (void)flags;
    if (delegate_) delegate_->audioPlayerEndInterruption(this);
}

void AudioPlayer::postFinished(unsigned long generation) {
    std::shared_ptr<Life> life = life_;
    RunLoop::main().performOnMainThread(
        [life, generation] {
            AudioPlayer* p = life->player;
            if (!p) return;
            {
                std::lock_guard<std::mutex> lock(p->mutex_);
                // Played, paused or moved again since: no longer finished.
                if (p->generation_ != generation || p->playing_) return;
            }
            Ref<AudioPlayer> keep(p);   // the delegate may let go of it
            if (p->delegate_) p->delegate_->audioPlayerDidFinishPlaying(p, true);
        },
        false);
}

// The streaming thread: keeps kBufferCount buffers queued while playing,
// applies seeks and volume, pauses the source when asked, and notices the end.
void AudioPlayer::run() {
    ScopedThreadContext threadContext(context_);
    ALuint source = 0;
    ALuint buffers[kBufferCount] = {};
    if (threadContext.ok()) {
        alGetError();
        alGenSources(1, &source);
        alGenBuffers(kBufferCount, buffers);
    }
    if (!threadContext.ok() || alGetError() != AL_NO_ERROR) {
        // Nothing can play: say so through isPlaying and stop listening.
        std::lock_guard<std::mutex> lock(mutex_);
        playing_ = false;
        return;
    }

    struct Queued {
        ALuint buffer;
        long long startFrame;
    };
    std::deque<Queued> queued;
    std::vector<ALuint> freeBuffers(buffers, buffers + kBufferCount);
    std::vector<short> pcm(static_cast<size_t>(kFramesPerBuffer) * static_cast<size_t>(stream_.channels()));
    const ALsizei frameBytes = static_cast<ALsizei>(stream_.channels() * sizeof(short));
    long long decodeFrame = 0;
    bool atEnd = false;
    int loopsDone = 0;
    float appliedGain = -1;

    auto dropQueue = [&] {
        alSourceStop(source);
        alSourcei(source, AL_BUFFER, 0);
        for (const Queued& q : queued) freeBuffers.push_back(q.buffer);
        queued.clear();
    };

    std::unique_lock<std::mutex> lock(mutex_);
    while (!quit_) {
        if (seekFrame_ >= 0) {
            dropQueue();
            stream_.seek(seekFrame_);
            decodeFrame = positionFrame_ = seekFrame_;
            seekFrame_ = -1;
            atEnd = false;
            loopsDone = 0;
        }
        if (volume_ != appliedGain) {
            alSourcef(source, AL_GAIN, volume_);
            appliedGain = volume_;
        }
        if (playing_) {
            ALint processed = 0;
            alGetSourcei(source, AL_BUFFERS_PROCESSED, &processed);
            while (processed-- > 0 && !queued.empty()) {
                ALuint b = queued.front().buffer;
                alSourceUnqueueBuffers(source, 1, &b);
                queued.pop_front();
                freeBuffers.push_back(b);
            }
            bool justRewound = false;
            while (!freeBuffers.empty() && !atEnd) {
                long long got = stream_.read(pcm.data(), kFramesPerBuffer);
                if (got == 0) {
                    // A file that yields nothing right after a rewind would
                    // spin forever: treat it as the end.
                    if (!justRewound && (loops_ < 0 || loopsDone < loops_) && stream_.seek(0)) {
                        ++loopsDone;
                        decodeFrame = 0;
                        justRewound = true;
                        continue;
                    }
                    atEnd = true;
                    break;
                }
                justRewound = false;
                ALuint b = freeBuffers.back();
                freeBuffers.pop_back();
                alBufferData(b, alFormat_, pcm.data(), static_cast<ALsizei>(got) * frameBytes, sampleRate_);
                alSourceQueueBuffers(source, 1, &b);
                queued.push_back({b, decodeFrame});
                decodeFrame += got;
            }
            ALint state = 0;
            alGetSourcei(source, AL_SOURCE_STATE, &state);
            if (!queued.empty()) {
                // Also restarts a source that ran dry between two polls.
                if (state != AL_PLAYING) alSourcePlay(source);
                ALint offset = 0;
                alGetSourcei(source, AL_SAMPLE_OFFSET, &offset);
                positionFrame_ = queued.front().startFrame + offset;
            } else if (atEnd) {
                // Everything played: back to the start, as a finished
                // player is, and tell the delegate on the main thread.
                dropQueue();
                stream_.seek(0);
                decodeFrame = positionFrame_ = 0;
                atEnd = false;
                loopsDone = 0;
                playing_ = false;
                postFinished(generation_);
            }
        } else {
            ALint state = 0;
            alGetSourcei(source, AL_SOURCE_STATE, &state);
            if (state == AL_PLAYING) alSourcePause(source);
        }
        alGetError();
        wake_.wait_for(lock, kPollInterval);
    }
    lock.unlock();
    dropQueue();
    alDeleteSources(1, &source);
    alDeleteBuffers(kBufferCount, buffers);
}

}  // namespace host
