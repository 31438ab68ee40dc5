// The promotion feed downloader against a feed server on 127.0.0.1: the
// launch counting and the three-hour test on a clock the test sets, the
// alerts of the urgent entries, what their buttons do (opened links
// checked through TILTBOARD_OPEN_URL_LOG), and feeds that are no use.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "LogCapture.h"
#include "LoopbackServer.h"
#include "MyAdClass/PromotionSettings.h"
#include "MyAdClass/QBDownloader.h"
#include "OverlayTestSupport.h"
#include "RunLoopWait.h"
#include "ScratchDirectory.h"
#include "host/data/UserDefaults.h"
#include "host/net/HTTP.h"
#include "host/ui/AlertView.h"
#include "host/ui/Button.h"
#include "host/ui/Window.h"

namespace {

// Three entries, two of them urgent.
const char* kFeed =
    "<?xml version=\"1.0\"?><plist version=\"1.0\"><dict>"
    "<key>drums</key><dict><key>title</key><string>Pocket Drums</string>"
    "<key>description</key><string>A drum kit in your pocket</string>"
    "<key>urgent</key><true/><key>link</key><string>https://example.com/drums</string></dict>"
    "<key>jar</key><dict><key>title</key><string>Cloud Jar</string>"
    "<key>description</key><string>Weather in a jar</string>"
    "<key>urgent</key><false/><key>link</key><string>https://example.com/jar</string></dict>"
    "<key>tiles</key><dict><key>title</key><string>Tile Tumble</string>"
    "<key>description</key><string>Slide and stack</string>"
    "<key>urgent</key><true/><key>link</key><string>https://example.com/tiles</string></dict>"
    "</dict></plist>";

// A cycle start that a 32-bit float cannot hold exactly.
constexpr double kFirstLaunch = 1700000037.0;
constexpr double kHour = 3600.0;

class PromotionTest : public OverlayFixture {
protected:
    void SetUp() override {
        OverlayFixture::SetUp();
        ASSERT_FALSE(dir_.path().empty());
        host::UserDefaults::setDataDirectory(dir_.file("defaults"));
        host::UserDefaults::resetForTesting();
        host::HTTP::setTimeouts(500, 1000);
        opened_ = dir_.file("opened.txt");
        setenv("TILTBOARD_OPEN_URL_LOG", opened_.c_str(), 1);
        server_.server().Get("/QBPromo.plist", [this](const httplib::Request&, httplib::Response& r) {
            ++hits_;
            r.set_content(feed_, "text/xml");
        });
        server_.start();
        PromotionSettings::shared().setFeedServerURL(server_.baseURL() + "/");
        PromotionSettings::shared().setClock([this] { return now_; });
    }
    void TearDown() override {
        PromotionSettings::shared().setClock(nullptr);
        PromotionSettings::shared().setFeedServerURL("");
        host::HTTP::setTimeouts(10000, 30000);
        unsetenv("TILTBOARD_OPEN_URL_LOG");
        OverlayFixture::TearDown();
        server_.stop();
        host::UserDefaults::resetForTesting();
    }

    host::UserDefaults& defaults() { return host::UserDefaults::standardUserDefaults(); }
    void launchAt(double t) {
        now_ = t;
        QBDownloader::shared()->startUpdates();
    }
    // Clicks the button at `index` of the alert on screen once it is in.
    void clickAlertButton(int index) {
        host::AlertView* alert = window_->visibleAlert();
        ASSERT_NE(alert, nullptr);
        runFor(host::AlertView::kShowDuration + 0.05);
        host::Button* button = buttonWithTag(alert, index);
        ASSERT_NE(button, nullptr);
        clickCentreOf(button);
        runFor(host::AlertView::kDismissDuration + 0.05);
    }
    static host::Button* buttonWithTag(host::View* root, int tag) {
        for (const auto& v : root->subviews()) {
            if (auto* b = dynamic_cast<host::Button*>(v.get()); b && b->tag() == tag) return b;
            if (host::Button* found = buttonWithTag(v.get(), tag)) return found;
        }
        return nullptr;
    }
    std::vector<std::string> opened() const {
        std::ifstream in(opened_);
        std::vector<std::string> lines;
        for (std::string line; std::getline(in, line);) lines.push_back(line);
        return lines;
    }
    // A cycle that began four hours ago with `count` launches counted.
    void cycleBegunHoursAgo(double hours, int count) {
        defaults().setFloat(static_cast<float>(kFirstLaunch), QBDownloader::kTimeKey);
        defaults().setInteger(count, QBDownloader::kCountKey);
        now_ = static_cast<double>(static_cast<float>(kFirstLaunch)) + hours * kHour;
    }

    ScratchDirectory dir_;
    std::string opened_;
    LoopbackServer server_;
    std::string feed_ = kFeed;
    std::atomic<int> hits_{0};
    double now_ = kFirstLaunch;
};

TEST_F(PromotionTest, CountsLaunchesAndDownloadsFromTheSixthCountedOneAfterThreeHours) {
    LogCapture log;
    launchAt(kFirstLaunch);
    const float stored = static_cast<float>(kFirstLaunch);
    EXPECT_EQ(defaults().floatForKey(QBDownloader::kTimeKey), stored);
    EXPECT_NE(static_cast<double>(stored), kFirstLaunch);  // held in 128 s steps
    EXPECT_TRUE(defaults().objectForKey(QBDownloader::kCountKey).isNone());
    EXPECT_EQ(log.lines(), (std::vector<std::string>{"vorin"}));

    // Launches 2 to 6: counted, but too few, however late.
    for (int launch = 2; launch <= 6; ++launch) {
        launchAt(kFirstLaunch + 10 * kHour);
        EXPECT_EQ(defaults().integerForKey(QBDownloader::kCountKey), launch - 1);
    }
    // Launch 7 exactly three hours after the cycle began: not yet.
    launchAt(static_cast<double>(stored) + 3 * kHour);
    EXPECT_EQ(defaults().integerForKey(QBDownloader::kCountKey), 6);
    // Launch 8 a second later: the feed is fetched.
    launchAt(static_cast<double>(stored) + 3 * kHour + 1);
    EXPECT_EQ(defaults().integerForKey(QBDownloader::kCountKey), 7);
    ASSERT_TRUE(waitFor([&] { return hits_ > 0; }));
    settleRunLoop();
    EXPECT_EQ(hits_, 1);
    EXPECT_EQ(log.lines(), (std::vector<std::string>{"vorin", "7 - 3.000278"}));
    EXPECT_EQ(defaults().floatForKey(QBDownloader::kTimeKey), stored);  // still the same cycle
    ASSERT_TRUE(waitFor([&] { return window_->visibleAlert() != nullptr; }));
}

TEST_F(PromotionTest, ShowsOneAlertPerUrgentEntryAndCheckItOutOpensOnlyItsLink) {
    cycleBegunHoursAgo(4, 5);
    QBDownloader::shared()->startUpdates();
    ASSERT_TRUE(waitFor([&] { return window_->visibleAlert() && window_->queuedAlertCount() == 1; }));
    settleRunLoop();
    EXPECT_EQ(window_->queuedAlertCount(), 1u);  // two alerts in all

    std::set<std::string> titles;
    host::AlertView* first = window_->visibleAlert();
    titles.insert(first->title());
    EXPECT_EQ(first->numberOfButtons(), 2);
    EXPECT_EQ(first->cancelButtonIndex(), -1);
    EXPECT_EQ(first->buttonTitleAtIndex(0), "Cancel");
    EXPECT_EQ(first->buttonTitleAtIndex(1), "Check It Out");
    const std::string firstTitle = first->title();
    clickAlertButton(1);
    const std::string firstLink =
        firstTitle == "Pocket Drums" ? "https://example.com/drums" : "https://example.com/tiles";
    EXPECT_EQ(opened(), (std::vector<std::string>{firstLink}));
    // The cycle goes on: the same alerts come back at the next launch.
    EXPECT_EQ(defaults().integerForKey(QBDownloader::kCountKey), 6);
    EXPECT_NE(defaults().floatForKey(QBDownloader::kTimeKey), 0.0f);

    ASSERT_NE(window_->visibleAlert(), nullptr);
    titles.insert(window_->visibleAlert()->title());
    EXPECT_EQ(window_->visibleAlert()->message(),
              window_->visibleAlert()->title() == "Pocket Drums" ? "A drum kit in your pocket" : "Slide and stack");
    EXPECT_EQ(titles, (std::set<std::string>{"Pocket Drums", "Tile Tumble"}));
    clickAlertButton(1);
    EXPECT_EQ(opened().size(), 2u);
    EXPECT_EQ(window_->visibleAlert(), nullptr);
}

TEST_F(PromotionTest, CancelOnAnyAlertStartsANewCycleAtTheNextLaunch) {
    cycleBegunHoursAgo(4, 5);
    QBDownloader::shared()->startUpdates();
    ASSERT_TRUE(waitFor([&] { return window_->visibleAlert() && window_->queuedAlertCount() == 1; }));
    // Cancel while the other alert still waits its turn.
    clickAlertButton(0);
    EXPECT_EQ(defaults().floatForKey(QBDownloader::kTimeKey), 0.0f);
    EXPECT_EQ(defaults().integerForKey(QBDownloader::kCountKey), 0);
    EXPECT_TRUE(opened().empty());
    ASSERT_NE(window_->visibleAlert(), nullptr);
    clickAlertButton(0);
    EXPECT_TRUE(opened().empty());

    // The next launch begins the new cycle and fetches nothing.
    LogCapture log;
    launchAt(kFirstLaunch + 20 * kHour);
    EXPECT_EQ(log.lines(), (std::vector<std::string>{"vorin"}));
    settleRunLoop();
    EXPECT_EQ(hits_, 1);
}

TEST_F(PromotionTest, AFeedThatIsNoUseRaisesNothingAndFailsCleanly) {
    const std::vector<std::pair<std::string, std::string>> feeds = {
        {"not a property list", "<html><body>Moved</body></html>"},
        {"not a dictionary", "<?xml version=\"1.0\"?><plist version=\"1.0\"><array><string>x</string></array></plist>"},
        {"entries that are not dictionaries",
         "<?xml version=\"1.0\"?><plist version=\"1.0\"><dict><key>a</key><string>urgent</string>"
         "<key>b</key><array><true/></array></dict></plist>"},
        {"an urgent entry without a link", "<?xml version=\"1.0\"?><plist version=\"1.0\"><dict><key>a</key><dict>"
                                           "<key>title</key><string>T</string><key>urgent</key><true/></dict></dict></plist>"},
    };
    for (const auto& [what, body] : feeds) {
        SCOPED_TRACE(what);
        feed_ = body;
        QBDownloader::shared()->startAll();
        runFor(host::AlertView::kShowDuration + 0.05);
        if (what == "an urgent entry without a link") {
            // Its alert comes up; "Check It Out" has nothing to open.
            EXPECT_TRUE(QBDownloader::shared()->dict().isDictionary());
            clickAlertButton(1);
            EXPECT_TRUE(opened().empty());
        } else {
            EXPECT_EQ(window_->visibleAlert(), nullptr);
        }
        EXPECT_EQ(window_->visibleAlert(), nullptr);
    }
    EXPECT_EQ(hits_, 4);
}

TEST_F(PromotionTest, WithoutAFeedServerTheDownloadFailsAtOnce) {
    PromotionSettings::shared().setFeedServerURL("");
    EXPECT_EQ(PromotionSettings::shared().promotionFeedURL(), "");
    EXPECT_EQ(PromotionSettings::shared().adConfigurationFeedURL(), "");
    LogCapture log;
    QBDownloader::shared()->startAll();
    EXPECT_TRUE(QBDownloader::shared()->dict().isNone());
    EXPECT_EQ(log.lines().size(), 1u);
    EXPECT_EQ(hits_, 0);

    PromotionSettings::shared().setFeedServerURL("http://127.0.0.1:9//");
    EXPECT_EQ(PromotionSettings::shared().promotionFeedURL(), "http://127.0.0.1:9/QBPromo.plist");
    EXPECT_EQ(PromotionSettings::shared().adConfigurationFeedURL(), "http://127.0.0.1:9/adDone.plist");
}

}  // namespace
