// Tile maps on the real GL stack: where tiles go in each orientation,
// editing tiles (the GID array, the index array, the atlas and the pixels
// kept in step, with and without tile sprites), flip bits as the editor
// shows them, tiles no tile set draws, and maps that cannot be built.
#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "RenderFixture.h"
#include "TMXTestMaps.h"
#include "ImageFileWriters.h"
#include "LogCapture.h"
#include "ScratchDirectory.h"
#include "engine/CCSprite.h"
#include "engine/CCTMXLayer.h"
#include "engine/CCTMXObjectGroup.h"
#include "engine/CCTMXTiledMap.h"
#include "engine/CCTMXTilesetInfo.h"
#include "engine/CCTextureAtlas.h"
#include "engine/CCTextureCache.h"

namespace {

const ccColor4B kBlack{0, 0, 0, 255};
const int kTile = 16;

class TMXLayerTest : public RenderFixture {
protected:
    void SetUp() override {
        RenderFixture::SetUp();
        sheet_ = writeTileSheet(dir_, "sheet.png", kTile, 4, 2);
    }
    void TearDown() override {
        RenderFixture::TearDown();
        CCTextureCache::sharedTextureCache()->removeUnusedTextures();
    }

    CCTMXTiledMap* map(const std::string& body, const std::string& attributes = "") {
        const std::string sizes = " tilewidth=\"16\" tileheight=\"16\" " + attributes;
        CCTMXTiledMap* m = CCTMXTiledMap::tiledMapWithXML(tmxMap(body, sizes), dir_.path());
        if (m) scene_->addChild(m);
        return m;
    }
    // A 4 x 3 orthogonal map of one layer "L" on the 8-tile sheet.
    CCTMXLayer* layer(const std::vector<uint32_t>& gids) {
        CCTMXTiledMap* m = map(tmxTileset(1, "sheet.png", kTile) + tmxLayer("L", 4, 3, tmxData(gids, "zlib")));
        return m ? m->layerNamed("L") : nullptr;
    }

    // The GID array, the index array and the atlas agree, and every cell
    // shows its tile's colour (or nothing).
    void expectConsistent(CCTMXLayer* l, const char* when) {
        SCOPED_TRACE(when);
        const std::vector<uint32_t>& tiles = l->tiles();
        const std::vector<uint32_t>& index = l->atlasIndexArray();
        EXPECT_TRUE(std::is_sorted(index.begin(), index.end()));
        EXPECT_EQ(index.size(), size_t(std::count_if(tiles.begin(), tiles.end(), [](uint32_t g) { return g != 0; })));
        EXPECT_EQ(l->textureAtlas()->totalQuads(), index.size());
        for (uint32_t z : index) EXPECT_NE(tiles[z], 0u) << "tile " << z;
        frame();
        for (unsigned z = 0; z < tiles.size(); ++z) {
            const int x = int(z % 4), y = int(z / 4);
            const ccColor4B want = tiles[z] ? tileColour(tiles[z] - 1) : kBlack;
            EXPECT_TRUE(colorNear(pixelAt(x * kTile + 8, (2 - y) * kTile + 8), want, 6)) << "cell " << x << "," << y;
        }
    }

    ScratchDirectory dir_;
    std::string sheet_;
};

TEST_F(TMXLayerTest, PositionsOfTilesInEachOrientation) {
    const std::string sheet = tmxTileset(1, "sheet.png", kTile);
    auto layerOf = [&](const std::string& mapAttributes, int w, int h, const std::string& layerAttributes = "") {
        const std::vector<uint32_t> gids(size_t(w * h), 1);
        CCTMXTiledMap* m = CCTMXTiledMap::tiledMapWithXML(
            tmxMap(sheet + tmxLayer("L", w, h, tmxData(gids, "csv"), layerAttributes), mapAttributes), dir_.path());
        return m ? m->layerNamed("L") : nullptr;
    };
    auto expectAt = [](CCTMXLayer* l, float x, float y, float px, float py) {
        const CGPoint p = l->positionAt(CGPointMake(x, y));
        EXPECT_EQ(p.x, px) << "tile " << x << "," << y;
        EXPECT_EQ(p.y, py) << "tile " << x << "," << y;
    };

    CCTMXLayer* ortho = layerOf("width=\"10\" height=\"10\" tilewidth=\"32\" tileheight=\"32\"", 10, 10,
                                "x=\"1\" y=\"2\" offsetx=\"3\" offsety=\"4\"");
    ASSERT_NE(ortho, nullptr);
    expectAt(ortho, 0, 0, 0, 288);
    expectAt(ortho, 9, 9, 288, 0);
    expectAt(ortho, 3, 2, 96, 224);
    EXPECT_EQ(ortho->positionInPixels().x, 35);
    EXPECT_EQ(ortho->positionInPixels().y, -68);
    EXPECT_EQ(ortho->contentSizeInPixels().width, 320);

    CCTMXLayer* iso = layerOf("orientation=\"isometric\" width=\"4\" height=\"4\" tilewidth=\"64\" tileheight=\"32\"",
                              4, 4, "x=\"1\" y=\"0\"");
    ASSERT_NE(iso, nullptr);
    expectAt(iso, 0, 0, 96, 96);
    expectAt(iso, 3, 0, 192, 48);
    expectAt(iso, 0, 3, 0, 48);
    expectAt(iso, 3, 3, 96, 0);
    EXPECT_EQ(iso->positionInPixels().x, 32);
    EXPECT_EQ(iso->positionInPixels().y, -16);

    // Columns 3/4 of a tile apart, odd ones half a tile lower.
    CCTMXLayer* hex = layerOf("orientation=\"hexagonal\" width=\"5\" height=\"4\" tilewidth=\"64\" tileheight=\"56\"", 5, 4);
    ASSERT_NE(hex, nullptr);
    expectAt(hex, 0, 0, 0, 168);
    expectAt(hex, 1, 0, 48, 140);
    expectAt(hex, 2, 1, 96, 112);
    expectAt(hex, 3, 3, 144, -28);
    CCTMXLayer* evenColumns = layerOf("orientation=\"hexagonal\" width=\"5\" height=\"4\" tilewidth=\"64\" "
                                      "tileheight=\"56\" staggerindex=\"even\" hexsidelength=\"20\"", 5, 4);
    ASSERT_NE(evenColumns, nullptr);
    expectAt(evenColumns, 1, 0, 42, 168);
    expectAt(evenColumns, 2, 0, 84, 140);
    // Pointed-top hexagons: rows 3/4 of a tile apart, odd ones half a tile right.
    CCTMXLayer* rows = layerOf("orientation=\"hexagonal\" width=\"4\" height=\"4\" tilewidth=\"56\" tileheight=\"64\" "
                               "staggeraxis=\"y\" staggerindex=\"odd\" hexsidelength=\"32\"", 4, 4);
    ASSERT_NE(rows, nullptr);
    expectAt(rows, 0, 0, 0, 144);
    expectAt(rows, 0, 1, 28, 96);
    expectAt(rows, 2, 3, 140, 0);
}

TEST_F(TMXLayerTest, EditingKeepsTheGIDsTheIndexTheAtlasAndThePixelsInStep) {
    CCTMXLayer* l = layer({1, 0, 3, 0, 0, 2, 0, 4, 5, 0, 0, 6});
    ASSERT_NE(l, nullptr);
    expectConsistent(l, "as loaded");
    const unsigned quads = l->textureAtlas()->totalQuads();
    l->setTileGID(1, CGPointMake(0, 0));
    EXPECT_EQ(l->textureAtlas()->totalQuads(), quads);  // the same GID: nothing to do

    l->setTileGID(7, CGPointMake(1, 0));  // into an empty cell, between two quads
    expectConsistent(l, "inserted");
    l->setTileGID(8, CGPointMake(3, 2));  // over a tile
    expectConsistent(l, "updated");
    l->removeTileAt(CGPointMake(2, 0));
    expectConsistent(l, "removed");
    l->setTileGID(0, CGPointMake(1, 1));  // GID 0 removes too
    expectConsistent(l, "set to 0");
    l->removeTileAt(CGPointMake(1, 1));  // already empty
    expectConsistent(l, "removed again");
    EXPECT_EQ(l->tileGIDAt(CGPointMake(1, 0)), 7u);
    EXPECT_EQ(l->tileGIDAt(CGPointMake(2, 0)), 0u);
    EXPECT_EQ(l->minGID(), 1u);
    EXPECT_EQ(l->maxGID(), 6u);
}

TEST_F(TMXLayerTest, TileSpritesOwnTheirQuadsThroughEveryEdit) {
    CCTMXLayer* l = layer({1, 0, 3, 0, 0, 2, 0, 4, 5, 0, 0, 6});
    ASSERT_NE(l, nullptr);
    EXPECT_EQ(l->tileAt(CGPointMake(1, 0)), nullptr);  // empty
    CCSprite* sprite = l->tileAt(CGPointMake(3, 1));
    ASSERT_NE(sprite, nullptr);
    EXPECT_EQ(l->tileAt(CGPointMake(3, 1)), sprite);
    EXPECT_EQ(sprite->tag(), 7);
    expectConsistent(l, "sprite made");

    // Quads come and go before the sprite's: it must follow its own.
    l->setTileGID(8, CGPointMake(1, 0));
    l->removeTileAt(CGPointMake(0, 0));
    l->setTileGID(2, CGPointMake(0, 1));
    expectConsistent(l, "quads moved under the sprite");
    sprite->setColor(ccc3(0, 0, 0));
    frame();
    EXPECT_TRUE(colorNear(pixelAt(3 * kTile + 8, 1 * kTile + 8), kBlack, 6));
    EXPECT_TRUE(colorNear(pixelAt(1 * kTile + 8, 2 * kTile + 8), tileColour(7), 6));  // its neighbours stay
    sprite->setColor(ccc3(255, 255, 255));

    l->setTileGID(3, CGPointMake(3, 1));  // the sprite shows the new tile
    expectConsistent(l, "sprite's tile changed");
    EXPECT_EQ(sprite->textureRectInPixels().origin.x, 2 * kTile);

    l->removeChild(sprite, true);  // the tile goes with its sprite
    EXPECT_EQ(l->tileGIDAt(CGPointMake(3, 1)), 0u);
    expectConsistent(l, "sprite removed");

    ASSERT_NE(l->tileAt(CGPointMake(0, 2)), nullptr);
    l->removeTileAt(CGPointMake(0, 2));  // a tile with a sprite
    EXPECT_EQ(l->children()->count(), 0u);
    l->tileAt(CGPointMake(3, 2));
    l->tileAt(CGPointMake(1, 0));
    l->removeAllChildrenWithCleanup(true);
    EXPECT_EQ(l->tileGIDAt(CGPointMake(3, 2)), 0u);
    expectConsistent(l, "all sprites removed");
    l->addChild(CCSprite::node(), 0, 0);  // not taken
    EXPECT_EQ(l->children()->count(), 0u);
}

TEST_F(TMXLayerTest, FlipBitsDrawAsTheEditorShowsThem) {
    // One tile: red, green / blue, white quadrants.
    writePngFile(dir_, "quadrants.png", kTile, kTile, [](unsigned x, unsigned y) {
        const bool right = x >= 8, bottom = y >= 8;
        return bottom ? (right ? ccColor4B{255, 255, 255, 255} : ccColor4B{0, 0, 255, 255})
                      : (right ? ccColor4B{0, 255, 0, 255} : ccColor4B{255, 0, 0, 255});
    });
    const uint32_t H = kCCTMXTileHorizontalFlag, V = kCCTMXTileVerticalFlag, D = kCCTMXTileDiagonalFlag;
    const std::vector<uint32_t> gids = {1, 1 | H, 1 | V, 1 | H | V, 1 | D, 1 | D | H, 1 | D | V, 1 | D | H | V};
    const char* expected[] = {"RGBW", "GRWB", "BWRG", "WBGR", "RBGW", "BRWG", "GWRB", "WGBR"};
    CCTMXTiledMap* m = map(tmxTileset(1, "quadrants.png", kTile) + tmxLayer("L", 8, 1, tmxData(gids, "csv")),
                           "width=\"8\" height=\"1\"");
    ASSERT_NE(m, nullptr);
    CCTMXLayer* l = m->layerNamed("L");
    auto colour = [](char c) {
        return c == 'R' ? ccColor4B{255, 0, 0, 255}
               : c == 'G' ? ccColor4B{0, 255, 0, 255}
               : c == 'B' ? ccColor4B{0, 0, 255, 255}
                          : ccColor4B{255, 255, 255, 255};
    };
    auto expectQuadrants = [&](const char* when) {
        frame();
        for (int i = 0; i < 8; ++i) {
            const int x0 = i * kTile;
            const char* q = expected[i];
            EXPECT_TRUE(colorNear(pixelAt(x0 + 4, 12), colour(q[0]))) << when << ": top left of " << i;
            EXPECT_TRUE(colorNear(pixelAt(x0 + 12, 12), colour(q[1]))) << when << ": top right of " << i;
            EXPECT_TRUE(colorNear(pixelAt(x0 + 4, 4), colour(q[2]))) << when << ": bottom left of " << i;
            EXPECT_TRUE(colorNear(pixelAt(x0 + 12, 4), colour(q[3]))) << when << ": bottom right of " << i;
        }
    };
    expectQuadrants("stamped quads");
    uint32_t flags = 0;
    EXPECT_EQ(l->tileGIDAt(CGPointMake(5, 0), &flags), 1u);
    EXPECT_EQ(flags, D | H);
    for (int i = 0; i < 8; ++i) ASSERT_NE(l->tileAt(CGPointMake(float(i), 0)), nullptr);
    expectQuadrants("tile sprites");
    // Turning a tile by setting its flags.
    l->setTileGID(1, CGPointMake(0, 0), D | H | V);
    l->setTileGID(1, CGPointMake(7, 0));
    std::swap(expected[0], expected[7]);
    expectQuadrants("flags set");
}

TEST_F(TMXLayerTest, RowsOutsideTheWindowAreLeftOutButNothingVisibleIs) {
    // 4 x 40 tiles: 640 pixels, taller than the 480 of the window.
    std::vector<uint32_t> gids(4 * 40);
    for (size_t i = 0; i < gids.size(); ++i) gids[i] = uint32_t(1 + (i + i / 4) % 8);
    CCTMXTiledMap* m = map(tmxTileset(1, "sheet.png", kTile) + tmxLayer("L", 4, 40, tmxData(gids, "csv")),
                           "width=\"4\" height=\"40\"");
    ASSERT_NE(m, nullptr);
    CCTMXLayer* l = m->layerNamed("L");
    auto expectRowsFrom = [&](float mapY, float scale, const char* when) {
        SCOPED_TRACE(when);
        m->setPosition(CGPointMake(0, mapY));
        m->setScale(scale);
        frame();
        const float tile = kTile * scale;
        for (float screenY = tile / 2; screenY < 480; screenY += tile) {
            const int y = 39 - int(std::floor((screenY - mapY) / tile));  // the row from the top
            if (y < 0 || y >= 40) continue;
            for (int x = 0; x < 4; ++x)
                EXPECT_TRUE(colorNear(pixelAt(int(x * tile + tile / 2), int(screenY)),
                                      tileColour(gids[size_t(y * 4 + x)] - 1), 6))
                    << "tile " << x << "," << y;
        }
    };
    expectRowsFrom(0, 1, "bottom rows");
    expectRowsFrom(-160, 1, "top rows");
    expectRowsFrom(-72, 1, "between rows");
    expectRowsFrom(-100, 0.5f, "scaled");
    m->setScale(1);

    // A tile sprite of a row far out of the window, moved into it.
    CCSprite* top = l->tileAt(CGPointMake(0, 0));
    ASSERT_NE(top, nullptr);
    m->setPosition(CGPointZero);
    top->setPositionInPixels(CGPointMake(100, 100));
    frame();
    EXPECT_TRUE(colorNear(pixelAt(108, 108), tileColour(gids[0] - 1), 6));
}

TEST_F(TMXLayerTest, TilesNoTileSetDrawsStayAsDataButAreNotDrawn) {
    writeTileSheet(dir_, "two.png", kTile, 2, 1);  // GIDs 1 and 2 only
    LogCapture log;
    CCTMXTiledMap* m = map(tmxTileset(1, "two.png", kTile) + tmxLayer("L", 4, 3, tmxData({2, 9, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0x8000000Fu}, "csv")));
    ASSERT_NE(m, nullptr);
    ASSERT_EQ(log.lines().size(), 1u) << log.joined();
    EXPECT_NE(log.lines()[0].find("2 tiles of the layer 'L' are not tiles of its tile set 'set1' (GIDs 1 to 2)"),
              std::string::npos)
        << log.joined();
    CCTMXLayer* l = m->layerNamed("L");
    EXPECT_EQ(l->tileGIDAt(CGPointMake(1, 0)), 9u);
    EXPECT_EQ(l->tileAt(CGPointMake(1, 0)), nullptr);
    EXPECT_EQ(l->textureAtlas()->totalQuads(), 2u);
    frame();
    EXPECT_TRUE(colorNear(pixelAt(8, 40), tileColour(1), 6));
    EXPECT_TRUE(colorNear(pixelAt(24, 40), kBlack));
    EXPECT_TRUE(colorNear(pixelAt(40, 40), tileColour(0), 6));

    l->setTileGID(20, CGPointMake(0, 0));  // kept, not drawn, said once
    EXPECT_EQ(l->tileGIDAt(CGPointMake(0, 0)), 20u);
    EXPECT_EQ(l->atlasIndexArray().size(), 1u);
    EXPECT_EQ(log.lines().size(), 2u);
    l->setTileGID(1, CGPointMake(1, 0));  // a drawable tile where an undrawable one was
    l->removeTileAt(CGPointMake(0, 0));
    EXPECT_EQ(l->atlasIndexArray(), (std::vector<uint32_t>{1, 2}));
    frame();
    EXPECT_TRUE(colorNear(pixelAt(24, 40), tileColour(0), 6));
}

TEST_F(TMXLayerTest, TheMapBuildsVisibleLayersWithTheirTileSetsAndProperties) {
    writeTileSheet(dir_, "second.png", kTile, 2, 1);
    const std::vector<uint32_t> first = {1, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 3};
    const std::vector<uint32_t> second = {0, 9, 10 | kCCTMXTileVerticalFlag, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    CCTMXTiledMap* m = map(
        "<properties><property name=\"title\" value=\"test\"/></properties>" + tmxTileset(1, "sheet.png", kTile) +
        tmxTileset(9, "second.png", kTile, "<tile id=\"1\"><properties><property name=\"hot\" value=\"1\"/></properties></tile>") +
        tmxLayer("A", 4, 3, tmxData(first, "base64")) + tmxLayer("Hidden", 4, 3, tmxData(first, "csv"), "visible=\"0\"") +
        tmxLayer("B", 4, 3, "<properties><property name=\"cc_vertexz\" value=\"automatic\"/>"
                            "<property name=\"cc_alpha_func\" value=\"0.5\"/></properties>" + tmxData(second, "gzip"), "opacity=\"0.5\"") +
        "<objectgroup name=\"G\"><object name=\"o\" x=\"0\" y=\"0\" width=\"8\" height=\"8\"/></objectgroup>");
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(m->children()->count(), 2u);
    CCTMXLayer* a = m->layerNamed("A");
    CCTMXLayer* b = m->layerNamed("B");
    ASSERT_TRUE(a && b);
    EXPECT_EQ(m->layerNamed("Hidden"), nullptr);
    EXPECT_EQ(a->zOrder(), 0);
    EXPECT_EQ(b->zOrder(), 1);  // the hidden layer takes no number
    EXPECT_EQ(b->tag(), 1);
    EXPECT_EQ(a->tileset()->firstGid(), 1u);
    EXPECT_EQ(b->tileset()->firstGid(), 9u);
    EXPECT_EQ(m->contentSize().width, 64);
    EXPECT_EQ(m->contentSize().height, 48);
    EXPECT_EQ(m->propertyNamed("title").asString(), "test");
    EXPECT_EQ(m->propertiesForGID(10 | kCCTMXTileHorizontalFlag)["hot"].asString(), "1");
    EXPECT_TRUE(m->propertiesForGID(3).isNone());
    ASSERT_NE(m->objectGroupNamed("G"), nullptr);
    EXPECT_EQ(m->groupNamed("G")->objectNamed("o")["y"].asInt(), 40);
    EXPECT_EQ(m->objectGroupNamed("none"), nullptr);

    // Automatic vertex z: orthogonal rows further down come nearer.
    EXPECT_TRUE(b->useAutomaticVertexZ());
    EXPECT_EQ(b->alphaFuncValue(), 0.5f);
    EXPECT_EQ(b->opacity(), 127);
    const ccV3F_C4B_T2F_Quad* quads = b->textureAtlas()->quads();
    EXPECT_EQ(quads[0].bl.vertices.z, -3);
    EXPECT_EQ(quads[0].bl.colors.a, 127);
    EXPECT_EQ(a->textureAtlas()->quads()[2].bl.vertices.z, 0);
    frame();
    EXPECT_TRUE(colorNear(pixelAt(8, 40), tileColour(0), 6));  // A alone
    EXPECT_TRUE(colorNear(pixelAt(56, 8), tileColour(2), 6));
}

TEST_F(TMXLayerTest, MapsWhoseLayersCannotBeDrawnGiveNothingAndOneLine) {
    writePngFile(dir_, "tiny.png", 8, 8, [](unsigned, unsigned) { return ccColor4B{255, 0, 0, 255}; });
    dir_.write("garbage.png", "not a picture");
    const std::string layer = tmxLayer("L", 4, 3, tmxData(std::vector<uint32_t>(12, 1), "csv"));
    struct Case {
        std::string tileset;
        std::string says;
    } cases[] = {
        {tmxTileset(1, "missing.png", kTile), "does not exist"},
        {tmxTileset(1, "tiny.png", kTile), "holds no whole 16 x 16 tile"},
        {"<tileset firstgid=\"1\" name=\"bare\" tilewidth=\"16\" tileheight=\"16\"/>", "has no image"},
        {tmxTileset(1, "garbage.png", kTile), "garbage.png"},
    };
    for (const Case& c : cases) {
        LogCapture log;
        EXPECT_EQ(CCTMXTiledMap::tiledMapWithXML(tmxMap(c.tileset + layer, "tilewidth=\"16\" tileheight=\"16\""), dir_.path()),
                  nullptr)
            << c.says;
        ASSERT_EQ(log.lines().size(), 1u) << c.says << "\n" << log.joined();
        EXPECT_NE(log.lines()[0].find(c.says), std::string::npos) << log.joined();
    }
    // A map whose file cannot be read says so once, through its reader.
    LogCapture log;
    EXPECT_EQ(CCTMXTiledMap::tiledMapWithTMXFile(dir_.write("bad.tmx", "<map")), nullptr);
    EXPECT_EQ(log.lines().size(), 1u) << log.joined();
}

}  // namespace
