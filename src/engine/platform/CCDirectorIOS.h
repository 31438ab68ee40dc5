// The platform director (orientation, content scale, touch hookup, the
// frame body) and the four concrete directors, which differ only in what
// calls drawScene each frame.
#pragma once

#include <atomic>

#include "engine/CCDirector.h"
#include "host/core/Ref.h"
#include "host/core/RunLoop.h"

class CCDirectorIOS : public CCDirector {
public:
    bool init() override;
    void drawScene() override;
    void setProjection(int projection) override;
    void setDeviceOrientation(int orientation);
    int deviceOrientation() const { return deviceOrientation_; }
    CGSize winSize() const override;
    CGSize winSizeInPixels() const override;
    CGPoint convertToGL(CGPoint p) const override;
    CGPoint convertToUI(CGPoint p) const override;
    void setContentScaleFactor(float scale) override;
    bool enableRetinaDisplay(bool enable);
    void updateContentScaleFactor();
    void setOpenGLView(EAGLView* view) override;
    void reshapeProjection(CGSize newWindowSize) override;
    bool isContentScaleSupported() const { return isContentScaleSupported_; }
    // Turns the model-view matrix from the device's portrait surface to the
    // device orientation (what drawScene does before the visit; a grid does
    // it again before drawing its picture).
    void applyOrientation();

protected:
    void endNow() override;
    // Stores the interval and, when a frame source runs, restarts it so the
    // new interval takes effect.
    void restartWithInterval(double interval, bool frameSourceRunning);
    int deviceOrientation_ = kCCDeviceOrientationPortrait;
    bool isContentScaleSupported_ = false;
};

// Each concrete director's sharedDirector() creates an instance of its own
// class when no director exists yet, else returns the existing one.
template <class D> CCDirector* makeSharedDirector() {
    if (CCDirector::hasSharedDirector()) return CCDirector::sharedDirector();
    return CCDirector::installShared(host::createOwned<D>([](D* d) { return d->init(); }));
}

class CCDirectorTimer : public CCDirectorIOS {
public:
    static CCDirector* sharedDirector() { return makeSharedDirector<CCDirectorTimer>(); }
    void startAnimation() override;
    void stopAnimation() override;
    void setAnimationInterval(double interval) override;
    void mainLoop() { drawScene(); }

protected:
    host::Ref<host::Timer> animationTimer;
};

class CCDirectorDisplayLink : public CCDirectorIOS {
public:
    static CCDirector* sharedDirector() { return makeSharedDirector<CCDirectorDisplayLink>(); }
    void startAnimation() override;
    void stopAnimation() override;
    void setAnimationInterval(double interval) override;
    void mainLoop(host::DisplayLink*) { drawScene(); }
    int frameInterval() const;

protected:
    host::Ref<host::DisplayLink> displayLink;
};

class CCDirectorFast : public CCDirectorIOS {
public:
    static CCDirector* sharedDirector() { return makeSharedDirector<CCDirectorFast>(); }
    void startAnimation() override;
    void stopAnimation() override { isRunning = false; }
    void setAnimationInterval(double interval) override;
    void mainLoop();

protected:
    bool isRunning = false;
};

class CCDirectorFastThreaded : public CCDirectorIOS {
public:
    static CCDirector* sharedDirector() { return makeSharedDirector<CCDirectorFastThreaded>(); }
    void startAnimation() override;
    void stopAnimation() override { isRunning = false; }
    void setAnimationInterval(double interval) override;
    void mainLoop();

protected:
    ~CCDirectorFastThreaded() override;
    std::atomic<bool> isRunning{false};
    std::atomic<bool> cancelled{false};
    std::thread thread_;
};
