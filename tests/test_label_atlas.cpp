// The atlas node and the character-map label: which cell each character
// picks (texture coordinates), where its quad goes, growing and shrinking
// strings, the tint and opacity rules, and real pixels drawn from a map.
#include <string>
#include <vector>

#include "ImageFileWriters.h"
#include "LogCapture.h"
#include "RenderFixture.h"
#include "ScratchDirectory.h"
#include "TestTextures.h"
#include "engine/CCLabelAtlas.h"
#include "engine/CCTexture2D.h"
#include "engine/CCTextureAtlas.h"
#include "engine/CCTextureCache.h"
#include "engine/ccMacros.h"

namespace {

// Cell k of a test map is filled with this colour (channels that survive
// 16-bit textures exactly).
ccColor4B cellColour(unsigned k) {
    return ccColor4B{uint8_t(17 * (k % 16)), uint8_t(255 - 17 * (k % 16)), uint8_t(k % 2 ? 255 : 0), 255};
}

class LabelAtlasTest : public RenderFixture {
protected:
    void TearDown() override {
        __ccContentScaleFactor = 1;
        RenderFixture::TearDown();
        for (const std::string& p : maps_) CCTextureCache::sharedTextureCache()->removeTextureForKey(p);
    }

    // A map of `columns` x `rows` cells of cw x ch pixels, cell k in cellColour(k).
    std::string writeMap(const std::string& name, unsigned columns, unsigned rows, unsigned cw = 16,
                         unsigned ch = 24) {
        std::string p = writePngFile(dir_, name, columns * cw, rows * ch, [=](unsigned x, unsigned y) {
            return cellColour((y / ch) * columns + x / cw);
        });
        maps_.push_back(p);
        return p;
    }
    CCLabelAtlas* label(const std::string& text, const std::string& map, uint8_t start = '.') {
        return CCLabelAtlas::labelWithString(text, map, 16, 24, start);
    }

    ScratchDirectory dir_;
    std::vector<std::string> maps_;
};

struct TexRect {
    float left, right, top, bottom;
};

void expectCell(const ccV3F_C4B_T2F_Quad& q, TexRect t, const char* what) {
    EXPECT_FLOAT_EQ(q.tl.texCoords.u, t.left) << what;
    EXPECT_FLOAT_EQ(q.tl.texCoords.v, t.top) << what;
    EXPECT_FLOAT_EQ(q.bl.texCoords.u, t.left) << what;
    EXPECT_FLOAT_EQ(q.bl.texCoords.v, t.bottom) << what;
    EXPECT_FLOAT_EQ(q.tr.texCoords.u, t.right) << what;
    EXPECT_FLOAT_EQ(q.tr.texCoords.v, t.top) << what;
    EXPECT_FLOAT_EQ(q.br.texCoords.u, t.right) << what;
    EXPECT_FLOAT_EQ(q.br.texCoords.v, t.bottom) << what;
}

TEST_F(LabelAtlasTest, EachCharacterPicksItsCellAndSitsOneCellFurtherRight) {
    // 12 cells of 16 x 24 in one row: a 192 x 24 image in 256 x 32 storage.
    CCLabelAtlas* l = label("00.0", writeMap("fps.png", 12, 1));
    ASSERT_NE(l, nullptr);
    CCTextureAtlas* atlas = l->textureAtlas();
    ASSERT_EQ(atlas->texture()->pixelsWide(), 256u);
    ASSERT_EQ(atlas->texture()->pixelsHigh(), 32u);
    EXPECT_EQ(l->quadsToDraw(), 4u);
    EXPECT_EQ(atlas->totalQuads(), 4u);
    const unsigned cells[] = {2, 2, 0, 2};  // "0" is two places after "."
    for (unsigned i = 0; i < 4; ++i) {
        const ccV3F_C4B_T2F_Quad& q = atlas->quads()[i];
        const float left = cells[i] * 16 / 256.0f;
        expectCell(q, TexRect{left, left + 16 / 256.0f, 0, 24 / 32.0f}, "00.0");
        EXPECT_FLOAT_EQ(q.bl.vertices.x, i * 16.0f);
        EXPECT_FLOAT_EQ(q.bl.vertices.y, 0);
        EXPECT_FLOAT_EQ(q.br.vertices.x, (i + 1) * 16.0f);
        EXPECT_FLOAT_EQ(q.tl.vertices.x, i * 16.0f);
        EXPECT_FLOAT_EQ(q.tl.vertices.y, 24);
        EXPECT_FLOAT_EQ(q.tr.vertices.x, (i + 1) * 16.0f);
        EXPECT_FLOAT_EQ(q.tr.vertices.y, 24);
    }
    EXPECT_TRUE(CGSizeEqualToSize(l->contentSize(), CGSizeMake(64, 24)));
    EXPECT_EQ(l->string(), "00.0");
}

TEST_F(LabelAtlasTest, CellsWrapIntoLaterRowsAndCharactersBeforeTheStartWrapAsABytes) {
    // Four cells a row, two rows: 64 x 48 in 64 x 64 storage.
    CCLabelAtlas* l = label("25", writeMap("rows.png", 4, 2), '0');
    ASSERT_NE(l, nullptr);
    expectCell(l->textureAtlas()->quads()[0], TexRect{0.5f, 0.75f, 0, 24 / 64.0f}, "cell 2");
    expectCell(l->textureAtlas()->quads()[1], TexRect{0.25f, 0.5f, 24 / 64.0f, 48 / 64.0f}, "cell 5");

    // '/' is one before '0': cell 255, row 63, column 3, far past the map.
    l->setString("/");
    expectCell(l->textureAtlas()->quads()[0], TexRect{0.75f, 1.0f, 63 * 24 / 64.0f, 64 * 24 / 64.0f}, "cell 255");
}

TEST_F(LabelAtlasTest, LongerStringsGrowTheAtlasAndShorterOnesDrawFewerQuads) {
    CCLabelAtlas* l = label("1", writeMap("grow.png", 12, 1));
    ASSERT_NE(l, nullptr);
    EXPECT_EQ(l->textureAtlas()->capacity(), 1u);
    l->setString("12345678");
    EXPECT_EQ(l->textureAtlas()->capacity(), 8u);
    EXPECT_EQ(l->quadsToDraw(), 8u);
    EXPECT_FLOAT_EQ(l->textureAtlas()->quads()[7].br.vertices.x, 128);
    l->setString("12");
    EXPECT_EQ(l->textureAtlas()->capacity(), 8u);
    EXPECT_EQ(l->quadsToDraw(), 2u);
    EXPECT_TRUE(CGSizeEqualToSize(l->contentSize(), CGSizeMake(32, 24)));
    l->setString("");
    EXPECT_EQ(l->quadsToDraw(), 0u);
    frame();  // drawing no quads is fine
}

TEST_F(LabelAtlasTest, TheMapIsDrawnCellByCellAtTheLabelsPosition) {
    CCLabelAtlas* l = label("0/.", writeMap("draw.png", 12, 1));
    ASSERT_NE(l, nullptr);
    l->setPosition(CGPointMake(100, 200));
    scene_->addChild(l);
    frame();
    EXPECT_TRUE(colorNear(pixelAt(108, 212), cellColour(2)));
    EXPECT_TRUE(colorNear(pixelAt(124, 212), cellColour(1)));
    EXPECT_TRUE(colorNear(pixelAt(140, 212), cellColour(0)));
    EXPECT_TRUE(colorNear(pixelAt(156, 212), kBlack));  // nothing past the text
    EXPECT_TRUE(colorNear(pixelAt(108, 226), kBlack));  // nor above it
}

TEST_F(LabelAtlasTest, TintAndOpacityArePremultipliedForPremultipliedMaps) {
    // A white map: the drawn colour is the tint itself.
    const std::string map = writePngFile(dir_, "white.png", 16, 24, [](unsigned, unsigned) { return kWhite; });
    maps_.push_back(map);
    CCLabelAtlas* l = label(".", map);
    ASSERT_NE(l, nullptr);
    ASSERT_TRUE(l->texture()->hasPremultipliedAlpha());
    EXPECT_TRUE(l->doesOpacityModifyRGB());
    EXPECT_TRUE(ccBlendFuncIsDefault(l->blendFunc()));
    scene_->addChild(l);

    l->setColor(ccc3(255, 128, 0));
    l->setOpacity(128);
    EXPECT_EQ(l->color().g, 128);  // the colour as set
    frame();
    // (255, 128, 0) x 128/255 drawn with (ONE, ONE_MINUS_SRC_ALPHA) over black.
    EXPECT_TRUE(colorNear(pixelAt(8, 12), ccColor4B{128, 64, 0, 255}));

    // Without premultiplication the full tint reaches the framebuffer.
    l->setOpacityModifyRGB(false);
    EXPECT_EQ(l->color().g, 128);
    frame();
    EXPECT_TRUE(colorNear(pixelAt(8, 12), ccColor4B{255, 128, 0, 255}));

    // The GL state the engine relies on is back after the draw.
    GLint src = 0, dst = 0;
    glGetIntegerv(GL_BLEND_SRC, &src);
    glGetIntegerv(GL_BLEND_DST, &dst);
    EXPECT_EQ(src, GL_ONE);
    EXPECT_EQ(dst, GL_ONE_MINUS_SRC_ALPHA);
}

TEST_F(LabelAtlasTest, ATextureWithoutPremultipliedAlphaBlendsBySourceAlpha) {
    CCLabelAtlas* l = label(".", writeMap("plain.png", 12, 1));
    ASSERT_NE(l, nullptr);
    CCTexture2D* straight = makeSolidTexture(16, 32, ccColor4B{255, 255, 255, 128});
    ASSERT_FALSE(straight->hasPremultipliedAlpha());
    l->setTexture(straight);
    EXPECT_EQ(l->texture(), straight);
    EXPECT_EQ(l->blendFunc().src, uint32_t(GL_SRC_ALPHA));
    EXPECT_EQ(l->blendFunc().dst, uint32_t(GL_ONE_MINUS_SRC_ALPHA));
    EXPECT_FALSE(l->doesOpacityModifyRGB());
    l->setColor(ccc3(0, 255, 0));
    l->setOpacity(255);
    l->setString(".");
    scene_->addChild(l);
    frame();
    // Half-transparent white tinted green, blended by its alpha (which
    // blends into the destination alpha the same way: 0.5² + 1 × 0.5).
    EXPECT_TRUE(colorNear(pixelAt(8, 12), ccColor4B{0, 128, 0, 191}, 3));
    GLint src = 0;
    glGetIntegerv(GL_BLEND_SRC, &src);
    EXPECT_EQ(src, GL_ONE);
}

TEST_F(LabelAtlasTest, MapsThatCannotBeUsedGiveNoLabelAndOneLogLine) {
    {
        LogCapture log;
        EXPECT_EQ(label("0", dir_.file("missing.png")), nullptr);
        EXPECT_EQ(log.lines().size(), 1u) << log.joined();
    }
    {
        LogCapture log;
        // Smaller than one cell: no cell could ever be mapped.
        EXPECT_EQ(label("0", writeMap("tiny.png", 1, 1, 8, 8)), nullptr);
        EXPECT_EQ(log.lines().size(), 1u) << log.joined();
    }
    {
        LogCapture log;
        EXPECT_EQ(CCLabelAtlas::labelWithString("0", writeMap("zero.png", 4, 1), 0, 24, '0'), nullptr);
        EXPECT_EQ(CCLabelAtlas::labelWithString("0", "", 16, 24, '0'), nullptr);
        EXPECT_EQ(log.lines().size(), 2u) << log.joined();
    }
}

TEST_F(LabelAtlasTest, ThePlainAtlasNodeHasNoCellMapping) {
    CCAtlasNode* node = CCAtlasNode::atlasWithTileFile(writeMap("node.png", 4, 1), 16, 24, 3);
    ASSERT_NE(node, nullptr);
    EXPECT_EQ(node->quadsToDraw(), 3u);
    EXPECT_EQ(node->textureAtlas()->capacity(), 3u);
    EXPECT_THROW(node->updateAtlasValues(), CCInternalInconsistencyException);
}

TEST_F(LabelAtlasTest, AtDoubleResolutionCellsArePointsTimesTwoOfTheHdMap) {
    writeMap("retina.png", 12, 1);
    const std::string hd = writeMap("retina-hd.png", 12, 1, 32, 48);
    __ccContentScaleFactor = 2;
    CCLabelAtlas* l = label("0", dir_.file("retina.png"));
    ASSERT_NE(l, nullptr);
    ASSERT_EQ(l->texture()->pixelsWide(), 512u);
    expectCell(l->textureAtlas()->quads()[0], TexRect{64 / 512.0f, 96 / 512.0f, 0, 48 / 64.0f}, "hd cell 2");
    EXPECT_FLOAT_EQ(l->textureAtlas()->quads()[0].tr.vertices.x, 32);
    EXPECT_FLOAT_EQ(l->textureAtlas()->quads()[0].tr.vertices.y, 48);
    EXPECT_TRUE(CGSizeEqualToSize(l->contentSizeInPixels(), CGSizeMake(32, 48)));
    EXPECT_TRUE(CGSizeEqualToSize(l->contentSize(), CGSizeMake(16, 24)));
}

}  // namespace
