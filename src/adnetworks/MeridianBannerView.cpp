#include "adnetworks/MeridianBannerView.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <thread>
#include <vector>

#include "adnetworks/MeridianEncoding.h"
#include "adnetworks/MeridianSettings.h"
#include "adnetworks/ViewControllerLookup.h"
#include "host/core/Application.h"
#include "host/core/Device.h"
#include "host/core/Log.h"
#include "host/core/NotificationCenter.h"
#include "host/net/HTTP.h"
#include "host/ui/Button.h"
#include "host/ui/Label.h"
#include "host/ui/ViewController.h"

namespace {

const char* const kNoDelegateText = "MeridianBannerViewDelegate not set";
const char* const kNoPublisherIdMethodText =
    "MeridianBannerViewDelegate does not implement publisherIdForMeridianBannerView:";
const char* const kInvalidPublisherIdText = "MeridianBannerViewDelegate returned invalid publisher ID.";
constexpr float kErrorLabelFontSize = 12;
// Marks the error label, so that a later problem replaces it.
constexpr int kErrorLabelTag = 0x4d455252;

std::string trimmed(const std::string& s) {
    size_t b = 0, e = s.size();
    while (b < e && std::isspace(static_cast<unsigned char>(s[b]))) ++b;
    while (e > b && std::isspace(static_cast<unsigned char>(s[e - 1]))) --e;
    return s.substr(b, e - b);
}

// The text of the root's child `name`, without the white space a
// pretty-printed answer puts around values.
std::string valueOf(const DTXMLElement* root, const char* name) { return trimmed(root->valueForKey(name)); }

// The leading integer of the text, as the platform's intValue reads it
// (0 when there is none).
long integerValue(const std::string& text) { return std::strtol(text.c_str(), nullptr, 10); }

// A size in points: negative, huge or unreadable values give 0.
float pointsValue(const std::string& text) {
    const float v = std::strtof(text.c_str(), nullptr);
    return std::isfinite(v) && v > 0 && v < 100000 ? v : 0;
}

host::Image* imageAt(const std::string& url) {
    host::HTTPRequest request;
    request.url = url;
    request.maxBytes = host::kHTTPMaxImageBytes;
    const host::HTTPResponse response = host::HTTP::get(request);
    if (!response.ok()) {
        host::log("Meridian: cannot load the banner image %s: %s", url.c_str(),
                  response.completed ? ("status " + std::to_string(response.status)).c_str() : response.error.c_str());
        return nullptr;
    }
    return host::Image::imageWithData(response.body.data(), response.body.size());
}

}  // namespace

// ---- set-up and tear-down ----

bool MeridianBannerView::initWithFrame(CGRect frame) {
    if (!View::initWithFrame(frame)) return false;
    setup();
    return true;
}

void MeridianBannerView::setup() {
    setAutoresizingMask(host::kAutoresizingNone);
    setBackgroundColor(host::Color::clearColor());
    refreshAnimation_ = 1;
    auto& center = host::NotificationCenter::defaultCenter();
    center.removeObserver(this);  // awakeFromNib after initWithFrame would observe twice
    center.addObserver(this, cc_selector(MeridianBannerView::appDidBecomeActive),
                       host::kApplicationDidBecomeActiveNotification);
    center.addObserver(this, cc_selector(MeridianBannerView::appWillResignActive),
                       host::kApplicationWillResignActiveNotification);
}

MeridianBannerView::~MeridianBannerView() {
    host::NotificationCenter::defaultCenter().removeObserver(this);
    if (refreshTimer_) refreshTimer_->invalidate();
    // Neither the link check nor the browser retains the banner.
    if (checker_) checker_->cancel();
    if (browser_) browser_->setDelegate(nullptr);
    for (const auto& subview : subviews()) {
        if (auto* web = dynamic_cast<host::WebView*>(subview.get())) web->setDelegate(nullptr);
        if (auto* control = dynamic_cast<host::Control*>(subview.get()))
            control->removeTarget(this, host::kControlEventAllEvents);
    }
}

void MeridianBannerView::setDelegate(MeridianBannerViewDelegate* delegate) {
    if (delegate == delegate_) return;
    delegate_ = delegate;
    if (delegate_) requestAd();
}

// ---- the request ----

std::string MeridianBannerView::userAgent() {
    return std::string(kClientName) + "/" + kClientVersion + " (" + host::Device::current().model() + ")";
}

std::string MeridianBannerView::serverURL() { return MeridianSettings::shared().serverURL(); }

void MeridianBannerView::requestAd() {
    if (!delegate_) return showErrorLabelWithText(kNoDelegateText);
    if (!(delegate_->meridianBannerViewDelegateMethods() & MeridianBannerViewDelegate::kPublisherId))
        return showErrorLabelWithText(kNoPublisherIdMethodText);
    const std::string publisherId = delegate_->publisherIdForMeridianBannerView(this);
    if (publisherId.empty()) return showErrorLabelWithText(kInvalidPublisherIdText);
    // One request at a time: a short refresh against a slow server would
    // otherwise pile up threads whose answers land out of order.
    if (requestInFlight_) {
        host::log("Meridian: the previous ad request is still under way; this refresh is skipped");
        return;
    }
    requestInFlight_ = true;
    // The request is made here, on the main thread, so that the background
    // thread reads nothing of the banner or the device.
    std::thread(asyncRequestAd, host::Ref<MeridianBannerView>(this), advertRequest(publisherId)).detach();
}

host::HTTPRequest MeridianBannerView::advertRequest(const std::string& publisherId) const {
    const host::Device& device = host::Device::current();
    const std::string agent = userAgent();
    const std::pair<const char*, std::string> fields[] = {
        {"rt", device.userInterfaceIdiom() != 0 ? "ipad_app" : "iphone_app"},
        {"u", agent},
        {"o", md5(device.uniqueIdentifier())},
        {"v", kClientVersion},
        {"m", "live"},
        {"s", publisherId},
        {"iphone_osversion", device.systemVersion()},
        {"spot_id", advertisingSection_},
    };
    std::string query;
    for (const auto& field : fields) {
        if (!query.empty()) query += '&';
        query += field.first;
        query += '=';
        query += stringByUrlEncoding(field.second);
    }
    host::HTTPRequest request;
    request.url = serverURL() + "?" + query;
    request.headers = {{"Accept", "text/xml"}, {"User-Agent", agent}};
    request.maxBytes = DTXMLDocument::kMaxDocumentBytes;
    return request;
}

void MeridianBannerView::asyncRequestAd(host::Ref<MeridianBannerView> banner, host::HTTPRequest request) {
    host::AutoreleasePool pool;
    const host::HTTPResponse response = host::HTTP::get(request);
    host::Ref<DTXMLDocument> document;
    if (response.completed)
        document = DTXMLDocument::documentWithData(response.body);
    else
        host::log("Meridian: the ad request failed: %s", response.error.c_str());

    bool namedImage = false;
    host::Ref<host::Image> image;
    if (document) {
        const std::string imageURL = valueOf(document->documentRoot(), "imageurl");
        namedImage = !imageURL.empty();
        if (namedImage) image = imageAt(imageURL);
    }
    // The banner is let go of on the main thread: its last reference may
    // be this one, and views end there.
    host::RunLoop::main().performOnMainThread(
        [banner = std::move(banner), &document, namedImage, &image]() mutable {
            banner->finishRequest(document.get(), namedImage, image.get());
            banner.reset();
        },
        true);
}

void MeridianBannerView::finishRequest(DTXMLDocument* document, bool namedImage, host::Image* image) {
    requestInFlight_ = false;
    if (!document) return reportFailure(kErrorCodeFailure, "Error parsing xml response from server");
    if (namedImage) bannerImage_ = image;
    setupAdFromXml(document);
}

// ---- the answer ----

void MeridianBannerView::setupAdFromXml(DTXMLDocument* document) {
    DTXMLElement* root = document ? document->documentRoot() : nullptr;
    if (!root) return reportFailure(kErrorCodeFailure, "Error parsing xml response from server");
    host::Ref<MeridianBannerView> keep(this);  // a report may make the owner let go
    if (root->name() == "error") return reportFailure(kErrorCodeFailure, root->text());

    const std::vector<host::Ref<host::View>> oldAdverts = subviews();
    tapThroughLeavesApp_ = valueOf(root, "clicktype") != "inapp";
    const std::string clickURL = valueOf(root, "clickurl");
    if (!clickURL.empty()) tapThroughURL_ = clickURL;
    shouldScaleWebView_ = valueOf(root, "scale") == "yes";
    shouldSkipLinkPreflight_ = valueOf(root, "skippreflight") == "yes";

    const std::string type = root->attribute("type");
    if (type == "imageAd" || type == "textAd") {
        host::View* advert = type == "imageAd" ? imageAdvert(root) : textAdvert(root);
        if (!advert) return;
        showAdvert(advert, oldAdverts);
    } else if (type == "noAd") {
        reportFailure(kErrorCodeNoInventory, "No inventory for ad request");
    } else if (type == "error") {
        return reportFailure(kErrorCodeFailure, "Unknown error");
    } else {
        return reportFailure(kErrorCodeFailure, "Unknown ad type '" + type + "'");
    }
    const long refresh = integerValue(valueOf(root, "refresh"));
    // A negative period would make a timer that fires without pause.
    refreshInterval_ = refresh > 0 && refresh <= 1000000 ? int(refresh) : 0;
    setRefreshTimerActive(true);
}

host::View* MeridianBannerView::imageAdvert(DTXMLElement* root) {
    if (!bannerImage_) {
        reportFailure(kErrorCodeFailure, "Error loading banner image");
        return nullptr;
    }
    host::Button* button = host::Button::buttonWithType(host::kButtonTypeCustom);
    button->setFrame(
        CGRectMake(0, 0, pointsValue(valueOf(root, "bannerwidth")), pointsValue(valueOf(root, "bannerheight"))));
    button->setImage(bannerImage_, host::kControlStateNormal);
    button->addTarget(this, cc_selector(MeridianBannerView::tapThrough), host::kControlEventTouchUpInside);
    button->setCenter(centreOfBounds());
    return button;
}

host::View* MeridianBannerView::textAdvert(DTXMLElement* root) {
    const CGSize size = host::Device::current().userInterfaceIdiom() == 1 ? kTabletTextAdSize : kTextAdSize;
    host::WebView* web = host::WebView::webViewWithFrame(CGRectMake(0, 0, size.width, size.height));
    web->setDelegate(this);
    web->setUserInteractionEnabled(false);
    web->loadHTMLString(root->valueForKey("htmlString"), "");
    web->setBackgroundColor(host::Color::clearColor());
    web->setOpaque(false);

    // The taps go to a button over the advert whose highlighted image is
    // black: at this alpha, a held touch darkens the advert.
    host::Button* shade = host::Button::buttonWithType(host::kButtonTypeCustom);
    shade->setFrame(web->bounds());
    shade->setCenter(centreOfBounds());
    shade->setImage(darkeningImageOfSize(web->bounds().size), host::kControlStateHighlighted);
    shade->setAlpha(kDarkeningAlpha);
    shade->addTarget(this, cc_selector(MeridianBannerView::tapThrough), host::kControlEventTouchUpInside);
    addSubview(shade);
    return web;
}

void MeridianBannerView::showAdvert(host::View* advert, const std::vector<host::Ref<host::View>>& oldAdverts) {
    if (CGRectEqualToRect(bounds(), CGRectZero)) {
        setBounds(advert->bounds());
        advert->setCenter(centreOfBounds());  // it was centred in the empty bounds
    }
    const bool replacing = !oldAdverts.empty();
    if (replacing) {
        host::View::beginAnimations(kFlipAnimationID, nullptr);
        host::View::setAnimationDuration(kFlipDuration);
        host::View::setAnimationTransition(refreshAnimation_, this, false);
    }
    insertSubview(advert, 0);
    for (const auto& old : oldAdverts)
        if (old->superview() == this) old->removeFromSuperview();
    if (replacing)
        host::View::commitAnimations();
    else
        reportSuccess();
}

host::Image* MeridianBannerView::darkeningImageOfSize(CGSize size) {
    const uint32_t w = uint32_t(std::max(1.0f, std::round(size.width)));
    const uint32_t h = uint32_t(std::max(1.0f, std::round(size.height)));
    std::vector<uint8_t> pixels(size_t(w) * h * 4, 0);
    for (size_t i = 3; i < pixels.size(); i += 4) pixels[i] = 255;
    return host::Image::imageWithPixels(pixels.data(), w, h, 4);
}

// ---- reports ----

void MeridianBannerView::reportFailure(long code, const std::string& description) {
    reportError(host::Error::errorWithDomain(kErrorDomain, code, description));
}

void MeridianBannerView::reportError(host::Error* error) {
    bannerLoaded_ = false;
    if (delegate_ && (delegate_->meridianBannerViewDelegateMethods() & MeridianBannerViewDelegate::kDidFail))
        delegate_->meridianBannerViewDidFailToReceiveAdWithError(this, error);
}

void MeridianBannerView::reportSuccess() {
    bannerLoaded_ = true;
    if (delegate_ && (delegate_->meridianBannerViewDelegateMethods() & MeridianBannerViewDelegate::kDidLoad))
        delegate_->meridianBannerViewDidLoadMeridianAd(this);
}

void MeridianBannerView::showErrorLabelWithText(const std::string& text) {
    host::log("Meridian: %s", text.c_str());
    if (host::View* shown = viewWithTag(kErrorLabelTag)) shown->removeFromSuperview();
    host::Label* label = host::Label::labelWithFrame(bounds());
    label->setTag(kErrorLabelTag);
    label->setNumberOfLines(0);
    label->setBackgroundColor(host::Color::whiteColor());
    label->setFont(host::Font::boldSystemFont(kErrorLabelFontSize).get());
    label->setTextAlignment(host::kTextAlignmentCenter);
    label->setTextColor(host::Color::redColor());
    label->setShadowColor(host::Color::blackColor());
    label->setShadowOffset(CGSizeMake(0, 1));
    label->setText(text);
    addSubview(label);
}

// ---- the refresh ----

void MeridianBannerView::setRefreshTimerActive(bool active) {
    if (active == bool(refreshTimer_)) return;
    if (active && !bannerViewActionInProgress_ && refreshInterval_ != 0) {
        // No target: the banner's owners, not its timer, keep it alive.
        refreshTimer_ = host::Timer::scheduledTimer(double(refreshInterval_), nullptr, [this] { requestAd(); }, true);
    } else if (refreshTimer_) {
        refreshTimer_->invalidate();
        refreshTimer_.reset();
    }
}

void MeridianBannerView::appDidBecomeActive() { setRefreshTimerActive(true); }

void MeridianBannerView::appWillResignActive() { setRefreshTimerActive(false); }

// ---- geometry ----

CGPoint MeridianBannerView::centreOfBounds() const {
    return CGPointMake(std::round(bounds().size.width / 2), std::round(bounds().size.height / 2));
}

void MeridianBannerView::recentreSubviews() {
    const CGPoint centre = centreOfBounds();
    for (const auto& subview : subviews()) subview->setCenter(centre);
}

void MeridianBannerView::setBounds(CGRect b) {
    View::setBounds(b);
    recentreSubviews();
}

void MeridianBannerView::setTransform(CGAffineTransform t) {
    View::setTransform(t);
    recentreSubviews();
}

// ---- taps ----

void MeridianBannerView::tapThrough() {
    if (delegate_ && (delegate_->meridianBannerViewDelegateMethods() & MeridianBannerViewDelegate::kActionShouldBegin) &&
        !delegate_->meridianBannerViewActionShouldBegin(this, tapThroughLeavesApp_))
        return;
    if (tapThroughURL_.empty()) {
        host::log("Meridian: the advert has no link to open");
        return;
    }
    if (tapThroughLeavesApp_ || isDeviceSupported(tapThroughURL_)) {
        host::Application::sharedApplication()->openURL(tapThroughURL_);
        return;
    }
    host::ViewController* presenter = presentingController();
    if (!presenter) return;
    setRefreshTimerActive(false);
    if (shouldSkipLinkPreflight_) {
        presentBrowser(tapThroughURL_, presenter);
        return;
    }
    forgetChecker();
    checker_ = host::Ref<RedirectChecker>::adopt(host::createOwned<RedirectChecker>(
        [this](RedirectChecker* c) { return c->initWithURL(tapThroughURL_, userAgent(), this); }));
}

host::ViewController* MeridianBannerView::presentingController() {
    host::ViewController* presenter = firstAvailableUIViewController(this);
    if (!presenter) host::log("Unable to find view controller for presenting modal ad browser");
    return presenter;
}

MeridianAdBrowserViewController* MeridianBannerView::makeBrowser(const std::string& url) {
    auto* browser = host::createOwned<MeridianAdBrowserViewController>(
        [&](MeridianAdBrowserViewController* b) { return b->initWithUrl(url); });
    if (!browser) return nullptr;
    browser_ = host::Ref<MeridianAdBrowserViewController>::adopt(browser);
    browser->setDelegate(this);
    browser->setUserAgent(userAgent());
    browser->setScalesPageToFit(shouldScaleWebView_);
    return browser;
}

void MeridianBannerView::presentMadeBrowser(MeridianAdBrowserViewController* browser, host::ViewController* presenter) {
    hideStatusBar();
    presenter->presentModalViewController(browser, true);
    bannerViewActionInProgress_ = true;
}

void MeridianBannerView::presentBrowser(const std::string& url, host::ViewController* presenter) {
    if (MeridianAdBrowserViewController* browser = makeBrowser(url)) presentMadeBrowser(browser, presenter);
}

void MeridianBannerView::forgetChecker() {
    if (checker_) checker_->cancel();
    checker_.reset();
}

void MeridianBannerView::checkerDetectedRedirectionTo(RedirectChecker*, const std::string& url) {
    forgetChecker();
    if (isDeviceSupported(url)) {
        host::Application::sharedApplication()->openURL(url);
        return;
    }
    host::ViewController* presenter = presentingController();
    if (!presenter) return;
    presentBrowser(url, presenter);
}

void MeridianBannerView::checkerDidFinishWithData(RedirectChecker* checker, const std::string& data) {
    const std::string mimeType = checker->mimeType();
    const std::string encoding = checker->textEncodingName();
    forgetChecker();
    host::ViewController* presenter = presentingController();
    if (!presenter) return;
    MeridianAdBrowserViewController* browser = makeBrowser("");
    if (!browser) return;
    browser->webView()->loadData(data, mimeType, encoding, directoryBaseURL(tapThroughURL_));
    presentMadeBrowser(browser, presenter);
}

void MeridianBannerView::checkerDidFailWithError(RedirectChecker*, host::Error*) {
    forgetChecker();
    bannerViewActionInProgress_ = false;
}

void MeridianBannerView::meridianAdBrowserControllerDidDismiss(MeridianAdBrowserViewController* browser) {
    host::Ref<MeridianAdBrowserViewController> closing(browser);
    showStatusBarIfNecessary();
    if (browser) browser->dismissModalViewControllerAnimated(true);
    if (browser_.get() == browser) browser_.reset();
    bannerViewActionInProgress_ = false;
    setRefreshTimerActive(true);
    if (delegate_ && (delegate_->meridianBannerViewDelegateMethods() & MeridianBannerViewDelegate::kActionDidFinish))
        delegate_->meridianBannerViewActionDidFinish(this);
}

// ---- the status bar ----

void MeridianBannerView::hideStatusBar() {
    host::Application* app = host::Application::sharedApplication();
    if (app->isStatusBarHidden()) return;
    app->setStatusBarHidden(true, true);
    statusBarWasVisible_ = true;
}

void MeridianBannerView::showStatusBarIfNecessary() {
    if (!statusBarWasVisible_) return;
    host::Application::sharedApplication()->setStatusBarHidden(false, true);
    statusBarWasVisible_ = false;
}
