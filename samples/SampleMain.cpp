// The sample browser: `samples --list`, `samples --sample NAME`, or with
// neither, a list of samples to open by touch or click. It takes the
// flags every executable takes (--headless, --frames, --screenshot, ...).
#include <cstdio>
#include <cstring>
#include <string>

#include "Sample.h"
#include "SampleBrowser.h"
#include "engine/CCDirector.h"
#include "engine/CCScene.h"
#include "engine/CCTexture2D.h"
#include "engine/platform/CCDirectorIOS.h"
#include "engine/platform/EAGLView.h"
#include "host/app/ApplicationMain.h"
#include "host/core/Application.h"
#include "host/core/Device.h"
#include "host/core/Log.h"
#include "host/core/Object.h"
#include "host/core/Options.h"
#include "host/core/Ref.h"
#include "host/ui/View.h"
#include "host/ui/Window.h"

namespace {

std::string gSampleName;
bool gList = false;

class SamplesAppDelegate : public host::Object, public host::ApplicationDelegate {
public:
    void applicationDidFinishLaunching(host::Application*) override {
        const host::Options& o = host::Options::shared();
        srandom(o.hasSeed ? unsigned(o.seed) : unsigned(time(nullptr)));

        window_ = host::Ref<host::Window>::adopt(host::createOwned<host::Window>(
            [](host::Window* w) { return w->initWithFrame(host::Device::current().screenBounds()); }));
        if (!CCDirector::setDirectorType(kCCDirectorTypeDisplayLink)) CCDirector::setDirectorType(kCCDirectorTypeNSTimer);
        auto* director = static_cast<CCDirectorIOS*>(CCDirector::sharedDirector());
        EAGLView* glView = EAGLView::viewWithFrame(window_->bounds(), kEAGLColorFormatRGBA8, 0);
        director->setOpenGLView(glView);
        director->enableRetinaDisplay(true);
        director->setDeviceOrientation(kCCDeviceOrientationLandscapeLeft);
        director->setAnimationInterval(1.0 / 60);
        CCTexture2D::setDefaultAlphaPixelFormat(kCCTexture2DPixelFormat_RGBA8888);
        window_->addSubview(glView);
        window_->makeKeyAndVisible();

        CCScene* first = nullptr;
        if (gSampleName.empty()) {
            first = SampleBrowser::menuScene();
        } else if (const Sample* sample = SampleCatalogue::shared().find(gSampleName)) {
            first = SampleBrowser::sampleScene(*sample, false);
        }
        if (!first) {
            host::log("samples: no sample named \"%s\" (samples --list shows them)", gSampleName.c_str());
            first = SampleBrowser::menuScene();
        }
        director->runWithScene(first);
    }
    void applicationWillResignActive(host::Application*) override { CCDirector::sharedDirector()->pause(); }
    void applicationDidBecomeActive(host::Application*) override { CCDirector::sharedDirector()->resume(); }
    void applicationDidReceiveMemoryWarning(host::Application*) override {
        CCDirector::sharedDirector()->purgeCachedData();
    }
    void applicationDidEnterBackground(host::Application*) override { CCDirector::sharedDirector()->stopAnimation(); }
    void applicationWillEnterForeground(host::Application*) override {
        CCDirector::sharedDirector()->startAnimation();
    }
    void applicationWillTerminate(host::Application*) override {
        CCDirector* director = CCDirector::sharedDirector();
        if (EAGLView* view = director->openGLView()) view->removeFromSuperview();
        window_.reset();
        director->end();
    }
    void applicationSignificantTimeChange(host::Application*) override {
        CCDirector::sharedDirector()->setNextDeltaTimeZero(true);
    }

protected:
    ~SamplesAppDelegate() override {
        if (CCDirector::hasSharedDirector()) CCDirector::sharedDirector()->end();
    }

private:
    host::Ref<host::Window> window_;
};

HOST_REGISTER_DELEGATE(SamplesAppDelegate);

}  // namespace

int main(int argc, char** argv) {
    host::setExtraFlags([](host::CommandLine& cl) {
        cl.addFlag("--list", &gList, "print the samples and exit");
        cl.addString("--sample", &gSampleName, "open this sample instead of the list");
    });
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--list") != 0) continue;
        for (const Sample& s : SampleCatalogue::shared().samples()) std::printf("%-14s %s\n", s.name.c_str(), s.title.c_str());
        return 0;
    }
    int result;
    {
        host::AutoreleasePool pool;
        result = host::ApplicationMain(argc, argv, host::ApplicationContext("Tiltboard Samples"), "SamplesAppDelegate");
    }
    return result;
}
