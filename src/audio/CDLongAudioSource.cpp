#include "audio/CDLongAudioSource.h"

#include "audio/CDAudioManager.h"
#include "audio/CDUtilities.h"
#include "host/core/Log.h"

bool CDLongAudioSource::init() {
    state_ = 0;
    volume_ = 1.0f;
    mute_ = false;
    enabled_ = true;
    return true;
}

CDLongAudioSource::~CDLongAudioSource() {
    if (audioSourcePlayer_) audioSourcePlayer_->setDelegate(nullptr);
}

void CDLongAudioSource::load(const std::string& filePath) {
    if (state_ == 1 && filePath == audioSourceFilePath_) {
        if (audioSourcePlayer_) {
            audioSourcePlayer_->pause();
            audioSourcePlayer_->setCurrentTime(0);
        }
    } else {
        if (audioSourcePlayer_) audioSourcePlayer_->setDelegate(nullptr);
        audioSourcePlayer_.reset();
        audioSourceFilePath_ = filePath;
        const std::string path = CDUtilities::fullPathFromRelativePath(filePath);
        std::string error;
        host::AudioPlayer* player = host::createOwned<host::AudioPlayer>(
            [&](host::AudioPlayer* p) { return p->initWithContentsOfFile(path, &error); });
        if (player) {
            audioSourcePlayer_ = host::Ref<host::AudioPlayer>::adopt(player);
            player->prepareToPlay();
            player->setDelegate(this);
            if (delegate_) delegate_->cdAudioSourceFileDidChange(this);
        } else {
            host::log("CDLongAudioSource: cannot play %s: %s", path.c_str(), error.c_str());
        }
    }
    if (audioSourcePlayer_) {
        // A muted channel stays silent with its new file.
        audioSourcePlayer_->setVolume(mute_ ? 0.0f : volume_);
        audioSourcePlayer_->setNumberOfLoops(numberOfLoops_);
    }
    state_ = 1;
}

void CDLongAudioSource::play() {
    if (!enabled_) return;
    systemPaused_ = false;
    if (audioSourcePlayer_) audioSourcePlayer_->play();
}

void CDLongAudioSource::resume() {
    if (audioSourcePlayer_) audioSourcePlayer_->play();
}

void CDLongAudioSource::pause() {
    if (audioSourcePlayer_) audioSourcePlayer_->pause();
}

void CDLongAudioSource::stop() {
    if (audioSourcePlayer_) audioSourcePlayer_->stop();
}

void CDLongAudioSource::rewind() {
    if (audioSourcePlayer_) audioSourcePlayer_->setCurrentTime(0);
}

bool CDLongAudioSource::isPlaying() const {
    return state_ == 1 && audioSourcePlayer_ && audioSourcePlayer_->isPlaying();
}

void CDLongAudioSource::setVolume(float newVolume) {
    volume_ = newVolume;
    if (state_ == 1 && !mute_ && audioSourcePlayer_) audioSourcePlayer_->setVolume(volume_);
}

void CDLongAudioSource::setMute(bool muteValue) {
    if (muteValue == mute_) return;
    if (audioSourcePlayer_) audioSourcePlayer_->setVolume(muteValue ? 0.0f : volume_);
    mute_ = muteValue;
}

void CDLongAudioSource::setEnabled(bool enabledValue) {
    if (enabledValue == enabled_) return;
    enabled_ = enabledValue;
    if (!enabled_) {
        pause();
        rewind();
    }
}

void CDLongAudioSource::setNumberOfLoops(int loopCount) {
    if (audioSourcePlayer_) audioSourcePlayer_->setNumberOfLoops(loopCount);
    numberOfLoops_ = loopCount;
}

void CDLongAudioSource::audioPlayerDidFinishPlaying(host::AudioPlayer*, bool) {
    if (delegate_) delegate_->cdAudioSourceDidFinishPlaying(this);
}

void CDLongAudioSource::audioPlayerBeginInterruption(host::AudioPlayer*) {}

void CDLongAudioSource::audioPlayerEndInterruption(host::AudioPlayer* player) {
    if (!player) return;
    if (!backgroundMusic_ || CDAudioManager::sharedManager()->willPlayBackgroundMusic()) player->play();
}
