// Shared pieces of the game's tests: a director in the game's own
// presentation (landscape orientation 3 on the phone's portrait surface,
// frames exactly 1/60 s apart), the shipped resources, user defaults in a
// scratch directory of their own, and fingers that press the screen through
// the host's touch path.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <string>

#include "GLTestEnvironment.h"
#include "ScratchDirectory.h"
#include "audio/SimpleAudioEngine.h"
#include "engine/CCDirector.h"
#include "engine/CCNode.h"
#include "engine/platform/CCDirectorIOS.h"
#include "engine/platform/EAGLView.h"
#include "host/core/Application.h"
#include "host/core/Bundle.h"
#include "host/core/Clock.h"
#include "host/core/Object.h"
#include "host/core/Options.h"
#include "host/data/UserDefaults.h"
#include "host/display/Accelerometer.h"
#include "host/ui/View.h"
#include "host/ui/Window.h"

// The project's resources directory, from this file's location.
inline std::string gameResourcesDir() {
    const std::string here = __FILE__;
    return here.substr(0, here.rfind("/tests/")) + "/resources";
}

class GameFixture : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(ensureHeadlessDisplay());
        ASSERT_FALSE(data_.path().empty());
        host::Clock::setFixedStep(true);
        // The image loaders ask the bundle, the sound loaders the option.
        savedResources_ = host::Options::shared().resources;
        host::Options::shared().resources = gameResourcesDir();
        host::Bundle::main().setResourcePath(gameResourcesDir());
        host::UserDefaults::resetForTesting();
        host::UserDefaults::setDataDirectory(data_.path());
        srandom(7);
        director_ = static_cast<CCDirectorIOS*>(CCDirectorTimer::sharedDirector());
        attachGLView();
        director_->setDeviceOrientation(kCCDeviceOrientationLandscapeLeft);
    }
    // The GL view in a key window, as the application sets them up, so
    // that native overlays and sheets show over the game.
    void attachGLView() {
        window_ = host::Ref<host::Window>::adopt(host::createOwned<host::Window>(
            [](host::Window* w) { return w->initWithFrame(CGRectMake(0, 0, 320, 480)); }));
        EAGLView* view = EAGLView::viewWithFrame(CGRectMake(0, 0, 320, 480), kEAGLColorFormatRGBA8, 0);
        director_->setOpenGLView(view);
        window_->addSubview(view);
        window_->makeKeyAndVisible();
    }
    void detachGLView() {
        if (EAGLView* view = director_->openGLView()) view->removeFromSuperview();
        window_.reset();
    }
    void TearDown() override {
        detachGLView();
        director_->end();
        director_->setDeviceOrientation(kCCDeviceOrientationPortrait);
        pool_.drain();
        host::Accelerometer::sharedAccelerometer().setDelegate(nullptr);
        SimpleAudioEngine::end();
        host::UserDefaults::resetForTesting();
        host::UserDefaults::setDataDirectory("");
        host::Bundle::main().setResourcePath("");
        host::Options::shared().resources = savedResources_;
        host::Clock::setFixedStep(false);
    }

    // One frame, then the turn's pool drains as the run loop would.
    void frame() {
        director_->drawScene();
        pool_.drain();
    }
    void frames(int n) {
        for (int i = 0; i < n; ++i) frame();
    }
    // Frames until `done` holds; the number drawn, or -1 after `limit`.
    int framesUntil(const std::function<bool()>& done, int limit) {
        for (int i = 1; i <= limit; ++i) {
            frame();
            if (done()) return i;
        }
        return -1;
    }
    CGSize win() const { return director_->winSize(); }

    // A tap at a GL point of the landscape screen, as the mouse would do it.
    void tap(CGPoint gl) {
        host::Application* app = host::Application::sharedApplication();
        const float iy = win().height - gl.y;
        app->deliverPointer(-1, host::TouchPhase::Began, gl.x, iy, touchTime_ += 0.05);
        app->deliverPointer(-1, host::TouchPhase::Ended, gl.x, iy, touchTime_ += 0.05);
    }
    // The centre of a node in GL points.
    static CGPoint centreOf(CCNode* node) {
        const CGSize s = node->contentSize();
        return node->convertToWorldSpace(CGPointMake(s.width / 2, s.height / 2));
    }

    ScratchDirectory data_;
    host::AutoreleasePool pool_;
    host::Ref<host::Window> window_;
    std::string savedResources_;
    CCDirectorIOS* director_ = nullptr;
    double touchTime_ = 0;
};
