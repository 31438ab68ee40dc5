// One line of text per call, to standard error and to the --log-file.
#pragma once

#include <mutex>
#include <string>

namespace host {

void log(const char* fmt, ...) __attribute__((format(printf, 1, 2)));
void logLine(const std::string& line);
// Also copy every line to this file (appended). Empty path: stop copying.
bool setLogFile(const std::string& path);

// While it lives, whatever libraries print straight to standard error (the
// sound libraries' complaints on a machine without a sound card, say) goes
// to the log file only, one line each after "`source`: ", and nowhere when
// there is no log file; our own log lines still reach standard error. One
// capture at a time in the process: a second waits for the first.
class LibraryOutputCapture {
public:
    explicit LibraryOutputCapture(const char* source);
    ~LibraryOutputCapture();
    LibraryOutputCapture(const LibraryOutputCapture&) = delete;
    LibraryOutputCapture& operator=(const LibraryOutputCapture&) = delete;

private:
    static std::mutex& captureMutex();
    std::lock_guard<std::mutex> oneAtATime_;
    const char* source_;
    int savedStderr_ = -1;
    int captureFd_ = -1;
};

}  // namespace host
