// Stand-alone sprites: texture rectangles (plain, rotated, trimmed),
// flips, colour and opacity with and without premultiplied alpha, blend
// functions, display frames and the sprite's animations, checked both in
// the quad and in real pixels drawn by GL.
#include <string>

#include "ColourAssertions.h"
#include "ImageFileWriters.h"
#include "LogCapture.h"
#include "RenderFixture.h"
#include "ScratchDirectory.h"
#include "TestTextures.h"
#include "engine/CCAnimation.h"
#include "engine/CCAnimationCache.h"
#include "engine/CCSprite.h"
#include "engine/CCSpriteFrame.h"
#include "engine/CCSpriteFrameCache.h"
#include "engine/CCTextureCache.h"

namespace {

// Restores the content scale factor when a test changed it.
class ContentScale {
public:
    explicit ContentScale(float s) : saved_(__ccContentScaleFactor) { __ccContentScaleFactor = s; }
    ~ContentScale() { __ccContentScaleFactor = saved_; }

private:
    float saved_;
};

// Records the blend function in force when it is drawn.
class BlendProbe : public CCNode {
public:
    static BlendProbe* node() { return host::create<BlendProbe>(); }
    void draw() override {
        glGetIntegerv(GL_BLEND_SRC, &src);
        glGetIntegerv(GL_BLEND_DST, &dst);
    }
    GLint src = 0, dst = 0;
};

// A 32 x 32 image in four 16 x 16 quadrants (texture rows top first):
// top-left red, top-right green, bottom-left blue, bottom-right white.
ccColor4B quadrantTexel(unsigned x, unsigned y) {
    if (y < 16) return x < 16 ? kRed : kGreen;
    return x < 16 ? kBlue : kWhite;
}

void expectTexCoord(ccTex2F actual, float u, float v) {
    EXPECT_FLOAT_EQ(actual.u, u);
    EXPECT_FLOAT_EQ(actual.v, v);
}

void expectVertex(ccVertex3F actual, float x, float y) {
    EXPECT_FLOAT_EQ(actual.x, x);
    EXPECT_FLOAT_EQ(actual.y, y);
    EXPECT_FLOAT_EQ(actual.z, 0);
}

void expectCornerColours(const ccV3F_C4B_T2F_Quad& q, ccColor4B c) {
    for (const ccV3F_C4B_T2F* v : {&q.tl, &q.bl, &q.tr, &q.br}) EXPECT_TRUE(colorNear(v->colors, c, 0));
}

using SpriteTest = RenderFixture;

// ---- Creation and defaults ---------------------------------------------------

TEST_F(SpriteTest, ANewSpriteHasTheDocumentedDefaults) {
    CCSprite* s = CCSprite::node();
    EXPECT_EQ(s->texture(), nullptr);
    EXPECT_EQ(s->anchorPoint().x, 0.5f);
    EXPECT_EQ(s->anchorPoint().y, 0.5f);
    EXPECT_EQ(s->opacity(), 255);
    EXPECT_TRUE(colorNear(ccc4(s->color().r, s->color().g, s->color().b, 255), kWhite, 0));
    EXPECT_EQ(s->atlasIndex(), CCSpriteIndexNotInitialized);
    EXPECT_FALSE(s->usesBatchNode());
    EXPECT_EQ(s->honorParentTransform(), CC_HONOR_PARENT_TRANSFORM_ALL);
    // Without a texture: straight alpha, colours not premultiplied.
    EXPECT_EQ(s->blendFunc().src, GLenum(GL_SRC_ALPHA));
    EXPECT_EQ(s->blendFunc().dst, GLenum(GL_ONE_MINUS_SRC_ALPHA));
    EXPECT_FALSE(s->doesOpacityModifyRGB());
    expectCornerColours(s->quad(), kWhite);
    EXPECT_EQ(s->tag(), -1);
}

TEST_F(SpriteTest, AnImageOnALargerTextureMapsOnlyItsContent) {
    // 100 x 60 content in 128 x 64 storage.
    CCTexture2D* t = makeTexture(128, 64, CGSizeMake(100, 60), [](unsigned, unsigned) { return kWhite; });
    CCSprite* s = CCSprite::spriteWithTexture(t);
    ASSERT_NE(s, nullptr);
    const ccV3F_C4B_T2F_Quad& q = s->quad();
    expectTexCoord(q.bl.texCoords, 0, 0.9375f);
    expectTexCoord(q.br.texCoords, 0.78125f, 0.9375f);
    expectTexCoord(q.tl.texCoords, 0, 0);
    expectTexCoord(q.tr.texCoords, 0.78125f, 0);
    expectVertex(q.bl.vertices, 0, 0);
    expectVertex(q.tr.vertices, 100, 60);
    expectVertex(q.br.vertices, 100, 0);
    expectVertex(q.tl.vertices, 0, 60);
    EXPECT_EQ(s->contentSize().width, 100);
    EXPECT_EQ(s->contentSize().height, 60);
}

TEST_F(SpriteTest, FlipXSwapsTheHorizontalTextureCoordinatesOnly) {
    CCTexture2D* t = makeTexture(128, 64, CGSizeMake(100, 60), [](unsigned, unsigned) { return kWhite; });
    CCSprite* s = CCSprite::spriteWithTexture(t);
    s->setFlipX(true);
    const ccV3F_C4B_T2F_Quad& q = s->quad();
    expectTexCoord(q.bl.texCoords, 0.78125f, 0.9375f);
    expectTexCoord(q.br.texCoords, 0, 0.9375f);
    expectTexCoord(q.tl.texCoords, 0.78125f, 0);
    expectTexCoord(q.tr.texCoords, 0, 0);
    expectVertex(q.bl.vertices, 0, 0);
    expectVertex(q.tr.vertices, 100, 60);
    // Setting the same value again changes nothing.
    s->setFlipX(true);
    expectTexCoord(s->quad().bl.texCoords, 0.78125f, 0.9375f);
    s->setFlipX(false);
    expectTexCoord(s->quad().bl.texCoords, 0, 0.9375f);

    s->setFlipY(true);
    expectTexCoord(s->quad().bl.texCoords, 0, 0);
    expectTexCoord(s->quad().tl.texCoords, 0, 0.9375f);
}

TEST_F(SpriteTest, TextureRectIsInPointsAndItsPixelsFollowTheContentScale) {
    ContentScale doubled(2);
    CCTexture2D* t = makeSolidTexture(128, 128, kWhite);
    CCSprite* s = CCSprite::spriteWithTexture(t, CGRectMake(0, 0, 16, 16));
    s->setTextureRect(CGRectMake(0, 0, 32, 32));
    EXPECT_TRUE(CGRectEqualToRect(s->textureRectInPixels(), CGRectMake(0, 0, 64, 64)));
    EXPECT_TRUE(CGRectEqualToRect(s->textureRect(), CGRectMake(0, 0, 32, 32)));
    EXPECT_EQ(s->contentSize().width, 32);
    EXPECT_EQ(s->contentSizeInPixels().width, 64);
    expectTexCoord(s->quad().tr.texCoords, 0.5f, 0);
    expectVertex(s->quad().tr.vertices, 64, 64);
}

TEST_F(SpriteTest, ARotatedFrameMapsTheImageAcrossTheTurnedRegion) {
    CCTexture2D* t = makeSolidTexture(64, 64, kWhite);
    // A 20 x 10 image stored turned: it occupies 10 columns and 20 rows at (8, 4).
    CCSpriteFrame* f = CCSpriteFrame::frameWithTexture(t, CGRectMake(8, 4, 20, 10), true, CGPointZero,
                                                       CGSizeMake(20, 10));
    CCSprite* s = CCSprite::spriteWithSpriteFrame(f);
    ASSERT_NE(s, nullptr);
    EXPECT_TRUE(s->textureRectRotated());
    const float left = 8 / 64.0f, right = left + 10 / 64.0f, top = 4 / 64.0f, bottom = top + 20 / 64.0f;
    const ccV3F_C4B_T2F_Quad& q = s->quad();
    expectTexCoord(q.bl.texCoords, left, top);
    expectTexCoord(q.br.texCoords, left, bottom);
    expectTexCoord(q.tl.texCoords, right, top);
    expectTexCoord(q.tr.texCoords, right, bottom);
    expectVertex(q.tr.vertices, 20, 10);  // upright on screen

    // Flips on a turned image exchange the other texture axis.
    s->setFlipX(true);
    expectTexCoord(s->quad().bl.texCoords, left, bottom);
    expectTexCoord(s->quad().br.texCoords, left, top);
    s->setFlipX(false);
    s->setFlipY(true);
    expectTexCoord(s->quad().bl.texCoords, right, top);
    expectTexCoord(s->quad().tl.texCoords, left, top);
}

TEST_F(SpriteTest, ATrimmedFrameSitsAtItsOffsetInsideTheUntrimmedSize) {
    CCTexture2D* t = makeSolidTexture(64, 64, kWhite);
    // 20 x 10 trimmed out of a 40 x 30 image, its centre (5, -3) off the image's centre.
    CCSpriteFrame* f = CCSpriteFrame::frameWithTexture(t, CGRectMake(0, 0, 20, 10), false, CGPointMake(5, -3),
                                                       CGSizeMake(40, 30));
    CCSprite* s = CCSprite::spriteWithSpriteFrame(f);
    EXPECT_EQ(s->contentSizeInPixels().width, 40);
    EXPECT_EQ(s->contentSizeInPixels().height, 30);
    EXPECT_EQ(s->offsetPositionInPixels().x, 15);
    EXPECT_EQ(s->offsetPositionInPixels().y, 7);
    expectVertex(s->quad().bl.vertices, 15, 7);
    expectVertex(s->quad().tr.vertices, 35, 17);
    // Mirroring mirrors the trim offset too.
    s->setFlipX(true);
    expectVertex(s->quad().bl.vertices, 5, 7);
    s->setFlipY(true);
    expectVertex(s->quad().bl.vertices, 5, 13);
}

// ---- Colour, opacity and blending -------------------------------------------------

TEST_F(SpriteTest, OpacityPremultipliesTheColourButTheColourReadsBackAsSet) {
    CCSprite* s = CCSprite::spriteWithTexture(makeSolidTexture(8, 8, kWhite));
    s->setOpacityModifyRGB(true);
    s->setColor(ccc3(255, 128, 0));
    s->setOpacity(128);
    expectCornerColours(s->quad(), ccColor4B{128, 64, 0, 128});
    EXPECT_EQ(s->color().r, 255);
    EXPECT_EQ(s->color().g, 128);
    EXPECT_EQ(s->color().b, 0);
    // Turning premultiplication off restores the plain colour.
    s->setOpacityModifyRGB(false);
    expectCornerColours(s->quad(), ccColor4B{255, 128, 0, 128});
}

TEST_F(SpriteTest, AStraightAlphaTextureBlendsWithSourceAlphaAndKeepsColoursPlain) {
    CCSprite* s = CCSprite::spriteWithTexture(makeSolidTexture(8, 8, kWhite));
    EXPECT_FALSE(s->texture()->hasPremultipliedAlpha());
    EXPECT_EQ(s->blendFunc().src, GLenum(GL_SRC_ALPHA));
    EXPECT_EQ(s->blendFunc().dst, GLenum(GL_ONE_MINUS_SRC_ALPHA));
    EXPECT_FALSE(s->doesOpacityModifyRGB());
    s->setColor(ccc3(255, 128, 0));
    s->setOpacity(128);
    expectCornerColours(s->quad(), ccColor4B{255, 128, 0, 128});
}

TEST_F(SpriteTest, APremultipliedTextureBlendsWithOneAndPremultipliesColours) {
    CCTexture2D* t = makePremultipliedTexture(8, 8, [](unsigned, unsigned) { return kWhite; });
    ASSERT_NE(t, nullptr);
    ASSERT_TRUE(t->hasPremultipliedAlpha());
    CCSprite* s = CCSprite::spriteWithTexture(t);
    EXPECT_EQ(s->blendFunc().src, GLenum(GL_ONE));
    EXPECT_EQ(s->blendFunc().dst, GLenum(GL_ONE_MINUS_SRC_ALPHA));
    EXPECT_TRUE(s->doesOpacityModifyRGB());
    // A custom blend function lasts until the next texture.
    s->setBlendFunc(ccBlendFunc{GL_ONE, GL_ONE});
    EXPECT_EQ(s->blendFunc().dst, GLenum(GL_ONE));
    s->setTexture(makeSolidTexture(8, 8, kWhite));
    EXPECT_EQ(s->blendFunc().src, GLenum(GL_SRC_ALPHA));
    EXPECT_FALSE(s->doesOpacityModifyRGB());
}

TEST_F(SpriteTest, SettingTheTextureItAlreadyHasKeepsItAlive) {
    CCSprite* s = CCSprite::spriteWithTexture(makeSolidTexture(8, 8, kWhite));
    s->retain();
    pool_.drain();  // now only the sprite holds its texture
    CCTexture2D* t = s->texture();
    ASSERT_EQ(t->retainCount(), 1u);
    s->setTexture(t);
    EXPECT_EQ(s->texture(), t);
    EXPECT_EQ(t->retainCount(), 1u);
    EXPECT_EQ(t->pixelsWide(), 8u);
    s->release();
}

// ---- Pixels ------------------------------------------------------------------------

TEST_F(SpriteTest, DrawsItsTextureCentredOnItsPosition) {
    CCSprite* s = CCSprite::spriteWithTexture(makeSolidTexture(32, 32, kGreen));
    s->setPosition(CGPointMake(100, 200));
    scene_->addChild(s);
    frame();
    EXPECT_TRUE(colorNear(pixelAt(100, 200), kGreen));
    EXPECT_TRUE(colorNear(pixelAt(85, 185), kGreen));
    EXPECT_TRUE(colorNear(pixelAt(114, 215), kGreen));
    EXPECT_TRUE(colorNear(pixelAt(82, 200), kBlack));
    EXPECT_TRUE(colorNear(pixelAt(117, 200), kBlack));
    EXPECT_TRUE(colorNear(pixelAt(100, 217), kBlack));

    // Anchored at its bottom-left corner instead.
    s->setAnchorPoint(CGPointZero);
    frame();
    EXPECT_TRUE(colorNear(pixelAt(102, 202), kGreen));
    EXPECT_TRUE(colorNear(pixelAt(98, 198), kBlack));
    EXPECT_TRUE(colorNear(pixelAt(130, 230), kGreen));
}

TEST_F(SpriteTest, FlipsMirrorThePixels) {
    CCSprite* s = CCSprite::spriteWithTexture(makeTexture(32, 32, CGSizeMake(32, 32), quadrantTexel));
    s->setPosition(CGPointMake(100, 100));
    scene_->addChild(s);
    // Screen y grows upwards: the texture's top rows are at the top.
    frame();
    EXPECT_TRUE(colorNear(pixelAt(92, 108), kRed));
    EXPECT_TRUE(colorNear(pixelAt(108, 108), kGreen));
    EXPECT_TRUE(colorNear(pixelAt(92, 92), kBlue));
    EXPECT_TRUE(colorNear(pixelAt(108, 92), kWhite));

    s->setFlipX(true);
    frame();
    EXPECT_TRUE(colorNear(pixelAt(92, 108), kGreen));
    EXPECT_TRUE(colorNear(pixelAt(108, 92), kBlue));

    s->setFlipX(false);
    s->setFlipY(true);
    frame();
    EXPECT_TRUE(colorNear(pixelAt(92, 108), kBlue));
    EXPECT_TRUE(colorNear(pixelAt(108, 108), kWhite));
}

TEST_F(SpriteTest, ATextureRectShowsOnlyThatPartOfTheTexture) {
    CCTexture2D* t = makeTexture(32, 32, CGSizeMake(32, 32), quadrantTexel);
    CCSprite* s = CCSprite::spriteWithTexture(t, CGRectMake(16, 0, 16, 16));  // top-right: green
    s->setPosition(CGPointMake(50, 50));
    scene_->addChild(s);
    frame();
    EXPECT_TRUE(colorNear(pixelAt(50, 50), kGreen));
    EXPECT_TRUE(colorNear(pixelAt(43, 43), kGreen));
    EXPECT_TRUE(colorNear(pixelAt(40, 50), kBlack));

    s->setTextureRect(CGRectMake(0, 16, 16, 16));  // bottom-left: blue
    frame();
    EXPECT_TRUE(colorNear(pixelAt(50, 50), kBlue));
}

TEST_F(SpriteTest, ARotatedFrameIsDrawnUpright) {
    // The image is 32 x 16, left half red and right half green, the top
    // quarter rows of each half lighter: stored turned, texel (x, y) holds
    // image pixel (y, x) counted from the image's bottom-left.
    CCTexture2D* t = makeTexture(16, 32, CGSizeMake(16, 32), [](unsigned x, unsigned y) {
        const unsigned imageX = y, imageY = x;
        if (imageY >= 12) return imageX < 16 ? kBlue : kWhite;
        return imageX < 16 ? kRed : kGreen;
    });
    CCSpriteFrame* f =
        CCSpriteFrame::frameWithTexture(t, CGRectMake(0, 0, 32, 16), true, CGPointZero, CGSizeMake(32, 16));
    CCSprite* s = CCSprite::spriteWithSpriteFrame(f);
    s->setAnchorPoint(CGPointZero);
    s->setPosition(CGPointMake(100, 100));
    scene_->addChild(s);
    frame();
    EXPECT_TRUE(colorNear(pixelAt(104, 104), kRed));
    EXPECT_TRUE(colorNear(pixelAt(124, 104), kGreen));
    EXPECT_TRUE(colorNear(pixelAt(104, 114), kBlue));
    EXPECT_TRUE(colorNear(pixelAt(124, 114), kWhite));
    EXPECT_TRUE(colorNear(pixelAt(134, 104), kBlack));  // 32 wide, not 16
}

TEST_F(SpriteTest, ColourTintsTheTexture) {
    CCSprite* s = CCSprite::spriteWithTexture(makeSolidTexture(16, 16, kWhite));
    s->setColor(ccc3(255, 128, 0));
    s->setPosition(CGPointMake(50, 50));
    scene_->addChild(s);
    frame();
    EXPECT_TRUE(rgbNear(pixelAt(50, 50), ccColor4B{255, 128, 0, 255}));
}

// A white square behind, a red sprite at half opacity in front.
class OpacityOverBackground : public SpriteTest {
protected:
    void addBackground() {
        CCSprite* bg = CCSprite::spriteWithTexture(makeSolidTexture(16, 16, kWhite));
        bg->setScale(4);
        bg->setPosition(CGPointMake(50, 50));
        scene_->addChild(bg, -1);
    }
};

TEST_F(OpacityOverBackground, StraightAlphaHalfOpacityBlendsHalfway) {
    addBackground();
    CCSprite* s = CCSprite::spriteWithTexture(makeSolidTexture(16, 16, kRed));
    s->setOpacity(128);
    s->setPosition(CGPointMake(50, 50));
    scene_->addChild(s);
    frame();
    EXPECT_TRUE(rgbNear(pixelAt(50, 50), ccColor4B{255, 127, 127, 255}));
    EXPECT_TRUE(rgbNear(pixelAt(30, 30), kWhite));
}

TEST_F(OpacityOverBackground, PremultipliedHalfOpacityBlendsTheSameWay) {
    addBackground();
    CCSprite* s = CCSprite::spriteWithTexture(makePremultipliedTexture(16, 16, [](unsigned, unsigned) { return kRed; }));
    s->setOpacity(128);
    s->setPosition(CGPointMake(50, 50));
    scene_->addChild(s);
    frame();
    EXPECT_TRUE(rgbNear(pixelAt(50, 50), ccColor4B{255, 127, 127, 255}));
}

TEST_F(OpacityOverBackground, PremultipliedTexelsWithHalfAlphaCoverHalf) {
    addBackground();
    // Straight (0, 0, 255, 128): stored as (0, 0, 128, 128).
    CCTexture2D* t = makePremultipliedTexture(16, 16, [](unsigned, unsigned) { return ccColor4B{0, 0, 255, 128}; });
    CCSprite* s = CCSprite::spriteWithTexture(t);
    s->setPosition(CGPointMake(50, 50));
    scene_->addChild(s);
    frame();
    EXPECT_TRUE(rgbNear(pixelAt(50, 50), ccColor4B{127, 127, 255, 255}));
}

TEST_F(SpriteTest, ACustomBlendFunctionIsUsedAndTheDefaultRestoredAfterwards) {
    CCSprite* bg = CCSprite::spriteWithTexture(makeSolidTexture(16, 16, ccColor4B{0, 128, 0, 255}));
    bg->setPosition(CGPointMake(50, 50));
    scene_->addChild(bg, -1);
    CCSprite* s = CCSprite::spriteWithTexture(makeSolidTexture(16, 16, ccColor4B{255, 0, 0, 255}));
    s->setBlendFunc(ccBlendFunc{GL_ONE, GL_ONE});  // additive
    s->setPosition(CGPointMake(50, 50));
    scene_->addChild(s, 0);
    BlendProbe* probe = BlendProbe::node();
    scene_->addChild(probe, 1);
    frame();
    EXPECT_TRUE(rgbNear(pixelAt(50, 50), ccColor4B{255, 128, 0, 255}));
    EXPECT_EQ(probe->src, GLint(GL_ONE));
    EXPECT_EQ(probe->dst, GLint(GL_ONE_MINUS_SRC_ALPHA));
}

TEST_F(SpriteTest, ZOrderDecidesWhichSpriteIsOnTop) {
    CCSprite* red = CCSprite::spriteWithTexture(makeSolidTexture(16, 16, kRed));
    CCSprite* blue = CCSprite::spriteWithTexture(makeSolidTexture(16, 16, kBlue));
    red->setPosition(CGPointMake(50, 50));
    blue->setPosition(CGPointMake(58, 50));
    scene_->addChild(red, 2);
    scene_->addChild(blue, 1);
    frame();
    EXPECT_TRUE(colorNear(pixelAt(54, 50), kRed));
    scene_->reorderChild(blue, 3);
    frame();
    EXPECT_TRUE(colorNear(pixelAt(54, 50), kBlue));
}

// ---- Display frames and animations --------------------------------------------------

TEST_F(SpriteTest, ADisplayFrameSwitchesTextureAndRectangle) {
    CCTexture2D* first = makeSolidTexture(32, 32, kRed);
    CCTexture2D* second = makeTexture(32, 32, CGSizeMake(32, 32), quadrantTexel);
    CCSprite* s = CCSprite::spriteWithTexture(first);
    CCSpriteFrame* f = CCSpriteFrame::frameWithTexture(second, CGRectMake(16, 16, 16, 16));
    EXPECT_FALSE(s->isFrameDisplayed(f));
    s->setDisplayFrame(f);
    EXPECT_EQ(s->texture(), second);
    EXPECT_TRUE(s->isFrameDisplayed(f));
    EXPECT_TRUE(CGRectEqualToRect(s->textureRect(), CGRectMake(16, 16, 16, 16)));

    CCSpriteFrame* shown = s->displayedFrame();
    EXPECT_EQ(shown->texture(), second);
    EXPECT_TRUE(CGRectEqualToRect(shown->rectInPixels(), CGRectMake(16, 16, 16, 16)));
    EXPECT_EQ(shown->originalSizeInPixels().width, 16);
    EXPECT_TRUE(s->isFrameDisplayed(shown));
    s->setDisplayFrame(nullptr);  // ignored
    EXPECT_TRUE(s->isFrameDisplayed(f));

    s->setPosition(CGPointMake(50, 50));
    scene_->addChild(s);
    frame();
    EXPECT_TRUE(colorNear(pixelAt(50, 50), kWhite));  // the bottom-right quadrant
}

TEST_F(SpriteTest, TheSpritesOwnAnimationsSelectFramesByIndex) {
    CCTexture2D* t = makeTexture(32, 32, CGSizeMake(32, 32), quadrantTexel);
    CCAnimation* walk = CCAnimation::animationWithName("walk", 0.1f);
    walk->addFrameWithTexture(t, CGRectMake(0, 0, 16, 16));
    walk->addFrameWithTexture(t, CGRectMake(16, 0, 16, 16));
    CCSprite* s = CCSprite::spriteWithTexture(t);
    EXPECT_EQ(s->animationByName("walk"), nullptr);
    s->addAnimation(walk);
    EXPECT_EQ(s->animationByName("walk"), walk);
    EXPECT_EQ(s->animationByName("run"), nullptr);

    s->setDisplayFrame("walk", 1);
    EXPECT_TRUE(CGRectEqualToRect(s->textureRect(), CGRectMake(16, 0, 16, 16)));

    ScratchDirectory dir;
    LogCapture log;
    s->setDisplayFrame("walk", 2);  // no such frame
    s->setDisplayFrame("run", 0);   // no such animation
    EXPECT_TRUE(CGRectEqualToRect(s->textureRect(), CGRectMake(16, 0, 16, 16)));
    EXPECT_EQ(log.lines().size(), 2u) << log.joined();

    // A new animation of the same name replaces the old.
    CCAnimation* other = CCAnimation::animationWithName("walk", 0.2f);
    s->addAnimation(other);
    EXPECT_EQ(s->animationByName("walk"), other);
}

TEST_F(SpriteTest, FramesOfCachedAnimationsAreShownByName) {
    CCTexture2D* t = makeTexture(32, 32, CGSizeMake(32, 32), quadrantTexel);
    CCAnimation* a = CCAnimation::animationWithName("blink", 0.1f);
    a->addFrameWithTexture(t, CGRectMake(0, 16, 16, 16));
    CCAnimationCache::sharedAnimationCache()->addAnimation(a, "blink");
    CCSprite* s = CCSprite::spriteWithTexture(t);
    s->setDisplayFrameWithAnimationName("blink", 0);
    EXPECT_TRUE(CGRectEqualToRect(s->textureRect(), CGRectMake(0, 16, 16, 16)));
    s->setDisplayFrameWithAnimationName("nothing", 0);  // logged, unchanged
    EXPECT_TRUE(CGRectEqualToRect(s->textureRect(), CGRectMake(0, 16, 16, 16)));
    CCAnimationCache::purgeSharedAnimationCache();
}

TEST_F(SpriteTest, SpritesFromFrameNamesComeFromTheFrameCache) {
    CCTexture2D* t = makeTexture(32, 32, CGSizeMake(32, 32), quadrantTexel);
    CCSpriteFrameCache::sharedSpriteFrameCache()->addSpriteFrame(
        CCSpriteFrame::frameWithTexture(t, CGRectMake(16, 0, 16, 16)), "green.png");
    CCSprite* s = CCSprite::spriteWithSpriteFrameName("green.png");
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->texture(), t);
    EXPECT_TRUE(CGRectEqualToRect(s->textureRect(), CGRectMake(16, 0, 16, 16)));

    ScratchDirectory dir;
    LogCapture log;
    EXPECT_EQ(CCSprite::spriteWithSpriteFrameName("missing.png"), nullptr);
    EXPECT_EQ(CCSprite::spriteWithSpriteFrame(nullptr), nullptr);
    EXPECT_EQ(log.lines().size(), 2u) << log.joined();
    CCSpriteFrameCache::purgeSharedSpriteFrameCache();
}

// ---- Files ----------------------------------------------------------------------------

TEST_F(SpriteTest, SpritesFromImageFilesUseTheWholeImageOrARectangle) {
    ScratchDirectory dir;
    const std::string png = writePngFile(dir, "quadrants.png", 32, 32, quadrantTexel);
    ASSERT_FALSE(png.empty());
    CCSprite* whole = CCSprite::spriteWithFile(png);
    ASSERT_NE(whole, nullptr);
    EXPECT_EQ(whole->contentSize().width, 32);
    EXPECT_TRUE(whole->texture()->hasPremultipliedAlpha());
    EXPECT_TRUE(whole->doesOpacityModifyRGB());
    CCSprite* part = CCSprite::spriteWithFile(png, CGRectMake(0, 16, 16, 16));
    ASSERT_NE(part, nullptr);
    EXPECT_EQ(part->texture(), whole->texture());  // one cached texture
    part->setPosition(CGPointMake(40, 40));
    scene_->addChild(part);
    frame();
    EXPECT_TRUE(colorNear(pixelAt(40, 40), kBlue, 4));
    CCTextureCache::sharedTextureCache()->removeAllTextures();
}

TEST_F(SpriteTest, AMissingOrBrokenImageFileGivesNoSprite) {
    ScratchDirectory dir;
    LogCapture log;
    EXPECT_EQ(CCSprite::spriteWithFile(dir.file("nothing-here.png")), nullptr);
    const std::string broken = dir.write("broken.png", "\x89PNG\r\n\x1a\n not really");
    EXPECT_EQ(CCSprite::spriteWithFile(broken, CGRectMake(0, 0, 4, 4)), nullptr);
    EXPECT_GE(log.lines().size(), 2u);
}

TEST_F(SpriteTest, DescriptionShowsRectTagAndAtlasIndex) {
    CCSprite* s = CCSprite::spriteWithTexture(makeSolidTexture(32, 32, kWhite), CGRectMake(1, 2, 3, 4));
    s->setTag(7);
    const std::string d = s->description();
    EXPECT_EQ(d.rfind("<CCSprite = ", 0), 0u) << d;
    EXPECT_NE(d.find(" | Rect = (1.00,2.00,3.00,4.00) | tag = 7 | atlasIndex = -1>"), std::string::npos) << d;
}

}  // namespace
