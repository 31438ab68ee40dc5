#include "host/text/Utf8.h"

namespace host {

namespace {
bool isContinuation(unsigned char c) { return (c & 0xC0) == 0x80; }
}  // namespace

std::u32string decodeUtf8(const std::string& text) {
    std::u32string out;
    out.reserve(text.size());
    const size_t n = text.size();
    size_t i = 0;
    while (i < n) {
        const unsigned char lead = static_cast<unsigned char>(text[i]);
        if (lead < 0x80) {
            out.push_back(lead);
            ++i;
            continue;
        }
        // Length and smallest legal value of the sequence this byte starts.
        size_t length = 0;
        char32_t value = 0, minimum = 0;
        if ((lead & 0xE0) == 0xC0) { length = 2; value = lead & 0x1F; minimum = 0x80; }
        else if ((lead & 0xF0) == 0xE0) { length = 3; value = lead & 0x0F; minimum = 0x800; }
        else if ((lead & 0xF8) == 0xF0) { length = 4; value = lead & 0x07; minimum = 0x10000; }
        size_t consumed = 1;
        bool valid = length != 0;
        while (valid && consumed < length) {
            if (i + consumed >= n || !isContinuation(static_cast<unsigned char>(text[i + consumed]))) {
                valid = false;
                break;
            }
            value = (value << 6) | (static_cast<unsigned char>(text[i + consumed]) & 0x3F);
            ++consumed;
        }
        if (valid && (value < minimum || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)))
            valid = false;
        out.push_back(valid ? value : kReplacementCharacter);
        // A broken sequence swallows the bytes read so far, so that the
        // next lead byte starts afresh.
        i += consumed;
    }
    return out;
}

void appendUtf8(std::string& out, char32_t c) {
    if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) c = kReplacementCharacter;
    if (c < 0x80) {
        out.push_back(char(c));
    } else if (c < 0x800) {
        out.push_back(char(0xC0 | (c >> 6)));
        out.push_back(char(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out.push_back(char(0xE0 | (c >> 12)));
        out.push_back(char(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(char(0x80 | (c & 0x3F)));
    } else {
        out.push_back(char(0xF0 | (c >> 18)));
        out.push_back(char(0x80 | ((c >> 12) & 0x3F)));
        out.push_back(char(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(char(0x80 | (c & 0x3F)));
    }
}

std::string encodeUtf8(const char32_t* begin, const char32_t* end) {
    std::string out;
    out.reserve(size_t(end - begin));
    for (const char32_t* p = begin; p != end; ++p) appendUtf8(out, *p);
    return out;
}

}  // namespace host
