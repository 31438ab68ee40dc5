#include "adnetworks/MeridianAdBrowserViewController.h"

#include <strings.h>

#include "adnetworks/BrowserCloseImage.h"
#include "adnetworks/MeridianEncoding.h"
#include "adnetworks/RedirectChecker.h"
#include "host/core/Application.h"
#include "host/core/Log.h"
#include "host/graphics/Image.h"
#include "host/net/WebURL.h"

namespace {

// The embedded close image, decoded; nullptr (with a log line) if the
// text in the program is broken.
host::Image* closeImage() {
    const std::optional<std::string> png = dataFromBase64String(kBrowserCloseImagePNGBase64);
    if (!png) {
        host::log("Meridian: the browser's close image is not valid Base64");
        return nullptr;
    }
    return host::Image::imageWithData(png->data(), png->size());
}

}  // namespace

bool MeridianAdBrowserViewController::initWithUrl(const std::string& url) {
    _url = url;
    return init();
}

MeridianAdBrowserViewController* MeridianAdBrowserViewController::controllerWithUrl(const std::string& url) {
    return host::create<MeridianAdBrowserViewController>(
        [&url](MeridianAdBrowserViewController* c) { return c->initWithUrl(url); });
}

MeridianAdBrowserViewController::~MeridianAdBrowserViewController() {
    if (_webView) {
        _webView->setDelegate(nullptr);
        _webView->stopLoading();
    }
}

host::WebView* MeridianAdBrowserViewController::webView() {
    if (!_webView) {
        _webView = host::WebView::webViewWithFrame(CGRectZero);
        _webView->setAutoresizingMask(host::kAutoresizingFlexibleWidth | host::kAutoresizingFlexibleHeight);
        _webView->setDelegate(this);
    }
    return _webView.get();
}

// ---- the view ----------------------------------------------------------------------------

void MeridianAdBrowserViewController::loadView() {
    // The device shows no status bar, so the application frame is the
    // whole screen.
    host::View* view = host::View::viewWithFrame(host::interfaceBounds());
    view->setAutoresizingMask(host::kAutoresizingFlexibleWidth | host::kAutoresizingFlexibleHeight);
    host::WebView* web = webView();
    web->setFrame(view->bounds());
    view->addSubview(web);

    closeButton_ = host::Button::buttonWithType(host::kButtonTypeCustom);
    const float width = view->bounds().size.width;
    closeButton_->setFrame(CGRectMake(width - kCloseButtonSize, kCloseButtonTop, kCloseButtonSize, kCloseButtonSize));
    closeButton_->setAutoresizingMask(host::kAutoresizingFlexibleLeftMargin | host::kAutoresizingFlexibleBottomMargin);
    closeButton_->setImage(closeImage(), host::kControlStateNormal);
    closeButton_->addTarget(this, cc_selector(MeridianAdBrowserViewController::dismiss),
                            host::kControlEventTouchUpInside);
    view->addSubview(closeButton_.get());
    setView(view);
}

void MeridianAdBrowserViewController::viewDidLoad() { loadURL(_url); }

void MeridianAdBrowserViewController::dismiss() {
    host::Ref<MeridianAdBrowserViewController> keep(this);  // the delegate may let go of us
    if (delegate_ && (delegate_->meridianAdBrowserControllerDelegateMethods() &
                      MeridianAdBrowserControllerDelegate::kDidDismiss))
        delegate_->meridianAdBrowserControllerDidDismiss(this);
    else
        dismissModalViewControllerAnimated(false);
}

// ---- loading -------------------------------------------------------------------------------

void MeridianAdBrowserViewController::loadURL(const std::string& url) {
    if (_url.empty() || url.empty()) {
        _url = url;
        return;
    }
    // The page's base URL comes from _url, so it names the page loaded.
    _url = url;
    host::HTTPRequest request;
    request.url = url;
    if (userAgent_.empty()) {
        webView()->loadRequest(request);
        return;
    }
    addUserAgent(request);
    ++ticket_;
    fetching_ = true;
    fetch(std::move(request), 0);
}

void MeridianAdBrowserViewController::addUserAgent(host::HTTPRequest& request) const {
    for (auto& header : request.headers)
        if (strcasecmp(header.first.c_str(), "User-Agent") == 0) {
            header.second = userAgent_;
            return;
        }
    request.headers.emplace_back("User-Agent", userAgent_);
}

void MeridianAdBrowserViewController::fetch(host::HTTPRequest request, int redirects) {
    // Redirects are followed here, one at a time, so that _url always
    // names the page that finally answers.
    request.followRedirects = false;
    request.maxBytes = kMaxPageBytes;
    std::weak_ptr<MeridianAdBrowserViewController*> weak = alive_;
    const unsigned long ticket = ticket_;
    host::HTTPRequest sent = request;
    host::HTTP::getAsync(std::move(sent), [weak, ticket, redirects, request](host::HTTPResponse response) mutable {
        if (std::shared_ptr<MeridianAdBrowserViewController*> self = weak.lock())
            (*self)->connectionEnded(ticket, redirects, std::move(request), std::move(response));
    });
}

void MeridianAdBrowserViewController::connectionEnded(unsigned long ticket, int redirects, host::HTTPRequest request,
                                                      host::HTTPResponse response) {
    if (ticket != ticket_ || !fetching_) return;
    host::Ref<MeridianAdBrowserViewController> keep(this);
    const bool redirected = response.completed && response.status >= 300 && response.status < 400 &&
                            !response.redirectLocation.empty();
    if (redirected && redirects < kMaxRedirects) {
        _url = host::WebURL::resolve(request.url, response.redirectLocation);
        request.url = _url;
        fetch(std::move(request), redirects + 1);
        return;
    }
    fetching_ = false;
    if (!response.completed || redirected) {
        host::log("Meridian: browser cannot load %s: %s", request.url.c_str(),
                  redirected ? "too many redirects" : response.error.c_str());
        receivedData_.clear();
        return;
    }
    parseContentType(response.header("Content-Type"), &mimeType_, &textEncodingName_);
    receivedData_ = std::move(response.body);
    webView()->loadData(receivedData_, mimeType_, textEncodingName_, directoryBaseURL(_url));
}

// ---- the web view's navigation ---------------------------------------------------------------

bool MeridianAdBrowserViewController::webViewShouldStartLoadWithRequest(host::WebView*, host::HTTPRequest& request,
                                                                        int navigationType) {
    if (navigationType == host::kWebViewNavigationTypeLinkClicked) {
        if (isDeviceSupported(request.url)) host::Application::sharedApplication()->openURL(request.url);
    } else if (!userAgent_.empty()) {
        addUserAgent(request);
    }
    return true;
}
