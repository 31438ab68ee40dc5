#include "audio/CDSoundSource.h"

#include <AL/alc.h>

#include "audio/CDSoundEngine.h"
#include "host/core/NotificationCenter.h"

bool CDSoundSource::init(ALuint theSourceId, int index, CDSoundEngine* engine) {
    _sourceId = theSourceId;
    _sourceIndex = index;
    _engine = engine;
    enabled_ = true;
    mute_ = false;
    _preMuteGain = gain();
    return true;
}

CDSoundSource::~CDSoundSource() {
    if (_engine) _engine->_soundSourcePreRelease(this);
}

bool CDSoundSource::live() const {
    if (_engine) return true;
    lastError_ = AL_INVALID_OPERATION;
    return false;
}

bool CDSoundSource::recordError() const {
    lastError_ = alGetError();
    return lastError_ == AL_NO_ERROR;
}

bool CDSoundSource::play() {
    if (!enabled_ || !live()) return false;
    alGetError();
    alSourcePlay(_sourceId);
    if (recordError()) return true;
    if (!alcGetCurrentContext()) host::NotificationCenter::defaultCenter().postNotificationName(kCDN_BadAlContext);
    return false;
}

bool CDSoundSource::pause() {
    if (!live()) return false;
    alGetError();
    alSourcePause(_sourceId);
    return recordError();
}

bool CDSoundSource::stop() {
    if (!live()) return false;
    alGetError();
    alSourceStop(_sourceId);
    return recordError();
}

bool CDSoundSource::rewind() {
    if (!live()) return false;
    alGetError();
    alSourceRewind(_sourceId);
    return recordError();
}

float CDSoundSource::pitch() const {
    ALfloat v = 0.0f;
    if (!live()) return v;
    alGetSourcef(_sourceId, AL_PITCH, &v);
    recordError();
    return v;
}

void CDSoundSource::setPitch(float pitch) {
    if (!live()) return;
    alSourcef(_sourceId, AL_PITCH, pitch);
    recordError();
}

float CDSoundSource::gain() const {
    if (mute_) return _preMuteGain;
    ALfloat v = 0.0f;
    if (!live()) return v;
    alGetSourcef(_sourceId, AL_GAIN, &v);
    recordError();
    return v;
}

void CDSoundSource::setGain(float gain) {
    if (mute_) {
        _preMuteGain = gain;
        return;
    }
    if (!live()) return;
    alSourcef(_sourceId, AL_GAIN, gain);
    recordError();
}

float CDSoundSource::pan() const {
    ALfloat pos[3] = {0.0f, 0.0f, 0.0f};
    if (!live()) return pos[0];
    alGetSourcefv(_sourceId, AL_POSITION, pos);
    recordError();
    return pos[0];
}

void CDSoundSource::setPan(float pan) {
    if (!live()) return;
    alSource3f(_sourceId, AL_POSITION, pan, 0.0f, 0.0f);
    recordError();
}

bool CDSoundSource::looping() const {
    ALfloat v = 0.0f;
    if (!live()) return false;
    alGetSourcef(_sourceId, AL_LOOPING, &v);
    recordError();
    return v != 0.0f;
}

void CDSoundSource::setLooping(bool looping) {
    if (!live()) return;
    alSourcei(_sourceId, AL_LOOPING, looping ? AL_TRUE : AL_FALSE);
    recordError();
}

bool CDSoundSource::isPlaying() const {
    ALint state = 0;
    if (!live()) return false;
    alGetSourcei(_sourceId, AL_SOURCE_STATE, &state);
    recordError();
    return state == AL_PLAYING;
}

void CDSoundSource::setSoundId(int soundId) {
    if (live()) _engine->_soundSourceAttachToBuffer(this, soundId);
}

float CDSoundSource::durationInSeconds() const {
    return _engine ? _engine->bufferDurationInSeconds(_soundId) : -1.0f;
}

void CDSoundSource::setMute(bool muteValue) {
    if (muteValue == mute_) return;
    if (muteValue) {
        _preMuteGain = gain();
        setGain(0.0f);
        mute_ = true;
    } else {
        mute_ = false;
        setGain(_preMuteGain);
    }
}

void CDSoundSource::setEnabled(bool enabledValue) {
    if (enabledValue == enabled_) return;
    enabled_ = enabledValue;
    if (!enabled_) stop();
}
