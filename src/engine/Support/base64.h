// Base64 decoding. Characters outside the Base64 alphabet (line breaks,
// spaces) are skipped; decoding stops at the first "=".
#pragma once

#include <cstdint>
#include <string>
#include <vector>

std::vector<uint8_t> base64Decode(const std::string& text);

// The same for C callers: the decoded length, with `*out` a buffer from the
// C allocator (caller frees), or -1 and null when memory runs out.
int base64Decode(const unsigned char* in, unsigned int inLength, unsigned char** out);
