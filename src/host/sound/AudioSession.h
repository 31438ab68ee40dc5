// The device's audio session, as the host emulates it: the app names a
// category (how its sound mixes with other audio) and activates the
// session; the device may interrupt it (a phone call) and later end the
// interruption. There is no other audio on this host, so categories and
// activation always succeed and "other audio playing" is no, unless the
// emulation knobs below say otherwise.
#pragma once

#include <mutex>
#include <string>
#include <vector>

namespace host {

extern const char* const kAudioSessionCategoryAmbient;
extern const char* const kAudioSessionCategorySoloAmbient;
extern const char* const kAudioSessionCategoryPlayback;
extern const char* const kAudioSessionCategoryPlayAndRecord;

// The flag an interruption ends with when the app should resume its audio.
enum { kAudioSessionInterruptionShouldResume = 1 };

// Told about interruptions of the whole session (the app's audio manager).
class AudioSessionDelegate {
public:
    virtual ~AudioSessionDelegate() = default;
    virtual void beginInterruption() {}
    virtual void endInterruption() {}
    // The session calls this form; by default it is the plain one.
    virtual void endInterruptionWithFlags(int flags) {
        (void)flags;
        endInterruption();
    }
};

// Told about interruptions by the session as well (the long-audio players,
// which stop while an interruption lasts).
class AudioInterruptionListener {
public:
    virtual ~AudioInterruptionListener() = default;
    virtual void audioSessionBeginInterruption() = 0;
    virtual void audioSessionEndInterruption(int flags) = 0;
};

class AudioSession {
public:
    static AudioSession& sharedInstance();

    // Not retained: a delegate clears itself before it goes.
    void setDelegate(AudioSessionDelegate* d);
    AudioSessionDelegate* delegate() const;

    bool setCategory(const std::string& category, std::string* error);
    std::string category() const;
    bool setActive(bool active, std::string* error);
    bool isActive() const;
    bool otherAudioIsPlaying() const;
    // The output route's name; empty when there is no output.
    std::string audioRoute() const;

    // The device raising an interruption, and ending it with flags.
    void beginInterruption();
    void endInterruption(int flags);

    void addInterruptionListener(AudioInterruptionListener* l);
    void removeInterruptionListener(AudioInterruptionListener* l);

    // ---- Emulation knobs (the desktop has no phone call) -------------------
    void setOtherAudioPlaying(bool playing);
    void setAudioRoute(const std::string& route);
    // The next `count` activations fail, as they can on a device while a
    // call is still being torn down.
    void failNextActivations(int count);
    // Back to the state of a fresh start (tests).
    void reset();

private:
    AudioSession() = default;

    mutable std::mutex mutex_;
    AudioSessionDelegate* delegate_ = nullptr;
    std::vector<AudioInterruptionListener*> listeners_;
    std::string category_ = kAudioSessionCategorySoloAmbient;
    bool active_ = false;
    bool otherAudioPlaying_ = false;
    std::string route_ = "Speaker";
    int failingActivations_ = 0;
};

}  // namespace host
