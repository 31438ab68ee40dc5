// The image tile map: cells by their red byte, drawn from real TGA files
// and read back as pixels; changing cells; map images of other depths.
#include <string>
#include <vector>

#include "RenderFixture.h"
#include "TMXTestMaps.h"
#include "ImageFileWriters.h"
#include "LogCapture.h"
#include "ScratchDirectory.h"
#include "engine/CCTextureAtlas.h"
#include "engine/CCTextureCache.h"
#include "engine/CCTileMapAtlas.h"

namespace {

const ccColor4B kBlack{0, 0, 0, 255};

// An uncompressed TGA of w x h pixels, bottom row first, of `depth` bits;
// `pixels` as stored (B, G, R(, A) for colour).
std::string tga(unsigned w, unsigned h, unsigned depth, const std::vector<uint8_t>& pixels) {
    const uint8_t type = depth == 8 ? 3 : 2;
    std::string out = {0, 0, char(type), 0, 0, 0, 0, 0, 0, 0, 0, 0, char(w), char(w >> 8), char(h), char(h >> 8),
                       char(depth), 0};
    return out + std::string(pixels.begin(), pixels.end());
}

class TileMapAtlasTest : public RenderFixture {
protected:
    void SetUp() override {
        RenderFixture::SetUp();
        sheet_ = writeTileSheet(dir_, "sheet.png", 16, 8, 2);
        // Red 0, 5 along the bottom row, 0, 7 above; green and blue kept.
        map_ = dir_.write("map.tga", tga(2, 2, 24, {12, 11, 0, 0, 0, 5, 22, 21, 0, 0, 0, 7}));
    }
    void TearDown() override {
        RenderFixture::TearDown();
        CCTextureCache::sharedTextureCache()->removeUnusedTextures();
    }
    CCTileMapAtlas* atlas(const std::string& mapFile) {
        CCTileMapAtlas* a = CCTileMapAtlas::tileMapAtlasWithTileFile(sheet_, mapFile, 16, 16);
        if (a) scene_->addChild(a);
        return a;
    }
    // The colours of cells (0, 0), (1, 0), (0, 1), (1, 1).
    void expectCells(ccColor4B a, ccColor4B b, ccColor4B c, ccColor4B d) {
        frame();
        EXPECT_TRUE(colorNear(pixelAt(8, 8), a, 6));
        EXPECT_TRUE(colorNear(pixelAt(24, 8), b, 6));
        EXPECT_TRUE(colorNear(pixelAt(8, 24), c, 6));
        EXPECT_TRUE(colorNear(pixelAt(24, 24), d, 6));
    }

    ScratchDirectory dir_;
    std::string sheet_, map_;
};

TEST_F(TileMapAtlasTest, NonEmptyCellsDrawTheTileTheirRedByteNames) {
    CCTileMapAtlas* a = atlas(map_);
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->itemsToRender(), 2);
    EXPECT_EQ(a->textureAtlas()->totalQuads(), 2u);
    EXPECT_EQ(a->contentSizeInPixels().width, 32);
    EXPECT_EQ(a->contentSizeInPixels().height, 32);
    // Column by column, bottom to top: (1, 0) is quad 0, (1, 1) quad 1.
    EXPECT_EQ(a->textureAtlas()->quads()[0].bl.vertices.x, 16);
    EXPECT_EQ(a->textureAtlas()->quads()[1].bl.vertices.y, 16);
    expectCells(kBlack, tileColour(5), kBlack, tileColour(7));

    const ccColor3B empty = a->tileAt(ccg(0, 1));
    EXPECT_EQ(empty.r, 0);
    EXPECT_EQ(empty.g, 21);
    EXPECT_EQ(empty.b, 22);
}

TEST_F(TileMapAtlasTest, SettingACellRedrawsItAndEmptyCellsStayEmpty) {
    CCTileMapAtlas* a = atlas(map_);
    ASSERT_NE(a, nullptr);
    a->setTile(ccc3(3, 1, 1), ccg(0, 0));  // no quad there: nothing changes
    EXPECT_EQ(a->tileAt(ccg(0, 0)).g, 11);
    a->setTile(ccc3(10, 9, 8), ccg(1, 1));  // the second row of the sheet
    EXPECT_EQ(a->tileAt(ccg(1, 1)).g, 9);
    expectCells(kBlack, tileColour(5), kBlack, tileColour(10));

    a->setTile(ccc3(0, 5, 5), ccg(1, 0));  // stored, drawn as the first tile...
    expectCells(kBlack, tileColour(0), kBlack, tileColour(10));
    a->setTile(ccc3(4, 4, 4), ccg(1, 0));  // ...and from now on an empty cell
    EXPECT_EQ(a->tileAt(ccg(1, 0)).r, 0);
    expectCells(kBlack, tileColour(0), kBlack, tileColour(10));

    a->releaseMap();  // the quads stay
    EXPECT_EQ(a->tgaInfo(), nullptr);
    expectCells(kBlack, tileColour(0), kBlack, tileColour(10));
}

TEST_F(TileMapAtlasTest, OtherDepthsAreConvertedOrRefusedAndMissingMapsLogged) {
    // 32 bits: alpha dropped. 8-bit grey: the grey is the red byte.
    CCTileMapAtlas* rgba = atlas(dir_.write("rgba.tga", tga(2, 1, 32, {0, 0, 2, 9, 7, 6, 1, 0})));
    ASSERT_NE(rgba, nullptr);
    EXPECT_EQ(rgba->tileAt(ccg(0, 0)).r, 2);
    EXPECT_EQ(rgba->tileAt(ccg(1, 0)).b, 7);
    EXPECT_EQ(rgba->itemsToRender(), 2);
    CCTileMapAtlas* grey = atlas(dir_.write("grey.tga", tga(3, 1, 8, {3, 0, 4})));
    ASSERT_NE(grey, nullptr);
    EXPECT_EQ(grey->itemsToRender(), 2);
    EXPECT_EQ(grey->tileAt(ccg(2, 0)).g, 4);

    struct Case {
        std::string file;
        std::string says;
    } cases[] = {
        {dir_.write("16.tga", tga(1, 1, 16, {1, 2})), "16 bits a pixel are not a map"},
        {dir_.file("missing.tga"), "cannot open"},
        {dir_.write("short.tga", tga(4, 4, 24, {1, 2, 3})), "truncated"},
    };
    for (const Case& c : cases) {
        LogCapture log;
        EXPECT_EQ(CCTileMapAtlas::tileMapAtlasWithTileFile(sheet_, c.file, 16, 16), nullptr) << c.says;
        ASSERT_EQ(log.lines().size(), 1u) << log.joined();
        EXPECT_NE(log.lines()[0].find(c.says), std::string::npos) << log.joined();
    }
    EXPECT_EQ(CCTileMapAtlas::tileMapAtlasWithTileFile(sheet_, map_, 0, 16), nullptr);
}

}  // namespace
