#include "EffectGallery.h"

#include "Sample.h"
#include "engine/CCActionGrid.h"
#include "engine/CCActionInstant.h"
#include "engine/CCDirector.h"
#include "engine/CCLabelTTF.h"
#include "engine/CCLayer.h"
#include "engine/CCScene.h"
#include "engine/CCSprite.h"
#include "host/core/Ref.h"

namespace {

constexpr ccTime kRest = 0.3f;

// Thin white lines every 40 points across and up the picture.
void addLines(CCNode* picture, CGSize win) {
    const ccColor4B line = ccc4(255, 255, 255, 150);
    for (float x = 0; x < win.width; x += 40) {
        CCLayerColor* l = CCLayerColor::layerWithColor(line, 2, win.height);
        l->setPosition(CGPointMake(x, 0));
        picture->addChild(l);
    }
    for (float y = 0; y < win.height; y += 40) {
        CCLayerColor* l = CCLayerColor::layerWithColor(line, win.width, 2);
        l->setPosition(CGPointMake(0, y));
        picture->addChild(l);
    }
}

// The picture under the grid: a gradient with the game's ball and board,
// a big label, and a coloured square in each corner.
CCNode* makePicture(CGSize win, bool lattice) {
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
    if (lattice) addLines(picture, win);
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
    static EffectCycle* make(const GalleryEffect* effects, unsigned count, CCNode* picture, CCLabelTTF* caption) {
        EffectCycle* cycle = host::create<EffectCycle>();
        cycle->effects_ = effects;
        cycle->count_ = count;
        cycle->picture_ = picture;
        cycle->caption_ = caption;
        return cycle;
    }
    void onEnter() override {
        CCNode::onEnter();
        playNext();
    }
    void playNext() {
        const GalleryEffect& effect = effects_[next_++ % count_];
        if (caption_) caption_->setString(effect.name);
        CCActionInterval* action = effect.make(kGalleryEffectTime);
        picture_->runAction(CCSequence::actions(
            action, action->reverse(), CCStopGrid::action(), CCDelayTime::actionWithDuration(kRest),
            CCCallFunc::actionWithTarget(this, callfunc_selector(EffectCycle::playNext)), nullptr));
    }

private:
    const GalleryEffect* effects_ = nullptr;  // static tables
    unsigned count_ = 0;
    CCNode* picture_ = nullptr;      // a sibling in the same scene
    CCLabelTTF* caption_ = nullptr;  // likewise
    unsigned next_ = 0;
};

}  // namespace

CCScene* makeEffectGallery(const GalleryEffect* effects, unsigned count, const char* title, bool lattice) {
    CCScene* scene = CCScene::node();
    const CGSize win = CCDirector::sharedDirector()->winSize();
    // What a vanished tile or a split uncovers.
    scene->addChild(CCLayerColor::layerWithColor(ccc4(24, 26, 36, 255)), -1);
    CCNode* picture = makePicture(win, lattice);
    scene->addChild(picture);
    CCLabelTTF* caption = CCLabelTTF::labelWithString(" ", "Helvetica", 18);
    if (caption) {
        caption->setPosition(CGPointMake(win.width / 2, 40));
        caption->setColor(ccc3(255, 255, 255));
        scene->addChild(caption, 10);
    }
    scene->addChild(EffectCycle::make(effects, count, picture, caption));
    addSampleTitle(scene, title);
    return scene;
}
