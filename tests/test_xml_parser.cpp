// The host's event-driven XML reader: events in document order, and the
// limits that keep hostile documents cheap.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "HostileXML.h"
#include "ScratchDirectory.h"
#include "host/data/XMLParser.h"

namespace {

// Records every event as one line of text.
class Recorder : public host::XMLParserDelegate {
public:
    void didStartElement(const char* name, const host::XMLAttributes& a) override {
        std::string line = std::string("<") + name;
        for (const char** p = a.pairs(); p[0]; p += 2) line += std::string(" ") + p[0] + "=" + p[1];
        events.push_back(line);
        if (parser && stopAt == name) parser->abort("stopped at " + stopAt);
    }
    void foundCharacters(const char* text, size_t length) override {
        if (!events.empty() && events.back()[0] == '"')
            events.back().insert(events.back().size() - 1, text, length);
        else
            events.push_back("\"" + std::string(text, length) + "\"");
    }
    void didEndElement(const char* name) override { events.push_back(std::string("/") + name); }

    std::vector<std::string> events;
    host::XMLParser* parser = nullptr;
    std::string stopAt;
};

TEST(XMLParser, ReportsElementsAttributesAndTextInDocumentOrder) {
    Recorder r;
    host::XMLParser parser(r);
    ASSERT_TRUE(parser.parse("<?xml version=\"1.0\"?><a x=\"1\" y=\"&lt;2&gt;\"><b>t&amp;u</b><ns:c xlink:href=\"h\"/></a>"));
    const std::vector<std::string> expected = {"<a x=1 y=<2>", "<b", "\"t&u\"", "/b", "<ns:c xlink:href=h", "/ns:c", "/a"};
    EXPECT_EQ(r.events, expected);
    EXPECT_TRUE(parser.errorMessage().empty());

    const char* pairs[] = {"name", "v", nullptr};
    host::XMLAttributes attributes(pairs);
    EXPECT_STREQ(attributes.value("name"), "v");
    EXPECT_EQ(attributes.value("other"), nullptr);
    EXPECT_STREQ(attributes.value("other", "fallback"), "fallback");
}

TEST(XMLParser, ReadsFilesInPiecesAndAcceptsAnExternalDTDItNeverLoads) {
    ScratchDirectory dir;
    // Larger than one read, with a document type naming a DTD on the web,
    // as older map editors wrote.
    std::string doc = "<?xml version=\"1.0\"?>\n<!DOCTYPE map SYSTEM \"http://127.0.0.1:9/map.dtd\">\n<map>";
    for (int i = 0; i < 20000; ++i) doc += "<t id=\"" + std::to_string(i) + "\"/>";
    doc += "</map>";
    Recorder r;
    host::XMLParser parser(r);
    ASSERT_TRUE(parser.parseFile(dir.write("big.xml", doc))) << parser.errorMessage();
    EXPECT_EQ(r.events.size(), 2u + 2u * 20000u);
    EXPECT_EQ(r.events[20000 * 2 - 1], "<t id=19999");
}

TEST(XMLParser, RefusesHostileAndBrokenDocumentsWithAReason) {
    ScratchDirectory dir;
    const std::string secret = dir.write("secret.txt", "the secret");
    struct Case {
        std::string document;
        std::string reason;
    } cases[] = {
        {billionLaughsDocument(), "entity declarations are not accepted"},
        {externalEntityDocument(secret), "entity declarations are not accepted"},
        {"<a><b></a>", "mismatched tag at line 1"},
        {"not xml at all", "syntax error at line 1"},
        {"", "no element found"},
    };
    for (const Case& c : cases) {
        Recorder r;
        host::XMLParser parser(r);
        EXPECT_FALSE(parser.parse(c.document)) << c.document.substr(0, 40);
        EXPECT_NE(parser.errorMessage().find(c.reason), std::string::npos) << parser.errorMessage();
        for (const std::string& e : r.events) EXPECT_EQ(e.find("the secret"), std::string::npos);
    }
}

TEST(XMLParser, KeepsToItsLimitsAndStopsWhenAHandlerAborts) {
    host::XMLParser::Limits limits;
    limits.maxBytes = 64;
    limits.maxDepth = 3;
    limits.maxElements = 4;
    struct Case {
        std::string document;
        std::string reason;
    } cases[] = {
        {"<a>" + std::string(100, 'x') + "</a>", "larger than 64 bytes"},
        {"<a><b><c><d/></c></b></a>", "nested deeper than 3"},
        {"<a><b/><b/><b/><b/></a>", "more than 4 elements"},
    };
    for (const Case& c : cases) {
        Recorder r;
        host::XMLParser parser(r, limits);
        EXPECT_FALSE(parser.parse(c.document));
        EXPECT_NE(parser.errorMessage().find(c.reason), std::string::npos) << parser.errorMessage();
    }

    Recorder r;
    host::XMLParser parser(r);
    r.parser = &parser;
    r.stopAt = "b";
    EXPECT_FALSE(parser.parse("<a><b/><c/></a>"));
    EXPECT_EQ(parser.errorMessage(), "stopped at b at line 1");
    EXPECT_EQ(r.events, (std::vector<std::string>{"<a", "<b"}));  // nothing after the abort
    EXPECT_FALSE(parser.parse("<a/>"));                            // one document per parser

    Recorder missing;
    host::XMLParser fileParser(missing);
    EXPECT_FALSE(fileParser.parseFile("/nonexistent/map.tmx"));
    EXPECT_EQ(fileParser.errorMessage(), "cannot open /nonexistent/map.tmx");
}

}  // namespace
