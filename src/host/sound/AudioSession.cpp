#include "host/sound/AudioSession.h"

#include <algorithm>

namespace host {

const char* const kAudioSessionCategoryAmbient = "AudioSessionCategoryAmbient";
const char* const kAudioSessionCategorySoloAmbient = "AudioSessionCategorySoloAmbient";
const char* const kAudioSessionCategoryPlayback = "AudioSessionCategoryPlayback";
const char* const kAudioSessionCategoryPlayAndRecord = "AudioSessionCategoryPlayAndRecord";

AudioSession& AudioSession::sharedInstance() {
    static AudioSession session;
    return session;
}

void AudioSession::setDelegate(AudioSessionDelegate* d) {
    std::lock_guard<std::mutex> lock(mutex_);
    delegate_ = d;
}

AudioSessionDelegate* AudioSession::delegate() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return delegate_;
}

bool AudioSession::setCategory(const std::string& category, std::string* error) {
    std::lock_guard<std::mutex> lock(mutex_);
    category_ = category;
    if (error) error->clear();
    return true;
}

std::string AudioSession::category() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return category_;
}

bool AudioSession::setActive(bool active, std::string* error) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (active && failingActivations_ > 0) {
        --failingActivations_;
        if (error) *error = "the audio session could not be activated";
        return false;
    }
    active_ = active;
    if (error) error->clear();
    return true;
}

bool AudioSession::isActive() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return active_;
}

bool AudioSession::otherAudioIsPlaying() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return otherAudioPlaying_;
}

std::string AudioSession::audioRoute() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return route_;
}

void AudioSession::beginInterruption() {
    // Listeners first, so the players are already silent when the
    // delegate tears the session down. Copies: callbacks may unregister.
    std::vector<AudioInterruptionListener*> listeners;
    AudioSessionDelegate* d;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        listeners = listeners_;
        d = delegate_;
    }
    for (AudioInterruptionListener* l : listeners) l->audioSessionBeginInterruption();
    if (d) d->beginInterruption();
}

void AudioSession::endInterruption(int flags) {
    std::vector<AudioInterruptionListener*> listeners;
    AudioSessionDelegate* d;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        listeners = listeners_;
        d = delegate_;
    }
    // The delegate first: it reactivates the session the players need.
    if (d) d->endInterruptionWithFlags(flags);
    for (AudioInterruptionListener* l : listeners) l->audioSessionEndInterruption(flags);
}

void AudioSession::addInterruptionListener(AudioInterruptionListener* l) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (std::find(listeners_.begin(), listeners_.end(), l) == listeners_.end()) listeners_.push_back(l);
}

void AudioSession::removeInterruptionListener(AudioInterruptionListener* l) {
    std::lock_guard<std::mutex> lock(mutex_);
    listeners_.erase(std::remove(listeners_.begin(), listeners_.end(), l), listeners_.end());
}

void AudioSession::setOtherAudioPlaying(bool playing) {
    std::lock_guard<std::mutex> lock(mutex_);
    otherAudioPlaying_ = playing;
}

void AudioSession::setAudioRoute(const std::string& route) {
    std::lock_guard<std::mutex> lock(mutex_);
    route_ = route;
}

void AudioSession::failNextActivations(int count) {
    std::lock_guard<std::mutex> lock(mutex_);
    failingActivations_ = count < 0 ? 0 : count;
}

void AudioSession::reset() {
    std::lock_guard<std::mutex> lock(mutex_);
    category_ = kAudioSessionCategorySoloAmbient;
    active_ = false;
    otherAudioPlaying_ = false;
    route_ = "Speaker";
    failingActivations_ = 0;
}

}  // namespace host
