#include "engine/CCDirector.h"

#include <cstdio>
#include <mutex>

#include "engine/CCActionManager.h"
#include "engine/CCAnimationCache.h"
#include "engine/CCContentScale.h"
#include "engine/CCLabelAtlas.h"
#include "engine/CCScene.h"
#include "engine/CCScheduler.h"
#include "engine/CCSpriteFrameCache.h"
#include "engine/CCTexture2D.h"
#include "engine/CCTextureCache.h"
#include "engine/Support/CCArray.h"
#include "engine/ccMacros.h"
#include "engine/platform/CCDirectorIOS.h"
#include "engine/platform/EAGLView.h"
#include "host/core/Clock.h"
#include "host/core/Device.h"
#include "host/display/GLES.h"
#include "host/core/Log.h"

namespace {
std::mutex gDirectorLock;
CCDirector* gSharedDirector = nullptr;
}  // namespace

CCDirector* CCDirector::installShared(CCDirector* d) {
    std::lock_guard<std::mutex> guard(gDirectorLock);
    if (gSharedDirector) {
        if (d) d->release();
        return gSharedDirector;
    }
    gSharedDirector = d;
    return gSharedDirector;
}

bool CCDirector::hasSharedDirector() {
    std::lock_guard<std::mutex> guard(gDirectorLock);
    return gSharedDirector != nullptr;
}

CCDirector* CCDirector::sharedDirector() {
    {
        std::lock_guard<std::mutex> guard(gDirectorLock);
        if (gSharedDirector) return gSharedDirector;
    }
    return CCDirectorTimer::sharedDirector();
}

bool CCDirector::setDirectorType(int type) {
    switch (type) {
        case kCCDirectorTypeNSTimer: CCDirectorTimer::sharedDirector(); return true;
        case kCCDirectorTypeMainLoop: CCDirectorFast::sharedDirector(); return true;
        case kCCDirectorTypeThreadMainLoop: CCDirectorFastThreaded::sharedDirector(); return true;
        case kCCDirectorTypeDisplayLink:
            if (host::compareVersions(host::Device::current().systemVersion(), "3.1") < 0) return false;
            CCDirectorDisplayLink::sharedDirector();
            return true;
        default: return true;
    }
}

CCDirector::CCDirector() = default;

CCDirector::~CCDirector() {
    std::lock_guard<std::mutex> guard(gDirectorLock);
    if (gSharedDirector == this) gSharedDirector = nullptr;
}

bool CCDirector::init() {
    scenesStack_ = host::Ref<CCArray>::adopt(host::createOwned<CCArray>([](CCArray* a) { return a->initWithCapacity(10); }));
    runningThread_ = std::this_thread::get_id();
    return scenesStack_ != nullptr;
}

unsigned CCDirector::sceneStackDepth() const { return scenesStack_ ? scenesStack_->count() : 0; }
CCScene* CCDirector::runningScene() const { return runningScene_; }
CCNode* CCDirector::notificationNode() const { return notificationNode_; }
void CCDirector::setNotificationNode(CCNode* node) { notificationNode_ = node; }
float CCDirector::contentScaleFactor() const { return __ccContentScaleFactor; }

bool CCDirector::ignoredWhileEnding(const char* operation) const {
    if (!endRequested_) return false;
    host::log("Director: %s ignored: the director is ending", operation);
    return true;
}

void CCDirector::runWithScene(CCScene* scene) {
    CCAssert(scene != nullptr, "Argument must be non-nil");
    if (ignoredWhileEnding("runWithScene")) return;
    CCAssert(runningScene_ == nullptr, "You can't run an scene if another Scene is running. Use replaceScene or pushScene instead");
    pushScene(scene);
    startAnimation();
}

void CCDirector::pushScene(CCScene* scene) {
    CCAssert(scene != nullptr, "Argument must be non-nil");
    if (ignoredWhileEnding("pushScene")) return;
    sendCleanupToScene_ = false;
    scenesStack_->addObject(scene);
    nextScene_ = scene;
}

void CCDirector::replaceScene(CCScene* scene) {
    CCAssert(scene != nullptr, "Argument must be non-nil");
    if (ignoredWhileEnding("replaceScene")) return;
    CCAssert(scenesStack_->count() > 0, "replaceScene needs a scene on the stack");
    unsigned index = scenesStack_->count();
    sendCleanupToScene_ = true;
    // Insert before removing, so replacing a scene by itself never frees it.
    scenesStack_->insertObject(scene, index - 1);
    scenesStack_->removeObjectAtIndex(index);
    nextScene_ = scene;
}

void CCDirector::popScene() {
    CCAssert(runningScene_ != nullptr, "A running Scene is needed");
    if (ignoredWhileEnding("popScene")) return;
    scenesStack_->removeLastObject();
    unsigned c = scenesStack_->count();
    if (c == 0) {
        end();
    } else {
        sendCleanupToScene_ = true;
        nextScene_ = static_cast<CCScene*>(scenesStack_->objectAtIndex(c - 1));
    }
}

void CCDirector::end() {
    if (framesInProgress_ > 0) {
        // A callback of this frame: the scheduler and the action manager are
        // still walking their lists, so they go once the frame is over.
        endRequested_ = true;
        return;
    }
    endNow();
}

CCDirector::FrameInProgress::FrameInProgress(CCDirector* director) : director_(director) {
    ++director_->framesInProgress_;
}

CCDirector::FrameInProgress::~FrameInProgress() {
    if (--director_->framesInProgress_ > 0 || !director_->endRequested_) return;
    director_->endRequested_ = false;
    director_->endNow();
}

void CCDirector::endNow() {
    if (runningScene_) {
        runningScene_->onExit();
        runningScene_->cleanup();
    }
    runningScene_.reset();
    nextScene_ = nullptr;
    scenesStack_->removeAllObjects();
    stopAnimation();
    FPSLabel_.reset();
    // The next run's counter starts a fresh measurement.
    frames_ = 0;
    accumDt_ = 0;
    frameRate_ = 0;
    projectionDelegate_ = nullptr;
    // Bitmap-font labels are not part of this engine, so there is no
    // configuration cache to purge ahead of these.
    CCAnimationCache::purgeSharedAnimationCache();
    CCSpriteFrameCache::purgeSharedSpriteFrameCache();
    CCScheduler::purgeSharedScheduler();
    CCActionManager::purgeSharedManager();
    CCTextureCache::purgeSharedTextureCache();
    openGLView_.reset();
}

void CCDirector::setNextScene() {
    // Transitions are recognised by class once they exist; until then no
    // scene is one.
    bool runningIsTransition = runningScene_ && runningScene_->isTransitionScene();
    bool newIsTransition = nextScene_ && nextScene_->isTransitionScene();
    if (!newIsTransition && runningScene_) {
        runningScene_->onExit();
        if (sendCleanupToScene_) runningScene_->cleanup();
    }
    runningScene_ = nextScene_;
    nextScene_ = nullptr;
    if (!runningIsTransition && runningScene_) {
        runningScene_->onEnter();
        runningScene_->onEnterTransitionDidFinish();
    }
}

void CCDirector::calculateDeltaTime() {
    struct timeval now;
    if (host::Clock::gettimeofday(&now) != 0) {
        dt = 0;
        return;
    }
    if (nextDeltaTimeZero_) {
        dt = 0;
        nextDeltaTimeZero_ = false;
    } else if (host::Clock::isFixedStep()) {
        // Reproducible runs: frames come exactly one interval apart.
        dt = static_cast<ccTime>(animationInterval_);
    } else {
        dt = static_cast<float>(now.tv_sec - lastUpdate_.tv_sec) +
             static_cast<float>(now.tv_usec - lastUpdate_.tv_usec) / 1000000.0f;
        if (dt < 0) dt = 0;
    }
    lastUpdate_ = now;
}

void CCDirector::pause() {
    if (isPaused_) return;
    oldAnimationInterval_ = animationInterval_;
    setAnimationInterval(1 / 4.0);
    isPaused_ = true;
}

void CCDirector::resume() {
    if (!isPaused_) return;
    setAnimationInterval(oldAnimationInterval_);
    if (host::Clock::gettimeofday(&lastUpdate_) != 0) {}
    isPaused_ = false;
    dt = 0;
}

void CCDirector::showFPS() {
    ++frames_;
    accumDt_ += dt;
    if (accumDt_ > 0.1f) {
        frameRate_ = frames_ / accumDt_;
        frames_ = 0;
        accumDt_ = 0;
        if (FPSLabel_) {
            char text[32];
            std::snprintf(text, sizeof text, "%.1f", frameRate_);
            FPSLabel_->setString(text);
        }
    }
    // draw, not visit: the label sits at the origin of the rotated frame
    // without a transform of its own.
    if (FPSLabel_) FPSLabel_->draw();
}

void CCDirector::reshapeProjection(CGSize newWindowSize) {
    winSizeInPoints_ = newWindowSize;
    winSizeInPixels_ = newWindowSize;
    setProjection(projection_);
}

float CCDirector::getZEye() const { return winSizeInPixels_.height / 1.1566f; }

void CCDirector::setAlphaBlending(bool on) {
    if (on) {
        glEnable(GL_BLEND);
        glBlendFunc(GL_ONE, GL_ONE_MINUS_SRC_ALPHA);
    } else {
        glDisable(GL_BLEND);
    }
}

void CCDirector::setDepthTest(bool on) {
    if (on) {
        glClearDepthf(1.0f);
        glEnable(GL_DEPTH_TEST);
        glDepthFunc(GL_LEQUAL);
    } else {
        glDisable(GL_DEPTH_TEST);
    }
}

void CCDirector::setGLDefaultValues() {
    setAlphaBlending(true);
    setDepthTest(true);
    setProjection(projection_);
    glClearColor(0, 0, 0, 1);
    if (!FPSLabel_) {
        // 16 bits per pixel are plenty for white digits.
        const CCTexture2DPixelFormat previous = CCTexture2D::defaultAlphaPixelFormat();
        CCTexture2D::setDefaultAlphaPixelFormat(kCCTexture2DPixelFormat_RGBA4444);
        FPSLabel_ = CCLabelAtlas::labelWithString("00.0", "fps_images.png", 16, 24, '.');
        CCTexture2D::setDefaultAlphaPixelFormat(previous);
    }
}

void CCDirector::setOpenGLView(EAGLView* view) {
    if (view == openGLView_.get()) return;
    openGLView_ = view;
    CGSize size = view ? view->bounds().size : CGSizeZero;
    winSizeInPoints_ = size;
    winSizeInPixels_ = size;
    if (view) setGLDefaultValues();
}

void CCDirector::purgeCachedData() { CCTextureCache::sharedTextureCache()->removeUnusedTextures(); }
