// A held sound source: one source of the engine's pool that a caller keeps
// for itself, with its own pitch, pan, gain, looping and transport. While
// it lives the source is locked and no play request takes it; releasing
// the object unlocks it.
#pragma once

#include <AL/al.h>

#include "audio/CDProtocols.h"
#include "host/core/Object.h"

class CDSoundEngine;

class CDSoundSource : public host::Object, public CDAudioInterruptProtocol, public CDAudioTransportProtocol {
public:
    // The engine makes these (soundSourceForSound); `engine` is not retained.
    bool init(ALuint theSourceId, int index, CDSoundEngine* engine);

    bool play() override;
    bool pause() override;
    bool stop() override;
    bool rewind() override;

    float pitch() const;
    void setPitch(float pitch);
    float gain() const;
    void setGain(float gain);
    // -1 left, 0 centre, 1 right: the x of the source's position.
    float pan() const;
    void setPan(float pan);
    bool looping() const;
    void setLooping(bool looping);
    bool isPlaying() const;
    int soundId() const { return _soundId; }
    // Attaches another sound to the source.
    void setSoundId(int soundId);
    float durationInSeconds() const;
    ALenum lastError() const { return lastError_; }

    bool mute() const override { return mute_; }
    void setMute(bool muteValue) override;
    bool enabled() const override { return enabled_; }
    void setEnabled(bool enabledValue) override;

    ALuint sourceId() const { return _sourceId; }
    int sourceIndex() const { return _sourceIndex; }

protected:
    ~CDSoundSource() override;

private:
    friend class CDSoundEngine;
    // False once the engine is gone: every call is then a no-op.
    bool live() const;
    // Reads the OpenAL error into lastError; true when there was none.
    bool recordError() const;

    mutable ALenum lastError_ = AL_NO_ERROR;
    ALuint _sourceId = 0;
    int _sourceIndex = 0;
    CDSoundEngine* _engine = nullptr;
    int _soundId = -1;
    float _preMuteGain = 1.0f;
    bool enabled_ = true;
    bool mute_ = false;
};
