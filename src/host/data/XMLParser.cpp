#include "host/data/XMLParser.h"

#include <expat.h>

#include <cstdio>
#include <cstring>
#include <memory>

#include "host/core/SafeFileReader.h"

namespace host {

namespace {

constexpr size_t kFileChunk = 64 * 1024;

XMLParser* self(void* user) { return static_cast<XMLParser*>(user); }

void XMLCALL onStart(void* user, const XML_Char* name, const XML_Char** atts) { self(user)->handleStart(name, atts); }
void XMLCALL onEnd(void* user, const XML_Char* name) { self(user)->handleEnd(name); }
void XMLCALL onCharacters(void* user, const XML_Char* s, int len) { self(user)->handleCharacters(s, len); }
void XMLCALL onEntityDecl(void* user, const XML_Char*, int, const XML_Char*, int, const XML_Char*, const XML_Char*,
                          const XML_Char*, const XML_Char*) {
    self(user)->handleEntityDeclaration();
}

}  // namespace

// ---- XMLAttributes ----------------------------------------------------------

const char* XMLAttributes::value(const char* name) const {
    for (const char** a = pairs_; a && a[0]; a += 2)
        if (std::strcmp(a[0], name) == 0) return a[1];
    return nullptr;
}

const char* XMLAttributes::value(const char* name, const char* fallback) const {
    const char* v = value(name);
    return v ? v : fallback;
}

// ---- XMLParser ----------------------------------------------------------------

XMLParser::XMLParser(XMLParserDelegate& delegate, Limits limits) : delegate_(delegate), limits_(limits) {}

XMLParser::~XMLParser() {
    if (parser_) XML_ParserFree(static_cast<XML_Parser>(parser_));
}

bool XMLParser::begin() {
    if (used_) return fail("the parser has already read a document");
    used_ = true;
    XML_Parser p = XML_ParserCreate(nullptr);
    if (!p) return fail("cannot create an XML parser");
    parser_ = p;
    // Neither the external DTD nor external parameter entities are read.
    XML_SetParamEntityParsing(p, XML_PARAM_ENTITY_PARSING_NEVER);
    XML_SetUserData(p, this);
    XML_SetElementHandler(p, onStart, onEnd);
    XML_SetCharacterDataHandler(p, onCharacters);
    XML_SetEntityDeclHandler(p, onEntityDecl);
    return true;
}

bool XMLParser::fail(const std::string& reason) {
    // Only a document that has been read from has a line to point at.
    error_ = parser_ && bytesSeen_ > 0 ? reason + " at line " + std::to_string(currentLine()) : reason;
    return false;
}

bool XMLParser::tooLarge() {
    return fail("the document is larger than " + std::to_string(limits_.maxBytes) + " bytes");
}

bool XMLParser::feed(const char* data, size_t length, bool last) {
    bytesSeen_ += length;
    if (bytesSeen_ > limits_.maxBytes) return tooLarge();
    XML_Parser p = static_cast<XML_Parser>(parser_);
    if (XML_Parse(p, data, int(length), last ? XML_TRUE : XML_FALSE) == XML_STATUS_OK) return true;
    return aborted() ? failAborted() : fail(XML_ErrorString(XML_GetErrorCode(p)));
}

bool XMLParser::failAborted() {
    if (abortAtLine_) return fail(abortReason_);
    error_ = abortReason_;
    return false;
}

bool XMLParser::parse(const char* data, size_t length) {
    if (!begin()) return false;
    // expat takes int lengths: larger documents (under a larger cap) go in
    // pieces.
    constexpr size_t kMaxPiece = size_t(1) << 30;
    while (length > kMaxPiece) {
        if (!feed(data, kMaxPiece, false)) return false;
        data += kMaxPiece;
        length -= kMaxPiece;
    }
    return feed(data, length, true);
}

bool XMLParser::parseFile(const std::string& path) {
    if (!begin()) return false;
    // Opened without blocking and kept only when it is a regular file; the
    // byte cap below still holds if the file grows while it is read.
    SafeFileReader reader(path, limits_.maxBytes);
    if (!reader.isOpen()) return fail(reader.isMissing() ? "cannot open " + path : reader.error());
    const SafeFileReader::Stream file = reader.releaseAsStream();
    if (!file) return fail(reader.error());
    for (;;) {
        void* buffer = XML_GetBuffer(static_cast<XML_Parser>(parser_), int(kFileChunk));
        if (!buffer) return fail("out of memory");
        const size_t n = std::fread(buffer, 1, kFileChunk, file.get());
        if (std::ferror(file.get())) return fail("cannot read " + path);
        const bool last = n < kFileChunk;
        bytesSeen_ += n;
        if (bytesSeen_ > limits_.maxBytes) return tooLarge();
        XML_Parser p = static_cast<XML_Parser>(parser_);
        if (XML_ParseBuffer(p, int(n), last ? XML_TRUE : XML_FALSE) != XML_STATUS_OK)
            return aborted() ? failAborted() : fail(XML_ErrorString(XML_GetErrorCode(p)));
        if (last) return true;
    }
}

void XMLParser::abort(const std::string& reason, bool atLine) {
    if (aborted() || !parser_) return;
    abortReason_ = reason.empty() ? "stopped" : reason;
    abortAtLine_ = atLine;
    XML_StopParser(static_cast<XML_Parser>(parser_), XML_FALSE);
}

unsigned long XMLParser::currentLine() const {
    return parser_ ? XML_GetCurrentLineNumber(static_cast<XML_Parser>(parser_)) : 0;
}

void XMLParser::handleStart(const char* name, const char** attributes) {
    if (aborted()) return;
    if (++depth_ > limits_.maxDepth) return abort("elements nested deeper than " + std::to_string(limits_.maxDepth));
    if (++elements_ > limits_.maxElements)
        return abort("more than " + std::to_string(limits_.maxElements) + " elements");
    delegate_.didStartElement(name, XMLAttributes(attributes));
}

void XMLParser::handleCharacters(const char* text, int length) {
    if (!aborted()) delegate_.foundCharacters(text, size_t(length));
}

void XMLParser::handleEnd(const char* name) {
    --depth_;
    if (!aborted()) delegate_.didEndElement(name);
}

void XMLParser::handleEntityDeclaration() { abort("entity declarations are not accepted"); }

}  // namespace host
