// The host's web content view: simple markup laid out with the host's
// fonts and drawn through the overlay, for text adverts and the in-app
// browser.
//
// What it shows: paragraphs, line breaks, rules, headings, bold, italic,
// links (blue, underlined, tappable), images fetched in the background,
// centred text, font colours and sizes, lists, preformatted text, the
// page's background colour. Unknown tags are ignored and their text
// shows; no scripts ever run and the contents of <script> and <style> are
// skipped. Plain text shows as preformatted text and image data as the
// image; other types of content fail with "Frame load interrupted".
//
// The page is laid out to the view's width; dragging scrolls it (clamped
// to the content). With scalesPageToFit, a page wider than the view is
// laid out at its own width and scaled down to the view's.
//
// Everything runs on the main thread; only the HTTP fetches of the page
// and its images run in the background, and answers that arrive after a
// newer load (or after the view is gone) are dropped.
#pragma once

#include <memory>
#include <string>

#include "host/core/Error.h"
#include "host/graphics/Image.h"
#include "host/net/HTTP.h"
#include "host/ui/View.h"

namespace host {

class HTMLDocument;
class HTMLPage;
class WebImageLoader;

enum WebViewNavigationType : int {
    kWebViewNavigationTypeLinkClicked = 0,
    kWebViewNavigationTypeFormSubmitted = 1,
    kWebViewNavigationTypeBackForward = 2,
    kWebViewNavigationTypeReload = 3,
    kWebViewNavigationTypeFormResubmitted = 4,
    kWebViewNavigationTypeOther = 5,
};

class WebView;

class WebViewDelegate {  // not retained by the web view
public:
    virtual ~WebViewDelegate() = default;
    // Asked before every load the view starts itself (loadRequest, a tapped
    // link, a redirect of the page); the request may be changed (headers,
    // user agent). false cancels the load.
    virtual bool webViewShouldStartLoadWithRequest(WebView*, HTTPRequest& request, int navigationType) {
        (void)request;
        (void)navigationType;
        return true;
    }
    virtual void webViewDidStartLoad(WebView*) {}
    virtual void webViewDidFinishLoad(WebView*) {}
    virtual void webViewDidFailLoadWithError(WebView*, Error*) {}
};

class WebView : public View {
public:
    // The largest page answer fetched; a longer one fails the load.
    static constexpr size_t kMaxPageBytes = size_t(4) << 20;
    // Redirects of one load followed at most.
    static constexpr int kMaxRedirects = 10;
    // A touch that moves farther than this (points) scrolls instead of
    // tapping a link.
    static constexpr float kTapSlop = 6;
    // Images without a width and height change the page's layout as they
    // arrive: it is redone at most this often (seconds) until all are in.
    static constexpr double kImageRelayoutInterval = 0.25;
    // The error of content that cannot be shown.
    static constexpr const char* kWebKitErrorDomain = "WebKitErrorDomain";
    static constexpr long kFrameLoadInterruptedCode = 102;
    // The error domain of failed fetches.
    static constexpr const char* kURLErrorDomain = "NSURLErrorDomain";

    WebView();
    // White background, opaque, as on the platform.
    bool initWithFrame(CGRect frame) override;
    static WebView* webViewWithFrame(CGRect frame);  // autoreleased

    WebViewDelegate* delegate() const { return delegate_; }
    void setDelegate(WebViewDelegate* d) { delegate_ = d; }

    // Markup (UTF-8) shown at once; relative links and images resolve
    // against baseURL ("" = none).
    void loadHTMLString(const std::string& html, const std::string& baseURL);
    // Bytes with a MIME type ("text/html", "text/plain", "image/png",
    // "image/jpeg" ...) and a text encoding name ("utf-8", "iso-8859-1",
    // "" = utf-8).
    void loadData(const std::string& data, const std::string& mimeType, const std::string& textEncodingName,
                  const std::string& baseURL);
    // Fetches over host::HTTP in the background (http and https only, at
    // most kMaxPageBytes, the HTTP time-outs), then shows the answer by its
    // Content-Type. The delegate is asked first (navigation type "other").
    // An answer with an error status is shown like any other page.
    void loadRequest(const HTTPRequest& request);
    // Drops the fetch of the page and of its images; nothing more is
    // reported for the load.
    void stopLoading();
    // A page or its images are still being fetched.
    bool isLoading() const;
    // The page's URL or base URL.
    const std::string& currentURL() const { return currentURL_; }

    bool scalesPageToFit() const { return scalesPageToFit_; }
    void setScalesPageToFit(bool s);

    // Scrolling: contentSize is the laid-out page (at least the view's
    // width); dragging scrolls; offsets clamp to the content.
    CGSize contentSize() const;
    CGPoint contentOffset() const { return contentOffset_; }
    void setContentOffset(CGPoint offset);

    // For tests and layout checks: the URL of the link at a point in view
    // coordinates (resolved against the base URL), or "".
    std::string linkAtPoint(CGPoint p) const;
    // The scale the page is drawn at (below 1 when scaled to fit).
    float pageScale() const;
    // The <title> of the page shown.
    std::string pageTitle() const;

    void layoutSubviews() override;
    void drawRect(DrawingContext& ctx, CGRect rect) override;
    void touchesBegan(TouchSet* touches, Event* event) override;
    void touchesMoved(TouchSet* touches, Event* event) override;
    void touchesEnded(TouchSet* touches, Event* event) override;
    void touchesCancelled(TouchSet* touches, Event* event) override;

protected:
    ~WebView() override;

private:
    // Identifies one load: answers for an older one are dropped.
    using LoadTicket = unsigned long;

    // A load the view starts itself: the delegate is asked first.
    void startLoad(HTTPRequest request, int navigationType);
    void fetch(HTTPRequest request, int redirects);
    void pageArrived(LoadTicket ticket, int redirects, HTTPRequest request, HTTPResponse response);
    // Shows content; false (with a log line) when its type cannot be shown.
    bool showContent(const std::string& data, const std::string& mimeType, const std::string& encoding,
                     const std::string& url);
    void showDocument(std::unique_ptr<HTMLDocument> document, const std::string& url);
    // Ends the load in progress without a word to the delegate.
    void cancelLoad();
    void notifyStart();
    // The finish, once the images are in.
    void finishLoadSoon();
    // Failure (or for nullptr the finish), told on a later turn of the run
    // loop unless another load starts first.
    void reportSoon(Error* error);
    void report(Error* error);
    void imageChanged(size_t slot);
    // A re-layout for arriving images, within kImageRelayoutInterval.
    void relayoutSoon();
    void dropPendingRelayout();
    void relayout();
    void imagesDone();
    void followLink(const std::string& url);
    void ensureLayout() const;
    void clampOffset() const;
    void drawItems(DrawingContext& ctx, CGRect rect) const;
    CGPoint pointIn(TouchSet* touches);

    WebViewDelegate* delegate_ = nullptr;
    std::string currentURL_;
    std::string baseURL_;
    bool scalesPageToFit_ = false;
    mutable CGPoint contentOffset_ = CGPointZero;  // clamped when the page is laid out

    std::unique_ptr<HTMLDocument> document_;
    std::unique_ptr<WebImageLoader> images_;
    // Laid out on demand, for the width it was laid out at.
    mutable std::unique_ptr<HTMLPage> page_;
    mutable bool needsLayout_ = false;
    mutable float layoutWidth_ = 0;
    mutable float scale_ = 1;
    mutable bool cutLogged_ = false;
    bool relayoutPending_ = false;

    LoadTicket ticket_ = 0;
    bool fetchingPage_ = false;
    bool finishPending_ = false;
    // Lives as long as the view: late callbacks hold it weakly.
    std::shared_ptr<WebView*> alive_;

    // The touch being tracked.
    bool tracking_ = false;
    bool dragged_ = false;
    CGPoint touchStart_ = CGPointZero;
    CGPoint offsetAtTouch_ = CGPointZero;
    std::string pressedLink_;
};

}  // namespace host
