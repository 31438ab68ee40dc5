// A minimal XML document tree read with expat: elements with their
// attributes, concatenated character data and children (DTXMLElement.h).
//
// The reader is built for answers from outside: namespace processing with
// prefixes reported, no external entities, and any entity declaration
// refuses the document (a few nested entities expand to gigabytes). Bigger
// documents than kMaxDocumentBytes, deeper ones than kMaxDepth and ones
// with more than kMaxElements elements are refused too, so a hostile
// answer costs bounded memory and time.
#pragma once

#include <string>

#include "adnetworks/DTXMLElement.h"
#include "host/core/Error.h"
#include "host/core/Object.h"
#include "host/core/Ref.h"

class DTXMLDocument;

class DTXMLDocumentDelegate {
public:
    enum : unsigned { kDidFinishLoading = 1, kDidFail = 2, kAll = 3 };
    virtual ~DTXMLDocumentDelegate() = default;
    // Which of the optional methods below this delegate answers.
    virtual unsigned xmlDocumentDelegateMethods() const { return kAll; }
    virtual void didFinishLoadingXmlDocument(DTXMLDocument*) {}
    virtual void xmlDocumentDidFailWithError(DTXMLDocument*, host::Error*) {}
};

class DTXMLDocument : public host::Object {
public:
    static constexpr size_t kMaxDocumentBytes = size_t(1) << 20;
    static constexpr int kMaxDepth = 256;
    static constexpr size_t kMaxElements = size_t(1) << 16;
    static constexpr const char* kErrorDomain = "DTXMLDocument";

    // Parses bytes at once: an autoreleased document, or nullptr (with one
    // log line) when they are not a well-formed document within the limits.
    static DTXMLDocument* documentWithData(const std::string& data);
    bool initWithData(const std::string& data);

    // Reads and parses a file at once; the delegate hears the outcome.
    static DTXMLDocument* documentWithContentsOfFile(const std::string& path, DTXMLDocumentDelegate* delegate);
    bool initWithContentsOfFile(const std::string& path, DTXMLDocumentDelegate* delegate);

    // Fetches the URL in the background; the delegate hears the outcome on
    // the main thread. The document keeps itself alive until then.
    static DTXMLDocument* documentWithContentsOfURL(const std::string& url, DTXMLDocumentDelegate* delegate);
    bool initWithContentsOfURL(const std::string& url, DTXMLDocumentDelegate* delegate);

    DTXMLElement* documentRoot() const { return documentRoot_.get(); }
    const std::string& url() const { return _url; }
    // Not retained.
    DTXMLDocumentDelegate* delegate() const { return _delegate; }
    void setDelegate(DTXMLDocumentDelegate* d) { _delegate = d; }
    bool isDoneLoading() const { return doneLoading_; }
    const std::string& receivedData() const { return receivedData_; }

    std::string description() const override;

    // The parser's event handlers (called by expat through trampolines).
    void didStartElement(const char* name, const char** attributes);
    void foundCharacters(const char* s, int length);
    void didEndElement();
    void foundEntityDeclaration();

private:
    // Runs expat over receivedData_; false with the reason on failure.
    bool parse(std::string* reason);
    void stopParsing(const std::string& reason);
    void parserDidFail(const std::string& reason);
    void parserDidFinish();

    std::string _url;
    host::Ref<DTXMLElement> documentRoot_;
    DTXMLDocumentDelegate* _delegate = nullptr;
    DTXMLElement* currentElement_ = nullptr;  // inside documentRoot_'s tree
    std::string receivedData_;
    bool doneLoading_ = false;

    // Parse state.
    void* parser_ = nullptr;  // the XML_Parser while parsing
    std::string stopReason_;
    int depth_ = 0;
    size_t elementCount_ = 0;
};
