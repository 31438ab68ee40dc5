#include "engine/Support/ZipUtils.h"

#include <unistd.h>
#include <zlib.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "host/core/Log.h"
#include "host/core/SafeFileReader.h"

namespace {

constexpr unsigned kDefaultInflateHint = 256 * 1024;
constexpr unsigned kGZipFirstChunk = 512 * 1024;
constexpr size_t kCCZHeaderLength = 16;

// Frees `*buffer`, nulls the caller's pointer and returns `result`.
int failWith(unsigned char** out, unsigned char* buffer, int result) {
    std::free(buffer);
    *out = nullptr;
    return result;
}

uint32_t readBigEndian32(const unsigned char* p) {
    return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | uint32_t(p[3]);
}
uint16_t readBigEndian16(const unsigned char* p) { return uint16_t(p[0] << 8 | p[1]); }

}  // namespace

int ccLoadFileIntoMemory(const char* path, unsigned char** out) {
    *out = nullptr;
    host::SafeFileReader reader(path ? path : "", kCCMaxFileLength);
    const size_t length = size_t(reader.size());
    host::SafeFileReader::Stream f = reader.releaseAsStream();
    if (!f) {
        host::log("engine: %s", reader.error().c_str());
        return -1;
    }
    // One spare byte so an empty file still gets a buffer of its own.
    auto* buffer = static_cast<unsigned char*>(std::malloc(length + 1));
    if (!buffer) {
        host::log("engine: not enough memory to read %s", path);
        return -1;
    }
    if (std::fread(buffer, 1, length, f.get()) != length) {
        host::log("engine: short read from %s", path);
        return failWith(out, buffer, -1);
    }
    *out = buffer;
    return int(length);
}

int ccInflateMemory(unsigned char* in, unsigned int inLength, unsigned char** out) {
    return ccInflateMemoryWithHint(in, inLength, out, kDefaultInflateHint);
}

int ccInflateMemoryWithHint(unsigned char* in, unsigned int inLength, unsigned char** out,
                            unsigned int outLengthHint) {
    return ccInflateMemoryWithLimit(in, inLength, out, outLengthHint, kCCMaxInflatedLength);
}

int ccInflateMemoryWithLimit(unsigned char* in, unsigned int inLength, unsigned char** out,
                             unsigned int outLengthHint, size_t maxLength, std::string* error) {
    *out = nullptr;
    // The reason goes to the caller when it asks for it, else to the log.
    auto report = [error](const std::string& reason) {
        if (error)
            *error = reason;
        else
            host::log("engine: %s", reason.c_str());
    };
    if (maxLength > kCCMaxInflatedLength) maxLength = kCCMaxInflatedLength;
    // The buffer may reach one byte past the limit: a stream that fills
    // that byte too is longer than allowed.
    const size_t ceiling = maxLength + 1;
    size_t bufferSize = outLengthHint == 0 ? 1 : outLengthHint;
    if (bufferSize > ceiling) bufferSize = ceiling;
    auto* buffer = static_cast<unsigned char*>(std::malloc(bufferSize));
    if (!buffer) {
        report("not enough memory to inflate data");
        return 0;
    }

    z_stream stream;
    std::memset(&stream, 0, sizeof stream);
    stream.next_in = in;
    stream.avail_in = inLength;
    stream.next_out = buffer;
    stream.avail_out = unsigned(bufferSize);
    if (!in || inflateInit2(&stream, 15 + 32) != Z_OK) {  // 32: zlib or gzip header
        report("cannot start inflating");
        return failWith(out, buffer, 0);
    }
    for (;;) {
        const int err = inflate(&stream, Z_NO_FLUSH);
        if (err == Z_STREAM_END) break;
        if (err == Z_NEED_DICT || err == Z_DATA_ERROR || err == Z_MEM_ERROR || err == Z_STREAM_ERROR) {
            report(std::string("cannot inflate data: ") + (stream.msg ? stream.msg : "corrupt stream"));
            inflateEnd(&stream);
            return failWith(out, buffer, 0);
        }
        if (stream.avail_out != 0) {
            // Room left but no end: the input ran out mid-stream.
            report("cannot inflate data: the stream is truncated");
            inflateEnd(&stream);
            return failWith(out, buffer, 0);
        }
        // The output is full: double it, up to the ceiling.
        if (bufferSize >= ceiling) {
            report("inflated data would exceed " + std::to_string(maxLength) + " bytes");
            inflateEnd(&stream);
            return failWith(out, buffer, 0);
        }
        const size_t grownSize = bufferSize * 2 < ceiling ? bufferSize * 2 : ceiling;
        auto* grown = static_cast<unsigned char*>(std::realloc(buffer, grownSize));
        if (!grown) {
            report("not enough memory to inflate data");
            inflateEnd(&stream);
            return failWith(out, buffer, 0);
        }
        buffer = grown;
        stream.next_out = buffer + bufferSize;
        stream.avail_out = unsigned(grownSize - bufferSize);
        bufferSize = grownSize;
    }
    const size_t length = bufferSize - stream.avail_out;
    inflateEnd(&stream);
    *out = buffer;
    return int(length);
}

int ccInflateGZipFile(const char* path, unsigned char** out) {
    *out = nullptr;
    host::SafeFileReader reader(path ? path : "", kCCMaxFileLength);
    const int fd = reader.releaseDescriptor();
    if (fd < 0) {
        host::log("engine: %s", reader.error().c_str());
        return -1;
    }
    gzFile file = gzdopen(fd, "rb");
    if (!file) {
        ::close(fd);
        host::log("engine: cannot open gzip file %s", path);
        return -1;
    }
    size_t chunk = kGZipFirstChunk, bufferSize = kGZipFirstChunk, offset = 0;
    auto* buffer = static_cast<unsigned char*>(std::malloc(bufferSize));
    if (!buffer) {
        gzclose(file);
        return -1;
    }
    const char* problem = nullptr;
    for (;;) {
        const int n = gzread(file, buffer + offset, unsigned(chunk));
        if (n < 0) {
            problem = "corrupt data";
            break;
        }
        if (offset == 0 && gzdirect(file)) {
            problem = "not a gzip file";
            break;
        }
        if (n == 0) break;
        offset += size_t(n);
        if (size_t(n) < chunk) break;
        // A full read: double the chunk and grow the buffer by it.
        chunk *= 2;
        if (bufferSize + chunk > kCCMaxInflatedLength) {
            problem = "inflated data too large";
            break;
        }
        auto* grown = static_cast<unsigned char*>(std::realloc(buffer, bufferSize + chunk));
        if (!grown) {
            problem = "out of memory";
            break;
        }
        buffer = grown;
        bufferSize += chunk;
    }
    // A truncated stream reads short without an error of its own.
    int err = Z_OK;
    gzerror(file, &err);
    if (!problem && err != Z_OK && err != Z_STREAM_END) problem = "truncated or corrupt data";
    gzclose(file);
    if (problem) {
        host::log("engine: cannot inflate gzip file %s: %s", path, problem);
        return failWith(out, buffer, -1);
    }
    *out = buffer;
    return int(offset);
}

int ccInflateCCZFile(const char* path, unsigned char** out) {
    *out = nullptr;
    unsigned char* compressed = nullptr;
    const int fileLength = ccLoadFileIntoMemory(path, &compressed);
    if (fileLength < 0) return -1;

    const char* problem = nullptr;
    uint32_t length = 0;
    if (size_t(fileLength) < kCCZHeaderLength || std::memcmp(compressed, "CCZ!", 4) != 0)
        problem = "not a CCZ file";
    else if (readBigEndian16(compressed + 4) != 0)
        problem = "unsupported compression type";
    else if (readBigEndian16(compressed + 6) > 2)
        problem = "unsupported version";
    else if ((length = readBigEndian32(compressed + 12)) == 0 || length > kCCMaxInflatedLength)
        problem = "uncompressed length out of range";
    if (problem) {
        host::log("engine: cannot read CCZ file %s: %s", path, problem);
        std::free(compressed);
        return -1;
    }
    auto* buffer = static_cast<unsigned char*>(std::malloc(length));
    if (!buffer) {
        std::free(compressed);
        host::log("engine: not enough memory for CCZ file %s", path);
        return -1;
    }
    uLongf destLength = length;
    const int err = uncompress(buffer, &destLength, compressed + kCCZHeaderLength, uLong(fileLength) - kCCZHeaderLength);
    std::free(compressed);
    // The header's length must be the truth, or the tail would be garbage.
    if (err != Z_OK || destLength != length) {
        host::log("engine: cannot inflate CCZ file %s: %s", path,
                  err != Z_OK ? "corrupt or longer than its header says" : "shorter than its header says");
        return failWith(out, buffer, -1);
    }
    *out = buffer;
    return int(length);
}
