// The Apex banner client against an Apex server on 127.0.0.1 whose answer
// each test chooses: the request it sends, what counts as an advert, one
// callback per attempt, the 60 s refresh, taps and take-downs.
#include <gtest/gtest.h>

#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "LoopbackServer.h"
#include "OverlayTestSupport.h"
#include "RunLoopWait.h"
#include "ScratchDirectory.h"
#include "adnetworks/APXBannerView.h"
#include "adnetworks/ApexSettings.h"
#include "host/graphics/Image.h"
#include "host/net/HTTP.h"

namespace {

const uint8_t kAdvertColour[4] = {0x20, 0x80, 0xE0, 0xFF};

std::string advertPNG() {
    std::vector<uint8_t> pixels, png;
    for (int i = 0; i < 320 * 50; ++i) pixels.insert(pixels.end(), kAdvertColour, kAdvertColour + 4);
    host::encodePNG(pixels.data(), 320, 50, 4, &png);
    return std::string(png.begin(), png.end());
}

// What the server answers to /banner.
struct BannerAnswer {
    int status = 200;
    std::string body;
    std::string contentType = "image/png";
    std::string clickURL;
    int delayMs = 0;
};

// What the server saw of one request.
struct SeenRequest {
    std::string path, unit, testDevices, userAgent;
};

class RecordingDelegate : public APXBannerViewDelegate {
public:
    void adViewDidReceiveAd(APXBannerView* banner) override {
        ++received;
        if (onCallback) onCallback(banner);
    }
    void adViewDidFailToReceiveAdWithError(APXBannerView* banner, host::Error* error) override {
        ++failed;
        lastErrorCode = error ? error->code() : -1;
        lastErrorDomain = error ? error->domain() : "";
        if (onCallback) onCallback(banner);
    }
    int calls() const { return received + failed; }

    int received = 0;
    int failed = 0;
    long lastErrorCode = 0;
    std::string lastErrorDomain;
    std::function<void(APXBannerView*)> onCallback;
};

class APXBannerTest : public OverlayFixture {
protected:
    void SetUp() override {
        OverlayFixture::SetUp();
        host::HTTP::setTimeouts(500, 2000);
        answer_.body = advertPNG();
        answer_.clickURL = "http://example.com/apex-advert";
        server_.server().Get("/banner", [this](const httplib::Request& q, httplib::Response& r) {
            BannerAnswer a;
            {
                std::lock_guard<std::mutex> lock(mutex_);
                seen_.push_back({q.path, q.get_param_value("unit"), q.get_header_value("X-Apex-Test-Devices"),
                                 q.get_header_value("User-Agent")});
                a = answer_;
            }
            if (a.delayMs) std::this_thread::sleep_for(std::chrono::milliseconds(a.delayMs));
            r.status = a.status;
            r.set_content(a.body, a.contentType);
            if (!a.clickURL.empty()) r.set_header("X-Click-URL", a.clickURL);
        });
        server_.start();
        ApexSettings::shared().setServerURL(server_.baseURL() + "/");
        openedLog_ = scratch_.file("opened.txt");
        setenv("TILTBOARD_OPEN_URL_LOG", openedLog_.c_str(), 1);
    }
    void TearDown() override {
        for (auto& b : banners_) {
            b->setDelegate(nullptr);
            b->removeFromSuperview();
        }
        banners_.clear();
        unsetenv("TILTBOARD_OPEN_URL_LOG");
        ApexSettings::shared().setServerURL("");
        host::HTTP::setTimeouts(10000, 30000);
        OverlayFixture::TearDown();
        server_.stop();
    }

    // Made and started as the advert rotation does it.
    APXBannerView* startBanner(const std::string& unit = "a15b00c6e8f1a42") {
        host::Ref<APXBannerView> banner = host::Ref<APXBannerView>::adopt(host::createOwned<APXBannerView>(
            [](APXBannerView* b) { return b->initWithFrame(CGRectMake(0, 0, 320, 50)); }));
        banner->setAdUnitID(unit);
        APXRequest* request = APXRequest::request();
        request->setTestDevices({"Simulator"});
        banner->loadRequest(request);
        banner->setDelegate(&delegate_);
        banner->setUserInteractionEnabled(true);
        banners_.push_back(banner);
        return banner;
    }

    void setAnswer(const BannerAnswer& a) {
        std::lock_guard<std::mutex> lock(mutex_);
        answer_ = a;
    }
    std::vector<SeenRequest> seen() {
        std::lock_guard<std::mutex> lock(mutex_);
        return seen_;
    }

    std::vector<std::string> openedURLs() {
        std::vector<std::string> urls;
        std::ifstream in(openedLog_);
        for (std::string line; std::getline(in, line);) urls.push_back(line);
        return urls;
    }

    LoopbackServer server_;
    std::mutex mutex_;
    BannerAnswer answer_;
    std::vector<SeenRequest> seen_;
    RecordingDelegate delegate_;
    std::vector<host::Ref<APXBannerView>> banners_;
    ScratchDirectory scratch_;
    std::filesystem::path openedLog_;
};

TEST_F(APXBannerTest, AsksForTheUnitWithTheTestDevicesAndShowsThePNG) {
    APXBannerView* banner = startBanner("unit/with space&more");
    ASSERT_TRUE(waitFor([&] { return delegate_.calls() > 0; }));
    ASSERT_EQ(seen().size(), 1u);
    EXPECT_EQ(seen()[0].path, "/banner");
    EXPECT_EQ(seen()[0].unit, "unit/with space&more");
    EXPECT_EQ(seen()[0].testDevices, "Simulator");
    EXPECT_EQ(seen()[0].userAgent.rfind("Apex/1.0 (", 0), 0u);

    EXPECT_EQ(delegate_.received, 1);
    EXPECT_EQ(delegate_.failed, 0);
    host::Image* shown = banner->advertImage();
    ASSERT_NE(shown, nullptr);
    EXPECT_EQ(shown->width(), 320u);
    EXPECT_EQ(shown->height(), 50u);
    ASSERT_GE(shown->pixels().size(), 4u);
    EXPECT_EQ(shown->pixels()[2], kAdvertColour[2]);
    EXPECT_EQ(banner->clickURL(), "http://example.com/apex-advert");
    EXPECT_FALSE(banner->isLoading());
    EXPECT_TRUE(banner->isRefreshScheduled());
}

TEST_F(APXBannerTest, AJPEGIsAnAdvertToo) {
    host::Image* source = host::Image::imageWithPixels(kAdvertColour, 1, 1, 4);
    std::vector<uint8_t> jpeg;
    ASSERT_TRUE(source->JPEGRepresentation(90, &jpeg));
    BannerAnswer a;
    a.body.assign(jpeg.begin(), jpeg.end());
    a.contentType = "image/jpeg";
    setAnswer(a);
    APXBannerView* banner = startBanner();
    ASSERT_TRUE(waitFor([&] { return delegate_.calls() > 0; }));
    EXPECT_EQ(delegate_.received, 1);
    ASSERT_NE(banner->advertImage(), nullptr);
    EXPECT_EQ(banner->clickURL(), "");  // no X-Click-URL: a tap opens nothing
}

TEST_F(APXBannerTest, AnswersThatAreNotAnAdvertEachFailOnce) {
    struct Case {
        const char* name;
        BannerAnswer answer;
        long code;
    };
    const std::string png = advertPNG();
    std::string oversized = png;
    oversized.resize(host::kHTTPMaxImageBytes + 1024, '\0');
    std::string truncated = png.substr(0, 60);
    const std::vector<Case> cases = {
        {"not found", {404, png, "image/png", "", 0}, kAPXErrorServerStatus},
        {"server error", {500, "", "text/plain", "", 0}, kAPXErrorServerStatus},
        {"text", {200, "<html>no advert today</html>", "text/html", "", 0}, kAPXErrorNotAnImage},
        {"empty", {200, "", "image/png", "", 0}, kAPXErrorNotAnImage},
        {"broken PNG", {200, truncated, "image/png", "", 0}, kAPXErrorBadImage},
        {"over 4 MiB", {200, oversized, "image/png", "", 0}, kAPXErrorNetwork},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        delegate_ = RecordingDelegate();
        setAnswer(c.answer);
        APXBannerView* banner = startBanner();
        ASSERT_TRUE(waitFor([&] { return delegate_.calls() > 0; }));
        settleRunLoop();
        EXPECT_EQ(delegate_.failed, 1);
        EXPECT_EQ(delegate_.received, 0);
        EXPECT_EQ(delegate_.lastErrorDomain, kAPXErrorDomain);
        EXPECT_EQ(delegate_.lastErrorCode, c.code);
        EXPECT_EQ(banner->advertImage(), nullptr);
        banner->setDelegate(nullptr);
    }
}

TEST_F(APXBannerTest, WithoutAServerEveryAttemptFailsOnTheNextTurn) {
    ApexSettings::shared().setServerURL("");
    startBanner();
    EXPECT_EQ(delegate_.calls(), 0);  // never from inside loadRequest
    host::RunLoop::main().runOnce(0);
    EXPECT_EQ(delegate_.failed, 1);
    EXPECT_EQ(delegate_.lastErrorCode, kAPXErrorNoServer);
    settleRunLoop();
    EXPECT_EQ(delegate_.calls(), 1);
    EXPECT_TRUE(seen().empty());
    // It keeps trying, and failing, every 60 s.
    runFor(60.1);
    EXPECT_EQ(delegate_.failed, 2);
}

TEST_F(APXBannerTest, RefreshesSixtySecondsAfterEachAttemptWithOneCallbackEach) {
    startBanner();
    ASSERT_TRUE(waitFor([&] { return delegate_.calls() == 1; }));
    runFor(59.9);
    settleRunLoop();
    EXPECT_EQ(seen().size(), 1u);
    EXPECT_EQ(delegate_.calls(), 1);

    BannerAnswer nothing;
    nothing.status = 404;
    setAnswer(nothing);
    runFor(0.2);
    ASSERT_TRUE(waitFor([&] { return delegate_.calls() == 2; }));
    settleRunLoop();
    EXPECT_EQ(seen().size(), 2u);
    EXPECT_EQ(delegate_.received, 1);
    EXPECT_EQ(delegate_.failed, 1);

    // A failure with the delegate still set is retried as well.
    runFor(60.1);
    ASSERT_TRUE(waitFor([&] { return delegate_.calls() == 3; }));
    settleRunLoop();
    EXPECT_EQ(seen().size(), 3u);
    EXPECT_EQ(delegate_.failed, 2);
}

TEST_F(APXBannerTest, ATapOpensTheAdvertsClickURL) {
    APXBannerView* banner = startBanner();
    banner->setFrame(CGRectMake(160, 0, 320, 50));
    surface_->addSubview(banner);
    click(300, 25);  // before the advert arrives: nothing to open
    EXPECT_TRUE(openedURLs().empty());
    ASSERT_TRUE(waitFor([&] { return delegate_.received == 1; }));
    click(300, 25);
    EXPECT_EQ(openedURLs(), (std::vector<std::string>{"http://example.com/apex-advert"}));
    click(100, 25);  // outside the banner
    EXPECT_EQ(openedURLs().size(), 1u);
}

TEST_F(APXBannerTest, AClickURLThatIsNotAWebLinkIsNeverOpened) {
    BannerAnswer a = answer_;
    a.clickURL = "file:///etc/passwd";
    setAnswer(a);
    APXBannerView* banner = startBanner();
    banner->setFrame(CGRectMake(160, 0, 320, 50));
    surface_->addSubview(banner);
    ASSERT_TRUE(waitFor([&] { return delegate_.received == 1; }));
    EXPECT_EQ(banner->clickURL(), "");
    click(300, 25);
    EXPECT_TRUE(openedURLs().empty());
}

TEST_F(APXBannerTest, ATakenDownBannerNeverCallsBack) {
    // A nil delegate while the attempt is under way: the answer is dropped.
    BannerAnswer slow = answer_;
    slow.delayMs = 100;
    setAnswer(slow);
    APXBannerView* first = startBanner();
    first->setDelegate(nullptr);
    ASSERT_TRUE(waitFor([&] { return seen().size() == 1; }));
    settleRunLoop();
    EXPECT_EQ(delegate_.calls(), 0);
    EXPECT_FALSE(first->isLoading());
    runFor(61);
    settleRunLoop();
    EXPECT_EQ(seen().size(), 1u);
    EXPECT_EQ(delegate_.calls(), 0);

    // Freed while its request is under way.
    {
        startBanner();
        banners_.pop_back();
    }
    ASSERT_TRUE(waitFor([&] { return seen().size() == 2; }));
    settleRunLoop();
    EXPECT_EQ(delegate_.calls(), 0);

    // Shown, then removed from its superview: no more refreshes.
    setAnswer(answer_);
    APXBannerView* shown = startBanner();
    ASSERT_TRUE(waitFor([&] { return delegate_.received == 1; }));
    surface_->addSubview(shown);
    shown->removeFromSuperview();
    EXPECT_FALSE(shown->isRefreshScheduled());
    runFor(61);
    settleRunLoop();
    EXPECT_EQ(seen().size(), 3u);
    EXPECT_EQ(delegate_.calls(), 1);
}

TEST_F(APXBannerTest, ADelegateThatTakesTheBannerDownInItsCallbackGetsNoMore) {
    BannerAnswer nothing;
    nothing.status = 404;
    setAnswer(nothing);
    // As the rotation does on a failure: delegate nil, removed, released.
    delegate_.onCallback = [this](APXBannerView* b) {
        b->setDelegate(nullptr);
        b->setRootViewController(nullptr);
        b->removeFromSuperview();
        banners_.clear();
    };
    startBanner();
    ASSERT_TRUE(waitFor([&] { return delegate_.calls() == 1; }));
    runFor(61);
    settleRunLoop();
    EXPECT_EQ(delegate_.calls(), 1);
    EXPECT_EQ(seen().size(), 1u);
}

}  // namespace
