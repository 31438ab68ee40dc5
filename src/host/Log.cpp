#include "host/Log.h"

#include <cstdarg>
#include <cstdio>
#include <mutex>

namespace host {
namespace {
std::mutex gLogMutex;
FILE* gLogFile = nullptr;
}  // namespace

void logLine(const std::string& text) {
    // Strip trailing newlines; we add exactly one.
    size_t n = text.size();
    while (n > 0 && (text[n - 1] == '\n' || text[n - 1] == '\r')) --n;
    std::lock_guard<std::mutex> lock(gLogMutex);
    std::fwrite(text.data(), 1, n, stderr);
    std::fputc('\n', stderr);
    if (gLogFile) {
        std::fwrite(text.data(), 1, n, gLogFile);
        std::fputc('\n', gLogFile);
        std::fflush(gLogFile);
    }
}

void log(const char* fmt, ...) {
    char buf[1024];
    va_list ap;
    va_start(ap, fmt);
    int len = std::vsnprintf(buf, sizeof buf, fmt, ap);
    va_end(ap);
    if (len < 0) return;
    if (static_cast<size_t>(len) < sizeof buf) {
        logLine(std::string(buf, static_cast<size_t>(len)));
        return;
    }
    std::string big(static_cast<size_t>(len) + 1, '\0');
    va_start(ap, fmt);
    std::vsnprintf(&big[0], big.size(), fmt, ap);
    va_end(ap);
    big.resize(static_cast<size_t>(len));
    logLine(big);
}

bool setLogFile(const std::string& path) {
    std::lock_guard<std::mutex> lock(gLogMutex);
    if (gLogFile) { std::fclose(gLogFile); gLogFile = nullptr; }
    if (path.empty()) return true;
    gLogFile = std::fopen(path.c_str(), "a");
    return gLogFile != nullptr;
}

}  // namespace host
