#include "SampleBrowser.h"

#include <algorithm>

#include "Sample.h"
#include "engine/CCDirector.h"
#include "engine/CCLabelTTF.h"
#include "engine/CCScene.h"
#include "engine/platform/CCTouchDispatcher.h"

namespace {
const float kMaxRowHeight = 22;
const float kListTop = 40;  // below the title
const int kRowTagBase = 100;
// Above everything a sample adds.
const int kBackLayerZ = 10000;

// Rows shrink (down to 12-point text) so that every sample fits the window.
float rowHeight() {
    const float room = CCDirector::sharedDirector()->winSize().height - kListTop - 4;
    const size_t rows = std::max<size_t>(1, SampleCatalogue::shared().samples().size());
    return std::max(14.0f, std::min(kMaxRowHeight, room / float(rows)));
}
}  // namespace

CCScene* SampleBrowser::menuScene() {
    CCScene* scene = CCScene::node();
    scene->addChild(host::create<SampleListLayer>());
    addSampleTitle(scene, "Tiltboard engine samples");
    return scene;
}

CCScene* SampleBrowser::sampleScene(const Sample& sample, bool withBackControl) {
    CCScene* scene = sample.makeScene();
    if (scene && withBackControl) scene->addChild(host::create<SampleBackLayer>(), kBackLayerZ);
    return scene;
}

// ---- SampleListLayer -----------------------------------------------------

bool SampleListLayer::init() {
    if (!CCLayer::init()) return false;
    const CGSize win = CCDirector::sharedDirector()->winSize();
    const auto& samples = SampleCatalogue::shared().samples();
    const float height = rowHeight();
    for (size_t i = 0; i < samples.size(); ++i) {
        const std::string text = samples[i].name + " \xE2\x80\x94 " + samples[i].title;
        CCLabelTTF* row = CCLabelTTF::labelWithString(text, "Helvetica", std::min(14.0f, height - 2));
        if (!row) continue;
        row->setAnchorPoint(CGPointMake(0, 0.5f));
        row->setPosition(CGPointMake(20, win.height - kListTop - height * (float(i) + 0.5f)));
        addChild(row, 0, kRowTagBase + int(i));
    }
    setIsTouchEnabled(true);
    return true;
}

void SampleListLayer::registerWithTouchDispatcher() {
    CCTouchDispatcher::sharedDispatcher()->addTargetedDelegate(this, 0, true);
}

int SampleListLayer::rowAt(host::Touch* touch) {
    const CGPoint p = convertTouchToNodeSpace(touch);
    const CGSize win = CCDirector::sharedDirector()->winSize();
    const float fromTop = float(win.height - p.y) - kListTop;
    if (fromTop < 0) return -1;
    const int row = int(fromTop / rowHeight());
    return row < int(SampleCatalogue::shared().samples().size()) ? row : -1;
}

bool SampleListLayer::ccTouchBegan(host::Touch* touch, host::Event*) {
    pressedRow_ = rowAt(touch);
    if (pressedRow_ < 0) return false;
    if (CCNode* row = getChildByTag(kRowTagBase + pressedRow_))
        static_cast<CCLabelTTF*>(row)->setColor(ccc3(255, 220, 0));
    return true;
}

// A row opens when the finger lifts over the row it went down on.
void SampleListLayer::ccTouchEnded(host::Touch* touch, host::Event*) {
    if (CCNode* row = getChildByTag(kRowTagBase + pressedRow_))
        static_cast<CCLabelTTF*>(row)->setColor(ccc3(255, 255, 255));
    const int row = rowAt(touch);
    if (row < 0 || row != pressedRow_) return;
    const Sample& sample = SampleCatalogue::shared().samples()[size_t(row)];
    if (CCScene* scene = SampleBrowser::sampleScene(sample, true)) CCDirector::sharedDirector()->replaceScene(scene);
}

// ---- SampleBackLayer -----------------------------------------------------

bool SampleBackLayer::init() {
    if (!CCLayer::init()) return false;
    label_ = CCLabelTTF::labelWithString("\xE2\x80\xB9 Samples", "Helvetica", 14);
    if (label_) {
        const CGSize win = CCDirector::sharedDirector()->winSize();
        label_->setAnchorPoint(CGPointMake(0, 1));
        label_->setPosition(CGPointMake(6, win.height - 4));
        label_->setColor(ccc3(255, 220, 0));
        addChild(label_);
    }
    setIsTouchEnabled(true);
    return true;
}

// Ahead of whatever the sample registers, so the control always answers.
void SampleBackLayer::registerWithTouchDispatcher() {
    CCTouchDispatcher::sharedDispatcher()->addTargetedDelegate(this, -1000, true);
}

bool SampleBackLayer::hits(host::Touch* touch) {
    if (!label_) return false;
    const CGPoint p = convertTouchToNodeSpace(touch);
    CGRect box = label_->boundingBox();
    box = CGRectInset(box, -8, -8);
    return CGRectContainsPoint(box, p);
}

bool SampleBackLayer::ccTouchBegan(host::Touch* touch, host::Event*) { return hits(touch); }

void SampleBackLayer::ccTouchEnded(host::Touch* touch, host::Event*) {
    if (hits(touch)) CCDirector::sharedDirector()->replaceScene(SampleBrowser::menuScene());
}
