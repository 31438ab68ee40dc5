#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "GLTestEnvironment.h"
#include "LogCapture.h"
#include "engine/CCActionInstant.h"
#include "engine/CCActionInterval.h"
#include "engine/CCActionManager.h"
#include "engine/CCConfiguration.h"
#include "engine/CCContentScale.h"
#include "engine/CCScene.h"
#include "engine/CCScheduler.h"
#include "engine/platform/CCDirectorIOS.h"
#include "engine/platform/CCTouchDispatcher.h"
#include "engine/platform/EAGLView.h"
#include "host/core/Application.h"
#include "host/core/Clock.h"
#include "host/core/Device.h"
#include "host/ui/Touch.h"

namespace {

std::vector<std::string> gEvents;

// A scene that records its life cycle under a name.
class RecordingScene : public CCScene {
public:
    static RecordingScene* make(const std::string& name, bool transition = false) {
        RecordingScene* s = host::create<RecordingScene>();
        s->name_ = name;
        s->transition_ = transition;
        return s;
    }
    void onEnter() override { gEvents.push_back(name_ + ".onEnter"); CCScene::onEnter(); }
    void onEnterTransitionDidFinish() override {
        gEvents.push_back(name_ + ".didFinish");
        CCScene::onEnterTransitionDidFinish();
    }
    void onExit() override { gEvents.push_back(name_ + ".onExit"); CCScene::onExit(); }
    void cleanup() override { gEvents.push_back(name_ + ".cleanup"); CCScene::cleanup(); }
    bool isTransitionScene() const override { return transition_; }

private:
    std::string name_;
    bool transition_ = false;
};

class DirectorTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(ensureHeadlessDisplay());
        gEvents.clear();
        director_ = static_cast<CCDirectorIOS*>(CCDirectorTimer::sharedDirector());
        director_->setOpenGLView(EAGLView::viewWithFrame(CGRectMake(0, 0, 320, 480)));
    }
    void TearDown() override {
        director_->end();
        pool_.drain();
    }
    // One frame, then the turn's pool drains as the run loop would.
    void frame() {
        director_->drawScene();
        pool_.drain();
    }
    host::AutoreleasePool pool_;
    CCDirectorIOS* director_ = nullptr;
};

TEST_F(DirectorTest, SceneChangesTakeEffectAtTheNextFrame) {
    director_->pushScene(RecordingScene::make("A"));
    EXPECT_EQ(director_->runningScene(), nullptr);
    frame();
    EXPECT_EQ(gEvents, (std::vector<std::string>{"A.onEnter", "A.didFinish"}));
}

TEST_F(DirectorTest, PushThenPopPausesAndResumesTheCoveredScene) {
    director_->pushScene(RecordingScene::make("A"));
    frame();
    gEvents.clear();
    director_->pushScene(RecordingScene::make("B"));
    frame();
    EXPECT_EQ(gEvents, (std::vector<std::string>{"A.onExit", "B.onEnter", "B.didFinish"}));
    gEvents.clear();
    director_->popScene();
    frame();
    EXPECT_EQ(gEvents, (std::vector<std::string>{"B.onExit", "B.cleanup", "A.onEnter", "A.didFinish"}));
}

TEST_F(DirectorTest, ReplacingThroughATransitionKeepsTheOutgoingSceneRunning) {
    director_->pushScene(RecordingScene::make("A"));
    frame();
    gEvents.clear();
    director_->replaceScene(RecordingScene::make("T", true));
    frame();
    EXPECT_EQ(gEvents, (std::vector<std::string>{"T.onEnter", "T.didFinish"}));
    gEvents.clear();
    // The transition hands over to its incoming scene, which it already
    // entered itself.
    director_->replaceScene(RecordingScene::make("B"));
    frame();
    EXPECT_EQ(gEvents, (std::vector<std::string>{"T.onExit", "T.cleanup"}));
    EXPECT_EQ(director_->sceneStackDepth(), 1u);
}

TEST_F(DirectorTest, PoppingTheLastSceneEndsTheDirector) {
    director_->pushScene(RecordingScene::make("A"));
    frame();
    director_->popScene();
    EXPECT_EQ(director_->runningScene(), nullptr);
    EXPECT_EQ(director_->openGLView(), nullptr);
    EXPECT_EQ(gEvents.back(), "A.cleanup");
}

// A node that ends the director from a timer or from a call action, and
// notes what it saw right after asking.
class Quitter : public CCNode {
public:
    static Quitter* make(const std::string& name) {
        Quitter* q = host::create<Quitter>([](Quitter* n) { return n->init(); });
        q->name_ = name;
        return q;
    }
    void quitFromTimer(ccTime) { quit(); }
    void quit() {
        CCScheduler* scheduler = CCScheduler::sharedScheduler();
        CCActionManager* manager = CCActionManager::sharedManager();
        CCDirector* director = CCDirector::sharedDirector();
        director->popScene();
        gEvents.push_back(name_ + ".quit");
        // Nothing is torn down under the walk that called us.
        stillRunning = director->runningScene() != nullptr && director->openGLView() != nullptr;
        sameScheduler = CCScheduler::sharedScheduler() == scheduler;
        sameManager = CCActionManager::sharedManager() == manager;
        // A second end and further scene changes wait for the first.
        director->end();
        director->pushScene(RecordingScene::make("late"));
    }
    void note(ccTime) { gEvents.push_back(name_ + ".tick"); }
    void noteCall() { gEvents.push_back(name_ + ".call"); }
    bool stillRunning = false, sameScheduler = false, sameManager = false;

private:
    std::string name_;
};

// Ends the director from inside the frame through `start`, with a
// bystander registered after the quitter, and checks that the frame's
// walk finished before the end tore anything down.
void expectEndAfterTheWalk(CCDirectorIOS* director, const std::function<void(Quitter*, Quitter*)>& start,
                           const std::function<void()>& frame, const char* bystanderEvent) {
    RecordingScene* scene = RecordingScene::make("A");
    Quitter* quitter = Quitter::make("q");
    Quitter* bystander = Quitter::make("b");
    scene->addChild(quitter);
    scene->addChild(bystander);
    host::Ref<Quitter> keep = quitter;
    director->pushScene(scene);
    start(quitter, bystander);
    host::Clock::setFixedStep(true);  // 1/60 s a frame
    frame();                          // enters the scene
    for (int i = 0; i < 5 && director->runningScene(); ++i) frame();
    host::Clock::setFixedStep(false);

    EXPECT_TRUE(keep->stillRunning) << "the end came before the frame's walk was over";
    EXPECT_TRUE(keep->sameScheduler);
    EXPECT_TRUE(keep->sameManager);
    EXPECT_EQ(director->runningScene(), nullptr);
    EXPECT_EQ(director->openGLView(), nullptr);
    EXPECT_EQ(director->sceneStackDepth(), 0u) << "the scene pushed while ending was ignored";
    EXPECT_FALSE(director->isEnding());
    // The bystander still ran in the frame that asked for the end, and the
    // scene left only after that.
    const auto quit = std::find(gEvents.begin(), gEvents.end(), "q.quit");
    ASSERT_NE(quit, gEvents.end());
    const auto ran = std::find(quit, gEvents.end(), bystanderEvent);
    const auto exit = std::find(quit, gEvents.end(), "A.onExit");
    EXPECT_LT(ran, exit);
    ASSERT_NE(exit, gEvents.end());
    EXPECT_EQ(*(exit + 1), "A.cleanup");
    // The scheduler and the action manager of the next run work.
    Quitter* later = Quitter::make("later");
    later->onEnter();
    later->schedule(schedule_selector(Quitter::note));
    later->runAction(CCCallFunc::actionWithTarget(later, callfunc_selector(Quitter::noteCall)));
    CCScheduler::sharedScheduler()->tick(0.1f);
    EXPECT_EQ(gEvents.back(), "later.tick");
    EXPECT_NE(std::find(gEvents.begin(), gEvents.end(), "later.call"), gEvents.end());
    later->onExit();
    later->cleanup();
}

TEST_F(DirectorTest, EndingFromATimerWaitsUntilTheFrameIsOver) {
    LogCapture log;
    expectEndAfterTheWalk(
        director_,
        [](Quitter* q, Quitter* b) {
            q->schedule(schedule_selector(Quitter::quitFromTimer));
            b->schedule(schedule_selector(Quitter::note));
        },
        [this] { frame(); }, "b.tick");
    EXPECT_NE(log.joined().find("Director: pushScene ignored: the director is ending"), std::string::npos)
        << log.joined();
}

TEST_F(DirectorTest, EndingFromACallAtTheEndOfASequenceWaitsUntilTheFrameIsOver) {
    expectEndAfterTheWalk(
        director_,
        [](Quitter* q, Quitter* b) {
            q->runAction(CCSequence::actions(CCDelayTime::actionWithDuration(0.01f),
                                             CCCallFunc::actionWithTarget(q, callfunc_selector(Quitter::quit)),
                                             nullptr));
            b->runAction(CCSequence::actions(CCDelayTime::actionWithDuration(0.01f),
                                             CCCallFunc::actionWithTarget(b, callfunc_selector(Quitter::noteCall)),
                                             nullptr));
        },
        [this] { frame(); }, "b.call");
}

TEST_F(DirectorTest, DeltaTimeIsZeroAfterRequestsAndPauseHoldsTheOldInterval) {
    host::Clock::setFixedStep(true);
    director_->pushScene(RecordingScene::make("A"));
    frame();
    frame();
    EXPECT_FLOAT_EQ(director_->deltaTime(), 1.0f / 60);
    director_->setNextDeltaTimeZero(true);
    frame();
    EXPECT_EQ(director_->deltaTime(), 0.0f);

    director_->pause();
    director_->pause();
    EXPECT_DOUBLE_EQ(director_->animationInterval(), 0.25);
    director_->resume();
    EXPECT_DOUBLE_EQ(director_->animationInterval(), 1.0 / 60);
    EXPECT_EQ(director_->deltaTime(), 0.0f);
    host::Clock::setFixedStep(false);
}

TEST_F(DirectorTest, LandscapeOrientationSwapsTheWindowAndConvertsTouches) {
    director_->setDeviceOrientation(kCCDeviceOrientationLandscapeLeft);
    EXPECT_EQ(director_->winSize().width, 480);
    EXPECT_EQ(director_->winSize().height, 320);
    CGPoint gl = director_->convertToGL(CGPointMake(10, 20));
    EXPECT_EQ(gl.x, 20);
    EXPECT_EQ(gl.y, 10);
    director_->setDeviceOrientation(kCCDeviceOrientationLandscapeRight);
    gl = director_->convertToGL(CGPointMake(10, 20));
    EXPECT_EQ(gl.x, 460);
    EXPECT_EQ(gl.y, 310);
    director_->setDeviceOrientation(kCCDeviceOrientationPortrait);
    CGPoint ui = director_->convertToUI(CGPointMake(10.5f, 20.5f));
    EXPECT_EQ(ui.y, 459);  // truncated
    director_->setDeviceOrientation(7);
    EXPECT_EQ(director_->convertToGL(CGPointMake(3, 4)).x, 0);
    director_->setDeviceOrientation(kCCDeviceOrientationPortrait);
}

TEST_F(DirectorTest, RetinaNeedsADoubleResolutionScreen) {
    host::Device::current().configure(false, false, "");
    EXPECT_FALSE(director_->enableRetinaDisplay(true));
    EXPECT_EQ(__ccContentScaleFactor, 1.0f);
    host::Device::current().configure(false, true, "");
    EXPECT_TRUE(director_->enableRetinaDisplay(true));
    EXPECT_EQ(director_->winSize().width, 320);
    EXPECT_EQ(director_->winSizeInPixels().width, 640);
    EXPECT_TRUE(director_->enableRetinaDisplay(false));
    host::Device::current().configure(false, false, "");
}

TEST(DirectorType, DisplayLinkNeedsSystemThreePointOne) {
    // A director already exists in this process; the version check comes
    // first and creates nothing when it fails.
    host::Device::current().setSystemVersion("3.0.1");
    EXPECT_FALSE(CCDirector::setDirectorType(kCCDirectorTypeDisplayLink));
    host::Device::current().setSystemVersion("3.10");
    EXPECT_TRUE(CCDirector::setDirectorType(kCCDirectorTypeDisplayLink));
    host::Device::current().setSystemVersion("4.3");
}

TEST(Configuration, VersionsAndExtensionNames) {
    EXPECT_EQ(CCConfiguration::parseOSVersion("4.3"), 0x04030000u);
    EXPECT_EQ(CCConfiguration::parseOSVersion("3.1.3"), 0x03010300u);
    std::string list = "GL_OES_point_sprite GL_EXT_discard_framebuffer";
    EXPECT_TRUE(CCConfiguration::extensionListContains(list, "GL_EXT_discard_framebuffer"));
    EXPECT_FALSE(CCConfiguration::extensionListContains(list, "GL_OES_point"));
    EXPECT_FALSE(CCConfiguration::extensionListContains(list, "GL_EXT_discard"));
}

TEST(Configuration, ReadsTheRealContext) {
    ASSERT_TRUE(ensureHeadlessDisplay());
    CCConfiguration* c = CCConfiguration::sharedConfiguration();
    EXPECT_GE(c->maxTextureSize(), 1024);
    EXPECT_GT(c->maxModelviewStackDepth(), 0);
}

}  // namespace

namespace {

// A targeted delegate that records where touches land in GL space.
class TouchRecorder : public host::Object, public CCTargetedTouchDelegate {
public:
    bool ccTouchBegan(host::Touch* t, host::Event*) override {
        began = director->convertToGL(t->locationInView(t->view()));
        return true;
    }
    void ccTouchEnded(host::Touch* t, host::Event*) override {
        ended = director->convertToGL(t->locationInView(t->view()));
    }
    int implementedTouchCallbacks() const override { return 1 | 4; }
    CCDirector* director = nullptr;
    CGPoint began{-1, -1}, ended{-1, -1};
};

TEST_F(DirectorTest, AClickAtAnInterfacePointLandsThereInLandscapeGLSpace) {
    director_->setDeviceOrientation(kCCDeviceOrientationLandscapeLeft);
    host::Ref<TouchRecorder> rec = host::Ref<TouchRecorder>::adopt(new TouchRecorder);
    rec->director = director_;
    CCTouchDispatcher::sharedDispatcher()->addTargetedDelegate(rec.get(), -128, true);
    host::Application* app = host::Application::sharedApplication();
    // Interface points have their origin at the top left as the player
    // sees the landscape screen; GL space has it at the bottom left.
    app->deliverPointer(-1, host::TouchPhase::Began, 10, 20, 0);
    app->deliverPointer(-1, host::TouchPhase::Ended, 470, 300, 0.1);
    EXPECT_FLOAT_EQ(rec->began.x, 10);
    EXPECT_FLOAT_EQ(rec->began.y, 300);
    EXPECT_FLOAT_EQ(rec->ended.x, 470);
    EXPECT_FLOAT_EQ(rec->ended.y, 20);
    CCTouchDispatcher::sharedDispatcher()->removeDelegate(static_cast<host::Object*>(rec.get()));
    director_->setDeviceOrientation(kCCDeviceOrientationPortrait);
}

}  // namespace
