// A director drawing into an RGBA8 portrait surface of the headless
// display, and read-back of the pixels it drew. The device stays in
// portrait orientation with the 2D projection, so a GL pixel (x, y) is the
// point (x, y) of the scene, origin bottom left.
#pragma once

#include <gtest/gtest.h>

#include "GLTestEnvironment.h"
#include "engine/CCContentScale.h"
#include "engine/CCDirector.h"
#include "engine/CCNode.h"
#include "engine/CCScene.h"
#include "engine/ccTypes.h"
#include "engine/platform/CCDirectorIOS.h"
#include "engine/platform/EAGLView.h"
#include "host/core/Object.h"
#include "host/display/GLES.h"

class RenderFixture : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(ensureHeadlessDisplay());
        director_ = static_cast<CCDirectorIOS*>(CCDirectorTimer::sharedDirector());
        director_->setOpenGLView(EAGLView::viewWithFrame(CGRectMake(0, 0, 320, 480), kEAGLColorFormatRGBA8, 0));
        director_->setProjection(kCCDirectorProjection2D);
        scene_ = CCScene::node();
        director_->runWithScene(scene_);
    }
    void TearDown() override {
        director_->end();
        pool_.drain();
    }

    // Draws one frame (the first also makes the scene current).
    void frame() {
        director_->drawScene();
        pool_.drain();
    }
    // The colour at GL pixel (x, y) of the frame just drawn.
    static ccColor4B pixelAt(int x, int y) {
        ccColor4B c{0, 0, 0, 0};
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, &c);
        return c;
    }

    host::AutoreleasePool pool_;
    CCDirectorIOS* director_ = nullptr;
    CCScene* scene_ = nullptr;  // owned by the director once it runs
};

// Channel-by-channel comparison with a tolerance for filtering and
// 8-bit rounding.
inline ::testing::AssertionResult colorNear(ccColor4B actual, ccColor4B expected, int tolerance = 2) {
    auto off = [&](int a, int e) { return a - e > tolerance || e - a > tolerance; };
    if (off(actual.r, expected.r) || off(actual.g, expected.g) || off(actual.b, expected.b) ||
        off(actual.a, expected.a))
        return ::testing::AssertionFailure()
               << "got (" << int(actual.r) << ", " << int(actual.g) << ", " << int(actual.b) << ", "
               << int(actual.a) << "), expected (" << int(expected.r) << ", " << int(expected.g) << ", "
               << int(expected.b) << ", " << int(expected.a) << ")";
    return ::testing::AssertionSuccess();
}

// The same for the colour channels only: the surface's alpha records
// blending arithmetic nobody sees.
inline ::testing::AssertionResult rgbNear(ccColor4B actual, ccColor3B expected, int tolerance = 2) {
    return colorNear(ccColor4B{actual.r, actual.g, actual.b, 255}, ccColor4B{expected.r, expected.g, expected.b, 255},
                     tolerance);
}
