// The sprite batch node: atlas order and atlas indices under add, remove
// and reorder at every depth, growth, quads in the batch's space (the same
// as a stand-alone sprite's, parent transforms and their honour flags),
// dirty marking, hidden sprites, blending, and what the single draw shows.
#include <cmath>
#include <string>
#include <vector>

#include "ColourAssertions.h"
#include "LogCapture.h"
#include "RenderFixture.h"
#include "ScratchDirectory.h"
#include "TestTextures.h"
#include "engine/CCSprite.h"
#include "engine/CCSpriteBatchNode.h"
#include "engine/CCSpriteFrame.h"
#include "engine/CCTextureAtlas.h"

namespace {

// Sets a blend function of its own, or records the one in force, when drawn.
class BlendNode : public CCNode {
public:
    static BlendNode* node() { return host::create<BlendNode>(); }
    void draw() override {
        if (set) {
            glBlendFunc(GL_ZERO, GL_ONE);
            return;
        }
        glGetIntegerv(GL_BLEND_SRC, &src);
        glGetIntegerv(GL_BLEND_DST, &dst);
        glBlendFunc(GL_ONE, GL_ONE_MINUS_SRC_ALPHA);
    }
    bool set = false;
    GLint src = 0, dst = 0;
};

// Counts how often the whole subtree is marked dirty.
class CountingSprite : public CCSprite {
public:
    static CountingSprite* spriteWithTexture(CCTexture2D* t) {
        return host::create<CountingSprite>([&](CountingSprite* s) { return s->initWithTexture(t); });
    }
    void setDirtyRecursively(bool dirty) override {
        ++recursiveMarks;
        CCSprite::setDirtyRecursively(dirty);
    }
    int recursiveMarks = 0;
};

class BatchNodeTest : public RenderFixture {
protected:
    void SetUp() override {
        RenderFixture::SetUp();
        texture_ = makeSolidTexture(16, 16, kWhite);
        batch_ = CCSpriteBatchNode::batchNodeWithTexture(texture_);
        scene_->addChild(batch_);
    }

    // A sprite whose quad carries `id` in its red channel (the texture has
    // straight alpha, so colours are written as they are).
    CCSprite* sprite(int id) {
        CCSprite* s = CCSprite::spriteWithTexture(texture_);
        s->setColor(ccc3(uint8_t(id), 0, 0));
        return s;
    }
    static int id(const CCSprite* s) { return s->color().r; }

    std::vector<int> atlasOrder() const {
        std::vector<int> ids;
        const CCTextureAtlas* atlas = batch_->textureAtlas();
        for (unsigned i = 0; i < atlas->totalQuads(); ++i) ids.push_back(atlas->quads()[i].bl.colors.r);
        return ids;
    }

    // The batch's invariants: one quad per descendant, in the same order,
    // every descendant's index its position.
    void expectConsistent() const {
        CCArray* d = batch_->descendants();
        ASSERT_EQ(batch_->textureAtlas()->totalQuads(), d->count());
        for (unsigned i = 0; i < d->count(); ++i) {
            const CCSprite* s = static_cast<CCSprite*>(d->objectAtIndex(i));
            EXPECT_EQ(s->atlasIndex(), i) << "descendant " << i;
            EXPECT_EQ(s->batchNode(), batch_);
            EXPECT_TRUE(s->usesBatchNode());
            EXPECT_EQ(batch_->textureAtlas()->quads()[i].bl.colors.r, id(s)) << "quad " << i;
        }
    }

    static void expectStandAlone(const CCSprite* s) {
        EXPECT_EQ(s->atlasIndex(), CCSpriteIndexNotInitialized);
        EXPECT_FALSE(s->usesBatchNode());
        EXPECT_EQ(s->batchNode(), nullptr);
        EXPECT_EQ(s->textureAtlas(), nullptr);
    }

    CCTexture2D* texture_ = nullptr;
    CCSpriteBatchNode* batch_ = nullptr;
};

using Ids = std::vector<int>;

void expectNear(ccVertex3F v, CGPoint p) {
    EXPECT_NEAR(v.x, p.x, 1e-3);
    EXPECT_NEAR(v.y, p.y, 1e-3);
}

// The corners of a stand-alone sprite's quad mapped through `t`.
void expectQuadIs(const ccV3F_C4B_T2F_Quad& batched, const ccV3F_C4B_T2F_Quad& local, CGAffineTransform t) {
    auto at = [&](const ccV3F_C4B_T2F& v) {
        return CGPointApplyAffineTransform(CGPointMake(v.vertices.x, v.vertices.y), t);
    };
    expectNear(batched.bl.vertices, at(local.bl));
    expectNear(batched.br.vertices, at(local.br));
    expectNear(batched.tl.vertices, at(local.tl));
    expectNear(batched.tr.vertices, at(local.tr));
}

// ---- Atlas order and indices ---------------------------------------------------

TEST_F(BatchNodeTest, SiblingsGoInZOrderWithTiesInInsertionOrder) {
    CCSprite* a = sprite(1);
    CCSprite* b = sprite(2);
    CCSprite* c = sprite(3);
    batch_->addChild(a, 0);
    expectConsistent();
    batch_->addChild(b, 0);
    expectConsistent();
    EXPECT_EQ(atlasOrder(), (Ids{1, 2}));
    batch_->addChild(c, -1);
    expectConsistent();
    EXPECT_EQ(atlasOrder(), (Ids{3, 1, 2}));
    EXPECT_EQ(c->atlasIndex(), 0u);
    EXPECT_EQ(a->atlasIndex(), 1u);
    EXPECT_EQ(b->atlasIndex(), 2u);
}

TEST_F(BatchNodeTest, ChildrenOfASpriteSurroundItByTheirZ) {
    CCSprite* p = sprite(10);
    p->addChild(sprite(11), -1);  // Q
    p->addChild(sprite(12), 1);   // R
    batch_->addChild(p);
    expectConsistent();
    EXPECT_EQ(atlasOrder(), (Ids{11, 10, 12}));

    // Children added once the parent is in the batch go straight in.
    p->addChild(sprite(13), 0);
    expectConsistent();
    EXPECT_EQ(atlasOrder(), (Ids{11, 10, 13, 12}));
    p->addChild(sprite(14), -2);
    expectConsistent();
    EXPECT_EQ(atlasOrder(), (Ids{14, 11, 10, 13, 12}));
    batch_->addChild(sprite(20), 0);
    batch_->addChild(sprite(5), -1);
    expectConsistent();
    EXPECT_EQ(atlasOrder(), (Ids{5, 14, 11, 10, 13, 12, 20}));
}

TEST_F(BatchNodeTest, GrandchildrenFollowTheirParentsSubtree) {
    CCSprite* p = sprite(1);
    CCSprite* q = sprite(2);
    q->addChild(sprite(3), -1);
    q->addChild(sprite(4), 1);
    p->addChild(q, 1);
    p->addChild(sprite(5), -1);
    batch_->addChild(p);
    batch_->addChild(sprite(6), 2);
    expectConsistent();
    EXPECT_EQ(atlasOrder(), (Ids{5, 1, 3, 2, 4, 6}));
    // And the deepest subtree after the fact.
    q->addChild(sprite(7), 2);
    expectConsistent();
    EXPECT_EQ(atlasOrder(), (Ids{5, 1, 3, 2, 4, 7, 6}));
    EXPECT_EQ(batch_->highestAtlasIndexInChild(p), 5u);
    EXPECT_EQ(batch_->lowestAtlasIndexInChild(p), 0u);
}

TEST_F(BatchNodeTest, ASubtreeEndsAtTheSpriteWhenAllItsChildrenAreBehindIt) {
    CCSprite* behind = sprite(1);
    behind->addChild(sprite(2), -1);
    CCSprite* front = sprite(3);
    front->addChild(sprite(4), 1);
    batch_->addChild(behind);
    batch_->addChild(front);
    batch_->addChild(sprite(5));
    expectConsistent();
    EXPECT_EQ(atlasOrder(), (Ids{2, 1, 3, 4, 5}));
    EXPECT_EQ(batch_->highestAtlasIndexInChild(behind), 1u);
    EXPECT_EQ(batch_->lowestAtlasIndexInChild(behind), 0u);
    EXPECT_EQ(batch_->lowestAtlasIndexInChild(front), 2u);
    EXPECT_EQ(batch_->highestAtlasIndexInChild(front), 3u);
}

TEST_F(BatchNodeTest, RemovingShiftsTheLaterIndicesAndFreesTheSprite) {
    CCSprite* a = sprite(1);
    batch_->addChild(a);
    batch_->addChild(sprite(2));
    batch_->addChild(sprite(3));
    a->retain();
    batch_->removeChild(a, true);
    expectConsistent();
    EXPECT_EQ(atlasOrder(), (Ids{2, 3}));
    expectStandAlone(a);
    EXPECT_EQ(a->parent(), nullptr);
    a->release();

    batch_->removeChildAtIndex(1, true);
    expectConsistent();
    EXPECT_EQ(atlasOrder(), (Ids{2}));
    batch_->removeChildAtIndex(5, true);  // no such child
    EXPECT_EQ(atlasOrder(), (Ids{2}));
}

TEST_F(BatchNodeTest, RemovingASpriteTakesItsWholeSubtreeOut) {
    CCSprite* p = sprite(1);
    CCSprite* q = sprite(2);
    CCSprite* r = sprite(3);
    CCSprite* g = sprite(4);
    r->addChild(g, -1);
    p->addChild(q, -1);
    p->addChild(r, 1);
    batch_->addChild(sprite(9), -1);
    batch_->addChild(p);
    batch_->addChild(sprite(8), 1);
    EXPECT_EQ(atlasOrder(), (Ids{9, 2, 1, 4, 3, 8}));

    // Through the parent sprite: just that child's subtree.
    r->retain();
    p->removeChild(r, false);
    expectConsistent();
    EXPECT_EQ(atlasOrder(), (Ids{9, 2, 1, 8}));
    expectStandAlone(r);
    expectStandAlone(g);
    r->release();

    p->retain();
    batch_->removeChild(p, true);
    expectConsistent();
    EXPECT_EQ(atlasOrder(), (Ids{9, 8}));
    expectStandAlone(p);
    expectStandAlone(q);
    EXPECT_EQ(q->parent(), p);  // the subtree itself stays together
    p->release();
}

TEST_F(BatchNodeTest, RemovingSomethingThatIsNotAChildChangesNothing) {
    CCSprite* a = sprite(1);
    CCSprite* p = sprite(2);
    CCSprite* q = sprite(3);
    p->addChild(q);
    batch_->addChild(a);
    batch_->addChild(p);
    batch_->removeChild(q, true);  // a grandchild, not a child
    batch_->removeChild(nullptr, true);
    p->removeChild(a, true);  // a sibling
    CCSprite* stranger = sprite(4);
    batch_->removeChild(stranger, true);
    expectConsistent();
    EXPECT_EQ(atlasOrder(), (Ids{1, 2, 3}));
}

TEST_F(BatchNodeTest, ReorderingMovesTheQuadsButTheSameZChangesNothing) {
    CCSprite* a = sprite(1);
    CCSprite* b = sprite(2);
    CCSprite* c = sprite(3);
    batch_->addChild(a, 0);
    batch_->addChild(b, 0);
    batch_->addChild(c, 0);
    batch_->reorderChild(a, 0);
    EXPECT_EQ(atlasOrder(), (Ids{1, 2, 3}));
    EXPECT_EQ(static_cast<CCNode*>(batch_->children()->objectAtIndex(0)), a);
    batch_->reorderChild(a, 1);
    expectConsistent();
    EXPECT_EQ(atlasOrder(), (Ids{2, 3, 1}));
    batch_->reorderChild(c, -1);
    expectConsistent();
    EXPECT_EQ(atlasOrder(), (Ids{3, 2, 1}));
    EXPECT_EQ(a->parent(), batch_);
}

TEST_F(BatchNodeTest, ReorderingAChildSpriteMovesItAroundItsParent) {
    CCSprite* p = sprite(1);
    CCSprite* q = sprite(2);
    p->addChild(q, -1);
    p->addChild(sprite(3), 1);
    batch_->addChild(p);
    EXPECT_EQ(atlasOrder(), (Ids{2, 1, 3}));
    p->reorderChild(q, 2);
    expectConsistent();
    EXPECT_EQ(atlasOrder(), (Ids{1, 3, 2}));
    p->reorderChild(q, 2);  // unchanged z
    EXPECT_EQ(atlasOrder(), (Ids{1, 3, 2}));
}

TEST_F(BatchNodeTest, RemovingAllChildrenReleasesEveryDescendant) {
    CCSprite* p = sprite(1);
    CCSprite* q = sprite(2);
    CCSprite* g = sprite(3);
    q->addChild(g);
    p->addChild(q);
    batch_->addChild(p);
    batch_->addChild(sprite(4));
    host::Ref<CCSprite> keepP(p), keepG(g);
    batch_->removeAllChildrenWithCleanup(true);
    EXPECT_EQ(batch_->textureAtlas()->totalQuads(), 0u);
    EXPECT_EQ(batch_->descendants()->count(), 0u);
    expectStandAlone(p);
    expectStandAlone(q);
    expectStandAlone(g);  // grandchildren too: none may write into the atlas
    g->setColor(ccc3(9, 9, 9));
    EXPECT_EQ(batch_->textureAtlas()->totalQuads(), 0u);

    // A sprite's own removeAll takes its children out of the atlas.
    CCSprite* r = sprite(5);
    r->addChild(sprite(6));
    r->addChild(sprite(7));
    batch_->addChild(r);
    r->removeAllChildrenWithCleanup(true);
    expectConsistent();
    EXPECT_EQ(atlasOrder(), (Ids{5}));
}

TEST_F(BatchNodeTest, TheAtlasGrowsByAThirdWhenFull) {
    EXPECT_EQ(batch_->textureAtlas()->capacity(), CCSpriteBatchNode::kDefaultCapacity);
    for (int i = 0; i < 29; ++i) batch_->addChild(sprite(i));
    EXPECT_EQ(batch_->textureAtlas()->capacity(), 29u);
    batch_->addChild(sprite(29));
    EXPECT_EQ(batch_->textureAtlas()->capacity(), 40u);
    expectConsistent();
    for (int i = 30; i < 41; ++i) batch_->addChild(sprite(i));
    EXPECT_EQ(batch_->textureAtlas()->capacity(), 54u);
    Ids expected;
    for (int i = 0; i < 41; ++i) expected.push_back(i);
    EXPECT_EQ(atlasOrder(), expected);

    CCSpriteBatchNode* tiny = CCSpriteBatchNode::batchNodeWithTexture(texture_, 0);
    tiny->addChild(sprite(1));
    EXPECT_EQ(tiny->textureAtlas()->capacity(), 1u);
    tiny->addChild(sprite(2));
    EXPECT_EQ(tiny->textureAtlas()->capacity(), 2u);
}

TEST_F(BatchNodeTest, RebuildingTheIndicesRestoresTheDrawingOrder) {
    CCSprite* p = sprite(1);
    p->addChild(sprite(2), -1);
    p->addChild(sprite(3), 1);
    batch_->addChild(sprite(4), -1);
    batch_->addChild(p);
    for (host::Object* o : *batch_->descendants()) static_cast<CCSprite*>(o)->setAtlasIndex(99);
    EXPECT_EQ(batch_->rebuildIndexInOrder(batch_, 0), 4u);
    expectConsistent();
}

TEST_F(BatchNodeTest, SpritesMadeByTheBatchAreInBatchModeWithoutASlot) {
    CCSprite* s = batch_->createSpriteWithRect(CGRectMake(0, 0, 8, 8));
    ASSERT_NE(s, nullptr);
    EXPECT_TRUE(s->usesBatchNode());
    EXPECT_EQ(s->batchNode(), batch_);
    EXPECT_EQ(s->atlasIndex(), CCSpriteIndexNotInitialized);
    EXPECT_EQ(s->parent(), nullptr);
    EXPECT_EQ(s->texture(), texture_);
    // Changes wait for a slot; nothing is written into the atlas yet.
    s->setColor(ccc3(1, 0, 0));
    s->addChild(sprite(2), 1);
    EXPECT_EQ(batch_->textureAtlas()->totalQuads(), 0u);
    EXPECT_TRUE(s->dirty());

    batch_->addChild(s);
    expectConsistent();
    EXPECT_EQ(atlasOrder(), (Ids{1, 2}));

    CCSprite* fromRect = CCSprite::spriteWithBatchNode(batch_, CGRectMake(0, 0, 4, 4));
    ASSERT_NE(fromRect, nullptr);
    EXPECT_TRUE(fromRect->usesBatchNode());
    EXPECT_EQ(fromRect->contentSize().width, 4);
}

TEST_F(BatchNodeTest, ADestroyedBatchLeavesItsSurvivingSpritesStandAlone) {
    CCSpriteBatchNode* batch = CCSpriteBatchNode::batchNodeWithTexture(texture_);
    batch->retain();
    CCSprite* p = sprite(1);
    CCSprite* q = sprite(2);
    p->addChild(q);
    batch->addChild(p);
    host::Ref<CCSprite> keep(q);
    pool_.drain();
    batch->release();  // the batch, its atlas and p go
    expectStandAlone(q);
    q->setColor(ccc3(3, 3, 3));  // must not reach the freed atlas
    q->setPosition(CGPointMake(5, 5));
    EXPECT_EQ(q->quad().bl.colors.r, 3);
}

// ---- Quads in the batch's space --------------------------------------------------

TEST_F(BatchNodeTest, ABatchedSpriteIsPlacedExactlyLikeAStandAloneOne) {
    host::Ref<CCSprite> alone = sprite(1);  // outlives the frame's autorelease pool
    CCSprite* batched = sprite(2);
    for (CCSprite* s : {alone.get(), batched}) {
        s->setPosition(CGPointMake(100, 80));
        s->setRotation(30);
        s->setScaleX(2);
        s->setScaleY(0.5f);
        s->setSkewX(20);
        s->setSkewY(10);
        s->setAnchorPoint(CGPointMake(0.25f, 0.75f));
    }
    batch_->addChild(batched);
    frame();
    const ccV3F_C4B_T2F_Quad& q = batch_->textureAtlas()->quads()[0];
    expectQuadIs(q, alone->quad(), alone->nodeToParentTransform());
    EXPECT_EQ(q.bl.colors.r, 2);
    EXPECT_FALSE(batched->dirty());
}

TEST_F(BatchNodeTest, AChildFollowsEveryPartOfItsParentsTransform) {
    CCSprite* p = sprite(1);
    CCSprite* c = sprite(2);
    p->setPosition(CGPointMake(100, 100));
    p->setRotation(90);
    p->setScale(2);
    c->setPosition(CGPointMake(10, 0));
    c->setRotation(15);
    p->addChild(c);
    batch_->addChild(p);
    frame();
    const CGAffineTransform t = CGAffineTransformConcat(c->nodeToParentTransform(), p->nodeToParentTransform());
    const ccV3F_C4B_T2F_Quad local = sprite(3)->quad();  // the same rectangle, stand-alone
    expectQuadIs(batch_->textureAtlas()->quads()[1], local, t);
}

TEST_F(BatchNodeTest, AChildThatHonoursOnlyTranslationIgnoresRotationScaleAndSkew) {
    CCSprite* p = sprite(1);
    CCSprite* c = sprite(2);
    const ccV3F_C4B_T2F_Quad local = c->quad();
    p->setPosition(CGPointMake(100, 100));
    p->setRotation(45);
    p->setScale(3);
    p->setSkewX(30);
    c->setPosition(CGPointMake(10, 5));
    c->setHonorParentTransform(CC_HONOR_PARENT_TRANSFORM_TRANSLATE);
    p->addChild(c);
    batch_->addChild(p);
    frame();
    // The parent only moves the child by its position (its anchor stays
    // the origin of its space).
    const CGPoint a = p->anchorPointInPixels();
    const CGAffineTransform t =
        CGAffineTransformConcat(c->nodeToParentTransform(), CGAffineTransformMakeTranslation(100 - a.x, 100 - a.y));
    expectQuadIs(batch_->textureAtlas()->quads()[1], local, t);

    // Moving the parent moves the child.
    p->setPosition(CGPointMake(150, 100));
    frame();
    const CGAffineTransform moved =
        CGAffineTransformConcat(c->nodeToParentTransform(), CGAffineTransformMakeTranslation(150 - a.x, 100 - a.y));
    expectQuadIs(batch_->textureAtlas()->quads()[1], local, moved);
}

TEST_F(BatchNodeTest, AChangeMarksTheSubtreeDirtyOncePerFrame) {
    CountingSprite* p = CountingSprite::spriteWithTexture(texture_);
    p->addChild(sprite(2));
    batch_->addChild(p);
    frame();
    const int before = p->recursiveMarks;
    p->setPosition(CGPointMake(10, 10));
    EXPECT_TRUE(p->dirty());
    EXPECT_EQ(p->recursiveMarks, before + 1);
    p->setPosition(CGPointMake(20, 20));
    p->setRotation(10);
    EXPECT_EQ(p->recursiveMarks, before + 1);
    frame();
    EXPECT_FALSE(p->dirty());
    p->setScale(2);
    EXPECT_EQ(p->recursiveMarks, before + 2);
    // Anchor-relative positioning is not part of the batched transform.
    frame();
    p->setIsRelativeAnchorPoint(false);
    EXPECT_FALSE(p->dirty());
}

TEST_F(BatchNodeTest, AHiddenSpriteKeepsItsSlotButCollapses) {
    CCSprite* a = sprite(1);
    CCSprite* b = sprite(2);
    CCSprite* child = sprite(3);
    a->setPosition(CGPointMake(50, 50));
    b->setPosition(CGPointMake(80, 50));
    b->addChild(child);
    batch_->addChild(a);
    batch_->addChild(b);
    frame();
    a->setVisible(false);
    b->setVisible(false);
    frame();
    expectConsistent();
    const ccV3F_C4B_T2F_Quad* quads = batch_->textureAtlas()->quads();
    for (unsigned i = 0; i < 3; ++i) {
        EXPECT_EQ(quads[i].tr.vertices.x, 0);
        EXPECT_EQ(quads[i].tr.vertices.y, 0);
        EXPECT_EQ(quads[i].bl.vertices.x, 0);
    }
    b->setVisible(true);
    frame();
    EXPECT_NE(quads[2].tr.vertices.x, 0);  // the child shows again with its parent
}

TEST_F(BatchNodeTest, ColourIsWrittenToTheAtlasAtOnceAndFramesAtTheNextDraw) {
    CCSprite* s = sprite(1);
    batch_->addChild(s);
    s->setColor(ccc3(7, 0, 0));
    EXPECT_EQ(batch_->textureAtlas()->quads()[0].bl.colors.r, 7);

    s->setDisplayFrame(CCSpriteFrame::frameWithTexture(texture_, CGRectMake(8, 0, 8, 8)));
    EXPECT_TRUE(s->dirty());
    frame();
    const ccV3F_C4B_T2F_Quad& q = batch_->textureAtlas()->quads()[0];
    EXPECT_FLOAT_EQ(q.bl.texCoords.u, 0.5f);
    EXPECT_FLOAT_EQ(q.tr.texCoords.u, 1.0f);
    EXPECT_FLOAT_EQ(q.tr.vertices.x - q.bl.vertices.x, 8);
}

// ---- Drawing ---------------------------------------------------------------------

TEST_F(BatchNodeTest, DrawsEverySpriteInAtlasOrder) {
    CCSprite* red = sprite(255);
    CCSprite* blue = CCSprite::spriteWithTexture(texture_);
    blue->setColor(ccc3(0, 0, 255));
    red->setPosition(CGPointMake(50, 50));
    blue->setPosition(CGPointMake(58, 50));
    batch_->addChild(red, 1);
    batch_->addChild(blue, -1);
    batch_->setPosition(CGPointMake(100, 100));  // the batch's own transform applies
    frame();
    EXPECT_TRUE(colorNear(pixelAt(146, 150), kRed));
    EXPECT_TRUE(colorNear(pixelAt(54 + 100, 150), kRed));  // red is in front
    EXPECT_TRUE(colorNear(pixelAt(64 + 100, 150), kBlue));
    batch_->reorderChild(blue, 2);
    frame();
    EXPECT_TRUE(colorNear(pixelAt(154, 150), kBlue));

    batch_->setVisible(false);
    frame();
    EXPECT_TRUE(colorNear(pixelAt(154, 150), kBlack));
}

TEST_F(BatchNodeTest, ARemovedSpriteDrawsOnItsOwnAgain) {
    CCSprite* s = sprite(255);
    s->setPosition(CGPointMake(40, 40));
    batch_->addChild(s);
    frame();
    EXPECT_TRUE(colorNear(pixelAt(40, 40), kRed));
    s->retain();
    batch_->removeChild(s, false);
    scene_->addChild(s);
    s->release();
    s->setPosition(CGPointMake(200, 40));
    frame();
    EXPECT_TRUE(colorNear(pixelAt(200, 40), kRed));
    EXPECT_TRUE(colorNear(pixelAt(40, 40), kBlack));
}

TEST_F(BatchNodeTest, AnEmptyBatchDrawsNothingAndLeavesTheBlendFunctionAlone) {
    BlendNode* setter = BlendNode::node();
    setter->set = true;
    BlendNode* probe = BlendNode::node();
    scene_->addChild(setter, -1);
    scene_->addChild(probe, 1);
    frame();
    EXPECT_EQ(probe->src, GLint(GL_ZERO));
    EXPECT_EQ(probe->dst, GLint(GL_ONE));
}

TEST_F(BatchNodeTest, AStraightAlphaBatchBlendsWithSourceAlphaAndRestoresTheDefault) {
    EXPECT_EQ(batch_->blendFunc().src, GLenum(GL_SRC_ALPHA));
    EXPECT_EQ(batch_->blendFunc().dst, GLenum(GL_ONE_MINUS_SRC_ALPHA));
    CCSprite* bg = CCSprite::spriteWithTexture(makeSolidTexture(16, 16, kWhite));
    bg->setPosition(CGPointMake(50, 50));
    scene_->addChild(bg, -1);
    CCSprite* s = sprite(255);
    s->setOpacity(128);
    s->setPosition(CGPointMake(50, 50));
    batch_->addChild(s);
    BlendNode* probe = BlendNode::node();
    scene_->addChild(probe, 1);
    frame();
    EXPECT_TRUE(rgbNear(pixelAt(50, 50), ccColor4B{255, 127, 127, 255}));
    EXPECT_EQ(probe->src, GLint(GL_ONE));
    EXPECT_EQ(probe->dst, GLint(GL_ONE_MINUS_SRC_ALPHA));
}

TEST_F(BatchNodeTest, APremultipliedBatchKeepsTheBlendFunctionItWasGiven) {
    CCTexture2D* t = makePremultipliedTexture(16, 16, [](unsigned, unsigned) { return kWhite; });
    CCSpriteBatchNode* b = CCSpriteBatchNode::batchNodeWithTexture(t);
    EXPECT_EQ(b->blendFunc().src, GLenum(GL_ONE));
    b->setBlendFunc(ccBlendFunc{GL_ONE, GL_ONE});
    b->setTexture(makePremultipliedTexture(16, 16, [](unsigned, unsigned) { return kRed; }));
    EXPECT_EQ(b->blendFunc().dst, GLenum(GL_ONE));
    b->setTexture(texture_);  // straight alpha forces its own factors
    EXPECT_EQ(b->blendFunc().src, GLenum(GL_SRC_ALPHA));
    EXPECT_EQ(b->texture(), texture_);
}

TEST_F(BatchNodeTest, ManySpritesBeyondOneDrawBlockAllShow) {
    // More quads than 16-bit indices reach in one call.
    const int count = int(CCTextureAtlas::kMaxQuadsPerDraw) + 600;
    CCSpriteBatchNode* big = CCSpriteBatchNode::batchNodeWithTexture(texture_, unsigned(count));
    scene_->removeChild(batch_, true);
    scene_->addChild(big);
    for (int i = 0; i < count; ++i) {
        CCSprite* s = CCSprite::spriteWithTexture(texture_, CGRectMake(0, 0, 2, 2));
        s->setAnchorPoint(CGPointZero);
        s->setPosition(CGPointMake(float((i % 160) * 2), float((i / 160) * 2)));
        big->addChild(s);
    }
    ASSERT_EQ(big->textureAtlas()->totalQuads(), unsigned(count));
    frame();
    // The last sprite: row (count - 1) / 160, column (count - 1) % 160.
    const int last = count - 1;
    EXPECT_TRUE(colorNear(pixelAt((last % 160) * 2, (last / 160) * 2), kWhite));
    EXPECT_TRUE(colorNear(pixelAt(1, 1), kWhite));
    EXPECT_TRUE(colorNear(pixelAt(319, (last / 160) * 2 + 4), kBlack));
}

TEST_F(BatchNodeTest, APlainlyInitialisedBatchHasAnEmptyAtlasWithoutATexture) {
    CCSpriteBatchNode* plain = host::create<CCSpriteBatchNode>();
    ASSERT_NE(plain, nullptr);
    ASSERT_NE(plain->textureAtlas(), nullptr);
    EXPECT_EQ(plain->texture(), nullptr);
    EXPECT_EQ(plain->textureAtlas()->capacity(), CCSpriteBatchNode::kDefaultCapacity);
    scene_->addChild(plain);
    frame();  // draws nothing, and does not fail
    plain->setTexture(texture_);
    plain->addChild(sprite(1));
    frame();
    EXPECT_EQ(plain->textureAtlas()->totalQuads(), 1u);
}

TEST_F(BatchNodeTest, AMissingImageGivesABatchWithoutATexture) {
    ScratchDirectory dir;
    LogCapture log;
    CCSpriteBatchNode* b = CCSpriteBatchNode::batchNodeWithFile(dir.file("missing.png"), 4);
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->texture(), nullptr);
    EXPECT_EQ(b->textureAtlas()->capacity(), 4u);
    EXPECT_EQ(log.lines().size(), 1u) << log.joined();
}

TEST_F(BatchNodeTest, DescriptionShowsTheTag) {
    batch_->setTag(4);
    const std::string d = batch_->description();
    EXPECT_EQ(d.rfind("<CCSpriteBatchNode = ", 0), 0u) << d;
    EXPECT_NE(d.find(" | Tag = 4>"), std::string::npos) << d;
    CCSprite* s = sprite(1);
    batch_->addChild(s);
    EXPECT_NE(s->description().find("atlasIndex = 0>"), std::string::npos);
}

}  // namespace
