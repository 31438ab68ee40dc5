// The Meridian banner against an ad server on 127.0.0.1 whose answers each
// test chooses: the request it sends, every kind of answer and failure,
// the refresh timer, and taps that leave the application or open the
// in-application browser.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <deque>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "HostileXML.h"
#include "LoopbackServer.h"
#include "OverlayTestSupport.h"
#include "RunLoopWait.h"
#include "ScratchDirectory.h"
#include "adnetworks/MeridianBannerView.h"
#include "adnetworks/MeridianEncoding.h"
#include "adnetworks/MeridianSettings.h"
#include "host/core/Device.h"
#include "host/core/NotificationCenter.h"
#include "host/graphics/Image.h"
#include "host/net/HTTP.h"
#include "host/ui/Button.h"
#include "host/ui/Label.h"
#include "host/web/WebView.h"

namespace {

const char* const kDeviceIdentifier = "0123456789abcdef0123456789abcdef01234567";

std::string ad(const std::string& type, const std::string& body) {
    return "<?xml version=\"1.0\"?><ad type=\"" + type + "\">" + body + "</ad>";
}

std::string pngOfSize(uint32_t w, uint32_t h) {
    std::vector<uint8_t> pixels(size_t(w) * h * 3, 0x40), png;
    host::encodePNG(pixels.data(), w, h, 3, &png);
    return std::string(png.begin(), png.end());
}

class RecordingDelegate : public MeridianBannerViewDelegate {
public:
    unsigned meridianBannerViewDelegateMethods() const override { return methods; }
    std::string publisherIdForMeridianBannerView(MeridianBannerView*) override { return publisherId; }
    void meridianBannerViewDidLoadMeridianAd(MeridianBannerView*) override { ++loads; }
    void meridianBannerViewDidFailToReceiveAdWithError(MeridianBannerView*, host::Error* e) override {
        domains.push_back(e->domain());
        failures.emplace_back(e->code(), e->localizedDescription());
    }
    bool meridianBannerViewActionShouldBegin(MeridianBannerView*, bool willLeave) override {
        leaving.push_back(willLeave);
        return allowAction;
    }
    void meridianBannerViewActionDidFinish(MeridianBannerView*) override { ++actionsFinished; }

    unsigned methods = kPublisherId | kDidLoad | kDidFail | kActionShouldBegin | kActionDidFinish;
    std::string publisherId = "pub-7";
    bool allowAction = true;
    int loads = 0;
    int actionsFinished = 0;
    std::vector<std::pair<long, std::string>> failures;
    std::vector<std::string> domains;
    std::vector<bool> leaving;
};

struct SeenRequest {
    std::string target;
    std::string accept;
    std::string userAgent;
};

class MeridianBannerTest : public OverlayFixture {
protected:
    void SetUp() override {
        OverlayFixture::SetUp();
        dir_ = scratch_.path();
        std::ofstream(dir_ / "device-id") << kDeviceIdentifier << "\n";
        savedDataDir_ = host::Device::current().dataDirectory();
        host::Device::current().configure(false, false, dir_.string());
        openedLog_ = (dir_ / "opened.txt").string();
        setenv("TILTBOARD_OPEN_URL_LOG", openedLog_.c_str(), 1);
        host::HTTP::setTimeouts(500, 2000);

        auto& s = server_.server();
        s.Get("/request.php", [this](const httplib::Request& req, httplib::Response& res) {
            std::lock_guard<std::mutex> lock(mutex_);
            seen_.push_back({req.target, req.get_header_value("Accept"), req.get_header_value("User-Agent")});
            const std::string answer = answers_.empty() ? ad("noAd", "") : answers_.front();
            if (answers_.size() > 1) answers_.pop_front();
            res.set_content(answer, "text/xml");
        });
        s.Get("/banner.png", [this](const httplib::Request&, httplib::Response& res) {
            res.set_content(png_, "image/png");
        });
        s.Get("/go", [this](const httplib::Request&, httplib::Response& res) {
            res.set_redirect(server_.url("/final.html"));
        });
        s.Get("/to-maps", [](const httplib::Request&, httplib::Response& res) {
            res.set_redirect("http://" + MeridianSettings::defaultDeviceHandledHosts()[0] + "/place");
        });
        s.Get(R"(/(final|ads/page)\.html)", [this](const httplib::Request& req, httplib::Response& res) {
            std::lock_guard<std::mutex> lock(mutex_);
            pageAgents_.push_back(req.get_header_value("User-Agent"));
            res.set_content("<html><body><p>landing</p></body></html>", "text/html; charset=utf-8");
        });
        server_.start();
        MeridianSettings::shared().setServerBaseURL(server_.baseURL());

        presenter_ = host::Ref<host::ViewController>::adopt(
            host::createOwned<host::ViewController>([](host::ViewController* c) { return c->init(); }));
        presenter_->setView(host::View::viewWithFrame(CGRectMake(0, 0, 480, 320)));
        surface_->addSubview(presenter_->view());
    }

    void TearDown() override {
        for (auto& b : banners_) {
            b->setDelegate(nullptr);
            b->removeFromSuperview();
        }
        banners_.clear();
        if (presenter_->modalViewController()) presenter_->dismissModalViewControllerAnimated(false);
        presenter_->view()->removeFromSuperview();
        presenter_.reset();
        host::Application::sharedApplication()->setStatusBarHidden(false, false);
        MeridianSettings::shared().setServerBaseURL("");
        host::HTTP::setTimeouts(10000, 30000);
        unsetenv("TILTBOARD_OPEN_URL_LOG");
        OverlayFixture::TearDown();
        server_.stop();
        host::Device::current().configure(false, false, savedDataDir_);
    }

    void answerWith(std::vector<std::string> answers) {
        std::lock_guard<std::mutex> lock(mutex_);
        answers_.assign(answers.begin(), answers.end());
    }
    std::vector<SeenRequest> seen() {
        std::lock_guard<std::mutex> lock(mutex_);
        return seen_;
    }
    std::vector<std::string> pageAgents() {
        std::lock_guard<std::mutex> lock(mutex_);
        return pageAgents_;
    }

    // A banner of the phone's size in the presenter's view, not yet asking.
    MeridianBannerView* makeBanner() {
        auto* banner = host::createOwned<MeridianBannerView>(
            [](MeridianBannerView* b) { return b->initWithFrame(CGRectMake(0, 0, 320, 50)); });
        presenter_->view()->addSubview(banner);
        banner->release();
        banners_.push_back(banner);
        return banner;
    }
    // A banner that has asked once and had its answer.
    MeridianBannerView* bannerWithAnswer(const std::string& answer) {
        answerWith({answer});
        MeridianBannerView* banner = makeBanner();
        banner->setDelegate(&delegate_);
        EXPECT_TRUE(waitFor([&] { return outcomes() == 1; }));
        return banner;
    }
    size_t outcomes() const { return size_t(delegate_.loads) + delegate_.failures.size(); }

    std::vector<std::string> openedLinks() const {
        std::vector<std::string> links;
        std::ifstream in(openedLog_);
        for (std::string line; std::getline(in, line);) links.push_back(line);
        return links;
    }

    ScratchDirectory scratch_;
    std::filesystem::path dir_;
    std::string savedDataDir_;
    std::string openedLog_;
    LoopbackServer server_;
    std::string png_ = pngOfSize(300, 40);
    std::mutex mutex_;
    std::deque<std::string> answers_;
    std::vector<SeenRequest> seen_;
    std::vector<std::string> pageAgents_;
    host::Ref<host::ViewController> presenter_;
    std::vector<MeridianBannerView*> banners_;  // owned by the presenter's view
    RecordingDelegate delegate_;
};

TEST_F(MeridianBannerTest, ARequestSendsTheExactQueryAndHeaders) {
    MeridianBannerView* banner = makeBanner();
    banner->setAdvertisingSection("top bar/\xC3\xBC");
    delegate_.publisherId = "pub&7=x";
    banner->setDelegate(&delegate_);
    ASSERT_TRUE(waitFor([&] { return outcomes() == 1; }));
    ASSERT_EQ(seen().size(), 1u);
    const SeenRequest r = seen()[0];
    EXPECT_EQ(r.target, "/request.php?rt=iphone_app&u=Meridian%2F3.0.3%20%28iPhone%29&o=" + md5(kDeviceIdentifier) +
                            "&v=3.0.3&m=live&s=pub%267%3Dx&iphone_osversion=" +
                            stringByUrlEncoding(host::Device::current().systemVersion()) +
                            "&spot_id=top%20bar%2F%C3%BC");
    EXPECT_EQ(r.accept, "text/xml");
    EXPECT_EQ(r.userAgent, "Meridian/3.0.3 (iPhone)");
    EXPECT_EQ(MeridianBannerView::userAgent(), "Meridian/3.0.3 (iPhone)");
}

TEST_F(MeridianBannerTest, OnATabletTheRequestAndTheTextAdvertTakeTheTabletForms) {
    host::Device::current().configure(true, false, dir_.string());
    MeridianBannerView* banner = bannerWithAnswer(ad("textAd", "<htmlString>x</htmlString>"));
    ASSERT_EQ(seen().size(), 1u);
    EXPECT_EQ(seen()[0].target.rfind("/request.php?rt=ipad_app&u=Meridian%2F3.0.3%20%28iPad%29&", 0), 0u);
    EXPECT_EQ(seen()[0].userAgent, "Meridian/3.0.3 (iPad)");
    ASSERT_FALSE(banner->subviews().empty());
    EXPECT_TRUE(rectNear(banner->subviews()[0]->bounds(), CGRectMake(0, 0, 728, 90)));
}

TEST_F(MeridianBannerTest, EveryFailingAnswerReachesTheDelegateWithItsCodeAndDescription) {
    const std::string parseError = "Error parsing xml response from server";
    const struct {
        std::string answer;
        long code;
        std::string description;
    } rows[] = {
        {"<error>Invalid publisher</error>", 0, "Invalid publisher"},
        {ad("imageAd", "<bannerwidth>300</bannerwidth>"), 0, "Error loading banner image"},
        {ad("imageAd", "<imageurl>" + server_.url("/missing.png") + "</imageurl>"), 0, "Error loading banner image"},
        {ad("noAd", "<refresh>0</refresh>"), 2, "No inventory for ad request"},
        {ad("error", ""), 0, "Unknown error"},
        {ad("videoAd", ""), 0, "Unknown ad type 'videoAd'"},
        {"<html><body>not an advert</body></html>", 0, "Unknown ad type ''"},  // XML of the wrong shape
        {"Service unavailable", 0, parseError},
        {"<ad type=\"imageAd\"><imageurl>", 0, parseError},
        {billionLaughsDocument(), 0, parseError},
        {ad("noAd", "<pad>" + std::string(3 << 20, 'x') + "</pad>"), 0, parseError},  // far too large
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.answer.substr(0, 60));
        delegate_ = RecordingDelegate();
        MeridianBannerView* banner = bannerWithAnswer(row.answer);
        ASSERT_EQ(delegate_.failures.size(), 1u);
        EXPECT_EQ(delegate_.failures[0].first, row.code);
        EXPECT_EQ(delegate_.failures[0].second, row.description);
        EXPECT_EQ(delegate_.domains[0], "Meridian");
        EXPECT_EQ(delegate_.loads, 0);
        EXPECT_FALSE(banner->isBannerLoaded());
        EXPECT_TRUE(banner->subviews().empty());
        banner->setDelegate(nullptr);
    }
}

TEST_F(MeridianBannerTest, WithoutAServerEveryRequestFailsAsAnUnreadableAnswer) {
    MeridianSettings::shared().setServerBaseURL("");
    makeBanner()->setDelegate(&delegate_);
    ASSERT_TRUE(waitFor([&] { return outcomes() == 1; }));
    ASSERT_EQ(delegate_.failures.size(), 1u);
    EXPECT_EQ(delegate_.failures[0], std::make_pair(0L, std::string("Error parsing xml response from server")));
    EXPECT_TRUE(seen().empty());
}

TEST_F(MeridianBannerTest, DelegateProblemsShowALabelAndRequestNothing) {
    struct Case {
        unsigned methods;
        std::string publisherId;
        std::string label;
    } cases[] = {
        {MeridianBannerViewDelegate::kDidFail, "pub", "MeridianBannerViewDelegate does not implement "
                                                      "publisherIdForMeridianBannerView:"},
        {MeridianBannerViewDelegate::kPublisherId | MeridianBannerViewDelegate::kDidFail, "",
         "MeridianBannerViewDelegate returned invalid publisher ID."},
    };
    for (const Case& c : cases) {
        RecordingDelegate d;
        d.methods = c.methods;
        d.publisherId = c.publisherId;
        MeridianBannerView* banner = makeBanner();
        banner->setDelegate(&d);
        ASSERT_EQ(banner->subviews().size(), 1u);
        auto* label = dynamic_cast<host::Label*>(banner->subviews()[0].get());
        ASSERT_NE(label, nullptr);
        EXPECT_EQ(label->text(), c.label);
        EXPECT_EQ(label->numberOfLines(), 0);
        EXPECT_TRUE(rectNear(label->frame(), banner->bounds()));
        banner->setDelegate(nullptr);
        EXPECT_TRUE(d.failures.empty());
    }
    MeridianBannerView* banner = makeBanner();
    banner->requestAd();
    ASSERT_EQ(banner->subviews().size(), 1u);
    EXPECT_EQ(dynamic_cast<host::Label*>(banner->subviews()[0].get())->text(), "MeridianBannerViewDelegate not set");
    settleRunLoop();
    EXPECT_TRUE(seen().empty());
}

TEST_F(MeridianBannerTest, SettingTheSameDelegateTwiceRequestsOnce) {
    MeridianBannerView* banner = makeBanner();
    banner->setDelegate(&delegate_);
    banner->setDelegate(&delegate_);
    ASSERT_TRUE(waitFor([&] { return outcomes() == 1; }));
    settleRunLoop();
    EXPECT_EQ(seen().size(), 1u);
    EXPECT_EQ(outcomes(), 1u);
}

TEST_F(MeridianBannerTest, AnImageAdvertIsACentredButtonWithTheFetchedImage) {
    MeridianBannerView* banner = bannerWithAnswer(
        ad("imageAd", "<imageurl>" + server_.url("/banner.png") +
                          "</imageurl><bannerwidth>300</bannerwidth><bannerheight>40</bannerheight>"
                          "<clickurl>http://example.com/a</clickurl><refresh>30</refresh>"));
    EXPECT_EQ(delegate_.loads, 1);
    EXPECT_TRUE(delegate_.failures.empty());
    EXPECT_TRUE(banner->isBannerLoaded());
    ASSERT_NE(banner->bannerImage(), nullptr);
    EXPECT_EQ(banner->bannerImage()->width(), 300u);
    ASSERT_EQ(banner->subviews().size(), 1u);
    auto* button = dynamic_cast<host::Button*>(banner->subviews()[0].get());
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->imageForState(host::kControlStateNormal), banner->bannerImage());
    EXPECT_TRUE(rectNear(button->frame(), CGRectMake(10, 5, 300, 40)));
    EXPECT_EQ(banner->tapThroughURL(), "http://example.com/a");
    EXPECT_TRUE(banner->tapThroughLeavesApp());

    // A new size re-centres the advert.
    banner->setBounds(CGRectMake(0, 0, 400, 60));
    EXPECT_TRUE(rectNear(button->frame(), CGRectMake(50, 10, 300, 40)));
}

TEST_F(MeridianBannerTest, ATextAdvertIsAPassiveWebViewUnderADarkeningButton) {
    MeridianBannerView* banner = bannerWithAnswer(
        ad("textAd", "<htmlString>&lt;p&gt;Buy &lt;b&gt;now&lt;/b&gt;&lt;/p&gt;</htmlString>"
                     "<clicktype>inapp</clicktype><scale>yes</scale><refresh>0</refresh>"));
    EXPECT_EQ(delegate_.loads, 1);
    ASSERT_EQ(banner->subviews().size(), 2u);
    auto* web = dynamic_cast<host::WebView*>(banner->subviews()[0].get());
    auto* shade = dynamic_cast<host::Button*>(banner->subviews()[1].get());
    ASSERT_NE(web, nullptr);
    ASSERT_NE(shade, nullptr);
    EXPECT_TRUE(rectNear(web->frame(), CGRectMake(0, 0, 320, 50)));
    EXPECT_FALSE(web->isUserInteractionEnabled());
    EXPECT_FALSE(web->isOpaque());
    EXPECT_EQ(web->backgroundColor().a, 0);
    EXPECT_EQ(web->delegate(), banner);
    EXPECT_TRUE(rectNear(shade->frame(), CGRectMake(0, 0, 320, 50)));
    EXPECT_FLOAT_EQ(shade->alpha(), 0.47f);
    EXPECT_EQ(shade->imageForState(host::kControlStateNormal), nullptr);
    host::Image* dark = shade->imageForState(host::kControlStateHighlighted);
    ASSERT_NE(dark, nullptr);
    EXPECT_EQ(dark->width(), 320u);
    EXPECT_EQ(dark->pixels()[0], 0);
    EXPECT_EQ(dark->pixels()[3], 255);
    EXPECT_FALSE(banner->tapThroughLeavesApp());
    EXPECT_TRUE(banner->shouldScaleWebView());
    EXPECT_EQ(banner->refreshTimer(), nullptr);  // refresh 0 arms no timer
}

TEST_F(MeridianBannerTest, AReplacementAdvertFlipsInWithoutASecondSuccessReport) {
    const std::string image = ad("imageAd", "<imageurl>" + server_.url("/banner.png") +
                                                "</imageurl><bannerwidth>300</bannerwidth>"
                                                "<bannerheight>40</bannerheight><refresh>30</refresh>");
    MeridianBannerView* banner = bannerWithAnswer(image);
    banner->setRefreshAnimation(host::kAnimationOptionTransitionCurlDown);
    ASSERT_EQ(banner->subviews().size(), 1u);
    const host::Ref<host::View> first = banner->subviews()[0];
    ASSERT_NE(banner->refreshTimer(), nullptr);
    runFor(30);
    ASSERT_TRUE(waitFor([&] { return !banner->subviews().empty() && banner->subviews()[0].get() != first.get(); }));
    EXPECT_EQ(seen().size(), 2u);
    EXPECT_EQ(banner->subviews().size(), 1u);
    EXPECT_EQ(delegate_.loads, 1);
    EXPECT_TRUE(delegate_.failures.empty());
    const auto& transitions = host::ViewAnimator::shared().transitions();
    ASSERT_EQ(transitions.size(), 1u);
    EXPECT_EQ(transitions[0]->view.get(), banner);
    EXPECT_EQ(transitions[0]->kind, host::kAnimationTransitionCurlDown);
    runFor(1.6);
    EXPECT_TRUE(host::ViewAnimator::shared().transitions().empty());
}

TEST_F(MeridianBannerTest, TheRefreshTimerKeepsItsPeriodAndPausesWhileInactive) {
    answerWith({ad("noAd", "<refresh>30</refresh>"), ad("noAd", "<refresh>5</refresh>")});
    MeridianBannerView* banner = makeBanner();
    banner->setDelegate(&delegate_);
    ASSERT_TRUE(waitFor([&] { return outcomes() == 1; }));
    // No inventory still arms the refresh.
    EXPECT_EQ(delegate_.failures[0].first, 2);
    host::Timer* timer = banner->refreshTimer();
    ASSERT_NE(timer, nullptr);
    EXPECT_DOUBLE_EQ(timer->interval(), 30);

    runFor(30);
    ASSERT_TRUE(waitFor([&] { return outcomes() == 2; }));
    EXPECT_EQ(banner->refreshInterval(), 5);
    EXPECT_EQ(banner->refreshTimer(), timer);
    EXPECT_DOUBLE_EQ(timer->interval(), 30);
    runFor(10);
    settleRunLoop();
    EXPECT_EQ(seen().size(), 2u);

    auto& center = host::NotificationCenter::defaultCenter();
    center.postNotificationName(host::kApplicationWillResignActiveNotification);
    EXPECT_EQ(banner->refreshTimer(), nullptr);
    runFor(60);
    settleRunLoop();
    EXPECT_EQ(seen().size(), 2u);
    center.postNotificationName(host::kApplicationDidBecomeActiveNotification);
    ASSERT_NE(banner->refreshTimer(), nullptr);
    EXPECT_DOUBLE_EQ(banner->refreshTimer()->interval(), 5);
}

TEST_F(MeridianBannerTest, AnErrorRootArmsNoRefresh) {
    MeridianBannerView* banner = bannerWithAnswer("<error>Down for maintenance</error>");
    EXPECT_EQ(banner->refreshTimer(), nullptr);
    runFor(120);
    settleRunLoop();
    EXPECT_EQ(seen().size(), 1u);
}

TEST_F(MeridianBannerTest, ABannerItsOwnersLetGoOfStopsRequesting) {
    answerWith({ad("noAd", "<refresh>1</refresh>")});
    MeridianBannerView* banner = makeBanner();
    banner->setDelegate(&delegate_);
    // Taken down as the rotation does it, with the request still under way.
    banner->setDelegate(nullptr);
    banner->removeFromSuperview();
    banners_.clear();
    pool_.drain();
    ASSERT_TRUE(waitFor([&] { return seen().size() == 1; }));
    settleRunLoop();
    runFor(5);
    settleRunLoop();
    EXPECT_EQ(seen().size(), 1u);
    EXPECT_EQ(outcomes(), 0u);
}

TEST_F(MeridianBannerTest, ATapThatLeavesTheApplicationOpensTheLinkAtOnce) {
    MeridianBannerView* banner =
        bannerWithAnswer(ad("textAd", "<htmlString>x</htmlString><clicktype>safari</clicktype>"
                                      "<clickurl>http://example.com/offer?id=1</clickurl><refresh>30</refresh>"));
    clickCentreOf(banner);
    EXPECT_EQ(openedLinks(), std::vector<std::string>{"http://example.com/offer?id=1"});
    EXPECT_EQ(delegate_.leaving, std::vector<bool>{true});
    EXPECT_EQ(presenter_->modalViewController(), nullptr);
    EXPECT_NE(banner->refreshTimer(), nullptr);

    // The delegate may cancel the tap.
    delegate_.allowAction = false;
    clickCentreOf(banner);
    EXPECT_EQ(openedLinks().size(), 1u);
}

TEST_F(MeridianBannerTest, AnInAppTapOnADeviceHandledLinkAlsoLeaves) {
    MeridianBannerView* banner = bannerWithAnswer(
        ad("textAd", "<htmlString>x</htmlString><clicktype>inapp</clicktype>"
                     "<clickurl>mailto:offers@example.com</clickurl>"));
    banner->tapThrough();
    EXPECT_EQ(openedLinks(), std::vector<std::string>{"mailto:offers@example.com"});
    EXPECT_EQ(delegate_.leaving, std::vector<bool>{false});
    EXPECT_FALSE(banner->isBannerViewActionInProgress());
}

TEST_F(MeridianBannerTest, SkippingThePreflightOpensTheBrowserAndItsCloseRestartsTheTimer) {
    MeridianBannerView* banner = bannerWithAnswer(
        ad("textAd", "<htmlString>x</htmlString><clicktype>inapp</clicktype><skippreflight>yes</skippreflight>"
                     "<scale>yes</scale><clickurl>" + server_.url("/final.html") +
                     "</clickurl><refresh>30</refresh>"));
    ASSERT_NE(banner->refreshTimer(), nullptr);
    clickCentreOf(banner);
    auto* browser = dynamic_cast<MeridianAdBrowserViewController*>(presenter_->modalViewController());
    ASSERT_NE(browser, nullptr);
    EXPECT_EQ(browser, banner->browser());
    EXPECT_EQ(browser->url(), server_.url("/final.html"));
    EXPECT_EQ(browser->userAgent(), "Meridian/3.0.3 (iPhone)");
    EXPECT_TRUE(browser->webView()->scalesPageToFit());
    EXPECT_TRUE(banner->isBannerViewActionInProgress());
    EXPECT_EQ(banner->refreshTimer(), nullptr);
    EXPECT_TRUE(host::Application::sharedApplication()->isStatusBarHidden());
    EXPECT_TRUE(openedLinks().empty());
    // The page is fetched with the banner's user agent.
    ASSERT_TRUE(waitFor([&] { return !pageAgents().empty(); }));
    EXPECT_EQ(pageAgents()[0], "Meridian/3.0.3 (iPhone)");

    // While the browser is up, becoming active does not restart the refresh.
    host::NotificationCenter::defaultCenter().postNotificationName(host::kApplicationDidBecomeActiveNotification);
    EXPECT_EQ(banner->refreshTimer(), nullptr);

    browser->dismiss();
    EXPECT_FALSE(banner->isBannerViewActionInProgress());
    ASSERT_NE(banner->refreshTimer(), nullptr);
    EXPECT_DOUBLE_EQ(banner->refreshTimer()->interval(), 30);
    EXPECT_FALSE(host::Application::sharedApplication()->isStatusBarHidden());
    EXPECT_EQ(delegate_.actionsFinished, 1);
    runFor(1);
    EXPECT_EQ(presenter_->modalViewController(), nullptr);
}

TEST_F(MeridianBannerTest, TheBrowserLeavesAStatusBarHiddenByOthersHidden) {
    host::Application::sharedApplication()->setStatusBarHidden(true, false);
    MeridianBannerView* banner = bannerWithAnswer(
        ad("textAd", "<htmlString>x</htmlString><clicktype>inapp</clicktype><skippreflight>yes</skippreflight>"
                     "<clickurl>" + server_.url("/final.html") + "</clickurl>"));
    banner->tapThrough();
    ASSERT_NE(banner->browser(), nullptr);
    banner->browser()->dismiss();
    EXPECT_TRUE(host::Application::sharedApplication()->isStatusBarHidden());
}

TEST_F(MeridianBannerTest, ARedirectOpensTheNewAddressInTheBrowser) {
    MeridianBannerView* banner = bannerWithAnswer(
        ad("textAd", "<htmlString>x</htmlString><clicktype>inapp</clicktype><clickurl>" + server_.url("/go") +
                         "</clickurl><refresh>30</refresh>"));
    banner->tapThrough();
    EXPECT_EQ(banner->refreshTimer(), nullptr);
    ASSERT_TRUE(waitFor([&] { return presenter_->modalViewController() != nullptr; }));
    auto* browser = dynamic_cast<MeridianAdBrowserViewController*>(presenter_->modalViewController());
    ASSERT_NE(browser, nullptr);
    EXPECT_EQ(browser->url(), server_.url("/final.html"));
    EXPECT_TRUE(banner->isBannerViewActionInProgress());
}

TEST_F(MeridianBannerTest, ARedirectToADeviceHandledHostLeavesTheApplication) {
    MeridianBannerView* banner = bannerWithAnswer(
        ad("textAd", "<htmlString>x</htmlString><clicktype>inapp</clicktype><clickurl>" + server_.url("/to-maps") +
                         "</clickurl>"));
    banner->tapThrough();
    ASSERT_TRUE(waitFor([&] { return !openedLinks().empty(); }));
    EXPECT_EQ(openedLinks()[0], "http://" + MeridianSettings::defaultDeviceHandledHosts()[0] + "/place");
    EXPECT_EQ(presenter_->modalViewController(), nullptr);
}

TEST_F(MeridianBannerTest, APageWithoutRedirectIsShownFromTheCheckersAnswer) {
    MeridianBannerView* banner = bannerWithAnswer(
        ad("textAd", "<htmlString>x</htmlString><clicktype>inapp</clicktype><clickurl>" +
                         server_.url("/ads/page.html?c=1") + "</clickurl>"));
    banner->tapThrough();
    ASSERT_TRUE(waitFor([&] { return presenter_->modalViewController() != nullptr; }));
    auto* browser = dynamic_cast<MeridianAdBrowserViewController*>(presenter_->modalViewController());
    ASSERT_NE(browser, nullptr);
    EXPECT_EQ(browser->url(), "");
    EXPECT_EQ(browser->webView()->currentURL(), server_.url("/ads/"));
    EXPECT_EQ(pageAgents(), std::vector<std::string>{"Meridian/3.0.3 (iPhone)"});
    EXPECT_TRUE(banner->isBannerViewActionInProgress());
}

TEST_F(MeridianBannerTest, AFailedLinkCheckLeavesTheRefreshStoppedUntilTheAppIsActiveAgain) {
    LoopbackServer closed;
    closed.start();
    const std::string deadURL = closed.url("/gone");
    closed.stop();
    MeridianBannerView* banner = bannerWithAnswer(
        ad("textAd", "<htmlString>x</htmlString><clicktype>inapp</clicktype><clickurl>" + deadURL +
                         "</clickurl><refresh>30</refresh>"));
    banner->tapThrough();
    EXPECT_TRUE(banner->isCheckingLink());
    ASSERT_TRUE(waitFor([&] { return !banner->isCheckingLink(); }));
    EXPECT_FALSE(banner->isBannerViewActionInProgress());
    EXPECT_EQ(presenter_->modalViewController(), nullptr);
    EXPECT_EQ(banner->refreshTimer(), nullptr);
    host::NotificationCenter::defaultCenter().postNotificationName(host::kApplicationDidBecomeActiveNotification);
    EXPECT_NE(banner->refreshTimer(), nullptr);
}

TEST_F(MeridianBannerTest, AnInAppTapWithNoPresenterDoesNothing) {
    MeridianBannerView* banner = bannerWithAnswer(
        ad("textAd", "<htmlString>x</htmlString><clicktype>inapp</clicktype><skippreflight>yes</skippreflight>"
                     "<clickurl>" + server_.url("/final.html") + "</clickurl><refresh>30</refresh>"));
    const host::Ref<MeridianBannerView> keep(banner);
    banner->removeFromSuperview();
    surface_->addSubview(banner);  // no controller up the chain
    banner->tapThrough();
    EXPECT_EQ(banner->browser(), nullptr);
    EXPECT_NE(banner->refreshTimer(), nullptr);
}

}  // namespace
