// Reading a file that comes from outside the program (a resource, the user
// defaults, a font, a cached download) without letting it hang, crash or
// flood the process.
//
// The path is opened without blocking, so a FIFO with no writer cannot
// stall the caller, and is kept only when it is a regular file: a
// directory, a FIFO, a socket or a device (/dev/zero reads for ever) is
// refused. Each caller says how many bytes it is prepared to take; larger
// files are refused before anything is read, and a file that grows while
// it is read stops at that cap. Nothing here throws or logs: a failure
// leaves one line in error(), naming the path, for the caller's own log
// line.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace host {

class SafeFileReader {
public:
    SafeFileReader(const std::string& path, size_t maxBytes);
    ~SafeFileReader();
    SafeFileReader(const SafeFileReader&) = delete;
    SafeFileReader& operator=(const SafeFileReader&) = delete;

    bool isOpen() const { return fd_ >= 0; }
    // The path does not exist (or a folder on the way is not one): the
    // ordinary "no such file yet", as opposed to a file that is there but
    // unusable.
    bool isMissing() const { return missing_; }
    // Why the file is not open, or why the last read failed; empty while
    // all is well.
    const std::string& error() const { return error_; }
    // The same without the path, for a log line that names it already
    // ("<path>: a FIFO, not a regular file").
    const std::string& reason() const { return reason_; }
    const std::string& path() const { return path_; }
    // The file's size when it was opened.
    uint64_t size() const { return size_; }
    // The open descriptor, still the reader's to close; -1 when not open.
    int descriptor() const { return fd_; }

    // The whole file, at most the cap. False (error() says why) on a read
    // error, when the file grew past the cap, or when memory runs out.
    bool readAll(std::vector<uint8_t>& out);
    bool readAll(std::string& out);

    // Hands the open descriptor, in blocking mode, to code that reads it
    // itself (a decoding library); the reader no longer closes it. -1 when
    // not open.
    int releaseDescriptor();
    // The same as a stdio stream ("rb"), which then owns the descriptor;
    // null (error() says why) when not open or the stream cannot be made.
    struct StreamCloser {
        void operator()(FILE* f) const;
    };
    using Stream = std::unique_ptr<FILE, StreamCloser>;
    Stream releaseAsStream();

    // Reads the whole of `path` into `out`; false with the reason in
    // *error otherwise.
    static bool readFile(const std::string& path, size_t maxBytes, std::string& out, std::string* error);
    static bool readFile(const std::string& path, size_t maxBytes, std::vector<uint8_t>& out, std::string* error);

    // "64 MiB", "12 KiB" or "100 bytes": a cap as people read it.
    static std::string describeSize(uint64_t bytes);

private:
    template <class Bytes> bool readInto(Bytes& out);
    template <class Bytes>
    static bool readWhole(const std::string& path, size_t maxBytes, Bytes& out, std::string* error);
    bool fail(const std::string& error, const std::string& reason);
    bool failReading(int err);

    std::string path_;
    size_t maxBytes_;
    int fd_ = -1;
    uint64_t size_ = 0;
    bool missing_ = false;
    std::string error_;
    std::string reason_;
};

}  // namespace host
