// The sound engine: an effect at several pitches and pans, looping music
// started and stopped, mute, and the music faded out by a volume modifier
// that an action drives.
#include "Sample.h"
#include "audio/CDAudioManager.h"
#include "audio/CDPropertyModifier.h"
#include "audio/CDPropertyModifierAction.h"
#include "audio/SimpleAudioEngine.h"
#include "engine/CCDirector.h"
#include "engine/CCLabelTTF.h"
#include "engine/CCLayer.h"
#include "engine/CCMenu.h"
#include "engine/CCMenuItem.h"
#include "engine/CCScene.h"

namespace {

const char* const kBlip = "sounds/blip.wav";
const char* const kJump = "sounds/jump.wav";
const char* const kMusic = "sounds/music_loop.wav";
const int kFadeTag = 8;

class AudioSampleLayer : public CCLayer {
public:
    static AudioSampleLayer* node() { return host::create<AudioSampleLayer>(); }

    bool init() override {
        if (!CCLayer::init()) return false;
        const CGSize win = CCDirector::sharedDirector()->winSize();
        SimpleAudioEngine* audio = SimpleAudioEngine::sharedEngine();
        audio->preloadEffect(kBlip);
        audio->preloadEffect(kJump);
        audio->preloadBackgroundMusic(kMusic);

        status_ = CCLabelTTF::labelWithString("ready", "Helvetica", 14);
        if (status_) {
            status_->setPosition(CGPointMake(win.width / 2, 24));
            addChild(status_, 1);
        }

        // The item font is class-wide: set it for these menus only.
        const unsigned savedFontSize = CCMenuItemFont::fontSize();
        const std::string savedFontName = CCMenuItemFont::fontName();
        CCMenuItemFont::setFontSize(18);
        CCMenuItemFont::setFontName("Helvetica");
        CCMenu* effects = CCMenu::menuWithItems({
            item("Blip, low pitch", [this] { effect(kBlip, 0.5f, 0.0f, "blip at pitch 0.5"); }),
            item("Blip", [this] { effect(kBlip, 1.0f, 0.0f, "blip at pitch 1"); }),
            item("Blip, high pitch", [this] { effect(kBlip, 2.0f, 0.0f, "blip at pitch 2"); }),
            item("Jump, left", [this] { effect(kJump, 1.0f, -1.0f, "jump panned left"); }),
            item("Jump, right", [this] { effect(kJump, 1.0f, 1.0f, "jump panned right"); }),
        });
        effects->alignItemsVerticallyWithPadding(8);
        effects->setPosition(CGPointMake(win.width * 0.28f, win.height / 2));
        addChild(effects);

        CCMenu* music = CCMenu::menuWithItems({
            item("Music on", [this] { startMusic(); }),
            item("Music off", [this] { stopMusic(); }),
            item("Fade music out", [this] { fadeMusic(); }),
            item("Mute on/off", [this] { toggleMute(); }),
        });
        CCMenuItemFont::setFontSize(savedFontSize);
        CCMenuItemFont::setFontName(savedFontName);
        music->alignItemsVerticallyWithPadding(8);
        music->setPosition(CGPointMake(win.width * 0.72f, win.height / 2));
        addChild(music);
        return true;
    }

    // Leaving the sample stops its sound and lets the audio singletons go.
    void onExit() override {
        stopAllActions();
        SimpleAudioEngine::end();
        CCLayer::onExit();
    }

private:
    CCMenuItemFont* item(const std::string& text, std::function<void()> action) {
        return CCMenuItemFont::itemFromString(text, [action](host::Object*) { action(); });
    }

    void show(const std::string& text) {
        if (status_) status_->setString(text);
    }

    void effect(const char* file, float pitch, float pan, const std::string& what) {
        ALuint source = SimpleAudioEngine::sharedEngine()->playEffect(file, pitch, pan, 1.0f);
        show(source == kCDSoundRefused || source == kCDNoSource ? "no sound: " + what : what);
    }

    void startMusic() {
        stopActionByTag(kFadeTag);
        SimpleAudioEngine* audio = SimpleAudioEngine::sharedEngine();
        audio->setBackgroundMusicVolume(1.0f);
        audio->playBackgroundMusic(kMusic, true);
        show(audio->isBackgroundMusicPlaying() ? "music playing (looping)" : "music cannot play here");
    }

    void stopMusic() {
        stopActionByTag(kFadeTag);
        SimpleAudioEngine::sharedEngine()->stopBackgroundMusic();
        show("music stopped");
    }

    // Two seconds from the current volume down to silence, falling fast
    // and settling slowly; the music pauses when it gets there.
    void fadeMusic() {
        if (!SimpleAudioEngine::sharedEngine()->isBackgroundMusicPlaying()) {
            show("start the music first");
            return;
        }
        CDLongAudioSource* music = CDAudioManager::sharedManager()->backgroundMusic();
        CDLongAudioSourceFader* fader = host::create<CDLongAudioSourceFader>([music](CDLongAudioSourceFader* f) {
            return f->init(music, kCDInterpolationExponential, music->volume(), 0.0f);
        });
        fader->setStopTargetWhenComplete(true);
        stopActionByTag(kFadeTag);
        CCAction* fade = CDPropertyModifierAction::actionWithDuration(2.0f, fader);
        fade->setTag(kFadeTag);
        runAction(fade);
        show("fading the music out");
    }

    void toggleMute() {
        SimpleAudioEngine* audio = SimpleAudioEngine::sharedEngine();
        audio->setMute(!audio->mute());
        show(audio->mute() ? "muted" : "sound on");
    }

    CCLabelTTF* status_ = nullptr;
};

}  // namespace

TILTBOARD_SAMPLE(audio, "Audio: effects, pitch and pan, music, mute, fade") {
    CCScene* scene = CCScene::node();
    if (AudioSampleLayer* layer = AudioSampleLayer::node()) scene->addChild(layer);
    addSampleTitle(scene, "Audio: effects, pitch and pan, music, mute, fade");
    return scene;
}
