// Progress timers: the card image revealed by each of the six timer types
// (radial both ways, bars from each edge), every one filling over two
// seconds, holding, and filling again (a progress-to 100 on a full timer
// starts from empty). Each shows its percentage underneath.
#include <cmath>
#include <cstdio>

#include "ActionSampleSupport.h"
#include "Sample.h"
#include "engine/CCActionInterval.h"
#include "engine/CCActionProgressTimer.h"
#include "engine/CCDirector.h"
#include "engine/CCLayer.h"
#include "engine/CCProgressTimer.h"
#include "engine/CCScene.h"
#include "engine/CCTextureCache.h"
#include "engine/Support/CGPointExtension.h"

using namespace action_samples;

namespace {

struct TimerKind {
    int type;
    const char* name;
};

const TimerKind kKinds[] = {
    {kCCProgressTimerTypeRadialCounterClockwise, "radial, counter-clockwise"},
    {kCCProgressTimerTypeRadialClockwise, "radial, clockwise"},
    {kCCProgressTimerTypeBarLeftToRight, "bar, left to right"},
    {kCCProgressTimerTypeBarRightToLeft, "bar, right to left"},
    {kCCProgressTimerTypeBarBottomToTop, "bar, bottom to top"},
    {kCCProgressTimerTypeBarTopToBottom, "bar, top to bottom"},
};

// Rewrites the label under a timer when the whole percentage changes (a
// label renders its text anew on each change).
class PercentageReadout : public CCNode {
public:
    static PercentageReadout* make(CCProgressTimer* timer, CCLabelTTF* label) {
        PercentageReadout* r = host::create<PercentageReadout>();
        r->timer_ = timer;
        r->label_ = label;
        r->scheduleUpdate();
        return r;
    }
    void update(ccTime) override {
        const int shown = int(std::lround(timer_->percentage()));
        if (shown == shown_) return;
        shown_ = shown;
        char text[16];
        std::snprintf(text, sizeof text, "%d %%", shown);
        label_->setString(text);
    }

private:
    CCProgressTimer* timer_ = nullptr;  // siblings in the scene
    CCLabelTTF* label_ = nullptr;
    int shown_ = -1;
};

}  // namespace

TILTBOARD_SAMPLE(progress, "Progress timers: the six types") {
    CCScene* scene = CCScene::node();
    const CGSize win = CCDirector::sharedDirector()->winSize();
    scene->addChild(CCLayerColor::layerWithColor(ccc4(24, 28, 40, 255)), -10);
    CCTexture2D* card = CCTextureCache::sharedTextureCache()->addImage(kCard);
    if (!card) addImage(scene, scene, kCard, CGPointZero);  // puts up the notice about missing images

    const float columnWidth = win.width / 3;
    const float unit = win.height / 320;  // a tablet shows everything larger
    const float rowY[2] = {win.height * 0.74f, win.height * 0.3f};
    for (int i = 0; card && i < 6; ++i) {
        const CGPoint at = ccp(columnWidth * (float(i % 3) + 0.5f), rowY[i / 3]);
        CCProgressTimer* timer = CCProgressTimer::progressWithTexture(card);
        timer->setType(kKinds[i].type);
        timer->setScale(0.7f * unit);
        timer->setPosition(at);
        scene->addChild(timer);
        timer->runAction(CCRepeatForever::actionWithAction(static_cast<CCActionInterval*>(CCSequence::actions(
            CCProgressTo::actionWithDuration(2, 100), CCDelayTime::actionWithDuration(0.5f)))));
        addCaption(scene, kKinds[i].name, ccp(at.x, at.y - 48 * unit), 10 * unit);
        if (CCLabelTTF* readout = addCaption(scene, "0 %", ccp(at.x, at.y - 60 * unit), 10 * unit, ccc3(255, 220, 90)))
            scene->addChild(PercentageReadout::make(timer, readout));
    }
    addSampleTitle(scene, "Progress timers: the six types");
    return scene;
}
