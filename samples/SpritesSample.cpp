// Stand-alone sprites, each feature in its own labelled cell: colour,
// opacity over a checkerboard, flips of a lettered arrow, texture
// rectangles of a small sheet, display frames cycling through the
// sprite's own animation, anchor points (a dot marks each position; the
// arrows rock about their anchors), z order, rotation and skew.
#include <cmath>
#include <functional>
#include <string>
#include <utility>

#include "Sample.h"
#include "engine/CCAnimation.h"
#include "engine/CCDirector.h"
#include "engine/CCLabelTTF.h"
#include "engine/CCLayer.h"
#include "engine/CCScene.h"
#include "engine/CCSprite.h"
#include "engine/CCTexture2D.h"
#include "engine/CCTextureCache.h"

namespace {

const char kArrow[] = "samples/sprites/arrow.png";
const char kSheet[] = "samples/sprites/sheet.png";
const char kChecker[] = "samples/sprites/checker.png";
const char kBall[] = "samples/sprites/ball.png";

// Calls `tick` with the time since the scene started, every frame.
class Clock : public CCNode {
public:
    static Clock* make(std::function<void(float)> tick) {
        return host::create<Clock>([&](Clock* c) {
            if (!c->init()) return false;
            c->tick_ = std::move(tick);
            c->scheduleUpdate();
            return true;
        });
    }
    void update(ccTime dt) override {
        elapsed_ += dt;
        tick_(elapsed_);
    }

private:
    std::function<void(float)> tick_;
    float elapsed_ = 0;
};

void addCaption(CCNode* parent, const std::string& text, CGPoint at, float size = 11) {
    if (CCLabelTTF* label = CCLabelTTF::labelWithString(text, "Helvetica", size)) {
        label->setPosition(at);
        parent->addChild(label, 10);
    }
}

// A sprite of the image (or of one sheet tile) at `at`; nullptr when the
// image is missing (the loader has logged it).
CCSprite* addSprite(CCNode* parent, const char* file, CGPoint at, float scale, int z = 1) {
    CCSprite* s = CCSprite::spriteWithFile(file);
    if (!s) return nullptr;
    s->setPosition(at);
    s->setScale(scale);
    parent->addChild(s, z);
    return s;
}

// One of the sheet's four square tiles, in points of whichever variant
// (plain or "-hd") was loaded.
CGRect tileRect(CCTexture2D* sheet, int tile) {
    const float side = sheet->contentSize().height;
    return CGRectMake(side * float(tile), 0, side, side);
}

CCSprite* addTile(CCNode* parent, int tile, CGPoint at, int z = 1) {
    CCTexture2D* sheet = CCTextureCache::sharedTextureCache()->addImage(kSheet);
    if (!sheet) return nullptr;
    CCSprite* s = CCSprite::spriteWithTexture(sheet, tileRect(sheet, tile));
    s->setPosition(at);
    parent->addChild(s, z);
    return s;
}

void colourCell(CCNode* parent, CGPoint c) {
    const ccColor3B tints[] = {ccc3(255, 90, 90), ccc3(90, 220, 110), ccc3(100, 150, 255)};
    for (int i = 0; i < 3; ++i)
        if (CCSprite* s = addSprite(parent, kArrow, CGPointMake(c.x, c.y + 35 - 35 * float(i)), 0.6f))
            s->setColor(tints[i]);
    addCaption(parent, "colour", CGPointMake(c.x, c.y - 62));
}

void opacityCell(CCNode* parent, CGPoint c) {
    if (CCSprite* checker = addSprite(parent, kChecker, c, 1, 0)) {
        checker->texture()->setAliasTexParameters();
        checker->setScaleX(84 / checker->contentSize().width);
        checker->setScaleY(108 / checker->contentSize().height);
    }
    const uint8_t opacities[] = {255, 140, 60};
    for (int i = 0; i < 3; ++i)
        if (CCSprite* s = addSprite(parent, kArrow, CGPointMake(c.x, c.y + 35 - 35 * float(i)), 0.6f))
            s->setOpacity(opacities[i]);
    addCaption(parent, "opacity 255 / 140 / 60", CGPointMake(c.x, c.y - 62));
}

void flipCell(CCNode* parent, CGPoint c) {
    struct Flip { bool x, y; const char* name; };
    const Flip flips[] = {{true, false, "X"}, {false, true, "Y"}, {true, true, "XY"}};
    for (int i = 0; i < 3; ++i) {
        const float y = c.y + 35 - 35 * float(i);
        if (CCSprite* s = addSprite(parent, kArrow, CGPointMake(c.x + 10, y), 0.6f)) {
            s->setFlipX(flips[i].x);
            s->setFlipY(flips[i].y);
        }
        addCaption(parent, flips[i].name, CGPointMake(c.x - 36, y), 10);
    }
    addCaption(parent, "flipX / flipY / both", CGPointMake(c.x, c.y - 62));
}

void textureRectCell(CCNode* parent, CGPoint c) {
    // The sheet's tiles in reverse order, each a rectangle of one texture.
    for (int tile = 0; tile < 4; ++tile) {
        const int slot = 3 - tile;
        addTile(parent, tile, CGPointMake(c.x - 20 + 40 * float(slot % 2), c.y + 20 - 40 * float(slot / 2)));
    }
    addCaption(parent, "texture rectangles", CGPointMake(c.x, c.y - 62));
}

void displayFrameCell(CCNode* parent, CGPoint c) {
    CCSprite* s = addTile(parent, 0, c);
    if (!s) return;
    s->setScale(2);
    CCAnimation* count = CCAnimation::animationWithName("count", 0.3f);
    for (int tile = 0; tile < 4; ++tile)
        count->addFrameWithTexture(s->texture(), tileRect(s->texture(), tile));
    s->addAnimation(count);
    parent->addChild(Clock::make([s](float t) { s->setDisplayFrame("count", unsigned(t / 0.3f) % 4); }));
    addCaption(parent, "display frames", CGPointMake(c.x, c.y - 62));
}

void anchorCell(CCNode* parent, CGPoint c) {
    const CGPoint anchors[] = {CGPointMake(0, 0), CGPointMake(0.5f, 0.5f), CGPointMake(1, 1)};
    CCSprite* arrows[3] = {};
    for (int i = 0; i < 3; ++i) {
        const CGPoint at = CGPointMake(c.x - 38 + 38 * float(i), c.y - 14 + 14 * float(i));
        arrows[i] = addSprite(parent, kArrow, at, 0.45f);
        if (arrows[i]) arrows[i]->setAnchorPoint(anchors[i]);
        if (CCSprite* dot = addSprite(parent, kBall, at, 0.22f, 2)) dot->setColor(ccc3(255, 60, 60));
    }
    parent->addChild(Clock::make([arrows](float t) {
        for (CCSprite* a : arrows)
            if (a) a->setRotation(25 * std::sin(t * 2.5f));
    }));
    addCaption(parent, "anchors 0 / 0.5 / 1", CGPointMake(c.x, c.y - 62));
}

void zOrderCell(CCNode* parent, CGPoint c) {
    const int zs[] = {2, 3, 1};
    for (int tile = 0; tile < 3; ++tile)
        addTile(parent, tile, CGPointMake(c.x - 18 + 18 * float(tile), c.y + 14 - 14 * float(tile)), zs[tile]);
    addCaption(parent, "z order 2 / 3 / 1", CGPointMake(c.x, c.y - 62));
}

void transformCell(CCNode* parent, CGPoint c) {
    if (CCSprite* s = addSprite(parent, kArrow, CGPointMake(c.x, c.y + 25), 0.7f)) s->setRotation(-30);
    if (CCSprite* s = addSprite(parent, kArrow, CGPointMake(c.x, c.y - 25), 0.7f)) s->setSkewX(30);
    addCaption(parent, "rotation / skewX", CGPointMake(c.x, c.y - 62));
}

}  // namespace

TILTBOARD_SAMPLE(sprites, "Sprites: colour, opacity, flips, rectangles, frames, anchors, z order") {
    CCScene* scene = CCScene::node();
    const CGSize win = CCDirector::sharedDirector()->winSize();
    scene->addChild(CCLayerColor::layerWithColor(ccc4(34, 38, 52, 255)), -10);

    const float column = win.width / 4;
    const float top = win.height - 115, bottom = 80;
    auto cell = [&](int col, float y) { return CGPointMake(column * (float(col) + 0.5f), y); };
    colourCell(scene, cell(0, top));
    opacityCell(scene, cell(1, top));
    flipCell(scene, cell(2, top));
    textureRectCell(scene, cell(3, top));
    displayFrameCell(scene, cell(0, bottom));
    anchorCell(scene, cell(1, bottom));
    zOrderCell(scene, cell(2, bottom));
    transformCell(scene, cell(3, bottom));

    if (!CCTextureCache::sharedTextureCache()->textureForKey(kArrow))
        addCaption(scene, "the sprite images are missing (tools/make-sprite-samples)",
                   CGPointMake(win.width / 2, win.height / 2), 14);
    addSampleTitle(scene, "Sprites: colour, opacity, flips, rectangles, frames, anchors, z order");
    return scene;
}
