#include "adnetworks/APXBannerView.h"

#include <cstdint>

#include "adnetworks/ApexSettings.h"
#include "host/core/Application.h"
#include "host/core/Log.h"

namespace {

// What a held touch lays over the advert: black at about a third.
host::Image* pressedShade() {
    const uint8_t shade[4] = {0, 0, 0, 90};
    return host::Image::imageWithPixels(shade, 1, 1, 4);
}

}  // namespace

bool APXBannerView::initWithFrame(CGRect frame) {
    if (!View::initWithFrame(frame)) return false;
    setBackgroundColor(host::Color::clearColor());
    setOpaque(false);
    const unsigned fill = host::kAutoresizingFlexibleWidth | host::kAutoresizingFlexibleHeight;

    imageView_ = host::Ref<host::ImageView>::adopt(
        host::createOwned<host::ImageView>([this](host::ImageView* v) { return v->initWithFrame(bounds()); }));
    tapButton_ = host::Button::buttonWithType(host::kButtonTypeCustom);
    if (!imageView_ || !tapButton_) return false;
    imageView_->setContentMode(host::kContentModeScaleToFill);
    imageView_->setAutoresizingMask(fill);
    addSubview(imageView_);

    // A clear button over the image takes the taps: it gives the banner
    // the platform's touch-up-inside tracking and a shade while pressed.
    tapButton_->setFrame(bounds());
    tapButton_->setAutoresizingMask(fill);
    tapButton_->setBackgroundImage(pressedShade(), host::kControlStateHighlighted);
    tapButton_->addTarget(this, cc_selector(APXBannerView::tapThrough), host::kControlEventTouchUpInside);
    addSubview(tapButton_);
    return true;
}

APXBannerView::~APXBannerView() {
    stopRefreshing();
    if (tapButton_) tapButton_->removeTarget(this, host::kControlEventAllEvents);
}

void APXBannerView::setDelegate(APXBannerViewDelegate* delegate) {
    if (delegate == delegate_) return;
    delegate_ = delegate;
    if (!delegate_) stopRefreshing();
}

void APXBannerView::loadRequest(APXRequest* request) {
    request_ = request ? request : APXRequest::request();
    stopRefreshing();
    startAttempt();
}

void APXBannerView::didMoveToSuperview() {
    if (superview()) {
        shown_ = true;
    } else if (shown_) {
        shown_ = false;
        stopRefreshing();
    }
}

void APXBannerView::stopRefreshing() {
    ++generation_;
    attempt_.reset();
    if (refreshTimer_) {
        refreshTimer_->invalidate();
        refreshTimer_.reset();
    }
}

void APXBannerView::startAttempt() {
    attempt_ = std::make_shared<char>();
    std::weak_ptr<char> attempt = attempt_;
    const ApexSettings& settings = ApexSettings::shared();
    if (!settings.hasServer() || adUnitID_.empty()) {
        // Reported on the next turn, as a network failure would be, so the
        // owner never gets a callback from inside loadRequest.
        const bool noServer = !settings.hasServer();
        host::RunLoop::main().performOnMainThread(
            [this, attempt, noServer] {
                if (attempt.expired()) return;
                APXAnswer answer;
                answer.error = noServer ? APXRequest::error(kAPXErrorNoServer, "No Apex server is configured")
                                        : APXRequest::error(kAPXErrorNoAdUnit, "No ad unit ID is set");
                finishAttempt(answer);
            },
            false);
        return;
    }
    // The answer arrives on the main thread, where the banner is freed too:
    // a live token there means a live banner.
    request_->fetchBanner(settings.serverURL(), adUnitID_, [this, attempt](const APXAnswer& answer) {
        if (!attempt.expired()) finishAttempt(answer);
    });
}

void APXBannerView::finishAttempt(const APXAnswer& answer) {
    attempt_.reset();
    host::Ref<APXBannerView> keep(this);  // the delegate may let go of the banner in its callback
    const unsigned long generation = generation_;
    if (answer.isAdvert()) {
        imageView_->setImage(answer.image);
        clickURL_ = answer.clickURL;
        if (delegate_) delegate_->adViewDidReceiveAd(this);
    } else {
        host::log("apex: %s", answer.error->localizedDescription().c_str());
        if (delegate_) delegate_->adViewDidFailToReceiveAdWithError(this, answer.error);
    }
    // The next attempt, unless the callback took the banner down or
    // started one itself.
    if (delegate_ && generation == generation_ && !attempt_ && !refreshTimer_)
        refreshTimer_ = host::Timer::scheduledTimer(kRefreshInterval, nullptr, [this] { refreshTimerFired(); }, false);
}

void APXBannerView::refreshTimerFired() {
    refreshTimer_.reset();
    if (delegate_) startAttempt();
}

void APXBannerView::tapThrough() {
    if (clickURL_.empty()) return;
    host::log("apex: opening the advert's link %s", clickURL_.c_str());
    host::Application::sharedApplication()->openURL(clickURL_);
}
