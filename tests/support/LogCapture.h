// The log lines written while a capture lives. The log copies every line
// to the capture's own file (the log has one file at a time, so captures
// do not nest).
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ScratchDirectory.h"

class LogCapture {
public:
    LogCapture();
    ~LogCapture();
    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;

    // The lines written so far, without empty ones.
    std::vector<std::string> lines() const;
    // The same, each ended by a newline.
    std::string joined() const;
    // Success (with the line) when exactly one line was written.
    ::testing::AssertionResult exactlyOneLine() const;

private:
    ScratchDirectory dir_;
    std::string path_;
};
