#include "engine/Support/base64.h"

#include <cstdlib>
#include <cstring>
#include <new>

namespace {

// The 6-bit value of a Base64 character, or -1 for any other byte.
int sextet(unsigned char c) {
    if (c >= 'A' && c <= 'Z') return c - 'A';
    if (c >= 'a' && c <= 'z') return c - 'a' + 26;
    if (c >= '0' && c <= '9') return c - '0' + 52;
    if (c == '+') return 62;
    if (c == '/') return 63;
    return -1;
}

void decodeInto(const unsigned char* in, size_t length, std::vector<uint8_t>* out) {
    out->reserve(length / 4 * 3 + 3);
    uint32_t bits = 0;
    int count = 0;
    for (size_t i = 0; i < length && in[i] != '='; ++i) {
        const int v = sextet(in[i]);
        if (v < 0) continue;
        bits = (bits << 6) | uint32_t(v);
        if (++count == 4) {
            out->push_back(uint8_t(bits >> 16));
            out->push_back(uint8_t(bits >> 8));
            out->push_back(uint8_t(bits));
            bits = 0;
            count = 0;
        }
    }
    // A final group of 2 or 3 characters carries 1 or 2 bytes.
    if (count == 2) out->push_back(uint8_t(bits >> 4));
    if (count == 3) {
        out->push_back(uint8_t(bits >> 10));
        out->push_back(uint8_t(bits >> 2));
    }
}

}  // namespace

std::vector<uint8_t> base64Decode(const std::string& text) {
    std::vector<uint8_t> out;
    decodeInto(reinterpret_cast<const unsigned char*>(text.data()), text.size(), &out);
    return out;
}

int base64Decode(const unsigned char* in, unsigned int inLength, unsigned char** out) {
    *out = nullptr;
    std::vector<uint8_t> decoded;
    try {
        if (in) decodeInto(in, inLength, &decoded);
    } catch (const std::bad_alloc&) {
        return -1;
    }
    *out = static_cast<unsigned char*>(std::malloc(decoded.size() + 1));
    if (!*out) return -1;
    if (!decoded.empty()) std::memcpy(*out, decoded.data(), decoded.size());
    return int(decoded.size());
}
