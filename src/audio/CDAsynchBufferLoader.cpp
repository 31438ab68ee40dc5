#include "audio/CDAsynchBufferLoader.h"

#include "audio/CDSoundEngine.h"
#include "host/core/NotificationCenter.h"

CDBufferLoadRequest* CDBufferLoadRequest::request(int soundId, const std::string& filePath) {
    return host::create<CDBufferLoadRequest>(
        [&](CDBufferLoadRequest* r) { return r->init(soundId, filePath); });
}

bool CDBufferLoadRequest::init(int soundId, const std::string& filePath) {
    soundId_ = soundId;
    filePath_ = filePath;
    return true;
}

bool CDAsynchBufferLoader::init(const std::vector<host::Ref<CDBufferLoadRequest>>& loadRequests,
                                CDSoundEngine* theSoundEngine) {
    _loadRequests = loadRequests;
    _soundEngine = theSoundEngine;
    return true;
}

void CDAsynchBufferLoader::main() {
    _soundEngine->setAsynchLoadProgress(0.0f);
    if (!_loadRequests.empty()) {
        const float increment = 1.0f / static_cast<float>(_loadRequests.size());
        for (const host::Ref<CDBufferLoadRequest>& r : _loadRequests) {
            if (r) _soundEngine->loadBuffer(r->soundId(), r->filePath());
            _soundEngine->setAsynchLoadProgress(_soundEngine->asynchLoadProgress() + increment);
        }
    }
    _soundEngine->setAsynchLoadProgress(1.0f);
    host::NotificationCenter::defaultCenter().postNotificationName(kCDN_AsynchLoadComplete);
}
