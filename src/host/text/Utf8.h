// UTF-8 to code points and back. Decoding never fails: every malformed
// sequence (stray continuation bytes, truncated or overlong forms,
// surrogates, values above U+10FFFF) becomes one U+FFFD.
#pragma once

#include <string>

namespace host {

constexpr char32_t kReplacementCharacter = 0xFFFD;

std::u32string decodeUtf8(const std::string& text);
void appendUtf8(std::string& out, char32_t codePoint);
std::string encodeUtf8(const char32_t* begin, const char32_t* end);

}  // namespace host
