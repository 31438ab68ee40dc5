#include "adnetworks/DTXMLDocument.h"

#include <expat.h>

#include <memory>

#include "host/core/Log.h"
#include "host/core/SafeFileReader.h"
#include "host/net/HTTP.h"

namespace {

// Expanded names are "uri<sep>local<sep>prefix" (or just "local").
constexpr char kNamespaceSeparator = '\x1F';

struct ParserDeleter {
    void operator()(XML_ParserStruct* p) const { XML_ParserFree(p); }
};

std::string localName(const char* expanded) {
    std::string s(expanded);
    const size_t first = s.find(kNamespaceSeparator);
    if (first == std::string::npos) return s;
    const size_t second = s.find(kNamespaceSeparator, first + 1);
    return s.substr(first + 1, second == std::string::npos ? std::string::npos : second - first - 1);
}

// Attributes keep the prefix they were written with ("xml:lang").
std::string attributeName(const char* expanded) {
    std::string s(expanded);
    const size_t first = s.find(kNamespaceSeparator);
    if (first == std::string::npos) return s;
    const size_t second = s.find(kNamespaceSeparator, first + 1);
    if (second == std::string::npos) return s.substr(first + 1);
    return s.substr(second + 1) + ":" + s.substr(first + 1, second - first - 1);
}

DTXMLDocument* self(void* user) { return static_cast<DTXMLDocument*>(user); }

void XMLCALL onStart(void* user, const XML_Char* name, const XML_Char** atts) { self(user)->didStartElement(name, atts); }
void XMLCALL onEnd(void* user, const XML_Char*) { self(user)->didEndElement(); }
void XMLCALL onCharacters(void* user, const XML_Char* s, int len) { self(user)->foundCharacters(s, len); }
void XMLCALL onEntityDecl(void* user, const XML_Char*, int, const XML_Char*, int, const XML_Char*, const XML_Char*,
                          const XML_Char*, const XML_Char*) {
    self(user)->foundEntityDeclaration();
}

}  // namespace

DTXMLDocument* DTXMLDocument::documentWithData(const std::string& data) {
    return host::create<DTXMLDocument>([&](DTXMLDocument* d) { return d->initWithData(data); });
}

bool DTXMLDocument::initWithData(const std::string& data) {
    receivedData_ = data;
    std::string reason;
    if (!parse(&reason)) {
        parserDidFail(reason);
        return false;
    }
    parserDidFinish();
    return true;
}

DTXMLDocument* DTXMLDocument::documentWithContentsOfFile(const std::string& path, DTXMLDocumentDelegate* delegate) {
    return host::create<DTXMLDocument>(
        [&](DTXMLDocument* d) { return d->initWithContentsOfFile(path, delegate); });
}

bool DTXMLDocument::initWithContentsOfFile(const std::string& path, DTXMLDocumentDelegate* delegate) {
    _url = "file://" + path;
    _delegate = delegate;
    std::string bytes;
    std::string error;
    if (!host::SafeFileReader::readFile(path, kMaxDocumentBytes, bytes, &error)) {
        parserDidFail(error);
        return false;
    }
    return initWithData(bytes);
}

DTXMLDocument* DTXMLDocument::documentWithContentsOfURL(const std::string& url, DTXMLDocumentDelegate* delegate) {
    return host::create<DTXMLDocument>([&](DTXMLDocument* d) { return d->initWithContentsOfURL(url, delegate); });
}

bool DTXMLDocument::initWithContentsOfURL(const std::string& url, DTXMLDocumentDelegate* delegate) {
    _url = url;
    _delegate = delegate;
    host::HTTPRequest request;
    request.url = url;
    request.headers = {{"Accept", "text/xml"}};
    request.maxBytes = kMaxDocumentBytes;
    retain();  // released when the answer has been handled, on the main thread
    host::HTTP::getAsync(request, [this](host::HTTPResponse response) {
        if (!response.ok()) {
            parserDidFail(response.completed ? "status " + std::to_string(response.status) : response.error);
        } else {
            initWithData(response.body);
        }
        release();
    });
    return true;
}

bool DTXMLDocument::parse(std::string* reason) {
    documentRoot_.reset();
    currentElement_ = nullptr;
    depth_ = 0;
    elementCount_ = 0;
    stopReason_.clear();
    if (receivedData_.size() > kMaxDocumentBytes) {
        *reason = "document larger than " + std::to_string(kMaxDocumentBytes) + " bytes";
        return false;
    }
    std::unique_ptr<XML_ParserStruct, ParserDeleter> parser(XML_ParserCreateNS(nullptr, kNamespaceSeparator));
    if (!parser) {
        *reason = "cannot create a parser";
        return false;
    }
    XML_Parser p = parser.get();
    XML_SetReturnNSTriplet(p, XML_TRUE);
    XML_SetParamEntityParsing(p, XML_PARAM_ENTITY_PARSING_NEVER);
    XML_SetUserData(p, this);
    XML_SetElementHandler(p, onStart, onEnd);
    XML_SetCharacterDataHandler(p, onCharacters);
    XML_SetEntityDeclHandler(p, onEntityDecl);
    parser_ = p;
    const XML_Status status = XML_Parse(p, receivedData_.data(), static_cast<int>(receivedData_.size()), XML_TRUE);
    parser_ = nullptr;
    if (status == XML_STATUS_OK) return true;
    const std::string why = stopReason_.empty() ? XML_ErrorString(XML_GetErrorCode(p)) : stopReason_;
    *reason = why + " at line " + std::to_string(XML_GetCurrentLineNumber(p));
    documentRoot_.reset();
    currentElement_ = nullptr;
    return false;
}

void DTXMLDocument::stopParsing(const std::string& reason) {
    if (!stopReason_.empty() || !parser_) return;
    stopReason_ = reason;
    XML_StopParser(static_cast<XML_Parser>(parser_), XML_FALSE);
}

void DTXMLDocument::didStartElement(const char* name, const char** attributes) {
    if (!stopReason_.empty()) return;
    if (++depth_ > kMaxDepth) return stopParsing("elements nested deeper than " + std::to_string(kMaxDepth));
    if (++elementCount_ > kMaxElements) return stopParsing("more than " + std::to_string(kMaxElements) + " elements");
    DTXMLElement* element = DTXMLElement::elementWithName(localName(name));
    for (const char** a = attributes; a && a[0] && a[1]; a += 2) element->mutableAttributes()[attributeName(a[0])] = a[1];
    if (!documentRoot_) {
        documentRoot_ = element;
    } else if (currentElement_) {
        currentElement_->addChild(element);
    }
    currentElement_ = element;
}

void DTXMLDocument::foundCharacters(const char* s, int length) {
    if (currentElement_ && stopReason_.empty()) currentElement_->mutableText().append(s, size_t(length));
}

void DTXMLDocument::didEndElement() {
    --depth_;
    if (currentElement_) currentElement_ = currentElement_->parent();
}

void DTXMLDocument::foundEntityDeclaration() { stopParsing("entity declarations are not accepted"); }

void DTXMLDocument::parserDidFail(const std::string& reason) {
    doneLoading_ = true;
    host::log("DTXMLDocument: cannot read XML%s%s: %s", _url.empty() ? "" : " from ", _url.c_str(), reason.c_str());
    if (_delegate && (_delegate->xmlDocumentDelegateMethods() & DTXMLDocumentDelegate::kDidFail))
        _delegate->xmlDocumentDidFailWithError(this, host::Error::errorWithDomain(kErrorDomain, 1, reason));
}

void DTXMLDocument::parserDidFinish() {
    doneLoading_ = true;
    if (_delegate && (_delegate->xmlDocumentDelegateMethods() & DTXMLDocumentDelegate::kDidFinishLoading))
        _delegate->didFinishLoadingXmlDocument(this);
}

std::string DTXMLDocument::description() const {
    return "<DTXMLDocument = " + host::addressString(this) + " | root = " +
           (documentRoot_ ? documentRoot_->name() : std::string("(none)")) + ">";
}
