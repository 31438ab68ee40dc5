// The Apex network's banner: a view that fetches an advert image for its
// ad unit from the Apex server (APXRequest.h has the protocol), shows it
// scaled into its bounds and opens the advert's link when tapped.
//
// loadRequest starts an attempt; each attempt ends with exactly one
// delegate callback, on the main thread: adViewDidReceiveAd or
// adViewDidFailToReceiveAdWithError. 60 seconds after an attempt ends the
// banner tries again, for as long as it has a delegate. Taking the banner
// down - a nil delegate, or removal from the superview it was shown in -
// stops that: the attempt under way reports nothing, and no timer keeps
// the banner alive. A banner that was taken down starts again only with a
// new loadRequest.
#pragma once

#include <memory>
#include <string>

#include "adnetworks/APXRequest.h"
#include "host/core/Error.h"
#include "host/core/Ref.h"
#include "host/core/RunLoop.h"
#include "host/ui/Button.h"
#include "host/ui/ImageView.h"
#include "host/ui/View.h"

class APXBannerView;

class APXBannerViewDelegate {
public:
    virtual ~APXBannerViewDelegate() = default;
    virtual void adViewDidReceiveAd(APXBannerView* banner) { (void)banner; }
    virtual void adViewDidFailToReceiveAdWithError(APXBannerView* banner, host::Error* error) {
        (void)banner;
        (void)error;
    }
};

class APXBannerView : public host::View {
public:
    // Seconds from the end of one attempt to the start of the next.
    static constexpr double kRefreshInterval = 60.0;

    bool initWithFrame(CGRect frame) override;

    void setAdUnitID(const std::string& unitID) { adUnitID_ = unitID; }
    const std::string& adUnitID() const { return adUnitID_; }
    // The controller full-screen content would be presented from; not
    // retained. This client opens advert links outside the application,
    // so it only keeps it for its owner.
    void setRootViewController(host::ViewController* c) { rootViewController_ = c; }
    host::ViewController* rootViewController() const { return rootViewController_; }
    // Starts an attempt with `request` (nullptr: one without test devices),
    // replacing any attempt or refresh under way; the replaced attempt
    // reports nothing.
    void loadRequest(APXRequest* request);
    // Not retained. Setting nil takes the banner down.
    void setDelegate(APXBannerViewDelegate* delegate);
    APXBannerViewDelegate* delegate() const { return delegate_; }

    // The action of a touch up inside the banner: opens the advert's link,
    // if the advert shown has one.
    void tapThrough();

    // State, for owners and checks.
    bool isLoading() const { return attempt_ != nullptr; }
    bool isRefreshScheduled() const { return refreshTimer_.get() != nullptr; }
    // The advert shown (the last one received), or nullptr.
    host::Image* advertImage() const { return imageView_ ? imageView_->image() : nullptr; }
    const std::string& clickURL() const { return clickURL_; }

    void didMoveToSuperview() override;

protected:
    ~APXBannerView() override;

private:
    void startAttempt();
    void finishAttempt(const APXAnswer& answer);
    void refreshTimerFired();
    // Cancels the attempt under way and the refresh timer.
    void stopRefreshing();

    std::string adUnitID_;
    host::ViewController* rootViewController_ = nullptr;  // not retained
    APXBannerViewDelegate* delegate_ = nullptr;           // not retained
    host::Ref<APXRequest> request_;
    host::Ref<host::ImageView> imageView_;
    host::Ref<host::Button> tapButton_;
    std::string clickURL_;
    host::Ref<host::Timer> refreshTimer_;
    // Alive while an attempt is under way; its answer holds only a weak
    // reference, so an answer for a cancelled attempt or a freed banner
    // finds it expired and touches nothing.
    std::shared_ptr<char> attempt_;
    // Moves on at every take-down or restart: tells a callback's caller
    // whether the callback took the banner down.
    unsigned long generation_ = 0;
    bool shown_ = false;  // in a superview since the last take-down
};
