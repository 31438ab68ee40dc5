// The Meridian client's string helpers: request value escaping, the MD5
// device key, Base64, URL parts, device-handled links and the responder
// walk that finds the browser's presenter.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "adnetworks/MeridianEncoding.h"
#include "adnetworks/MeridianSettings.h"
#include "adnetworks/RedirectChecker.h"
#include "adnetworks/ViewControllerLookup.h"
#include "host/ui/View.h"
#include "host/ui/ViewController.h"

namespace {

TEST(MeridianEncodingTest, EscapesEveryReservedCharacterAndKeepsTheUnreservedOnes) {
    const std::string reserved = "!*'();:@&=+$,/?%#[]";
    for (char c : reserved) {
        char expected[4];
        std::snprintf(expected, sizeof expected, "%%%02X", static_cast<unsigned char>(c));
        EXPECT_EQ(stringByUrlEncoding(std::string(1, c)), expected) << "character " << c;
    }
    EXPECT_EQ(stringByUrlEncoding("AZaz09-._~"), "AZaz09-._~");
    // What the URL escaper escapes anyway: spaces, quotes, controls, UTF-8.
    EXPECT_EQ(stringByUrlEncoding("a b\"<>\n"), "a%20b%22%3C%3E%0A");
    EXPECT_EQ(stringByUrlEncoding("\xC3\xBC"), "%C3%BC");
    EXPECT_EQ(stringByUrlEncoding("Meridian/3.0.3 (iPhone)"), "Meridian%2F3.0.3%20%28iPhone%29");
    EXPECT_EQ(stringByUrlEncoding(""), "");
}

TEST(MeridianEncodingTest, MD5GivesThirtyTwoUpperCaseDigitsOfTheStandardDigest) {
    EXPECT_EQ(md5(""), "D41D8CD98F00B204E9800998ECF8427E");
    EXPECT_EQ(md5("abc"), "900150983CD24FB0D6963F7D28E17F72");
    EXPECT_EQ(md5("The quick brown fox jumps over the lazy dog"), "9E107D9D372BB6826BD81D3542A419D6");
    EXPECT_EQ(md5(std::string("\0\xFF", 2)).size(), 32u);
}

TEST(MeridianEncodingTest, Base64MatchesTheStandardVectorsBothWays) {
    const std::pair<std::string, std::string> vectors[] = {
        {"", ""},         {"f", "Zg=="},         {"fo", "Zm8="},         {"foo", "Zm9v"},
        {"foob", "Zm9vYg=="}, {"fooba", "Zm9vYmE="}, {"foobar", "Zm9vYmFy"},
    };
    for (const auto& v : vectors) {
        EXPECT_EQ(base64EncodedString(v.first), v.second);
        EXPECT_EQ(dataFromBase64String(v.second), v.first) << v.second;
    }
    std::string everyByte;
    for (int i = 0; i < 256; ++i) everyByte += static_cast<char>(i);
    EXPECT_EQ(dataFromBase64String(base64EncodedString(everyByte)), everyByte);
    // Line breaks, as in text kept in the program, are skipped.
    EXPECT_EQ(dataFromBase64String("Zm9v\nYmFy\n"), "foobar");
}

TEST(MeridianEncodingTest, MalformedBase64GivesNothing) {
    for (const char* bad : {"Zm9", "Zm9v!", "Zg=a", "Z===", "@@@@"})
        EXPECT_FALSE(dataFromBase64String(bad).has_value()) << bad;
}

TEST(MeridianEncodingTest, DeviceHandledLinksAreTheirSchemesAndTheConfiguredHttpHosts) {
    const std::string mapsHost = MeridianSettings::defaultDeviceHandledHosts()[0];
    for (const std::string& yes : std::vector<std::string>{"tel:+15550100", "sms:5550100", "mailto:a@example.com", "TEL:1",
                                  "http://" + mapsHost + "/?q=x", "http://" + mapsHost + ":80/"})
        EXPECT_TRUE(isDeviceSupported(yes)) << yes;
    for (const std::string& no : std::vector<std::string>{"https://" + mapsHost + "/", "http://example.org/", "ftp://" + mapsHost,
                                 "/relative", "", "http://" + mapsHost + ".evil.org/"})
        EXPECT_FALSE(isDeviceSupported(no)) << no;
}

TEST(MeridianEncodingTest, URLPartsAndDirectoryBase) {
    const URLComponents parts = parseURLComponents("HTTP://user@[::1]:8080/a/b.html?x=1#f");
    EXPECT_EQ(parts.scheme, "http");
    EXPECT_EQ(parts.host, "[::1]");
    EXPECT_EQ(parts.port, "8080");
    EXPECT_EQ(parts.path, "/a/b.html");

    EXPECT_EQ(directoryBaseURL("http://h.example/a/b/c.html?q"), "http://h.example/a/b/");
    EXPECT_EQ(directoryBaseURL("http://127.0.0.1:9000/page"), "http://127.0.0.1:9000/");
    EXPECT_EQ(directoryBaseURL("http://h.example"), "http://h.example/");
    EXPECT_EQ(directoryBaseURL("http://h.example/dir/"), "http://h.example/");
}

TEST(MeridianEncodingTest, ContentTypeSplitsIntoMimeTypeAndCharset) {
    std::string mime, encoding;
    parseContentType("Text/HTML; Charset=\"ISO-8859-1\"", &mime, &encoding);
    EXPECT_EQ(mime, "text/html");
    EXPECT_EQ(encoding, "iso-8859-1");
    parseContentType("image/png", &mime, &encoding);
    EXPECT_EQ(mime, "image/png");
    EXPECT_EQ(encoding, "");
}

TEST(MeridianEncodingTest, ThePresenterIsTheFirstViewControllerUpTheViewChain) {
    host::AutoreleasePool pool;
    auto* controller = host::createOwned<host::ViewController>([](host::ViewController* c) { return c->init(); });
    controller->setView(host::View::viewWithFrame(CGRectMake(0, 0, 480, 320)));
    host::View* middle = host::View::viewWithFrame(CGRectMake(0, 0, 320, 50));
    host::View* leaf = host::View::viewWithFrame(CGRectMake(0, 0, 10, 10));
    controller->view()->addSubview(middle);
    middle->addSubview(leaf);
    EXPECT_EQ(firstAvailableUIViewController(leaf), controller);
    EXPECT_EQ(firstAvailableUIViewController(controller->view()), controller);

    leaf->removeFromSuperview();
    EXPECT_EQ(firstAvailableUIViewController(leaf), nullptr);
    controller->release();
}

}  // namespace
