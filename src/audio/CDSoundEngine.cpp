#include "audio/CDSoundEngine.h"

#include <algorithm>

#include "audio/CDAsynchBufferLoader.h"
#include "audio/CDOpenALSupport.h"
#include "audio/CDSoundSource.h"
#include "audio/CDUtilities.h"
#include "engine/ccMacros.h"
#include "host/core/BackgroundTask.h"
#include "host/core/Log.h"
#include "host/core/NotificationCenter.h"

namespace {

std::mutex gMixerRateMutex;
ALfloat gMixerSampleRate = 44100.0f;
bool gMixerSampleRateSet = false;

// The platform's mixer-rate extension, where the OpenAL in use has one.
using MixerOutputRateProc = ALvoid (*)(const ALdouble);
MixerOutputRateProc mixerOutputRateProc() {
    static const MixerOutputRateProc proc =
        reinterpret_cast<MixerOutputRateProc>(alcGetProcAddress(nullptr, "alcMacOSXMixerOutputRate"));
    return proc;
}

}  // namespace

// ---- Class settings -----------------------------------------------------------

void CDSoundEngine::setMixerSampleRate(ALfloat sampleRate) {
    std::lock_guard<std::mutex> lock(gMixerRateMutex);
    gMixerSampleRate = sampleRate;
    gMixerSampleRateSet = true;
}

ALfloat CDSoundEngine::mixerSampleRate() {
    std::lock_guard<std::mutex> lock(gMixerRateMutex);
    return gMixerSampleRate;
}

// ---- Start-up and tear-down -----------------------------------------------------

bool CDSoundEngine::init() {
    asynchLoadProgress_ = 0;
    _buffers.assign(kInitialBufferTotal, _bufferInfo());
    if (!_initOpenAL()) {
        functioning_ = false;
        return true;
    }
    const int all = sourceTotal_;
    _setUpSourceGroups(&all, 1);
    functioning_ = true;
    _preMuteGain = masterGain();
    mute_ = false;
    enabled_ = true;
    _testGetGain();
    return true;
}

bool CDSoundEngine::_initOpenAL() {
    context = nullptr;
    ALfloat rate;
    {
        std::lock_guard<std::mutex> lock(gMixerRateMutex);
        if (!gMixerSampleRateSet) {
            gMixerSampleRate = 44100.0f;
            gMixerSampleRateSet = true;
        }
        rate = gMixerSampleRate;
    }
    if (MixerOutputRateProc proc = mixerOutputRateProc()) proc(rate);

    device_ = host::AudioDevice::openDefault();
    if (!device_) {
        host::log("sound is off: no audio device");
        return false;
    }
    context = alcCreateContext(device_->alcDevice(), nullptr);
    if (!context) {
        host::log("CDSoundEngine: no OpenAL context could be created; sound is off");
        device_.reset();
        return false;
    }
    alcMakeContextCurrent(context);
    _generateBuffers(0, static_cast<int>(_buffers.size()) - 1);
    _generateSources();
    alGetError();
    return true;
}

void CDSoundEngine::_generateBuffers(int startIndex, int endIndex) {
    alGetError();
    for (int i = startIndex; i <= endIndex; ++i) {
        _bufferInfo& b = _buffers[static_cast<size_t>(i)];
        alGenBuffers(1, &b.alBuffer);
        b.bufferData = nullptr;
        b.state = alGetError() == AL_NO_ERROR ? kBufferEmpty : kBufferFailed;
    }
}

void CDSoundEngine::_generateSources() {
    sourceTotal_ = 0;
    for (_sourceInfo& s : _sources) s = _sourceInfo();
    alGetError();
    while (sourceTotal_ < kMaxSources) {
        _sourceInfo& s = _sources[sourceTotal_];
        alGenSources(1, &s.alSource);
        if (alGetError() != AL_NO_ERROR) {
            s = _sourceInfo();
            break;
        }
        alSourcei(s.alSource, AL_BUFFER, 0);
        if (alGetError() != AL_NO_ERROR) break;
        s.available = true;
        ++sourceTotal_;
    }
}

void CDSoundEngine::_testGetGain() {
    if (sourceTotal_ == 0) {
        getGainWorks_ = false;
        return;
    }
    const ALfloat testValue = 0.7f;
    ALuint source = _sources[0].alSource;
    alSourcef(source, AL_GAIN, 0.0f);
    alSourcef(source, AL_GAIN, testValue);
    ALfloat readBack = 0.0f;
    alGetSourcef(source, AL_GAIN, &readBack);
    getGainWorks_ = readBack == testValue;
}

CDSoundEngine::~CDSoundEngine() {
    // Held sources that outlive the engine become inert.
    for (CDSoundSource* s : heldSources_) s->_engine = nullptr;
    heldSources_.clear();
    if (!context) return;

    // Talk to our own context while deleting, whatever is current now.
    ALCcontext* previous = alcGetCurrentContext();
    if (previous != context) alcMakeContextCurrent(context);
    stopAllSounds();
    _freeSourceGroups();
    for (int i = 0; i < sourceTotal_; ++i) {
        alSourcei(_sources[i].alSource, AL_BUFFER, 0);
        alDeleteSources(1, &_sources[i].alSource);
        lastErrorCode_ = alGetError();
    }
    {
        std::lock_guard<std::recursive_mutex> lock(_mutexBufferLoad);
        for (_bufferInfo& b : _buffers) {
            if (b.alBuffer) alDeleteBuffers(1, &b.alBuffer);
        }
        _buffers.clear();
    }
    alcMakeContextCurrent(previous == context ? nullptr : previous);
    alcDestroyContext(context);
    context = nullptr;
    device_.reset();
}

// ---- Source groups ----------------------------------------------------------------

bool CDSoundEngine::validGroup(int sourceGroupId) const {
    return sourceGroupId >= 0 && sourceGroupId < static_cast<int>(_sourceGroups.size());
}

bool CDSoundEngine::_setUpSourceGroups(const int* definitions, int total) {
    if (total < 0 || (total > 0 && !definitions)) return false;
    int sum = 0;
    for (int i = 0; i < total; ++i) sum += std::max(0, definitions[i]);
    CCAssert(sum <= kMaxSources, "CDSoundEngine: source groups ask for more than 32 sources");
    _sourceGroups.assign(static_cast<size_t>(total), _sourceGroup());
    int start = 0;
    for (int g = 0; g < total; ++g) {
        _sourceGroup& group = _sourceGroups[static_cast<size_t>(g)];
        group.slotCount = std::max(0, definitions[g]);
        group.slots.resize(static_cast<size_t>(group.slotCount));
        for (int s = 0; s < group.slotCount; ++s) group.slots[static_cast<size_t>(s)] = (start + s) << 1;
        start += group.slotCount;
    }
    return true;
}

void CDSoundEngine::_freeSourceGroups() { _sourceGroups.clear(); }

void CDSoundEngine::_redefineSourceGroups(const int* definitions, int total) {
    if (!_sourceGroups.empty()) {
        stopAllSounds();
        _freeSourceGroups();
    }
    _setUpSourceGroups(definitions, total);
}

void CDSoundEngine::defineSourceGroups(const int* sourceGroupDefinitions, int total) {
    _redefineSourceGroups(sourceGroupDefinitions, total);
}

void CDSoundEngine::defineSourceGroups(const host::PlistValue::Array& sourceGroupDefinitions) {
    std::vector<int> counts;
    counts.reserve(sourceGroupDefinitions.size());
    for (const host::PlistValue& v : sourceGroupDefinitions)
        counts.push_back(v.isNumber() ? static_cast<int>(v.asInt()) : 0);
    _redefineSourceGroups(counts.data(), static_cast<int>(counts.size()));
}

void CDSoundEngine::setSourceGroupNonInterruptible(int sourceGroupId, bool isNonInterruptible) {
    if (validGroup(sourceGroupId)) _sourceGroups[static_cast<size_t>(sourceGroupId)].keepPlaying = isNonInterruptible;
}

void CDSoundEngine::setSourceGroupEnabled(int sourceGroupId, bool enabled) {
    if (!validGroup(sourceGroupId)) return;
    _sourceGroups[static_cast<size_t>(sourceGroupId)].silenced = enabled;
    if (enabled) stopSourceGroup(sourceGroupId);
}

bool CDSoundEngine::sourceGroupEnabled(int sourceGroupId) const {
    return validGroup(sourceGroupId) && _sourceGroups[static_cast<size_t>(sourceGroupId)].silenced;
}

bool CDSoundEngine::sourceIsPlaying(ALuint source) const {
    ALint state = 0;
    alGetSourcei(source, AL_SOURCE_STATE, &state);
    return state == AL_PLAYING;
}

int CDSoundEngine::_getSourceIndexForSourceGroup(int sourceGroupId) {
    if (!validGroup(sourceGroupId)) return static_cast<int>(kCDNoSource);
    _sourceGroup& group = _sourceGroups[static_cast<size_t>(sourceGroupId)];
    if (group.slotCount == 0) return static_cast<int>(kCDNoSource);
    if (group.nextSlot >= group.slotCount) group.nextSlot = 0;

    int chosen = -1;
    group.scanSlot = group.nextSlot;
    do {
        int slot = group.slots[static_cast<size_t>(group.scanSlot)];
        if ((slot & 1) == 0) {
            int index = slot >> 1;
            if (!group.keepPlaying || !sourceIsPlaying(_sources[index].alSource)) {
                chosen = slot;
                group.nextSlot = group.scanSlot + 1;
                break;
            }
        }
        if (++group.scanSlot >= group.slotCount) group.scanSlot = 0;
    } while (group.scanSlot != group.nextSlot);

    if (group.nextSlot >= group.slotCount) group.nextSlot = 0;
    return chosen < 0 ? static_cast<int>(kCDNoSource) : chosen >> 1;
}

bool CDSoundEngine::_lockSource(int sourceIndex, bool lock) {
    for (_sourceGroup& group : _sourceGroups) {
        for (int& slot : group.slots) {
            if ((slot >> 1) == sourceIndex) {
                slot = lock ? (slot | 1) : (slot & ~1);
                return true;
            }
        }
    }
    return false;
}

bool CDSoundEngine::isSourceLocked(int sourceIndex) const {
    for (const _sourceGroup& group : _sourceGroups) {
        for (int slot : group.slots) {
            if ((slot >> 1) == sourceIndex) return (slot & 1) != 0;
        }
    }
    return false;
}

ALuint CDSoundEngine::sourceNameAtIndex(int sourceIndex) const {
    if (sourceIndex < 0 || sourceIndex >= kMaxSources || !_sources[sourceIndex].available) return 0;
    return _sources[sourceIndex].alSource;
}

// ---- Playing --------------------------------------------------------------------

ALuint CDSoundEngine::playSound(int soundId, int sourceGroupId, float pitch, float pan, float gain, bool loop) {
    if (!enabled_ || !functioning_ || !validateBufferId(soundId)) return kCDSoundRefused;
    if (!validGroup(sourceGroupId)) return kCDNoSource;
    if (_sourceGroups[static_cast<size_t>(sourceGroupId)].silenced) return kCDSoundRefused;

    int index = _getSourceIndexForSourceGroup(sourceGroupId);
    if (index == static_cast<int>(kCDNoSource)) return kCDNoSource;

    ALuint source = _sources[index].alSource;
    ALuint buffer;
    {
        std::lock_guard<std::recursive_mutex> lock(_mutexBufferLoad);
        buffer = _buffers[static_cast<size_t>(soundId)].alBuffer;
    }
    alGetError();
    if (sourceIsPlaying(source)) alSourceStop(source);
    alSourcei(source, AL_BUFFER, static_cast<ALint>(buffer));
    alSourcef(source, AL_PITCH, pitch);
    alSourcei(source, AL_LOOPING, loop ? AL_TRUE : AL_FALSE);
    alSourcef(source, AL_GAIN, gain);
    alSource3f(source, AL_POSITION, pan, 0.0f, 0.0f);
    alGetError();
    alSourcePlay(source);
    lastErrorCode_ = alGetError();
    if (lastErrorCode_ == AL_NO_ERROR) {
        _sources[index].boundBuffer = buffer;
        return source;
    }
    if (!alcGetCurrentContext()) host::NotificationCenter::defaultCenter().postNotificationName(kCDN_BadAlContext);
    return kCDNoSource;
}

void CDSoundEngine::stopSound(ALuint sourceId) {
    if (!functioning_) return;
    alSourceStop(sourceId);
    alGetError();
}

void CDSoundEngine::stopSourceGroup(int sourceGroupId) {
    if (!functioning_ || !validGroup(sourceGroupId)) return;
    for (int slot : _sourceGroups[static_cast<size_t>(sourceGroupId)].slots)
        alSourceStop(_sources[slot >> 1].alSource);
    alGetError();
}

void CDSoundEngine::stopAllSounds() {
    for (int i = 0; i < sourceTotal_; ++i) alSourceStop(_sources[i].alSource);
    alGetError();
}

// ---- Held sources -------------------------------------------------------------------

CDSoundSource* CDSoundEngine::soundSourceForSound(int soundId, int sourceGroupId) {
    if (!functioning_) return nullptr;
    int index = _getSourceIndexForSourceGroup(sourceGroupId);
    if (index == static_cast<int>(kCDNoSource)) return nullptr;

    host::Ref<CDSoundSource> held = host::Ref<CDSoundSource>::adopt(new CDSoundSource);
    held->init(_sources[index].alSource, index, this);
    heldSources_.push_back(held.get());
    _lockSource(index, true);
    // On failure the Ref lets go, which unlocks the source again.
    if (!_soundSourceAttachToBuffer(held.get(), soundId)) return nullptr;
    held->setPitch(1.0f);
    held->setPan(0.0f);
    held->setGain(1.0f);
    held->setLooping(false);
    held->retain();
    return host::autorelease(held.get());
}

bool CDSoundEngine::_soundSourceAttachToBuffer(CDSoundSource* soundSource, int soundId) {
    std::lock_guard<std::recursive_mutex> lock(_mutexBufferLoad);
    if (soundId < 0 || soundId >= static_cast<int>(_buffers.size())) {
        lastErrorCode_ = AL_INVALID_VALUE;
        return false;
    }
    ALuint source = soundSource->_sourceId;
    ALuint buffer = _buffers[static_cast<size_t>(soundId)].alBuffer;
    alGetError();
    if (sourceIsPlaying(source)) alSourceStop(source);
    alSourcei(source, AL_BUFFER, static_cast<ALint>(buffer));
    lastErrorCode_ = alGetError();
    if (lastErrorCode_ != AL_NO_ERROR) return false;
    _sources[soundSource->_sourceIndex].boundBuffer = buffer;
    soundSource->_soundId = soundId;
    return true;
}

void CDSoundEngine::_soundSourcePreRelease(CDSoundSource* soundSource) {
    heldSources_.erase(std::remove(heldSources_.begin(), heldSources_.end(), soundSource), heldSources_.end());
    _lockSource(soundSource->_sourceIndex, false);
}

// ---- Buffers ------------------------------------------------------------------------

int CDSoundEngine::bufferTotal() const {
    std::lock_guard<std::recursive_mutex> lock(_mutexBufferLoad);
    return static_cast<int>(_buffers.size());
}

bool CDSoundEngine::validateBufferId(int soundId) const {
    std::lock_guard<std::recursive_mutex> lock(_mutexBufferLoad);
    return soundId >= 0 && soundId < static_cast<int>(_buffers.size()) &&
           _buffers[static_cast<size_t>(soundId)].state == kBufferLoaded;
}

ALsizei CDSoundEngine::bufferSizeInBytes(int soundId) const {
    std::lock_guard<std::recursive_mutex> lock(_mutexBufferLoad);
    return validateBufferId(soundId) ? _buffers[static_cast<size_t>(soundId)].byteCount : -1;
}

ALsizei CDSoundEngine::bufferFrequencyInHertz(int soundId) const {
    std::lock_guard<std::recursive_mutex> lock(_mutexBufferLoad);
    return validateBufferId(soundId) ? _buffers[static_cast<size_t>(soundId)].sampleRate : -1;
}

float CDSoundEngine::bufferDurationInSeconds(int soundId) const {
    std::lock_guard<std::recursive_mutex> lock(_mutexBufferLoad);
    if (!validateBufferId(soundId)) return -1.0f;
    const _bufferInfo& b = _buffers[static_cast<size_t>(soundId)];
    float factor;
    switch (b.format) {
        case AL_FORMAT_MONO8: factor = 1.0f; break;
        case AL_FORMAT_MONO16:
        case AL_FORMAT_STEREO8: factor = 0.5f; break;
        case AL_FORMAT_STEREO16: factor = 0.25f; break;
        default: factor = 0.0f; break;
    }
    return static_cast<float>(b.byteCount) / static_cast<float>(b.sampleRate) * factor;
}

bool CDSoundEngine::_resizeBuffers(int increment) {
    const int oldTotal = static_cast<int>(_buffers.size());
    const int newTotal = oldTotal + increment;
    if (increment <= 0 || newTotal > kMaxBufferTotal) return false;
    _buffers.resize(static_cast<size_t>(newTotal));
    _generateBuffers(oldTotal, newTotal - 1);
    return true;
}

bool CDSoundEngine::loadBuffer(int soundId, const std::string& filePath) {
    std::string path = CDUtilities::fullPathFromRelativePath(filePath);
    if (path.empty()) return false;
    ALsizei size = 0;
    ALenum format = 0;
    ALsizei freq = 0;
    CDAudioData data = CDGetOpenALAudioData(path, &size, &format, &freq);
    return loadBufferFromData(soundId, data.get(), format, size, freq);
}

bool CDSoundEngine::loadBufferFromData(int soundId, const void* soundData, ALenum format, ALsizei size,
                                       ALsizei freq) {
    std::lock_guard<std::recursive_mutex> lock(_mutexBufferLoad);
    if (!functioning_ || soundId < 0) return false;
    const int total = static_cast<int>(_buffers.size());
    if (soundId >= total) {
        // The smallest multiple of the increment that takes the id in.
        const int increment = ((soundId - total) / kBufferTotalIncrement + 1) * kBufferTotalIncrement;
        if (!_resizeBuffers(increment)) {
            host::log("CDSoundEngine: sound id %d is beyond the buffer table's limit", soundId);
            return false;
        }
    }
    _bufferInfo& b = _buffers[static_cast<size_t>(soundId)];
    if (!soundData) {
        b.state = kBufferFailed;
        return false;
    }
    if (b.state != kBufferEmpty && !unloadBuffer(soundId)) return false;
    alGetError();
    alBufferData(b.alBuffer, format, soundData, size, freq);
    lastErrorCode_ = alGetError();
    if (lastErrorCode_ != AL_NO_ERROR) {
        b.state = kBufferFailed;
        return false;
    }
    b.format = format;
    b.byteCount = size;
    b.sampleRate = freq;
    b.state = kBufferLoaded;
    return true;
}

bool CDSoundEngine::unloadBuffer(int soundId) {
    std::lock_guard<std::recursive_mutex> lock(_mutexBufferLoad);
    // Any record in the table may be unloaded, a failed one included: that
    // is how a failed record is regenerated for the next load into it.
    if (!functioning_ || soundId < 0 || soundId >= static_cast<int>(_buffers.size())) return false;
    _bufferInfo& b = _buffers[static_cast<size_t>(soundId)];
    for (int i = 0; i < sourceTotal_; ++i) {
        _sourceInfo& s = _sources[i];
        if (s.boundBuffer != b.alBuffer) continue;
        alSourceStop(s.alSource);
        alGetError();
        alSourcei(s.alSource, AL_BUFFER, 0);
        if (alGetError() == AL_NO_ERROR) s.boundBuffer = 0;
    }
    alGetError();
    if (b.alBuffer) alDeleteBuffers(1, &b.alBuffer);
    if ((lastErrorCode_ = alGetError()) != AL_NO_ERROR) {
        b.state = kBufferFailed;
        return false;
    }
    b.alBuffer = 0;
    alGenBuffers(1, &b.alBuffer);
    if ((lastErrorCode_ = alGetError()) != AL_NO_ERROR) {
        b.state = kBufferFailed;
        return false;
    }
    b.state = kBufferEmpty;
    b.format = 0;
    b.byteCount = 0;
    b.sampleRate = 0;
    return true;
}

void CDSoundEngine::loadBuffersAsynchronously(const std::vector<host::Ref<CDBufferLoadRequest>>& loadRequests) {
    std::lock_guard<std::mutex> lock(asynchLoadLock_);
    asynchLoadProgress_ = 0.0f;
    host::Ref<CDAsynchBufferLoader> loader = host::Ref<CDAsynchBufferLoader>::adopt(
        host::createOwned<CDAsynchBufferLoader>([&](CDAsynchBufferLoader* l) { return l->init(loadRequests, this); }));
    if (!loader) return;
    host::BackgroundTask::run([loader] { loader->main(); });
}

// ---- Gains, mute, enable ------------------------------------------------------------

ALfloat CDSoundEngine::masterGain() const {
    if (mute_ || !functioning_) return _preMuteGain;
    ALfloat gain = 0.0f;
    alGetListenerf(AL_GAIN, &gain);
    return gain;
}

void CDSoundEngine::setMasterGain(ALfloat newGainValue) {
    if (mute_ || !functioning_) {
        _preMuteGain = newGainValue;
        return;
    }
    alListenerf(AL_GAIN, newGainValue);
}

void CDSoundEngine::setMute(bool newMuteValue) {
    if (newMuteValue == mute_) return;
    if (newMuteValue) {
        _preMuteGain = masterGain();
        mute_ = true;
        if (functioning_) alListenerf(AL_GAIN, 0.0f);
    } else {
        mute_ = false;
        setMasterGain(_preMuteGain);
    }
}

void CDSoundEngine::setEnabled(bool enabledValue) {
    if (enabledValue == enabled_) return;
    enabled_ = enabledValue;
    if (!enabled_) stopAllSounds();
}
