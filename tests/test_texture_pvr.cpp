// PVR texture files: header checks, mipmap level splitting, uploads of the
// uncompressed formats (plain, gzip and CCZ), PVRTC handling, and files
// whose header lies.
#include <gtest/gtest.h>

#include "Deflate.h"
#include "LogCapture.h"
#include "RenderFixture.h"
#include "ScratchDirectory.h"
#include "TextureRectNode.h"
#include "engine/CCConfiguration.h"
#include "engine/CCTextureCache.h"
#include "engine/CCTexturePVR.h"
#include "host/core/Bundle.h"

namespace {

constexpr uint32_t kTag = 0x21525650;

std::string le32(uint32_t v) { return std::string{char(v), char(v >> 8), char(v >> 16), char(v >> 24)}; }

struct PVRHeader {
    uint32_t type = 0x12;
    uint32_t width = 2, height = 2;
    uint32_t alphaMask = 0;
    uint32_t tag = kTag;
    int64_t dataLength = -1;  // -1: the data's real length
};

std::string pvrFile(const PVRHeader& h, const std::string& data) {
    const uint32_t length = h.dataLength < 0 ? uint32_t(data.size()) : uint32_t(h.dataLength);
    return le32(52) + le32(h.height) + le32(h.width) + le32(0) + le32(h.type) + le32(length) + le32(0) + le32(0) +
           le32(0) + le32(0) + le32(h.alphaMask) + le32(h.tag) + le32(1) + data;
}

std::string bytes(std::initializer_list<int> b) {
    std::string s;
    for (int v : b) s += char(v);
    return s;
}

std::string repeat(const std::string& unit, size_t n) {
    std::string s;
    for (size_t i = 0; i < n; ++i) s += unit;
    return s;
}

std::string cczOf(const std::string& data) {
    const uint32_t n = uint32_t(data.size());
    return std::string("CCZ!") + bytes({0, 0, 0, 2, 0, 0, 0, 0}) +
           std::string{char(n >> 24), char(n >> 16), char(n >> 8), char(n)} + compress(data, 15);
}

class PVRTextures : public RenderFixture {
protected:
    void SetUp() override {
        RenderFixture::SetUp();
        host::Bundle::main().setResourcePath(dir_.path());
    }
    void TearDown() override {
        CCTexture2D::PVRImagesHavePremultipliedAlpha(false);
        CCTextureCache::purgeSharedTextureCache();
        host::Bundle::main().setResourcePath("");
        RenderFixture::TearDown();
    }
    CCTexture2D* load(const std::string& name, const std::string& contents) {
        const std::string path = dir_.write(name, contents);
        CCTexture2D* t = host::create<CCTexture2D>([&](CCTexture2D* t) { return t->initWithPVRFile(path); });
        kept_.push_back(t);  // frames drain the autorelease pool
        return t;
    }
    ccColor4B drawnPixel(CCTexture2D* t, int x, int y) {
        t->setAliasTexParameters();
        scene_->addChild(TextureRectNode::make(t, CGRectMake(0, 0, 40, 40)), 0, 1);
        frame();
        ccColor4B c = pixelAt(x, y);
        scene_->removeChildByTag(1, true);
        return c;
    }
    ScratchDirectory dir_;
    std::vector<host::Ref<CCTexture2D>> kept_;
};

// 2 x 2, top row red and green, bottom row blue and white, per format.
struct FormatCase {
    const char* name;
    uint32_t type;
    std::string pixels;
    CCTexture2DPixelFormat format;
};

}  // namespace

TEST_F(PVRTextures, UncompressedFormatsUploadAndDrawTheirTexels) {
    const std::vector<FormatCase> cases = {
        {"RGBA8888", 0x12, bytes({255, 0, 0, 255, 0, 255, 0, 255, 0, 0, 255, 255, 255, 255, 255, 255}),
         kCCTexture2DPixelFormat_RGBA8888},
        // 16-bit texels little-endian: 4444 red F00F, green 0F0F, blue 00FF.
        {"RGBA4444", 0x10, bytes({0x0F, 0xF0, 0x0F, 0x0F, 0xFF, 0x00, 0xFF, 0xFF}), kCCTexture2DPixelFormat_RGBA4444},
        {"RGB565", 0x13, bytes({0x00, 0xF8, 0xE0, 0x07, 0x1F, 0x00, 0xFF, 0xFF}), kCCTexture2DPixelFormat_RGB565},
        {"RGB5A1", 0x11, bytes({0x01, 0xF8, 0xC1, 0x07, 0x3F, 0x00, 0xFF, 0xFF}), kCCTexture2DPixelFormat_RGB5A1},
    };
    for (const FormatCase& c : cases) {
        CCTexture2D* t = load(std::string(c.name) + ".pvr", pvrFile({c.type}, c.pixels));
        ASSERT_NE(t, nullptr) << c.name;
        EXPECT_EQ(t->pixelFormat(), c.format) << c.name;
        EXPECT_EQ(t->pixelsWide(), 2u);
        EXPECT_EQ(t->maxS(), 1.0f);
        EXPECT_EQ(t->maxT(), 1.0f);
        EXPECT_EQ(t->contentSizeInPixels().width, 2);
        EXPECT_FALSE(t->hasPremultipliedAlpha());
        // Row 0 of the data is drawn at the top.
        EXPECT_TRUE(colorNear(drawnPixel(t, 10, 30), ccColor4B{255, 0, 0, 255}, 0)) << c.name;
        EXPECT_TRUE(colorNear(drawnPixel(t, 30, 30), ccColor4B{0, 255, 0, 255}, 0)) << c.name;
        EXPECT_TRUE(colorNear(drawnPixel(t, 10, 10), ccColor4B{0, 0, 255, 255}, 0)) << c.name;
        EXPECT_TRUE(colorNear(drawnPixel(t, 30, 10), ccColor4B{255, 255, 255, 255}, 0)) << c.name;
    }
    // A8: alpha 0 and 255 over the black background.
    CCTexture2D* a8 = load("a8.pvr", pvrFile({0x1B, 2, 2, 0xFF}, bytes({255, 0, 0, 255})));
    ASSERT_NE(a8, nullptr);
    EXPECT_EQ(a8->pixelFormat(), kCCTexture2DPixelFormat_A8);
    EXPECT_TRUE(colorNear(drawnPixel(a8, 10, 30), ccColor4B{255, 255, 255, 255}, 0));
    EXPECT_TRUE(colorNear(drawnPixel(a8, 30, 30), ccColor4B{0, 0, 0, 255}, 0));
}

TEST_F(PVRTextures, PremultipliedFlagFollowsTheClassSetting) {
    CCTexture2D::PVRImagesHavePremultipliedAlpha(true);
    CCTexture2D* t = load("p.pvr", pvrFile({}, repeat(bytes({1, 2, 3, 4}), 4)));
    ASSERT_NE(t, nullptr);
    EXPECT_TRUE(t->hasPremultipliedAlpha());
    EXPECT_TRUE(CCTexture2D::PVRImagesHavePremultipliedAlpha());
}

TEST_F(PVRTextures, MipmapLevelsAreSplitByTheirSize) {
    // 4 x 4 RGBA8888 with its full chain: 64 + 16 + 4 bytes.
    const std::string path = dir_.write("mips.pvr", pvrFile({0x12, 4, 4, 0xFF}, std::string(84, '\x7F')));
    CCTexturePVR* pvr = CCTexturePVR::pvrTextureWithContentsOfFile(path);
    ASSERT_NE(pvr, nullptr);
    EXPECT_EQ(pvr->numberOfMipmaps(), 3);
    EXPECT_EQ(pvr->mipmap(0).len, 64u);
    EXPECT_EQ(pvr->mipmap(1).len, 16u);
    EXPECT_EQ(pvr->mipmap(2).len, 4u);
    EXPECT_TRUE(pvr->hasAlpha());
    EXPECT_NE(pvr->name(), 0u);
    EXPECT_EQ(pvr->format(), kCCTexture2DPixelFormat_RGBA8888);
    EXPECT_EQ(CCTexturePVR::pvrTextureWithContentsOfURL("file://" + path)->width(), 4u);
    EXPECT_EQ(CCTexturePVR::pvrTextureWithContentsOfURL("http://example.invalid/mips.pvr"), nullptr);
}

TEST_F(PVRTextures, PVRTCDataSplitIntoClampedBlockLevels) {
    // 8 x 8 at 4 bpp, 128 bytes: four levels of 32 (block counts clamp at 2).
    const std::string file = pvrFile({0x19, 8, 8, 0xFF}, std::string(128, '\x33'));
    auto pvr = host::Ref<CCTexturePVR>::adopt(new CCTexturePVR);
    const auto* data = reinterpret_cast<const unsigned char*>(file.data());
    ASSERT_TRUE(pvr->unpackPVRData(data, unsigned(file.size())));
    ASSERT_EQ(pvr->numberOfMipmaps(), 4);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(pvr->mipmap(i).len, 32u) << i;
        EXPECT_EQ(pvr->mipmap(i).address, data + 52 + 32 * i) << i;
    }
    EXPECT_EQ(pvr->format(), kCCTexture2DPixelFormat_PVRTC4);
    // Without PVRTC in the GL the upload is refused.
    if (!CCConfiguration::sharedConfiguration()->supportsPVRTC()) {
        EXPECT_FALSE(pvr->createGLTexture());
        EXPECT_EQ(load("c.pvr", file), nullptr);
    }
    // 2 bpp: 8 x 4 blocks, also clamped.
    const std::string two = pvrFile({0x18, 8, 8, 0}, std::string(64, '\x33'));
    ASSERT_TRUE(pvr->unpackPVRData(reinterpret_cast<const unsigned char*>(two.data()), unsigned(two.size())));
    EXPECT_EQ(pvr->numberOfMipmaps(), 2);
    EXPECT_EQ(pvr->mipmap(0).len, 32u);
}

TEST_F(PVRTextures, RawPVRTCDataSizes) {
    EXPECT_EQ(CCTexture2D::PVRTCDataSize(2, 4), 32u);  // 4 bytes by the formula, 32 at least
    EXPECT_EQ(CCTexture2D::PVRTCDataSize(4, 8), 32u);
    EXPECT_EQ(CCTexture2D::PVRTCDataSize(4, 64), 2048u);
    EXPECT_EQ(CCTexture2D::PVRTCDataSize(2, 64), 1024u);
    if (CCConfiguration::sharedConfiguration()->supportsPVRTC()) GTEST_SKIP() << "the GL has PVRTC";
    dir_.write("raw.pvrtc", std::string(2048, '\0'));
    EXPECT_EQ(CCTextureCache::sharedTextureCache()->addPVRTCImage("raw.pvrtc", 4, true, 64), nullptr);
    CCTexture2D* t = new CCTexture2D;
    const std::string data(32, '\0');
    EXPECT_FALSE(t->initWithPVRTCData(data.data(), 0, 2, true, 4, kCCTexture2DPixelFormat_PVRTC2));
    t->release();
}

TEST_F(PVRTextures, CompressedFilesLoadThroughTheCache) {
    const std::string pvr = pvrFile({}, repeat(bytes({0, 0, 255, 255}), 4));
    dir_.write("sheet.pvr.gz", compress(pvr, 31));
    dir_.write("sheet.pvr.ccz", cczOf(pvr));
    dir_.write("sheet.pvr", pvr);
    for (const char* name : {"sheet.pvr", "sheet.pvr.gz", "sheet.pvr.ccz"}) {
        CCTexture2D* t = CCTextureCache::sharedTextureCache()->addImage(name);
        ASSERT_NE(t, nullptr) << name;
        EXPECT_EQ(CCTextureCache::sharedTextureCache()->textureForKey(name), t);
        EXPECT_TRUE(colorNear(drawnPixel(t, 20, 20), ccColor4B{0, 0, 255, 255}, 0)) << name;
    }
}

TEST_F(PVRTextures, LyingOrHostileHeadersAreRefusedWithOneLogLine) {
    const std::string rgba2x2 = std::string(16, '\x10');
    PVRHeader badTag, zero, huge, npot, unknown, claimsMore, truncatedLevel, empty, manyLevels;
    badTag.tag = 0x21525651;
    zero.width = 0;
    huge.width = huge.height = 1u << 20;
    npot.width = npot.height = 3;
    unknown.type = 0x05;
    claimsMore.dataLength = 1000;
    truncatedLevel.dataLength = 10;
    empty.dataLength = 0;
    manyLevels.type = 0x1B;  // A8 1 x 1: one byte a level
    manyLevels.width = manyLevels.height = 1;
    std::vector<std::pair<std::string, std::string>> cases = {
        {"bad tag", pvrFile(badTag, rgba2x2)},
        {"zero width", pvrFile(zero, rgba2x2)},
        {"absurd size", pvrFile(huge, rgba2x2)},
        {"unknown pixel type", pvrFile(unknown, rgba2x2)},
        {"data length beyond the file", pvrFile(claimsMore, rgba2x2)},
        {"truncated level", pvrFile(truncatedLevel, rgba2x2)},
        {"no pixel data", pvrFile(empty, rgba2x2)},
        {"more than 16 levels", pvrFile(manyLevels, std::string(17 * 4, '\x01'))},
        {"shorter than the header", pvrFile({}, rgba2x2).substr(0, 40)},
    };
    if (!CCConfiguration::sharedConfiguration()->supportsNPOT()) cases.push_back({"3 x 3", pvrFile(npot, rgba2x2)});
    if (!CCConfiguration::sharedConfiguration()->supportsBGRA8888()) {
        PVRHeader bgra;
        bgra.type = 0x1A;
        cases.push_back({"BGRA without support", pvrFile(bgra, rgba2x2)});
    }
    for (const auto& c : cases) {
        LogCapture log;
        EXPECT_EQ(load("bad.pvr", c.second), nullptr) << c.first;
        EXPECT_EQ(log.lines().size(), 1u) << c.first << ":\n" << log.joined();
    }
    LogCapture log;
    EXPECT_EQ(load("bad.pvr.gz", "not gzip"), nullptr);
    EXPECT_EQ(load("bad.pvr.ccz", "CCZ!"), nullptr);
    EXPECT_EQ(log.lines().size(), 2u) << log.joined();
}
