#include "host/core/Log.h"

#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <mutex>
#include <string>

namespace host {
namespace {
std::mutex gLogMutex;
FILE* gLogFile = nullptr;
// The real standard error while a library capture has fd 2; -1 otherwise.
int gRealStderr = -1;
// Library noise beyond this is dropped: a log file is no place for a flood.
constexpr size_t kMaxCapturedBytes = 64 * 1024;

size_t trimmedLength(const std::string& text) {
    size_t n = text.size();
    while (n > 0 && (text[n - 1] == '\n' || text[n - 1] == '\r')) --n;
    return n;
}

void writeAll(int fd, const char* data, size_t n) {
    while (n > 0) {
        const ssize_t w = ::write(fd, data, n);
        if (w <= 0) return;
        data += w;
        n -= static_cast<size_t>(w);
    }
}

void appendToLogFile(const char* text, size_t n) {
    if (!gLogFile) return;
    std::fwrite(text, 1, n, gLogFile);
    std::fputc('\n', gLogFile);
    std::fflush(gLogFile);
}
}  // namespace

void logLine(const std::string& text) {
    // Strip trailing newlines; we add exactly one.
    const size_t n = trimmedLength(text);
    std::lock_guard<std::mutex> lock(gLogMutex);
    if (gRealStderr >= 0) {
        std::string line(text, 0, n);
        line += '\n';
        writeAll(gRealStderr, line.data(), line.size());
    } else {
        std::fwrite(text.data(), 1, n, stderr);
        std::fputc('\n', stderr);
    }
    appendToLogFile(text.data(), n);
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

std::mutex& LibraryOutputCapture::captureMutex() {
    static std::mutex m;
    return m;
}

LibraryOutputCapture::LibraryOutputCapture(const char* source) : oneAtATime_(captureMutex()), source_(source) {
    std::lock_guard<std::mutex> lock(gLogMutex);
    std::fflush(stderr);
    captureFd_ = ::memfd_create("library-output", MFD_CLOEXEC);
    savedStderr_ = captureFd_ >= 0 ? ::dup(STDERR_FILENO) : -1;
    if (savedStderr_ < 0 || ::dup2(captureFd_, STDERR_FILENO) < 0) {
        // Nothing is captured: the libraries keep their say.
        if (savedStderr_ >= 0) ::close(savedStderr_);
        if (captureFd_ >= 0) ::close(captureFd_);
        savedStderr_ = captureFd_ = -1;
        return;
    }
    gRealStderr = savedStderr_;
}

LibraryOutputCapture::~LibraryOutputCapture() {
    std::string captured;
    {
        std::lock_guard<std::mutex> lock(gLogMutex);
        if (savedStderr_ >= 0) {
            std::fflush(stderr);
            ::dup2(savedStderr_, STDERR_FILENO);
            ::close(savedStderr_);
            gRealStderr = -1;
            const off_t size = ::lseek(captureFd_, 0, SEEK_END);
            if (size > 0) {
                captured.resize(std::min(static_cast<size_t>(size), kMaxCapturedBytes));
                const ssize_t got = ::pread(captureFd_, &captured[0], captured.size(), 0);
                captured.resize(got > 0 ? static_cast<size_t>(got) : 0);
            }
            ::close(captureFd_);
        }
        size_t start = 0;
        while (gLogFile && start < captured.size()) {
            size_t end = captured.find('\n', start);
            if (end == std::string::npos) end = captured.size();
            std::string line = std::string(source_) + ": " + captured.substr(start, end - start);
            const size_t n = trimmedLength(line);
            if (end > start) appendToLogFile(line.data(), n);
            start = end + 1;
        }
    }
}

}  // namespace host
