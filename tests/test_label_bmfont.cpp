// Bitmap-font labels: where each character sprite goes (kerning, lines,
// content size), reuse of the sprites when the string changes, colour and
// opacity on every character, one letter animated on its own, real pixels,
// and labels that cannot be made from broken fonts or images.
#include <string>
#include <vector>

#include "BMFontTestFiles.h"
#include "RenderFixture.h"
#include "ImageFileWriters.h"
#include "LogCapture.h"
#include "ScratchDirectory.h"
#include "engine/CCActionIntervalProperty.h"
#include "engine/CCBMFontConfiguration.h"
#include "engine/CCLabelBMFont.h"
#include "engine/CCScheduler.h"
#include "engine/CCSprite.h"
#include "engine/CCTextureAtlas.h"
#include "engine/CCTextureCache.h"

namespace {

class LabelBMFontTest : public RenderFixture {
protected:
    void SetUp() override {
        RenderFixture::SetUp();
        font_ = bmfonttest::writeTestFont(dir_);
    }
    void TearDown() override {
        RenderFixture::TearDown();
        FNTConfigRemoveCache();
        CCTextureCache::purgeSharedTextureCache();
    }
    CCLabelBMFont* label(const std::string& text) {
        CCLabelBMFont* l = CCLabelBMFont::labelWithString(text, font_);
        EXPECT_NE(l, nullptr);
        return l;
    }
    static CCSprite* letter(CCLabelBMFont* l, int tag) { return static_cast<CCSprite*>(l->getChildByTag(tag)); }
    static void expectAt(CCLabelBMFont* l, int tag, float x, float y) {
        CCSprite* s = letter(l, tag);
        ASSERT_NE(s, nullptr) << "character " << tag;
        EXPECT_FLOAT_EQ(s->positionInPixels().x, x) << "character " << tag;
        EXPECT_FLOAT_EQ(s->positionInPixels().y, y) << "character " << tag;
    }
    static unsigned visibleLetters(CCLabelBMFont* l) {
        unsigned n = 0;
        for (host::Object* o : *l->children()) n += static_cast<CCNode*>(o)->visible();
        return n;
    }

    ScratchDirectory dir_;
    std::string font_;
};

TEST_F(LabelBMFontTest, LaysCharactersOutWithKerningAndLines) {
    CCLabelBMFont* l = label("AV");
    // A: x 0 + xoffset 1 + half its width 6; y line top 24 - yoffset 4 - half its height 8.
    expectAt(l, 0, 7, 12);
    // V follows A's advance 13, pulled back by the A-V kerning of -3.
    expectAt(l, 1, 15, 12);
    EXPECT_FLOAT_EQ(l->contentSizeInPixels().width, 21);
    EXPECT_FLOAT_EQ(l->contentSizeInPixels().height, 24);
    EXPECT_FLOAT_EQ(letter(l, 1)->textureRectInPixels().origin.x, 16);
    EXPECT_EQ(l->kerningAmountForFirst('A', 'V'), -3);

    // Kerning applies only to a directly preceding pair: "VjA" has none.
    l->setString("VjA");
    expectAt(l, 0, 5, 12);
    expectAt(l, 1, 11 - 1 + 3, 24 - 8 - 10);
    expectAt(l, 2, 16 + 1 + 6, 12);

    // Lines stack by the common height; the first line's characters sit one
    // line above the second's; the newline has no sprite; kerning does not
    // reach across the line break.
    l->setString("A\nVA");
    expectAt(l, 0, 7, 36);
    EXPECT_EQ(l->getChildByTag(1)->visible(), false);  // hidden: no sprite for "\n"
    expectAt(l, 2, 5, 12);
    expectAt(l, 3, 11 + 1 + 6 - 2, 12);  // V-A kerning -2
    EXPECT_FLOAT_EQ(l->contentSizeInPixels().width, 22);
    EXPECT_FLOAT_EQ(l->contentSizeInPixels().height, 48);

    // A trailing newline opens no line; an empty string has no size.
    l->setString("AV\n");
    EXPECT_FLOAT_EQ(l->contentSizeInPixels().height, 24);
    expectAt(l, 0, 7, 12);
    l->setString("");
    EXPECT_FLOAT_EQ(l->contentSizeInPixels().width, 0);
    EXPECT_EQ(visibleLetters(l), 0u);

    // Characters the font lacks (or the table cannot hold) take no room.
    l->setString("A\xE2\x82\xAC" "B" "V");
    expectAt(l, 3, 13 + 5, 12);
    EXPECT_FLOAT_EQ(letter(l, 1)->textureRectInPixels().size.width, 0);
}

TEST_F(LabelBMFontTest, ReusesCharacterSprites) {
    CCLabelBMFont* l = label("AVAVA");
    ASSERT_EQ(l->children()->count(), 5u);
    std::vector<CCSprite*> before;
    for (int i = 0; i < 5; ++i) before.push_back(letter(l, i));

    l->setString("VA");  // shorter: the surplus is hidden, not removed
    EXPECT_EQ(l->children()->count(), 5u);
    EXPECT_EQ(visibleLetters(l), 2u);
    for (int i = 0; i < 5; ++i) EXPECT_EQ(letter(l, i), before[size_t(i)]);
    EXPECT_FLOAT_EQ(letter(l, 0)->textureRectInPixels().origin.x, 16);  // now a V
    EXPECT_FALSE(letter(l, 2)->visible());

    l->setString("AVAVAVA");  // longer: only two new sprites
    EXPECT_EQ(l->children()->count(), 7u);
    EXPECT_EQ(visibleLetters(l), 7u);
    for (int i = 0; i < 5; ++i) EXPECT_EQ(letter(l, i), before[size_t(i)]);
    EXPECT_EQ(l->textureAtlas()->totalQuads(), 7u);

    // A letter the game took out is replaced, not written to.
    l->removeChild(letter(l, 3), true);
    l->setString("AVAVA");
    ASSERT_NE(letter(l, 3), nullptr);
    EXPECT_NE(letter(l, 3), before[3]);
    EXPECT_EQ(l->children()->count(), 7u);
}

TEST_F(LabelBMFontTest, DrawsItsLettersWithColourOpacityAndAnimation) {
    CCLabelBMFont* l = label("AV");
    l->setAnchorPoint(CGPointZero);
    l->setPosition(CGPointMake(100, 200));
    scene_->addChild(l);
    frame();
    // A spans x 101..113, V 110..120 (kerned into A, drawn over it), both
    // y 204..220.
    EXPECT_TRUE(rgbNear(pixelAt(103, 210), ccc3(255, 0, 0)));
    EXPECT_TRUE(rgbNear(pixelAt(111, 210), ccc3(0, 255, 0)));
    EXPECT_TRUE(rgbNear(pixelAt(118, 210), ccc3(0, 255, 0)));
    EXPECT_TRUE(rgbNear(pixelAt(123, 210), ccc3(0, 0, 0)));
    EXPECT_TRUE(rgbNear(pixelAt(103, 202), ccc3(0, 0, 0)));

    // Colour and opacity reach every letter, including ones made later.
    l->setColor(ccc3(128, 128, 128));
    l->setOpacity(128);
    l->setString("AVA");
    frame();
    EXPECT_TRUE(rgbNear(pixelAt(103, 210), ccc3(64, 0, 0), 3));
    EXPECT_TRUE(rgbNear(pixelAt(128, 210), ccc3(64, 0, 0), 3));  // the new A
    EXPECT_EQ(letter(l, 2)->opacity(), 128);

    // The anchor point aligns the block: centred, "AVA" (32 x 24) starts at
    // (84, 188), so its first A spans x 85..97, y 192..208.
    l->setColor(ccc3(255, 255, 255));
    l->setOpacity(255);
    l->setAnchorPoint(CGPointMake(0.5f, 0.5f));
    frame();
    EXPECT_TRUE(rgbNear(pixelAt(88, 200), ccc3(255, 0, 0)));

    // One letter runs an action of its own.
    letter(l, 1)->runAction(CCMoveBy::actionWithDuration(0.1f, CGPointMake(0, 40)));
    CCScheduler::sharedScheduler()->tick(0.05f);
    CCScheduler::sharedScheduler()->tick(0.1f);
    frame();
    EXPECT_TRUE(rgbNear(pixelAt(100, 240), ccc3(0, 255, 0)));
    EXPECT_TRUE(rgbNear(pixelAt(100, 200), ccc3(0, 0, 0)));
    EXPECT_TRUE(rgbNear(pixelAt(88, 200), ccc3(255, 0, 0)));
}

TEST_F(LabelBMFontTest, BrokenImagesGiveNilAndOneLogLine) {
    auto fontWithImage = [&](const std::string& name, const std::string& description) {
        return dir_.write(name, description);
    };
    // The image is missing, is not an image, or is smaller than the rectangles.
    const std::string missing = fontWithImage("missing.fnt", bmfonttest::plainDescription("absent.png"));
    dir_.write("corrupt.png", "\x89PNG\r\n\x1a\n not really");
    const std::string corrupt = fontWithImage("corrupt.fnt", bmfonttest::plainDescription("corrupt.png"));
    writePngFile(dir_, "small.png", 32, 16, bmfonttest::sheetTexel);
    const std::string small = fontWithImage("small.fnt", bmfonttest::plainDescription("small.png"));
    for (const std::string& fnt : {missing, corrupt, small, dir_.file("none.fnt")}) {
        LogCapture log;
        EXPECT_EQ(CCLabelBMFont::labelWithString("AV", fnt), nullptr) << fnt;
        EXPECT_EQ(log.lines().size(), 1u) << log.joined();
    }
    LogCapture log;
    EXPECT_EQ(CCLabelBMFont::labelWithString("AV", small), nullptr);
    EXPECT_NE(log.joined().find("beyond its image"), std::string::npos) << log.joined();
}

TEST_F(LabelBMFontTest, LabelsShareOneParsedFont) {
    CCLabelBMFont* a = label("A");
    CCLabelBMFont* b = label("V");
    EXPECT_EQ(a->configuration(), b->configuration());
    EXPECT_EQ(a->texture(), b->texture());
}

}  // namespace
