// Render texture: a canvas the size of the window that keeps what is drawn
// into it. Dragging the mouse (or a finger) paints soft strokes, each in
// the next colour; S (or "Save PNG") writes the canvas as a PNG into the
// data directory and says where; C (or "Clear") starts again. A stroke
// draws itself over the first second so that a short headless run shows
// the canvas part-way through it.
#include <algorithm>
#include <cmath>
#include <filesystem>
#include <string>
#include <system_error>

#include "ActionSampleSupport.h"
#include "Sample.h"
#include "engine/CCDirector.h"
#include "engine/CCLayer.h"
#include "engine/CCMenu.h"
#include "engine/CCMenuItem.h"
#include "engine/CCRenderTexture.h"
#include "engine/CCScene.h"
#include "engine/Support/CGPointExtension.h"
#include "host/core/Application.h"
#include "host/core/Log.h"
#include "host/core/Ref.h"
#include "host/data/UserDefaults.h"
#include "host/ui/Touch.h"

using namespace action_samples;

namespace {

const ccColor4F kPaper{0.96f, 0.94f, 0.88f, 1};
const ccColor3B kInks[] = {{200, 40, 40}, {30, 110, 200}, {40, 150, 70}, {230, 140, 20}, {120, 60, 170}};
constexpr float kStampSpacing = 2;   // points between brush stamps along a stroke
constexpr ccTime kDemoStroke = 1.0f;  // how long the opening stroke takes

class CanvasLayer : public CCLayer {
public:
    bool init() override {
        if (!CCLayer::init()) return false;
        const CGSize win = CCDirector::sharedDirector()->winSize();
        canvas_ = CCRenderTexture::renderTextureWithWidth(int(win.width), int(win.height));
        brush_ = CCSprite::spriteWithFile(kDot);
        if (!canvas_ || !brush_) {
            addCaption(this, "no canvas: see the log", ccp(win.width / 2, win.height / 2), 14, ccc3(255, 120, 120));
            return true;
        }
        canvas_->setPosition(ccp(win.width / 2, win.height / 2));
        addChild(canvas_);
        // A band under the sample's title, so that it reads on the paper.
        CCLayerColor* band = CCLayerColor::layerWithColor(ccc4(40, 44, 60, 255), win.width, 28);
        band->setPosition(ccp(0, win.height - 28));
        addChild(band, 1);
        clearCanvas();

        CCMenuItemLabel* saveItem =
            CCMenuItemLabel::itemWithLabel(caption("Save PNG (S)"), [this](host::Object*) { save(); });
        CCMenuItemLabel* clearItem =
            CCMenuItemLabel::itemWithLabel(caption("Clear (C)"), [this](host::Object*) { clearCanvas(); });
        CCMenu* menu = CCMenu::menuWithItems({saveItem, clearItem});
        menu->alignItemsHorizontallyWithPadding(24);
        menu->setPosition(ccp(win.width - 110, 18));
        addChild(menu, 5);
        status_ = addCaption(this, "drag to draw", ccp(win.width / 3, 18), 11, ccc3(60, 60, 70));

        setIsTouchEnabled(true);
        scheduleUpdate();
        return true;
    }

    void onEnter() override {
        CCLayer::onEnter();
        host::Ref<CanvasLayer> self(this);
        host::Application::sharedApplication()->setKeyHandler([self](int key) {
            if (key == 's') self->save();
            if (key == 'c') self->clearCanvas();
        });
    }
    void onExit() override {
        host::Application::sharedApplication()->setKeyHandler(nullptr);
        CCLayer::onExit();
    }

    void ccTouchesBegan(host::TouchSet* touches, host::Event*) override {
        nextInk();
        last_ = touchPoint(touches);
        stamp(last_);
    }
    void ccTouchesMoved(host::TouchSet* touches, host::Event*) override {
        const CGPoint to = touchPoint(touches);
        strokeTo(to);
    }
    int implementedTouchesCallbacks() const override { return kCCTouchBeganBit | kCCTouchMovedBit; }

    // The opening stroke: a loop drawn across the canvas.
    void update(ccTime dt) override {
        const CGSize win = CCDirector::sharedDirector()->winSize();
        const float t = demoTime_ / kDemoStroke * 6.2831853f;
        const CGPoint p = ccp(win.width * (0.5f + 0.35f * std::sin(t)), win.height * (0.55f + 0.28f * std::sin(2 * t)));
        if (demoTime_ == 0) {
            nextInk();
            last_ = p;
            stamp(p);
        } else {
            strokeTo(p);
        }
        if (demoTime_ >= kDemoStroke) return unscheduleUpdate();
        demoTime_ = std::min(kDemoStroke, demoTime_ + std::max(dt, 1e-3f));
    }

    void save() {
        const std::string folder = host::UserDefaults::dataDirectory();
        std::error_code ec;
        std::filesystem::create_directories(folder, ec);
        const std::string path = folder + "/rendertexture.png";
        const bool saved = canvas_->saveBuffer(path, kCCRenderTextureImageFormatPNG);
        const std::string said = saved ? "saved to " + path : "could not save " + path + ": see the log";
        host::log("rendertexture: %s", said.c_str());
        if (status_) status_->setString(said);
    }

    void clearCanvas() {
        if (canvas_) canvas_->clear(kPaper.r, kPaper.g, kPaper.b, kPaper.a);
    }

private:
    static CCLabelTTF* caption(const char* text) {
        CCLabelTTF* label = CCLabelTTF::labelWithString(text, "Helvetica", 12);
        if (label) label->setColor(ccc3(40, 40, 60));
        return label;
    }
    CGPoint touchPoint(host::TouchSet* touches) {
        return convertTouchToNodeSpace(static_cast<host::Touch*>(touches->anyObject()));
    }
    void nextInk() {
        if (brush_) brush_->setColor(kInks[ink_++ % (sizeof kInks / sizeof kInks[0])]);
    }
    void stamp(CGPoint at) {
        if (!canvas_ || !brush_) return;
        canvas_->begin();
        brush_->setPosition(at);
        brush_->visit();
        canvas_->end();
    }
    // Stamps the brush every few points from the last point to `to`, in one
    // pass into the canvas.
    void strokeTo(CGPoint to) {
        if (!canvas_ || !brush_) return;
        const float distance = ccpDistance(last_, to);
        const int stamps = std::max(1, int(distance / kStampSpacing));
        canvas_->begin();
        for (int i = 1; i <= stamps; ++i) {
            brush_->setPosition(ccpLerp(last_, to, float(i) / float(stamps)));
            brush_->visit();
        }
        canvas_->end();
        last_ = to;
    }

    CCRenderTexture* canvas_ = nullptr;  // a child
    host::Ref<CCSprite> brush_;          // drawn only into the canvas
    CCLabelTTF* status_ = nullptr;       // a child
    CGPoint last_ = CGPointZero;
    unsigned ink_ = 0;
    ccTime demoTime_ = 0;
};

}  // namespace

TILTBOARD_SAMPLE(rendertexture, "Render texture: draw with the mouse, S saves") {
    CCScene* scene = CCScene::node();
    scene->addChild(host::create<CanvasLayer>());
    addSampleTitle(scene, "Render texture: draw with the mouse, S saves");
    return scene;
}
