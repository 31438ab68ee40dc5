// Textures from decoded images: power-of-two storage, the format each kind
// of image gets, the 16-bit repacking, premultiplied alpha, and the size
// limit. Uploads are checked by drawing them and reading the pixels back.
#include <gtest/gtest.h>

#include "ImageFileWriters.h"
#include "LogCapture.h"
#include "RenderFixture.h"
#include "ScratchDirectory.h"
#include "TextureRectNode.h"
#include "engine/CCConfiguration.h"
#include "engine/CCLayer.h"
#include "engine/ccMacros.h"
#include "host/graphics/Image.h"

namespace {

class TextureFromImage : public RenderFixture {
protected:
    void TearDown() override {
        CCTexture2D::setDefaultAlphaPixelFormat(kCCTexture2DPixelFormat_RGBA8888);
        __ccContentScaleFactor = 1;
        RenderFixture::TearDown();
    }

    // Frames drain the autorelease pool: what a test makes is kept here.
    host::Image* image(const std::vector<uint8_t>& pixels, unsigned w, unsigned h, int channels) {
        host::Image* i = host::Image::imageWithPixels(pixels.data(), w, h, channels);
        images_.push_back(i);
        return i;
    }
    CCTexture2D* texture(host::Image* image) {
        CCTexture2D* t = host::create<CCTexture2D>([&](CCTexture2D* t) { return t->initWithImage(image); });
        textures_.push_back(t);
        return t;
    }
    // Draws `t` into (0, 0, w, h) with crisp texels and reads (x, y).
    ccColor4B drawnPixel(CCTexture2D* t, float w, float h, int x, int y) {
        t->setAliasTexParameters();
        scene_->addChild(TextureRectNode::make(t, CGRectMake(0, 0, w, h)), 0, 1);
        frame();
        ccColor4B c = pixelAt(x, y);
        scene_->removeChildByTag(1, true);
        return c;
    }

    std::vector<host::Ref<host::Image>> images_;
    std::vector<host::Ref<CCTexture2D>> textures_;
};

}  // namespace

TEST_F(TextureFromImage, AHundredBySixtyImageGetsPowerOfTwoStorage) {
    CCTexture2D* t = texture(image(solidPixels(100, 60, {10, 20, 30, 200}), 100, 60, 4));
    ASSERT_NE(t, nullptr);
    EXPECT_NE(t->name(), 0u);
    EXPECT_EQ(t->pixelsWide(), 128u);
    EXPECT_EQ(t->pixelsHigh(), 64u);
    EXPECT_EQ(t->contentSizeInPixels().width, 100);
    EXPECT_EQ(t->contentSizeInPixels().height, 60);
    EXPECT_FLOAT_EQ(t->maxS(), 0.78125f);
    EXPECT_FLOAT_EQ(t->maxT(), 0.9375f);
    EXPECT_TRUE(t->hasPremultipliedAlpha());
    EXPECT_EQ(t->pixelFormat(), kCCTexture2DPixelFormat_RGBA8888);
    EXPECT_EQ(t->bitsPerPixelForFormat(), 32u);

    // On a double-resolution screen the point size is half the pixel size.
    __ccContentScaleFactor = 2;
    EXPECT_EQ(t->contentSize().width, 50);
    EXPECT_EQ(t->contentSize().height, 30);
}

TEST_F(TextureFromImage, EachKindOfImageGetsItsStorageFormat) {
    CCTexture2D::setDefaultAlphaPixelFormat(kCCTexture2DPixelFormat_RGBA4444);
    CCTexture2D* alpha = texture(image(solidPixels(4, 4, {1, 2, 3, 4}), 4, 4, 4));
    ASSERT_NE(alpha, nullptr);
    EXPECT_EQ(alpha->pixelFormat(), kCCTexture2DPixelFormat_RGBA4444);
    EXPECT_EQ(alpha->bitsPerPixelForFormat(), 16u);
    EXPECT_TRUE(alpha->hasPremultipliedAlpha());

    // A mask is alpha-only whatever the default.
    CCTexture2D* mask = texture(image(solidPixels(4, 4, {9}), 4, 4, 1));
    ASSERT_NE(mask, nullptr);
    EXPECT_EQ(mask->pixelFormat(), kCCTexture2DPixelFormat_A8);
    EXPECT_FALSE(mask->hasPremultipliedAlpha());

    // Opaque with 8 bits: the default format, not premultiplied.
    CCTexture2D::setDefaultAlphaPixelFormat(kCCTexture2DPixelFormat_RGBA8888);
    CCTexture2D* opaque = texture(image(solidPixels(4, 4, {1, 2, 3}), 4, 4, 3));
    ASSERT_NE(opaque, nullptr);
    EXPECT_EQ(opaque->pixelFormat(), kCCTexture2DPixelFormat_RGBA8888);
    EXPECT_FALSE(opaque->hasPremultipliedAlpha());

    // Opaque with fewer bits (a 4-bit palette): RGB565.
    PNGLayout layout;
    layout.colorType = PNG_COLOR_TYPE_PALETTE;
    layout.bitDepth = 4;
    layout.palette = {{255, 0, 0}};
    const std::string png = encodePNGLayout(layout, 2, 1, {{0x00}});
    CCTexture2D* lowDepth = texture(host::Image::imageWithData(png.data(), png.size()));
    ASSERT_NE(lowDepth, nullptr);
    EXPECT_EQ(lowDepth->pixelFormat(), kCCTexture2DPixelFormat_RGB565);
    EXPECT_FALSE(lowDepth->hasPremultipliedAlpha());
}

TEST_F(TextureFromImage, SixteenBitFormatsRepackEachPixel) {
    // (FF, 80, 00, FF) packs to FC00 (565), F80F (4444) and FC01 (5551);
    // drawn back, green reads as 32/63, 8/15 and 16/31 of full scale.
    const std::vector<uint8_t> orange = solidPixels(8, 8, {0xFF, 0x80, 0x00, 0xFF});
    struct Case {
        CCTexture2DPixelFormat format;
        int channels;
        uint8_t green;
    };
    for (const Case& c : {Case{kCCTexture2DPixelFormat_RGB565, 3, 130}, Case{kCCTexture2DPixelFormat_RGBA4444, 4, 136},
                          Case{kCCTexture2DPixelFormat_RGB5A1, 4, 132}}) {
        CCTexture2D::setDefaultAlphaPixelFormat(c.format);
        std::vector<uint8_t> px = orange;
        if (c.channels == 3) px = solidPixels(8, 8, {0xFF, 0x80, 0x00});
        PNGLayout lowDepth;  // RGB565 is chosen for opaque images below 8 bits
        CCTexture2D* t;
        if (c.format == kCCTexture2DPixelFormat_RGB565) {
            lowDepth.colorType = PNG_COLOR_TYPE_PALETTE;
            lowDepth.bitDepth = 4;
            lowDepth.palette = {{0xFF, 0x80, 0x00}};
            const std::string png = encodePNGLayout(lowDepth, 8, 8, std::vector<std::vector<png_byte>>(8, {0, 0, 0, 0}));
            t = texture(host::Image::imageWithData(png.data(), png.size()));
        } else {
            t = texture(image(px, 8, 8, c.channels));
        }
        ASSERT_NE(t, nullptr);
        EXPECT_EQ(t->pixelFormat(), c.format);
        EXPECT_TRUE(colorNear(drawnPixel(t, 40, 40, 20, 20), ccColor4B{255, c.green, 0, 255}, 1))
            << "format " << int(c.format);
    }
}

TEST_F(TextureFromImage, TheImageTopRowIsAtTZeroAndThePaddingIsTransparent) {
    // 3 x 3 (stored 4 x 4): top row red, then green, then blue.
    std::vector<uint8_t> px;
    for (const std::vector<uint8_t>& rowColour :
         {std::vector<uint8_t>{255, 0, 0, 255}, {0, 255, 0, 255}, {0, 0, 255, 255}})
        for (int x = 0; x < 3; ++x) px.insert(px.end(), rowColour.begin(), rowColour.end());
    CCTexture2D* t = texture(image(px, 3, 3, 4));
    ASSERT_NE(t, nullptr);
    // Drawn into 30 x 30: the top band (y 20..30) is the image's top row.
    EXPECT_TRUE(colorNear(drawnPixel(t, 30, 30, 15, 25), ccColor4B{255, 0, 0, 255}, 0));
    EXPECT_TRUE(colorNear(drawnPixel(t, 30, 30, 15, 15), ccColor4B{0, 255, 0, 255}, 0));
    EXPECT_TRUE(colorNear(drawnPixel(t, 30, 30, 15, 5), ccColor4B{0, 0, 255, 255}, 0));
    // The whole storage: the last column and row are padding.
    t->setMaxS(1);
    t->setMaxT(1);
    EXPECT_TRUE(colorNear(drawnPixel(t, 40, 40, 35, 35), ccColor4B{0, 0, 0, 255}, 0));  // right column
    EXPECT_TRUE(colorNear(drawnPixel(t, 40, 40, 5, 5), ccColor4B{0, 0, 0, 255}, 0));    // bottom row
    EXPECT_TRUE(colorNear(drawnPixel(t, 40, 40, 5, 35), ccColor4B{255, 0, 0, 255}, 0));
}

TEST_F(TextureFromImage, PremultipliedAndMaskTexturesDrawTheirCoverage) {
    CCTexture2D* half = texture(image(solidPixels(2, 2, {255, 255, 255, 128}), 2, 2, 4));
    ASSERT_NE(half, nullptr);
    EXPECT_TRUE(colorNear(drawnPixel(half, 20, 20, 10, 10), ccColor4B{128, 128, 128, 255}, 2));
    CCTexture2D* mask = texture(image(solidPixels(2, 2, {64}), 2, 2, 1));
    ASSERT_NE(mask, nullptr);
    // Alpha-only: the vertex colour (white) at the mask's coverage.
    const ccColor4B m = drawnPixel(mask, 20, 20, 10, 10);
    EXPECT_TRUE(colorNear(m, ccColor4B{64, 64, 64, m.a}, 2));
}

// A grey file is a picture with a grey colour space, not a mask: opaque
// grey over what lies below, premultiplied where it has alpha.
TEST_F(TextureFromImage, GreyPicturesDrawAsGreyOverBlue) {
    scene_->addChild(CCLayerColor::layerWithColor(ccColor4B{0, 0, 255, 255}), -1);
    const auto fromFile = [this](const std::string& bytes) {
        host::Image* i = host::Image::imageWithData(bytes.data(), bytes.size());
        images_.push_back(i);
        return texture(i);
    };
    const struct {
        const char* name;
        std::string bytes;
    } opaque[] = {{"PNG", encodeImage(solidPixels(4, 4, {128}), 4, 4, 1, false)},
                  {"JPEG", encodeImage(solidPixels(8, 8, {128}), 8, 8, 1, true)}};
    for (const auto& c : opaque) {
        CCTexture2D* t = fromFile(c.bytes);
        ASSERT_NE(t, nullptr) << c.name;
        EXPECT_EQ(t->pixelFormat(), kCCTexture2DPixelFormat_RGBA8888) << c.name;
        EXPECT_FALSE(t->hasPremultipliedAlpha()) << c.name;
        EXPECT_TRUE(rgbNear(drawnPixel(t, 20, 20, 10, 10), ccColor3B{128, 128, 128}, 2)) << c.name;
    }

    PNGLayout greyAlpha;
    greyAlpha.colorType = PNG_COLOR_TYPE_GRAY_ALPHA;
    const std::vector<png_byte> row = {200, 128, 200, 128};
    CCTexture2D* t = fromFile(encodePNGLayout(greyAlpha, 2, 2, {row, row}));
    ASSERT_NE(t, nullptr);
    EXPECT_TRUE(t->hasPremultipliedAlpha());
    // 200 at half coverage over full blue: (100, 100, 100 + 127).
    EXPECT_TRUE(rgbNear(drawnPixel(t, 20, 20, 10, 10), ccColor3B{100, 100, 227}, 2));
}

TEST_F(TextureFromImage, ImagesAboveTheMaximumTextureSizeAreRefused) {
    const int maxSize = CCConfiguration::sharedConfiguration()->maxTextureSize();
    ASSERT_GT(maxSize, 0);
    if (uint32_t(maxSize) >= host::Image::kMaxSide) GTEST_SKIP() << "the GL allows every image the decoder makes";
    // One pixel more than the limit rounds up to twice the limit.
    const unsigned side = unsigned(maxSize) + 1;
    ScratchDirectory dir;
    LogCapture log;
    EXPECT_EQ(texture(image(solidPixels(side, 1, {1, 2, 3, 4}), side, 1, 4)), nullptr);
    EXPECT_EQ(texture(image(solidPixels(1, side, {1, 2, 3, 4}), 1, side, 4)), nullptr);
    EXPECT_EQ(log.lines().size(), 2u);
    // Exactly the limit is fine.
    EXPECT_NE(texture(image(solidPixels(unsigned(maxSize), 1, {1, 2, 3, 4}), unsigned(maxSize), 1, 4)), nullptr);
}

TEST_F(TextureFromImage, AFormatImagesCannotBeDrawnIntoIsAProgrammingError) {
    CCTexture2D::setDefaultAlphaPixelFormat(kCCTexture2DPixelFormat_AI88);
    host::Image* colour = image(solidPixels(2, 2, {1, 2, 3, 4}), 2, 2, 4);
    CCTexture2D* t = new CCTexture2D;
    try {
        t->initWithImage(colour);
        ADD_FAILURE() << "no exception";
    } catch (const CCInternalInconsistencyException& e) {
        EXPECT_STREQ(e.what(), "Invalid pixel format");
    }
    t->release();
    // Masks never use the default format.
    EXPECT_NE(texture(image(solidPixels(2, 2, {1}), 2, 2, 1)), nullptr);
    // No image, or one without a bitmap, gives nothing.
    EXPECT_EQ(texture(nullptr), nullptr);
    host::Image* empty = host::create<host::Image>([](host::Image*) { return true; });
    EXPECT_EQ(texture(empty), nullptr);
}
