// The TGA reader: orientation, colour order, run-length data, and files
// whose header or data cannot be trusted.
#include <gtest/gtest.h>

#include <string>

#include "LogCapture.h"
#include "ScratchDirectory.h"
#include "engine/Support/TGAlib.h"

namespace {

struct TGAHeader {
    uint8_t idLength = 0, colorMapType = 0, type = 2;
    uint16_t colorMapLength = 0;
    uint8_t colorMapEntrySize = 0;
    uint16_t width = 2, height = 2;
    uint8_t depth = 24, descriptor = 0;
};

std::string le16(uint16_t v) { return std::string{char(v & 0xFF), char(v >> 8)}; }

std::string header(const TGAHeader& h) {
    std::string s;
    s += char(h.idLength);
    s += char(h.colorMapType);
    s += char(h.type);
    s += le16(0) + le16(h.colorMapLength);
    s += char(h.colorMapEntrySize);
    s += le16(0) + le16(0) + le16(h.width) + le16(h.height);
    s += char(h.depth);
    s += char(h.descriptor);
    return s;
}

std::string bytes(std::initializer_list<int> b) {
    std::string s;
    for (int v : b) s += char(v);
    return s;
}

// Owns the loaded record.
struct Loaded {
    explicit Loaded(const std::string& path) : tga(tgaLoad(path.c_str())) {}
    ~Loaded() { tgaDestroy(tga); }
    int pixel(int x, int y, int c) const {
        return tga->imageData[(size_t(y) * size_t(tga->width) + size_t(x)) * (tga->pixelDepth / 8u) + size_t(c)];
    }
    tImageTGA* tga;
};

}  // namespace

TEST(TGA, BottomUpImagesLoadAsStoredWithRedAndBlueSwapped) {
    ScratchDirectory dir;
    // Rows bottom-up on disk, pixels B, G, R.
    const std::string path = dir.write("raw.tga", header({}) + bytes({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}));
    Loaded l(path);
    ASSERT_NE(l.tga, nullptr);
    ASSERT_EQ(l.tga->status, TGA_OK);
    EXPECT_EQ(l.tga->width, 2);
    EXPECT_EQ(l.tga->height, 2);
    EXPECT_EQ(l.tga->flipped, 0);
    EXPECT_EQ(l.pixel(0, 0, 0), 3);  // R
    EXPECT_EQ(l.pixel(0, 0, 2), 1);  // B
    EXPECT_EQ(l.pixel(1, 1, 0), 12);
}

TEST(TGA, TopLeftOriginImagesAreTurnedBottomUp) {
    ScratchDirectory dir;
    TGAHeader h;
    h.depth = 32;
    h.height = 3;
    h.width = 1;
    h.descriptor = 0x20 | 8;
    // Top row first on disk: rows marked 10, 20, 30 (in the blue byte).
    const std::string path = dir.write(
        "top.tga", header(h) + bytes({10, 0, 0, 255, 20, 0, 0, 255, 30, 0, 0, 255}));
    Loaded l(path);
    ASSERT_EQ(l.tga->status, TGA_OK);
    EXPECT_EQ(l.tga->flipped, 0);
    EXPECT_EQ(l.pixel(0, 0, 2), 30);  // the bottom row comes first
    EXPECT_EQ(l.pixel(0, 2, 2), 10);
    EXPECT_EQ(l.pixel(0, 2, 3), 255);
}

TEST(TGA, RunLengthDataMixRepeatAndRawRuns) {
    ScratchDirectory dir;
    TGAHeader h;
    h.type = 10;
    h.width = 5;
    h.height = 1;
    // Repeat run of 3 of (B1, G2, R3), then a raw run of 2 pixels.
    const std::string path =
        dir.write("rle.tga", header(h) + bytes({0x82, 1, 2, 3, 0x01, 4, 5, 6, 7, 8, 9}));
    Loaded l(path);
    ASSERT_EQ(l.tga->status, TGA_OK);
    for (int x = 0; x < 3; ++x) EXPECT_EQ(l.pixel(x, 0, 0), 3) << x;
    EXPECT_EQ(l.pixel(3, 0, 0), 6);
    EXPECT_EQ(l.pixel(4, 0, 0), 9);
    EXPECT_EQ(l.pixel(4, 0, 2), 7);
}

TEST(TGA, TheImageIDAndColourMapAreSkipped) {
    ScratchDirectory dir;
    TGAHeader h;
    h.idLength = 5;
    h.colorMapType = 1;  // a map present in a true-colour image is ignored
    h.colorMapLength = 2;
    h.colorMapEntrySize = 24;
    h.width = 1;
    h.height = 1;
    h.type = 3;  // greyscale
    h.depth = 8;
    const std::string path = dir.write("id.tga", header(h) + "hello" + bytes({9, 9, 9, 9, 9, 9}) + bytes({77}));
    Loaded l(path);
    ASSERT_EQ(l.tga->status, TGA_OK);
    EXPECT_EQ(l.pixel(0, 0, 0), 77);
}

TEST(TGA, UntrustworthyFilesGiveTheirStatusAndOneLogLine) {
    ScratchDirectory dir;
    auto with = [](auto change) {
        TGAHeader h;
        change(h);
        return header(h);
    };
    const std::string pixels(12, '\x40');
    struct Case {
        const char* what;
        std::string contents;
        int status;
    };
    const std::vector<Case> cases = {
        {"colour-mapped", with([](TGAHeader& h) { h.type = 1; }) + pixels, TGA_ERROR_INDEXED_COLOR},
        {"unknown type", with([](TGAHeader& h) { h.type = 9; }) + pixels, TGA_ERROR_UNSUPPORTED},
        {"depth 40", with([](TGAHeader& h) { h.depth = 40; }) + pixels, TGA_ERROR_UNSUPPORTED},
        {"depth 12", with([](TGAHeader& h) { h.depth = 12; }) + pixels, TGA_ERROR_UNSUPPORTED},
        {"depth 0", with([](TGAHeader& h) { h.depth = 0; }) + pixels, TGA_ERROR_UNSUPPORTED},
        {"zero width", with([](TGAHeader& h) { h.width = 0; }) + pixels, TGA_ERROR_UNSUPPORTED},
        {"width above 32767", with([](TGAHeader& h) { h.width = 40000; }) + pixels, TGA_ERROR_UNSUPPORTED},
        {"absurd size", with([](TGAHeader& h) { h.width = h.height = 30000; h.depth = 32; }) + pixels,
         TGA_ERROR_MEMORY},
        {"truncated header", header({}).substr(0, 10), TGA_ERROR_READING_FILE},
        {"truncated pixels", header({}) + pixels.substr(0, 7), TGA_ERROR_READING_FILE},
        {"truncated run", with([](TGAHeader& h) { h.type = 10; }) + bytes({0x81, 1, 2, 3}),
         TGA_ERROR_READING_FILE},
        {"run cut inside a pixel", with([](TGAHeader& h) { h.type = 10; }) + bytes({0x03, 1, 2, 3, 4}),
         TGA_ERROR_READING_FILE},
    };
    for (const Case& c : cases) {
        LogCapture log;
        Loaded l(dir.write("bad.tga", c.contents));
        ASSERT_NE(l.tga, nullptr);
        EXPECT_EQ(l.tga->status, c.status) << c.what;
        EXPECT_EQ(log.lines().size(), 1u) << c.what << ":\n" << log.joined();
    }
    Loaded missing(dir.file("missing.tga"));
    EXPECT_EQ(missing.tga->status, TGA_ERROR_FILE_OPEN);
    tgaDestroy(nullptr);
}
