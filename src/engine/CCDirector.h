// The director: owns the GL view, the scene stack and the frame loop.
#pragma once

#include <sys/time.h>

#include <thread>

#include "engine/ccTypes.h"
#include "host/core/Object.h"
#include "host/core/Ref.h"

class CCScene;
class CCNode;
class CCArray;
class CCLabelAtlas;
class EAGLView;

// Projection kinds.
enum ccDirectorProjection {
    kCCDirectorProjection2D = 0,
    kCCDirectorProjection3D = 1,
    kCCDirectorProjectionCustom = 2,
    kCCDirectorProjectionDefault = kCCDirectorProjection3D,
};

// Director types for setDirectorType.
enum ccDirectorType {
    kCCDirectorTypeNSTimer = 0,
    kCCDirectorTypeMainLoop = 1,
    kCCDirectorTypeThreadMainLoop = 2,
    kCCDirectorTypeDisplayLink = 3,
    kCCDirectorTypeDefault = kCCDirectorTypeNSTimer,
};

// Device orientations.
enum ccDeviceOrientation {
    kCCDeviceOrientationPortrait = 1,
    kCCDeviceOrientationPortraitUpsideDown = 2,
    kCCDeviceOrientationLandscapeLeft = 3,
    kCCDeviceOrientationLandscapeRight = 4,
};

class CCProjectionProtocol {
public:
    virtual ~CCProjectionProtocol() = default;
    virtual void updateProjection() = 0;
};

class CCDirector : public host::Object {
public:
    // The shared director; created as a CCDirectorTimer when none exists.
    static CCDirector* sharedDirector();
    // Chooses the concrete director; false (creating nothing) for the
    // display-link type on a system older than 3.1.
    static bool setDirectorType(int type);
    // Used by the concrete classes' sharedDirector(): installs `d` as the
    // shared director unless one exists already, and returns the shared one.
    static CCDirector* installShared(CCDirector* d);
    static bool hasSharedDirector();

    virtual bool init();

    // Scene stack.
    void runWithScene(CCScene* scene);
    void pushScene(CCScene* scene);
    void replaceScene(CCScene* scene);
    void popScene();
    // Ends the director: the running scene exits, the stack empties, the
    // frame source stops and the shared caches, scheduler and action manager
    // are purged. Asked for inside a frame (from a timer, an action or a
    // scene callback), it happens once that frame is over, so nothing is
    // torn down under the lists being walked; scene changes asked for in
    // the meantime are ignored (and logged).
    void end();
    // An end asked for during the current frame and not carried out yet.
    bool isEnding() const { return endRequested_; }

    // Frame control.
    virtual void startAnimation() {}
    virtual void stopAnimation() {}
    virtual void setAnimationInterval(double interval) { (void)interval; }
    double animationInterval() const { return animationInterval_; }
    void pause();
    void resume();
    virtual void drawScene() {}
    void calculateDeltaTime();
    void setNextDeltaTimeZero(bool v) { nextDeltaTimeZero_ = v; }
    bool nextDeltaTimeZero() const { return nextDeltaTimeZero_; }
    void setDisplayFPS(bool v) { displayFPS_ = v; }
    bool displayFPS() const { return displayFPS_; }
    // Counts the frame, refreshes the label's text at most every 0.1 s and
    // draws the label at the origin of the (rotated) frame.
    void showFPS();
    // Frames per second at the last refresh, and the label showing it (made
    // by setGLDefaultValues; nullptr when its image cannot be loaded).
    float frameRate() const { return frameRate_; }
    CCLabelAtlas* FPSLabel() const { return FPSLabel_.get(); }
    void showProfilers() {}

    // Geometry.
    virtual CGSize winSize() const { return winSizeInPoints_; }
    virtual CGSize winSizeInPixels() const { return winSizeInPixels_; }
    CGSize displaySizeInPixels() const { return winSizeInPixels_; }
    virtual CGPoint convertToGL(CGPoint) const { return CGPointZero; }
    virtual CGPoint convertToUI(CGPoint) const { return CGPointZero; }
    float contentScaleFactor() const;
    virtual void setContentScaleFactor(float scale) { (void)scale; }
    virtual void reshapeProjection(CGSize newWindowSize);
    virtual void setProjection(int projection) { projection_ = projection; }
    int projection() const { return projection_; }
    float getZEye() const;

    // GL state.
    void setGLDefaultValues();
    void setAlphaBlending(bool on);
    void setDepthTest(bool on);

    virtual void setOpenGLView(EAGLView* view);
    EAGLView* openGLView() const { return openGLView_; }
    void purgeCachedData();
    CCScene* runningScene() const;
    CCNode* notificationNode() const;
    void setNotificationNode(CCNode* node);
    CCProjectionProtocol* projectionDelegate() const { return projectionDelegate_; }
    void setProjectionDelegate(CCProjectionProtocol* d) { projectionDelegate_ = d; }
    bool isPaused() const { return isPaused_; }
    bool sendCleanupToScene() const { return sendCleanupToScene_; }
    std::thread::id runningThread() const { return runningThread_; }
    unsigned frames() const { return frames_; }
    ccTime deltaTime() const { return dt; }
    unsigned sceneStackDepth() const;

protected:
    CCDirector();
    ~CCDirector() override;
    void setNextScene();
    // The steps of end(), carried out at once.
    virtual void endNow();

    // Marks the extent of one frame (drawScene may nest): an end asked for
    // inside it is carried out when the outermost frame closes.
    class FrameInProgress {
    public:
        explicit FrameInProgress(CCDirector* director);
        ~FrameInProgress();
        FrameInProgress(const FrameInProgress&) = delete;
        FrameInProgress& operator=(const FrameInProgress&) = delete;

    private:
        CCDirector* director_;
    };

    host::Ref<EAGLView> openGLView_;
    double animationInterval_ = 1.0 / 60;
    double oldAnimationInterval_ = 1.0 / 60;
    bool displayFPS_ = false;
    unsigned frames_ = 0;
    float accumDt_ = 0;
    float frameRate_ = 0;
    host::Ref<CCLabelAtlas> FPSLabel_;
    bool isPaused_ = false;
    host::Ref<CCScene> runningScene_;
    host::Ref<CCNode> notificationNode_;
    CCScene* nextScene_ = nullptr;
    bool sendCleanupToScene_ = false;
    host::Ref<CCArray> scenesStack_;
    struct timeval lastUpdate_ {};
    ccTime dt = 0;
    bool nextDeltaTimeZero_ = false;
    int projection_ = kCCDirectorProjectionDefault;
    CCProjectionProtocol* projectionDelegate_ = nullptr;
    CGSize winSizeInPoints_{0, 0};
    CGSize winSizeInPixels_{0, 0};
    std::thread::id runningThread_;

private:
    // True (after one log line) when a scene change comes while an end is
    // pending.
    bool ignoredWhileEnding(const char* operation) const;

    unsigned framesInProgress_ = 0;
    bool endRequested_ = false;
};
