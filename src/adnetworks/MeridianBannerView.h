// The Meridian network's banner: asks its delegate for a publisher ID,
// requests an advert from the ad server (a GET on a background thread),
// reads the XML answer and shows an image banner or an HTML text banner
// inside itself, asks again at the interval the server names, and opens
// the advert's link on a tap - outside the application, or in a modal
// in-application browser after following the link far enough to learn
// where it leads (RedirectChecker).
//
// Setting a delegate starts the first request. Every report comes on the
// main thread. The refresh timer does not keep the banner alive: a banner
// its owners let go of stops requesting.
#pragma once

#include <string>

#include "adnetworks/DTXMLDocument.h"
#include "adnetworks/MeridianAdBrowserViewController.h"
#include "adnetworks/RedirectChecker.h"
#include "host/core/Error.h"
#include "host/core/Ref.h"
#include "host/core/RunLoop.h"
#include "host/graphics/Image.h"
#include "host/ui/View.h"
#include "host/web/WebView.h"

class MeridianBannerView;

class MeridianBannerViewDelegate {
public:
    // The methods a delegate answers, as bits of meridianBannerViewDelegateMethods.
    enum : unsigned {
        kPublisherId = 1,
        kDidLoad = 2,
        kDidFail = 4,
        kActionShouldBegin = 8,
        kActionDidFinish = 16,
    };
    virtual ~MeridianBannerViewDelegate() = default;
    virtual unsigned meridianBannerViewDelegateMethods() const { return 0; }

    // Asked before every request; "" is refused.
    virtual std::string publisherIdForMeridianBannerView(MeridianBannerView*) { return std::string(); }
    virtual void meridianBannerViewDidLoadMeridianAd(MeridianBannerView*) {}
    virtual void meridianBannerViewDidFailToReceiveAdWithError(MeridianBannerView*, host::Error*) {}
    // On a tap; false cancels it.
    virtual bool meridianBannerViewActionShouldBegin(MeridianBannerView*, bool willLeaveApplication) {
        (void)willLeaveApplication;
        return true;
    }
    // The in-application browser was closed.
    virtual void meridianBannerViewActionDidFinish(MeridianBannerView*) {}
};

class MeridianBannerView : public host::View,
                           public host::WebViewDelegate,
                           public RedirectCheckerDelegate,
                           public MeridianAdBrowserControllerDelegate {
public:
    static constexpr const char* kErrorDomain = "Meridian";
    static constexpr const char* kClientName = "Meridian";
    static constexpr const char* kClientVersion = "3.0.3";
    // The error codes of the failure reports.
    enum : long { kErrorCodeFailure = 0, kErrorCodeNoInventory = 2 };
    // The replacement animation.
    static constexpr const char* kFlipAnimationID = "flip";
    static constexpr double kFlipDuration = 1.5;
    // Text adverts: phone and tablet sizes.
    static constexpr CGSize kTextAdSize{320, 50};
    static constexpr CGSize kTabletTextAdSize{728, 90};
    // The darkening button over a text advert.
    static constexpr float kDarkeningAlpha = 0.47f;

    bool initWithFrame(CGRect frame) override;
    void awakeFromNib() { setup(); }

    // ---- properties ----
    // Sent with each request as spot_id ("" for none).
    const std::string& advertisingSection() const { return advertisingSection_; }
    void setAdvertisingSection(const std::string& s) { advertisingSection_ = s; }
    bool isBannerLoaded() const { return bannerLoaded_; }
    bool isBannerViewActionInProgress() const { return bannerViewActionInProgress_; }
    // A tap's redirect check is under way.
    bool isCheckingLink() const { return bool(checker_); }
    // A view-animation transition (either form setAnimationTransition reads).
    int refreshAnimation() const { return refreshAnimation_; }
    void setRefreshAnimation(int a) { refreshAnimation_ = a; }
    // Not retained. A change to a non-null delegate requests at once.
    MeridianBannerViewDelegate* delegate() const { return delegate_; }
    void setDelegate(MeridianBannerViewDelegate* delegate);

    // ---- requests and answers ----
    void requestAd();
    void setRefreshTimerActive(bool active);
    void setupAdFromXml(DTXMLDocument* document);
    void reportSuccess();
    void reportError(host::Error* error);
    void showErrorLabelWithText(const std::string& text);

    // ---- taps ----
    void tapThrough();
    void hideStatusBar();
    void showStatusBarIfNecessary();

    static std::string userAgent();
    static std::string serverURL();
    // A black image of that size, fully opaque.
    static host::Image* darkeningImageOfSize(CGSize size);

    // Both re-centre every subview in the new bounds.
    void setBounds(CGRect b) override;
    void setTransform(CGAffineTransform t) override;

    // Application life cycle: the refresh runs only while active.
    void appDidBecomeActive();
    void appWillResignActive();

    // ---- RedirectCheckerDelegate ----
    void checkerDetectedRedirectionTo(RedirectChecker* checker, const std::string& url) override;
    void checkerDidFinishWithData(RedirectChecker* checker, const std::string& data) override;
    void checkerDidFailWithError(RedirectChecker* checker, host::Error* error) override;

    // ---- MeridianAdBrowserControllerDelegate ----
    void meridianAdBrowserControllerDidDismiss(MeridianAdBrowserViewController* browser) override;

    // State, for owners and checks.
    host::Image* bannerImage() const { return bannerImage_.get(); }
    const std::string& tapThroughURL() const { return tapThroughURL_; }
    bool tapThroughLeavesApp() const { return tapThroughLeavesApp_; }
    bool shouldScaleWebView() const { return shouldScaleWebView_; }
    bool shouldSkipLinkPreflight() const { return shouldSkipLinkPreflight_; }
    int refreshInterval() const { return refreshInterval_; }
    host::Timer* refreshTimer() const { return refreshTimer_.get(); }
    MeridianAdBrowserViewController* browser() const { return browser_.get(); }

protected:
    ~MeridianBannerView() override;

private:
    void setup();
    // The request for one advert: URL, method GET, the headers.
    host::HTTPRequest advertRequest(const std::string& publisherId) const;
    // The background half of a request; hands its outcome to the main thread.
    static void asyncRequestAd(host::Ref<MeridianBannerView> banner, host::HTTPRequest request);
    // The main-thread end of a request: the image the answer named (if it
    // named one) replaces the banner's, then the answer is shown.
    void finishRequest(DTXMLDocument* document, bool namedImage, host::Image* image);
    void reportFailure(long code, const std::string& description);
    // The new advert view of an answer, or nullptr after reporting why not.
    host::View* imageAdvert(DTXMLElement* root);
    host::View* textAdvert(DTXMLElement* root);
    void showAdvert(host::View* advert, const std::vector<host::Ref<host::View>>& oldAdverts);
    CGPoint centreOfBounds() const;
    void recentreSubviews();
    // The in-application browser, on `url` ("" = none), presented from `presenter`.
    void presentBrowser(const std::string& url, host::ViewController* presenter);
    MeridianAdBrowserViewController* makeBrowser(const std::string& url);
    void presentMadeBrowser(MeridianAdBrowserViewController* browser, host::ViewController* presenter);
    void forgetChecker();
    // The controller to present the browser from, or nullptr (with a log line).
    host::ViewController* presentingController();

    std::string advertisingSection_;
    bool bannerLoaded_ = false;
    bool bannerViewActionInProgress_ = false;
    int refreshAnimation_ = 1;
    MeridianBannerViewDelegate* delegate_ = nullptr;  // not retained
    host::Ref<host::Image> bannerImage_;
    bool tapThroughLeavesApp_ = false;
    bool shouldScaleWebView_ = false;
    bool shouldSkipLinkPreflight_ = false;
    bool statusBarWasVisible_ = false;
    std::string tapThroughURL_;
    int refreshInterval_ = 0;
    bool requestInFlight_ = false;
    host::Ref<host::Timer> refreshTimer_;
    // The link check under way (it keeps itself alive; held so that it can
    // be told to stay quiet when the banner goes first).
    host::Ref<RedirectChecker> checker_;
    // The browser while it is up.
    host::Ref<MeridianAdBrowserViewController> browser_;
};
