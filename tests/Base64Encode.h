// Base64 encoding for tests that build embedded data the way editors
// write it (with line breaks, which readers skip).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

inline std::string base64Encode(const std::vector<uint8_t>& bytes) {
    static const char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    for (size_t i = 0; i < bytes.size(); i += 3) {
        const uint32_t n = uint32_t(bytes[i]) << 16 | (i + 1 < bytes.size() ? uint32_t(bytes[i + 1]) << 8 : 0) |
                           (i + 2 < bytes.size() ? bytes[i + 2] : 0);
        out += kAlphabet[n >> 18 & 63];
        out += kAlphabet[n >> 12 & 63];
        out += i + 1 < bytes.size() ? kAlphabet[n >> 6 & 63] : '=';
        out += i + 2 < bytes.size() ? kAlphabet[n & 63] : '=';
        if (out.size() % 77 == 76) out += '\n';  // line breaks are skipped by readers
    }
    return out;
}

inline std::string base64Encode(const std::string& bytes) {
    return base64Encode(std::vector<uint8_t>(bytes.begin(), bytes.end()));
}
