#include "engine/Support/CCGeometryStrings.h"

#include <charconv>
#include <cmath>
#include <cstddef>

namespace {

// A small recursive-descent reader over one string. Every step either
// consumes what it expects or reports failure; nothing reads past the end.
class Reader {
public:
    explicit Reader(const std::string& text) : s_(text) {}

    bool pair(float* a, float* b) {
        return expect('{') && number(a) && expect(',') && number(b) && expect('}');
    }
    bool rect(CGRect* r) {
        return expect('{') && pair(&r->origin.x, &r->origin.y) && expect(',') &&
               pair(&r->size.width, &r->size.height) && expect('}');
    }
    // True when only spaces remain.
    bool atEnd() {
        skipSpaces();
        return i_ == s_.size();
    }

private:
    void skipSpaces() {
        while (i_ < s_.size() && (s_[i_] == ' ' || s_[i_] == '\t' || s_[i_] == '\n' || s_[i_] == '\r')) ++i_;
    }
    bool expect(char c) {
        skipSpaces();
        if (i_ >= s_.size() || s_[i_] != c) return false;
        ++i_;
        return true;
    }
    bool number(float* out) {
        skipSpaces();
        const char* first = s_.data() + i_;
        const char* last = s_.data() + s_.size();
        // from_chars takes no leading '+'; the platform's forms may have one.
        if (first < last && *first == '+' && first + 1 < last && first[1] != '-') ++first;
        float value = 0;
        auto [end, ec] = std::from_chars(first, last, value, std::chars_format::general);
        if (ec != std::errc() || !std::isfinite(value)) return false;
        *out = value;
        i_ = static_cast<size_t>(end - s_.data());
        return true;
    }

    const std::string& s_;
    size_t i_ = 0;
};

}  // namespace

bool ccPointFromString(const std::string& text, CGPoint* out) {
    CGPoint p{0, 0};
    Reader r(text);
    if (!r.pair(&p.x, &p.y) || !r.atEnd()) return false;
    *out = p;
    return true;
}

bool ccSizeFromString(const std::string& text, CGSize* out) {
    CGSize s{0, 0};
    Reader r(text);
    if (!r.pair(&s.width, &s.height) || !r.atEnd()) return false;
    *out = s;
    return true;
}

bool ccRectFromString(const std::string& text, CGRect* out) {
    CGRect rect = CGRectZero;
    Reader r(text);
    if (!r.rect(&rect) || !r.atEnd()) return false;
    *out = rect;
    return true;
}

CGPoint CGPointFromString(const std::string& text) {
    CGPoint p = CGPointZero;
    ccPointFromString(text, &p);
    return p;
}

CGSize CGSizeFromString(const std::string& text) {
    CGSize s = CGSizeZero;
    ccSizeFromString(text, &s);
    return s;
}

CGRect CGRectFromString(const std::string& text) {
    CGRect r = CGRectZero;
    ccRectFromString(text, &r);
    return r;
}
