#include "host/web/HTMLTokenizer.h"

#include <cstring>
#include <string_view>
#include <unordered_map>

#include "host/text/Utf8.h"
#include "host/web/TextEncoding.h"

namespace host {

namespace {

bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f'; }
bool isAlpha(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isAlnum(char c) { return isAlpha(c) || isDigit(c); }
bool isHex(char c) { return isDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }
char lower(char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; }

// The Latin-1 references, U+00A0 to U+00FF in order.
const char* const kLatin1Names[96] = {
    "nbsp",   "iexcl",  "cent",   "pound",  "curren", "yen",    "brvbar", "sect",   "uml",    "copy",   "ordf",
    "laquo",  "not",    "shy",    "reg",    "macr",   "deg",    "plusmn", "sup2",   "sup3",   "acute",  "micro",
    "para",   "middot", "cedil",  "sup1",   "ordm",   "raquo",  "frac14", "frac12", "frac34", "iquest", "Agrave",
    "Aacute", "Acirc",  "Atilde", "Auml",   "Aring",  "AElig",  "Ccedil", "Egrave", "Eacute", "Ecirc",  "Euml",
    "Igrave", "Iacute", "Icirc",  "Iuml",   "ETH",    "Ntilde", "Ograve", "Oacute", "Ocirc",  "Otilde", "Ouml",
    "times",  "Oslash", "Ugrave", "Uacute", "Ucirc",  "Uuml",   "Yacute", "THORN",  "szlig",  "agrave", "aacute",
    "acirc",  "atilde", "auml",   "aring",  "aelig",  "ccedil", "egrave", "eacute", "ecirc",  "euml",   "igrave",
    "iacute", "icirc",  "iuml",   "eth",    "ntilde", "ograve", "oacute", "ocirc",  "otilde", "ouml",   "divide",
    "oslash", "ugrave", "uacute", "ucirc",  "uuml",   "yacute", "thorn",  "yuml",
};

struct NamedReference {
    const char* name;
    char32_t codePoint;
};
// The other references pages commonly use: punctuation, symbols, arrows
// and the Greek letters of formulas.
const NamedReference kOtherNames[] = {
    {"amp", '&'},         {"lt", '<'},          {"gt", '>'},          {"quot", '"'},        {"apos", '\''},
    {"OElig", 0x152},     {"oelig", 0x153},     {"Scaron", 0x160},    {"scaron", 0x161},    {"Yuml", 0x178},
    {"fnof", 0x192},      {"circ", 0x2C6},      {"tilde", 0x2DC},     {"ensp", 0x2002},     {"emsp", 0x2003},
    {"thinsp", 0x2009},   {"zwnj", 0x200C},     {"zwj", 0x200D},      {"lrm", 0x200E},      {"rlm", 0x200F},
    {"ndash", 0x2013},    {"mdash", 0x2014},    {"lsquo", 0x2018},    {"rsquo", 0x2019},    {"sbquo", 0x201A},
    {"ldquo", 0x201C},    {"rdquo", 0x201D},    {"bdquo", 0x201E},    {"dagger", 0x2020},   {"Dagger", 0x2021},
    {"bull", 0x2022},     {"hellip", 0x2026},   {"permil", 0x2030},   {"prime", 0x2032},    {"Prime", 0x2033},
    {"lsaquo", 0x2039},   {"rsaquo", 0x203A},   {"oline", 0x203E},    {"frasl", 0x2044},    {"euro", 0x20AC},
    {"trade", 0x2122},    {"larr", 0x2190},     {"uarr", 0x2191},     {"rarr", 0x2192},     {"darr", 0x2193},
    {"harr", 0x2194},     {"minus", 0x2212},    {"infin", 0x221E},    {"ne", 0x2260},       {"le", 0x2264},
    {"ge", 0x2265},       {"asymp", 0x2248},    {"spades", 0x2660},   {"clubs", 0x2663},    {"hearts", 0x2665},
    {"diams", 0x2666},    {"loz", 0x25CA},      {"check", 0x2713},    {"alpha", 0x3B1},     {"beta", 0x3B2},
    {"gamma", 0x3B3},     {"delta", 0x3B4},     {"epsilon", 0x3B5},   {"lambda", 0x3BB},    {"mu", 0x3BC},
    {"pi", 0x3C0},        {"sigma", 0x3C3},     {"omega", 0x3C9},     {"Delta", 0x394},     {"Omega", 0x3A9},
};

const std::unordered_map<std::string_view, char32_t>& namedReferences() {
    static const auto* table = [] {
        auto* t = new std::unordered_map<std::string_view, char32_t>;
        for (size_t i = 0; i < 96; ++i) t->emplace(kLatin1Names[i], char32_t(0xA0 + i));
        for (const NamedReference& r : kOtherNames) t->emplace(r.name, r.codePoint);
        return t;
    }();
    return *table;
}

// References browsers also read without their ';'.
bool readsWithoutSemicolon(std::string_view name) {
    return name == "amp" || name == "lt" || name == "gt" || name == "quot" || name == "nbsp" || name == "copy" ||
           name == "reg";
}

// Numeric references name code points; the C1 range reads as windows-1252
// and what is no character at all becomes U+FFFD.
char32_t numericCharacter(unsigned long value) {
    if (value >= 0x80 && value < 0xA0) return TextEncoding::windows1252((unsigned char)value);
    if (value == 0 || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) return kReplacementCharacter;
    return char32_t(value);
}

// Decodes the reference at `p` (just after the '&'); returns the bytes it
// used, 0 when it is none.
size_t decodeReference(const char* p, const char* end, bool inAttribute, std::string& out) {
    if (p < end && *p == '#') {
        const char* q = p + 1;
        const bool hex = q < end && (*q == 'x' || *q == 'X');
        if (hex) ++q;
        const char* digits = q;
        unsigned long value = 0;
        for (; q < end && (hex ? isHex(*q) : isDigit(*q)); ++q) {
            const int d = isDigit(*q) ? *q - '0' : lower(*q) - 'a' + 10;
            // Past the last code point the value only needs to stay too large.
            if (value <= 0x10FFFF) value = value * (hex ? 16 : 10) + unsigned(d);
        }
        if (q == digits) return 0;
        if (q < end && *q == ';') ++q;
        appendUtf8(out, numericCharacter(value));
        return size_t(q - p);
    }
    constexpr size_t kLongestName = 8;
    const char* q = p;
    while (q < end && isAlnum(*q) && size_t(q - p) <= kLongestName) ++q;
    const std::string_view name(p, size_t(q - p));
    if (name.empty()) return 0;
    const auto& table = namedReferences();
    auto found = table.find(name);
    if (found != table.end() && q < end && *q == ';') {
        appendUtf8(out, found->second);
        return name.size() + 1;
    }
    // Without the ';': the legacy names, longest first ("&copy2023").
    for (size_t n = name.size(); n >= 2; --n) {
        const std::string_view prefix = name.substr(0, n);
        if (!readsWithoutSemicolon(prefix)) continue;
        const char after = p + n < end ? p[n] : '\0';
        if (inAttribute && (isAlnum(after) || after == '=')) return 0;
        appendUtf8(out, table.at(prefix));
        return n;
    }
    return 0;
}

bool startsWithNoCase(const char* p, const char* end, const char* word) {
    const size_t n = std::strlen(word);
    if (size_t(end - p) < n) return false;
    for (size_t i = 0; i < n; ++i)
        if (lower(p[i]) != word[i]) return false;
    return true;
}

bool isRawTextElement(const std::string& name, bool* decodes) {
    if (name == "script" || name == "style" || name == "xmp" || name == "iframe" || name == "noembed") {
        *decodes = false;
        return true;
    }
    if (name == "title" || name == "textarea") {
        *decodes = true;
        return true;
    }
    return false;
}

}  // namespace

void HTMLTokenizer::appendDecoded(std::string& out, const char* begin, const char* end, bool inAttribute) {
    const char* p = begin;
    while (p < end) {
        const char* amp = static_cast<const char*>(std::memchr(p, '&', size_t(end - p)));
        if (!amp) {
            out.append(p, size_t(end - p));
            return;
        }
        out.append(p, size_t(amp - p));
        const size_t used = decodeReference(amp + 1, end, inAttribute, out);
        if (used == 0) out.push_back('&');
        p = amp + 1 + used;
    }
}

bool HTMLTokenizer::next(HTMLToken* token) {
    const size_t n = text_.size();
    while (at_ < n) {
        if (!rawTextEnd_.empty()) {
            if (readRawText(token)) return true;
            continue;
        }
        if (text_[at_] != '<') return readText(token);
        const Markup m = readMarkup(token);
        if (m == Markup::Tag) return true;
        if (m == Markup::Literal) {
            // The '<' and the text after it up to the next '<'.
            const size_t next = text_.find('<', at_ + 1);
            const size_t stop = next == std::string::npos ? n : next;
            token->type = HTMLToken::Type::Text;
            token->text.clear();
            appendDecoded(token->text, text_.data() + at_, text_.data() + stop, false);
            at_ = stop;
            return true;
        }
    }
    return false;
}

bool HTMLTokenizer::readText(HTMLToken* token) {
    const size_t next = text_.find('<', at_);
    const size_t stop = next == std::string::npos ? text_.size() : next;
    token->type = HTMLToken::Type::Text;
    token->text.clear();
    appendDecoded(token->text, text_.data() + at_, text_.data() + stop, false);
    at_ = stop;
    return true;
}

bool HTMLTokenizer::readRawText(HTMLToken* token) {
    const char* begin = text_.data() + at_;
    const char* end = text_.data() + text_.size();
    // The end tag: "</name" then a space, '/' or '>' (or the input's end).
    const char* p = begin;
    const char* stop = end;
    while ((p = static_cast<const char*>(std::memchr(p, '<', size_t(end - p)))) != nullptr) {
        if (p + 1 < end && p[1] == '/' && startsWithNoCase(p + 2, end, rawTextEnd_.c_str())) {
            const char* after = p + 2 + rawTextEnd_.size();
            if (after == end || isSpace(*after) || *after == '/' || *after == '>') {
                stop = p;
                break;
            }
        }
        ++p;
    }
    at_ = size_t(stop - text_.data());
    const std::string name = rawTextEnd_;
    rawTextEnd_.clear();
    if (stop == begin) return false;  // the end tag comes next, as a tag
    token->type = HTMLToken::Type::Text;
    token->text.clear();
    if (rawDecodes_) appendDecoded(token->text, begin, stop, false);
    else token->text.assign(begin, stop);
    return true;
}

void HTMLTokenizer::skipPast(const char* terminator) {
    const size_t found = text_.find(terminator, at_);
    at_ = found == std::string::npos ? text_.size() : found + std::strlen(terminator);
}

HTMLTokenizer::Markup HTMLTokenizer::readMarkup(HTMLToken* token) {
    const size_t n = text_.size();
    const char c = at_ + 1 < n ? text_[at_ + 1] : '\0';
    if (c == '!') {
        if (text_.compare(at_, 4, "<!--") == 0) {
            at_ += 4;
            skipPast("-->");
        } else {
            skipPast(">");  // doctype, CDATA and other declarations
        }
        return Markup::Skipped;
    }
    if (c == '?') {
        skipPast(">");
        return Markup::Skipped;
    }
    const bool isEnd = c == '/';
    const size_t nameStart = at_ + (isEnd ? 2 : 1);
    if (nameStart >= n || !isAlpha(text_[nameStart])) {
        if (!isEnd) return Markup::Literal;
        // "</>" and "</ 3>": skipped like a comment, as browsers do.
        at_ = nameStart;
        skipPast(">");
        return Markup::Skipped;
    }
    size_t p = nameStart;
    while (p < n && !isSpace(text_[p]) && text_[p] != '/' && text_[p] != '>') ++p;
    token->type = isEnd ? HTMLToken::Type::EndTag : HTMLToken::Type::StartTag;
    token->name.assign(text_, nameStart, p - nameStart);
    for (char& ch : token->name) ch = lower(ch);
    token->attributes.clear();
    token->selfClosing = false;
    token->text.clear();
    at_ = p;
    readAttributes(token);
    if (at_ > n) {
        // The input ended inside the tag: it is dropped.
        at_ = n;
        return Markup::Skipped;
    }
    if (isEnd) {
        token->attributes.clear();
        return Markup::Tag;
    }
    if (isRawTextElement(token->name, &rawDecodes_) && !token->selfClosing) rawTextEnd_ = token->name;
    return Markup::Tag;
}

void HTMLTokenizer::readAttributes(HTMLToken* token) {
    const size_t n = text_.size();
    while (true) {
        while (at_ < n && (isSpace(text_[at_]) || text_[at_] == '/')) {
            token->selfClosing = text_[at_] == '/';
            ++at_;
        }
        if (at_ >= n) {
            at_ = n + 1;  // no closing '>'
            return;
        }
        if (text_[at_] == '>') {
            ++at_;
            return;
        }
        token->selfClosing = false;
        const size_t nameStart = at_;
        // A name runs to a space, '/', '>' or '=' (a leading '=' is part of it).
        ++at_;
        while (at_ < n && !isSpace(text_[at_]) && text_[at_] != '/' && text_[at_] != '>' && text_[at_] != '=') ++at_;
        HTMLAttribute attribute;
        attribute.name.assign(text_, nameStart, at_ - nameStart);
        for (char& ch : attribute.name) ch = lower(ch);
        size_t q = at_;
        while (q < n && isSpace(text_[q])) ++q;
        if (q < n && text_[q] == '=') {
            ++q;
            while (q < n && isSpace(text_[q])) ++q;
            const char* base = text_.data();
            if (q < n && (text_[q] == '"' || text_[q] == '\'')) {
                const size_t close = text_.find(text_[q], q + 1);
                if (close == std::string::npos) {
                    at_ = n + 1;  // an unclosed quote runs to the end: the tag is cut off
                    return;
                }
                appendDecoded(attribute.value, base + q + 1, base + close, true);
                at_ = close + 1;
            } else {
                const size_t valueStart = q;
                while (q < n && !isSpace(text_[q]) && text_[q] != '>') ++q;
                appendDecoded(attribute.value, base + valueStart, base + q, true);
                at_ = q;
            }
        }
        // The first of repeated names counts.
        bool repeated = false;
        for (const HTMLAttribute& a : token->attributes) repeated = repeated || a.name == attribute.name;
        if (!repeated && token->attributes.size() < kMaxAttributes) token->attributes.push_back(std::move(attribute));
    }
}

}  // namespace host
