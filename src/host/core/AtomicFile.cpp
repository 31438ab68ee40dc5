#include "host/core/AtomicFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "host/core/Path.h"

namespace host {

namespace {

bool fail(std::string* error, const char* what, const std::string& path, int err) {
    if (error) *error = std::string(what) + " " + path + " (" + std::strerror(err) + ")";
    return false;
}

// Writes everything, retrying short writes and interruptions.
bool writeAll(int fd, const unsigned char* bytes, size_t length) {
    while (length > 0) {
        const ssize_t n = ::write(fd, bytes, length);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        bytes += n;
        length -= size_t(n);
    }
    return true;
}

}  // namespace

bool writeFileAtomically(const std::string& path, const void* bytes, size_t length, std::string* error) {
    const std::string tmp = path + ".tmp." + std::to_string(::getpid());
    const int fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) return fail(error, "cannot write", tmp, errno);
    bool ok = writeAll(fd, static_cast<const unsigned char*>(bytes), length) && ::fsync(fd) == 0;
    int err = errno;
    if (::close(fd) != 0 && ok) {
        ok = false;
        err = errno;
    }
    if (!ok) {
        ::unlink(tmp.c_str());
        return fail(error, "cannot write", tmp, err);
    }
    if (std::rename(tmp.c_str(), path.c_str()) != 0) {
        err = errno;
        ::unlink(tmp.c_str());
        return fail(error, "cannot replace", path, err);
    }
    // Make the rename itself durable.
    const std::string folder = path::deletingLastComponent(path);
    const int dfd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dfd >= 0) {
        ::fsync(dfd);
        ::close(dfd);
    }
    return true;
}

}  // namespace host
