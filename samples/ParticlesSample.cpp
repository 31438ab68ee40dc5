// Every particle preset in turn, four seconds each (a touch moves on),
// then an emitter loaded from the shipped property list whose texture is
// embedded in the list. Some emitters travel, to show that free particles
// stay where they were born.
#include <string>

#include "Sample.h"
#include "engine/CCActionInterval.h"
#include "engine/CCActionIntervalProperty.h"
#include "engine/CCDirector.h"
#include "engine/CCLabelTTF.h"
#include "engine/CCLayer.h"
#include "engine/CCParticleExamples.h"
#include "engine/CCScene.h"
#include "engine/CCTextureCache.h"

namespace {

const float kSecondsPerShow = 4;
const float kBurstInterval = 1.2f;  // one-shot emitters go off again

struct ParticleShow {
    const char* caption;
    CCParticleSystem* (*make)();
    bool travels;  // moves to and fro across the window
    bool bursts;   // a one-shot emitter, restarted now and then
};

template <class Preset> CCParticleSystem* makePreset() { return Preset::node(); }

CCParticleSystem* makeFireworks() {
    CCParticleSystem* p = CCParticleFireworks::node();
    if (p) p->setTexture(CCTextureCache::sharedTextureCache()->addImage("fire.png"));
    return p;
}

CCParticleSystem* makeVortex() { return CCParticleSystemPoint::particleWithFile("samples/particles/vortex.plist"); }

const ParticleShow kShows[] = {
    {"CCParticleFire", makePreset<CCParticleFire>, false, false},
    {"CCParticleSun (travelling)", makePreset<CCParticleSun>, true, false},
    {"CCParticleGalaxy", makePreset<CCParticleGalaxy>, false, false},
    {"CCParticleFlower", makePreset<CCParticleFlower>, false, false},
    {"CCParticleMeteor (travelling)", makePreset<CCParticleMeteor>, true, false},
    {"CCParticleSpiral", makePreset<CCParticleSpiral>, false, false},
    {"CCParticleExplosion", makePreset<CCParticleExplosion>, false, true},
    {"CCParticleSmoke", makePreset<CCParticleSmoke>, false, false},
    {"CCParticleSnow", makePreset<CCParticleSnow>, false, false},
    {"CCParticleRain", makePreset<CCParticleRain>, false, false},
    {"CCParticleFireworks", makeFireworks, false, true},
    {"vortex.plist: radius mode, embedded texture", makeVortex, true, false},
};
const unsigned kShowCount = sizeof kShows / sizeof kShows[0];

// Shows one emitter at a time with its caption.
class ParticleShowLayer : public CCLayer {
public:
    static ParticleShowLayer* node() { return host::create<ParticleShowLayer>(); }

    bool init() override {
        if (!CCLayer::init()) return false;
        const CGSize win = CCDirector::sharedDirector()->winSize();
        caption_ = CCLabelTTF::labelWithString(" ", "Helvetica", 14);
        if (caption_) {
            caption_->setPosition(CGPointMake(win.width / 2, 14));
            caption_->setColor(ccc3(255, 230, 120));
            addChild(caption_, 10);
        }
        setIsTouchEnabled(true);
        show(0);
        schedule(schedule_selector(ParticleShowLayer::next), kSecondsPerShow);
        schedule(schedule_selector(ParticleShowLayer::burst), kBurstInterval);
        return true;
    }

    // The dispatcher calls only the callbacks a layer says it has.
    int implementedTouchesCallbacks() const override { return kCCTouchEndedBit; }
    void ccTouchesEnded(host::TouchSet*, host::Event*) override { next(0); }

    void next(ccTime) {
        // Restart the interval so a touch gives the next show its full time.
        unschedule(schedule_selector(ParticleShowLayer::next));
        schedule(schedule_selector(ParticleShowLayer::next), kSecondsPerShow);
        show((index_ + 1) % kShowCount);
    }

    void burst(ccTime) {
        if (emitter_ && kShows[index_].bursts) emitter_->resetSystem();
    }

private:
    void show(unsigned index) {
        index_ = index;
        if (emitter_) removeChild(emitter_, true);
        const ParticleShow& s = kShows[index];
        emitter_ = s.make();
        const std::string caption = std::to_string(index + 1) + " / " + std::to_string(kShowCount) + "  " + s.caption;
        if (caption_) caption_->setString(emitter_ ? caption : caption + " (could not be made)");
        if (!emitter_) return;
        addChild(emitter_);
        if (s.travels) {
            const CGSize win = CCDirector::sharedDirector()->winSize();
            emitter_->setPosition(CGPointMake(win.width / 2 - 120, win.height / 2));
            CCMoveBy* there = CCMoveBy::actionWithDuration(kSecondsPerShow / 2, CGPointMake(240, 0));
            emitter_->runAction(CCRepeatForever::actionWithAction(CCSequence::actionOne(there, there->reverse())));
        }
    }

    CCLabelTTF* caption_ = nullptr;       // a child
    CCParticleSystem* emitter_ = nullptr;  // a child
    unsigned index_ = 0;
};

}  // namespace

TILTBOARD_SAMPLE(particles, "Particles: the eleven presets and a property list") {
    CCScene* scene = CCScene::node();
    scene->addChild(ParticleShowLayer::node());
    addSampleTitle(scene, "Particles: the eleven presets and a property list");
    return scene;
}
