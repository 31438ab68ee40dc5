#include "host/web/WebView.h"

#include <algorithm>
#include <cctype>
#include <cmath>

#include "host/core/Log.h"
#include "host/core/RunLoop.h"
#include "host/graphics/DrawingContext.h"
#include "host/net/WebStrings.h"
#include "host/net/WebURL.h"
#include "host/text/TextLayout.h"
#include "host/ui/Touch.h"
#include "host/web/HTMLDocument.h"
#include "host/web/HTMLLayout.h"
#include "host/web/TextEncoding.h"
#include "host/web/WebImageLoader.h"

namespace host {

namespace {

constexpr const char* kFrameLoadInterrupted = "Frame load interrupted";
// How far a page looks for a <meta> charset when the answer names none.
constexpr size_t kCharsetSniffBytes = 1024;

// The value after "charset=" in `text`, or "".
std::string charsetIn(const std::string& text) {
    const std::string lower = lowerTrimmed(text);
    const size_t at = lower.find("charset=");
    if (at == std::string::npos) return "";
    size_t b = at + 8;
    while (b < lower.size() && (lower[b] == '"' || lower[b] == '\'' || lower[b] == ' ')) ++b;
    size_t e = b;
    while (e < lower.size() && (std::isalnum(static_cast<unsigned char>(lower[e])) || lower[e] == '-' ||
                                lower[e] == '_' || lower[e] == ':' || lower[e] == '.'))
        ++e;
    return lower.substr(b, e - b);
}

enum class ContentKind { Markup, Text, Picture, Unknown };

ContentKind contentKind(const std::string& mime, const std::string& data) {
    if (mime.empty()) {
        uint32_t w, h;
        return WebImageLoader::imageDimensions(data, &w, &h) ? ContentKind::Picture : ContentKind::Markup;
    }
    if (mime == "text/html" || mime == "application/xhtml+xml") return ContentKind::Markup;
    if (mime.compare(0, 5, "text/") == 0 || mime == "application/json" || mime == "application/javascript" ||
        mime == "application/xml")
        return ContentKind::Text;
    if (mime.compare(0, 6, "image/") == 0) return ContentKind::Picture;
    return ContentKind::Unknown;
}

// What the platform reports for a fetch that did not complete, by what
// the HTTP layer said.
Error* fetchError(const HTTPResponse& response) {
    struct Kind {
        const char* says;
        long code;
        const char* description;
    };
    static const Kind kKinds[] = {
        {"larger than", -1103, "resource exceeds maximum size"},
        {"not an http", -1002, "unsupported URL"},
        {"imeout", -1001, "The request timed out."},
        {"timed out", -1001, "The request timed out."},
        {"resolve host", -1003, "A server with the specified hostname could not be found."},
        {"onnect", -1004, "Could not connect to the server."},
        {"SSL", -1200, "An SSL error has occurred and a secure connection to the server cannot be made."},
        {"ertificate", -1202, "The certificate for this server is invalid."},
    };
    for (const Kind& k : kKinds)
        if (response.error.find(k.says) != std::string::npos)
            return Error::errorWithDomain(WebView::kURLErrorDomain, k.code, k.description);
    return Error::errorWithDomain(WebView::kURLErrorDomain, -1005, "The network connection was lost.");
}

Error* interruptedError() {
    return Error::errorWithDomain(WebView::kWebKitErrorDomain, WebView::kFrameLoadInterruptedCode,
                                  kFrameLoadInterrupted);
}

Error* unsupportedURLError() { return Error::errorWithDomain(WebView::kURLErrorDomain, -1002, "unsupported URL"); }

CGRect offsetRect(CGRect r, CGPoint o) {
    return CGRectMake(r.origin.x - o.x, r.origin.y - o.y, r.size.width, r.size.height);
}

bool intersects(CGRect a, CGRect b) {
    return a.origin.x < b.origin.x + b.size.width && b.origin.x < a.origin.x + a.size.width &&
           a.origin.y < b.origin.y + b.size.height && b.origin.y < a.origin.y + a.size.height;
}

}  // namespace

WebView::WebView() = default;
WebView::~WebView() = default;  // a pending re-layout retains the view, so none is left

bool WebView::initWithFrame(CGRect frame) {
    if (!View::initWithFrame(frame)) return false;
    setBackgroundColor(Color::whiteColor());
    alive_ = std::make_shared<WebView*>(this);
    // The loader is owned by the view and drops its answers when it goes,
    // so its callbacks never outlive `this`.
    images_ = std::make_unique<WebImageLoader>([this](size_t slot) { imageChanged(slot); }, [this] { imagesDone(); });
    return true;
}

WebView* WebView::webViewWithFrame(CGRect frame) {
    return create<WebView>([frame](WebView* v) { return v->initWithFrame(frame); });
}

// ---- loading -------------------------------------------------------------------------

void WebView::loadHTMLString(const std::string& html, const std::string& baseURL) {
    loadData(html, "text/html", "utf-8", baseURL);
}

void WebView::loadData(const std::string& data, const std::string& mimeType, const std::string& textEncodingName,
                       const std::string& baseURL) {
    Ref<WebView> keep(this);
    cancelLoad();
    notifyStart();
    if (showContent(data, mimeType, textEncodingName, baseURL)) finishLoadSoon();
    else reportSoon(interruptedError());
}

void WebView::loadRequest(const HTTPRequest& request) { startLoad(request, kWebViewNavigationTypeOther); }

void WebView::startLoad(HTTPRequest request, int navigationType) {
    Ref<WebView> keep(this);
    if (delegate_ && !delegate_->webViewShouldStartLoadWithRequest(this, request, navigationType)) return;
    cancelLoad();
    notifyStart();
    if (!WebURL::isWebURL(request.url)) {
        log("web view: cannot load %s: not an http or https URL", request.url.c_str());
        reportSoon(unsupportedURLError());
        return;
    }
    fetchingPage_ = true;
    fetch(std::move(request), 0);
}

void WebView::fetch(HTTPRequest request, int redirects) {
    // Redirects are followed here, so that each is asked about and the page
    // knows the URL it finally came from.
    request.followRedirects = false;
    request.maxBytes = kMaxPageBytes;
    std::weak_ptr<WebView*> weak = alive_;
    const LoadTicket ticket = ticket_;
    HTTPRequest sent = request;
    HTTP::getAsync(std::move(sent), [weak, ticket, redirects, request](HTTPResponse response) mutable {
        if (std::shared_ptr<WebView*> view = weak.lock())
            (*view)->pageArrived(ticket, redirects, std::move(request), std::move(response));
    });
}

void WebView::pageArrived(LoadTicket ticket, int redirects, HTTPRequest request, HTTPResponse response) {
    if (ticket != ticket_ || !fetchingPage_) return;
    Ref<WebView> keep(this);
    const bool redirected = response.completed && response.status >= 300 && response.status < 400 &&
                            !response.redirectLocation.empty();
    if (redirected) {
        HTTPRequest next = request;
        next.url = WebURL::resolve(request.url, response.redirectLocation);
        if (redirects >= kMaxRedirects || !WebURL::isWebURL(next.url)) {
            fetchingPage_ = false;
            log("web view: %s: %s", request.url.c_str(),
                redirects >= kMaxRedirects ? "too many redirects" : "redirected to a URL that is not http or https");
            reportSoon(redirects >= kMaxRedirects
                         ? Error::errorWithDomain(kURLErrorDomain, -1007, "too many HTTP redirects")
                         : unsupportedURLError());
            return;
        }
        const bool allowed =
            !delegate_ || delegate_->webViewShouldStartLoadWithRequest(this, next, kWebViewNavigationTypeOther);
        // The delegate may have started another load meanwhile: its answer
        // then speaks for a load that is over, and must not end the new one.
        if (ticket != ticket_) return;
        if (!allowed) {
            fetchingPage_ = false;
            reportSoon(interruptedError());
            return;
        }
        fetch(std::move(next), redirects + 1);
        return;
    }
    fetchingPage_ = false;
    if (!response.completed) {
        log("web view: %s: %s", request.url.c_str(), response.error.c_str());
        reportSoon(fetchError(response));
        return;
    }
    const std::string contentType = response.header("Content-Type");
    std::string mime = lowerTrimmed(contentType.substr(0, contentType.find(';')));
    if (showContent(response.body, mime, charsetIn(contentType), request.url)) finishLoadSoon();
    else reportSoon(interruptedError());
}

bool WebView::showContent(const std::string& data, const std::string& mimeType, const std::string& encoding,
                          const std::string& url) {
    const std::string mime = lowerTrimmed(mimeType.substr(0, mimeType.find(';')));
    std::string charset = lowerTrimmed(encoding);
    switch (contentKind(mime, data)) {
        case ContentKind::Markup:
            if (charset.empty()) charset = charsetIn(data.substr(0, kCharsetSniffBytes));
            showDocument(HTMLDocument::parse(TextEncoding::toUTF8(data, charset)), url);
            return true;
        case ContentKind::Text:
            showDocument(HTMLDocument::plainText(TextEncoding::toUTF8(data, charset)), url);
            return true;
        case ContentKind::Picture: {
            uint32_t w = 0, h = 0;
            if (!WebImageLoader::imageDimensions(data, &w, &h) ||
                uint64_t(w) * h > WebImageLoader::kMaxImagePixels) {
                log("web view: cannot show the %s image of %s", mime.empty() ? "unknown" : mime.c_str(), url.c_str());
                return false;
            }
            Ref<Image> image = Image::imageWithData(data.data(), data.size());
            if (!image) return false;  // the decoder said why
            showDocument(HTMLDocument::imageDocument(), url);
            images_->setImage(0, image.get());
            return true;
        }
        case ContentKind::Unknown: break;
    }
    log("web view: cannot show content of type %s", mime.c_str());
    return false;
}

void WebView::showDocument(std::unique_ptr<HTMLDocument> document, const std::string& url) {
    document_ = std::move(document);
    currentURL_ = url;
    baseURL_ = document_->baseHref().empty() ? url : WebURL::resolve(url, document_->baseHref());
    contentOffset_ = CGPointZero;
    dropPendingRelayout();
    needsLayout_ = true;
    cutLogged_ = false;
    const std::vector<uint32_t>& images = document_->images();
    images_->reset(images.size());
    for (size_t slot = 0; slot < images.size(); ++slot)
        if (const std::string* src = document_->node(images[slot]).attribute("src"))
            if (!src->empty()) images_->fetch(slot, WebURL::resolve(baseURL_, *src));
    setNeedsDisplay();
}

void WebView::cancelLoad() {
    ++ticket_;
    fetchingPage_ = false;
    finishPending_ = false;
    if (images_->isLoading()) {
        images_->cancel();
        dropPendingRelayout();
        needsLayout_ = true;  // what did not come shows its alternative text
        setNeedsDisplay();
    }
}

void WebView::stopLoading() { cancelLoad(); }

bool WebView::isLoading() const { return fetchingPage_ || images_->isLoading(); }

void WebView::notifyStart() {
    if (delegate_) delegate_->webViewDidStartLoad(this);
}

void WebView::finishLoadSoon() {
    finishPending_ = true;
    if (!images_->isLoading()) imagesDone();
}

void WebView::imagesDone() {
    if (relayoutPending_) {  // the last image is in: no reason to wait
        dropPendingRelayout();
        relayout();
    }
    if (!finishPending_) return;
    finishPending_ = false;
    reportSoon(nullptr);  // the finish
}

void WebView::reportSoon(Error* error) {
    std::weak_ptr<WebView*> weak = alive_;
    const LoadTicket ticket = ticket_;
    Ref<Error> kept(error);
    RunLoop::main().performOnMainThread(
        [weak, ticket, kept] {
            std::shared_ptr<WebView*> view = weak.lock();
            if (view && (*view)->ticket_ == ticket) (*view)->report(kept.get());
        },
        false);
}

void WebView::report(Error* error) {
    Ref<WebView> keep(this);
    if (!delegate_) return;
    if (error) delegate_->webViewDidFailLoadWithError(this, error);
    else delegate_->webViewDidFinishLoad(this);
}

void WebView::imageChanged(size_t slot) {
    // An image sized by its attributes takes the same room whatever comes.
    const HTMLNode* img = document_ && slot < document_->images().size() ? &document_->node(document_->images()[slot])
                                                                         : nullptr;
    if (!img || !img->attribute("width") || !img->attribute("height")) relayoutSoon();
    setNeedsDisplay();
}

void WebView::relayoutSoon() {
    // Images of a long page come one at a time; each would lay out the
    // whole page again. Those arriving within an interval share one.
    if (relayoutPending_) return;
    relayoutPending_ = true;
    RunLoop::main().performAfterDelay(this, kImageRelayoutInterval, [this] {
        relayoutPending_ = false;
        relayout();
    });
}

void WebView::dropPendingRelayout() {
    if (!relayoutPending_) return;
    relayoutPending_ = false;
    RunLoop::main().cancelPreviousPerformRequests(this);
}

void WebView::relayout() {
    needsLayout_ = true;
    setNeedsDisplay();
}

void WebView::followLink(const std::string& url) {
    if (WebURL::scheme(url) == "javascript") {
        log("web view: scripts are not run (%s)", url.c_str());
        return;
    }
    HTTPRequest request;
    request.url = url;
    startLoad(std::move(request), kWebViewNavigationTypeLinkClicked);
}

// ---- layout and scrolling ---------------------------------------------------------------

void WebView::setScalesPageToFit(bool s) {
    if (s == scalesPageToFit_) return;
    scalesPageToFit_ = s;
    needsLayout_ = true;
    setNeedsDisplay();
}

void WebView::layoutSubviews() {
    // Lines wrap to the width alone (ensureLayout notices a new one); a new
    // height only moves the limit of scrolling.
    if (page_) clampOffset();
}

void WebView::ensureLayout() const {
    const float width = bounds().size.width;
    if (page_ && !needsLayout_ && width == layoutWidth_) return;
    needsLayout_ = false;
    layoutWidth_ = width;
    scale_ = 1;
    if (!document_ || !(width > 0)) {
        page_ = std::make_unique<HTMLPage>();
        clampOffset();
        return;
    }
    const WebImageLoader& loader = *images_;
    auto info = [&loader](size_t slot) {
        HTMLLayout::ImageInfo i;
        if (Image* image = loader.image(slot)) i.size = CGSizeMake(float(image->width()), float(image->height()));
        i.failed = loader.state(slot) == WebImageLoader::State::Failed;
        return i;
    };
    page_ = HTMLLayout::layout(*document_, width, info);
    if (scalesPageToFit_ && page_->size().width > width + 0.5f) {
        // Laid out again at its own width, so its text fills the page it is
        // scaled down with.
        page_ = HTMLLayout::layout(*document_, page_->size().width, info);
        scale_ = width / page_->size().width;
        page_->scale(scale_);
    }
    if (page_->wasCut() && !cutLogged_) {
        log("web view: page cut off at %g points", double(HTMLLayout::kMaxPageHeight));
        cutLogged_ = true;
    }
    clampOffset();
}

CGSize WebView::contentSize() const {
    ensureLayout();
    // A page is never narrower than the width it was laid out to.
    return document_ ? page_->size() : CGSizeZero;
}

void WebView::clampOffset() const {
    const CGSize page = page_ ? page_->size() : CGSizeZero;
    const CGSize view = bounds().size;
    const float maxX = std::max(0.0f, page.width - view.width), maxY = std::max(0.0f, page.height - view.height);
    auto clamp = [](float v, float hi) { return std::isfinite(v) ? std::min(hi, std::max(0.0f, v)) : 0.0f; };
    contentOffset_ = CGPointMake(clamp(contentOffset_.x, maxX), clamp(contentOffset_.y, maxY));
}

void WebView::setContentOffset(CGPoint offset) {
    ensureLayout();
    const CGPoint before = contentOffset_;
    contentOffset_ = offset;
    clampOffset();
    if (!CGPointEqualToPoint(before, contentOffset_)) setNeedsDisplay();
}

float WebView::pageScale() const {
    ensureLayout();
    return scale_;
}

std::string WebView::pageTitle() const { return document_ ? document_->title() : ""; }

std::string WebView::linkAtPoint(CGPoint p) const {
    ensureLayout();
    const int link = page_->linkAt(CGPointMake(p.x + contentOffset_.x, p.y + contentOffset_.y));
    if (link < 0) return "";
    return WebURL::resolve(baseURL_, page_->links()[size_t(link)]);
}

// ---- drawing ----------------------------------------------------------------------------------

void WebView::drawRect(DrawingContext& ctx, CGRect rect) {
    ensureLayout();
    if (!page_) return;
    // The view's own background is drawn beneath by the renderer; the
    // page's covers it only where the page gives one.
    if (!page_->background().isClear()) ctx.fillRect(rect, page_->background());
    drawItems(ctx, rect);
}

void WebView::drawItems(DrawingContext& ctx, CGRect rect) const {
    const CGPoint o = contentOffset_;
    for (const HTMLPage::Fill& fill : page_->fills()) {
        const CGRect r = offsetRect(fill.rect, o);
        if (intersects(r, rect)) ctx.fillRect(r, fill.color);
    }
    const auto range = page_->itemsBetween(o.y + rect.origin.y, o.y + rect.origin.y + rect.size.height);
    for (size_t i = range.first; i < range.second; ++i) {
        const HTMLPage::Item& item = page_->items()[i];
        const CGRect frame = offsetRect(item.frame, o);
        if (item.kind == HTMLPage::Item::Kind::Rule) {
            if (intersects(frame, rect)) ctx.fillRect(frame, item.color);
            continue;
        }
        if (item.kind == HTMLPage::Item::Kind::Image) {
            Image* image = images_->image(size_t(item.imageSlot));
            if (image && image->hasBitmap() && intersects(frame, rect)) ctx.drawImage(*image, frame);
            continue;
        }
        const Font* font = item.font.get();
        if (!font) continue;
        const float size = font->size();
        // Slanted glyphs reach past their advances: the box leaves them room.
        const float slack = size / 2 + 2;
        if (frame.origin.x > rect.origin.x + rect.size.width || frame.origin.x + frame.size.width + slack < rect.origin.x)
            continue;
        const float baseline = item.baseline - o.y;
        const CGRect box = CGRectMake(frame.origin.x, baseline - (font->lineHeight() - font->descender()),
                                      frame.size.width + slack, font->lineHeight() + 1);
        ctx.drawText(item.text, *font, box, kTextLineBreakModeClip, kTextAlignmentLeft, item.color, 1);
        const float thickness = std::max(1.0f, size / 16);
        if (item.underline)
            ctx.fillRect(CGRectMake(frame.origin.x, baseline + std::max(1.0f, size / 12), frame.size.width, thickness),
                         item.color);
        if (item.strike)
            ctx.fillRect(CGRectMake(frame.origin.x, baseline - size * 0.3f, frame.size.width, thickness), item.color);
    }
}

// ---- touches ------------------------------------------------------------------------------------

CGPoint WebView::pointIn(TouchSet* touches) {
    Touch* t = touches ? touches->anyObject() : nullptr;
    return t ? t->locationInView(this) : CGPointZero;
}

void WebView::touchesBegan(TouchSet* touches, Event*) {
    tracking_ = true;
    dragged_ = false;
    touchStart_ = pointIn(touches);
    offsetAtTouch_ = contentOffset_;
    pressedLink_ = linkAtPoint(touchStart_);
}

void WebView::touchesMoved(TouchSet* touches, Event*) {
    if (!tracking_) return;
    const CGPoint p = pointIn(touches);
    const float dx = p.x - touchStart_.x, dy = p.y - touchStart_.y;
    if (!dragged_ && std::hypot(dx, dy) > kTapSlop) dragged_ = true;
    if (dragged_) setContentOffset(CGPointMake(offsetAtTouch_.x - dx, offsetAtTouch_.y - dy));
}

void WebView::touchesEnded(TouchSet* touches, Event*) {
    if (!tracking_) return;
    tracking_ = false;
    const std::string link = std::move(pressedLink_);
    pressedLink_.clear();
    if (dragged_ || link.empty() || linkAtPoint(pointIn(touches)) != link) return;
    followLink(link);
}

void WebView::touchesCancelled(TouchSet*, Event*) {
    tracking_ = false;
    pressedLink_.clear();
}

}  // namespace host
