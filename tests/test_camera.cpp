// The node camera and the orbit camera: what the camera stores, when it
// changes the drawing, and how an orbiting camera turns a sprite in 3D
// under the perspective projection and the depth test.
#include <gtest/gtest.h>

#include <GLES/gl.h>

#include <cfloat>
#include <cmath>
#include <regex>

#include "ActionTestSupport.h"
#include "RenderFixture.h"
#include "TestTextures.h"
#include "engine/CCActionCamera.h"
#include "engine/CCActionInterval.h"
#include "engine/CCCamera.h"
#include "engine/CCContentScale.h"
#include "engine/CCSprite.h"
#include "engine/Support/CGPointExtension.h"

namespace {

constexpr float kPi = 3.1415927f;

CCCamera* newCamera() { return host::create<CCCamera>([](CCCamera* c) { return c->init(); }); }

struct Vec3 {
    float x, y, z;
};
Vec3 eyeOf(CCCamera* c) {
    Vec3 v;
    c->eyeX(&v.x, &v.y, &v.z);
    return v;
}
Vec3 centerOf(CCCamera* c) {
    Vec3 v;
    c->centerX(&v.x, &v.y, &v.z);
    return v;
}

// ---- CCCamera ------------------------------------------------------------------

TEST_F(ActionTest, CameraStartsCleanAndOnlyRestoreCleansIt) {
    CCCamera* c = newCamera();
    EXPECT_FALSE(c->dirty());
    Vec3 e = eyeOf(c), ce = centerOf(c), up;
    c->upX(&up.x, &up.y, &up.z);
    EXPECT_EQ(e.x, 0);
    EXPECT_EQ(e.y, 0);
    EXPECT_EQ(e.z, FLT_EPSILON);
    EXPECT_EQ(ce.z, 0);
    EXPECT_EQ(up.y, 1);
    EXPECT_EQ(CCCamera::getZEye(), FLT_EPSILON);
    EXPECT_TRUE(std::regex_match(c->description(), std::regex("<CCCamera = [0-9A-F]{8} \\| center = \\(0.00,0.00,0.00\\)>")));

    c->setUpX(0, 0, 1);
    EXPECT_TRUE(c->dirty());
    c->restore();
    EXPECT_FALSE(c->dirty());
    c->setCenterX(1, 2, 3);
    EXPECT_TRUE(c->dirty());
    c->setDirty(false);
    EXPECT_FALSE(c->dirty());
}

TEST_F(ActionTest, CameraStoresPixelsAndReadsPoints) {
    CCCamera* c = newCamera();
    __ccContentScaleFactor = 2;
    c->setEyeX(1, 2, 3);
    c->setCenterX(4, 5, 6);
    c->setUpX(7, 8, 9);
    Vec3 e = eyeOf(c), ce = centerOf(c), up;
    c->upX(&up.x, &up.y, &up.z);
    EXPECT_FLOAT_EQ(e.x, 1);
    EXPECT_FLOAT_EQ(e.y, 2);
    EXPECT_FLOAT_EQ(e.z, 3);
    EXPECT_FLOAT_EQ(ce.z, 6);
    EXPECT_FLOAT_EQ(up.x, 7);  // the up vector has no unit
    EXPECT_NE(c->description().find("center = (8.00,10.00,12.00)"), std::string::npos);
    __ccContentScaleFactor = 1;
    e = eyeOf(c);  // what is stored: pixels
    EXPECT_FLOAT_EQ(e.x, 2);
    EXPECT_FLOAT_EQ(e.y, 4);
    EXPECT_FLOAT_EQ(e.z, 6);
    c->upX(&up.x, &up.y, &up.z);
    EXPECT_FLOAT_EQ(up.z, 9);
}

TEST_F(ActionTest, NodeCameraIsMadeOnFirstUseAndReleasedWithTheNode) {
    CCNode* n = CCNode::node();
    CCCamera* c = n->camera();
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(n->camera(), c);
    EXPECT_FALSE(c->dirty());
    c->retain();
    EXPECT_EQ(c->retainCount(), 2u);
    pool.drain();  // the node goes
    EXPECT_EQ(c->retainCount(), 1u);
    c->release();
}

TEST_F(ActionTest, LocateChangesTheMatrixOnlyWhenDirty) {
    ASSERT_TRUE(ensureHeadlessDisplay());
    CCCamera* c = newCamera();
    GLfloat before[16], after[16];
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glGetFloatv(GL_MODELVIEW_MATRIX, before);
    c->locate();
    glGetFloatv(GL_MODELVIEW_MATRIX, after);
    for (int i = 0; i < 16; ++i) EXPECT_EQ(after[i], before[i]) << i;
    // Looking from +x at the origin: the x axis points at the viewer (+z)
    // and the z axis to the left (-x).
    c->setEyeX(1, 0, 0);
    c->locate();
    glGetFloatv(GL_MODELVIEW_MATRIX, after);
    EXPECT_NEAR(after[2], 1, 1e-5);    // x axis -> +z (towards the viewer)
    EXPECT_NEAR(after[8], -1, 1e-5);   // z axis -> -x
    EXPECT_NEAR(after[12], 0, 1e-5);
    EXPECT_NEAR(after[14], -1, 1e-5);  // the eye's distance
    glPopMatrix();
}

// ---- CCOrbitCamera: the arithmetic -------------------------------------------------

TEST_F(ActionTest, OrbitMovesTheEyeOnASphereRoundTheCentre) {
    CCNode* n = CCNode::node();
    CCOrbitCamera* o = CCOrbitCamera::actionWithDuration(2, 1, 1, 0, 90, 0, 90);
    o->startWithTarget(n);
    o->update(0);  // radius 1, zenith 0: the default eye
    Vec3 e = eyeOf(n->camera());
    EXPECT_NEAR(e.x / FLT_EPSILON, 0, 1e-3);
    EXPECT_NEAR(e.z / FLT_EPSILON, 1, 1e-3);
    o->update(0.5f);  // radius 1.5, zenith 45, azimuth 45
    e = eyeOf(n->camera());
    EXPECT_NEAR(e.x / FLT_EPSILON, 1.5f * 0.5f, 1e-3);
    EXPECT_NEAR(e.y / FLT_EPSILON, 1.5f * 0.5f, 1e-3);
    EXPECT_NEAR(e.z / FLT_EPSILON, 1.5f * std::sqrt(0.5f), 1e-3);
    o->update(1);  // radius 2, zenith 90, azimuth 90: on the +y axis
    e = eyeOf(n->camera());
    EXPECT_NEAR(e.x / FLT_EPSILON, 0, 1e-3);
    EXPECT_NEAR(e.y / FLT_EPSILON, 2, 1e-3);
    EXPECT_TRUE(n->camera()->dirty());

    // The sphere is centred on the camera's centre as it was at the start,
    // and the centre itself is not touched.
    CCNode* offCentre = CCNode::node();
    offCentre->camera()->setCenterX(5, 6, 7);
    o->startWithTarget(offCentre);
    o->update(0.5f);
    e = eyeOf(offCentre->camera());
    EXPECT_NEAR(e.x, 5, 1e-5);
    EXPECT_NEAR(e.y, 6, 1e-5);
    EXPECT_NEAR(e.z, 7, 1e-5);
    Vec3 ce = centerOf(offCentre->camera());
    EXPECT_FLOAT_EQ(ce.x, 5);
    o->startWithTarget(n);
    o->update(1);

    host::Ref<CCOrbitCamera> c = o->copy();
    EXPECT_FLOAT_EQ(c->duration(), 2);
    auto* back = dynamic_cast<CCReverseTime*>(o->reverse());
    ASSERT_NE(back, nullptr);
    CCNode* m = CCNode::node();
    back->startWithTarget(m);
    back->update(0);  // the orbit at its end
    float r, zenith, azimuth;
    o->sphericalRadius(&r, &zenith, &azimuth);
    EXPECT_NEAR(r, 2, 1e-2);
    EXPECT_NEAR(zenith, kPi / 2, 1e-3);
    EXPECT_NEAR(azimuth, kPi / 2, 1e-3);
}

TEST_F(ActionTest, SphericalRadiusReadsTheEyeDirection) {
    CCNode* n = CCNode::node();
    CCOrbitCamera* o = CCOrbitCamera::actionWithDuration(1, 1, 0, 0, 0, 0, 0);
    float r = -1, zenith = -1, azimuth = -1;
    o->sphericalRadius(&r, &zenith, &azimuth);  // never started: zeros, no crash
    EXPECT_EQ(r, 0);
    o->startWithTarget(n);
    o->sphericalRadius(&r, &zenith, &azimuth);  // the default eye, straight in front
    EXPECT_NEAR(r, 1, 1e-5);
    EXPECT_NEAR(zenith, 0, 1e-5);
    n->camera()->setEyeX(1, 1, 0);
    o->sphericalRadius(&r, &zenith, &azimuth);
    EXPECT_NEAR(r * FLT_EPSILON, std::sqrt(2.0f), 1e-5);
    EXPECT_NEAR(zenith, kPi / 2, 1e-5);
    EXPECT_NEAR(azimuth, kPi / 4, 1e-5);
    n->camera()->setEyeX(-1, 1, 0);  // behind the y axis: the azimuth folds over
    o->sphericalRadius(&r, &zenith, &azimuth);
    EXPECT_NEAR(azimuth, kPi - kPi / 4, 1e-5);
    n->camera()->setEyeX(0, 0, 0);  // on the centre: no division by zero
    o->sphericalRadius(&r, &zenith, &azimuth);
    EXPECT_FALSE(std::isnan(zenith));
    EXPECT_FALSE(std::isnan(azimuth));
}

// ---- Drawing with cameras ----------------------------------------------------------

// The 3D projection and a depth buffer, as a scene with cameras needs them.
class CameraRenderTest : public RenderFixture {
protected:
    void SetUp() override {
        RenderFixture::SetUp();
        director_->setOpenGLView(
            EAGLView::viewWithFrame(CGRectMake(0, 0, 320, 480), kEAGLColorFormatRGBA8, GL_DEPTH_COMPONENT16_OES));
        director_->setProjection(kCCDirectorProjection3D);
    }
    CCSprite* addSprite(ccColor4B colour, CGPoint at, int z = 0) {
        CCSprite* s = CCSprite::spriteWithTexture(makeSolidTexture(128, 64, colour));
        s->setPosition(at);
        scene_->addChild(s, z);
        return s;
    }
    // How many pixels of the row are mostly red / blue.
    static int count(int y, bool red) {
        int n = 0;
        for (int x = 0; x < 320; ++x) {
            const ccColor4B c = pixelAt(x, y);
            if (red ? (c.r > 128 && c.b < 128) : (c.b > 128 && c.r < 128)) ++n;
        }
        return n;
    }
};

TEST_F(CameraRenderTest, ACleanCameraChangesNothing) {
    CCSprite* s = addSprite(kRed, ccp(160, 240));
    frame();
    const int plain = count(240, true);
    EXPECT_NEAR(plain, 128, 2);  // the 3D projection maps z = 0 onto the window's pixels
    s->camera();
    frame();
    EXPECT_EQ(count(240, true), plain);
    s->camera()->setEyeX(0, 1, 1);
    s->camera()->restore();
    frame();
    EXPECT_EQ(count(240, true), plain);
}

TEST_F(CameraRenderTest, AnOrbitQuarterTurnTurnsTheSpriteEdgeOn) {
    CCSprite* s = addSprite(kRed, ccp(160, 240));
    host::Ref<CCOrbitCamera> orbit = CCOrbitCamera::actionWithDuration(1, 1, 0, 0, 90, 0, 0);
    orbit->startWithTarget(s);
    orbit->update(0);
    frame();
    EXPECT_NEAR(count(240, true), 128, 2);
    orbit->update(1.0f / 3);  // 30 degrees about the vertical axis
    frame();
    const int at30 = count(240, true);
    EXPECT_NEAR(at30, 128 * std::cos(kPi / 6), 4);
    orbit->update(0.5f);
    frame();
    EXPECT_NEAR(count(240, true), 128 * std::cos(kPi / 4), 4);
    EXPECT_TRUE(rgbNear(pixelAt(160, 240), ccc3(255, 0, 0)));  // turned about its anchor: the centre stays
    orbit->update(1);
    frame();
    EXPECT_LE(count(240, true), 2);  // edge-on
    // Above and below the centre row the sprite keeps its height.
    orbit->update(1.0f / 3);
    frame();
    EXPECT_TRUE(rgbNear(pixelAt(160, 240 + 28), ccc3(255, 0, 0)));
    EXPECT_TRUE(rgbNear(pixelAt(160, 240 - 28), ccc3(255, 0, 0)));
}

TEST_F(CameraRenderTest, TheDepthTestSortsATurnedSpriteAgainstAFlatOne) {
    CCSprite* turned = addSprite(kRed, ccp(160, 240), 0);
    addSprite(kBlue, ccp(160, 240), 1);  // drawn later, flat at z = 0
    // Turn the red sprite 60 degrees about the vertical axis: one half comes
    // towards the viewer, the other goes behind the blue sprite.
    turned->camera()->setEyeX(std::sin(kPi / 3) * FLT_EPSILON, 0, std::cos(kPi / 3) * FLT_EPSILON);
    frame();
    int leftRed = 0, rightRed = 0, blue = 0;
    for (int x = 100; x < 220; ++x) {
        const ccColor4B c = pixelAt(x, 240);
        if (c.r > 128 && c.b < 128) (x < 160 ? leftRed : rightRed)++;
        if (c.b > 128 && c.r < 128) ++blue;
    }
    EXPECT_GT(blue, 50);
    // Only one half of the red sprite is in front of the blue one.
    EXPECT_TRUE((leftRed > 10 && rightRed == 0) || (rightRed > 10 && leftRed == 0))
        << "left " << leftRed << ", right " << rightRed;

    director_->setDepthTest(false);  // without it, the later sprite covers all
    frame();
    EXPECT_EQ(count(240, true), 0);
    director_->setDepthTest(true);
}

TEST_F(CameraRenderTest, OrbitRunByTheActionManagerEndsEdgeOnAndRestoreUndoesIt) {
    CCSprite* s = addSprite(kRed, ccp(160, 240));
    frame();
    s->runAction(CCOrbitCamera::actionWithDuration(0.5f, 1, 0, 0, 90, 0, 0));
    for (int i = 0; i < 3; ++i) CCActionManager::sharedManager()->update(0.3f);
    EXPECT_EQ(s->numberOfRunningActions(), 0u);
    frame();
    EXPECT_LE(count(240, true), 2);
    s->camera()->restore();
    frame();
    EXPECT_NEAR(count(240, true), 128, 2);
}

}  // namespace
