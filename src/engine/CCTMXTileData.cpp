#include "engine/CCTMXTileData.h"

#include <cstdlib>
#include <memory>

#include "engine/Support/ZipUtils.h"
#include "engine/Support/base64.h"

namespace {

struct FreeDeleter {
    void operator()(unsigned char* p) const { std::free(p); }
};

bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

// Digits from `*p` on as one unsigned 32-bit number; advances past them.
bool readNumber(const char** p, const char* end, uint32_t* value) {
    const char* s = *p;
    uint64_t v = 0;
    while (s < end && *s >= '0' && *s <= '9') {
        v = v * 10 + uint64_t(*s - '0');
        if (v > 0xFFFFFFFFull) return false;
        ++s;
    }
    if (s == *p) return false;
    *value = uint32_t(v);
    *p = s;
    return true;
}

void littleEndianGIDs(const unsigned char* bytes, size_t count, std::vector<uint32_t>* tiles) {
    tiles->resize(count);
    for (size_t i = 0; i < count; ++i) {
        const unsigned char* b = bytes + i * 4;
        (*tiles)[i] = uint32_t(b[0]) | uint32_t(b[1]) << 8 | uint32_t(b[2]) << 16 | uint32_t(b[3]) << 24;
    }
}

}  // namespace

bool ccTMXDecodeBase64Tiles(const std::string& text, bool compressed, size_t count, std::vector<uint32_t>* tiles,
                            std::string* reason) {
    const size_t expected = count * 4;
    const std::vector<uint8_t> decoded = base64Decode(text);
    if (!compressed) {
        if (decoded.size() != expected) {
            *reason = "the data hold " + std::to_string(decoded.size()) + " bytes, not the " + std::to_string(expected) +
                      " of its tiles";
            return false;
        }
        littleEndianGIDs(decoded.data(), count, tiles);
        return true;
    }
    if (decoded.empty()) {
        *reason = "the compressed data are empty";
        return false;
    }
    unsigned char* raw = nullptr;
    std::string why;
    const int length = ccInflateMemoryWithLimit(const_cast<unsigned char*>(decoded.data()), unsigned(decoded.size()),
                                                &raw, unsigned(expected), expected, &why);
    std::unique_ptr<unsigned char, FreeDeleter> inflated(raw);
    if (!inflated) {
        *reason = why.empty() ? "the compressed data cannot be inflated" : why;
        return false;
    }
    if (size_t(length) != expected) {
        *reason = "the data inflate to " + std::to_string(length) + " bytes, not the " + std::to_string(expected) +
                  " of its tiles";
        return false;
    }
    littleEndianGIDs(inflated.get(), count, tiles);
    return true;
}

bool ccTMXDecodeCSVTiles(const std::string& text, size_t count, std::vector<uint32_t>* tiles, std::string* reason) {
    tiles->clear();
    tiles->reserve(count);
    const char* p = text.data();
    const char* end = p + text.size();
    auto skipSpace = [&] {
        while (p < end && isSpace(*p)) ++p;
    };
    skipSpace();
    while (p < end) {
        uint32_t gid = 0;
        if (!readNumber(&p, end, &gid)) {
            *reason = "tile " + std::to_string(tiles->size() + 1) + " is not a number below 2^32";
            return false;
        }
        if (tiles->size() == count) {
            *reason = "the data hold more than the " + std::to_string(count) + " tiles of the layer";
            return false;
        }
        tiles->push_back(gid);
        skipSpace();
        if (p < end && *p == ',') {
            ++p;
            skipSpace();
            if (p == end) break;  // a trailing comma
        } else if (p < end) {
            *reason = "unexpected text after tile " + std::to_string(tiles->size());
            return false;
        }
    }
    if (tiles->size() != count) {
        *reason = "the data hold " + std::to_string(tiles->size()) + " tiles, not " + std::to_string(count);
        return false;
    }
    return true;
}

bool ccTMXParseGID(const char* text, uint32_t* gid) {
    if (!text) return false;
    const char* end = text;
    while (*end) ++end;
    const char* p = text;
    return readNumber(&p, end, gid) && p == end;
}
