// Motion streaks and a ribbon: one streak follows the finger (and traces a
// figure of eight while no finger is down), one trails a ball in orbit, and
// a chevron ribbon is laid along a wave and fades behind its head.
#include <cmath>

#include "FingerLayer.h"
#include "Sample.h"
#include "engine/CCDirector.h"
#include "engine/CCMotionStreak.h"
#include "engine/CCRibbon.h"
#include "engine/CCScene.h"
#include "engine/CCSprite.h"

namespace {

const char kGlow[] = "samples/streaks/streak.png";
const char kChevrons[] = "samples/streaks/ribbon.png";
const char kBall[] = "samples/sprites/ball.png";

class StreaksDemo : public FingerLayer {
public:
    static StreaksDemo* make() { return host::create<StreaksDemo>([](StreaksDemo* d) { return d->build(); }); }

    void update(ccTime dt) override {
        time_ += dt;
        const CGSize win = CCDirector::sharedDirector()->winSize();
        if (!fingerDown_)
            pointer_->setPosition(CGPointMake(win.width / 2 + 150 * std::sin(time_ * 1.3f),
                                              win.height / 2 + 30 + 70 * std::sin(time_ * 2.6f)));
        const CGPoint orbit = CGPointMake(win.width / 2 + 95 * std::cos(time_ * 2.2f),
                                          win.height / 2 + 30 + 95 * std::sin(time_ * 2.2f));
        orbiter_->setPosition(orbit);
        ball_->setPosition(orbit);

        // The ribbon's head sweeps right and back along a wave.
        const float sweep = std::fmod(time_ * 0.3f, 2.0f);
        const float along = sweep < 1 ? sweep : 2 - sweep;
        const CGPoint head = CGPointMake(40 + (win.width - 80) * along, 62 + 26 * std::sin(time_ * 5));
        if (std::hypot(head.x - lastHead_.x, head.y - lastHead_.y) > 4) {
            ribbon_->addPointAt(head, 14 + 6 * std::sin(time_ * 3));
            lastHead_ = head;
        }
        ribbon_->update(dt);
    }

private:
    bool build() {
        if (!init()) return false;
        pointer_ = CCMotionStreak::streakWithFade(0.8f, 3, kGlow, 18, 32, ccc4(120, 220, 255, 255));
        orbiter_ = CCMotionStreak::streakWithFade(0.6f, 2, kGlow, 14, 32, ccc4(255, 170, 60, 255));
        ribbon_ = CCRibbon::ribbonWithWidth(14, kChevrons, 24, ccc4(190, 255, 150, 255), 3);
        ball_ = CCSprite::spriteWithFile(kBall);
        if (!pointer_ || !orbiter_ || !ribbon_ || !ball_) return false;
        ball_->setScale(0.7f);
        addChild(ribbon_);
        addChild(orbiter_);
        addChild(ball_);
        addChild(pointer_);
        setIsTouchEnabled(true);
        scheduleUpdate();
        return true;
    }

    void fingerDown(CGPoint at) override {
        fingerDown_ = true;
        pointer_->setPosition(at);
    }
    void fingerMoved(CGPoint, CGPoint to) override { pointer_->setPosition(to); }
    void fingerUp() override { fingerDown_ = false; }

    // Children of this layer: kept alive by it.
    CCMotionStreak* pointer_ = nullptr;
    CCMotionStreak* orbiter_ = nullptr;
    CCRibbon* ribbon_ = nullptr;
    CCSprite* ball_ = nullptr;
    bool fingerDown_ = false;
    float time_ = 0;
    CGPoint lastHead_{-100, -100};
};

}  // namespace

TILTBOARD_SAMPLE(streaks, "Motion streaks and a fading ribbon") {
    CCScene* scene = CCScene::node();
    scene->addChild(CCLayerColor::layerWithColor(ccc4(16, 18, 30, 255)));
    if (StreaksDemo* demo = StreaksDemo::make()) scene->addChild(demo, 1);
    addSampleTitle(scene, "Motion streaks and a fading ribbon");
    return scene;
}
