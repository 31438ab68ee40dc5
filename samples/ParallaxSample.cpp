// The parallax node: clouds, mountains, hills and trees at four ratios of
// the node's motion. Dragging scrolls the landscape; left alone it drifts
// back and forth. Only the front layer moves as fast as the finger.
#include <algorithm>
#include <cmath>

#include "FingerLayer.h"
#include "Sample.h"
#include "engine/CCDirector.h"
#include "engine/CCLabelBMFont.h"
#include "engine/CCParallaxNode.h"
#include "engine/CCScene.h"
#include "engine/CCSprite.h"

namespace {

// How far the landscape scrolls (points, leftwards from the start).
const float kScrollRange = 1400;
// After this long without a finger the landscape drifts on its own.
const float kIdleSeconds = 1.5f;

struct ParallaxLayer {
    const char* image;
    float ratio;
    float y;      // bottom edge, points
    int tiles;    // side by side, enough for the scroll range at the ratio
    float width;  // of one tile, points
};

const ParallaxLayer kLayers[] = {
    {"samples/parallax/cloud.png", 0.08f, 200, 6, 170},
    {"samples/parallax/mountains.png", 0.25f, 56, 3, 512},
    {"samples/parallax/hills.png", 0.5f, 14, 4, 512},
    {"samples/parallax/trees.png", 1.0f, 0, 5, 512},
};

class ParallaxDemo : public FingerLayer {
public:
    static ParallaxDemo* make() { return host::create<ParallaxDemo>([](ParallaxDemo* d) { return d->build(); }); }

    void update(ccTime dt) override {
        if (dragging_) return;
        idle_ += dt;
        if (idle_ < kIdleSeconds) return;
        // A slow swing across the whole range.
        drift_ += dt * 0.25f;
        scrollTo(-kScrollRange * 0.5f * (1 - std::cos(drift_)));
    }

private:
    bool build() {
        if (!init()) return false;
        scroll_ = CCParallaxNode::node();
        int z = 0;
        for (const ParallaxLayer& layer : kLayers) {
            CCNode* strip = CCNode::node();
            for (int i = 0; i < layer.tiles; ++i) {
                CCSprite* tile = CCSprite::spriteWithFile(layer.image);
                if (!tile) return false;
                tile->setAnchorPoint(CGPointZero);
                // Clouds are spread out and at varied heights; the rest tile edge to edge.
                const bool cloud = layer.width < 512;
                tile->setPosition(CGPointMake(float(i) * (cloud ? layer.width * 1.7f : layer.width),
                                              cloud ? float((i * 37) % 60) : 0));
                strip->addChild(tile);
            }
            scroll_->addChild(strip, z++, CGPointMake(layer.ratio, 0), CGPointMake(0, layer.y));
        }
        addChild(scroll_);
        if (CCLabelBMFont* hint = CCLabelBMFont::labelWithString("drag to scroll: ratios 0.08, 0.25, 0.5, 1",
                                                                 "samples/bmfont/mono-16.fnt")) {
            hint->setAnchorPoint(CGPointMake(0, 0));
            hint->setPosition(CGPointMake(8, 6));
            addChild(hint, 1);
        }
        setIsTouchEnabled(true);
        scheduleUpdate();
        return true;
    }

    void fingerDown(CGPoint) override { dragging_ = true; }
    void fingerMoved(CGPoint from, CGPoint to) override { scrollTo(scroll_->position().x + to.x - from.x); }
    void fingerUp() override {
        dragging_ = false;
        idle_ = 0;
        // Carry on drifting from where the finger left it.
        drift_ = std::acos(std::clamp(1 + 2 * scroll_->position().x / kScrollRange, -1.0f, 1.0f));
    }
    void scrollTo(float x) { scroll_->setPosition(CGPointMake(std::clamp(x, -kScrollRange, 0.0f), 0)); }

    CCParallaxNode* scroll_ = nullptr;  // a child
    bool dragging_ = false;
    float idle_ = kIdleSeconds;  // drifting from the start
    float drift_ = 0;
};

}  // namespace

TILTBOARD_SAMPLE(parallax, "Parallax node: four layers, drag to scroll") {
    CCScene* scene = CCScene::node();
    scene->addChild(CCLayerGradient::layerWithColor(ccc4(70, 130, 210, 255), ccc4(190, 220, 245, 255)));
    if (ParallaxDemo* demo = ParallaxDemo::make()) scene->addChild(demo, 1);
    addSampleTitle(scene, "Parallax node: four layers, drag to scroll");
    return scene;
}
