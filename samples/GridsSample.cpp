// Grids: one labelled picture goes through each of the effects the grid
// transitions use, in turn and for ever: tiles turned off, rows and
// columns split apart, tiles fading out towards each corner and edge, and
// the page turn. Each effect plays for 1.5 s, then backwards for 1.5 s,
// then the picture rests without a grid for 0.3 s (198 frames in all at
// 60 frames per second); the caption names the effect.
//
// With --fixed-dt, frame 1 shows the picture without a grid and frame 2
// through an untouched grid (the two pictures are the same); effect k
// (from 0, in the order of kEffects) is half-way forwards at frame
// 47 + 198 k, so `--frames 47` lands in the middle of the tiles turning
// off and `--frames 1433` in the middle of the page turn.
#include <string>

#include "Sample.h"
#include "engine/CCActionGrid.h"
#include "engine/CCActionInstant.h"
#include "engine/CCActionInterval.h"
#include "engine/CCActionPageTurn3D.h"
#include "engine/CCActionTiledGrid.h"
#include "engine/CCDirector.h"
#include "engine/CCLabelTTF.h"
#include "engine/CCLayer.h"
#include "engine/CCScene.h"
#include "engine/CCSprite.h"
#include "host/core/Ref.h"

namespace {

constexpr ccTime kEffect = 1.5f;
constexpr ccTime kRest = 0.3f;

// The tile grid the tile transitions use: 12 rows of square-ish tiles.
ccGridSize tiles() {
    const CGSize win = CCDirector::sharedDirector()->winSize();
    return ccg(int(win.width / win.height * 12), 12);
}

struct Effect {
    const char* name;
    CCActionInterval* (*make)();
};

const Effect kEffects[] = {
    {"CCTurnOffTiles", [] { return static_cast<CCActionInterval*>(CCTurnOffTiles::actionWithSize(tiles(), kEffect)); }},
    {"CCSplitRows (3 rows)", [] { return static_cast<CCActionInterval*>(CCSplitRows::actionWithRows(3, kEffect)); }},
    {"CCSplitCols (3 columns)", [] { return static_cast<CCActionInterval*>(CCSplitCols::actionWithCols(3, kEffect)); }},
    {"CCFadeOutTRTiles", [] { return static_cast<CCActionInterval*>(CCFadeOutTRTiles::actionWithSize(tiles(), kEffect)); }},
    {"CCFadeOutBLTiles", [] { return static_cast<CCActionInterval*>(CCFadeOutBLTiles::actionWithSize(tiles(), kEffect)); }},
    {"CCFadeOutUpTiles", [] { return static_cast<CCActionInterval*>(CCFadeOutUpTiles::actionWithSize(tiles(), kEffect)); }},
    {"CCFadeOutDownTiles", [] { return static_cast<CCActionInterval*>(CCFadeOutDownTiles::actionWithSize(tiles(), kEffect)); }},
    {"CCPageTurn3D", [] { return static_cast<CCActionInterval*>(CCPageTurn3D::actionWithSize(ccg(16, 12), kEffect)); }},
};
constexpr unsigned kEffectCount = sizeof(kEffects) / sizeof(kEffects[0]);

// The picture under the grid: a gradient with the game's ball and board,
// a big label, and a coloured square in each corner.
CCNode* makePicture(CGSize win) {
    CCNode* picture = CCNode::node();
    picture->setContentSize(win);
    picture->addChild(CCLayerGradient::layerWithColor(ccc4(250, 170, 40, 255), ccc4(200, 40, 90, 255)));
    const ccColor4B corners[4] = {ccc4(230, 30, 30, 255), ccc4(30, 200, 60, 255), ccc4(30, 70, 230, 255),
                                  ccc4(250, 240, 60, 255)};  // bottom-left, bottom-right, top-left, top-right
    for (int c = 0; c < 4; ++c) {
        CCLayerColor* mark = CCLayerColor::layerWithColor(corners[c], 40, 40);
        mark->setPosition(CGPointMake(c % 2 ? win.width - 56 : 16, c / 2 ? win.height - 72 : 16));
        picture->addChild(mark);
    }
    if (CCLabelTTF* label = CCLabelTTF::labelWithString("Tiltboard", "Helvetica", 64)) {
        label->setPosition(CGPointMake(win.width / 2, win.height / 2 + 30));
        picture->addChild(label);
    }
    if (CCSprite* ball = CCSprite::spriteWithFile("ball.png")) {
        ball->setPosition(CGPointMake(win.width / 2 - 60, win.height / 2 - 50));
        picture->addChild(ball);
    }
    if (CCSprite* board = CCSprite::spriteWithFile("skate.png")) {
        board->setPosition(CGPointMake(win.width / 2 + 60, win.height / 2 - 50));
        picture->addChild(board);
    }
    return picture;
}

// Runs the effects one after the other on the picture, naming each.
class EffectCycle : public CCNode {
public:
    static EffectCycle* make(CCNode* picture, CCLabelTTF* caption) {
        EffectCycle* cycle = host::create<EffectCycle>();
        cycle->picture_ = picture;
        cycle->caption_ = caption;
        return cycle;
    }
    void onEnter() override {
        CCNode::onEnter();
        playNext();
    }
    void playNext() {
        const Effect& effect = kEffects[next_++ % kEffectCount];
        if (caption_) caption_->setString(effect.name);
        CCActionInterval* action = effect.make();
        picture_->runAction(CCSequence::actions(
            action, action->reverse(), CCStopGrid::action(), CCDelayTime::actionWithDuration(kRest),
            CCCallFunc::actionWithTarget(this, callfunc_selector(EffectCycle::playNext)), nullptr));
    }

private:
    CCNode* picture_ = nullptr;      // a sibling in the same scene
    CCLabelTTF* caption_ = nullptr;  // likewise
    unsigned next_ = 0;
};

}  // namespace

TILTBOARD_SAMPLE(grids, "Grids: the effects of the grid transitions") {
    CCScene* scene = CCScene::node();
    const CGSize win = CCDirector::sharedDirector()->winSize();
    // What a vanished tile or a split uncovers.
    scene->addChild(CCLayerColor::layerWithColor(ccc4(24, 26, 36, 255)), -1);
    CCNode* picture = makePicture(win);
    scene->addChild(picture);
    CCLabelTTF* caption = CCLabelTTF::labelWithString(" ", "Helvetica", 18);
    if (caption) {
        caption->setPosition(CGPointMake(win.width / 2, 40));
        caption->setColor(ccc3(255, 255, 255));
        scene->addChild(caption, 10);
    }
    scene->addChild(EffectCycle::make(picture, caption));
    addSampleTitle(scene, "Grids: the effects of the grid transitions");
    return scene;
}
