#include <gtest/gtest.h>
#include <httplib.h>

#include <chrono>
#include <string>
#include <thread>

#include "LoopbackServer.h"
#include "host/core/RunLoop.h"
#include "host/net/HTTP.h"

namespace {

const char* kFeed =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<plist version=\"1.0\"><dict><key>adString</key><string>aam</string></dict></plist>\n";

// The answers the tests ask for: a feed, things that are no feed, a
// server that hangs, answers too big or cut short, headers, a redirect.
void serveTestAnswers(httplib::Server& s) {
    s.Get("/feed.plist", [](const httplib::Request&, httplib::Response& r) {
        r.set_content(kFeed, "text/xml");
    });
    s.Get("/array.plist", [](const httplib::Request&, httplib::Response& r) {
        r.set_content("<plist version=\"1.0\"><array><string>x</string></array></plist>", "text/xml");
    });
    s.Get("/garbage", [](const httplib::Request&, httplib::Response& r) {
        r.set_content("\x01\x02 not a property list {{{", "application/octet-stream");
    });
    s.Get("/huge", [](const httplib::Request&, httplib::Response& r) {
        r.set_content(std::string(10u << 20, 'x'), "text/plain");
    });
    s.Get("/hang", [](const httplib::Request&, httplib::Response& r) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1500));
        r.set_content(kFeed, "text/xml");
    });
    s.Get("/cut", [](const httplib::Request&, httplib::Response& r) {
        // Promises more than it sends, then drops the connection.
        r.set_content_provider(100000, "text/xml", [](size_t offset, size_t, httplib::DataSink& sink) {
            if (offset > 0) return false;
            sink.write(kFeed, 40);
            return false;
        });
    });
    s.Get("/header", [](const httplib::Request& q, httplib::Response& r) {
        r.set_content(q.get_header_value("X-Test-Devices") + "|" + q.get_header_value("User-Agent"), "text/plain");
        r.set_header("X-Click-URL", "http://example.invalid/click");
    });
    s.Get("/moved", [](const httplib::Request&, httplib::Response& r) {
        r.set_redirect("/feed.plist");
    });
}

class HTTPTest : public ::testing::Test {
protected:
    void SetUp() override {
        host::HTTP::setTimeouts(500, 800);
        serveTestAnswers(server_.server());
        server_.start();
    }
    void TearDown() override { host::HTTP::setTimeouts(10000, 30000); }
    LoopbackServer server_;
};

}  // namespace

TEST_F(HTTPTest, DownloadsADictionaryAndRefusesEverythingElse) {
    host::PlistValue feed = host::HTTP::downloadDictionary(server_.url("/feed.plist"));
    ASSERT_TRUE(feed.isDictionary());
    EXPECT_EQ(feed["adString"].asString(), "aam");

    EXPECT_TRUE(host::HTTP::downloadDictionary(server_.url("/array.plist")).isNone());
    EXPECT_TRUE(host::HTTP::downloadDictionary(server_.url("/garbage")).isNone());
    EXPECT_TRUE(host::HTTP::downloadDictionary(server_.url("/missing")).isNone());
    EXPECT_TRUE(host::HTTP::downloadDictionary("file:///etc/passwd").isNone());
    EXPECT_TRUE(host::HTTP::downloadDictionary("not a url").isNone());
}

TEST_F(HTTPTest, BadServersFailWithinTheTimeOutAndTheSizeCap) {
    const auto start = std::chrono::steady_clock::now();
    host::HTTPResponse hung = host::HTTP::get({server_.url("/hang"), {}, "", true, 1u << 20});
    EXPECT_FALSE(hung.completed);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(1400));

    host::HTTPResponse huge = host::HTTP::get({server_.url("/huge"), {}, "", true, host::kHTTPMaxImageBytes});
    EXPECT_FALSE(huge.completed);
    EXPECT_TRUE(huge.body.empty());

    host::HTTPResponse cut = host::HTTP::get({server_.url("/cut"), {}, "", true, 1u << 20});
    EXPECT_FALSE(cut.completed);
    EXPECT_TRUE(host::HTTP::downloadDictionary(server_.url("/cut")).isNone());
}

TEST_F(HTTPTest, SendsHeadersReadsThemAndReportsRedirectsWithoutFollowing) {
    host::HTTPRequest request{server_.url("/header"), {{"X-Test-Devices", "sim,dev1"}}, "Tiltboard/1.0", true, 4096};
    host::HTTPResponse answer = host::HTTP::get(request);
    ASSERT_TRUE(answer.ok());
    EXPECT_EQ(answer.body, "sim,dev1|Tiltboard/1.0");
    EXPECT_EQ(answer.header("x-click-url"), "http://example.invalid/click");

    host::HTTPResponse moved = host::HTTP::get({server_.url("/moved"), {}, "", false, 4096});
    EXPECT_EQ(moved.status, 302);
    EXPECT_EQ(moved.redirectLocation, server_.url("/feed.plist"));
    host::HTTPResponse followed = host::HTTP::get({server_.url("/moved"), {}, "", true, 4096});
    EXPECT_TRUE(followed.ok());
    EXPECT_NE(followed.body.find("adString"), std::string::npos);
}

TEST_F(HTTPTest, AsynchronousDownloadCallsBackOnTheMainThread) {
    bool called = false, onMain = false;
    host::HTTP::downloadDictionaryAsync(server_.url("/feed.plist"), [&](host::PlistValue v) {
        called = true;
        onMain = host::RunLoop::isMainThread() && v.isDictionary();
    });
    for (int i = 0; i < 200 && !called; ++i) host::RunLoop::main().runOnce(0.01);
    EXPECT_TRUE(called);
    EXPECT_TRUE(onMain);
}
