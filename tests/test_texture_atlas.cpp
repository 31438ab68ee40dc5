// The texture atlas: index pattern, quad bookkeeping (update, insert,
// move, remove, resize) and drawing real pixels with one call per block.
#include <cstdio>
#include <string>
#include <vector>

#include "RenderFixture.h"
#include "TestTextures.h"
#include "engine/CCTextureAtlas.h"

namespace {

// Tags a quad by its bottom-left x so the order of quads is easy to read.
ccV3F_C4B_T2F_Quad tagged(float id) { return makeQuad(id, 0, 1, 1, kWhite); }

std::vector<float> order(const CCTextureAtlas* atlas) {
    std::vector<float> ids;
    for (unsigned i = 0; i < atlas->totalQuads(); ++i) ids.push_back(atlas->quads()[i].bl.vertices.x);
    return ids;
}

class TextureAtlasTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(ensureHeadlessDisplay());
        texture_ = makeSolidTexture(8, 8, kWhite);
    }
    void TearDown() override { pool_.drain(); }

    // An atlas holding quads tagged 0 .. n-1.
    CCTextureAtlas* atlasWith(unsigned n, unsigned capacity) {
        CCTextureAtlas* atlas = CCTextureAtlas::textureAtlasWithTexture(texture_, capacity);
        for (unsigned i = 0; i < n; ++i) {
            ccV3F_C4B_T2F_Quad q = tagged(float(i));
            atlas->insertQuad(&q, i);
        }
        return atlas;
    }

    host::AutoreleasePool pool_;
    CCTexture2D* texture_ = nullptr;
};

TEST_F(TextureAtlasTest, NewAtlasIsEmptyWithTheIndexPatternForEveryQuad) {
    CCTextureAtlas* atlas = CCTextureAtlas::textureAtlasWithTexture(texture_, 3);
    ASSERT_NE(atlas, nullptr);
    EXPECT_EQ(atlas->capacity(), 3u);
    EXPECT_EQ(atlas->totalQuads(), 0u);
    EXPECT_EQ(atlas->texture(), texture_);
    const std::vector<uint16_t> expected = {0, 1, 2, 3, 2, 1, 4, 5, 6, 7, 6, 5, 8, 9, 10, 11, 10, 9};
    EXPECT_EQ(std::vector<uint16_t>(atlas->indices(), atlas->indices() + 18), expected);
    // The quad storage starts zeroed.
    for (unsigned i = 0; i < 3; ++i) EXPECT_EQ(atlas->quads()[i].tr.vertices.x, 0.0f);
}

TEST_F(TextureAtlasTest, TheAtlasRetainsItsTextureAndReleasesItWhenDestroyed) {
    texture_->retain();
    const unsigned before = texture_->retainCount();
    CCTextureAtlas* atlas = host::createOwned<CCTextureAtlas>(
        [&](CCTextureAtlas* a) { return a->initWithTexture(texture_, 4); });
    EXPECT_EQ(texture_->retainCount(), before + 1);
    atlas->release();
    EXPECT_EQ(texture_->retainCount(), before);
    texture_->release();
}

TEST_F(TextureAtlasTest, UpdatePastTheEndRaisesTheCountAndLeavesTheGap) {
    CCTextureAtlas* atlas = atlasWith(2, 8);
    ccV3F_C4B_T2F_Quad q = tagged(50);
    atlas->updateQuad(&q, 5);
    EXPECT_EQ(atlas->totalQuads(), 6u);
    EXPECT_EQ(atlas->quads()[5].bl.vertices.x, 50.0f);
    EXPECT_EQ(atlas->quads()[0].bl.vertices.x, 0.0f);
    EXPECT_EQ(atlas->quads()[1].bl.vertices.x, 1.0f);
    // Updating inside the count replaces without changing the count.
    q = tagged(70);
    atlas->updateQuad(&q, 1);
    EXPECT_EQ(atlas->totalQuads(), 6u);
    EXPECT_EQ(atlas->quads()[1].bl.vertices.x, 70.0f);
}

TEST_F(TextureAtlasTest, InsertOpensAGapAtTheFrontMiddleAndEnd) {
    CCTextureAtlas* atlas = atlasWith(3, 8);
    ccV3F_C4B_T2F_Quad q = tagged(10);
    atlas->insertQuad(&q, 0);
    EXPECT_EQ(order(atlas), (std::vector<float>{10, 0, 1, 2}));
    q = tagged(11);
    atlas->insertQuad(&q, 2);
    EXPECT_EQ(order(atlas), (std::vector<float>{10, 0, 11, 1, 2}));
    q = tagged(12);
    atlas->insertQuad(&q, 5);
    EXPECT_EQ(order(atlas), (std::vector<float>{10, 0, 11, 1, 2, 12}));
}

TEST_F(TextureAtlasTest, InsertingAQuadTakenFromTheAtlasItselfCopiesItBeforeTheMove) {
    CCTextureAtlas* atlas = atlasWith(3, 8);
    atlas->insertQuad(&atlas->quads()[1], 0);  // the source slot shifts during the insert
    EXPECT_EQ(order(atlas), (std::vector<float>{1, 0, 1, 2}));
}

TEST_F(TextureAtlasTest, MovingAQuadShiftsTheQuadsBetween) {
    CCTextureAtlas* atlas = atlasWith(3, 4);
    atlas->insertQuadFromIndex(0, 2);
    EXPECT_EQ(order(atlas), (std::vector<float>{1, 2, 0}));

    atlas = atlasWith(3, 4);
    atlas->insertQuadFromIndex(2, 0);
    EXPECT_EQ(order(atlas), (std::vector<float>{2, 0, 1}));

    atlas->insertQuadFromIndex(1, 1);
    EXPECT_EQ(order(atlas), (std::vector<float>{2, 0, 1}));
    EXPECT_EQ(atlas->totalQuads(), 3u);
}

TEST_F(TextureAtlasTest, RemoveShiftsTheTailDownAndRemovingTheLastOnlyLowersTheCount) {
    CCTextureAtlas* atlas = atlasWith(4, 4);
    atlas->removeQuadAtIndex(1);
    EXPECT_EQ(order(atlas), (std::vector<float>{0, 2, 3}));
    atlas->removeQuadAtIndex(2);
    EXPECT_EQ(order(atlas), (std::vector<float>{0, 2}));
    // The slot itself keeps the removed quad: only the count moved.
    EXPECT_EQ(atlas->quads()[2].bl.vertices.x, 3.0f);
    atlas->removeAllQuads();
    EXPECT_EQ(atlas->totalQuads(), 0u);
    EXPECT_EQ(atlas->capacity(), 4u);
}

TEST_F(TextureAtlasTest, ResizeKeepsTheQuadsAndRebuildsTheIndices) {
    CCTextureAtlas* atlas = atlasWith(3, 3);
    ASSERT_TRUE(atlas->resizeCapacity(5));
    EXPECT_EQ(atlas->capacity(), 5u);
    EXPECT_EQ(order(atlas), (std::vector<float>{0, 1, 2}));
    const uint16_t* idx = atlas->indices();
    EXPECT_EQ(std::vector<uint16_t>(idx + 24, idx + 30), (std::vector<uint16_t>{16, 17, 18, 19, 18, 17}));
    ASSERT_TRUE(atlas->resizeCapacity(5));  // same capacity: nothing to do
    EXPECT_EQ(order(atlas), (std::vector<float>{0, 1, 2}));
}

TEST_F(TextureAtlasTest, ResizeBelowTheCountTruncatesIt) {
    CCTextureAtlas* atlas = atlasWith(4, 4);
    ASSERT_TRUE(atlas->resizeCapacity(2));
    EXPECT_EQ(atlas->capacity(), 2u);
    EXPECT_EQ(order(atlas), (std::vector<float>{0, 1}));
    ASSERT_TRUE(atlas->resizeCapacity(0));
    EXPECT_EQ(atlas->totalQuads(), 0u);
    EXPECT_EQ(atlas->quads(), nullptr);
}

TEST_F(TextureAtlasTest, AnAtlasOfCapacityZeroGrowsFromNothing) {
    CCTextureAtlas* atlas = CCTextureAtlas::textureAtlasWithTexture(texture_, 0);
    ASSERT_NE(atlas, nullptr);
    EXPECT_EQ(atlas->capacity(), 0u);
    ASSERT_TRUE(atlas->resizeCapacity(1));
    ccV3F_C4B_T2F_Quad q = tagged(7);
    atlas->insertQuad(&q, 0);
    EXPECT_EQ(order(atlas), (std::vector<float>{7}));
    EXPECT_EQ(std::vector<uint16_t>(atlas->indices(), atlas->indices() + 6),
              (std::vector<uint16_t>{0, 1, 2, 3, 2, 1}));
}

// Whether the kernel refuses an allocation far beyond memory (it does,
// unless overcommit is set to "always").
bool hugeAllocationsFail() {
    std::FILE* f = std::fopen("/proc/sys/vm/overcommit_memory", "r");
    int mode = 0;
    if (f) {
        if (std::fscanf(f, "%d", &mode) != 1) mode = 0;
        std::fclose(f);
    }
    return mode != 1;
}

TEST_F(TextureAtlasTest, AFailedResizeEmptiesTheAtlas) {
    if (!hugeAllocationsFail()) GTEST_SKIP() << "memory overcommit is unlimited here";
    CCTextureAtlas* atlas = atlasWith(2, 2);
    // More than the address space can hold: the allocation must fail.
    ASSERT_FALSE(atlas->resizeCapacity(0xFFFFFFFFu));
    EXPECT_EQ(atlas->capacity(), 0u);
    EXPECT_EQ(atlas->totalQuads(), 0u);
    EXPECT_EQ(atlas->quads(), nullptr);
    EXPECT_EQ(atlas->indices(), nullptr);
    // And it is usable again afterwards.
    ASSERT_TRUE(atlas->resizeCapacity(2));
    EXPECT_EQ(atlas->capacity(), 2u);
}

TEST_F(TextureAtlasTest, IndicesWrapPerBlockOfTheLargestSingleDraw) {
    const unsigned block = CCTextureAtlas::kMaxQuadsPerDraw;
    CCTextureAtlas* atlas = CCTextureAtlas::textureAtlasWithTexture(texture_, block + 2);
    ASSERT_NE(atlas, nullptr);
    const uint16_t* idx = atlas->indices();
    EXPECT_EQ(idx[size_t(block - 1) * 6], 65532);
    EXPECT_EQ(idx[size_t(block) * 6], 0);
    EXPECT_EQ(idx[size_t(block + 1) * 6 + 3], 7);
}

TEST_F(TextureAtlasTest, DescriptionShowsTheQuadCount) {
    CCTextureAtlas* atlas = atlasWith(2, 4);
    const std::string d = atlas->description();
    EXPECT_EQ(d.rfind("<CCTextureAtlas = ", 0), 0u) << d;
    EXPECT_NE(d.find(" | totalQuads =  2>"), std::string::npos) << d;
}

// ---- Drawing ------------------------------------------------------------

// Draws a run of an atlas's quads as its own content.
class AtlasDrawer : public CCNode {
public:
    static AtlasDrawer* node() { return host::create<AtlasDrawer>(); }
    void draw() override {
        atlas->drawNumberOfQuads(count, start);
        error = glGetError();
    }
    host::Ref<CCTextureAtlas> atlas;
    unsigned count = 0, start = 0;
    GLenum error = GL_NO_ERROR;
};

class TextureAtlasDrawTest : public RenderFixture {
protected:
    AtlasDrawer* drawerFor(CCTextureAtlas* atlas, unsigned count, unsigned start) {
        AtlasDrawer* d = AtlasDrawer::node();
        d->atlas = atlas;
        d->count = count;
        d->start = start;
        scene_->addChild(d);
        return d;
    }
};

TEST_F(TextureAtlasDrawTest, DrawsEveryQuadWithItsColourAndTexture) {
    CCTexture2D* texture = makeTwoColourTexture(16, 16, kRed, kGreen);
    CCTextureAtlas* atlas = CCTextureAtlas::textureAtlasWithTexture(texture, 4);
    ccV3F_C4B_T2F_Quad a = makeQuad(10, 10, 40, 40, kWhite);
    ccV3F_C4B_T2F_Quad b = makeQuad(100, 10, 40, 40, ccColor4B{255, 255, 255, 255});
    atlas->insertQuad(&a, 0);
    atlas->insertQuad(&b, 1);
    AtlasDrawer* d = drawerFor(atlas, atlas->totalQuads(), 0);
    frame();
    EXPECT_EQ(d->error, GLenum(GL_NO_ERROR));
    EXPECT_TRUE(colorNear(pixelAt(15, 30), kRed));     // left half of the texture
    EXPECT_TRUE(colorNear(pixelAt(45, 30), kGreen));   // right half
    EXPECT_TRUE(colorNear(pixelAt(105, 30), kRed));
    EXPECT_TRUE(colorNear(pixelAt(135, 30), kGreen));
    EXPECT_TRUE(colorNear(pixelAt(70, 30), kBlack));   // between the quads
}

TEST_F(TextureAtlasDrawTest, VertexColoursModulateTheTexture) {
    CCTextureAtlas* atlas = CCTextureAtlas::textureAtlasWithTexture(makeSolidTexture(8, 8, kWhite), 1);
    ccV3F_C4B_T2F_Quad q = makeQuad(0, 0, 50, 50, ccColor4B{0, 0, 255, 255});
    atlas->updateQuad(&q, 0);
    drawerFor(atlas, 1, 0);
    frame();
    EXPECT_TRUE(colorNear(pixelAt(25, 25), kBlue));
}

TEST_F(TextureAtlasDrawTest, DrawsOnlyTheRequestedRun) {
    CCTextureAtlas* atlas = CCTextureAtlas::textureAtlasWithTexture(makeSolidTexture(8, 8, kWhite), 3);
    for (unsigned i = 0; i < 3; ++i) {
        ccV3F_C4B_T2F_Quad q = makeQuad(10 + 60 * float(i), 10, 40, 40, kWhite);
        atlas->insertQuad(&q, i);
    }
    drawerFor(atlas, 1, 1);
    frame();
    EXPECT_TRUE(colorNear(pixelAt(30, 30), kBlack));
    EXPECT_TRUE(colorNear(pixelAt(90, 30), kWhite));
    EXPECT_TRUE(colorNear(pixelAt(150, 30), kBlack));
}

TEST_F(TextureAtlasDrawTest, DrawingZeroQuadsDrawsNothingAndRaisesNoError) {
    CCTextureAtlas* atlas = CCTextureAtlas::textureAtlasWithTexture(makeSolidTexture(8, 8, kWhite), 1);
    ccV3F_C4B_T2F_Quad q = makeQuad(0, 0, 50, 50, kWhite);
    atlas->updateQuad(&q, 0);
    AtlasDrawer* d = drawerFor(atlas, 0, 0);
    frame();
    EXPECT_EQ(d->error, GLenum(GL_NO_ERROR));
    EXPECT_TRUE(colorNear(pixelAt(25, 25), kBlack));
}

TEST_F(TextureAtlasDrawTest, QuadsBeyondOneBlockAreDrawnInPlace) {
    // Past 16384 quads the 16-bit indices wrap; the blocks must still land
    // on their own quads, not on the first block's.
    const unsigned block = CCTextureAtlas::kMaxQuadsPerDraw;
    CCTextureAtlas* atlas =
        CCTextureAtlas::textureAtlasWithTexture(makeSolidTexture(8, 8, kWhite), block + 10);
    ccV3F_C4B_T2F_Quad first = makeQuad(10, 10, 40, 40, kRed);
    ccV3F_C4B_T2F_Quad beyond = makeQuad(100, 10, 40, 40, kGreen);
    atlas->updateQuad(&first, 1);
    atlas->updateQuad(&beyond, block + 1);  // zeroed quads in between are degenerate
    ASSERT_EQ(atlas->totalQuads(), block + 2);
    AtlasDrawer* d = drawerFor(atlas, atlas->totalQuads(), 0);
    frame();
    EXPECT_EQ(d->error, GLenum(GL_NO_ERROR));
    EXPECT_TRUE(colorNear(pixelAt(30, 30), kRed));
    EXPECT_TRUE(colorNear(pixelAt(120, 30), kGreen));

    // A run that starts inside the second block.
    d->count = 1;
    d->start = block + 1;
    frame();
    EXPECT_TRUE(colorNear(pixelAt(30, 30), kBlack));
    EXPECT_TRUE(colorNear(pixelAt(120, 30), kGreen));
}

TEST_F(TextureAtlasDrawTest, ChangingTheTextureKeepsTheQuads) {
    CCTextureAtlas* atlas = CCTextureAtlas::textureAtlasWithTexture(makeSolidTexture(8, 8, kRed), 1);
    ccV3F_C4B_T2F_Quad q = makeQuad(0, 0, 50, 50, kWhite);
    atlas->updateQuad(&q, 0);
    atlas->setTexture(makeSolidTexture(8, 8, kBlue));
    drawerFor(atlas, 1, 0);
    frame();
    EXPECT_EQ(atlas->totalQuads(), 1u);
    EXPECT_TRUE(colorNear(pixelAt(25, 25), kBlue));
}

}  // namespace
