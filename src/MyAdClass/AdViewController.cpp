#include "MyAdClass/AdViewController.h"

#include <atomic>
#include <thread>

#include "MyAdClass/PromotionSettings.h"
#include "MyAdClass/QBHouse.h"
#include "host/core/Device.h"
#include "host/core/Error.h"
#include "host/core/Log.h"
#include "host/core/NotificationCenter.h"
#include "host/core/RunLoop.h"
#include "host/data/UserDefaults.h"
#include "host/net/HTTP.h"

namespace {

std::atomic<int>& configurationDownloads() {
    static std::atomic<int> count{0};
    return count;
}

bool isTablet() { return host::Device::current().userInterfaceIdiom() == 1; }

const char* apexAdUnitID() { return isTablet() ? "a15b00c7d2e9f31" : "a15b00c6e8f1a42"; }

const char* meridianPublisherID() {
    return isTablet() ? "5d1e8a0c7b39f2a64e0d1c3b5a7f9e82" : "9a7c3e1f5b0d2486c8e4a6f0b2d19c3e";
}

// An array of strings as the platform prints one: "(\n    m,\n    a\n)".
std::string describeSchedule(const std::vector<std::string>& schedule) {
    std::string out = "(";
    for (size_t i = 0; i < schedule.size(); ++i) out += (i ? ",\n    " : "\n    ") + schedule[i];
    return out + "\n)";
}

}  // namespace

CGSize AdViewController::bannerSize() { return isTablet() ? CGSizeMake(728, 90) : CGSizeMake(320, 50); }

std::vector<std::string> AdViewController::builtInSchedule() { return {"m", "a", "m", "a"}; }

void AdViewController::start() {
    const host::PlistValue stored = host::UserDefaults::standardUserDefaults().objectForKey(kAdConfigurationKey);
    if (stored.isDictionary()) {
        (void)stored["isiAdAllowed"].asInt();  // read as the configuration has it; nothing depends on it
        std::vector<std::string> schedule;
        if (const host::PlistValue::Array* entries = stored["adString"].array())
            for (const host::PlistValue& entry : *entries) schedule.push_back(entry.asString());
        setArraySche(std::move(schedule));
    } else {
        setArraySche(builtInSchedule());
    }
    host::logLine(describeSchedule(arraySche_));

    ++configurationDownloads();
    std::thread([] {
        downloadData();
        --configurationDownloads();
    }).detach();

    const CGSize size = bannerSize();
    setFrame(CGRectMake(0, 0, size.width, size.height));
    // The interface orientation's screen: the slot sits on its top edge,
    // flush with its right edge.
    setCenter(CGPointMake(host::interfaceBounds().size.width - size.width / 2, size.height / 2));
    setBackgroundColor(host::Color::clearColor());

    startNewAd();

    // The house advert fills the slot. It takes the slot's own rectangle:
    // the slot's frame is in the superview's coordinates, and its origin is
    // not zero on a landscape screen.
    QBHouse* house = host::createOwned<QBHouse>([this](QBHouse* h) { return h->initWithFrame(bounds()); });
    if (!house) return;
    house->go();
    house->setAutoresizingMask(host::kAutoresizingFlexibleBottomMargin);
    slideInSubview(house);
    house->release();
    thisHouse_ = house;
    isHouseShowing_ = true;
}

int AdViewController::downloadsInFlight() { return configurationDownloads().load(); }

void AdViewController::downloadData() {
    host::AutoreleasePool pool;
    const std::string url = PromotionSettings::shared().adConfigurationFeedURL();
    if (url.empty()) {
        host::log("ads: no feed server; the advert configuration is not downloaded");
        return;
    }
    host::PlistValue feed = host::HTTP::downloadDictionary(url);
    if (!feed.isDictionary()) return;
    host::UserDefaults& defaults = host::UserDefaults::standardUserDefaults();
    const host::PlistValue& configuration = feed["Dict"];
    if (configuration.isNone())
        defaults.removeObjectForKey(kAdConfigurationKey);
    else
        defaults.setObject(configuration, kAdConfigurationKey);
    defaults.synchronize();
}

void AdViewController::startNewAd() {
    if (static_cast<size_t>(index_) + 1 > arraySche_.size()) {
        index_ = 0;
        host::RunLoop::main().performAfterDelay(this, kScheduleRestartDelay, [this] { startNewAd(); });
        return;
    }
    const std::string& entry = arraySche_[index_];
    if (entry == "a")
        startApex();
    else if (entry == "m")
        startMeridian();
    ++index_;
}

void AdViewController::startApex() {
    takeDownApex();  // never leave an old banner reporting to us
    const CGSize size = bannerSize();
    apexBannerView_ = host::Ref<APXBannerView>::adopt(host::createOwned<APXBannerView>(
        [&](APXBannerView* b) { return b->initWithFrame(CGRectMake(0, 0, size.width, size.height)); }));
    if (!apexBannerView_) return;
    apexBannerView_->setAdUnitID(apexAdUnitID());
    APXRequest* request = APXRequest::request();
    request->setTestDevices({"Simulator"});
    apexBannerView_->setRootViewController(currentViewController_);
    apexBannerView_->loadRequest(request);
    apexBannerView_->setDelegate(this);
    apexBannerView_->setUserInteractionEnabled(true);
}

void AdViewController::startMeridian() {
    takeDownMeridian();
    const CGSize size = bannerSize();
    meridianBannerView_ = host::Ref<MeridianBannerView>::adopt(host::createOwned<MeridianBannerView>(
        [&](MeridianBannerView* b) { return b->initWithFrame(CGRectMake(0, 0, size.width, size.height)); }));
    if (!meridianBannerView_) return;
    meridianBannerView_->setBackgroundColor(host::Color::clearColor());
    meridianBannerView_->setRefreshAnimation(host::kAnimationOptionTransitionCurlDown);
    meridianBannerView_->setDelegate(this);
}

std::string AdViewController::publisherIdForMeridianBannerView(MeridianBannerView*) { return meridianPublisherID(); }

void AdViewController::adViewDidReceiveAd(APXBannerView* banner) {
    host::log("Apex: Did receive ad");
    if (isApexUp_) return;  // a refresh of the banner already shown
    houseNone();
    isApexUp_ = true;
    slideInSubview(banner);
}

void AdViewController::meridianBannerViewDidLoadMeridianAd(MeridianBannerView* banner) {
    host::log("Meridian: Did receive ad");
    if (isMobUp_) return;
    houseNone();
    isMobUp_ = true;
    slideInSubview(banner);
}

void AdViewController::adViewDidFailToReceiveAdWithError(APXBannerView*, host::Error*) {
    isApexUp_ = false;
    host::log("Apex: Did fail to receive ad");
    takeDownApex();
    startNewAd();
}

void AdViewController::meridianBannerViewDidFailToReceiveAdWithError(MeridianBannerView*, host::Error* error) {
    host::log("Meridian: Did fail to receive ad, %s", error ? error->localizedDescription().c_str() : "(null)");
    isMobUp_ = false;
    takeDownMeridian();
    startNewAd();
}

// The banner that calls back may be taken down from inside its own
// callback: it stays alive until the end of this run-loop turn.
void AdViewController::takeDownApex() {
    isApexUp_ = false;
    if (!apexBannerView_) return;
    apexBannerView_->setDelegate(nullptr);
    apexBannerView_->setRootViewController(nullptr);
    apexBannerView_->removeFromSuperview();
    host::autorelease(host::retain(apexBannerView_.get()));
    apexBannerView_.reset();
}

void AdViewController::takeDownMeridian() {
    isMobUp_ = false;
    if (!meridianBannerView_) return;
    meridianBannerView_->setDelegate(nullptr);
    meridianBannerView_->removeFromSuperview();
    host::autorelease(host::retain(meridianBannerView_.get()));
    meridianBannerView_.reset();
}

void AdViewController::houseNone() {
    if (isApexUp_) {
        takeDownApex();
    } else if (isMobUp_) {
        takeDownMeridian();
    }
    if (isHouseShowing_) {
        isHouseShowing_ = false;
        host::RunLoop::main().cancelPreviousPerformRequests(thisHouse_);
        thisHouse_ = nullptr;
    }
    while (!subviews().empty()) subviews().back()->removeFromSuperview();
}

void AdViewController::addSubviewAtBottom(host::View* v) {
    const CGRect f = v->frame();
    v->setFrame(CGRectMake(f.origin.x, bounds().size.height - f.size.height, f.size.width, f.size.height));
    addSubview(v);
}

void AdViewController::addSubviewOutsideAtBottom(host::View* v) {
    addSubviewAtBottom(v);
    v->setTransform(CGAffineTransformMakeTranslation(0, v->bounds().size.height));
}

void AdViewController::slideInSubview(host::View* v) {
    addSubviewOutsideAtBottom(v);
    host::View::beginAnimations("", v);
    host::View::setAnimationDelegate(this);
    host::View::setAnimationDidStopSelector(cc_selector(AdViewController::slideInDidStop));
    host::NotificationCenter::defaultCenter().postNotificationName(kBannerWillSlideInNotification);
    v->setTransform(CGAffineTransformIdentity);
    host::View::commitAnimations();
}

void AdViewController::slideInDidStop(const std::string&, bool, void*) {}

AdViewController::~AdViewController() {
    host::RunLoop::main().cancelPreviousPerformRequests(this);
    if (apexBannerView_) {
        apexBannerView_->setDelegate(nullptr);
        apexBannerView_->setRootViewController(nullptr);
    }
    // A Meridian request in flight would report to a freed delegate.
    if (meridianBannerView_) meridianBannerView_->setDelegate(nullptr);
}
