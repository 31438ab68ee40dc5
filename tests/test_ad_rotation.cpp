// The advert slot against both networks' real clients and a feed server on
// 127.0.0.1 whose answers each test chooses.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <string>
#include <vector>

#include "LoopbackServer.h"
#include "MyAdClass/AdViewController.h"
#include "MyAdClass/PromotionSettings.h"
#include "MyAdClass/QBHouse.h"
#include "OverlayTestSupport.h"
#include "RunLoopWait.h"
#include "ScratchDirectory.h"
#include "adnetworks/ApexSettings.h"
#include "adnetworks/MeridianSettings.h"
#include "host/core/Device.h"
#include "host/core/NotificationCenter.h"
#include "host/data/UserDefaults.h"
#include "host/graphics/Image.h"
#include "host/net/HTTP.h"

namespace {

enum class Answer { Advert, Nothing };

std::string bannerPNG() {
    std::vector<uint8_t> pixels(320 * 50 * 3, 0x60), png;
    host::encodePNG(pixels.data(), 320, 50, 3, &png);
    return std::string(png.begin(), png.end());
}

std::string meridianAnswer(Answer a, const std::string& imageURL) {
    if (a == Answer::Nothing) return "<?xml version=\"1.0\"?><ad type=\"noAd\"><refresh>0</refresh></ad>";
    return "<?xml version=\"1.0\"?><ad type=\"imageAd\"><imageurl>" + imageURL +
           "</imageurl><bannerwidth>320</bannerwidth><bannerheight>50</bannerheight>"
           "<clickurl>http://example.com/m</clickurl><refresh>30</refresh></ad>";
}

const char* kStoredApexOnly =
    "<?xml version=\"1.0\"?><plist version=\"1.0\"><dict><key>Dict</key><dict>"
    "<key>adString</key><array><string>a</string></array>"
    "<key>isiAdAllowed</key><integer>1</integer></dict></dict></plist>";

// Counts the slide-ins announced.
class SlideWatcher : public host::Object {
public:
    void slid() { ++count; }
    int count = 0;
};

class AdRotationTest : public OverlayFixture {
protected:
    void SetUp() override {
        OverlayFixture::SetUp();
        dataDir_ = scratch_.file("data");
        host::UserDefaults::setDataDirectory(dataDir_.string());
        host::UserDefaults::resetForTesting();
        host::HTTP::setTimeouts(500, 1000);

        server_.server().Get("/banner", [this](const httplib::Request& q, httplib::Response& r) {
            record("apex");
            remember("unit=" + q.get_param_value("unit"));
            if (apex_ == Answer::Advert) {
                r.set_content(png_, "image/png");
                r.set_header("X-Click-URL", "http://example.com/apex");
            } else {
                r.status = 404;
            }
        });
        server_.server().Get("/request.php", [this](const httplib::Request& q, httplib::Response& r) {
            record("meridian");
            remember("rt=" + q.get_param_value("rt") + " s=" + q.get_param_value("s"));
            r.set_content(meridianAnswer(meridian_, server_.url("/m.png")), "text/xml");
        });
        server_.server().Get("/m.png", [this](const httplib::Request&, httplib::Response& r) {
            r.set_content(png_, "image/png");
        });
        server_.server().Get("/adDone.plist", [this](const httplib::Request&, httplib::Response& r) {
            record("feed");
            r.set_content(feed_, "text/xml");
        });
        server_.start();
        PromotionSettings::shared().setFeedServerURL(server_.baseURL());
        ApexSettings::shared().setServerURL(server_.baseURL());
        MeridianSettings::shared().setServerBaseURL(server_.baseURL());
        host::NotificationCenter::defaultCenter().addObserver(&watcher_, cc_selector(SlideWatcher::slid),
                                                              AdViewController::kBannerWillSlideInNotification);
    }
    void TearDown() override {
        // A configuration download still running would write into the
        // next test's defaults.
        EXPECT_TRUE(waitFor([] { return AdViewController::downloadsInFlight() == 0; }));
        host::NotificationCenter::defaultCenter().removeObserver(&watcher_);
        for (AdViewController* a : adviews_) a->removeFromSuperview();
        adviews_.clear();
        PromotionSettings::shared().setFeedServerURL("");
        ApexSettings::shared().setServerURL("");
        MeridianSettings::shared().setServerBaseURL("");
        host::HTTP::setTimeouts(10000, 30000);
        OverlayFixture::TearDown();
        server_.stop();
        host::UserDefaults::resetForTesting();
    }

    // Made as the game's start-up makes it: added to the GL view, started,
    // then owned by the GL view alone.
    AdViewController* startSlot() {
        AdViewController* a =
            host::createOwned<AdViewController>([](AdViewController* v) { return v->initWithFrame(CGRectZero); });
        surface_->addSubview(a);
        a->start();
        a->release();
        adviews_.push_back(a);
        return a;
    }

    void storeSchedule(std::vector<std::string> entries) {
        host::PlistValue::Array schedule;
        for (auto& e : entries) schedule.push_back(host::PlistValue(e));
        host::PlistValue::Dictionary configuration;
        configuration["adString"] = host::PlistValue(std::move(schedule));
        host::UserDefaults::standardUserDefaults().setObject(host::PlistValue(std::move(configuration)),
                                                            AdViewController::kAdConfigurationKey);
    }

    void record(const std::string& what) {
        std::lock_guard<std::mutex> lock(mutex_);
        hits_.push_back(what);
    }
    // What each network request asked for: the Apex unit, the Meridian
    // request type and publisher.
    void remember(const std::string& what) {
        std::lock_guard<std::mutex> lock(mutex_);
        asked_.push_back(what);
    }
    std::vector<std::string> asked() {
        std::lock_guard<std::mutex> lock(mutex_);
        return asked_;
    }
    std::vector<std::string> hits() {
        std::lock_guard<std::mutex> lock(mutex_);
        return hits_;
    }


    ScratchDirectory scratch_;
    std::filesystem::path dataDir_;
    LoopbackServer server_;
    std::string png_ = bannerPNG();
    std::string feed_ = kStoredApexOnly;
    std::atomic<Answer> apex_{Answer::Nothing};
    std::atomic<Answer> meridian_{Answer::Nothing};
    std::mutex mutex_;
    std::vector<std::string> hits_;
    std::vector<std::string> asked_;
    SlideWatcher watcher_;
    std::vector<AdViewController*> adviews_;  // owned by the GL view
};

TEST_F(AdRotationTest, FirstLaunchShowsTheHouseAdvertFlushRightAndAsksMeridianFirst) {
    AdViewController* slot = startSlot();
    EXPECT_EQ(slot->arraySche(), (std::vector<std::string>{"m", "a", "m", "a"}));
    EXPECT_TRUE(rectNear(slot->frame(), CGRectMake(160, 0, 320, 50)));
    ASSERT_TRUE(slot->isHouseShowing());
    ASSERT_NE(slot->thisHouse(), nullptr);
    EXPECT_EQ(slot->thisHouse()->superview(), slot);
    EXPECT_TRUE(rectNear(slot->thisHouse()->frame(), CGRectMake(0, 0, 320, 50)));
    // The house advert starts just below the slot and slides up into it.
    EXPECT_EQ(slot->thisHouse()->transform().ty, 0);
    EXPECT_GT(slot->thisHouse()->presentation().transform.ty, 49.0f);
    EXPECT_EQ(watcher_.count, 1);
    runFor(1.0);
    EXPECT_NEAR(slot->thisHouse()->presentation().transform.ty, 0, 1e-3);

    ASSERT_TRUE(waitFor([&] { return !hits().empty() && hits()[0] != "feed" ? true : hits().size() > 1; }));
    std::vector<std::string> asked;
    for (auto& h : hits())
        if (h != "feed") asked.push_back(h);
    ASSERT_FALSE(asked.empty());
    EXPECT_EQ(asked[0], "meridian");
}

TEST_F(AdRotationTest, BothNetworksFailingKeepsTheHouseAdvertAndRetriesAfter15Seconds) {
    AdViewController* slot = startSlot();
    auto networkHits = [&] {
        int n = 0;
        for (auto& h : hits()) n += h != "feed";
        return n;
    };
    ASSERT_TRUE(waitFor([&] { return networkHits() == 4 && slot->index() == 0; }));
    settleRunLoop();
    EXPECT_EQ(networkHits(), 4);  // m, a, m, a, then a pause
    EXPECT_TRUE(slot->isHouseShowing());
    EXPECT_EQ(slot->apexBannerView(), nullptr);
    EXPECT_EQ(slot->meridianBannerView(), nullptr);
    runFor(14.9);
    settleRunLoop();
    EXPECT_EQ(networkHits(), 4);
    runFor(0.2);
    ASSERT_TRUE(waitFor([&] { return networkHits() > 4; }));
    EXPECT_TRUE(slot->isHouseShowing());
}

TEST_F(AdRotationTest, DownloadedScheduleIsStoredButUsedOnlyAtTheNextStart) {
    AdViewController* first = startSlot();
    ASSERT_TRUE(waitFor([] {
        return host::UserDefaults::standardUserDefaults().objectForKey("adString").isDictionary();
    }));
    EXPECT_EQ(first->arraySche(), AdViewController::builtInSchedule());
    const host::PlistValue& stored = host::UserDefaults::standardUserDefaults().objectForKey("adString");
    EXPECT_EQ(stored["adString"][size_t(0)].asString(), "a");
    EXPECT_EQ(stored["isiAdAllowed"].asInt(), 1);

    AdViewController* second = startSlot();
    EXPECT_EQ(second->arraySche(), (std::vector<std::string>{"a"}));
    EXPECT_NE(second->apexBannerView(), nullptr);
    EXPECT_EQ(second->meridianBannerView(), nullptr);
}

TEST_F(AdRotationTest, FeedWithoutDictRemovesTheStoredScheduleAndGarbageChangesNothing) {
    storeSchedule({"a"});
    feed_ = "<?xml version=\"1.0\"?><plist version=\"1.0\"><dict><key>Other</key><true/></dict></plist>";
    startSlot();
    ASSERT_TRUE(waitFor([] { return host::UserDefaults::standardUserDefaults().objectForKey("adString").isNone(); }));

    storeSchedule({"a"});
    feed_ = "not a property list at all";
    startSlot();
    ASSERT_TRUE(waitFor([] { return AdViewController::downloadsInFlight() == 0; }));
    int feedHits = 0;
    for (auto& h : hits()) feedHits += h == "feed";
    EXPECT_EQ(feedHits, 2);
    EXPECT_TRUE(host::UserDefaults::standardUserDefaults().objectForKey("adString").isDictionary());
}

TEST_F(AdRotationTest, AnEntryThatIsNeitherApexNorMeridianStopsTheRotation) {
    storeSchedule({"x", "m"});
    AdViewController* slot = startSlot();
    EXPECT_EQ(slot->index(), 1);
    EXPECT_EQ(slot->apexBannerView(), nullptr);
    EXPECT_EQ(slot->meridianBannerView(), nullptr);
    runFor(60);
    settleRunLoop();
    for (auto& h : hits()) EXPECT_EQ(h, "feed");
    EXPECT_TRUE(slot->isHouseShowing());
}

TEST_F(AdRotationTest, AnEmptyScheduleWaits15SecondsEachTime) {
    storeSchedule({});
    AdViewController* slot = startSlot();
    EXPECT_EQ(slot->index(), 0);
    // The next attempt happens 15 s later; give it something to try.
    slot->setArraySche({"a"});
    runFor(14.9);
    settleRunLoop();
    EXPECT_EQ(slot->apexBannerView(), nullptr);
    runFor(0.2);
    EXPECT_NE(slot->apexBannerView(), nullptr);
    EXPECT_EQ(slot->index(), 1);
}

TEST_F(AdRotationTest, MeridianFailingHandsOverToApexWhichSlidesInOnce) {
    apex_ = Answer::Advert;
    AdViewController* slot = startSlot();
    ASSERT_TRUE(waitFor([&] { return slot->isApexUp(); }));
    EXPECT_FALSE(slot->isHouseShowing());
    EXPECT_EQ(slot->thisHouse(), nullptr);
    ASSERT_EQ(slot->subviews().size(), 1u);
    APXBannerView* banner = slot->apexBannerView();
    EXPECT_EQ(slot->subviews()[0].get(), banner);
    EXPECT_EQ(watcher_.count, 2);  // the house advert, then the banner
    EXPECT_TRUE(rectNear(banner->frame(), CGRectMake(0, 0, 320, 50)));
    EXPECT_GT(banner->presentation().transform.ty, 49.0f);

    // The client's own refresh succeeding again changes nothing.
    slot->adViewDidReceiveAd(banner);
    runFor(61);
    settleRunLoop();
    EXPECT_EQ(watcher_.count, 2);
    ASSERT_EQ(slot->subviews().size(), 1u);
    EXPECT_EQ(slot->apexBannerView(), banner);
}

TEST_F(AdRotationTest, AMeridianBannerThatFailsLaterIsRemovedAndApexTriedNext) {
    meridian_ = Answer::Advert;
    AdViewController* slot = startSlot();
    ASSERT_TRUE(waitFor([&] { return slot->isMobUp(); }));
    EXPECT_FALSE(slot->isHouseShowing());
    ASSERT_EQ(slot->subviews().size(), 1u);
    EXPECT_EQ(slot->subviews()[0].get(), slot->meridianBannerView());

    meridian_ = Answer::Nothing;
    apex_ = Answer::Advert;
    runFor(30.5);  // the Meridian answer's own refresh
    ASSERT_TRUE(waitFor([&] { return slot->isApexUp(); }));
    EXPECT_FALSE(slot->isMobUp());
    EXPECT_EQ(slot->meridianBannerView(), nullptr);
    ASSERT_EQ(slot->subviews().size(), 1u);
    EXPECT_EQ(slot->subviews()[0].get(), slot->apexBannerView());
    EXPECT_EQ(slot->index(), 2);
}

TEST_F(AdRotationTest, OnATabletTheSlotIsWiderAndTheNetworksGetTheTabletIdentifiers) {
    struct TabletForThisTest {
        explicit TabletForThisTest(const std::string& dir) : dir(dir) { host::Device::current().configure(true, false, dir); }
        ~TabletForThisTest() { host::Device::current().configure(false, false, dir); }
        std::string dir;
    } tablet(dataDir_.string());
    storeSchedule({"m", "a"});
    AdViewController* slot = startSlot();
    EXPECT_EQ(slot->frame().size.width, 728);
    EXPECT_EQ(slot->frame().size.height, 90);
    EXPECT_EQ(slot->frame().origin.x, host::interfaceBounds().size.width - 728);
    EXPECT_EQ(slot->frame().origin.y, 0);
    ASSERT_TRUE(waitFor([&] { return asked().size() == 2; }));
    EXPECT_EQ(asked(), (std::vector<std::string>{"rt=ipad_app s=5d1e8a0c7b39f2a64e0d1c3b5a7f9e82",
                                                 "unit=a15b00c7d2e9f31"}));
}

TEST_F(AdRotationTest, OnAPhoneTheNetworksGetThePhoneIdentifiers) {
    storeSchedule({"m", "a"});
    AdViewController* slot = startSlot();
    EXPECT_EQ(slot->frame().size.width, 320);
    EXPECT_EQ(slot->frame().size.height, 50);
    ASSERT_TRUE(waitFor([&] { return asked().size() == 2; }));
    EXPECT_EQ(asked(), (std::vector<std::string>{"rt=iphone_app s=9a7c3e1f5b0d2486c8e4a6f0b2d19c3e",
                                                 "unit=a15b00c6e8f1a42"}));
}

}  // namespace
