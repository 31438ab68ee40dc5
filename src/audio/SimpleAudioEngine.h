// The one audio object the game talks to: preload, play, stop and unload
// effects by file name, background music, mute and the two volumes. Every
// call forwards to the audio manager, its effect engine or the buffer
// manager that maps file names to sound ids. Effects play in source group 0.
#pragma once

#include <AL/al.h>

#include <string>

#include "host/core/Object.h"

class CDSoundSource;

class SimpleAudioEngine : public host::Object {
public:
    static SimpleAudioEngine* sharedEngine();
    static void end();

    bool init();

    void preloadEffect(const std::string& filePath);
    void unloadEffect(const std::string& filePath);
    // An OpenAL source name, or the engine's refusal codes; kCDSoundRefused
    // when the file cannot be loaded.
    ALuint playEffect(const std::string& filePath);
    ALuint playEffect(const std::string& filePath, float pitch, float pan, float gain);
    void stopEffect(ALuint soundId);
    // A held source for the file, or nullptr.
    CDSoundSource* soundSourceForFile(const std::string& filePath);

    float effectsVolume() const;
    void setEffectsVolume(float volume);
    float backgroundMusicVolume() const;
    void setBackgroundMusicVolume(float volume);
    bool mute() const { return mute_; }
    void setMute(bool muteValue);
    bool enabled() const { return enabled_; }
    void setEnabled(bool enabledValue);

    void preloadBackgroundMusic(const std::string& filePath);
    void playBackgroundMusic(const std::string& filePath);
    void playBackgroundMusic(const std::string& filePath, bool loop);
    void stopBackgroundMusic();
    void pauseBackgroundMusic();
    void resumeBackgroundMusic();
    void rewindBackgroundMusic();
    bool isBackgroundMusicPlaying() const;
    bool willPlayBackgroundMusic() const;

protected:
    ~SimpleAudioEngine() override;

private:
    bool mute_ = false;
    bool enabled_ = true;
};
