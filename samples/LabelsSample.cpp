// Text labels: several fonts and sizes, the three alignments in boxes, each
// line-break mode, non-ASCII text, and a label whose string changes every
// half second. Boxes are shown by a faint colour layer behind the label.
#include <string>
#include <vector>

#include "Sample.h"
#include "engine/CCDirector.h"
#include "engine/CCLabelTTF.h"
#include "engine/CCLayer.h"
#include "engine/CCScene.h"
#include "host/text/TextLayout.h"

namespace {

const ccColor4B kBoxColour{70, 90, 140, 110};
const ccColor3B kCaptionColour{170, 180, 200};

// A label centred on `at`, anchored at its centre.
CCLabelTTF* addLabel(CCNode* parent, const std::string& text, const char* font, float size, CGPoint at) {
    CCLabelTTF* label = CCLabelTTF::labelWithString(text, font, size);
    if (!label) return nullptr;
    label->setPosition(at);
    parent->addChild(label, 1);
    return label;
}

void addCaption(CCNode* parent, const std::string& text, CGPoint at) {
    if (CCLabelTTF* label = addLabel(parent, text, "Helvetica", 10, at)) label->setColor(kCaptionColour);
}

// A label laid out in a box whose bottom-left corner is `origin`, with the
// box drawn behind it.
void addBoxedLabel(CCNode* parent, const std::string& text, CGSize box, int alignment, int lineBreakMode,
                   const char* font, float size, CGPoint origin) {
    CCLayerColor* backdrop = CCLayerColor::layerWithColor(kBoxColour, box.width, box.height);
    backdrop->setPosition(origin);
    parent->addChild(backdrop);
    CCLabelTTF* label = CCLabelTTF::labelWithString(text, box, alignment, lineBreakMode, font, size);
    if (!label) return;
    label->setAnchorPoint(CGPointZero);
    label->setPosition(origin);
    parent->addChild(label, 1);
}

// Counts up, re-rendering its label each time, as the game's score does.
class ScoreTicker : public CCNode {
public:
    static ScoreTicker* make(CGPoint at) {
        return host::create<ScoreTicker>([&](ScoreTicker* t) {
            if (!t->init()) return false;
            t->label_ = addLabel(t, "Score: 0", "Helvetica-Bold", 18, at);
            if (!t->label_) return false;
            t->label_->setColor(ccc3(255, 210, 60));
            t->schedule(schedule_selector(ScoreTicker::tick), 0.5f);
            return true;
        });
    }
    void tick(ccTime) { label_->setString("Score: " + std::to_string(++score_)); }

private:
    CCLabelTTF* label_ = nullptr;  // a child: owned by this node
    int score_ = 0;
};

// Labels placed left to right with `gap` between them, the row centred.
void addRow(CCNode* scene, const std::vector<CCLabelTTF*>& labels, float gap, float y) {
    float width = -gap;
    for (CCLabelTTF* label : labels) width += label->contentSize().width + gap;
    float x = (CCDirector::sharedDirector()->winSize().width - width) / 2;
    for (CCLabelTTF* label : labels) {
        label->setAnchorPoint(CGPointMake(0, 0));
        label->setPosition(CGPointMake(x, y));
        scene->addChild(label, 1);
        x += label->contentSize().width + gap;
    }
}

void addFonts(CCNode* scene, float baseline) {
    const struct { const char* font; const char* text; } fonts[] = {
        {"Helvetica", "Helvetica"}, {"Times", "Times"}, {"Courier", "Courier"}, {"Helvetica-Bold", "Helvetica Bold"},
        {"Times New Roman-Italic", "Times Italic"}};
    std::vector<CCLabelTTF*> labels;
    for (const auto& f : fonts)
        if (CCLabelTTF* label = CCLabelTTF::labelWithString(f.text, f.font, 17)) labels.push_back(label);
    addRow(scene, labels, 14, baseline);
}

void addSizes(CCNode* scene, float baseline) {
    std::vector<CCLabelTTF*> labels;
    for (int size : {10, 14, 20, 28, 36})
        if (CCLabelTTF* label = CCLabelTTF::labelWithString(std::to_string(size) + " pt", "Helvetica", float(size)))
            labels.push_back(label);
    addRow(scene, labels, 18, baseline);
}

void addAlignments(CCNode* scene, float bottom) {
    const char* names[] = {"left", "centre", "right"};
    for (int a = 0; a < 3; ++a) {
        const CGPoint origin = CGPointMake(12 + 156.0f * a, bottom);
        addBoxedLabel(scene, std::string("Aligned ") + names[a] + ", wrapped at words", CGSizeMake(144, 40),
                      a, host::kTextLineBreakModeWordWrap, "Helvetica", 14, origin);
        addCaption(scene, std::string("alignment ") + std::to_string(a) + " (" + names[a] + ")",
                   CGPointMake(origin.x + 72, bottom - 8));
    }
}

void addLineBreakModes(CCNode* scene, float bottom) {
    const char* names[] = {"word wrap", "char wrap", "clip", "head", "tail", "middle"};
    for (int mode = 0; mode <= 5; ++mode) {
        const CGPoint origin = CGPointMake(8 + 79.0f * mode, bottom);
        addBoxedLabel(scene, "Tilt the board", CGSizeMake(72, 34), 0, mode, "Helvetica", 13, origin);
        addCaption(scene, std::to_string(mode) + " " + names[mode], CGPointMake(origin.x + 36, bottom - 8));
    }
}

}  // namespace

TILTBOARD_SAMPLE(labels, "Labels: fonts, sizes, boxes, alignment, line breaks") {
    CCScene* scene = CCScene::node();
    const CGSize win = CCDirector::sharedDirector()->winSize();

    addFonts(scene, win.height - 52);
    addSizes(scene, win.height - 104);
    addAlignments(scene, win.height - 162);
    addLineBreakModes(scene, win.height - 222);

    if (CCLabelTTF* unicode = addLabel(scene, "Größe ☃ é – ½ ✓ Ελληνικά Русский", "Helvetica", 18,
                                       CGPointMake(win.width / 2, 54)))
        unicode->setColor(ccc3(140, 230, 160));
    scene->addChild(ScoreTicker::make(CGPointMake(win.width / 2, 24)));

    addSampleTitle(scene, "Labels: fonts, sizes, boxes, alignment, line breaks");
    return scene;
}
