// The point and quad renderers on the real GL ES 1.1 stack: the records
// they write, what they draw, the GL state they leave, and texture and
// blend handling.
#include <cmath>
#include <vector>

#include "ParticleTestSupport.h"
#include "RenderFixture.h"
#include "TestTextures.h"
#include "engine/CCParticleSystemPoint.h"
#include "engine/CCParticleSystemQuad.h"
#include "engine/CCSpriteFrame.h"
#include "host/graphics/Image.h"

namespace {

// A still emitter at `where` (points) whose particles all sit on the
// emitter with one colour and size; the scheduler leaves it alone so the
// test decides when it updates.
template <class Emitter> void makeStill(Emitter* e, CGPoint where, ccColor4F colour, float size) {
    e->unscheduleUpdate();
    e->setPosition(where);
    e->setPositionType(kCCPositionTypeGrouped);
    e->setDuration(kCCParticleDurationInfinity);
    e->setLife(100);
    e->setEmissionRate(1e6f);
    e->setStartColor(colour);
    e->setEndColor(colour);
    e->setStartSize(size);
    e->setEndSize(kCCParticleStartSizeEqualToEndSize);
}

// The engine's default drawing state, as the director sets it for a visit.
void enterDefaultDrawState() {
    glEnable(GL_TEXTURE_2D);
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_COLOR_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glBlendFunc(CC_BLEND_SRC, CC_BLEND_DST);
}

void expectDefaultDrawState() {
    EXPECT_FALSE(glIsEnabled(GL_POINT_SPRITE_OES));
    EXPECT_FALSE(glIsEnabled(GL_POINT_SIZE_ARRAY_OES));
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_COORD_ARRAY));
    EXPECT_TRUE(glIsEnabled(GL_VERTEX_ARRAY));
    EXPECT_TRUE(glIsEnabled(GL_COLOR_ARRAY));
    GLint src = 0, dst = 0;
    glGetIntegerv(GL_BLEND_SRC, &src);
    glGetIntegerv(GL_BLEND_DST, &dst);
    EXPECT_EQ(src, GL_ONE);
    EXPECT_EQ(dst, GL_ONE_MINUS_SRC_ALPHA);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

CCParticleSystemPoint* pointEmitter(unsigned n, bool pointSprites) {
    return host::create<CCParticleSystemPoint>(
        [&](CCParticleSystemPoint* p) { return p->initWithTotalParticles(n, pointSprites); });
}

// An RGBA texture made through the image path: premultiplied alpha.
CCTexture2D* premultipliedTexture() {
    std::vector<uint8_t> pixels(8 * 8 * 4, 200);
    host::Image* image = host::Image::imageWithPixels(pixels.data(), 8, 8, 4);
    return host::create<CCTexture2D>([&](CCTexture2D* t) { return t->initWithImage(image); });
}

class ParticleRendererTest : public RenderFixture {};

// ---- Point renderer -----------------------------------------------------

TEST_F(ParticleRendererTest, PointRecordsHoldPositionSizeAndTruncatedColour) {
    if (!CCParticleSystemPoint::contextSupportsPointSprites()) GTEST_SKIP() << "no point sprites here";
    CCParticleSystemPoint* e = pointEmitter(3, true);
    makeStill(e, CGPointMake(100, 100), ccColor4F{1, 0.5f, 0, 1}, 20);
    e->setSourcePosition(CGPointMake(4, -2));
    e->setTotalParticles(1);
    e->update(0.01f);
    ASSERT_EQ(e->particleIdx(), 1u);
    const ccPointSprite& v = e->vertices()[0];
    EXPECT_FLOAT_EQ(v.pos.x, 4);
    EXPECT_FLOAT_EQ(v.pos.y, -2);
    EXPECT_FLOAT_EQ(v.size, 20);
    EXPECT_EQ(v.colors.r, 255);
    EXPECT_EQ(v.colors.g, 127);
    EXPECT_EQ(v.colors.b, 0);
    EXPECT_EQ(v.colors.a, 255);
}

TEST_F(ParticleRendererTest, PointSpritesDrawTexturedPointsOfTheParticleSize) {
    if (!CCParticleSystemPoint::contextSupportsPointSprites()) GTEST_SKIP() << "no point sprites here";
    CCParticleSystemPoint* e = pointEmitter(1, true);
    makeStill(e, CGPointMake(100, 100), ccColor4F{1, 0, 0, 1}, 20);
    e->setTexture(makeSolidTexture(16, 16, kWhite));
    scene_->addChild(e);
    e->update(0.01f);
    frame();
    EXPECT_TRUE(rgbNear(pixelAt(100, 100), ccc3(255, 0, 0)));
    EXPECT_TRUE(rgbNear(pixelAt(92, 108), ccc3(255, 0, 0)));
    EXPECT_TRUE(rgbNear(pixelAt(112, 100), ccc3(0, 0, 0))) << "a 20-pixel point ends 10 pixels out";
    EXPECT_TRUE(rgbNear(pixelAt(100, 88), ccc3(0, 0, 0)));
}

TEST_F(ParticleRendererTest, PointSpritesSampleTheTextureAcrossThePoint) {
    if (!CCParticleSystemPoint::contextSupportsPointSprites()) GTEST_SKIP() << "no point sprites here";
    CCParticleSystemPoint* e = pointEmitter(1, true);
    makeStill(e, CGPointMake(160, 240), ccColor4F{1, 1, 1, 1}, 40);
    e->setTexture(makeTwoColourTexture(16, 16, kRed, kGreen));
    scene_->addChild(e);
    e->update(0.01f);
    frame();
    EXPECT_TRUE(rgbNear(pixelAt(150, 240), ccc3(255, 0, 0)));
    EXPECT_TRUE(rgbNear(pixelAt(170, 240), ccc3(0, 255, 0)));
}

TEST_F(ParticleRendererTest, PointDrawRestoresTheEngineState) {
    if (!CCParticleSystemPoint::contextSupportsPointSprites()) GTEST_SKIP() << "no point sprites here";
    CCParticleSystemPoint* e = pointEmitter(4, true);
    makeStill(e, CGPointMake(50, 50), ccColor4F{1, 1, 1, 1}, 8);
    e->setTexture(makeSolidTexture(8, 8, kWhite));  // not premultiplied: a blend of its own
    EXPECT_FALSE(ccBlendFuncIsDefault(e->blendFunc()));
    e->update(0.01f);
    enterDefaultDrawState();
    e->draw();
    expectDefaultDrawState();
}

TEST_F(ParticleRendererTest, AnEmptyPointEmitterMakesNoGLCalls) {
    CCParticleSystemPoint* e = pointEmitter(4, CCParticleSystemPoint::contextSupportsPointSprites());
    makeStill(e, CGPointMake(50, 50), ccColor4F{1, 1, 1, 1}, 8);
    e->setEmissionRate(0);
    e->setTexture(makeSolidTexture(8, 8, kWhite));
    e->update(0.01f);
    ASSERT_EQ(e->particleIdx(), 0u);

    CCTexture2D* other = makeSolidTexture(8, 8, kBlue);
    static const float sentinel[4] = {};
    enterDefaultDrawState();
    glBindTexture(GL_TEXTURE_2D, other->name());
    glVertexPointer(2, GL_FLOAT, 0, sentinel);
    e->draw();
    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(GLuint(bound), other->name());
    void* pointer = nullptr;
    glGetPointerv(GL_VERTEX_ARRAY_POINTER, &pointer);
    EXPECT_EQ(pointer, static_cast<const void*>(sentinel));
    expectDefaultDrawState();
}

TEST_F(ParticleRendererTest, WithoutPointSpritesPointEmittersDrawUprightQuads) {
    CCParticleSystemPoint* e = pointEmitter(1, false);
    EXPECT_FALSE(e->drawsPointSprites());
    EXPECT_EQ(e->vertices(), nullptr);
    makeStill(e, CGPointMake(160, 240), ccColor4F{1, 1, 1, 1}, 40);
    e->setStartSpin(45);
    e->setEndSpin(45);  // points cannot turn; the quads standing in do not either
    e->setTexture(makeTwoColourTexture(16, 16, kRed, kGreen));
    scene_->addChild(e);
    e->update(0.01f);
    const ccV2F_C4B_T2F_Quad& q = e->quads()[0];
    EXPECT_FLOAT_EQ(q.bl.vertices.x, -20);
    EXPECT_FLOAT_EQ(q.bl.vertices.y, -20);
    EXPECT_FLOAT_EQ(q.tr.vertices.x, 20);
    EXPECT_FLOAT_EQ(q.tr.vertices.y, 20);
    frame();
    EXPECT_TRUE(rgbNear(pixelAt(150, 240), ccc3(255, 0, 0)));
    EXPECT_TRUE(rgbNear(pixelAt(170, 240), ccc3(0, 255, 0)));
    EXPECT_TRUE(rgbNear(pixelAt(178, 258), ccc3(0, 255, 0))) << "an upright square reaches its corners";
    EXPECT_TRUE(rgbNear(pixelAt(160, 265), ccc3(0, 0, 0)));

    enterDefaultDrawState();
    e->draw();
    expectDefaultDrawState();
}

TEST_F(ParticleRendererTest, TheDrawingMethodFollowsTheContext) {
    LogCapture log;
    CCParticleSystemPoint* e = CCParticleSystemPoint::particleWithTotalParticles(10);
    ASSERT_NE(e, nullptr);
    const bool supported = CCParticleSystemPoint::contextSupportsPointSprites();
    EXPECT_EQ(e->drawsPointSprites(), supported);
    EXPECT_EQ(log.lines().size(), supported ? 0u : 1u) << "a missing extension is said once per emitter";
}

// ---- Quad renderer --------------------------------------------------------

CCParticleSystemQuad* quadEmitter(unsigned n) { return CCParticleSystemQuad::particleWithTotalParticles(n); }

TEST_F(ParticleRendererTest, QuadCornersFollowSizeAndRotation) {
    CCParticleSystemQuad* e = quadEmitter(2);
    makeStill(e, CGPointZero, ccColor4F{1, 0.5f, 0, 1}, 10);
    e->setSourcePosition(CGPointMake(100, 100));
    e->setTotalParticles(1);
    e->update(0.01f);
    const ccV2F_C4B_T2F_Quad& q = e->quads()[0];
    auto expectCorner = [](const ccV2F_C4B_T2F& v, float x, float y) {
        EXPECT_NEAR(v.vertices.x, x, 1e-4);
        EXPECT_NEAR(v.vertices.y, y, 1e-4);
    };
    expectCorner(q.bl, 95, 95);
    expectCorner(q.br, 105, 95);
    expectCorner(q.tl, 95, 105);
    expectCorner(q.tr, 105, 105);
    for (const ccV2F_C4B_T2F* v : {&q.bl, &q.br, &q.tl, &q.tr}) {
        EXPECT_EQ(v->colors.r, 255);
        EXPECT_EQ(v->colors.g, 127);
        EXPECT_EQ(v->colors.b, 0);
        EXPECT_EQ(v->colors.a, 255);
    }

    // A quarter turn clockwise: each corner moves to the next one round.
    e->setStartSpin(90);
    e->setEndSpin(90);
    e->setTotalParticles(2);
    e->update(0.01f);
    ASSERT_EQ(e->particleIdx(), 2u);
    const ccV2F_C4B_T2F_Quad& turned = e->quads()[1];
    expectCorner(turned.bl, 95, 105);
    expectCorner(turned.tl, 105, 105);
    expectCorner(turned.tr, 105, 95);
    expectCorner(turned.br, 95, 95);
}

TEST_F(ParticleRendererTest, QuadIndicesMakeTwoTrianglesPerParticle) {
    CCParticleSystemQuad* e = quadEmitter(3);
    const std::vector<uint16_t> expected = {0, 1, 2, 3, 2, 1, 4, 5, 6, 7, 6, 5, 8, 9, 10, 11, 10, 9};
    EXPECT_EQ(std::vector<uint16_t>(e->indices(), e->indices() + 18), expected);
    for (unsigned i = 0; i < 3; ++i) EXPECT_EQ(e->quads()[i].tr.vertices.x, 0) << "quads start zeroed";
}

TEST_F(ParticleRendererTest, QuadTextureCoordinatesCoverTheChosenRectangle) {
    CCParticleSystemQuad* e = quadEmitter(2);
    CCTexture2D* texture = makeTexture(64, 32, CGSizeMake(48, 32), [](unsigned, unsigned) { return kWhite; });
    e->setTexture(texture);  // the content, 48 of 64 texels across
    for (unsigned i = 0; i < 2; ++i) {
        const ccV2F_C4B_T2F_Quad& q = e->quads()[i];
        EXPECT_FLOAT_EQ(q.bl.texCoords.u, 0);
        EXPECT_FLOAT_EQ(q.bl.texCoords.v, 1);
        EXPECT_FLOAT_EQ(q.tr.texCoords.u, 0.75f);
        EXPECT_FLOAT_EQ(q.tr.texCoords.v, 0);
    }
    const ccBlendFunc custom{GL_ONE, GL_ONE};
    e->setBlendFunc(custom);
    e->setTexture(texture, CGRectMake(16, 8, 16, 8));
    const ccV2F_C4B_T2F_Quad& q = e->quads()[1];
    EXPECT_FLOAT_EQ(q.tl.texCoords.u, 0.25f);
    EXPECT_FLOAT_EQ(q.tl.texCoords.v, 0.25f);
    EXPECT_FLOAT_EQ(q.br.texCoords.u, 0.5f);
    EXPECT_FLOAT_EQ(q.br.texCoords.v, 0.5f);
    EXPECT_EQ(e->blendFunc().src, custom.src) << "the same texture again leaves the blend alone";
    EXPECT_EQ(e->blendFunc().dst, custom.dst);
}

TEST_F(ParticleRendererTest, QuadTextureCoordinatesUseThePixelRectangleOnDoubleResolution) {
    CCParticleSystemQuad* e = quadEmitter(1);
    CCTexture2D* texture = makeSolidTexture(64, 64, kWhite);
    const float saved = __ccContentScaleFactor;
    __ccContentScaleFactor = 2;
    e->setTexture(texture, CGRectMake(8, 0, 8, 16));  // points: pixels (16, 0, 16, 32)
    __ccContentScaleFactor = saved;
    EXPECT_FLOAT_EQ(e->quads()[0].bl.texCoords.u, 0.25f);
    EXPECT_FLOAT_EQ(e->quads()[0].bl.texCoords.v, 0.5f);
    EXPECT_FLOAT_EQ(e->quads()[0].tr.texCoords.u, 0.5f);
}

TEST_F(ParticleRendererTest, QuadsDrawTurnedTexturedSquares) {
    CCParticleSystemQuad* e = quadEmitter(1);
    makeStill(e, CGPointMake(160, 240), ccColor4F{1, 1, 1, 1}, 40);
    e->setTexture(makeTwoColourTexture(16, 16, kRed, kGreen));
    scene_->addChild(e);
    e->update(0.01f);
    frame();
    EXPECT_TRUE(rgbNear(pixelAt(150, 240), ccc3(255, 0, 0)));
    EXPECT_TRUE(rgbNear(pixelAt(170, 240), ccc3(0, 255, 0)));

    // Turned a quarter clockwise the image's left half is on top.
    e->resetSystem();
    e->setStartSpin(90);
    e->setEndSpin(90);
    e->update(0.01f);
    e->update(0.01f);
    ASSERT_EQ(e->particleIdx(), 1u);
    frame();
    EXPECT_TRUE(rgbNear(pixelAt(160, 250), ccc3(255, 0, 0)));
    EXPECT_TRUE(rgbNear(pixelAt(160, 230), ccc3(0, 255, 0)));
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST_F(ParticleRendererTest, AnEmptyQuadEmitterDrawsNothing) {
    CCParticleSystemQuad* e = quadEmitter(4);
    makeStill(e, CGPointMake(160, 240), ccColor4F{1, 1, 1, 1}, 40);
    e->setEmissionRate(0);
    scene_->addChild(e);
    e->update(0.01f);
    frame();
    EXPECT_TRUE(rgbNear(pixelAt(160, 240), ccc3(0, 0, 0)));
    enterDefaultDrawState();
    e->draw();
    expectDefaultDrawState();
}

TEST_F(ParticleRendererTest, PoolsBeyondSixteenBitIndicesDrawEveryBlock) {
    const unsigned n = CCParticleQuadArrays::kMaxQuadsPerDraw + 1;
    CCParticleSystemQuad* e = quadEmitter(n);
    ASSERT_NE(e, nullptr);
    makeStill(e, CGPointMake(0, 0), ccColor4F{1, 1, 1, 1}, 6);
    e->setTexture(makeSolidTexture(8, 8, kWhite));
    scene_->addChild(e);
    // The first block's particles at (50, 50), the last particle alone at
    // (150, 150).
    e->setSourcePosition(CGPointMake(50, 50));
    e->setTotalParticles(n - 1);
    e->update(0.01f);
    e->setSourcePosition(CGPointMake(150, 150));
    e->setTotalParticles(n);
    e->update(0.01f);
    ASSERT_EQ(e->particleIdx(), n);
    frame();
    EXPECT_TRUE(rgbNear(pixelAt(50, 50), ccc3(255, 255, 255)));
    EXPECT_TRUE(rgbNear(pixelAt(150, 150), ccc3(255, 255, 255))) << "the quad past the 16-bit range";
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST_F(ParticleRendererTest, QuadEmittersSwitchToADisplayFramesTexture) {
    CCParticleSystemQuad* e = quadEmitter(1);
    CCTexture2D* texture = makeSolidTexture(32, 32, kWhite);
    CCSpriteFrame* frame = CCSpriteFrame::frameWithTexture(texture, CGRectMake(8, 8, 8, 8));
    e->setDisplayFrame(frame);
    EXPECT_EQ(e->texture(), texture);
    EXPECT_FLOAT_EQ(e->quads()[0].tr.texCoords.u, 1) << "the whole texture, not the frame's rectangle";
}

// ---- Texture and blending rules ----------------------------------------

TEST_F(ParticleRendererTest, TheBlendFunctionFollowsTheTexturesAlpha) {
    CCParticleSystemQuad* e = quadEmitter(1);
    CCTexture2D* straight = makeSolidTexture(8, 8, kWhite);
    CCTexture2D* premultiplied = premultipliedTexture();
    ASSERT_FALSE(straight->hasPremultipliedAlpha());
    ASSERT_TRUE(premultiplied->hasPremultipliedAlpha());

    e->setBlendAdditive(false);
    EXPECT_TRUE(ccBlendFuncIsDefault(e->blendFunc())) << "no texture: the default";
    e->setTexture(premultiplied);
    EXPECT_TRUE(ccBlendFuncIsDefault(e->blendFunc()));
    e->setTexture(straight);
    EXPECT_EQ(e->blendFunc().src, GLenum(GL_SRC_ALPHA));
    EXPECT_EQ(e->blendFunc().dst, GLenum(GL_ONE_MINUS_SRC_ALPHA));
    EXPECT_FALSE(e->blendAdditive());

    e->setBlendAdditive(true);
    EXPECT_EQ(e->blendFunc().src, GLenum(GL_SRC_ALPHA));
    EXPECT_EQ(e->blendFunc().dst, GLenum(GL_ONE));
    EXPECT_TRUE(e->blendAdditive());
    e->setTexture(premultiplied);
    EXPECT_TRUE(e->blendAdditive()) << "a chosen blend survives a texture change";
    e->setBlendAdditive(false);
    EXPECT_TRUE(ccBlendFuncIsDefault(e->blendFunc()));
}

TEST_F(ParticleRendererTest, TheEmitterRetainsItsTexture) {
    CCTexture2D* texture = makeSolidTexture(8, 8, kWhite);
    texture->retain();
    const unsigned before = texture->retainCount();
    CCParticleSystemQuad* e = host::createOwned<CCParticleSystemQuad>(
        [](CCParticleSystemQuad* p) { return p->initWithTotalParticles(3); });
    e->setTexture(texture);
    EXPECT_EQ(texture->retainCount(), before + 1);
    discard(e);
    EXPECT_EQ(texture->retainCount(), before);
    texture->release();
}

TEST_F(ParticleRendererTest, AdditiveParticlesAddUp) {
    CCParticleSystemQuad* red = quadEmitter(1);
    CCParticleSystemQuad* green = quadEmitter(1);
    for (CCParticleSystemQuad* e : {red, green}) {
        makeStill(e, CGPointMake(100, 100), ccColor4F{1, 1, 1, 1}, 20);
        e->setTexture(makeSolidTexture(8, 8, kWhite));
        e->setBlendAdditive(true);
        scene_->addChild(e);
    }
    red->setStartColor({1, 0, 0, 1}), red->setEndColor({1, 0, 0, 1});
    green->setStartColor({0, 1, 0, 1}), green->setEndColor({0, 1, 0, 1});
    red->update(0.01f);
    green->update(0.01f);
    frame();
    EXPECT_TRUE(rgbNear(pixelAt(100, 100), ccc3(255, 255, 0)));
}

}  // namespace
