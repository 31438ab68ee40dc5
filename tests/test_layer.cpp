#include <gtest/gtest.h>

#include "RenderFixture.h"
#include "engine/CCLayer.h"
#include "engine/platform/CCTouchDispatcher.h"

namespace {

size_t standardRegistrations(host::Object* delegate) {
    size_t n = 0;
    for (const auto& h : CCTouchDispatcher::sharedDispatcher()->standardHandlers())
        if (h->delegate() == delegate) ++n;
    return n;
}

GLint currentBlend(GLenum which) {
    GLint v = 0;
    glGetIntegerv(which, &v);
    return v;
}

// Samples the blend state while the layer draws.
class BlendProbeLayer : public CCLayerColor {
public:
    void draw() override {
        CCLayerColor::draw();
        afterSrc = currentBlend(GL_BLEND_SRC);
        afterDst = currentBlend(GL_BLEND_DST);
    }
    GLint afterSrc = 0, afterDst = 0;
};

class AccelerometerLayer : public CCLayer {
public:
    void accelerometer(host::Accelerometer*, host::Acceleration* a) override { lastY = a->y; }
    double lastY = 0;
};

}  // namespace

using LayerRendering = RenderFixture;

TEST_F(LayerRendering, OpaqueColourFillsItsRectangleOnly) {
    scene_->addChild(CCLayerColor::layerWithColor(ccc4(255, 0, 0, 255), 100, 50));
    frame();
    EXPECT_TRUE(colorNear(pixelAt(1, 1), ccc4(255, 0, 0, 255)));
    EXPECT_TRUE(colorNear(pixelAt(98, 48), ccc4(255, 0, 0, 255)));
    EXPECT_TRUE(colorNear(pixelAt(101, 10), ccc4(0, 0, 0, 255)));
    EXPECT_TRUE(colorNear(pixelAt(10, 51), ccc4(0, 0, 0, 255)));
}

TEST_F(LayerRendering, TranslucentLayerBlendsWithSourceAlphaAndRestoresTheDefault) {
    scene_->addChild(CCLayerColor::layerWithColor(ccc4(0, 0, 255, 255)));
    auto* probe = host::create<BlendProbeLayer>([](BlendProbeLayer* l) {
        return l->initWithColor(ccc4(255, 0, 0, 128), 100, 100);
    });
    scene_->addChild(probe);
    frame();
    // Half red over blue: not premultiplied, so source alpha weighs it.
    EXPECT_TRUE(rgbNear(pixelAt(50, 50), ccc3(128, 0, 127), 3));
    EXPECT_TRUE(colorNear(pixelAt(200, 200), ccc4(0, 0, 255, 255)));
    EXPECT_EQ(probe->afterSrc, GL_ONE);
    EXPECT_EQ(probe->afterDst, GL_ONE_MINUS_SRC_ALPHA);
}

TEST_F(LayerRendering, CustomBlendFunctionIsUsedThenRestored) {
    scene_->addChild(CCLayerColor::layerWithColor(ccc4(0, 100, 0, 255)));
    auto* probe = host::create<BlendProbeLayer>([](BlendProbeLayer* l) {
        return l->initWithColor(ccc4(100, 0, 0, 255), 50, 50);
    });
    probe->setBlendFunc(ccBlendFunc{GL_ONE, GL_ONE});  // additive
    scene_->addChild(probe);
    frame();
    EXPECT_TRUE(colorNear(pixelAt(10, 10), ccc4(100, 100, 0, 255)));
    EXPECT_EQ(probe->afterSrc, GL_ONE);
    EXPECT_EQ(probe->afterDst, GL_ONE_MINUS_SRC_ALPHA);
}

TEST_F(LayerRendering, VerticalGradientRunsFromStartAtTheTopToEndAtTheBottom) {
    auto* g = CCLayerGradient::layerWithColor(ccc4(255, 0, 0, 255), ccc4(0, 0, 255, 255));
    const ccColor4B* c = g->squareColors();
    EXPECT_TRUE(colorNear(c[0], ccc4(0, 0, 255, 255), 0));  // bottom left
    EXPECT_TRUE(colorNear(c[1], ccc4(0, 0, 255, 255), 0));
    EXPECT_TRUE(colorNear(c[2], ccc4(255, 0, 0, 255), 0));  // top left
    EXPECT_TRUE(colorNear(c[3], ccc4(255, 0, 0, 255), 0));
    scene_->addChild(g);
    frame();
    ccColor4B top = pixelAt(160, 478), bottom = pixelAt(160, 1), middle = pixelAt(160, 240);
    EXPECT_GT(top.r, 250);
    EXPECT_GT(bottom.b, 250);
    EXPECT_NEAR(middle.r, 128, 4);
    EXPECT_NEAR(middle.b, 128, 4);
}

TEST(LayerGradient, DiagonalAndDegenerateVectors) {
    host::AutoreleasePool pool;
    // A compressed diagonal spans the full range from corner to corner.
    auto* g = CCLayerGradient::layerWithColor(ccc4(255, 255, 255, 255), ccc4(0, 0, 0, 255), CGPointMake(1, 1));
    EXPECT_EQ(g->squareColors()[0].r, 255);  // start at the tail of the vector
    EXPECT_EQ(g->squareColors()[3].r, 0);
    EXPECT_NEAR(g->squareColors()[1].r, 127, 1);
    // Along an axis, only the compressed form reaches the extremes.
    g->setVector(CGPointMake(1, 0));
    EXPECT_EQ(g->squareColors()[0].r, 255);
    EXPECT_EQ(g->squareColors()[1].r, 0);
    g->setCompressedInterpolation(false);
    EXPECT_LT(g->squareColors()[0].r, 255);
    EXPECT_GT(g->squareColors()[1].r, 0);
    // No direction: the flat start colour at the overall opacity.
    g->setVector(CGPointMake(0, 0));
    g->setOpacity(100);
    for (int i = 0; i < 4; ++i) EXPECT_TRUE(colorNear(g->squareColors()[i], ccc4(255, 255, 255, 100), 0));
}

TEST(LayerGradient, OpacitiesCombineWithTheOverallOpacity) {
    host::AutoreleasePool pool;
    auto* g = CCLayerGradient::layerWithColor(ccc4(10, 20, 30, 200), ccc4(40, 50, 60, 100));
    EXPECT_EQ(g->opacity(), 255);
    EXPECT_EQ(g->startOpacity(), 200);
    g->setOpacity(128);
    EXPECT_EQ(g->squareColors()[2].a, 200 * 128 / 255);  // top: start
    EXPECT_EQ(g->squareColors()[0].a, 100 * 128 / 255);  // bottom: end
    g->setEndColor(ccc3(0, 0, 0));
    EXPECT_EQ(g->squareColors()[0].r, 0);
    EXPECT_EQ(g->startColor().r, 10);
}

TEST_F(LayerRendering, DoubleResolutionCornersAreInPixels) {
    __ccContentScaleFactor = 2;
    auto* layer = CCLayerColor::layerWithColor(ccc4(1, 2, 3, 4), 10, 10);
    layer->setContentSize(CGSizeMake(480, 320));
    __ccContentScaleFactor = 1;
    const ccVertex2F* v = layer->squareVertices();
    EXPECT_EQ(v[0].x, 0);
    EXPECT_EQ(v[1].x, 960);
    EXPECT_EQ(v[2].y, 640);
    EXPECT_EQ(v[3].x, 960);
    EXPECT_EQ(v[3].y, 640);
    EXPECT_EQ(layer->contentSize().width, 480);
    layer->changeHeight(100);
    EXPECT_EQ(layer->contentSize().width, 480);
    EXPECT_EQ(layer->squareVertices()[3].y, 100);
}

TEST_F(LayerRendering, TouchRegistrationFollowsTheRunningState) {
    auto* layer = CCLayer::node();
    layer->setIsTouchEnabled(true);  // not running yet: only the flag
    EXPECT_EQ(standardRegistrations(layer), 0u);
    scene_->addChild(layer);
    frame();
    EXPECT_EQ(standardRegistrations(layer), 1u);
    layer->setIsTouchEnabled(true);  // unchanged: no second registration
    EXPECT_EQ(standardRegistrations(layer), 1u);
    layer->setIsTouchEnabled(false);
    EXPECT_EQ(standardRegistrations(layer), 0u);
    layer->setIsTouchEnabled(true);
    EXPECT_EQ(standardRegistrations(layer), 1u);
    layer->retain();
    layer->removeFromParentAndCleanup(true);
    EXPECT_EQ(standardRegistrations(layer), 0u);
    layer->release();
}

TEST_F(LayerRendering, AccelerometerIsDelegatedOnlyAfterTheTransitionFinishes) {
    host::Accelerometer& accelerometer = host::Accelerometer::sharedAccelerometer();
    auto* layer = host::create<AccelerometerLayer>();
    layer->setIsAccelerometerEnabled(true);
    scene_->addChild(layer);
    EXPECT_EQ(accelerometer.delegate(), nullptr);
    frame();  // the scene enters and finishes its (absent) transition
    EXPECT_EQ(accelerometer.delegate(), layer);
    accelerometer.deliver(0, 0.35, 0, 0);
    EXPECT_DOUBLE_EQ(layer->lastY, 0.35);
    layer->setIsAccelerometerEnabled(false);
    EXPECT_EQ(accelerometer.delegate(), nullptr);
    layer->setIsAccelerometerEnabled(true);
    layer->retain();
    layer->removeFromParentAndCleanup(true);
    EXPECT_EQ(accelerometer.delegate(), nullptr);
    layer->release();
}

TEST_F(LayerRendering, MultiplexShowsOneLayerAndSwitchesWithCleanup) {
    CCLayer* a = CCLayer::node();
    CCLayer* b = CCLayer::node();
    CCLayer* c = CCLayer::node();
    auto* m = CCLayerMultiplex::layerWithLayers({a, b, c});
    scene_->addChild(m);
    frame();
    ASSERT_EQ(m->children()->count(), 1u);
    EXPECT_EQ(m->children()->objectAtIndex(0), a);
    m->switchTo(2);
    EXPECT_EQ(m->children()->objectAtIndex(0), c);
    EXPECT_FALSE(a->isRunning());
    EXPECT_TRUE(c->isRunning());
    EXPECT_EQ(m->enabledLayer(), 2u);
    // Releasing the shown layer drops the multiplexer's reference.
    c->retain();
    EXPECT_EQ(c->retainCount(), 3u);  // ours, the multiplexer's, the parent's
    m->switchToAndReleaseMe(0);
    EXPECT_EQ(c->retainCount(), 1u);
    EXPECT_EQ(m->children()->objectAtIndex(0), a);
    c->release();
}

TEST(Layer, CoversTheWindowAndPivotsAboutItsCentre) {
    host::AutoreleasePool pool;
    CCLayer* layer = CCLayer::node();
    EXPECT_FALSE(layer->isTouchEnabled());
    EXPECT_FALSE(layer->isAccelerometerEnabled());
    EXPECT_FALSE(layer->isRelativeAnchorPoint());
    EXPECT_EQ(layer->anchorPoint().x, 0.5f);
    EXPECT_EQ(layer->contentSize().width, CCDirector::sharedDirector()->winSize().width);
}
