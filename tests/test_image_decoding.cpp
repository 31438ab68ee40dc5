// Image decoding: every PNG layout and JPEG kind becomes the bitmap
// textures expect, and damaged or hostile files are refused cleanly.
#include <gtest/gtest.h>
#include <zlib.h>

#include <cstring>

#include "ImageFileWriters.h"
#include "LogCapture.h"
#include "ScratchDirectory.h"
#include "host/graphics/Image.h"

namespace {

using host::Image;

// Decodes bytes with a pool of its own; the image is retained for the test.
class Decoded {
public:
    explicit Decoded(const std::string& bytes) {
        host::AutoreleasePool pool;
        image_ = host::retain(Image::imageWithData(bytes.data(), bytes.size()));
    }
    ~Decoded() { host::release(image_); }
    Image* operator->() const { return image_; }
    explicit operator bool() const { return image_ != nullptr; }
    // Channel c of pixel (x, y).
    int at(unsigned x, unsigned y, int c) const {
        return image_->pixels()[(size_t(y) * image_->width() + x) * size_t(image_->channels()) + size_t(c)];
    }

private:
    Image* image_ = nullptr;
};

std::vector<png_byte> row(std::initializer_list<int> bytes) {
    std::vector<png_byte> r;
    for (int b : bytes) r.push_back(png_byte(b));
    return r;
}

// Rewrites the IHDR size of a PNG and fixes the chunk's checksum.
std::string withPNGSize(std::string png, uint32_t w, uint32_t h) {
    auto put = [&](size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i) png[at + size_t(i)] = char(v >> (24 - 8 * i));
    };
    put(16, w);
    put(20, h);
    const uLong crc = crc32(0, reinterpret_cast<const Bytef*>(png.data() + 12), 17);
    put(29, uint32_t(crc));
    return png;
}

}  // namespace

TEST(ImageDecoding, RGBAPNGKeepsStraightAlphaAndReportsAlphaLast) {
    std::vector<uint8_t> px = {255, 128, 0, 255, 10, 20, 30, 128, 0, 0, 0, 0, 1, 2, 3, 4};
    Decoded image(encodeImage(px, 2, 2, 4, false));
    ASSERT_TRUE(image);
    EXPECT_EQ(image->width(), 2u);
    EXPECT_EQ(image->height(), 2u);
    EXPECT_EQ(image->alphaInfo(), Image::kAlphaLast);
    EXPECT_TRUE(image->hasColorSpace());
    EXPECT_EQ(image->bitsPerComponent(), 8u);
    EXPECT_EQ(image->pixels(), px);
}

TEST(ImageDecoding, OpaqueAndGreyPNGs) {
    Decoded rgb(encodeImage(solidPixels(3, 2, {9, 8, 7}), 3, 2, 3, false));
    ASSERT_TRUE(rgb);
    EXPECT_EQ(rgb->alphaInfo(), Image::kAlphaNone);
    EXPECT_TRUE(rgb->hasColorSpace());
    EXPECT_EQ(rgb->channels(), 3);

    // Grey without alpha is a grey picture, decoded as RGB: not a mask.
    Decoded grey(encodeImage(solidPixels(2, 2, {77}), 2, 2, 1, false));
    ASSERT_TRUE(grey);
    EXPECT_TRUE(grey->hasColorSpace());
    EXPECT_EQ(grey->channels(), 3);
    EXPECT_EQ(grey->alphaInfo(), Image::kAlphaNone);
    EXPECT_EQ(grey.at(1, 1, 0), 77);
    EXPECT_EQ(grey.at(1, 1, 2), 77);
}

TEST(ImageDecoding, LowDepthGreyExpandsAndReportsItsDepth) {
    PNGLayout layout;
    layout.colorType = PNG_COLOR_TYPE_GRAY;
    layout.bitDepth = 1;
    Decoded image(encodePNGLayout(layout, 8, 1, {row({0xA5})}));  // 1010 0101
    ASSERT_TRUE(image);
    EXPECT_EQ(image->bitsPerComponent(), 1u);
    EXPECT_TRUE(image->hasColorSpace());
    const int expected[8] = {255, 0, 255, 0, 0, 255, 0, 255};
    for (unsigned x = 0; x < 8; ++x) EXPECT_EQ(image.at(x, 0, 0), expected[x]) << x;
}

TEST(ImageDecoding, GreyWithAlphaOrTransparentKeyBecomesRGBA) {
    PNGLayout greyAlpha;
    greyAlpha.colorType = PNG_COLOR_TYPE_GRAY_ALPHA;
    Decoded ga(encodePNGLayout(greyAlpha, 1, 1, {row({200, 100})}));
    ASSERT_TRUE(ga);
    EXPECT_TRUE(ga->hasColorSpace());
    EXPECT_EQ(ga->alphaInfo(), Image::kAlphaLast);
    EXPECT_EQ(ga.at(0, 0, 0), 200);
    EXPECT_EQ(ga.at(0, 0, 2), 200);
    EXPECT_EQ(ga.at(0, 0, 3), 100);

    PNGLayout keyed;
    keyed.colorType = PNG_COLOR_TYPE_GRAY;
    keyed.greyKey = true;
    keyed.greyKeyValue = 50;
    Decoded key(encodePNGLayout(keyed, 2, 1, {row({50, 60})}));
    ASSERT_TRUE(key);
    EXPECT_EQ(key->channels(), 4);
    EXPECT_EQ(key.at(0, 0, 3), 0);
    EXPECT_EQ(key.at(1, 0, 3), 255);
}

TEST(ImageDecoding, PaletteImagesWithAndWithoutTransparency) {
    PNGLayout withAlpha;
    withAlpha.colorType = PNG_COLOR_TYPE_PALETTE;
    withAlpha.palette = {{255, 0, 0}, {0, 0, 255}};
    withAlpha.transparency = {0, 255};
    Decoded a(encodePNGLayout(withAlpha, 2, 1, {row({0, 1})}));
    ASSERT_TRUE(a);
    EXPECT_EQ(a->alphaInfo(), Image::kAlphaLast);
    EXPECT_EQ(a.at(0, 0, 3), 0);
    EXPECT_EQ(a.at(1, 0, 2), 255);
    EXPECT_EQ(a.at(1, 0, 3), 255);

    // A 4-bit palette without alpha reports 4 bits per component, which
    // makes textures choose 16-bit storage for it.
    PNGLayout opaque;
    opaque.colorType = PNG_COLOR_TYPE_PALETTE;
    opaque.bitDepth = 4;
    opaque.palette = {{1, 2, 3}, {40, 50, 60}};
    Decoded o(encodePNGLayout(opaque, 2, 1, {row({0x01})}));
    ASSERT_TRUE(o);
    EXPECT_EQ(o->bitsPerComponent(), 4u);
    EXPECT_EQ(o->alphaInfo(), Image::kAlphaNone);
    EXPECT_EQ(o.at(0, 0, 0), 1);
    EXPECT_EQ(o.at(1, 0, 2), 60);
}

TEST(ImageDecoding, SixteenBitSamplesKeepTheirHighByte) {
    PNGLayout layout;
    layout.colorType = PNG_COLOR_TYPE_RGB_ALPHA;
    layout.bitDepth = 16;
    Decoded image(encodePNGLayout(layout, 1, 1, {row({0x80, 0x40, 0x12, 0x34, 0xFF, 0xFF, 0x7F, 0x00})}));
    ASSERT_TRUE(image);
    EXPECT_EQ(image->bitsPerComponent(), 16u);
    EXPECT_EQ(image.at(0, 0, 0), 0x80);
    EXPECT_EQ(image.at(0, 0, 1), 0x12);
    EXPECT_EQ(image.at(0, 0, 2), 0xFF);
    EXPECT_EQ(image.at(0, 0, 3), 0x7F);
}

TEST(ImageDecoding, InterlacedPNGDecodesEveryPixel) {
    PNGLayout layout;
    layout.colorType = PNG_COLOR_TYPE_GRAY_ALPHA;
    layout.interlaced = true;
    std::vector<std::vector<png_byte>> rows;
    for (int y = 0; y < 9; ++y) {
        std::vector<png_byte> r;
        for (int x = 0; x < 9; ++x) r.insert(r.end(), {png_byte(y * 9 + x), 255});
        rows.push_back(r);
    }
    Decoded image(encodePNGLayout(layout, 9, 9, rows));
    ASSERT_TRUE(image);
    for (unsigned y = 0; y < 9; ++y)
        for (unsigned x = 0; x < 9; ++x) ASSERT_EQ(image.at(x, y, 0), int(y * 9 + x)) << x << "," << y;
}

TEST(ImageDecoding, JPEGColourAndGrey) {
    Decoded colour(encodeImage(solidPixels(16, 8, {200, 40, 90}), 16, 8, 3, true));
    ASSERT_TRUE(colour);
    EXPECT_EQ(colour->alphaInfo(), Image::kAlphaNone);
    EXPECT_EQ(colour->bitsPerComponent(), 8u);
    EXPECT_TRUE(colour->hasColorSpace());
    EXPECT_NEAR(colour.at(5, 5, 0), 200, 4);
    EXPECT_NEAR(colour.at(5, 5, 1), 40, 4);
    EXPECT_NEAR(colour.at(5, 5, 2), 90, 4);

    Decoded grey(encodeImage(solidPixels(8, 8, {120}), 8, 8, 1, true));
    ASSERT_TRUE(grey);
    EXPECT_TRUE(grey->hasColorSpace());
    EXPECT_EQ(grey->channels(), 3);
    EXPECT_NEAR(grey.at(3, 3, 0), 120, 2);
    EXPECT_NEAR(grey.at(3, 3, 1), 120, 2);
}

TEST(ImageDecoding, DrawIntoWritesTheTopLeftCornerInEachLayout) {
    host::AutoreleasePool pool;
    const std::vector<uint8_t> px = {255, 128, 0, 128, 0, 0, 0, 0};  // 2 x 1, straight alpha
    Image* image = Image::imageWithPixels(px.data(), 2, 1, 4);
    ASSERT_NE(image, nullptr);

    std::vector<uint8_t> rgba(4 * 4 * 2, 0xEE);  // 4 wide, 2 rows
    image->drawInto(rgba.data(), 4, Image::DrawMode::RGBAPremultiplied);
    EXPECT_EQ(std::vector<uint8_t>(rgba.begin(), rgba.begin() + 8),
              (std::vector<uint8_t>{128, 64, 0, 128, 0, 0, 0, 0}));
    EXPECT_EQ(rgba[8], 0xEE);   // beyond the image's columns
    EXPECT_EQ(rgba[16], 0xEE);  // beyond its rows

    std::vector<uint8_t> alpha(4, 0xEE);
    image->drawInto(alpha.data(), 4, Image::DrawMode::AlphaOnly);
    EXPECT_EQ(alpha, (std::vector<uint8_t>{128, 0, 0xEE, 0xEE}));

    Image* opaque = Image::imageWithPixels(std::vector<uint8_t>{1, 2, 3}.data(), 1, 1, 3);
    std::vector<uint8_t> skip(4, 0);
    opaque->drawInto(skip.data(), 1, Image::DrawMode::RGBSkipAlpha);
    EXPECT_EQ(skip, (std::vector<uint8_t>{1, 2, 3, 255}));
}

TEST(ImageDecoding, DamagedAndHostileFilesAreRefusedWithOneLogLine) {
    ScratchDirectory dir;
    const std::string png = encodeImage(solidPixels(64, 64, {1, 2, 3, 4}), 64, 64, 4, false);
    const std::string jpeg = encodeImage(solidPixels(64, 64, {9, 9, 9}), 64, 64, 3, true);
    std::string corruptPNG = png;
    corruptPNG[png.size() / 2] ^= 0x5A;  // inside the image data: bad checksum or stream
    std::string corruptJPEG = jpeg.substr(0, 200) + std::string(400, '\x5A') + jpeg.substr(600);
    // The SOF marker's size fields, set to 60000 x 60000.
    std::string hugeJPEG = jpeg;
    const size_t sof = hugeJPEG.find("\xFF\xC0");
    ASSERT_NE(sof, std::string::npos);
    hugeJPEG.replace(sof + 5, 4, "\xEA\x60\xEA\x60");

    const std::vector<std::pair<const char*, std::string>> cases = {
        {"truncated PNG", png.substr(0, png.size() / 2)},
        {"PNG cut inside the header", png.substr(0, 20)},
        {"corrupt PNG", corruptPNG},
        {"PNG of 100000 x 100000", withPNGSize(png, 100000, 100000)},
        {"PNG of 16000 x 16000 pixels (too many)", withPNGSize(png, 16000, 16000)},
        {"PNG of width 0", withPNGSize(png, 0, 64)},
        {"truncated JPEG", jpeg.substr(0, jpeg.size() / 2)},
        {"corrupt JPEG", corruptJPEG},
        {"JPEG of 60000 x 60000", hugeJPEG},
        {"not an image", std::string("GIF89a and then some")},
        {"empty", std::string()},
    };
    for (const auto& c : cases) {
        LogCapture log;
        Decoded image(c.second);
        EXPECT_FALSE(image) << c.first;
        EXPECT_EQ(log.lines().size(), 1u) << c.first << ":\n" << log.joined();
    }
    LogCapture log;
    host::AutoreleasePool pool;
    EXPECT_EQ(Image::imageWithContentsOfFile(dir.file("missing.png")), nullptr);
    EXPECT_EQ(log.lines().size(), 1u);
}

TEST(ImageDecoding, FilesDecodeLikeTheirBytes) {
    ScratchDirectory dir;
    const std::string path = dir.write("a.png", encodeImage(solidPixels(3, 5, {4, 5, 6, 7}), 3, 5, 4, false));
    host::AutoreleasePool pool;
    Image* image = Image::imageWithContentsOfFile(path);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->width(), 3u);
    EXPECT_EQ(image->height(), 5u);
    EXPECT_EQ(image->pixels()[3], 7);
}
