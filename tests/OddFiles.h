// Things that are not regular files, put where a program expects one: a
// directory, a FIFO that nobody writes to (opening it for reading the
// ordinary way waits for ever) and a link to /dev/zero (reading it never
// ends). Readers of outside files must refuse each of them at once.
#pragma once

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <future>
#include <string>
#include <utility>

enum class OddFile { Directory, Fifo, EndlessDevice };
inline constexpr OddFile kOddFiles[] = {OddFile::Directory, OddFile::Fifo, OddFile::EndlessDevice};

inline const char* describe(OddFile kind) {
    switch (kind) {
        case OddFile::Directory: return "a directory";
        case OddFile::Fifo: return "a FIFO";
        case OddFile::EndlessDevice: return "a link to /dev/zero";
    }
    return "?";
}

// Puts `kind` at `path`, replacing whatever was there; false when it cannot.
inline bool placeOddFile(OddFile kind, const std::string& path) {
    std::error_code ec;
    std::filesystem::remove_all(path, ec);
    switch (kind) {
        case OddFile::Directory: return std::filesystem::create_directory(path, ec);
        case OddFile::Fifo: return ::mkfifo(path.c_str(), 0600) == 0;
        case OddFile::EndlessDevice: return ::symlink("/dev/zero", path.c_str()) == 0;
    }
    return false;
}

// Runs `read` and fails the test unless it returns within a second. If it
// hangs on a FIFO at `path`, a writer comes and goes there so the reader
// sees the end of the file and the test can carry on.
template <class Read>
auto withinASecond(Read read, const std::string& path) -> decltype(read()) {
    auto result = std::async(std::launch::async, std::move(read));
    if (result.wait_for(std::chrono::seconds(1)) != std::future_status::ready) {
        ADD_FAILURE() << "reading " << path << " took more than a second";
        const int fd = ::open(path.c_str(), O_WRONLY | O_NONBLOCK);
        if (fd >= 0) ::close(fd);
    }
    return result.get();
}
