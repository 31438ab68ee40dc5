// The sound-effect engine: short sounds played through OpenAL.
//
// Sounds live in a table of OpenAL buffers addressed by small integer
// sound ids. Up to 32 OpenAL sources form a pool, partitioned into source
// groups; a play names a sound and a group, and the group hands out its
// sources in turn. An interruptible group cuts off its oldest sound when
// every source is busy; a non-interruptible one leaves playing sources
// alone and reports that no source was free. A source held by a
// CDSoundSource is locked and never handed out.
//
// Without an audio device the engine still exists but is "not
// functioning": plays are refused, held sources are nil, loads fail.
#pragma once

#include <AL/al.h>
#include <AL/alc.h>

#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "audio/CDProtocols.h"
#include "host/core/Object.h"
#include "host/core/Ref.h"
#include "host/data/PlistValue.h"
#include "host/sound/AudioDevice.h"

class CDSoundSource;
class CDBufferLoadRequest;

class CDSoundEngine : public host::Object, public CDAudioInterruptProtocol {
public:
    // One sound id's buffer.
    struct _bufferInfo {
        ALuint alBuffer = 0;
        int state = 0;                 // kBufferEmpty, kBufferLoaded, kBufferFailed
        void* bufferData = nullptr;    // stays null: OpenAL keeps its own copy
        ALenum format = 0;
        ALsizei byteCount = 0;
        ALsizei sampleRate = 0;
    };
    enum { kBufferEmpty = 0, kBufferLoaded = 1, kBufferFailed = 2 };

    // One entry of the source pool.
    struct _sourceInfo {
        bool available = false;        // the OpenAL source exists
        ALuint alSource = 0;
        ALuint boundBuffer = 0;        // buffer last attached, 0 for none
    };

    // A run of the pool. Each slot is (pool index * 2) + lock bit.
    struct _sourceGroup {
        int nextSlot = 0;
        int scanSlot = 0;
        int slotCount = 0;
        bool silenced = false;
        bool keepPlaying = false;      // non-interruptible
        std::vector<int> slots;
    };

    static constexpr int kMaxSources = 32;
    static constexpr int kInitialBufferTotal = 64;
    static constexpr int kBufferTotalIncrement = 16;
    // A table larger than this is a programming error, not a request.
    static constexpr int kMaxBufferTotal = 1 << 16;

    // The mixer rate for engines created afterwards (44100 unless set).
    static void setMixerSampleRate(ALfloat sampleRate);
    static ALfloat mixerSampleRate();

    // Always succeeds; check functioning() for whether sound works.
    bool init();

    // The OpenAL source name, kCDSoundRefused or kCDNoSource.
    ALuint playSound(int soundId, int sourceGroupId, float pitch, float pan, float gain, bool loop);
    // An autoreleased held source playing `soundId`, or nullptr.
    CDSoundSource* soundSourceForSound(int soundId, int sourceGroupId);
    void stopSound(ALuint sourceId);
    void stopSourceGroup(int sourceGroupId);
    void stopAllSounds();

    // Group sizes, in pool order. The array form reads numbers; anything
    // else counts 0. The sizes must add up to at most 32.
    void defineSourceGroups(const host::PlistValue::Array& sourceGroupDefinitions);
    void defineSourceGroups(const int* sourceGroupDefinitions, int total);
    void setSourceGroupNonInterruptible(int sourceGroupId, bool isNonInterruptible);
    // true silences the group (and stops it); false lets it play again.
    void setSourceGroupEnabled(int sourceGroupId, bool enabled);
    // Whether the group is silenced.
    bool sourceGroupEnabled(int sourceGroupId) const;

    bool loadBuffer(int soundId, const std::string& filePath);
    bool loadBufferFromData(int soundId, const void* soundData, ALenum format, ALsizei size, ALsizei freq);
    bool unloadBuffer(int soundId);
    // Loads on a background thread; progress in asynchLoadProgress(), then
    // kCDN_AsynchLoadComplete is posted (from that thread).
    void loadBuffersAsynchronously(const std::vector<host::Ref<CDBufferLoadRequest>>& loadRequests);

    bool validateBufferId(int soundId) const;
    float bufferDurationInSeconds(int soundId) const;
    ALsizei bufferSizeInBytes(int soundId) const;
    ALsizei bufferFrequencyInHertz(int soundId) const;

    ALfloat masterGain() const;
    void setMasterGain(ALfloat newGainValue);
    bool mute() const override { return mute_; }
    void setMute(bool newMuteValue) override;
    bool enabled() const override { return enabled_; }
    void setEnabled(bool enabledValue) override;

    int sourceTotal() const { return sourceTotal_; }
    unsigned sourceGroupTotal() const { return static_cast<unsigned>(_sourceGroups.size()); }
    int bufferTotal() const;
    bool functioning() const { return functioning_; }
    ALenum lastErrorCode() const { return lastErrorCode_.load(); }
    bool getGainWorks() const { return getGainWorks_; }
    float asynchLoadProgress() const { return asynchLoadProgress_.load(); }
    void setAsynchLoadProgress(float p) { asynchLoadProgress_.store(p); }
    ALCcontext* openALContext() const { return context; }

    // The OpenAL source name of a pool entry, 0 when it does not exist.
    ALuint sourceNameAtIndex(int sourceIndex) const;
    // Whether a pool entry is locked by a held source (for inspection).
    bool isSourceLocked(int sourceIndex) const;

protected:
    ~CDSoundEngine() override;

private:
    friend class CDSoundSource;

    bool _initOpenAL();
    void _generateBuffers(int startIndex, int endIndex);
    void _generateSources();
    void _testGetGain();
    bool _setUpSourceGroups(const int* definitions, int total);
    void _redefineSourceGroups(const int* definitions, int total);
    void _freeSourceGroups();
    int _getSourceIndexForSourceGroup(int sourceGroupId);
    bool _lockSource(int sourceIndex, bool lock);
    bool _soundSourceAttachToBuffer(CDSoundSource* soundSource, int soundId);
    void _soundSourcePreRelease(CDSoundSource* soundSource);
    bool _resizeBuffers(int increment);
    bool validGroup(int sourceGroupId) const;
    bool sourceIsPlaying(ALuint source) const;

    std::vector<_bufferInfo> _buffers;
    _sourceInfo _sources[kMaxSources];
    int sourceTotal_ = 0;
    std::vector<_sourceGroup> _sourceGroups;
    std::shared_ptr<host::AudioDevice> device_;
    ALCcontext* context = nullptr;
    ALfloat _preMuteGain = 1.0f;
    // Serialises loads from the main thread and the loader thread, and
    // guards the buffer table they may grow against readers.
    mutable std::recursive_mutex _mutexBufferLoad;
    std::mutex asynchLoadLock_;
    bool mute_ = false;
    bool enabled_ = false;
    // Written by loads on the loader thread too.
    std::atomic<ALenum> lastErrorCode_{AL_NO_ERROR};
    bool functioning_ = false;
    std::atomic<float> asynchLoadProgress_{0.0f};
    bool getGainWorks_ = false;
    // Held sources still alive, told when the engine goes first.
    std::vector<CDSoundSource*> heldSources_;
};
