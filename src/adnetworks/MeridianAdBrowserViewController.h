// The Meridian client's in-application browser: a full-window controller,
// presented modally by the banner, showing a page in a host::WebView with
// a round close button in its top right corner.
//
// With a user agent set, pages are fetched through the controller's own
// connection so that the request carries it (the web view's own fetches
// would not); redirects are followed there and the page is shown with
// the base URL of the address it finally came from. Without one the web
// view loads the page itself. A tapped link to something the device
// handles itself (tel, sms, mailto, the configured hosts) is also handed
// to the application to open outside.
//
// Main thread only; the fetch runs in the background and an answer that
// arrives after the controller is gone, or after a newer load, is dropped.
#pragma once

#include <memory>
#include <string>

#include "host/core/Ref.h"
#include "host/net/HTTP.h"
#include "host/ui/Button.h"
#include "host/ui/View.h"
#include "host/ui/ViewController.h"
#include "host/web/WebView.h"

class MeridianAdBrowserViewController;

class MeridianAdBrowserControllerDelegate {
public:
    enum : unsigned { kDidDismiss = 1 };
    virtual ~MeridianAdBrowserControllerDelegate() = default;
    // Which optional methods this delegate answers; one that leaves out
    // kDidDismiss lets the browser dismiss itself.
    virtual unsigned meridianAdBrowserControllerDelegateMethods() const { return kDidDismiss; }
    virtual void meridianAdBrowserControllerDidDismiss(MeridianAdBrowserViewController* controller) = 0;
};

class MeridianAdBrowserViewController : public host::ViewController, public host::WebViewDelegate {
public:
    // The largest page the own connection takes; a longer one fails.
    static constexpr size_t kMaxPageBytes = host::WebView::kMaxPageBytes;
    static constexpr int kMaxRedirects = host::WebView::kMaxRedirects;
    static constexpr float kCloseButtonSize = 32;
    static constexpr float kCloseButtonTop = 3;

    // "" = no URL: the page comes some other way (webView()->loadData).
    bool initWithUrl(const std::string& url);
    static MeridianAdBrowserViewController* controllerWithUrl(const std::string& url);  // autoreleased

    void loadView() override;
    // Loads the URL given at creation.
    void viewDidLoad() override;

    // With no URL stored, only stores `url`. Otherwise loads it: through
    // the own connection with the user agent when one is set, else by the
    // web view.
    void loadURL(const std::string& url);
    // Tells the delegate (which takes the browser away) or, when it does
    // not answer, dismisses the browser without animation.
    void dismiss();

    // Made on first use: an empty frame, flexible width and height, this
    // controller as its delegate.
    host::WebView* webView();
    void setScalesPageToFit(bool s) { webView()->setScalesPageToFit(s); }

    const std::string& url() const { return _url; }
    const std::string& userAgent() const { return userAgent_; }
    void setUserAgent(const std::string& ua) { userAgent_ = ua; }
    // Of the last answer of the own connection.
    const std::string& mimeType() const { return mimeType_; }
    const std::string& textEncodingName() const { return textEncodingName_; }
    const std::string& receivedData() const { return receivedData_; }
    // The own connection is fetching a page.
    bool isFetching() const { return fetching_; }

    // Not retained.
    MeridianAdBrowserControllerDelegate* delegate() const { return delegate_; }
    void setDelegate(MeridianAdBrowserControllerDelegate* d) { delegate_ = d; }

    // The close button (after loadView), for owners and checks.
    host::Button* closeButton() const { return closeButton_.get(); }

    // host::WebViewDelegate
    bool webViewShouldStartLoadWithRequest(host::WebView* webView, host::HTTPRequest& request,
                                           int navigationType) override;

protected:
    ~MeridianAdBrowserViewController() override;

private:
    void fetch(host::HTTPRequest request, int redirects);
    void connectionEnded(unsigned long ticket, int redirects, host::HTTPRequest request,
                         host::HTTPResponse response);
    void addUserAgent(host::HTTPRequest& request) const;

    host::Ref<host::WebView> _webView;
    std::string _url;
    std::string userAgent_;
    std::string mimeType_;
    std::string textEncodingName_;
    std::string receivedData_;
    MeridianAdBrowserControllerDelegate* delegate_ = nullptr;
    host::Ref<host::Button> closeButton_;

    // Identifies the fetch under way: answers of an older one are dropped.
    unsigned long ticket_ = 0;
    bool fetching_ = false;
    // Lives as long as the controller: late answers hold it weakly.
    std::shared_ptr<MeridianAdBrowserViewController*> alive_ =
        std::make_shared<MeridianAdBrowserViewController*>(this);
};
