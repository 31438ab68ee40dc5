// An event-driven XML reader on expat: element starts with their
// attributes, character data and element ends, in document order.
//
// It is built for files and answers from outside the program. Namespace
// processing is off (names arrive as written, "xlink:href" included),
// external entities and the external DTD are never read, and a document
// that declares any entity is refused, so a few nested declarations cannot
// expand to gigabytes. Documents above `maxBytes`, nested deeper than
// `maxDepth` or holding more than `maxElements` elements are refused too:
// a hostile input costs bounded memory and time.
#pragma once

#include <cstddef>
#include <string>

namespace host {

// The attributes of one element start, valid only during the call.
class XMLAttributes {
public:
    explicit XMLAttributes(const char** pairs) : pairs_(pairs) {}
    // The value of `name`, or nullptr when the element does not carry it.
    const char* value(const char* name) const;
    // The value, or `fallback` when absent.
    const char* value(const char* name, const char* fallback) const;
    bool has(const char* name) const { return value(name) != nullptr; }
    // Name/value pairs, ending with a null name.
    const char** pairs() const { return pairs_; }

private:
    const char** pairs_;
};

// What the parser reports. A handler may stop the parse with
// XMLParser::abort; nothing is reported after that.
class XMLParserDelegate {
public:
    virtual ~XMLParserDelegate() = default;
    virtual void didStartElement(const char* name, const XMLAttributes& attributes) = 0;
    // Text may come in several pieces per element; it is not terminated.
    virtual void foundCharacters(const char* text, size_t length) { (void)text, (void)length; }
    virtual void didEndElement(const char* name) { (void)name; }
};

class XMLParser {
public:
    struct Limits {
        size_t maxBytes = size_t(16) << 20;
        int maxDepth = 256;
        size_t maxElements = size_t(1) << 20;
    };

    explicit XMLParser(XMLParserDelegate& delegate) : XMLParser(delegate, Limits()) {}
    XMLParser(XMLParserDelegate& delegate, Limits limits);
    ~XMLParser();
    XMLParser(const XMLParser&) = delete;
    XMLParser& operator=(const XMLParser&) = delete;

    // One whole document. False when it is not well-formed, breaks a limit
    // or a handler aborted; errorMessage() then says why. A parser reads
    // one document: a second call fails.
    bool parse(const char* data, size_t length);
    bool parse(const std::string& data) { return parse(data.data(), data.size()); }
    // The same for a file, read in pieces.
    bool parseFile(const std::string& path);

    // From inside a handler: stops at once and fails the parse with
    // `reason` (followed by the current line unless `atLine` is false). The
    // first reason given is kept.
    void abort(const std::string& reason, bool atLine = true);
    bool aborted() const { return !abortReason_.empty(); }

    // "reason at line N" after a failed parse; empty after a good one.
    const std::string& errorMessage() const { return error_; }
    // The line the parser is on (handlers may use it in messages).
    unsigned long currentLine() const;

    // Called by the expat trampolines.
    void handleStart(const char* name, const char** attributes);
    void handleCharacters(const char* text, int length);
    void handleEnd(const char* name);
    void handleEntityDeclaration();

private:
    bool begin();
    bool feed(const char* data, size_t length, bool last);
    bool fail(const std::string& reason);
    bool failAborted();
    bool tooLarge();

    XMLParserDelegate& delegate_;
    Limits limits_;
    void* parser_ = nullptr;  // the XML_Parser
    bool used_ = false;
    size_t bytesSeen_ = 0;
    int depth_ = 0;
    size_t elements_ = 0;
    std::string abortReason_;
    bool abortAtLine_ = true;
    std::string error_;
};

}  // namespace host
