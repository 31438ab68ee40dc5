// A gallery of actions: each cell shows one action (or one small family)
// on its own sprite, labelled, repeating for ever so every frame of the run
// shows it somewhere along its way.
#include <functional>
#include <string>
#include <vector>

#include "ActionSampleSupport.h"
#include "Sample.h"
#include "engine/CCActionAnimate.h"
#include "engine/CCActionInstant.h"
#include "engine/CCActionInterval.h"
#include "engine/CCActionIntervalProperty.h"
#include "engine/CCAnimation.h"
#include "engine/CCDirector.h"
#include "engine/CCLayer.h"
#include "engine/CCScene.h"
#include "engine/CCSpriteFrame.h"
#include "engine/CCTexture2D.h"
#include "engine/CCTextureCache.h"
#include "engine/Support/CGPointExtension.h"

using namespace action_samples;

namespace {

constexpr int kColumns = 6, kRows = 4;

// An action for the sprite sitting at `home`; the table below has one per cell.
using MakeAction = std::function<CCAction*(CCSprite* sprite, CGPoint home)>;

struct Cell {
    const char* caption;
    MakeAction make;
    const char* image = kArrow;
};

// For ever: the steps in order, then a short rest.
CCAction* loop(std::vector<CCFiniteTimeAction*> steps) {
    steps.push_back(CCDelayTime::actionWithDuration(0.3f));
    CCFiniteTimeAction* all = steps[0];
    for (size_t i = 1; i < steps.size(); ++i) all = CCSequence::actionOne(all, steps[i]);
    return CCRepeatForever::actionWithAction(static_cast<CCActionInterval*>(all));
}

// The action and its reverse, for ever.
CCAction* thereAndBack(CCFiniteTimeAction* a) { return loop({a, a->reverse()}); }

// Counts the calls of a CCCallFunc on its label.
class CallCounter : public CCNode {
public:
    static CallCounter* withLabel(CCLabelTTF* label) {
        return host::create<CallCounter>([label](CallCounter* c) {
            c->label_ = label;
            return c->init();
        });
    }
    void count() {
        ++calls_;
        if (label_) label_->setString(std::to_string(calls_) + " calls");
    }

private:
    CCLabelTTF* label_ = nullptr;  // a sibling in the scene; not retained
    int calls_ = 0;
};

CCAnimation* diceAnimation() {
    CCTexture2D* strip = CCTextureCache::sharedTextureCache()->addImage(kFrames);
    if (!strip) return nullptr;
    const float side = strip->contentSize().height;
    CCAnimation* a = CCAnimation::animationWithName("dice", 0.25f);
    for (int i = 0; i < 4; ++i) a->addFrame(CCSpriteFrame::frameWithTexture(strip, CGRectMake(side * i, 0, side, side)));
    return a;
}

std::vector<Cell> cells(CCNode* scene) {
    return {
        {"MoveBy", [](CCSprite*, CGPoint) { return thereAndBack(CCMoveBy::actionWithDuration(1, ccp(24, 10))); }},
        {"MoveTo",
         [](CCSprite*, CGPoint h) {
             return loop({CCMoveTo::actionWithDuration(0.8f, ccpAdd(h, ccp(-22, 14))),
                          CCMoveTo::actionWithDuration(0.8f, h)});
         }},
        {"JumpBy",
         [](CCSprite*, CGPoint) { return thereAndBack(CCJumpBy::actionWithDuration(1.2f, ccp(24, 0), 14, 3)); }},
        {"JumpTo",
         [](CCSprite*, CGPoint h) {
             return loop({CCJumpTo::actionWithDuration(1, ccpAdd(h, ccp(-20, -6)), 18, 1),
                          CCJumpTo::actionWithDuration(1, h, 18, 1)});
         }},
        {"BezierBy",
         [](CCSprite*, CGPoint) {
             return thereAndBack(
                 CCBezierBy::actionWithDuration(1.2f, ccBezierConfig{ccp(26, 0), ccp(0, 30), ccp(26, -30)}));
         }},
        {"BezierTo + Place",
         [](CCSprite*, CGPoint h) {
             return loop({CCBezierTo::actionWithDuration(
                              1.2f, ccBezierConfig{ccpAdd(h, ccp(-24, 0)), ccpAdd(h, ccp(0, 26)),
                                                   ccpAdd(h, ccp(-24, 26))}),
                          CCPlace::actionWithPosition(h)});
         }},
        {"RotateBy", [](CCSprite*, CGPoint) { return thereAndBack(CCRotateBy::actionWithDuration(1, 180)); }},
        {"RotateTo (short way)",
         [](CCSprite*, CGPoint) {
             return loop({CCRotateTo::actionWithDuration(0.8f, 135), CCRotateTo::actionWithDuration(0.8f, -45),
                          CCRotateTo::actionWithDuration(0.8f, 0)});
         }},
        {"ScaleBy", [](CCSprite*, CGPoint) { return thereAndBack(CCScaleBy::actionWithDuration(1, 1.6f)); }},
        {"ScaleTo x, y",
         [](CCSprite*, CGPoint) {
             return loop({CCScaleTo::actionWithDuration(0.8f, 0.5f, 1.5f), CCScaleTo::actionWithDuration(0.8f, 1)});
         }},
        {"SkewBy", [](CCSprite*, CGPoint) { return thereAndBack(CCSkewBy::actionWithDuration(1, 35, 0)); }},
        {"SkewTo",
         [](CCSprite*, CGPoint) {
             return loop({CCSkewTo::actionWithDuration(0.8f, 0, 40), CCSkewTo::actionWithDuration(0.8f, 0, 0)});
         }},
        {"Blink", [](CCSprite*, CGPoint) { return loop({CCBlink::actionWithDuration(1.5f, 5), CCShow::action()}); }},
        {"FadeOut, FadeIn, FadeTo",
         [](CCSprite*, CGPoint) {
             return loop({CCFadeOut::actionWithDuration(0.7f), CCFadeIn::actionWithDuration(0.7f),
                          CCFadeTo::actionWithDuration(0.5f, 90), CCFadeTo::actionWithDuration(0.5f, 255)});
         }},
        {"TintBy", [](CCSprite*, CGPoint) { return thereAndBack(CCTintBy::actionWithDuration(1, 0, -180, -220)); }},
        {"TintTo",
         [](CCSprite*, CGPoint) {
             return loop({CCTintTo::actionWithDuration(0.8f, 255, 200, 0), CCTintTo::actionWithDuration(0.8f, 80, 220, 255),
                          CCTintTo::actionWithDuration(0.8f, 255, 255, 255)});
         }},
        {"Animate",
         [](CCSprite*, CGPoint) -> CCAction* {
             CCAnimation* dice = diceAnimation();
             if (!dice) return nullptr;
             CCAnimate* a = CCAnimate::actionWithAnimation(dice, false);
             return loop({a, a->reverse()});
         },
         kFrames},
        {"FlipX, FlipY",
         [](CCSprite*, CGPoint) {
             auto wait = [] { return CCDelayTime::actionWithDuration(0.4f); };
             return loop({wait(), CCFlipX::actionWithFlipX(true), wait(), CCFlipY::actionWithFlipY(true), wait(),
                          CCFlipX::actionWithFlipX(false), wait(), CCFlipY::actionWithFlipY(false)});
         }},
        {"Hide, Show, Toggle",
         [](CCSprite*, CGPoint) {
             auto wait = [] { return CCDelayTime::actionWithDuration(0.35f); };
             return loop({wait(), CCHide::action(), wait(), CCShow::action(), wait(),
                          CCToggleVisibility::action(), wait(), CCToggleVisibility::action()});
         }},
        {"CallFunc",
         [scene](CCSprite* s, CGPoint h) -> CCAction* {
             CCLabelTTF* label = addCaption(scene, "0 calls", ccpAdd(h, ccp(0, 16)), 9, ccc3(255, 230, 120));
             CallCounter* counter = CallCounter::withLabel(label);
             s->addChild(counter);  // kept alive by the sprite; the action retains it too
             return loop({CCRotateBy::actionWithDuration(0.5f, 360),
                          CCCallFunc::actionWithTarget(counter, callfunc_selector(CallCounter::count))});
         }},
        {"Spawn: jump + turn",
         [](CCSprite*, CGPoint) {
             return thereAndBack(CCSpawn::actionOne(CCJumpBy::actionWithDuration(1.2f, ccp(24, 0), 16, 2),
                                                    CCRotateBy::actionWithDuration(0.6f, 180)));
         }},
        {"Repeat 3 x",
         [](CCSprite*, CGPoint) {
             CCScaleBy* pulse = CCScaleBy::actionWithDuration(0.2f, 1.4f);
             return loop({CCRepeat::actionWithAction(CCSequence::actionOne(pulse, pulse->reverse()), 3),
                          CCDelayTime::actionWithDuration(0.5f)});
         }},
        {"Speed 3 x",
         [](CCSprite*, CGPoint) -> CCAction* {
             CCMoveBy* m = CCMoveBy::actionWithDuration(1.5f, ccp(24, 0));
             CCRepeat* forth = CCRepeat::actionWithAction(CCSequence::actionOne(m, m->reverse()), 100000);
             return CCSpeed::actionWithAction(forth, 3);
         }},
        {"ReverseTime",
         [](CCSprite*, CGPoint) {
             return loop({CCReverseTime::actionWithAction(CCJumpBy::actionWithDuration(1, ccp(24, 0), 14, 1))});
         }},
    };
}

}  // namespace

TILTBOARD_SAMPLE(actions, "Actions: every interval and instant action") {
    CCScene* scene = CCScene::node();
    const CGSize win = CCDirector::sharedDirector()->winSize();
    scene->addChild(CCLayerColor::layerWithColor(ccc4(28, 31, 44, 255)), -10);

    const float top = win.height - 26;  // below the title
    const float cellW = win.width / kColumns, cellH = top / kRows;
    const std::vector<Cell> table = cells(scene);
    for (size_t i = 0; i < table.size() && i < size_t(kColumns * kRows); ++i) {
        const int col = int(i) % kColumns, row = int(i) / kColumns;
        const CGPoint origin = ccp(cellW * col, top - cellH * (row + 1));
        // A slightly lighter tile behind each cell.
        CCLayerColor* tile = CCLayerColor::layerWithColor(ccc4(40, 45, 62, 255), cellW - 4, cellH - 4);
        tile->setPosition(ccpAdd(origin, ccp(2, 2)));
        scene->addChild(tile, -5);

        const Cell& cell = table[i];
        addCaption(scene, cell.caption, ccpAdd(origin, ccp(cellW / 2, 9)));
        const CGPoint home = ccpAdd(origin, ccp(cellW / 2 - 8, cellH / 2 + 4));
        CCSprite* sprite = addImage(scene, scene, cell.image, home);
        if (!sprite) continue;
        if (cell.image == kArrow) sprite->setScale(0.8f);
        if (cell.image == kFrames) {  // show the strip's first frame, not the whole strip
            const float side = sprite->contentSize().height;
            sprite->setTextureRect(CGRectMake(0, 0, side, side));
        }
        if (CCAction* action = cell.make(sprite, home)) sprite->runAction(action);
    }
    addSampleTitle(scene, "Actions: every interval and instant action");
    return scene;
}
