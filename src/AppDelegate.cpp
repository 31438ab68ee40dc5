#include "AppDelegate.h"

#include <cstdlib>
#include <ctime>
#include <string>

#include "AutoPlayer.h"
#include "GameOptions.h"
#include "MainMenu.h"
#include "MyAdClass/QBDownloader.h"
#include "engine/CCDirector.h"
#include "engine/CCTexture2D.h"
#include "engine/platform/CCDirectorIOS.h"
#include "engine/platform/EAGLView.h"
#include "host/core/Bundle.h"
#include "host/core/Device.h"
#include "host/core/Log.h"
#include "host/core/Options.h"
#include "host/data/UserDefaults.h"
#include "host/display/AccelerometerInput.h"
#include "host/display/WindowIcon.h"
#include "host/ui/Window.h"

HOST_REGISTER_DELEGATE(AppDelegate);

void AppDelegate::applicationDidFinishLaunching(host::Application*) {
    GameOptions::shared().applyServerSettings();
    QBDownloader::shared()->startUpdates();

    const host::Options& o = host::Options::shared();
    srandom(o.hasSeed ? static_cast<unsigned>(o.seed) : static_cast<unsigned>(time(nullptr)));

    CGRect screen = host::Device::current().screenBounds();
    window_ = host::Ref<host::Window>::adopt(
        host::createOwned<host::Window>([&](host::Window* w) { return w->initWithFrame(screen); }));

    if (!CCDirector::setDirectorType(kCCDirectorTypeDisplayLink)) CCDirector::setDirectorType(kCCDirectorTypeNSTimer);
    auto* director = static_cast<CCDirectorIOS*>(CCDirector::sharedDirector());

    viewController_ = host::Ref<RootViewController>::adopt(host::createOwned<RootViewController>(
        [](RootViewController* c) { return c->initWithNibName(nullptr, nullptr); }));
    viewController_->setWantsFullScreenLayout(true);

    EAGLView* glView = EAGLView::viewWithFrame(window_->bounds(), kEAGLColorFormatRGB565, 0);
    director->setOpenGLView(glView);
    director->enableRetinaDisplay(true);
    director->setDeviceOrientation(kCCDeviceOrientationLandscapeLeft);
    director->setAnimationInterval(1.0 / 60);
    director->setDisplayFPS(false);

    viewController_->setView(glView);
    window_->addSubview(viewController_->view());
    window_->makeKeyAndVisible();
    const std::string icon = host::Bundle::main().pathForResource("Icon", "png", "");
    if (icon.empty())
        host::log("game: the window icon Icon.png is missing");
    else
        host::setWindowIcon(icon);

    CCTexture2D::setDefaultAlphaPixelFormat(kCCTexture2DPixelFormat_RGBA8888);
    removeStartupFlicker();

    adview_ = host::createOwned<AdViewController>([](AdViewController* a) { return a->initWithFrame(CGRectZero); });
    if (adview_) {
        viewController_->view()->addSubview(adview_);
        adview_->setCurrentViewController(viewController_);
        adview_->start();
        adview_->release();
    }

    MainMenu* menu = MainMenu::node();
    if (!menu) {
        host::log("game: the main menu cannot be built; giving up");
        host::Application::sharedApplication()->terminate();
        return;
    }
    director->runWithScene(menu);
    startPlayer();
}

void AppDelegate::startPlayer() {
    if (GameOptions::shared().autoplay) {
        autoPlayer_ = AutoPlayer::autoPlayer();
        autoPlayer_->start();
    } else {
        host::AccelerometerInput::shared().start();
    }
}

void AppDelegate::stopPlayer() {
    if (autoPlayer_) autoPlayer_->stop();
    autoPlayer_.reset();
    host::AccelerometerInput::shared().stop();
}

void AppDelegate::applicationWillResignActive(host::Application*) { CCDirector::sharedDirector()->pause(); }
void AppDelegate::applicationDidBecomeActive(host::Application*) { CCDirector::sharedDirector()->resume(); }
void AppDelegate::applicationDidReceiveMemoryWarning(host::Application*) {
    CCDirector::sharedDirector()->purgeCachedData();
}

void AppDelegate::applicationDidEnterBackground(host::Application*) {
    host::UserDefaults::standardUserDefaults().synchronize();
    CCDirector::sharedDirector()->stopAnimation();
}

void AppDelegate::applicationWillEnterForeground(host::Application*) { CCDirector::sharedDirector()->startAnimation(); }

void AppDelegate::applicationWillTerminate(host::Application*) {
    stopPlayer();
    host::UserDefaults::standardUserDefaults().synchronize();
    CCDirector* director = CCDirector::sharedDirector();
    if (EAGLView* view = director->openGLView()) view->removeFromSuperview();
    adview_ = nullptr;  // it goes with the GL view
    viewController_.reset();
    window_.reset();
    director->end();
}

void AppDelegate::applicationSignificantTimeChange(host::Application*) {
    CCDirector::sharedDirector()->setNextDeltaTimeZero(true);
}

AppDelegate::~AppDelegate() {
    stopPlayer();
    host::UserDefaults::standardUserDefaults().synchronize();
    if (CCDirector::hasSharedDirector()) CCDirector::sharedDirector()->end();
    window_.reset();
}
