// Bitmap-font labels: four fonts made by make-bitmap-font at build time, a
// kerned headline whose letters jump one after another, a multi-line text,
// a coloured line and a status line whose string changes every second.
#include <cstdio>
#include <string>

#include "Sample.h"
#include "engine/CCActionInterval.h"
#include "engine/CCActionIntervalProperty.h"
#include "engine/CCDirector.h"
#include "engine/CCLabelBMFont.h"
#include "engine/CCLayer.h"
#include "engine/CCScene.h"
#include "engine/CCSprite.h"

namespace {

const char kHeadlineFont[] = "samples/bmfont/serif-bold-44.fnt";
const char kTextFont[] = "samples/bmfont/sans-28.fnt";
const char kGothicFont[] = "samples/bmfont/gothic-22.fnt";
const char kStatusFont[] = "samples/bmfont/mono-16.fnt";

// "AV", "Wa", "To" and "Ty" are pairs the serif font kerns.
const char kHeadline[] = "AVATAR Waves To Ty";
const char kText[] = "Bitmap fonts, one sprite a letter:\nkerning, several lines, any tint";

class BMFontDemo : public CCLayer {
public:
    static BMFontDemo* make() { return host::create<BMFontDemo>([](BMFontDemo* d) { return d->build(); }); }

    // Once a second: the clock and how many frames it took.
    void tick(ccTime dt) {
        elapsed_ += dt;
        ++seconds_;
        char text[64];
        std::snprintf(text, sizeof text, "%02u:%02u  %3.0f frames a second", seconds_ / 60, seconds_ % 60,
                      double(frames_ / elapsed_));
        status_->setString(text);
        frames_ = 0;
        elapsed_ = 0;
    }
    void update(ccTime) override { ++frames_; }

private:
    bool build() {
        if (!init()) return false;
        const CGSize win = CCDirector::sharedDirector()->winSize();
        CCLabelBMFont* headline = add(kHeadline, kHeadlineFont, CGPointMake(win.width / 2, win.height - 78));
        CCLabelBMFont* text = add(kText, kTextFont, CGPointMake(win.width / 2, win.height - 152));
        CCLabelBMFont* gothic = add("URW Gothic, 22 pixels", kGothicFont, CGPointMake(win.width / 2, 84));
        status_ = add("00:00", kStatusFont, CGPointMake(12, 24));
        if (!headline || !text || !gothic || !status_) return false;
        headline->setColor(ccc3(255, 214, 90));
        gothic->setColor(ccc3(120, 220, 255));
        status_->setAnchorPoint(CGPointMake(0, 0.5f));
        animateLetters(headline);
        schedule(schedule_selector(BMFontDemo::tick), 1);
        scheduleUpdate();
        return true;
    }

    CCLabelBMFont* add(const std::string& string, const char* font, CGPoint at) {
        CCLabelBMFont* label = CCLabelBMFont::labelWithString(string, font);
        if (!label) return nullptr;
        label->setPosition(at);
        addChild(label);
        return label;
    }

    // Every letter is a sprite: each jumps and flashes white in turn.
    static void animateLetters(CCLabelBMFont* label) {
        const int letters = int(sizeof kHeadline - 1);
        const float step = 0.12f, cycle = step * float(letters) + 1.0f;
        for (int i = 0; i < letters; ++i) {
            auto* letter = static_cast<CCSprite*>(label->getChildByTag(i));
            if (!letter) continue;
            CCFiniteTimeAction* jump = CCSpawn::actions(CCJumpBy::actionWithDuration(0.5f, CGPointZero, 14, 1),
                                                        CCSequence::actions(CCTintTo::actionWithDuration(0.25f, 255, 255, 255),
                                                                            CCTintTo::actionWithDuration(0.25f, 255, 214, 90)));
            CCFiniteTimeAction* turn = CCSequence::actions(CCDelayTime::actionWithDuration(step * float(i)), jump,
                                                           CCDelayTime::actionWithDuration(cycle - step * float(i) - 0.5f));
            letter->runAction(CCRepeatForever::actionWithAction(static_cast<CCActionInterval*>(turn)));
        }
    }

    CCLabelBMFont* status_ = nullptr;  // a child
    float elapsed_ = 0;
    unsigned seconds_ = 0;
    unsigned frames_ = 0;
};

}  // namespace

TILTBOARD_SAMPLE(bmfont, "Bitmap-font labels: kerning, lines, letters as sprites") {
    CCScene* scene = CCScene::node();
    scene->addChild(CCLayerColor::layerWithColor(ccc4(28, 30, 52, 255)));
    if (BMFontDemo* demo = BMFontDemo::make()) scene->addChild(demo, 1);
    addSampleTitle(scene, "Bitmap-font labels: kerning, lines, letters as sprites");
    return scene;
}
