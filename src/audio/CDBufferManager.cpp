#include "audio/CDBufferManager.h"

#include "audio/CDSoundEngine.h"

bool CDBufferManager::initWithEngine(CDSoundEngine* theSoundEngine) {
    soundEngine_ = theSoundEngine;
    nextBufferId_ = 0;
    return true;
}

int CDBufferManager::bufferForFile(const std::string& filePath, bool create) {
    auto found = loadedBuffers_.find(filePath);
    if (found != loadedBuffers_.end()) return found->second;
    if (!create || !soundEngine_) return -1;

    int soundId;
    if (!freedBuffers_.empty()) {
        soundId = freedBuffers_.back();
        freedBuffers_.pop_back();
    } else {
        soundId = nextBufferId_++;
    }
    if (!soundEngine_->loadBuffer(soundId, filePath)) {
        freedBuffers_.push_back(soundId);
        return -1;
    }
    loadedBuffers_[filePath] = soundId;
    return soundId;
}

void CDBufferManager::releaseBufferForFile(const std::string& filePath) {
    int soundId = bufferForFile(filePath, false);
    if (soundId == -1) return;
    if (soundEngine_) soundEngine_->unloadBuffer(soundId);
    loadedBuffers_.erase(filePath);
    freedBuffers_.push_back(soundId);
}
