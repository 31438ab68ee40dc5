// Colour layers at several opacities over a striped backdrop, gradients
// along four vectors, and a multiplexer that switches layers every second.
#include "Sample.h"
#include "engine/CCDirector.h"
#include "engine/CCLabelTTF.h"
#include "engine/CCLayer.h"
#include "engine/CCScene.h"

namespace {

void addCaption(CCNode* parent, const std::string& text, CGPoint at) {
    if (CCLabelTTF* label = CCLabelTTF::labelWithString(text, "Helvetica", 11)) {
        label->setPosition(at);
        parent->addChild(label, 5);
    }
}

// Cycles its layers on a one-second timer.
class CyclingMultiplex : public CCLayerMultiplex {
public:
    static CyclingMultiplex* make(std::initializer_list<CCLayer*> layers) {
        return host::create<CyclingMultiplex>([&](CyclingMultiplex* m) {
            if (!m->initWithLayers(layers)) return false;
            m->schedule(schedule_selector(CyclingMultiplex::next), 1.0f);
            return true;
        });
    }
    void next(ccTime) { switchTo(unsigned((enabledLayer() + 1) % layerCount())); }
};

CCLayerColor* panel(ccColor4B colour, float w, float h, CGPoint at) {
    CCLayerColor* layer = CCLayerColor::layerWithColor(colour, w, h);
    layer->setPosition(at);
    return layer;
}

}  // namespace

TILTBOARD_SAMPLE(layers, "Layers: colour, opacity, gradients, multiplexer") {
    CCScene* scene = CCScene::node();
    const CGSize win = CCDirector::sharedDirector()->winSize();

    // A striped backdrop under the translucent panels shows their opacity.
    for (int i = 0; i < 12; ++i)
        scene->addChild(panel(i % 2 ? ccc4(60, 60, 70, 255) : ccc4(200, 200, 210, 255), 20, 120,
                              CGPointMake(20 + 20.0f * float(i), win.height - 170)));
    const uint8_t opacities[] = {255, 192, 128, 64};
    for (int i = 0; i < 4; ++i) {
        const CGPoint at = CGPointMake(30 + 55.0f * float(i), win.height - 150);
        scene->addChild(panel(ccc4(230, 40, 40, opacities[i]), 45, 80, at), 1);
        addCaption(scene, std::to_string(opacities[i]), CGPointMake(at.x + 22, at.y - 10));
    }

    addCaption(scene, "opacity", CGPointMake(140, win.height - 40));

    // Gradients along four directions.
    struct { CGPoint vector; const char* caption; } gradients[] = {
        {{0, -1}, "down"}, {{1, 0}, "right"}, {{1, 1}, "diagonal"}, {{-1, 0.5f}, "(-1, 0.5)"}};
    for (int i = 0; i < 4; ++i) {
        CCLayerGradient* g = CCLayerGradient::layerWithColor(ccc4(255, 200, 0, 255), ccc4(0, 80, 255, 255),
                                                             gradients[i].vector);
        g->setContentSize(CGSizeMake(70, 70));
        g->setPosition(CGPointMake(30 + 85.0f * float(i), 40));
        scene->addChild(g, 1);
        addCaption(scene, gradients[i].caption, CGPointMake(65 + 85.0f * float(i), 30));
    }

    // The multiplexer on the right: one of three layers at a time.
    const ccColor4B colours[] = {ccc4(40, 180, 90, 255), ccc4(150, 60, 200, 255), ccc4(240, 140, 30, 255)};
    CCLayer* shown[3];
    for (int i = 0; i < 3; ++i) {
        CCLayerColor* layer = CCLayerColor::layerWithColor(colours[i], 110, 150);
        addCaption(layer, "layer " + std::to_string(i + 1), CGPointMake(55, 75));
        shown[i] = layer;
    }
    CyclingMultiplex* multiplex = CyclingMultiplex::make({shown[0], shown[1], shown[2]});
    multiplex->setPosition(CGPointMake(win.width - 140, 100));
    scene->addChild(multiplex, 1);
    addCaption(scene, "multiplexer, every 1 s", CGPointMake(win.width - 85, 88));

    addSampleTitle(scene, "Layers: colour, opacity, gradients, multiplexer");
    return scene;
}
