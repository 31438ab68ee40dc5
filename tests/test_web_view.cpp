// The host's web view: how markup is laid out with the host's fonts, links
// hit-tested and followed through touches, scrolling and page scaling,
// hostile markup, and pages fetched from a server on 127.0.0.1.
#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "LoopbackServer.h"
#include "OverlayTestSupport.h"
#include "RunLoopWait.h"
#include "host/graphics/Image.h"
#include "host/ui/Window.h"
#include "host/web/HTMLDocument.h"
#include "host/web/HTMLLayout.h"
#include "host/web/HTMLStyle.h"
#include "host/web/TextEncoding.h"
#include "host/web/WebView.h"

namespace {

using host::HTMLDocument;
using host::HTMLLayout;
using host::HTMLPage;
using host::WebView;

std::unique_ptr<HTMLPage> layOut(const std::string& markup, float width) {
    const std::unique_ptr<HTMLDocument> doc = HTMLDocument::parse(markup);
    return HTMLLayout::layout(*doc, width, [](size_t) { return HTMLLayout::ImageInfo{}; });
}

// The first text item that holds `text`.
const HTMLPage::Item* itemWith(const HTMLPage& page, const std::string& text) {
    for (const HTMLPage::Item& item : page.items())
        if (item.kind == HTMLPage::Item::Kind::Text && item.text.find(text) != std::string::npos) return &item;
    return nullptr;
}

std::string allText(const HTMLPage& page) {
    std::string out;
    for (const HTMLPage::Item& item : page.items()) out += item.text + "|";
    return out;
}

bool contains(const std::string& s, const char* part) { return s.find(part) != std::string::npos; }

std::string pngOf(unsigned w, unsigned h) {
    std::vector<uint8_t> pixels(size_t(w) * h * 3, 0x80), png;
    host::encodePNG(pixels.data(), w, h, 3, &png);
    return std::string(png.begin(), png.end());
}

// ---- layout ---------------------------------------------------------------------------------

TEST(WebViewLayout, HeadingsParagraphsBreaksAndTextStylesStackFromTheTop) {
    const auto page = layOut("<h1>Title</h1><p>one <b>bold</b> <i>slanted</i></p><p>two<br>three</p>", 300);
    const HTMLPage::Item* title = itemWith(*page, "Title");
    const HTMLPage::Item* one = itemWith(*page, "one");
    const HTMLPage::Item* bold = itemWith(*page, "bold");
    const HTMLPage::Item* slanted = itemWith(*page, "slanted");
    const HTMLPage::Item* two = itemWith(*page, "two");
    const HTMLPage::Item* three = itemWith(*page, "three");
    ASSERT_TRUE(title && one && bold && slanted && two && three) << allText(*page);

    EXPECT_FLOAT_EQ(title->font->size(), 32);  // 2 em
    EXPECT_TRUE(contains(title->font->name(), "Bold"));
    EXPECT_FLOAT_EQ(one->font->size(), 16);
    EXPECT_FALSE(contains(one->font->name(), "Bold"));
    EXPECT_TRUE(contains(bold->font->name(), "Bold"));
    EXPECT_TRUE(contains(slanted->font->name(), "Italic"));
    // The body's 8-point margin collapses into the heading's 0.67 em.
    EXPECT_NEAR(title->lineTop, 0.67f * 32, 0.5f);
    EXPECT_NEAR(title->frame.origin.x, 8, 1e-3f);
    // Words of one line share it, left to right.
    EXPECT_FLOAT_EQ(bold->lineTop, one->lineTop);
    EXPECT_GT(bold->frame.origin.x, one->frame.origin.x);
    EXPECT_GT(slanted->frame.origin.x, bold->frame.origin.x);
    // Paragraph margins collapse to one em between the paragraphs.
    EXPECT_NEAR(two->lineTop - one->lineBottom, 16, 0.5f);
    EXPECT_NEAR(three->lineTop, two->lineBottom, 1e-3f);
    EXPECT_NEAR(page->size().height, three->lineBottom + 16, 0.5f);
}

TEST(WebViewLayout, LinksAreBlueUnderlinedAndRememberTheirHref) {
    const auto page = layOut("<p>go <a href=\"/next?a=1&amp;b=2\">there</a> now</p>", 300);
    const HTMLPage::Item* link = itemWith(*page, "there");
    const HTMLPage::Item* plain = itemWith(*page, "now");
    ASSERT_TRUE(link && plain);
    ASSERT_EQ(page->links().size(), 1u);
    EXPECT_EQ(page->links()[0], "/next?a=1&b=2");
    EXPECT_EQ(link->link, 0);
    EXPECT_TRUE(link->underline);
    EXPECT_TRUE(link->color == host::HTMLStyle::kLinkColor);
    EXPECT_EQ(plain->link, -1);
    const CGPoint inside = CGPointMake(link->frame.origin.x + 2, (link->lineTop + link->lineBottom) / 2);
    EXPECT_EQ(page->linkAt(inside), 0);
    EXPECT_EQ(page->linkAt(CGPointMake(plain->frame.origin.x + 2, inside.y)), -1);
    EXPECT_EQ(page->linkAt(CGPointMake(inside.x, link->lineBottom + 1)), -1);
}

TEST(WebViewLayout, TextWrapsToTheWidthAndOverlongWordsBreakBetweenCharacters) {
    std::string words;
    for (int i = 0; i < 40; ++i) words += "word ";
    const auto page = layOut("<body marginwidth=0><p>" + words + "</p><p>" + std::string(200, 'x') + "</p></body>",
                             120);
    float lastTop = -1;
    int lines = 0;
    for (const HTMLPage::Item& item : page->items()) {
        EXPECT_LE(item.frame.origin.x + item.frame.size.width, 120.5f) << item.text;
        if (item.lineTop != lastTop) ++lines;
        lastTop = item.lineTop;
    }
    EXPECT_GT(lines, 10);
    EXPECT_NEAR(page->size().width, 120, 0.01f);  // nothing made it wider
}

TEST(WebViewLayout, WhitespaceCollapsesExceptInPreformattedText) {
    const auto page = layOut("<p>a  \n\t b</p><pre>\nx    y\nz</pre>", 300);
    EXPECT_NE(itemWith(*page, "a b"), nullptr) << allText(*page);
    const HTMLPage::Item* xy = itemWith(*page, "x    y");
    const HTMLPage::Item* z = itemWith(*page, "z");
    ASSERT_TRUE(xy && z) << allText(*page);
    EXPECT_TRUE(contains(xy->font->name(), "Courier"));
    EXPECT_GT(z->lineTop, xy->lineTop);
}

TEST(WebViewLayout, ImagesTakeTheRoomTheirAttributesOrTheirPixelsGive) {
    const std::unique_ptr<HTMLDocument> doc =
        HTMLDocument::parse("<img src=a.png width=50 height=40><img src=b.png><img src=c.png alt=\"gone\">");
    ASSERT_EQ(doc->images().size(), 3u);
    const auto page = HTMLLayout::layout(*doc, 300, [](size_t slot) {
        HTMLLayout::ImageInfo info;
        if (slot == 1) info.size = CGSizeMake(20, 30);
        info.failed = slot == 2;
        return info;
    });
    std::vector<CGRect> frames;
    for (const HTMLPage::Item& item : page->items())
        if (item.kind == HTMLPage::Item::Kind::Image) frames.push_back(item.frame);
    ASSERT_EQ(frames.size(), 2u);
    EXPECT_TRUE(rectNear(frames[0], CGRectMake(8, 8, 50, 40)));
    // Images sit on the line's baseline, beside each other.
    EXPECT_TRUE(rectNear(frames[1], CGRectMake(58, 18, 20, 30)));
    // An image that failed shows its alternative text.
    EXPECT_NE(itemWith(*page, "gone"), nullptr);
}

// ---- hostile markup -------------------------------------------------------------------------------

TEST(WebViewHostileMarkup, UnclosedAndStrayTagsAreReadTheTolerantWay) {
    const auto page = layOut("<b>bold <i>both</p></div></b></b></span>after<p>new<p>next", 300);
    const HTMLPage::Item* both = itemWith(*page, "both");
    const HTMLPage::Item* next = itemWith(*page, "next");
    const HTMLPage::Item* fresh = itemWith(*page, "new");
    ASSERT_TRUE(both && next && fresh) << allText(*page);
    EXPECT_TRUE(contains(both->font->name(), "BoldItalic"));
    // An open <p> is closed by the next one.
    EXPECT_GT(next->lineTop, fresh->lineBottom);
}

TEST(WebViewHostileMarkup, EntitiesDecodeAndBadOnesStayAsWritten) {
    const auto doc = HTMLDocument::parse(
        "<p>&amp; &lt;&gt; &#65;&#x42; &eacute; &bogus; &#xFFFFFFFF; &#0; &#55296; & &#; &#x; &amp</p>");
    const host::HTMLNode* p = doc->firstElement("p");
    ASSERT_TRUE(p && p->children.size() == 1);
    const std::string& text = doc->node(p->children[0]).text;
    EXPECT_EQ(text, "& <> AB \xC3\xA9 &bogus; \xEF\xBF\xBD \xEF\xBF\xBD \xEF\xBF\xBD & &#; &#x; &");
}

TEST(WebViewHostileMarkup, ScriptsAndStylesNeverShowAndCutOffTagsAreDropped) {
    const auto page = layOut(
        "<script>document.write('<p>evil</p>')</script><style>p{color:red}</style>"
        "<p onclick=\"alert(1)\">visible</p><!-- hidden --><p>end<a href=\"x", 300);
    const std::string text = allText(*page);
    EXPECT_FALSE(contains(text, "evil"));
    EXPECT_FALSE(contains(text, "document"));
    EXPECT_FALSE(contains(text, "color"));
    EXPECT_FALSE(contains(text, "hidden"));
    EXPECT_TRUE(contains(text, "visible"));
    EXPECT_TRUE(contains(text, "end"));
    EXPECT_TRUE(page->links().empty());
}

TEST(WebViewHostileMarkup, DeepNestingAndHugeInputStayWithinTheLimits) {
    std::string deep;
    for (int i = 0; i < 100000; ++i) deep += "<div><b>";
    deep += "bottom";
    const auto doc = HTMLDocument::parse(deep);
    EXPECT_TRUE(doc->wasCut());
    const auto deepPage = HTMLLayout::layout(*doc, 300, [](size_t) { return HTMLLayout::ImageInfo{}; });
    EXPECT_NE(itemWith(*deepPage, "bottom"), nullptr);

    // Five megabytes of words: the text is cut at a megabyte, the page at
    // its height limit.
    std::string huge = "<p>";
    while (huge.size() < (size_t(5) << 20)) huge += "lorem ipsum dolor sit amet ";
    const auto hugeDoc = HTMLDocument::parse(huge);
    EXPECT_TRUE(hugeDoc->wasCut());
    const auto hugePage = HTMLLayout::layout(*hugeDoc, 300, [](size_t) { return HTMLLayout::ImageInfo{}; });
    EXPECT_LE(hugePage->size().height, HTMLLayout::kMaxPageHeight);
    EXPECT_GT(hugePage->size().height, 1000);

    // Tens of thousands of elements.
    std::string many;
    for (int i = 0; i < 60000; ++i) many += "<span></span>";
    EXPECT_LE(HTMLDocument::parse(many)->nodeCount(), HTMLDocument::kMaxNodes);
}

TEST(WebViewHostileMarkup, MalformedBytesAndSizesAreReadSafely) {
    host::AutoreleasePool pool;
    WebView* web = WebView::webViewWithFrame(CGRectMake(0, 0, 320, 200));
    // Invalid UTF-8, a NUL, absurd sizes and colours.
    static const char kBadBytes[] = "<p>\xFF\xFE bad \xC3(\0 nul</p>";
    web->loadData(std::string(kBadBytes, sizeof kBadBytes - 1) +
                      "<img width=99999999 height=-5><font size=999999 color=#zzzzzz>big</font>"
                      "<hr width=1e40 size=nan><p style=\"font-size:1e30px;margin:-1e30px\">x</p>",
                  "text/html", "utf-8", "");
    const CGSize size = web->contentSize();
    EXPECT_TRUE(std::isfinite(size.width) && std::isfinite(size.height));
    EXPECT_LE(size.width, HTMLLayout::kMaxPageWidth);
    EXPECT_LE(size.height, HTMLLayout::kMaxPageHeight);
}

TEST(WebViewHostileMarkup, HugeFontSizesAndListNumbersNeverOverflow) {
    const auto page = layOut("<p><font size=\"+9223372036854775807\">big</font> <font size=\"-9223372036854775807\">"
                             "tiny</font></p><ol start=2147483647><li>a<li>b</ol>"
                             "<ol start=-99999999999999999999><li>c</ol><ol start=junk><li>d</ol>",
                             300);
    const HTMLPage::Item* big = itemWith(*page, "big");
    const HTMLPage::Item* tiny = itemWith(*page, "tiny");
    ASSERT_TRUE(big && tiny) << allText(*page);
    EXPECT_FLOAT_EQ(big->font->size(), 48);  // size 7
    EXPECT_FLOAT_EQ(tiny->font->size(), 10);  // size 1
    // Starts are held to a million either way, and count on from there.
    const std::string text = allText(*page);
    EXPECT_TRUE(contains(text, "1000000.|")) << text;
    EXPECT_TRUE(contains(text, "1000001.|")) << text;
    EXPECT_TRUE(contains(text, "-1000000.|")) << text;
    EXPECT_TRUE(contains(text, "1.|")) << text;
}

TEST(WebViewFonts, SizesRoundToWholePointsAndAPageGetsABoundedSetOfFonts) {
    const auto page = layOut("<p style=\"font-size:13.3px\">odd</p><p style=\"font-size:12.8px\">near</p>", 300);
    const HTMLPage::Item* odd = itemWith(*page, "odd");
    const HTMLPage::Item* near = itemWith(*page, "near");
    ASSERT_TRUE(odd && near);
    EXPECT_FLOAT_EQ(odd->font->size(), 13);
    EXPECT_EQ(odd->font.get(), near->font.get());  // one face for both

    // Hundreds of sizes: beyond the cap each reuses the nearest font made.
    std::string markup;
    for (int i = 0; i < 300; ++i) markup += "<p style=\"font-size:" + std::to_string(6 + i * 0.25) + "px\">w</p>";
    const auto many = layOut(markup + "<p style=\"font-size:200px\">last</p>", 4000);
    std::set<const host::Font*> fonts;
    for (const HTMLPage::Item& item : many->items())
        if (item.font) fonts.insert(item.font.get());
    EXPECT_LE(fonts.size(), 64u);
    const HTMLPage::Item* last = itemWith(*many, "last");
    ASSERT_TRUE(last);
    for (const host::Font* f : fonts) EXPECT_LE(f->size(), last->font->size());  // the largest made
}

TEST(WebViewEncoding, LatinOneAndAsciiLabelsReadAsWindows1252) {
    // Curly quotes, a dash, the euro sign and an e acute.
    const std::string bytes = "\x93q\x94 \x97 \x80 \xE9";
    const std::string expected = "\xE2\x80\x9Cq\xE2\x80\x9D \xE2\x80\x94 \xE2\x82\xAC \xC3\xA9";
    for (const char* name : {"iso-8859-1", "ISO_8859-1", "latin1", "us-ascii", "ASCII", "windows-1252", "cp819"})
        EXPECT_EQ(host::TextEncoding::toUTF8(bytes, name), expected) << name;
    // Latin-9 keeps its own euro at 0xA4, and UTF-8 is left alone.
    EXPECT_EQ(host::TextEncoding::toUTF8("\xA4", "iso-8859-15"), "\xE2\x82\xAC");
    EXPECT_EQ(host::TextEncoding::toUTF8("caf\xC3\xA9", "utf-8"), "caf\xC3\xA9");
}

// ---- touches, scrolling, scaling ------------------------------------------------------------------

// Records what a web view asks and tells; refuses loads unless told to.
class NavigationLog : public host::WebViewDelegate {
public:
    bool webViewShouldStartLoadWithRequest(WebView*, host::HTTPRequest& request, int type) override {
        asked.emplace_back(type, request.url);
        return allow;
    }
    void webViewDidStartLoad(WebView*) override { ++started; }
    void webViewDidFinishLoad(WebView*) override { ++finished; }
    void webViewDidFailLoadWithError(WebView*, host::Error* error) override {
        failures.push_back(error->domain() + " " + std::to_string(error->code()));
    }
    bool allow = false;
    std::vector<std::pair<int, std::string>> asked;
    int started = 0, finished = 0;
    std::vector<std::string> failures;
};

class WebViewTouchTest : public OverlayFixture {
protected:
    void SetUp() override {
        OverlayFixture::SetUp();
        web_ = WebView::webViewWithFrame(CGRectMake(0, 0, 480, 320));
        web_->setDelegate(&log_);
        surface_->addSubview(web_);
    }
    // A page whose first line is a large link at the top left.
    void loadLinkPage(const std::string& extra = "") {
        web_->loadHTMLString("<body marginwidth=0 marginheight=0><a href=\"next.html#top\"><font size=7>NEXT "
                             "PAGE</font></a>" + extra + "</body>",
                             "http://127.0.0.1:1/dir/index.html");
    }
    static std::string longPage() {
        std::string p;
        for (int i = 0; i < 100; ++i) p += "<p>line " + std::to_string(i) + "</p>";
        return p;
    }

    NavigationLog log_;
    WebView* web_ = nullptr;  // owned by the surface
};

TEST_F(WebViewTouchTest, ATappedLinkIsAFollowedLinkNavigationResolvedAgainstTheBase) {
    loadLinkPage();
    EXPECT_EQ(log_.started, 1);
    runFor(0.01);
    EXPECT_EQ(log_.finished, 1);
    EXPECT_EQ(web_->linkAtPoint(CGPointMake(20, 20)), "http://127.0.0.1:1/dir/next.html#top");
    EXPECT_EQ(web_->linkAtPoint(CGPointMake(20, 200)), "");
    click(20, 20);
    ASSERT_EQ(log_.asked.size(), 1u);
    EXPECT_EQ(log_.asked[0].first, host::kWebViewNavigationTypeLinkClicked);
    EXPECT_EQ(log_.asked[0].second, "http://127.0.0.1:1/dir/next.html#top");
    // A refused navigation leaves the page as it was.
    EXPECT_EQ(web_->currentURL(), "http://127.0.0.1:1/dir/index.html");
    // Tapping beside the link, or pressing on it and letting go elsewhere,
    // follows nothing.
    click(20, 200);
    press(20, 20);
    release(300, 200);
    EXPECT_EQ(log_.asked.size(), 1u);
}

TEST_F(WebViewTouchTest, ScriptLinksAreNeverFollowed) {
    web_->loadHTMLString("<body marginwidth=0 marginheight=0><a href=\"javascript:alert(1)\"><font size=7>RUN"
                         "</font></a></body>",
                         "");
    click(20, 20);
    EXPECT_TRUE(log_.asked.empty());
}

TEST_F(WebViewTouchTest, DraggingScrollsWithinTheContentAndNeverFollowsALink) {
    loadLinkPage(longPage());
    const CGSize content = web_->contentSize();
    ASSERT_GT(content.height, 1000);
    EXPECT_FLOAT_EQ(content.width, 480);
    // A drag that starts on the link scrolls.
    press(20, 20);
    drag(20, 15);
    drag(20, -80);
    release(20, -80);
    EXPECT_TRUE(log_.asked.empty());
    EXPECT_FLOAT_EQ(web_->contentOffset().y, 100);
    EXPECT_FLOAT_EQ(web_->contentOffset().x, 0);  // the page is no wider than the view
    // What is under a point follows the scrolling.
    EXPECT_EQ(web_->linkAtPoint(CGPointMake(20, 20)), "");

    web_->setContentOffset(CGPointMake(-50, 1e9f));
    EXPECT_FLOAT_EQ(web_->contentOffset().x, 0);
    EXPECT_FLOAT_EQ(web_->contentOffset().y, content.height - 320);
    web_->setContentOffset(CGPointMake(0, -1e9f));
    EXPECT_FLOAT_EQ(web_->contentOffset().y, 0);
    web_->setContentOffset(CGPointMake(NAN, NAN));
    EXPECT_FLOAT_EQ(web_->contentOffset().y, 0);
    // Dragging past the top stays at the top.
    press(100, 100);
    drag(100, 300);
    release(100, 300);
    EXPECT_FLOAT_EQ(web_->contentOffset().y, 0);

    // A taller view keeps its lines and only scrolls less far.
    web_->setContentOffset(CGPointMake(0, 1e9f));
    web_->setFrame(CGRectMake(0, 0, 480, 420));
    web_->layoutSubviews();
    EXPECT_FLOAT_EQ(web_->contentSize().height, content.height);
    EXPECT_FLOAT_EQ(web_->contentOffset().y, content.height - 420);
}

TEST_F(WebViewTouchTest, AWidePageIsScaledDownOnlyWhenScalingToFit) {
    web_->loadHTMLString("<img width=960 height=100><p>text</p>", "");
    EXPECT_FLOAT_EQ(web_->pageScale(), 1);
    EXPECT_NEAR(web_->contentSize().width, 976, 0.5f);  // 960 and the body's margins
    web_->setContentOffset(CGPointMake(1000, 0));
    EXPECT_NEAR(web_->contentOffset().x, 976 - 480, 0.5f);

    web_->setScalesPageToFit(true);
    EXPECT_NEAR(web_->pageScale(), 480.0f / 976, 1e-3f);
    EXPECT_NEAR(web_->contentSize().width, 480, 0.5f);
    EXPECT_FLOAT_EQ(web_->contentOffset().x, 0);
    // A page that fits is left as it is.
    web_->loadHTMLString("<p>narrow</p>", "");
    EXPECT_FLOAT_EQ(web_->pageScale(), 1);
}

// ---- loading from a server ------------------------------------------------------------------------

class WebViewLoadTest : public WebViewTouchTest {
protected:
    void SetUp() override {
        WebViewTouchTest::SetUp();
        log_.allow = true;
        auto& s = server_.server();
        s.Get("/latin1", [this](const httplib::Request&, httplib::Response& res) {
            ++latin1Served_;
            res.set_content("<title> Caf\xE9  menu </title><p>cr\xE8me</p>", "text/html; charset=iso-8859-1");
        });
        s.Get("/old", [](const httplib::Request&, httplib::Response& res) { res.set_redirect("/dir/new.html"); });
        s.Get("/dir/new.html", [](const httplib::Request&, httplib::Response& res) {
            res.set_content("<body marginwidth=0 marginheight=0><a href=\"b.html\"><font size=7>B</font></a>",
                            "text/html");
        });
        s.Get("/loop", [](const httplib::Request&, httplib::Response& res) { res.set_redirect("/loop"); });
        s.Get("/huge", [](const httplib::Request&, httplib::Response& res) {
            res.set_content(std::string(WebView::kMaxPageBytes + 1000, 'a'), "text/html");
        });
        s.Get("/binary", [](const httplib::Request&, httplib::Response& res) {
            res.set_content(std::string("\x00\x01\x02", 3), "application/octet-stream");
        });
        s.Get("/picture", [](const httplib::Request&, httplib::Response& res) {
            res.set_content("<body marginwidth=0 marginheight=0><a href=\"/x\"><img src=\"pic.png\"></a>",
                            "text/html");
        });
        s.Get("/pic.png", [this](const httplib::Request&, httplib::Response& res) {
            res.set_content(pngOf(40, 30), "image/png");
        });
        s.Get("/held", [this](const httplib::Request&, httplib::Response& res) {
            std::unique_lock<std::mutex> lock(gateMutex_);
            heldEntered_ = true;
            gateOpened_.wait(lock, [this] { return gateOpen_; });
            res.set_content("<p>late</p>", "text/html");
        });
        server_.start();
    }
    void TearDown() override {
        openGate();  // a failed test must not leave the server's handler waiting
        WebViewTouchTest::TearDown();
    }
    void openGate() {
        std::lock_guard<std::mutex> lock(gateMutex_);
        gateOpen_ = true;
        gateOpened_.notify_all();
    }
    bool heldEntered() {
        std::lock_guard<std::mutex> lock(gateMutex_);
        return heldEntered_;
    }
    void load(const std::string& path) {
        host::HTTPRequest request;
        request.url = server_.url(path);
        web_->loadRequest(request);
    }
    bool waitForEnd() {
        return waitFor([this] { return log_.finished + log_.failures.size() > 0; });
    }

    LoopbackServer server_;
    std::atomic<int> latin1Served_{0};
    // /held answers only once the test opens the gate.
    std::mutex gateMutex_;
    std::condition_variable gateOpened_;
    bool gateOpen_ = false;
    bool heldEntered_ = false;
};

TEST_F(WebViewLoadTest, APageIsFetchedDecodedByItsCharsetAndReported) {
    load("/latin1");
    EXPECT_TRUE(web_->isLoading());
    ASSERT_TRUE(waitForEnd());
    EXPECT_EQ(log_.finished, 1);
    EXPECT_FALSE(web_->isLoading());
    ASSERT_EQ(log_.asked.size(), 1u);
    EXPECT_EQ(log_.asked[0].first, host::kWebViewNavigationTypeOther);
    EXPECT_EQ(web_->pageTitle(), "Caf\xC3\xA9 menu");
    EXPECT_EQ(web_->currentURL(), server_.url("/latin1"));
}

TEST_F(WebViewLoadTest, ARedirectIsAskedAboutAndThePageResolvesAgainstItsNewAddress) {
    load("/old");
    ASSERT_TRUE(waitForEnd());
    EXPECT_EQ(log_.finished, 1);
    ASSERT_EQ(log_.asked.size(), 2u);
    EXPECT_EQ(log_.asked[1], std::make_pair(int(host::kWebViewNavigationTypeOther), server_.url("/dir/new.html")));
    EXPECT_EQ(web_->currentURL(), server_.url("/dir/new.html"));
    EXPECT_EQ(web_->linkAtPoint(CGPointMake(10, 20)), server_.url("/dir/b.html"));
}

TEST_F(WebViewLoadTest, EndlessRedirectsOversizedAnswersAndUnknownContentFail) {
    load("/loop");
    ASSERT_TRUE(waitForEnd());
    EXPECT_EQ(log_.failures, std::vector<std::string>{"NSURLErrorDomain -1007"});

    log_.failures.clear();
    load("/huge");
    ASSERT_TRUE(waitForEnd());
    EXPECT_EQ(log_.failures, std::vector<std::string>{"NSURLErrorDomain -1103"});

    log_.failures.clear();
    load("/binary");
    ASSERT_TRUE(waitForEnd());
    EXPECT_EQ(log_.failures, std::vector<std::string>{"WebKitErrorDomain 102"});

    log_.failures.clear();
    host::HTTPRequest ftp;
    ftp.url = "ftp://127.0.0.1/file";
    web_->loadRequest(ftp);
    ASSERT_TRUE(waitForEnd());
    EXPECT_EQ(log_.failures, std::vector<std::string>{"NSURLErrorDomain -1002"});
    EXPECT_EQ(log_.finished, 0);
}

TEST_F(WebViewLoadTest, ThePageFinishesOnceItsImagesAreIn) {
    load("/picture");
    ASSERT_TRUE(waitForEnd());
    EXPECT_EQ(log_.finished, 1);
    // The image came at its own size, inside the link.
    EXPECT_EQ(web_->linkAtPoint(CGPointMake(20, 15)), server_.url("/x"));
    EXPECT_EQ(web_->linkAtPoint(CGPointMake(45, 15)), "");
}

TEST_F(WebViewLoadTest, ALoadReplacedByAnotherReportsNothing) {
    load("/latin1");
    web_->loadHTMLString("<p>now</p>", "");
    ASSERT_TRUE(waitForEnd());
    // The first answer really came (and was dropped), not merely not yet.
    ASSERT_TRUE(waitFor([this] { return latin1Served_ > 0; }));
    settleRunLoop();
    EXPECT_EQ(log_.finished, 1);
    EXPECT_EQ(web_->pageTitle(), "");
    // Refused by the delegate: nothing starts.
    log_.allow = false;
    load("/latin1");
    EXPECT_FALSE(web_->isLoading());
    EXPECT_EQ(log_.started, 2);
}

// Starts another load from inside the question about a redirect, then
// refuses the redirect.
class ReplacingDelegate : public NavigationLog {
public:
    bool webViewShouldStartLoadWithRequest(WebView* web, host::HTTPRequest& request, int type) override {
        NavigationLog::webViewShouldStartLoadWithRequest(web, request, type);
        if (asked.size() < 2) return true;
        web->loadHTMLString("<title>instead</title>", "");
        return false;
    }
};

TEST_F(WebViewLoadTest, ARedirectRefusedAfterTheDelegateLoadedSomethingElseLeavesThatLoadAlone) {
    ReplacingDelegate replacing;
    web_->setDelegate(&replacing);
    load("/old");
    ASSERT_TRUE(waitFor([&] { return replacing.finished + replacing.failures.size() > 0; }));
    settleRunLoop();
    EXPECT_EQ(replacing.finished, 1);
    EXPECT_TRUE(replacing.failures.empty());
    EXPECT_EQ(replacing.asked.size(), 2u);
    EXPECT_EQ(web_->pageTitle(), "instead");
    EXPECT_FALSE(web_->isLoading());
    web_->setDelegate(&log_);
}

TEST_F(WebViewLoadTest, AViewReleasedWhileItsPageIsFetchedHearsNothingLater) {
    {
        host::AutoreleasePool pool;
        host::Ref<WebView> web(WebView::webViewWithFrame(CGRectMake(0, 0, 320, 200)));
        web->setDelegate(&log_);
        host::HTTPRequest request;
        request.url = server_.url("/held");
        web->loadRequest(request);
        ASSERT_TRUE(waitFor([this] { return heldEntered(); }));
        pool.drain();
        EXPECT_EQ(web->retainCount(), 1u);  // the last reference goes now
    }
    openGate();
    settleRunLoop();
    EXPECT_EQ(log_.started, 1);
    EXPECT_EQ(log_.finished, 0);
    EXPECT_TRUE(log_.failures.empty());
}

}  // namespace
