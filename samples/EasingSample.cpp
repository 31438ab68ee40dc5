// Every easing curve next to the plain action it reshapes: in each row a
// grey dot makes the plain move along the track and a coloured dot the same
// move eased, there and back (the way back is the eased move's reverse).
#include <functional>
#include <vector>

#include "ActionSampleSupport.h"
#include "Sample.h"
#include "engine/CCActionEase.h"
#include "engine/CCActionInterval.h"
#include "engine/CCActionIntervalProperty.h"
#include "engine/CCDirector.h"
#include "engine/CCLayer.h"
#include "engine/CCScene.h"
#include "engine/Support/CGPointExtension.h"

using namespace action_samples;

namespace {

constexpr float kTrack = 140;   // points travelled
constexpr float kDuration = 1.6f;
constexpr int kRowsPerColumn = 9;

using Ease = std::function<CCActionInterval*(CCActionInterval*)>;

struct Curve {
    const char* name;
    Ease ease;
    ccColor3B colour;
};

std::vector<Curve> curves() {
    const ccColor3B power{255, 170, 80}, expo{255, 110, 110}, sine{120, 220, 140}, elastic{110, 180, 255},
        bounce{230, 130, 255}, back{255, 230, 110};
    return {
        {"EaseIn 2", [](CCActionInterval* a) { return CCEaseIn::actionWithAction(a, 2); }, power},
        {"EaseOut 2", [](CCActionInterval* a) { return CCEaseOut::actionWithAction(a, 2); }, power},
        {"EaseInOut 3", [](CCActionInterval* a) { return CCEaseInOut::actionWithAction(a, 3); }, power},
        {"ExponentialIn", [](CCActionInterval* a) { return CCEaseExponentialIn::actionWithAction(a); }, expo},
        {"ExponentialOut", [](CCActionInterval* a) { return CCEaseExponentialOut::actionWithAction(a); }, expo},
        {"ExponentialInOut", [](CCActionInterval* a) { return CCEaseExponentialInOut::actionWithAction(a); }, expo},
        {"SineIn", [](CCActionInterval* a) { return CCEaseSineIn::actionWithAction(a); }, sine},
        {"SineOut", [](CCActionInterval* a) { return CCEaseSineOut::actionWithAction(a); }, sine},
        {"SineInOut", [](CCActionInterval* a) { return CCEaseSineInOut::actionWithAction(a); }, sine},
        {"ElasticIn", [](CCActionInterval* a) { return CCEaseElasticIn::actionWithAction(a); }, elastic},
        {"ElasticOut", [](CCActionInterval* a) { return CCEaseElasticOut::actionWithAction(a); }, elastic},
        {"ElasticInOut", [](CCActionInterval* a) { return CCEaseElasticInOut::actionWithAction(a, 0.45f); }, elastic},
        {"BounceIn", [](CCActionInterval* a) { return CCEaseBounceIn::actionWithAction(a); }, bounce},
        {"BounceOut", [](CCActionInterval* a) { return CCEaseBounceOut::actionWithAction(a); }, bounce},
        {"BounceInOut", [](CCActionInterval* a) { return CCEaseBounceInOut::actionWithAction(a); }, bounce},
        {"BackIn", [](CCActionInterval* a) { return CCEaseBackIn::actionWithAction(a); }, back},
        {"BackOut", [](CCActionInterval* a) { return CCEaseBackOut::actionWithAction(a); }, back},
        {"BackInOut", [](CCActionInterval* a) { return CCEaseBackInOut::actionWithAction(a); }, back},
    };
}

// There, rest, back (the reverse), rest; for ever.
CCAction* shuttle(CCActionInterval* there) {
    CCFiniteTimeAction* back = there->reverse();
    if (!back) return nullptr;
    CCFiniteTimeAction* trip = CCSequence::actions(there, CCDelayTime::actionWithDuration(0.4f), back,
                                                   CCDelayTime::actionWithDuration(0.4f), nullptr);
    return CCRepeatForever::actionWithAction(static_cast<CCActionInterval*>(trip));
}

CCActionInterval* move() { return CCMoveBy::actionWithDuration(kDuration, ccp(kTrack, 0)); }

CCSprite* addDot(CCNode* scene, CGPoint at, ccColor3B colour, float scale) {
    CCSprite* dot = addImage(scene, scene, kDot, at, 2);
    if (!dot) return nullptr;
    dot->setColor(colour);
    dot->setScale(scale);
    return dot;
}

}  // namespace

TILTBOARD_SAMPLE(easing, "Easing: each curve against the plain move") {
    CCScene* scene = CCScene::node();
    const CGSize win = CCDirector::sharedDirector()->winSize();
    scene->addChild(CCLayerColor::layerWithColor(ccc4(24, 27, 38, 255)), -10);

    const float top = win.height - 28;
    const float rowH = top / kRowsPerColumn, columnW = win.width / 2;
    const std::vector<Curve> list = curves();
    for (size_t i = 0; i < list.size(); ++i) {
        const int col = int(i) / kRowsPerColumn, row = int(i) % kRowsPerColumn;
        const float y = top - rowH * (row + 0.5f) - 4;
        // Elastic and back curves overshoot both ends: the margins leave them room.
        const float x0 = columnW * col + 40;
        const Curve& c = list[i];

        if (CCLabelTTF* caption = addCaption(scene, c.name, ccp(x0, y + 12), 9, c.colour))
            caption->setAnchorPoint(ccp(0, 0.5f));
        CCLayerColor* track = CCLayerColor::layerWithColor(ccc4(70, 76, 96, 255), kTrack, 1);
        track->setPosition(ccp(x0, y));
        scene->addChild(track, -5);

        // The plain move just above the track, the eased one on it.
        if (CCSprite* plain = addDot(scene, ccp(x0, y + 5), ccc3(150, 150, 160), 0.45f))
            if (CCAction* a = shuttle(move())) plain->runAction(a);
        if (CCSprite* eased = addDot(scene, ccp(x0, y - 3), c.colour, 0.75f))
            if (CCAction* a = shuttle(c.ease(move()))) eased->runAction(a);
    }
    addSampleTitle(scene, "Easing: each curve against the plain move");
    return scene;
}
