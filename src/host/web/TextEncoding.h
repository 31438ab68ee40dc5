// Text in a named character encoding to valid UTF-8, for content whose
// bytes come from outside (web pages, their HTTP answers).
//
// Known names (compared without case; "-" and "_" optional): utf-8,
// iso-8859-15 / latin9 and windows-1252. us-ascii and iso-8859-1 / latin1
// (and their aliases) read as windows-1252, as browsers read them.
// Malformed UTF-8 becomes U+FFFD; a leading byte-order mark is dropped.
#pragma once

#include <string>

namespace host {

class TextEncoding {
public:
    enum class Kind { UTF8, Latin1, Latin9, Windows1252 };

    // The encoding a name stands for; false for a name it does not know.
    // "" is UTF-8.
    static bool kindForName(const std::string& name, Kind* kind);
    // The bytes as valid UTF-8.
    static std::string toUTF8(const std::string& bytes, Kind kind);
    // By name; an unknown name reads as UTF-8 (with one log line).
    static std::string toUTF8(const std::string& bytes, const std::string& name);
    // What windows-1252 puts at a byte of 0x80 to 0x9F (markup's numeric
    // references read that range so); the byte itself elsewhere.
    static char32_t windows1252(unsigned char byte);
};

}  // namespace host
