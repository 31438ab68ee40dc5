// The game's crash effect, as the game makes it: a fireworks emitter of
// 1000 particles with "fire.png" that removes itself when its last spark
// dies. A new one goes off every 0.6 s somewhere along the floor, where
// the skateboard would be, and wherever the window is touched.
#include <cstdlib>

#include "Sample.h"
#include "engine/CCDirector.h"
#include "engine/CCLayer.h"
#include "engine/CCParticleExamples.h"
#include "engine/CCScene.h"
#include "engine/CCTextureCache.h"
#include "engine/Support/ccUtils.h"
#include "host/ui/Touch.h"

namespace {

const float kBurstInterval = 0.6f;
const unsigned kParticles = 1000;

class FireworksLayer : public CCLayer {
public:
    static FireworksLayer* node() { return host::create<FireworksLayer>(); }

    bool init() override {
        if (!CCLayer::init()) return false;
        const CGSize win = CCDirector::sharedDirector()->winSize();
        burstAt(CGPointMake(win.width / 2, win.height / 2));
        schedule(schedule_selector(FireworksLayer::nextBurst), kBurstInterval);
        setIsTouchEnabled(true);
        return true;
    }

    void nextBurst(ccTime) {
        const CGSize win = CCDirector::sharedDirector()->winSize();
        burstAt(CGPointMake(win.width * (0.15f + 0.7f * CCRANDOM_0_1()), 30 + 80 * CCRANDOM_0_1()));
    }

    void ccTouchesEnded(host::TouchSet* touches, host::Event*) override {
        for (const host::Ref<host::Touch>& touch : *touches) burstAt(convertTouchToNodeSpace(touch.get()));
    }

private:
    // What the game does when a ball hits the board.
    void burstAt(CGPoint where) {
        CCParticleFireworks* fireworks = CCParticleFireworks::particleWithTotalParticles(kParticles);
        if (!fireworks) return;
        fireworks->setTexture(CCTextureCache::sharedTextureCache()->addImage("fire.png"));
        fireworks->setAutoRemoveOnFinish(true);
        fireworks->setPosition(where);
        addChild(fireworks);
    }
};

}  // namespace

TILTBOARD_SAMPLE(fireworks, "Fireworks: the game's crash, 1000 particles") {
    CCScene* scene = CCScene::node();
    scene->addChild(FireworksLayer::node());
    addSampleTitle(scene, "Fireworks: the game's crash, 1000 particles");
    return scene;
}
