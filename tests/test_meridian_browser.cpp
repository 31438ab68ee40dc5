// The Meridian client's in-application browser: its view, pages fetched
// with the banner's user agent from a server on 127.0.0.1 (redirects,
// base URLs, failures), closing it, and links the device handles itself.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <sstream>
#include <string>
#include <vector>

#include "LoopbackServer.h"
#include "OverlayTestSupport.h"
#include "RunLoopWait.h"
#include "ScratchDirectory.h"
#include "adnetworks/MeridianAdBrowserViewController.h"
#include "adnetworks/MeridianSettings.h"
#include "host/graphics/Image.h"
#include "host/ui/Button.h"
#include "host/web/WebView.h"

namespace {

constexpr const char* kUserAgent = "Meridian/3.0.3 (iPhone)";

class DismissLog : public MeridianAdBrowserControllerDelegate {
public:
    unsigned meridianAdBrowserControllerDelegateMethods() const override { return methods; }
    void meridianAdBrowserControllerDidDismiss(MeridianAdBrowserViewController* c) override { dismissed.push_back(c); }
    unsigned methods = kDidDismiss;
    std::vector<MeridianAdBrowserViewController*> dismissed;
};

class MeridianBrowserTest : public OverlayFixture {
protected:
    void SetUp() override {
        OverlayFixture::SetUp();
        openLog_ = scratch_.file("opened.log");
        setenv("TILTBOARD_OPEN_URL_LOG", openLog_.c_str(), 1);
        presenter_ = host::Ref<host::ViewController>::adopt(new host::ViewController);
        presenter_->setView(surface_);

        auto& s = server_.server();
        s.Get("/ad/page.html", [this](const httplib::Request& req, httplib::Response& res) {
            record(req);
            res.set_content("<body marginwidth=0 marginheight=0><a href=\"next.html\"><font size=7>NEXT</font></a>"
                            "<p>cr\xE8me</p>",
                            "text/html; charset=ISO-8859-1");
        });
        s.Get("/go", [this](const httplib::Request& req, httplib::Response& res) {
            record(req);
            res.set_redirect("/landing/offer/index.html");
        });
        s.Get("/landing/offer/index.html", [this](const httplib::Request& req, httplib::Response& res) {
            record(req);
            res.set_content("<p>offer</p>", "text/html");
        });
        s.Get("/huge", [](const httplib::Request&, httplib::Response& res) {
            res.set_content(std::string(MeridianAdBrowserViewController::kMaxPageBytes + 1, 'a'), "text/html");
        });
        s.Get("/maps", [](const httplib::Request&, httplib::Response& res) { res.set_content("map", "text/plain"); });
        server_.start();
    }
    void TearDown() override {
        if (presenter_->modalViewController()) presenter_->dismissModalViewControllerAnimated(false);
        presenter_->setView(nullptr);
        presenter_.reset();
        MeridianSettings::shared().setDeviceHandledHosts(MeridianSettings::defaultDeviceHandledHosts());
        unsetenv("TILTBOARD_OPEN_URL_LOG");
        OverlayFixture::TearDown();
    }

    host::Ref<MeridianAdBrowserViewController> browser(const std::string& url, bool withUserAgent = true) {
        host::Ref<MeridianAdBrowserViewController> c = MeridianAdBrowserViewController::controllerWithUrl(url);
        if (withUserAgent) c->setUserAgent(kUserAgent);
        c->setDelegate(&dismissals_);
        return c;
    }
    bool waitForPage(MeridianAdBrowserViewController* c) {
        return waitFor([c] { return !c->isFetching() && !c->webView()->isLoading(); });
    }

    void record(const httplib::Request& req) {
        std::lock_guard<std::mutex> lock(mutex_);
        hits_.push_back(req.path + " " + req.get_header_value("User-Agent"));
    }
    std::vector<std::string> hits() {
        std::lock_guard<std::mutex> lock(mutex_);
        return hits_;
    }
    std::vector<std::string> openedURLs() const {
        std::ifstream in(openLog_);
        std::vector<std::string> lines;
        for (std::string line; std::getline(in, line);) lines.push_back(line);
        return lines;
    }

    ScratchDirectory scratch_;
    std::filesystem::path openLog_;
    host::Ref<host::ViewController> presenter_;
    DismissLog dismissals_;
    LoopbackServer server_;
    std::mutex mutex_;
    std::vector<std::string> hits_;
};

TEST_F(MeridianBrowserTest, TheViewFillsTheScreenWithTheCloseButtonPinnedTopRight) {
    host::Ref<MeridianAdBrowserViewController> c = browser("");
    host::View* view = c->view();
    EXPECT_TRUE(rectNear(view->frame(), host::interfaceBounds()));
    EXPECT_EQ(view->autoresizingMask(), unsigned(host::kAutoresizingFlexibleWidth | host::kAutoresizingFlexibleHeight));
    host::WebView* web = c->webView();
    EXPECT_EQ(web->superview(), view);
    EXPECT_EQ(web->delegate(), c.get());
    EXPECT_TRUE(rectNear(web->frame(), view->bounds()));

    host::Button* close = c->closeButton();
    ASSERT_NE(close, nullptr);
    EXPECT_EQ(close->superview(), view);
    EXPECT_TRUE(rectNear(close->frame(), CGRectMake(480 - 32, 3, 32, 32)));
    EXPECT_EQ(close->autoresizingMask(),
              unsigned(host::kAutoresizingFlexibleLeftMargin | host::kAutoresizingFlexibleBottomMargin));
    // The embedded image decodes to the 32 x 32 round button.
    host::Image* image = close->imageForState(host::kControlStateNormal);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->width(), 32u);
    EXPECT_EQ(image->height(), 32u);
    ASSERT_EQ(image->channels(), 4);
    auto pixel = [image](int x, int y) { return image->pixels().data() + (size_t(y) * 32 + size_t(x)) * 4; };
    EXPECT_EQ(pixel(0, 0)[3], 0);  // round: the corners show the page
    EXPECT_EQ(pixel(16, 16)[0], 255);  // the white X crosses the middle
    EXPECT_EQ(pixel(16, 16)[3], 255);
    EXPECT_LT(pixel(16, 8)[0], 100);   // on the dark face

    // On a larger screen the web view grows and the button keeps to the corner.
    view->setFrame(CGRectMake(0, 0, 1024, 768));
    EXPECT_TRUE(rectNear(web->frame(), CGRectMake(0, 0, 1024, 768)));
    EXPECT_TRUE(rectNear(close->frame(), CGRectMake(1024 - 32, 3, 32, 32)));
}

TEST_F(MeridianBrowserTest, ThePageIsFetchedWithTheUserAgentAndShownWithItsDirectoryAsBase) {
    host::Ref<MeridianAdBrowserViewController> c = browser(server_.url("/ad/page.html"));
    presenter_->presentModalViewController(c.get(), false);
    EXPECT_TRUE(c->isFetching());
    ASSERT_TRUE(waitForPage(c.get()));
    EXPECT_EQ(hits(), std::vector<std::string>{std::string("/ad/page.html ") + kUserAgent});
    EXPECT_EQ(c->mimeType(), "text/html");
    EXPECT_EQ(c->textEncodingName(), "iso-8859-1");
    EXPECT_NE(c->receivedData().find("cr\xE8me"), std::string::npos);
    EXPECT_EQ(c->webView()->currentURL(), server_.url("/ad/"));
    EXPECT_EQ(c->webView()->linkAtPoint(CGPointMake(20, 20)), server_.url("/ad/next.html"));
}

TEST_F(MeridianBrowserTest, ARedirectUpdatesTheURLAndTheBaseAndKeepsTheUserAgent) {
    host::Ref<MeridianAdBrowserViewController> c = browser(server_.url("/go"));
    c->view();
    ASSERT_TRUE(waitForPage(c.get()));
    EXPECT_EQ(hits(), (std::vector<std::string>{std::string("/go ") + kUserAgent,
                                                std::string("/landing/offer/index.html ") + kUserAgent}));
    EXPECT_EQ(c->url(), server_.url("/landing/offer/index.html"));
    EXPECT_EQ(c->webView()->currentURL(), server_.url("/landing/offer/"));
    EXPECT_EQ(c->receivedData(), "<p>offer</p>");
}

TEST_F(MeridianBrowserTest, WithoutAUserAgentTheWebViewLoadsThePageItself) {
    host::Ref<MeridianAdBrowserViewController> c = browser(server_.url("/ad/page.html"), false);
    c->view();
    EXPECT_FALSE(c->isFetching());
    EXPECT_TRUE(c->webView()->isLoading());
    ASSERT_TRUE(waitForPage(c.get()));
    EXPECT_EQ(c->webView()->currentURL(), server_.url("/ad/page.html"));
    EXPECT_EQ(c->receivedData(), "");
    ASSERT_EQ(hits().size(), 1u);
    EXPECT_EQ(hits()[0].find(kUserAgent), std::string::npos);
}

TEST_F(MeridianBrowserTest, AFailedFetchDropsTheBufferAndANoURLBrowserOnlyStoresTheAddress) {
    host::Ref<MeridianAdBrowserViewController> c = browser(server_.url("/ad/page.html"));
    c->view();
    ASSERT_TRUE(waitForPage(c.get()));
    ASSERT_FALSE(c->receivedData().empty());
    c->loadURL(server_.url("/huge"));
    ASSERT_TRUE(waitForPage(c.get()));
    EXPECT_EQ(c->receivedData(), "");
    // The page shown before stays.
    EXPECT_EQ(c->webView()->currentURL(), server_.url("/ad/"));

    host::Ref<MeridianAdBrowserViewController> empty = browser("");
    empty->view();
    empty->loadURL(server_.url("/ad/page.html"));
    EXPECT_FALSE(empty->isFetching());
    EXPECT_EQ(empty->url(), server_.url("/ad/page.html"));
    settleRunLoop(10);
    EXPECT_EQ(hits().size(), 1u);
}

TEST_F(MeridianBrowserTest, CloseTellsTheDelegateOrElseDismissesTheBrowser) {
    host::Ref<MeridianAdBrowserViewController> c = browser("");
    presenter_->presentModalViewController(c.get(), false);
    clickCentreOf(c->closeButton());
    ASSERT_EQ(dismissals_.dismissed.size(), 1u);
    EXPECT_EQ(dismissals_.dismissed[0], c.get());
    EXPECT_EQ(presenter_->modalViewController(), c.get());  // the delegate takes it away

    dismissals_.methods = 0;  // a delegate that does not answer
    clickCentreOf(c->closeButton());
    EXPECT_EQ(dismissals_.dismissed.size(), 1u);
    EXPECT_EQ(presenter_->modalViewController(), nullptr);
    EXPECT_EQ(c->view()->superview(), nullptr);

    host::Ref<MeridianAdBrowserViewController> lone = browser("");
    lone->setDelegate(nullptr);
    presenter_->presentModalViewController(lone.get(), false);
    lone->dismiss();
    EXPECT_EQ(presenter_->modalViewController(), nullptr);
}

TEST_F(MeridianBrowserTest, ATappedDeviceHandledLinkIsAlsoOpenedOutside) {
    MeridianSettings::shared().setDeviceHandledHosts({"127.0.0.1"});
    host::Ref<MeridianAdBrowserViewController> c = browser("");
    presenter_->presentModalViewController(c.get(), false);
    const std::string maps = server_.url("/maps?q=harbour");
    c->webView()->loadHTMLString("<body marginwidth=0 marginheight=0><font size=7><a href=\"" + maps +
                                     "\">MAP</a><br><a href=\"mailto:ads@example.com\">MAIL</a><br>"
                                     "<a href=\"http://localhost:1/other\">OTHER</a></font></body>",
                                 "");
    const float line = 60;  // size 7 is 48 points
    ASSERT_EQ(c->webView()->linkAtPoint(CGPointMake(20, 20)), maps);
    ASSERT_EQ(c->webView()->linkAtPoint(CGPointMake(20, 20 + line)), "mailto:ads@example.com");
    ASSERT_EQ(c->webView()->linkAtPoint(CGPointMake(20, 20 + 2 * line)), "http://localhost:1/other");
    click(20, 20);
    click(20, 20 + line);
    click(20, 20 + 2 * line);
    EXPECT_EQ(openedURLs(), (std::vector<std::string>{maps, "mailto:ads@example.com"}));
    waitForPage(c.get());
}

TEST_F(MeridianBrowserTest, TheUserAgentIsAddedToNavigationsOtherThanFollowedLinks) {
    host::Ref<MeridianAdBrowserViewController> c = browser("");
    host::HTTPRequest other;
    other.url = "http://127.0.0.1:1/a";
    EXPECT_TRUE(c->webViewShouldStartLoadWithRequest(c->webView(), other, host::kWebViewNavigationTypeOther));
    ASSERT_EQ(other.headers.size(), 1u);
    EXPECT_EQ(other.headers[0], std::make_pair(std::string("User-Agent"), std::string(kUserAgent)));
    // Said once, even when asked again for the same request.
    c->webViewShouldStartLoadWithRequest(c->webView(), other, host::kWebViewNavigationTypeReload);
    EXPECT_EQ(other.headers.size(), 1u);

    host::HTTPRequest followed;
    followed.url = "http://127.0.0.1:1/b";
    EXPECT_TRUE(c->webViewShouldStartLoadWithRequest(c->webView(), followed,
                                                     host::kWebViewNavigationTypeLinkClicked));
    EXPECT_TRUE(followed.headers.empty());
    EXPECT_TRUE(openedURLs().empty());
}

}  // namespace
