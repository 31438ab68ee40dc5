#include "audio/CDAudioManager.h"

#include <atomic>
#include <chrono>
#include <mutex>
#include <thread>

#include "host/core/BackgroundTask.h"

namespace {

std::mutex gManagerMutex;
CDAudioManager* gSharedManager = nullptr;    // owned
std::atomic<int> gManagerState{kCDManagerNotInitialised};
int gConfiguredMode = kCDAudioModeMusicIfNoOtherAudio;
bool gModeConfigured = false;

// Activation after an interruption is retried this many more times, this
// far apart, before the manager gives up.
constexpr int kActivationRetries = 10;
constexpr auto kActivationRetryDelay = std::chrono::milliseconds(500);

}  // namespace

// ---- The shared manager ------------------------------------------------------------

void CDAudioManager::configure(int mode) {
    std::lock_guard<std::mutex> lock(gManagerMutex);
    gConfiguredMode = mode;
    gModeConfigured = true;
}

void CDAudioManager::initAsynchronously(int mode) {
    std::lock_guard<std::mutex> lock(gManagerMutex);
    if (gManagerState != kCDManagerNotInitialised) return;
    gManagerState = kCDManagerInitialising;
    gConfiguredMode = mode;
    gModeConfigured = true;
    host::BackgroundTask::run([] { CDAudioManager::sharedManager(); });
}

CDAudioManager* CDAudioManager::sharedManager() {
    CDAudioManager* manager;
    bool created = false;
    {
        std::lock_guard<std::mutex> lock(gManagerMutex);
        if (!gSharedManager) {
            const int mode = gModeConfigured ? gConfiguredMode : kCDAudioModeMusicIfNoOtherAudio;
            gSharedManager = host::createOwned<CDAudioManager>([mode](CDAudioManager* m) { return m->init(mode); });
            gManagerState = kCDManagerInitialised;
            created = true;
        }
        manager = gSharedManager;
    }
    // Posted outside the lock so that an observer may ask for the manager.
    if (created)
        host::NotificationCenter::defaultCenter().postNotificationName(kCDN_AudioManagerInitialised);
    return manager;
}

int CDAudioManager::sharedManagerState() { return gManagerState; }

void CDAudioManager::end() {
    CDAudioManager* manager;
    {
        std::lock_guard<std::mutex> lock(gManagerMutex);
        manager = gSharedManager;
        gSharedManager = nullptr;
        // Nothing is initialised any more; a later sharedManager starts over.
        gManagerState = kCDManagerNotInitialised;
    }
    host::release(manager);
}

// ---- Creation ------------------------------------------------------------------------

bool CDAudioManager::init(int mode) {
    host::AudioSession::sharedInstance().setDelegate(this);
    _mode = mode;
    backgroundMusicCompletionSelector_ = host::Selector<void()>();
    backgroundMusicCompletionListener_ = nullptr;
    _isObservingAppEvents = false;
    _mute = false;
    _resigned = false;
    _interrupted = false;
    enabled_ = true;
    _audioSessionActive = false;
    setMode(mode);

    soundEngine_ = host::Ref<CDSoundEngine>::adopt(
        host::createOwned<CDSoundEngine>([](CDSoundEngine* e) { return e->init(); }));

    for (int channel = 0; channel < kCDChannelCount; ++channel) {
        host::Ref<CDLongAudioSource> source = host::Ref<CDLongAudioSource>::adopt(
            host::createOwned<CDLongAudioSource>([](CDLongAudioSource* s) { return s->init(); }));
        source->setBackgroundMusic(channel == kCDChannelBackgroundMusic);
        audioSourceChannels_.push_back(source);
    }
    backgroundMusic_ = audioSourceChannels_[kCDChannelBackgroundMusic].get();
    backgroundMusic_->setDelegate(this);

    host::NotificationCenter::defaultCenter().addObserver(this, cc_selector(CDAudioManager::badAlContextHandler),
                                                          kCDN_BadAlContext);
    return true;
}

CDAudioManager::~CDAudioManager() {
    stopBackgroundMusic();
    soundEngine_.reset();
    host::NotificationCenter::defaultCenter().removeObserver(this);
    audioSessionSetActive(false);
    host::AudioSession& session = host::AudioSession::sharedInstance();
    if (session.delegate() == this) session.setDelegate(nullptr);
    if (backgroundMusic_) backgroundMusic_->setDelegate(nullptr);
    backgroundMusic_ = nullptr;
    audioSourceChannels_.clear();
}

void CDAudioManager::setMode(int mode) {
    _mode = mode;
    switch (mode) {
        case kCDAudioModeEffectsOnly:
            _audioSessionCategory = host::kAudioSessionCategoryAmbient;
            willPlayBackgroundMusic_ = false;
            break;
        case kCDAudioModeEffectsPlusMusic:
            _audioSessionCategory = host::kAudioSessionCategorySoloAmbient;
            willPlayBackgroundMusic_ = true;
            break;
        case kCDAudioModeMediaPlayback:
            _audioSessionCategory = host::kAudioSessionCategoryPlayback;
            willPlayBackgroundMusic_ = true;
            break;
        case kCDAudioModePlayAndRecord:
            _audioSessionCategory = host::kAudioSessionCategoryPlayAndRecord;
            willPlayBackgroundMusic_ = true;
            break;
        default:
            // Music only while nothing else plays.
            if (isOtherAudioPlaying()) {
                _audioSessionCategory = host::kAudioSessionCategoryAmbient;
                willPlayBackgroundMusic_ = false;
            } else {
                _audioSessionCategory = host::kAudioSessionCategorySoloAmbient;
                willPlayBackgroundMusic_ = true;
            }
            break;
    }
    audioSessionSetCategory(_audioSessionCategory);
}

// ---- Background music --------------------------------------------------------------

void CDAudioManager::playBackgroundMusic(const std::string& filePath, bool loop) {
    backgroundMusic_->load(filePath);
    if (!willPlayBackgroundMusic_ || _mute) return;
    backgroundMusic_->setNumberOfLoops(loop ? -1 : 0);
    backgroundMusic_->play();
}

void CDAudioManager::preloadBackgroundMusic(const std::string& filePath) { backgroundMusic_->load(filePath); }

void CDAudioManager::stopBackgroundMusic() {
    if (backgroundMusic_) backgroundMusic_->stop();
}

void CDAudioManager::pauseBackgroundMusic() { backgroundMusic_->pause(); }

void CDAudioManager::resumeBackgroundMusic() {
    if (!willPlayBackgroundMusic_ || _mute) return;
    backgroundMusic_->resume();
}

void CDAudioManager::rewindBackgroundMusic() { backgroundMusic_->rewind(); }

bool CDAudioManager::isBackgroundMusicPlaying() const { return backgroundMusic_->isPlaying(); }

void CDAudioManager::setBackgroundMusicCompletionListener(host::Object* listener, host::Selector<void()> selector) {
    backgroundMusicCompletionListener_ = listener;
    backgroundMusicCompletionSelector_ = selector;
}

void CDAudioManager::cdAudioSourceDidFinishPlaying(CDLongAudioSource*) {
    if (backgroundMusicCompletionSelector_ && backgroundMusicCompletionListener_)
        backgroundMusicCompletionSelector_(backgroundMusicCompletionListener_);
}

// ---- Mute and enable ---------------------------------------------------------------

void CDAudioManager::setMute(bool muteValue) {
    if (muteValue == _mute) return;
    _mute = muteValue;
    soundEngine_->setMute(muteValue);
    for (const auto& channel : audioSourceChannels_) channel->setMute(muteValue);
}

void CDAudioManager::setEnabled(bool enabledValue) {
    if (enabledValue == enabled_) return;
    enabled_ = enabledValue;
    soundEngine_->setEnabled(enabledValue);
    for (const auto& channel : audioSourceChannels_) channel->setEnabled(enabledValue);
}

// ---- The audio session -------------------------------------------------------------

bool CDAudioManager::isOtherAudioPlaying() const {
    return host::AudioSession::sharedInstance().otherAudioIsPlaying();
}

bool CDAudioManager::isDeviceMuted() const { return host::AudioSession::sharedInstance().audioRoute().empty(); }

bool CDAudioManager::audioSessionSetCategory(const std::string& category) {
    std::string error;
    return host::AudioSession::sharedInstance().setCategory(category, &error);
}

bool CDAudioManager::audioSessionSetActive(bool active) {
    std::string error;
    if (!host::AudioSession::sharedInstance().setActive(active, &error)) return false;
    _audioSessionActive = active;
    return true;
}

// ---- Channels ----------------------------------------------------------------------

CDLongAudioSource* CDAudioManager::audioSourceForChannel(int channel) const {
    if (channel < 0 || channel >= static_cast<int>(audioSourceChannels_.size())) return nullptr;
    return audioSourceChannels_[static_cast<size_t>(channel)].get();
}

CDLongAudioSource* CDAudioManager::audioSourceLoad(const std::string& filePath, int channel) {
    CDLongAudioSource* source = audioSourceForChannel(channel);
    if (source) source->load(filePath);
    return source;
}

// ---- Application life cycle ----------------------------------------------------------

void CDAudioManager::setResignBehavior(int resignBehavior, bool autoHandle) {
    if (autoHandle && !_isObservingAppEvents) {
        host::NotificationCenter& center = host::NotificationCenter::defaultCenter();
        using Handler = void (CDAudioManager::*)(host::Notification*);
        center.addObserver(this, host::makeSelector(static_cast<Handler>(&CDAudioManager::applicationWillResignActive),
                                                    "CDAudioManager::applicationWillResignActive"),
                           host::kApplicationWillResignActiveNotification);
        center.addObserver(this, host::makeSelector(static_cast<Handler>(&CDAudioManager::applicationDidBecomeActive),
                                                    "CDAudioManager::applicationDidBecomeActive"),
                           host::kApplicationDidBecomeActiveNotification);
        center.addObserver(this, cc_selector(CDAudioManager::applicationWillTerminate),
                           host::kApplicationWillTerminateNotification);
        _isObservingAppEvents = true;
    }
    _resignBehavior = resignBehavior;
}

void CDAudioManager::applicationWillResignActive() {
    _resigned = true;
    audioSessionSetCategory(host::kAudioSessionCategoryAmbient);
    switch (_resignBehavior) {
        case kCDResignBehaviorStop:
            for (const auto& channel : audioSourceChannels_) channel->stop();
            break;
        case kCDResignBehaviorPauseAndResume:
            for (const auto& channel : audioSourceChannels_) {
                channel->setSystemPaused(channel->isPlaying());
                channel->stop();
            }
            break;
        default:
            break;
    }
}

void CDAudioManager::applicationDidBecomeActive() {
    if (!_resigned) return;
    _resigned = false;
    setMode(_mode);
    if (_resignBehavior == kCDResignBehaviorPauseAndResume && willPlayBackgroundMusic_) {
        for (const auto& channel : audioSourceChannels_) {
            if (!channel->systemPaused()) continue;
            channel->resume();
            channel->setSystemPaused(false);
        }
    }
}

void CDAudioManager::applicationWillResignActive(host::Notification*) { applicationWillResignActive(); }

void CDAudioManager::applicationDidBecomeActive(host::Notification*) { applicationDidBecomeActive(); }

void CDAudioManager::applicationWillTerminate(host::Notification*) { stopBackgroundMusic(); }

// ---- Interruptions -----------------------------------------------------------------

void CDAudioManager::beginInterruption() { audioSessionInterrupted(); }

void CDAudioManager::endInterruption() { audioSessionResumed(); }

void CDAudioManager::endInterruptionWithFlags(int flags) {
    if (flags == host::kAudioSessionInterruptionShouldResume) audioSessionResumed();
}

void CDAudioManager::audioSessionInterrupted() {
    if (_interrupted) return;
    _interrupted = true;
    audioSessionSetActive(false);
    if (alcGetCurrentContext()) alcMakeContextCurrent(nullptr);
    alGetError();
}

void CDAudioManager::audioSessionResumed() {
    if (!_interrupted) return;
    _interrupted = false;
    bool active = audioSessionSetActive(true);
    for (int retry = 0; !active && retry < kActivationRetries; ++retry) {
        std::this_thread::sleep_for(kActivationRetryDelay);
        active = audioSessionSetActive(true);
    }
    if (!alcGetCurrentContext() && soundEngine_->openALContext()) {
        alcMakeContextCurrent(soundEngine_->openALContext());
        alGetError();
    }
}

void CDAudioManager::badAlContextHandler() {
    if (_interrupted && !alcGetCurrentContext()) audioSessionResumed();
}
