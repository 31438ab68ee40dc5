// The XML document tree the Meridian client reads its answers with: the
// tree it builds, editing it, and answers from outside that must be refused.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include "HostileXML.h"
#include "LoopbackServer.h"
#include "OddFiles.h"
#include "ScratchDirectory.h"
#include "adnetworks/DTXMLDocument.h"
#include "host/core/RunLoop.h"

namespace {

class RecordingXMLDelegate : public DTXMLDocumentDelegate {
public:
    unsigned xmlDocumentDelegateMethods() const override { return methods; }
    void didFinishLoadingXmlDocument(DTXMLDocument* d) override {
        ++finished;
        root = d->documentRoot() ? d->documentRoot()->name() : "";
    }
    void xmlDocumentDidFailWithError(DTXMLDocument*, host::Error* e) override {
        ++failed;
        error = e->localizedDescription();
    }
    unsigned methods = kAll;
    int finished = 0, failed = 0;
    std::string root, error;
};

class XMLDocumentTest : public ::testing::Test {
protected:
    host::AutoreleasePool pool_;
};

TEST_F(XMLDocumentTest, BuildsTheTreeInDocumentOrder) {
    DTXMLDocument* doc = DTXMLDocument::documentWithData(
        "<?xml version=\"1.0\"?>\n<ad type=\"imageAd\" xmlns:m=\"urn:m\" m:kind=\"k\">"
        "<clickurl>http://a/?x=1&amp;y=2</clickurl><refresh>3<!-- c -->0</refresh>"
        "<m:extra>one</m:extra><clickurl>second</clickurl><htmlString><![CDATA[<b>hi</b>]]></htmlString></ad>");
    ASSERT_NE(doc, nullptr);
    DTXMLElement* root = doc->documentRoot();
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(root->name(), "ad");
    EXPECT_EQ(root->attribute("type"), "imageAd");
    EXPECT_EQ(root->attribute("m:kind"), "k");
    EXPECT_EQ(root->attribute("missing"), "");
    ASSERT_EQ(root->children().size(), 5u);
    EXPECT_EQ(root->children()[2]->name(), "extra");  // the local name of a prefixed element
    for (const auto& child : root->children()) EXPECT_EQ(child->parent(), root);

    // The first child of a name wins; text is all character data, joined.
    EXPECT_EQ(root->valueForKey("clickurl"), "http://a/?x=1&y=2");
    EXPECT_EQ(root->getNamedChildren("clickurl").size(), 2u);
    EXPECT_EQ(root->valueForKey("refresh"), "30");
    EXPECT_EQ(root->valueForKey("htmlString"), "<b>hi</b>");
    EXPECT_EQ(root->getNamedChild("nothing"), nullptr);
    EXPECT_EQ(root->valueForKey("nothing"), "");
    EXPECT_TRUE(doc->isDoneLoading());
}

TEST_F(XMLDocumentTest, ElementsCanBeEdited) {
    DTXMLElement* item = DTXMLElement::elementWithName("item");
    DTXMLElement* title = item->addChildWithName("title", "First");
    item->addChildWithName("link", "http://l/");
    item->addChildWithName("title", "Second");
    EXPECT_EQ(title->parent(), item);
    EXPECT_EQ(item->title(), "First");
    EXPECT_EQ(item->link(), "http://l/");
    EXPECT_EQ(item->content(), "");

    EXPECT_TRUE(item->changeTextForNamedChild("link", "http://m/"));
    EXPECT_EQ(item->link(), "http://m/");
    EXPECT_FALSE(item->changeTextForNamedChild("content", "x"));

    EXPECT_TRUE(item->removeNamedChild("title"));
    EXPECT_EQ(item->title(), "Second");
    EXPECT_FALSE(item->removeNamedChild("content"));

    // Moving a child takes it out of its old parent.
    DTXMLElement* other = DTXMLElement::elementWithName("other");
    DTXMLElement* link = item->getNamedChild("link");
    other->addChild(link);
    EXPECT_EQ(item->getNamedChild("link"), nullptr);
    EXPECT_EQ(link->parent(), other);
    EXPECT_NE(item->description().find("name = item | children = 1"), std::string::npos);
}

TEST_F(XMLDocumentTest, AnswersThatAreNotAWellFormedDocumentAreRefused) {
    for (const char* bad : {"", "Error parsing", "<ad type=\"noAd\">", "<ad></ad><second/>", "<a><b></a></b>",
                            "\xFF\xFE<ad/>"})
        EXPECT_EQ(DTXMLDocument::documentWithData(bad), nullptr) << bad;
}

TEST_F(XMLDocumentTest, EntityExpansionAndExternalEntitiesAreRefused) {
    const std::string laughs = billionLaughsDocument();
    RecordingXMLDelegate delegate;
    DTXMLDocument* doc = host::createOwned<DTXMLDocument>([&](DTXMLDocument* d) {
        d->setDelegate(&delegate);
        return d->initWithData(laughs);
    });
    EXPECT_EQ(doc, nullptr);
    EXPECT_EQ(delegate.failed, 1);
    EXPECT_NE(delegate.error.find("entity"), std::string::npos) << delegate.error;

    ScratchDirectory scratch;
    const std::string secret = scratch.write("secret.txt", "secret");
    EXPECT_EQ(DTXMLDocument::documentWithData(externalEntityDocument(secret)), nullptr);
}

TEST_F(XMLDocumentTest, OversizedDeepOrCrowdedDocumentsAreRefused) {
    std::string big = "<ad>" + std::string(DTXMLDocument::kMaxDocumentBytes, 'x') + "</ad>";
    EXPECT_EQ(DTXMLDocument::documentWithData(big), nullptr);

    std::string deep;
    for (int i = 0; i <= DTXMLDocument::kMaxDepth; ++i) deep += "<d>";
    for (int i = 0; i <= DTXMLDocument::kMaxDepth; ++i) deep += "</d>";
    EXPECT_EQ(DTXMLDocument::documentWithData(deep), nullptr);

    std::string crowded = "<ad>";
    for (size_t i = 0; i < DTXMLDocument::kMaxElements; ++i) crowded += "<e/>";
    crowded += "</ad>";
    EXPECT_EQ(DTXMLDocument::documentWithData(crowded), nullptr);

    // Just inside the limits is fine.
    std::string fits;
    for (int i = 0; i < DTXMLDocument::kMaxDepth; ++i) fits += "<d>";
    for (int i = 0; i < DTXMLDocument::kMaxDepth; ++i) fits += "</d>";
    EXPECT_NE(DTXMLDocument::documentWithData(fits), nullptr);
}

TEST_F(XMLDocumentTest, FilesAndURLsReportToTheDelegate) {
    ScratchDirectory scratch;
    const std::string path = scratch.write("file.xml", "<feed><item/></feed>");
    RecordingXMLDelegate delegate;
    EXPECT_NE(DTXMLDocument::documentWithContentsOfFile(path, &delegate), nullptr);
    EXPECT_EQ(delegate.finished, 1);
    EXPECT_EQ(delegate.root, "feed");
    std::filesystem::remove(path);
    EXPECT_EQ(DTXMLDocument::documentWithContentsOfFile(path, &delegate), nullptr);
    EXPECT_EQ(delegate.failed, 1);
    ASSERT_TRUE(placeOddFile(OddFile::Fifo, path));
    EXPECT_EQ(withinASecond([&] { return DTXMLDocument::documentWithContentsOfFile(path, &delegate); }, path), nullptr);
    EXPECT_EQ(delegate.failed, 2);

    host::RunLoop::main().reset();
    LoopbackServer server;
    server.server().Get("/feed.xml", [](const httplib::Request& req, httplib::Response& res) {
        res.set_content(req.get_header_value("Accept") == "text/xml" ? "<feed/>" : "wrong", "text/xml");
    });
    server.start();
    RecordingXMLDelegate fromURL;
    EXPECT_NE(DTXMLDocument::documentWithContentsOfURL(server.url("/feed.xml"), &fromURL), nullptr);
    EXPECT_NE(DTXMLDocument::documentWithContentsOfURL(server.url("/missing.xml"), &fromURL), nullptr);
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (fromURL.finished + fromURL.failed < 2 && std::chrono::steady_clock::now() < end) {
        host::RunLoop::main().runOnce(0.01);
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    EXPECT_EQ(fromURL.finished, 1);
    EXPECT_EQ(fromURL.root, "feed");
    EXPECT_EQ(fromURL.failed, 1);
    host::RunLoop::main().reset();
}

}  // namespace
