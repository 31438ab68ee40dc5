// Character-map labels: a clock and a score that change every frame, a
// ticker scrolling through the whole map in changing colours, and the
// director's frames-per-second counter in the bottom-left corner.
#include <cmath>
#include <cstdio>
#include <string>

#include "Sample.h"
#include "engine/CCDirector.h"
#include "engine/CCLabelAtlas.h"
#include "engine/CCLayer.h"
#include "engine/CCScene.h"

namespace {

const char kCharMap[] = "samples/charmap/charmap.png";  // " " to "Z", 24 x 32 cells
const unsigned kCellWidth = 24, kCellHeight = 32;
const char kTickerText[] =
    "THE QUICK BROWN FOX JUMPS OVER THE LAZY DOG! 0123456789 #$%&'()*+,-./:;<=>?@ ";
const size_t kTickerWidth = 15;  // characters shown at once

class CharmapDemo : public CCLayer {
public:
    static CharmapDemo* make() {
        return host::create<CharmapDemo>([](CharmapDemo* d) { return d->build(); });
    }

    void onEnter() override {
        CCLayer::onEnter();
        CCDirector::sharedDirector()->setDisplayFPS(true);
    }
    void onExit() override {
        CCDirector::sharedDirector()->setDisplayFPS(false);
        CCLayer::onExit();
    }

    void update(ccTime dt) override {
        elapsed_ += dt;
        char text[32];
        std::snprintf(text, sizeof text, "TIME %06.2f", double(elapsed_));
        text_.assign(text);
        clock_->setString(text_);

        score_ += unsigned(std::lround(dt * 437));
        std::snprintf(text, sizeof text, "SCORE %07u", score_ % 10000000);
        text_.assign(text);
        score_label_->setString(text_);

        // Two characters a second; the buffer keeps its capacity, so the
        // label's text changes without allocating.
        const size_t length = sizeof kTickerText - 1;
        const size_t first = size_t(elapsed_ * 2) % length;
        text_.clear();
        for (size_t i = 0; i < kTickerWidth; ++i) text_.push_back(kTickerText[(first + i) % length]);
        ticker_->setString(text_);
        const float phase = elapsed_ * 1.5f;
        ticker_->setColor(ccc3(uint8_t(160 + 95 * std::sin(phase)), uint8_t(160 + 95 * std::sin(phase + 2.1f)),
                               uint8_t(160 + 95 * std::sin(phase + 4.2f))));
        ticker_->setOpacity(uint8_t(175 + 80 * std::sin(elapsed_ * 3)));
    }

private:
    bool build() {
        if (!init()) return false;
        const CGSize win = CCDirector::sharedDirector()->winSize();
        text_.reserve(32);
        clock_ = addLabel("TIME 000.00", CGPointMake(win.width / 2, win.height - 90), ccc3(255, 220, 90));
        score_label_ =
            addLabel("SCORE 0000000", CGPointMake(win.width / 2, win.height - 140), ccc3(110, 230, 255));
        ticker_ = addLabel(std::string(kTickerText, kTickerWidth), CGPointMake(win.width / 2, 110),
                           ccc3(255, 255, 255));
        if (!clock_ || !score_label_ || !ticker_) return false;
        scheduleUpdate();
        return true;
    }
    CCLabelAtlas* addLabel(const std::string& text, CGPoint at, ccColor3B colour) {
        CCLabelAtlas* label = CCLabelAtlas::labelWithString(text, kCharMap, kCellWidth, kCellHeight, ' ');
        if (!label) return nullptr;
        label->setAnchorPoint(CGPointMake(0.5f, 0.5f));
        label->setPosition(at);
        label->setColor(colour);
        addChild(label);
        return label;
    }

    // Children of this layer: kept alive by it.
    CCLabelAtlas* clock_ = nullptr;
    CCLabelAtlas* score_label_ = nullptr;
    CCLabelAtlas* ticker_ = nullptr;
    std::string text_;
    float elapsed_ = 0;
    unsigned score_ = 0;
};

}  // namespace

TILTBOARD_SAMPLE(charmap, "Character-map labels and the FPS counter") {
    CCScene* scene = CCScene::node();
    scene->addChild(CCLayerColor::layerWithColor(ccc4(24, 40, 70, 255)));
    if (CharmapDemo* demo = CharmapDemo::make()) scene->addChild(demo, 1);
    addSampleTitle(scene, "Character-map labels and the FPS counter");
    return scene;
}
