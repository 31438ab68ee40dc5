#include "audio/SimpleAudioEngine.h"

#include <mutex>

#include "audio/CDAudioManager.h"
#include "audio/CDBufferManager.h"
#include "audio/CDSoundEngine.h"

namespace {

std::mutex gEngineMutex;
SimpleAudioEngine* gSharedEngine = nullptr;     // owned
CDAudioManager* gAudioManager = nullptr;        // not owned
CDSoundEngine* gSoundEngine = nullptr;          // not owned
CDBufferManager* gBufferManager = nullptr;      // owned

}  // namespace

SimpleAudioEngine* SimpleAudioEngine::sharedEngine() {
    std::lock_guard<std::mutex> lock(gEngineMutex);
    if (!gSharedEngine)
        gSharedEngine = host::createOwned<SimpleAudioEngine>([](SimpleAudioEngine* e) { return e->init(); });
    return gSharedEngine;
}

void SimpleAudioEngine::end() {
    SimpleAudioEngine* engine;
    {
        std::lock_guard<std::mutex> lock(gEngineMutex);
        engine = gSharedEngine;
        gSharedEngine = nullptr;
    }
    gAudioManager = nullptr;
    CDAudioManager::end();
    host::release(gBufferManager);
    gBufferManager = nullptr;
    host::release(engine);
}

bool SimpleAudioEngine::init() {
    gAudioManager = CDAudioManager::sharedManager();
    gSoundEngine = gAudioManager->soundEngine();
    host::release(gBufferManager);
    gBufferManager = host::createOwned<CDBufferManager>([](CDBufferManager* b) { return b->initWithEngine(gSoundEngine); });
    mute_ = false;
    enabled_ = true;
    return true;
}

SimpleAudioEngine::~SimpleAudioEngine() {
    gAudioManager = nullptr;
    gSoundEngine = nullptr;
    host::release(gBufferManager);
    gBufferManager = nullptr;
}

// ---- Effects --------------------------------------------------------------------

void SimpleAudioEngine::preloadEffect(const std::string& filePath) {
    if (gBufferManager) gBufferManager->bufferForFile(filePath, true);
}

void SimpleAudioEngine::unloadEffect(const std::string& filePath) {
    if (gBufferManager) gBufferManager->releaseBufferForFile(filePath);
}

ALuint SimpleAudioEngine::playEffect(const std::string& filePath) { return playEffect(filePath, 1.0f, 0.0f, 1.0f); }

ALuint SimpleAudioEngine::playEffect(const std::string& filePath, float pitch, float pan, float gain) {
    int soundId = gBufferManager ? gBufferManager->bufferForFile(filePath, true) : -1;
    if (soundId == -1) return kCDSoundRefused;
    return gSoundEngine->playSound(soundId, 0, pitch, pan, gain, false);
}

void SimpleAudioEngine::stopEffect(ALuint soundId) {
    if (gSoundEngine) gSoundEngine->stopSound(soundId);
}

CDSoundSource* SimpleAudioEngine::soundSourceForFile(const std::string& filePath) {
    int soundId = gBufferManager ? gBufferManager->bufferForFile(filePath, true) : -1;
    if (soundId == -1) return nullptr;
    return gSoundEngine->soundSourceForSound(soundId, 0);
}

float SimpleAudioEngine::effectsVolume() const { return gSoundEngine ? gSoundEngine->masterGain() : 0.0f; }

void SimpleAudioEngine::setEffectsVolume(float volume) {
    if (gSoundEngine) gSoundEngine->setMasterGain(volume);
}

// ---- Music and switches ------------------------------------------------------------

float SimpleAudioEngine::backgroundMusicVolume() const {
    return gAudioManager ? gAudioManager->backgroundMusic()->volume() : 0.0f;
}

void SimpleAudioEngine::setBackgroundMusicVolume(float volume) {
    if (gAudioManager) gAudioManager->backgroundMusic()->setVolume(volume);
}

void SimpleAudioEngine::setMute(bool muteValue) {
    if (muteValue == mute_) return;
    mute_ = muteValue;
    if (gAudioManager) gAudioManager->setMute(muteValue);
}

void SimpleAudioEngine::setEnabled(bool enabledValue) {
    if (enabledValue == enabled_) return;
    enabled_ = enabledValue;
    if (gAudioManager) gAudioManager->setEnabled(enabledValue);
}

void SimpleAudioEngine::preloadBackgroundMusic(const std::string& filePath) {
    if (gAudioManager) gAudioManager->preloadBackgroundMusic(filePath);
}

void SimpleAudioEngine::playBackgroundMusic(const std::string& filePath) { playBackgroundMusic(filePath, true); }

void SimpleAudioEngine::playBackgroundMusic(const std::string& filePath, bool loop) {
    if (gAudioManager) gAudioManager->playBackgroundMusic(filePath, loop);
}

void SimpleAudioEngine::stopBackgroundMusic() {
    if (gAudioManager) gAudioManager->stopBackgroundMusic();
}

void SimpleAudioEngine::pauseBackgroundMusic() {
    if (gAudioManager) gAudioManager->pauseBackgroundMusic();
}

void SimpleAudioEngine::resumeBackgroundMusic() {
    if (gAudioManager) gAudioManager->resumeBackgroundMusic();
}

void SimpleAudioEngine::rewindBackgroundMusic() {
    if (gAudioManager) gAudioManager->rewindBackgroundMusic();
}

bool SimpleAudioEngine::isBackgroundMusicPlaying() const {
    return gAudioManager && gAudioManager->isBackgroundMusicPlaying();
}

bool SimpleAudioEngine::willPlayBackgroundMusic() const {
    return gAudioManager && gAudioManager->willPlayBackgroundMusic();
}
