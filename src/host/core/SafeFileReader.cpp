#include "host/core/SafeFileReader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <exception>

namespace host {

namespace {

constexpr size_t kReadChunk = 64 * 1024;

const char* kindOf(mode_t mode) {
    if (S_ISDIR(mode)) return "a directory";
    if (S_ISFIFO(mode)) return "a FIFO";
    if (S_ISCHR(mode)) return "a character device";
    if (S_ISBLK(mode)) return "a block device";
    if (S_ISSOCK(mode)) return "a socket";
    return "not a plain file";
}

}  // namespace

void SafeFileReader::StreamCloser::operator()(FILE* f) const {
    if (f) std::fclose(f);
}

SafeFileReader::SafeFileReader(const std::string& path, size_t maxBytes) : path_(path), maxBytes_(maxBytes) {
    if (path.empty()) {
        missing_ = true;
        fail("no file name given", "no file name given");
        return;
    }
    // Non-blocking only for the open itself: a FIFO without a writer would
    // otherwise wait for one for ever.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        const int err = errno;
        missing_ = err == ENOENT || err == ENOTDIR;
        fail("cannot open " + path + ": " + std::strerror(err), std::string("cannot open: ") + std::strerror(err));
        return;
    }
    struct stat st;
    if (::fstat(fd, &st) != 0) {
        const int err = errno;
        ::close(fd);
        failReading(err);
        return;
    }
    if (!S_ISREG(st.st_mode)) {
        ::close(fd);
        const std::string kind = std::string(kindOf(st.st_mode)) + ", not a regular file";
        fail(path + " is " + kind, kind);
        return;
    }
    if (static_cast<uint64_t>(st.st_size) > maxBytes) {
        ::close(fd);
        const std::string size =
            "larger than " + describeSize(maxBytes) + " (" + std::to_string(st.st_size) + " bytes)";
        fail(path + " is " + size, size);
        return;
    }
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags >= 0) ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    fd_ = fd;
    size_ = static_cast<uint64_t>(st.st_size);
}

SafeFileReader::~SafeFileReader() {
    if (fd_ >= 0) ::close(fd_);
}

bool SafeFileReader::fail(const std::string& error, const std::string& reason) {
    error_ = error;
    reason_ = reason;
    return false;
}

bool SafeFileReader::failReading(int err) {
    return fail("cannot read " + path_ + ": " + std::strerror(err), std::string("cannot read: ") + std::strerror(err));
}

template <class Bytes>
bool SafeFileReader::readInto(Bytes& out) {
    out.clear();
    if (fd_ < 0) return error_.empty() ? failReading(EBADF) : false;
    try {
        // One byte past the cap tells a file that grew meanwhile from one
        // that ended at it.
        const size_t limit = maxBytes_ == SIZE_MAX ? maxBytes_ : maxBytes_ + 1;
        size_t filled = 0;
        out.resize(std::min<uint64_t>(size_ + 1, limit));
        for (;;) {
            if (filled == out.size()) {
                if (out.size() >= limit) break;
                out.resize(std::min(limit, out.size() + std::max(kReadChunk, out.size() / 2)));
            }
            const ssize_t n = ::read(fd_, reinterpret_cast<char*>(&out[0]) + filled, out.size() - filled);
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) {
                const int err = errno;
                out.clear();
                return failReading(err);
            }
            if (n == 0) break;
            filled += static_cast<size_t>(n);
        }
        if (filled > maxBytes_) {
            out.clear();
            const std::string grew = "grew past " + describeSize(maxBytes_) + " while it was read";
            return fail(path_ + " " + grew, grew);
        }
        out.resize(filled);
    } catch (const std::exception&) {
        out.clear();
        Bytes().swap(out);
        return fail("not enough memory to read " + path_, "not enough memory to read it");
    }
    error_.clear();
    reason_.clear();
    return true;
}

bool SafeFileReader::readAll(std::vector<uint8_t>& out) { return readInto(out); }
bool SafeFileReader::readAll(std::string& out) { return readInto(out); }

int SafeFileReader::releaseDescriptor() {
    const int fd = fd_;
    fd_ = -1;
    return fd;
}

SafeFileReader::Stream SafeFileReader::releaseAsStream() {
    if (fd_ < 0) return nullptr;
    FILE* f = ::fdopen(fd_, "rb");
    if (!f) {
        failReading(errno);
        return nullptr;
    }
    fd_ = -1;
    return Stream(f);
}

template <class Bytes>
bool SafeFileReader::readWhole(const std::string& path, size_t maxBytes, Bytes& out, std::string* error) {
    SafeFileReader reader(path, maxBytes);
    const bool ok = reader.readAll(out);
    if (error) *error = reader.error();
    return ok;
}

bool SafeFileReader::readFile(const std::string& path, size_t maxBytes, std::string& out, std::string* error) {
    return readWhole(path, maxBytes, out, error);
}

bool SafeFileReader::readFile(const std::string& path, size_t maxBytes, std::vector<uint8_t>& out,
                              std::string* error) {
    return readWhole(path, maxBytes, out, error);
}

std::string SafeFileReader::describeSize(uint64_t bytes) {
    constexpr uint64_t kKiB = 1024, kMiB = kKiB * 1024, kGiB = kMiB * 1024;
    if (bytes >= kGiB && bytes % kGiB == 0) return std::to_string(bytes / kGiB) + " GiB";
    if (bytes >= kMiB && bytes % kMiB == 0) return std::to_string(bytes / kMiB) + " MiB";
    if (bytes >= kKiB && bytes % kKiB == 0) return std::to_string(bytes / kKiB) + " KiB";
    return std::to_string(bytes) + " bytes";
}

}  // namespace host
