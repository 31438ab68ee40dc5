// Splits markup (valid UTF-8) into text, start tags and end tags, the
// tolerant way browsers read it: a '<' that starts no tag is text, a tag
// cut off by the end of the input is dropped, comments, doctypes and
// processing instructions are skipped, and the contents of <script>,
// <style>, <title> and <textarea> are read as text up to their end tag.
//
// Character references (&amp; &lt; &#233; &#xE9; and the common named
// ones) are decoded in text and attribute values; an unknown or malformed
// one stays as it is written. Tag and attribute names are lower-cased.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace host {

struct HTMLAttribute {
    std::string name;
    std::string value;
};

struct HTMLToken {
    enum class Type { Text, StartTag, EndTag };
    Type type = Type::Text;
    std::string name;  // tags
    std::string text;  // text
    std::vector<HTMLAttribute> attributes;
    bool selfClosing = false;  // written <name ... />
};

class HTMLTokenizer {
public:
    // More attributes than this on one tag are ignored.
    static constexpr size_t kMaxAttributes = 64;

    // The markup must outlive the tokenizer.
    explicit HTMLTokenizer(const std::string& markup) : text_(markup) {}

    // The next token; false at the end of the input.
    bool next(HTMLToken* token);

    // Appends [begin, end) with its character references decoded. In an
    // attribute value a reference without its ';' followed by a letter,
    // digit or '=' stays as written, as browsers keep query strings.
    static void appendDecoded(std::string& out, const char* begin, const char* end, bool inAttribute);

private:
    bool readText(HTMLToken* token);
    bool readRawText(HTMLToken* token);
    // What a '<' starts: a tag (read into the token), something skipped
    // (comment, doctype, a tag cut off by the end) or literal text.
    enum class Markup { Tag, Skipped, Literal };
    Markup readMarkup(HTMLToken* token);
    void readAttributes(HTMLToken* token);
    void skipPast(const char* terminator);

    const std::string& text_;
    size_t at_ = 0;
    // Set after a start tag whose contents are raw text, until its end.
    std::string rawTextEnd_;
    bool rawDecodes_ = false;
};

}  // namespace host
