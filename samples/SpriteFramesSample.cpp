// Frames from one sprite sheet (a format-2 property list): stored plain,
// rotated, trimmed, and rotated and trimmed, each over a box of its
// untrimmed size, and an eight-frame wheel played by a scheduled update
// that shows the animation's frames in turn.
#include <cstdio>
#include <string>

#include "Sample.h"
#include "engine/CCAnimation.h"
#include "engine/CCAnimationCache.h"
#include "engine/CCDirector.h"
#include "engine/CCLabelTTF.h"
#include "engine/CCLayer.h"
#include "engine/CCScene.h"
#include "engine/CCSprite.h"
#include "engine/CCSpriteFrame.h"
#include "engine/CCSpriteFrameCache.h"
#include "engine/CCTexture2D.h"
#include "engine/Support/CCArray.h"
#include "host/core/Ref.h"

namespace {

const char kSheet[] = "samples/spriteframes/sheet.plist";
const char kAnimationName[] = "spriteframes.spin";
const unsigned kSpinFrames = 8;

void addCaption(CCNode* parent, const std::string& text, CGPoint at) {
    if (CCLabelTTF* label = CCLabelTTF::labelWithString(text, "Helvetica", 12)) {
        label->setPosition(at);
        parent->addChild(label, 5);
    }
}

// Shows the frames of an animation on its sprite one after the other,
// each for the animation's delay, round and round.
class FramePlayer : public CCNode {
public:
    static FramePlayer* make(CCSprite* sprite, CCAnimation* animation) {
        return host::create<FramePlayer>([&](FramePlayer* p) {
            if (!p->init() || !sprite || !animation || animation->frames()->count() == 0) return false;
            p->sprite_ = sprite;
            p->animation_ = animation;
            p->addChild(sprite);
            sprite->setDisplayFrame(static_cast<CCSpriteFrame*>(animation->frames()->objectAtIndex(0)));
            p->scheduleUpdate();
            return true;
        });
    }
    void update(ccTime dt) override {
        const float delay = animation_->delay();
        if (delay <= 0) return;
        elapsed_ += dt;
        if (elapsed_ < delay) return;
        const unsigned steps = unsigned(elapsed_ / delay);
        elapsed_ -= float(steps) * delay;
        CCArray* frames = animation_->frames();
        index_ = (index_ + steps) % frames->count();
        sprite_->setDisplayFrame(static_cast<CCSpriteFrame*>(frames->objectAtIndex(index_)));
    }

private:
    CCSprite* sprite_ = nullptr;  // a child: kept alive by this node
    host::Ref<CCAnimation> animation_;
    float elapsed_ = 0;
    unsigned index_ = 0;
};

// The frame over a box of its untrimmed size, so the trim offset shows.
void addFrame(CCNode* parent, const char* frameName, const char* caption, CGPoint at) {
    CCSpriteFrame* frame = CCSpriteFrameCache::sharedSpriteFrameCache()->spriteFrameByName(frameName);
    if (!frame) return;
    const float scale = CCDirector::sharedDirector()->contentScaleFactor();
    const CGSize box = CGSizeMake(frame->originalSizeInPixels().width / scale,
                                  frame->originalSizeInPixels().height / scale);
    CCLayerColor* backdrop = CCLayerColor::layerWithColor(ccc4(70, 80, 100, 255), box.width, box.height);
    backdrop->setPosition(CGPointMake(at.x - box.width / 2, at.y - box.height / 2));
    parent->addChild(backdrop, 1);
    CCSprite* sprite = CCSprite::spriteWithSpriteFrame(frame);
    sprite->setPosition(at);
    parent->addChild(sprite, 2);
    addCaption(parent, caption, CGPointMake(at.x, at.y - 50));
}

CCAnimation* spinAnimation() {
    CCAnimationCache* animations = CCAnimationCache::sharedAnimationCache();
    if (CCAnimation* cached = animations->animationByName(kAnimationName)) return cached;
    CCAnimation* spin = CCAnimation::animationWithName(kAnimationName, 0.1f);
    char name[32];
    for (unsigned i = 0; i < kSpinFrames; ++i) {
        std::snprintf(name, sizeof name, "spin_%02u.png", i);
        CCSpriteFrame* frame = CCSpriteFrameCache::sharedSpriteFrameCache()->spriteFrameByName(name);
        if (!frame) return nullptr;
        spin->addFrame(frame);
    }
    animations->addAnimation(spin, kAnimationName);
    return spin;
}

}  // namespace

TILTBOARD_SAMPLE(spriteframes, "Sprite frames: rotated and trimmed, animation") {
    CCScene* scene = CCScene::node();
    const CGSize win = CCDirector::sharedDirector()->winSize();
    scene->addChild(CCLayerColor::layerWithColor(ccc4(30, 34, 48, 255)));

    CCSpriteFrameCache::sharedSpriteFrameCache()->addSpriteFramesWithFile(kSheet);
    if (!CCSpriteFrameCache::sharedSpriteFrameCache()->spriteFrameByName("arrow_plain.png")) {
        addCaption(scene, "the sprite sheet could not be loaded", CGPointMake(win.width / 2, win.height / 2));
    } else {
        const float top = win.height - 110;
        addFrame(scene, "arrow_plain.png", "plain", CGPointMake(win.width * 0.14f, top));
        addFrame(scene, "arrow_rotated.png", "rotated", CGPointMake(win.width * 0.38f, top));
        addFrame(scene, "star_trimmed.png", "trimmed", CGPointMake(win.width * 0.62f, top));
        addFrame(scene, "star_rotated_trimmed.png", "rotated + trimmed", CGPointMake(win.width * 0.86f, top));

        if (FramePlayer* player = FramePlayer::make(CCSprite::node(), spinAnimation())) {
            player->setPosition(CGPointMake(win.width / 2, 95));
            player->setScale(1.5f);
            scene->addChild(player, 2);
            addCaption(scene, "animation: 8 trimmed frames, every other one stored rotated",
                       CGPointMake(win.width / 2, 30));
        }
    }
    addSampleTitle(scene, "Sprite frames: rotated and trimmed, animation");
    return scene;
}
