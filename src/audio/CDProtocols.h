// What the sound engine's objects have in common: the codes a play request
// can fail with, the notifications the audio objects post, and the small
// protocols that let mute/enable switches and transport calls reach any of
// them.
#pragma once

class CDLongAudioSource;

// Returned instead of an OpenAL source name when a play request is refused
// (engine disabled or not functioning, sound not loaded, group silenced).
constexpr unsigned kCDSoundRefused = 0xFEEDBAB;
// Returned when no source could be had or OpenAL failed to play.
constexpr unsigned kCDNoSource = 0xFEEDFAC;

// A play failed and no OpenAL context was current.
extern const char* const kCDN_BadAlContext;
// An asynchronous buffer load finished.
extern const char* const kCDN_AsynchLoadComplete;
// The shared audio manager has been created.
extern const char* const kCDN_AudioManagerInitialised;

// Objects that can be muted and disabled as a group.
class CDAudioInterruptProtocol {
public:
    virtual ~CDAudioInterruptProtocol() = default;
    virtual bool mute() const = 0;
    virtual void setMute(bool mute) = 0;
    virtual bool enabled() const = 0;
    virtual void setEnabled(bool enabled) = 0;
};

// Objects with a play/pause/stop/rewind transport; each says whether it worked.
class CDAudioTransportProtocol {
public:
    virtual ~CDAudioTransportProtocol() = default;
    virtual bool play() = 0;
    virtual bool pause() = 0;
    virtual bool stop() = 0;
    virtual bool rewind() = 0;
};

// Told about a long-audio channel's events; both are optional.
class CDLongAudioSourceDelegate {
public:
    virtual ~CDLongAudioSourceDelegate() = default;
    virtual void cdAudioSourceDidFinishPlaying(CDLongAudioSource* source) { (void)source; }
    virtual void cdAudioSourceFileDidChange(CDLongAudioSource* source) { (void)source; }
};
