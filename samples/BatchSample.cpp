// A thousand sprites of one texture in one batch node, drawn with a single
// GL call, each moved every frame by a scheduled update: they drift and
// bounce off the edges, tinted and sized by their index.
#include <cstdint>
#include <cstdio>
#include <vector>

#include "Sample.h"
#include "engine/CCDirector.h"
#include "engine/CCLabelTTF.h"
#include "engine/CCLayer.h"
#include "engine/CCScene.h"
#include "engine/CCSprite.h"
#include "engine/CCSpriteBatchNode.h"
#include "engine/CCTextureAtlas.h"

namespace {

const char kBall[] = "samples/sprites/ball.png";
const unsigned kSprites = 1000;
const float kCaptionStrip = 24;  // along the bottom, kept clear for the caption
const float kTitleStrip = 30;

// A small deterministic generator, so every run (and screenshot) of the
// sample shows the same scene whatever the process's random seed.
class Sequence {
public:
    float next() {  // 0 .. 1
        state_ = state_ * 1664525u + 1013904223u;
        return float(state_ >> 8) / float(1u << 24);
    }

private:
    uint32_t state_ = 12345;
};

// Moves every sprite of the batch along its velocity, bouncing inside
// `area`.
class Drifter : public CCNode {
public:
    static Drifter* make(CCSpriteBatchNode* batch, CGRect area) {
        return host::create<Drifter>([&](Drifter* d) {
            if (!d->init()) return false;
            d->batch_ = batch;
            d->area_ = area;
            Sequence random;
            for (unsigned i = 0; i < batch->descendants()->count(); ++i)
                d->velocities_.push_back(CGPointMake(random.next() * 160 - 80, random.next() * 160 - 80));
            d->scheduleUpdate();
            return true;
        });
    }
    void update(ccTime dt) override {
        ccArray* sprites = batch_->descendants()->data;
        for (unsigned i = 0; i < sprites->count && i < velocities_.size(); ++i) {
            CCSprite* s = static_cast<CCSprite*>(sprites->items[i]);
            CGPoint& v = velocities_[i];
            CGPoint p = CGPointMake(s->position().x + v.x * dt, s->position().y + v.y * dt);
            if (p.x < area_.origin.x || p.x > area_.origin.x + area_.size.width) v.x = -v.x;
            if (p.y < area_.origin.y || p.y > area_.origin.y + area_.size.height) v.y = -v.y;
            s->setPosition(p);
        }
    }

private:
    CCSpriteBatchNode* batch_ = nullptr;  // a sibling in the same scene
    CGRect area_ = CGRectZero;
    std::vector<CGPoint> velocities_;
};

}  // namespace

TILTBOARD_SAMPLE(batch, "Batch node: 1,000 moving sprites, one draw call") {
    CCScene* scene = CCScene::node();
    const CGSize win = CCDirector::sharedDirector()->winSize();
    scene->addChild(CCLayerColor::layerWithColor(ccc4(20, 24, 36, 255)), -10);

    CCSpriteBatchNode* batch = CCSpriteBatchNode::batchNodeWithFile(kBall, kSprites);
    if (!batch || !batch->texture()) {
        if (CCLabelTTF* label = CCLabelTTF::labelWithString("ball.png is missing (tools/make-sprite-samples)",
                                                            "Helvetica", 14)) {
            label->setPosition(CGPointMake(win.width / 2, win.height / 2));
            scene->addChild(label);
        }
    } else {
        Sequence random;
        for (unsigned i = 0; i < kSprites; ++i) {
            CCSprite* s = CCSprite::spriteWithTexture(batch->texture());
            s->setPosition(CGPointMake(random.next() * win.width,
                                    kCaptionStrip + random.next() * (win.height - kCaptionStrip - kTitleStrip)));
            s->setScale(0.3f + 0.4f * random.next());
            s->setColor(ccc3(uint8_t(120 + 135 * random.next()), uint8_t(80 + 175 * random.next()),
                             uint8_t(120 + 135 * random.next())));
            batch->addChild(s, int(i % 3));
        }
        scene->addChild(batch);
        scene->addChild(Drifter::make(
            batch, CGRectMake(0, kCaptionStrip, win.width, win.height - kCaptionStrip - kTitleStrip)));
        scene->addChild(CCLayerColor::layerWithColor(ccc4(20, 24, 36, 220), win.width, kCaptionStrip), 99);
        char caption[96];
        std::snprintf(caption, sizeof caption, "%u sprites, one texture, one CCSpriteBatchNode",
                      batch->textureAtlas()->totalQuads());
        if (CCLabelTTF* label = CCLabelTTF::labelWithString(caption, "Helvetica", 12)) {
            label->setPosition(CGPointMake(win.width / 2, 12));
            scene->addChild(label, 100);
        }
    }
    addSampleTitle(scene, "Batch node: 1,000 moving sprites, one draw call");
    return scene;
}
