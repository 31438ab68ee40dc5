#include <string>

#include "RenderFixture.h"
#include "ScratchDirectory.h"
#include "TextTestSupport.h"
#include "engine/CCLabelTTF.h"
#include "engine/CCTexture2D.h"
#include "engine/Support/ccUtils.h"
#include "host/core/Bundle.h"
#include "host/text/CustomFontManager.h"
#include "host/text/Font.h"
#include "host/text/TextLayout.h"

namespace {
// The screen area a label covers, in GL pixels.
struct ScreenArea { int left, bottom, right, top; };

ScreenArea areaOf(CCLabelTTF* label) {
    const CGRect box = label->boundingBox();
    return ScreenArea{int(box.origin.x), int(box.origin.y), int(box.origin.x + box.size.width),
                      int(box.origin.y + box.size.height)};
}

// Keeps the content scale factor a test changes from leaking out.
struct ContentScale {
    explicit ContentScale(float scale) : previous(__ccContentScaleFactor) { __ccContentScaleFactor = scale; }
    ~ContentScale() { __ccContentScaleFactor = previous; }
    float previous;
};

CCTexture2D* textTexture(const std::string& text, const std::string& font, float size) {
    return host::create<CCTexture2D>([&](CCTexture2D* t) { return t->initWithString(text, font, size); });
}

CCTexture2D* textTexture(const std::string& text, CGSize box, const std::string& font, float size) {
    return host::create<CCTexture2D>([&](CCTexture2D* t) { return t->initWithString(text, box, 0, 0, font, size); });
}
}  // namespace

using TextTexture = RenderFixture;
using LabelTTF = RenderFixture;

// ---- The texture Text category ---------------------------------------------

TEST_F(TextTexture, AMeasuredStringGetsPowerOfTwoAlphaStorageAndItsSizeAsContent) {
    const CGSize measured = host::Font::systemFont("Helvetica", 16)->sizeOfString("Score: 0");
    CCTexture2D* texture = textTexture("Score: 0", "Helvetica", 16);
    ASSERT_TRUE(texture);
    EXPECT_EQ(texture->pixelFormat(), kCCTexture2DPixelFormat_A8);
    EXPECT_EQ(texture->pixelsWide(), ccNextPOT(uint32_t(measured.width)));
    EXPECT_EQ(texture->pixelsHigh(), ccNextPOT(uint32_t(measured.height)));
    EXPECT_EQ(texture->contentSizeInPixels().width, measured.width);
    EXPECT_EQ(texture->contentSizeInPixels().height, measured.height);
    EXPECT_FLOAT_EQ(texture->maxS(), measured.width / float(texture->pixelsWide()));
    EXPECT_FALSE(texture->hasPremultipliedAlpha());
    EXPECT_NE(texture->name(), 0u);
}

TEST_F(TextTexture, UnknownFontsAndBoxesWithoutWholePixelsGiveNoTexture) {
    ::testing::internal::CaptureStderr();
    EXPECT_FALSE(textTexture("Hi", "NoSuchFont", 16));
    const std::string logged = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(logged.find("NoSuchFont"), std::string::npos) << logged;
    EXPECT_FALSE(textTexture("Hi", CGSizeMake(0, 0), "Helvetica", 16));
    EXPECT_FALSE(textTexture("Hi", CGSizeMake(100, 0), "Helvetica", 16));
    EXPECT_FALSE(textTexture("Hi", CGSizeMake(0.5f, 20), "Helvetica", 16));
    EXPECT_FALSE(textTexture("Hi", CGSizeMake(-100, -20), "Helvetica", 16));
    EXPECT_FALSE(textTexture("Hi", CGSizeMake(std::nanf(""), 20), "Helvetica", 16));
    EXPECT_FALSE(textTexture("", "Helvetica", 16));  // nothing to measure
    EXPECT_FALSE(textTexture("Hi", "Helvetica", 0));
    // More than the GL can hold: refused before any memory is taken.
    ::testing::internal::CaptureStderr();
    EXPECT_FALSE(textTexture("Hi", CGSizeMake(1e7f, 1e7f), "Helvetica", 16));
    EXPECT_NE(::testing::internal::GetCapturedStderr().find("bigger than"), std::string::npos);
    EXPECT_TRUE(textTexture("Hi", CGSizeMake(1, 1), "Helvetica", 16));
}

TEST_F(TextTexture, FontsNotInstalledComeFromTheApplicationsFontsFolder) {
    ScratchDirectory dir;
    dir.makeFolder("fonts");
    ASSERT_TRUE(dir.copyIn(kLiberationSans, "fonts/Scoreboard.ttf"));
    const std::string previous = host::Bundle::main().resourcePath();
    host::Bundle::main().setResourcePath(dir.path());
    host::CustomFontManager::purgeSharedManager();

    CCTexture2D* texture = textTexture("Score: 0", "Scoreboard", 20);
    ASSERT_TRUE(texture);
    const CGSize expected = host::Font::systemFont("Arial", 20)->sizeOfString("Score: 0");  // the same file
    EXPECT_EQ(texture->contentSizeInPixels().width, expected.width);
    EXPECT_EQ(texture->contentSizeInPixels().height, expected.height);

    host::Bundle::main().setResourcePath(previous);
    host::CustomFontManager::purgeSharedManager();
}

// ---- CCLabelTTF ---------------------------------------------------------------

TEST_F(LabelTTF, ALabelFitsItsTextureToTheMeasuredString) {
    CCLabelTTF* label = CCLabelTTF::labelWithString("Score: 0", "Helvetica", 16);
    ASSERT_TRUE(label && label->texture());
    const CGSize measured = host::Font::systemFont("Helvetica", 16)->sizeOfString("Score: 0");
    EXPECT_EQ(label->contentSize().width, measured.width);
    EXPECT_EQ(label->contentSize().height, measured.height);
    EXPECT_TRUE(CGRectEqualToRect(label->textureRect(), CGRect{CGPointZero, measured}));
    EXPECT_EQ(label->texture()->pixelsWide(), ccNextPOT(uint32_t(measured.width)));
    EXPECT_EQ(label->texture()->pixelsHigh(), ccNextPOT(uint32_t(measured.height)));
    // Straight alpha: the sprite blends by source alpha and does not
    // premultiply its colour.
    EXPECT_EQ(label->blendFunc().src, uint32_t(GL_SRC_ALPHA));
    EXPECT_EQ(label->blendFunc().dst, uint32_t(GL_ONE_MINUS_SRC_ALPHA));
    EXPECT_FALSE(label->doesOpacityModifyRGB());
    EXPECT_EQ(label->string(), "Score: 0");
    EXPECT_EQ(label->fontName(), "Helvetica");
    EXPECT_FLOAT_EQ(label->fontSize(), 16);
    EXPECT_TRUE(CGSizeEqualToSize(label->dimensions(), CGSizeZero));
}

TEST_F(LabelTTF, OnADoubleResolutionScreenPixelsDoubleAndPointsStay) {
    CCLabelTTF* normal = CCLabelTTF::labelWithString("Score: 0", "Helvetica", 16);
    ASSERT_TRUE(normal);
    const CGSize points = normal->contentSize();
    const CGSize pixels = normal->texture()->contentSizeInPixels();
    ContentScale retina(2);
    CCLabelTTF* label = CCLabelTTF::labelWithString("Score: 0", CGSizeZero, 1, "Helvetica", 16);
    ASSERT_TRUE(label && label->texture());
    EXPECT_FLOAT_EQ(label->fontSize(), 32);
    EXPECT_NEAR(label->texture()->contentSizeInPixels().width, 2 * pixels.width, 1);
    EXPECT_NEAR(label->texture()->contentSizeInPixels().height, 2 * pixels.height, 1);
    EXPECT_NEAR(label->contentSize().width, points.width, 0.5);
    EXPECT_NEAR(label->contentSize().height, points.height, 0.5);
    // A box is stored in pixels too.
    CCLabelTTF* boxed = CCLabelTTF::labelWithString("Hi", CGSizeMake(100, 30), 0, "Helvetica", 16);
    EXPECT_TRUE(CGSizeEqualToSize(boxed->dimensions(), CGSizeMake(200, 60)));
    EXPECT_TRUE(CGSizeEqualToSize(boxed->contentSize(), CGSizeMake(100, 30)));
    EXPECT_EQ(boxed->texture()->pixelsWide(), 256u);
}

TEST_F(LabelTTF, EverySetStringRendersANewTextureEvenForTheSameString) {
    CCLabelTTF* label = CCLabelTTF::labelWithString("3", "Helvetica", 40);
    ASSERT_TRUE(label);
    host::Ref<CCTexture2D> first = label->texture();
    label->setString("3");
    EXPECT_NE(label->texture(), first.get());
    EXPECT_EQ(first->retainCount(), 1u);  // the label let go of the old one
    label->setString("GO!");
    EXPECT_GT(label->contentSize().width, first->contentSize().width);
    EXPECT_EQ(label->string(), "GO!");
}

TEST_F(LabelTTF, ABoxIsKeptForEveryLaterString) {
    CCLabelTTF* label = CCLabelTTF::labelWithString("short", CGSizeMake(200, 50), 1, host::kTextLineBreakModeTailTruncation,
                                                    "Helvetica", 16);
    ASSERT_TRUE(label);
    EXPECT_EQ(label->alignment(), 1);
    EXPECT_EQ(label->lineBreakMode(), host::kTextLineBreakModeTailTruncation);
    for (const char* text : {"short", "a much longer string that cannot possibly fit in two hundred points", ""}) {
        label->setString(text);
        ASSERT_TRUE(label->texture()) << text;
        EXPECT_TRUE(CGSizeEqualToSize(label->dimensions(), CGSizeMake(200, 50)));
        EXPECT_TRUE(CGSizeEqualToSize(label->texture()->contentSizeInPixels(), CGSizeMake(200, 50))) << text;
        EXPECT_EQ(label->texture()->pixelsWide(), 256u);
        EXPECT_EQ(label->texture()->pixelsHigh(), 64u);
        EXPECT_TRUE(CGSizeEqualToSize(label->contentSize(), CGSizeMake(200, 50)));
    }
}

TEST_F(LabelTTF, AnUnknownFontLeavesTheLabelWithoutTextureButDescribed) {
    ::testing::internal::CaptureStderr();
    CCLabelTTF* label = CCLabelTTF::labelWithString("Hello", "NoSuchFont", 16);
    ::testing::internal::GetCapturedStderr();
    ASSERT_TRUE(label);
    EXPECT_EQ(label->texture(), nullptr);
    EXPECT_TRUE(CGSizeEqualToSize(label->contentSize(), CGSizeZero));
    EXPECT_TRUE(CGRectEqualToRect(label->textureRect(), CGRectZero));
    EXPECT_EQ(label->description(),
              "<CCLabelTTF = " + host::addressString(label) + " | Label = Hello, FontName = NoSuchFont, FontSize = 16.0>");
    scene_->addChild(label);
    frame();  // draws nothing, and does not fail
}

TEST_F(LabelTTF, TheBareInitialiserIsRefused) {
    EXPECT_EQ(host::create<CCLabelTTF>(), nullptr);
}

TEST_F(LabelTTF, ALabelDrawsInItsSpriteColourWhereTheGlyphsAre) {
    CCLabelTTF* label = CCLabelTTF::labelWithString("HHH", "Helvetica-Bold", 48);
    ASSERT_TRUE(label);
    label->setColor(ccc3(255, 0, 0));
    label->setPosition(CGPointMake(160, 240));
    scene_->addChild(label);
    frame();
    const ScreenArea area = areaOf(label);
    int solidRed = 0, otherColours = 0;
    for (int y = area.bottom; y < area.top; ++y)
        for (int x = area.left; x < area.right; ++x) {
            const ccColor4B c = pixelAt(x, y);
            if (c.r > 250 && c.g < 3 && c.b < 3) ++solidRed;
            if (c.g > 2 || c.b > 2) ++otherColours;
        }
    EXPECT_GT(solidRed, 200);  // the stems of three bold "H"s
    EXPECT_EQ(otherColours, 0);
    EXPECT_TRUE(colorNear(pixelAt(area.left - 5, area.bottom - 5), ccColor4B{0, 0, 0, 255}, 0));
    EXPECT_TRUE(colorNear(pixelAt(area.right + 5, area.top + 5), ccColor4B{0, 0, 0, 255}, 0));
}

TEST_F(LabelTTF, OpacityFadesTheGlyphs) {
    CCLabelTTF* label = CCLabelTTF::labelWithString("HHH", "Helvetica-Bold", 48);
    ASSERT_TRUE(label);
    label->setColor(ccc3(255, 255, 255));
    label->setOpacity(128);
    label->setPosition(CGPointMake(160, 240));
    scene_->addChild(label);
    frame();
    const ScreenArea area = areaOf(label);
    int brightest = 0;
    for (int y = area.bottom; y < area.top; ++y)
        for (int x = area.left; x < area.right; ++x) brightest = std::max(brightest, int(pixelAt(x, y).g));
    EXPECT_NEAR(brightest, 128, 3);
}

TEST_F(LabelTTF, TheFirstLineIsAtTheTopOfTheLabel) {
    CCLabelTTF* label = CCLabelTTF::labelWithString("HH\n\n", CGSizeMake(100, 90), 0, "Helvetica", 24);
    ASSERT_TRUE(label);
    label->setAnchorPoint(CGPointZero);
    label->setPosition(CGPointMake(50, 100));
    scene_->addChild(label);
    frame();
    int lowest = 1 << 30, highest = -1, leftmost = 1 << 30;
    for (int y = 100; y < 190; ++y)
        for (int x = 50; x < 150; ++x)
            if (pixelAt(x, y).r > 128) {
                lowest = std::min(lowest, y);
                highest = std::max(highest, y);
                leftmost = std::min(leftmost, x);
            }
    ASSERT_GE(highest, 0) << "nothing drawn";
    const float lineHeight = host::Font::systemFont("Helvetica", 24)->lineHeight();
    EXPECT_GE(lowest, 190 - int(lineHeight) - 1);  // GL rows count upwards: the top line is the highest
    EXPECT_LE(highest, 189);
    EXPECT_LE(leftmost, 54);  // left-aligned
}
