#include "host/web/TextEncoding.h"

#include <algorithm>
#include <cctype>
#include <iterator>

#include "host/core/Log.h"
#include "host/text/Utf8.h"

namespace host {

namespace {

// Lower case without the separators, so "ISO_8859-1" and "iso88591" meet.
std::string canonicalName(const std::string& name) {
    std::string out;
    for (char c : name) {
        if (c == '-' || c == '_' || c == ' ') continue;
        out.push_back(char(std::tolower(static_cast<unsigned char>(c))));
    }
    return out;
}

// windows-1252 at 0x80 to 0x9F (0 where the code page leaves a hole,
// which then reads as the C1 control of the same value).
const char16_t kWindows1252High[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

// Where iso-8859-15 differs from iso-8859-1.
char32_t latin9(unsigned char b) {
    switch (b) {
        case 0xA4: return 0x20AC;
        case 0xA6: return 0x0160;
        case 0xA8: return 0x0161;
        case 0xB4: return 0x017D;
        case 0xB8: return 0x017E;
        case 0xBC: return 0x0152;
        case 0xBD: return 0x0153;
        case 0xBE: return 0x0178;
        default: return b;
    }
}

std::string validUTF8(const std::string& bytes) {
    constexpr size_t kChunk = 64 * 1024;
    size_t at = bytes.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
    std::string out;
    out.reserve(bytes.size() - at);
    // Decoded a piece at a time, each cut before a lead byte, so that a
    // large page never needs four bytes a character at once.
    while (at < bytes.size()) {
        size_t end = std::min(bytes.size(), at + kChunk);
        for (int back = 0; back < 3 && end < bytes.size() && end > at + 1 &&
                           (static_cast<unsigned char>(bytes[end]) & 0xC0) == 0x80;
             ++back)
            --end;
        for (char32_t c : decodeUtf8(bytes.substr(at, end - at))) appendUtf8(out, c);
        at = end;
    }
    return out;
}

}  // namespace

bool TextEncoding::kindForName(const std::string& name, Kind* kind) {
    // Pages labelled latin-1 or ASCII are nearly always windows-1252 (curly
    // quotes, dashes, the euro at 0x80 to 0x9F); browsers read them so.
    static const char* const kWindows1252Names[] = {
        "windows1252", "cp1252",  "xcp1252", "iso88591",      "iso88591:1987", "latin1",  "l1",
        "isolatin1",   "isoir100", "cp819",   "ibm819",        "csisolatin1",   "usascii", "ascii",
        "us",          "csascii", "iso646us", "ansix3.41968", "ansix3.41986",   "cp367",   "ibm367",
    };
    const std::string n = canonicalName(name);
    if (n.empty() || n == "utf8" || n == "unicode11utf8") *kind = Kind::UTF8;
    else if (n == "iso885915" || n == "latin9" || n == "l9") *kind = Kind::Latin9;
    else if (std::find(std::begin(kWindows1252Names), std::end(kWindows1252Names), n) != std::end(kWindows1252Names))
        *kind = Kind::Windows1252;
    else return false;
    return true;
}

std::string TextEncoding::toUTF8(const std::string& bytes, Kind kind) {
    if (kind == Kind::UTF8) return validUTF8(bytes);
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 8);
    for (char ch : bytes) {
        const unsigned char b = static_cast<unsigned char>(ch);
        char32_t c = b;
        if (kind == Kind::Latin9) c = latin9(b);
        else if (kind == Kind::Windows1252) c = windows1252(b);
        appendUtf8(out, c);
    }
    return out;
}

char32_t TextEncoding::windows1252(unsigned char b) {
    if (b >= 0x80 && b < 0xA0 && kWindows1252High[b - 0x80]) return kWindows1252High[b - 0x80];
    return b;
}

std::string TextEncoding::toUTF8(const std::string& bytes, const std::string& name) {
    Kind kind = Kind::UTF8;
    if (!kindForName(name, &kind)) log("text: unknown encoding \"%s\", read as utf-8", name.c_str());
    return toUTF8(bytes, kind);
}

}  // namespace host
