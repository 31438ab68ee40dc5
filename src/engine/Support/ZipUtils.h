// Whole-file reading and inflation of zlib, gzip and CCZ data.
//
// Each function returns a byte count and hands the caller a buffer from
// the C allocator (free it with free()). On failure the output pointer is
// null and nothing needs freeing. Inflated data are capped at
// kCCMaxInflatedLength so a hostile file cannot exhaust memory.
#pragma once

#include <cstddef>
#include <string>

constexpr size_t kCCMaxInflatedLength = size_t(64) << 20;  // 64 MiB
// Files read whole are capped as well.
constexpr size_t kCCMaxFileLength = size_t(256) << 20;

// The whole file; its length, or -1.
int ccLoadFileIntoMemory(const char* path, unsigned char** out);
// ccInflateMemoryWithHint with a first guess of 256 KiB.
int ccInflateMemory(unsigned char* in, unsigned int inLength, unsigned char** out);
// A zlib or gzip stream in memory; the inflated length, or 0.
int ccInflateMemoryWithHint(unsigned char* in, unsigned int inLength, unsigned char** out, unsigned int outLengthHint);
// The same with a tighter cap: data inflating to more than maxLength bytes
// (at most kCCMaxInflatedLength) fail, after inflating at most one byte
// more than that. With `error` given, a failure's reason goes there
// instead of the log.
int ccInflateMemoryWithLimit(unsigned char* in, unsigned int inLength, unsigned char** out, unsigned int outLengthHint,
                             size_t maxLength, std::string* error = nullptr);
// A gzip file; the inflated length, or -1.
int ccInflateGZipFile(const char* path, unsigned char** out);
// A CCZ file (16-byte header, then a zlib stream); the uncompressed
// length, or -1.
int ccInflateCCZFile(const char* path, unsigned char** out);
