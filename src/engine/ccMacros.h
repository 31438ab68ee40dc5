// Assertions stay on in release builds: a failed one is a programming error.
#pragma once

#include <cstdio>
#include <cstdlib>

#define CCAssert(cond, msg)                                                         \
    do {                                                                            \
        if (!(cond)) {                                                              \
            std::fprintf(stderr, "Assertion failed: %s (%s:%d)\n", msg, __FILE__, __LINE__); \
            std::abort();                                                           \
        }                                                                           \
    } while (0)

#define CC_DEGREES_TO_RADIANS(a) ((a) * 0.01745329252f)
#define CC_RADIANS_TO_DEGREES(a) ((a) * 57.29577951f)

#include <stdexcept>
#include <string>

// A programming error the caller can catch: a call the engine cannot
// honour with the arguments it was given (an unknown pixel format, say).
class CCInternalInconsistencyException : public std::logic_error {
public:
    explicit CCInternalInconsistencyException(const std::string& reason) : std::logic_error(reason) {}
};

// An exception with a name and a reason, raised for a call that a class
// cannot honour ("GridBase" / "Cannot reuse grid"). what() gives
// "name: reason".
class CCException : public std::logic_error {
public:
    CCException(const std::string& name, const std::string& reason)
        : std::logic_error(name + ": " + reason), name_(name), reason_(reason) {}
    const std::string& name() const { return name_; }
    const std::string& reason() const { return reason_; }

private:
    std::string name_, reason_;
};
