#include "engine/platform/CCDirectorIOS.h"

#include <cmath>
#include <unistd.h>

#include "engine/CCContentScale.h"
#include "engine/CCScene.h"
#include "engine/CCScheduler.h"
#include "engine/Support/glu.h"
#include "engine/platform/CCTouchDispatcher.h"
#include "engine/platform/EAGLView.h"
#include "host/core/Application.h"
#include "host/core/Clock.h"
#include "host/core/Device.h"
#include "host/core/Log.h"
#include "host/display/GLES.h"

bool CCDirectorIOS::init() {
    if (!CCDirector::init()) return false;
    deviceOrientation_ = kCCDeviceOrientationPortrait;
    isContentScaleSupported_ = false;
    __ccContentScaleFactor = 1;
    return true;
}

void CCDirectorIOS::drawScene() {
    FrameInProgress frame(this);
    calculateDeltaTime();
    if (!isPaused_) CCScheduler::sharedScheduler()->tick(dt);
    // Ended by a timer or an action: the end comes when the frame closes,
    // and there is nothing left to draw.
    if (isEnding()) return;
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    if (nextScene_) setNextScene();
    glPushMatrix();
    applyOrientation();
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_COLOR_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glEnable(GL_TEXTURE_2D);
    if (runningScene_) runningScene_->visit();
    if (notificationNode_) notificationNode_->visit();
    if (displayFPS_) showFPS();
    glDisable(GL_TEXTURE_2D);
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    glDisableClientState(GL_COLOR_ARRAY);
    glDisableClientState(GL_VERTEX_ARRAY);
    glPopMatrix();
    if (openGLView_) openGLView_->swapBuffers();
}

void CCDirectorIOS::setProjection(int projection) {
    CGSize size = winSizeInPixels_;
    switch (projection) {
        case kCCDirectorProjection2D:
            glViewport(0, 0, static_cast<GLsizei>(size.width), static_cast<GLsizei>(size.height));
            glMatrixMode(GL_PROJECTION);
            glLoadIdentity();
            glOrthof(0, size.width, 0, size.height, -1024 * __ccContentScaleFactor, 1024 * __ccContentScaleFactor);
            glMatrixMode(GL_MODELVIEW);
            glLoadIdentity();
            break;
        case kCCDirectorProjection3D: {
            float zeye = getZEye();
            glViewport(0, 0, static_cast<GLsizei>(size.width), static_cast<GLsizei>(size.height));
            glMatrixMode(GL_PROJECTION);
            glLoadIdentity();
            gluPerspective(60, size.width / size.height, 0.5f, 1500.0f);
            glMatrixMode(GL_MODELVIEW);
            glLoadIdentity();
            gluLookAt(size.width / 2, size.height / 2, zeye, size.width / 2, size.height / 2, 0, 0.0f, 1.0f, 0.0f);
            break;
        }
        case kCCDirectorProjectionCustom:
            if (projectionDelegate_) projectionDelegate_->updateProjection();
            break;
        default:
            break;
    }
    projection_ = projection;
}

void CCDirectorIOS::applyOrientation() {
    CGSize s = winSizeInPixels_;
    float w = s.width / 2, h = s.height / 2;
    switch (deviceOrientation_) {
        case kCCDeviceOrientationPortraitUpsideDown:
            glTranslatef(w, h, 0);
            glRotatef(180, 0, 0, 1);
            glTranslatef(-w, -h, 0);
            break;
        case kCCDeviceOrientationLandscapeLeft:
            glTranslatef(w, h, 0);
            glRotatef(-90, 0, 0, 1);
            glTranslatef(-h, -w, 0);
            break;
        case kCCDeviceOrientationLandscapeRight:
            glTranslatef(w, h, 0);
            glRotatef(90, 0, 0, 1);
            glTranslatef(-h, -w, 0);
            break;
        default:
            break;
    }
}

void CCDirectorIOS::setDeviceOrientation(int orientation) {
    if (orientation == deviceOrientation_) return;
    deviceOrientation_ = orientation;
    if (auto interface = host::interfaceOrientationFromValue(orientation))
        host::Application::sharedApplication()->setStatusBarOrientation(*interface, false);
    else
        host::log("Director: Unknown device orientation");
}

CGSize CCDirectorIOS::winSize() const {
    CGSize s = winSizeInPoints_;
    if (deviceOrientation_ == kCCDeviceOrientationLandscapeLeft ||
        deviceOrientation_ == kCCDeviceOrientationLandscapeRight)
        return CGSizeMake(s.height, s.width);
    return s;
}

CGSize CCDirectorIOS::winSizeInPixels() const {
    CGSize s = winSize();
    return CGSizeMake(s.width * __ccContentScaleFactor, s.height * __ccContentScaleFactor);
}

CGPoint CCDirectorIOS::convertToGL(CGPoint p) const {
    CGSize s = winSizeInPoints_;
    switch (deviceOrientation_) {
        case kCCDeviceOrientationPortrait: return CGPointMake(p.x, s.height - p.y);
        case kCCDeviceOrientationPortraitUpsideDown: return CGPointMake(s.width - p.x, p.y);
        case kCCDeviceOrientationLandscapeLeft: return CGPointMake(p.y, p.x);
        case kCCDeviceOrientationLandscapeRight: return CGPointMake(s.height - p.y, s.width - p.x);
        default: return CGPointZero;
    }
}

CGPoint CCDirectorIOS::convertToUI(CGPoint p) const {
    CGSize s = winSizeInPoints_;
    switch (deviceOrientation_) {
        case kCCDeviceOrientationPortrait: return CGPointMake(p.x, std::trunc(s.height - p.y));
        case kCCDeviceOrientationPortraitUpsideDown: return CGPointMake(std::trunc(s.width - p.x), p.y);
        case kCCDeviceOrientationLandscapeLeft: return CGPointMake(p.y, p.x);
        case kCCDeviceOrientationLandscapeRight: return CGPointMake(s.width - p.y, s.height - p.x);
        default: return CGPointZero;
    }
}

void CCDirectorIOS::setContentScaleFactor(float scale) {
    if (scale == __ccContentScaleFactor) return;
    __ccContentScaleFactor = scale;
    winSizeInPixels_ = CGSizeMake(winSizeInPoints_.width * scale, winSizeInPoints_.height * scale);
    if (openGLView_) updateContentScaleFactor();
    setProjection(projection_);
}

void CCDirectorIOS::updateContentScaleFactor() {
    if (openGLView_ && openGLView_->supportsContentScaleFactor()) {
        openGLView_->setContentScaleFactor(__ccContentScaleFactor);
        isContentScaleSupported_ = true;
    }
}

bool CCDirectorIOS::enableRetinaDisplay(bool enable) {
    if (enable && __ccContentScaleFactor == 2) return true;
    if (!enable && __ccContentScaleFactor == 1) return true;
    if (!openGLView_ || !openGLView_->supportsContentScaleFactor()) return false;
    if (host::Device::current().screenScale() == 1.0f) return false;
    setContentScaleFactor(enable ? 2 : 1);
    return true;
}

void CCDirectorIOS::setOpenGLView(EAGLView* view) {
    if (view == openGLView_.get()) return;
    CCDirector::setOpenGLView(view);
    winSizeInPixels_ = CGSizeMake(winSizeInPoints_.width * __ccContentScaleFactor,
                                  winSizeInPoints_.height * __ccContentScaleFactor);
    if (__ccContentScaleFactor != 1) updateContentScaleFactor();
    if (view) {
        CCTouchDispatcher* dispatcher = CCTouchDispatcher::sharedDispatcher();
        view->setTouchDelegate(dispatcher);
        dispatcher->setDispatchEvents(true);
    }
}

void CCDirectorIOS::reshapeProjection(CGSize) {
    if (openGLView_) winSizeInPoints_ = openGLView_->bounds().size;
    winSizeInPixels_ = CGSizeMake(winSizeInPoints_.width * __ccContentScaleFactor,
                                  winSizeInPoints_.height * __ccContentScaleFactor);
    setProjection(projection_);
}

void CCDirectorIOS::endNow() {
    CCTouchDispatcher::sharedDispatcher()->removeAllDelegates();
    CCDirector::endNow();
}

void CCDirectorIOS::restartWithInterval(double interval, bool frameSourceRunning) {
    animationInterval_ = interval;
    if (frameSourceRunning) {
        stopAnimation();
        startAnimation();
    }
}

// Timer director.
void CCDirectorTimer::startAnimation() {
    host::Clock::gettimeofday(&lastUpdate_);
    animationTimer = host::Timer::scheduledTimer(animationInterval_, this, [this] { mainLoop(); }, true);
}

void CCDirectorTimer::stopAnimation() {
    if (animationTimer) animationTimer->invalidate();
    animationTimer.reset();
}

void CCDirectorTimer::setAnimationInterval(double interval) { restartWithInterval(interval, animationTimer); }

// Display-link director.
int CCDirectorDisplayLink::frameInterval() const { return static_cast<int>(std::floor(animationInterval_ * 60.0f)); }

void CCDirectorDisplayLink::startAnimation() {
    host::Clock::gettimeofday(&lastUpdate_);
    displayLink = host::DisplayLink::displayLinkWithTarget(this, [this](host::DisplayLink* l) { mainLoop(l); });
    displayLink->setFrameInterval(frameInterval());
    displayLink->addToMainRunLoop();
}

void CCDirectorDisplayLink::stopAnimation() {
    if (displayLink) displayLink->invalidate();
    displayLink.reset();
}

void CCDirectorDisplayLink::setAnimationInterval(double interval) { restartWithInterval(interval, displayLink); }

// Fast director: its own loop pumps the run loop around each frame.

void CCDirectorFast::startAnimation() {
    host::Clock::gettimeofday(&lastUpdate_);
    isRunning = true;
    host::RunLoop::main().performOnMainThread([this] { mainLoop(); }, false);
}

void CCDirectorFast::setAnimationInterval(double) {
    host::log("FastDirectory doesn't support setAnimationInterval, yet");
}

void CCDirectorFast::mainLoop() {
    host::RunLoop& loop = host::RunLoop::main();
    host::Ref<CCDirector> keep = this;
    while (isRunning && !loop.isStopped()) {
        host::AutoreleasePool pool;
        while (loop.runOnce(0)) {}
        if (isPaused_) usleep(250000);
        drawScene();
        while (isRunning && loop.runOnce(0)) {}
        if (host::Clock::isFixedStep()) host::Clock::advanceTo(host::Clock::now() + animationInterval_);
    }
}

// Fast threaded director: a thread of its own hands each frame to the main
// thread and waits for it.
void CCDirectorFastThreaded::startAnimation() {
    host::Clock::gettimeofday(&lastUpdate_);
    isRunning = true;
    if (thread_.joinable()) return;
    thread_ = std::thread([this] { mainLoop(); });
}

void CCDirectorFastThreaded::setAnimationInterval(double) {
    host::log("FastDirector doesn't support setAnimationInterval, yet");
}

void CCDirectorFastThreaded::mainLoop() {
    host::AutoreleasePool pool;
    while (!cancelled) {
        if (isRunning) {
            host::RunLoop::main().performOnMainThread([this] {
                if (isRunning) drawScene();
                if (host::Clock::isFixedStep()) host::Clock::advanceTo(host::Clock::now() + animationInterval_);
            }, true);
        } else {
            usleep(10000);
        }
        if (isPaused_) usleep(250000);
    }
}

CCDirectorFastThreaded::~CCDirectorFastThreaded() {
    cancelled = true;
    if (thread_.joinable()) thread_.join();
}
