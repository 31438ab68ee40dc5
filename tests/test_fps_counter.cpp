// The director's frames-per-second counter: the label it builds from
// "fps_images.png", the rate it computes, and the digits it draws in the
// bottom-left corner of the frame.
#include <string>

#include "ImageFileWriters.h"
#include "RenderFixture.h"
#include "ScratchDirectory.h"
#include "TestTextures.h"
#include "engine/CCLabelAtlas.h"
#include "engine/CCTexture2D.h"
#include "engine/CCTextureCache.h"
#include "host/core/Bundle.h"
#include "host/core/Clock.h"

namespace {

// Cell k ("." + k) of the test map; channels that survive RGBA4444 exactly.
ccColor4B cellColour(unsigned k) {
    return ccColor4B{uint8_t(17 * k), uint8_t(255 - 17 * k), uint8_t(k % 2 ? 255 : 0), 255};
}

class FPSCounterTest : public RenderFixture {
protected:
    void SetUp() override {
        // The director makes its label when it gets its view, so the map
        // must be in the bundle before the fixture sets one.
        writePngFile(dir_, "fps_images.png", 12 * 16, 24, [](unsigned x, unsigned) { return cellColour(x / 16); });
        host::Bundle::main().setResourcePath(dir_.path());
        host::Clock::setFixedStep(true);
        RenderFixture::SetUp();
    }
    void TearDown() override {
        director_->setDisplayFPS(false);
        director_->setAnimationInterval(1.0 / 60);
        RenderFixture::TearDown();
        host::Clock::setFixedStep(false);
        CCTextureCache::sharedTextureCache()->removeTextureForKey("fps_images.png");
        host::Bundle::main().setResourcePath("");
    }
    // The colour in the middle of character cell i of the counter.
    static ccColor4B digitAt(unsigned i) { return pixelAt(int(i * 16 + 8), 12); }

    ScratchDirectory dir_;
};

TEST_F(FPSCounterTest, TheLabelIsASixteenBitCharacterMapAndTheDefaultFormatIsRestored) {
    CCLabelAtlas* label = director_->FPSLabel();
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->string(), "00.0");
    EXPECT_EQ(label->mapStartChar(), '.');
    EXPECT_EQ(label->texture()->pixelFormat(), kCCTexture2DPixelFormat_RGBA4444);
    EXPECT_EQ(CCTexture2D::defaultAlphaPixelFormat(), kCCTexture2DPixelFormat_Default);
    EXPECT_TRUE(CGSizeEqualToSize(label->contentSize(), CGSizeMake(64, 24)));
}

TEST_F(FPSCounterTest, TheRateIsFramesOverElapsedTimeRefreshedAfterATenthOfASecond) {
    frame();
    EXPECT_EQ(director_->frames(), 0u);  // nothing counted while switched off

    director_->setDisplayFPS(true);
    for (int i = 0; i < 5; ++i) frame();
    EXPECT_EQ(director_->frames(), 5u);
    EXPECT_EQ(director_->frameRate(), 0.0f);
    EXPECT_EQ(director_->FPSLabel()->string(), "00.0");
    for (int i = 0; i < 2; ++i) frame();  // 7/60 s > 0.1 s
    EXPECT_NEAR(director_->frameRate(), 60.0f, 0.01f);
    EXPECT_EQ(director_->FPSLabel()->string(), "60.0");
    EXPECT_EQ(director_->frames(), 0u);

    // Four frames of 1/30 s make the next refresh: 4 / (4/30) = 30.
    director_->setAnimationInterval(1.0 / 30);
    for (int i = 0; i < 4; ++i) frame();
    EXPECT_NEAR(director_->frameRate(), 30.0f, 0.01f);
    EXPECT_EQ(director_->FPSLabel()->string(), "30.0");
}

TEST_F(FPSCounterTest, TheCounterIsDrawnInTheBottomLeftCornerOverTheScene) {
    frame();
    EXPECT_TRUE(colorNear(digitAt(0), kBlack, 0));  // switched off: nothing drawn

    director_->setDisplayFPS(true);
    frame();
    // "00.0": cells 2, 2, 0, 2 of the map.
    EXPECT_TRUE(colorNear(digitAt(0), cellColour(2)));
    EXPECT_TRUE(colorNear(digitAt(1), cellColour(2)));
    EXPECT_TRUE(colorNear(digitAt(2), cellColour(0)));
    EXPECT_TRUE(colorNear(digitAt(3), cellColour(2)));
    EXPECT_TRUE(colorNear(digitAt(4), kBlack));
    EXPECT_TRUE(colorNear(pixelAt(8, 30), kBlack));

    for (int i = 0; i < 7; ++i) frame();
    ASSERT_EQ(director_->FPSLabel()->string(), "60.0") << director_->frameRate();
    // "60.0": the "6" is cell 8.
    EXPECT_TRUE(colorNear(digitAt(0), cellColour(8)));
    EXPECT_TRUE(colorNear(digitAt(1), cellColour(2)));
}

}  // namespace
