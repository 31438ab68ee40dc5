// Whole-file reads and zlib, gzip and CCZ inflation, including lying
// headers, truncation and decompression bombs.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

#include "Deflate.h"
#include "LogCapture.h"
#include "OddFiles.h"
#include "ScratchDirectory.h"
#include "engine/Support/TGAlib.h"
#include "engine/Support/ZipUtils.h"
#include "engine/Support/base64.h"

namespace {

using Buffer = std::unique_ptr<unsigned char, decltype(&std::free)>;
Buffer adopt(unsigned char* p) { return Buffer(p, &std::free); }

std::string patterned(size_t n) {
    std::string s(n, '\0');
    for (size_t i = 0; i < n; ++i) s[i] = char((i * 7 + i / 251) & 0xFF);
    return s;
}

std::string bigEndian32(uint32_t v) {
    return std::string{char(v >> 24), char(v >> 16), char(v >> 8), char(v)};
}

std::string cczFile(const std::string& payload, uint16_t type, uint16_t version, uint32_t length) {
    std::string header = "CCZ!";
    header += char(type >> 8);
    header += char(type);
    header += char(version >> 8);
    header += char(version);
    header += bigEndian32(0);
    header += bigEndian32(length);
    return header + compress(payload);
}

std::string asString(const unsigned char* p, int n) { return std::string(reinterpret_cast<const char*>(p), size_t(n)); }

}  // namespace

TEST(ZipUtils, LoadFileIntoMemoryReadsWholeFilesOrFails) {
    ScratchDirectory dir;
    unsigned char* out = reinterpret_cast<unsigned char*>(1);
    const std::string data = patterned(1000);
    ASSERT_EQ(ccLoadFileIntoMemory(dir.write("f.bin", data).c_str(), &out), 1000);
    Buffer b = adopt(out);
    EXPECT_EQ(asString(out, 1000), data);

    LogCapture log;
    EXPECT_EQ(ccLoadFileIntoMemory(dir.file("missing").c_str(), &out), -1);
    EXPECT_EQ(out, nullptr);
    EXPECT_EQ(ccLoadFileIntoMemory(dir.path().c_str(), &out), -1);  // a directory
    EXPECT_EQ(out, nullptr);
    EXPECT_EQ(log.lines().size(), 2u);
}

TEST(ZipUtils, FileReadersRefuseWhatIsNotARegularFileAtOnce) {
    ScratchDirectory dir;
    for (OddFile kind : kOddFiles) {
        const std::string path = dir.file("odd");
        ASSERT_TRUE(placeOddFile(kind, path)) << describe(kind);
        using Reader = int (*)(const char*, unsigned char**);
        for (Reader read : {Reader(ccLoadFileIntoMemory), Reader(ccInflateGZipFile), Reader(ccInflateCCZFile)}) {
            LogCapture log;
            unsigned char* out = reinterpret_cast<unsigned char*>(1);
            EXPECT_EQ(withinASecond([&] { return read(path.c_str(), &out); }, path), -1) << describe(kind);
            EXPECT_EQ(out, nullptr);
            EXPECT_TRUE(log.exactlyOneLine()) << describe(kind);
        }
        LogCapture log;
        tImageTGA* tga = withinASecond([&] { return tgaLoad(path.c_str()); }, path);
        ASSERT_NE(tga, nullptr);
        EXPECT_EQ(tga->status, TGA_ERROR_FILE_OPEN) << describe(kind);
        tgaDestroy(tga);
        EXPECT_TRUE(log.exactlyOneLine()) << describe(kind);
    }
}

TEST(ZipUtils, InflateMemoryGrowsPastTheHintAndReturnsTheExactLength) {
    // More than 256 KiB: the buffer doubles to 512 KiB and then 1 MiB.
    const std::string data = patterned(700 * 1024 + 13);
    for (int windowBits : {15, 31}) {  // zlib and gzip headers
        std::string packed = compress(data, windowBits);
        unsigned char* out = nullptr;
        const int n = ccInflateMemory(reinterpret_cast<unsigned char*>(&packed[0]), unsigned(packed.size()), &out);
        Buffer b = adopt(out);
        ASSERT_EQ(n, int(data.size())) << windowBits;
        EXPECT_EQ(asString(out, n), data);
    }
    // A zero hint still works.
    std::string small = compress("hello");
    unsigned char* out = nullptr;
    EXPECT_EQ(ccInflateMemoryWithHint(reinterpret_cast<unsigned char*>(&small[0]), unsigned(small.size()), &out, 0), 5);
    Buffer b = adopt(out);
}

TEST(ZipUtils, InflateMemoryRefusesDamagedStreamsAndBombs) {
    ScratchDirectory dir;
    std::string packed = compress(patterned(100000));
    std::string corrupt = packed;
    corrupt[packed.size() / 2] ^= 0x55;
    corrupt[packed.size() / 2 + 1] ^= 0x55;
    // 80 MiB of zeros squeeze into some 80 KiB.
    std::string bomb = compress(std::string(80u << 20, '\0'), 15, 1);
    const std::vector<std::pair<const char*, std::string>> cases = {
        {"truncated", packed.substr(0, packed.size() / 2)},
        {"corrupt", corrupt},
        {"not compressed", std::string("plain text, not a stream")},
        {"bomb", bomb},
    };
    for (auto c : cases) {
        LogCapture log;
        unsigned char* out = reinterpret_cast<unsigned char*>(1);
        EXPECT_EQ(ccInflateMemory(reinterpret_cast<unsigned char*>(&c.second[0]), unsigned(c.second.size()), &out), 0)
            << c.first;
        EXPECT_EQ(out, nullptr) << c.first;
        EXPECT_EQ(log.lines().size(), 1u) << c.first << ":\n" << log.joined();
    }
}

TEST(ZipUtils, GZipFilesInflateWhileDamagedOnesFail) {
    ScratchDirectory dir;
    const std::string data = patterned(1300 * 1024);  // needs two buffer growths
    const std::string packed = compress(data, 31);
    unsigned char* out = nullptr;
    const int n = ccInflateGZipFile(dir.write("ok.gz", packed).c_str(), &out);
    Buffer b = adopt(out);
    ASSERT_EQ(n, int(data.size()));
    EXPECT_EQ(asString(out, n), data);

    const std::vector<std::pair<const char*, std::string>> cases = {
        {"truncated", packed.substr(0, packed.size() / 3)},
        {"plain file", std::string("not gzip at all")},
        {"empty file", std::string()},
        {"zlib, not gzip", compress(data)},
        {"bomb", compress(std::string(80u << 20, '\0'), 31, 1)},
    };
    for (const auto& c : cases) {
        LogCapture log;
        out = reinterpret_cast<unsigned char*>(1);
        EXPECT_EQ(ccInflateGZipFile(dir.write("bad.gz", c.second).c_str(), &out), -1) << c.first;
        EXPECT_EQ(out, nullptr) << c.first;
        EXPECT_EQ(log.lines().size(), 1u) << c.first << ":\n" << log.joined();
    }
    EXPECT_EQ(ccInflateGZipFile(dir.file("missing.gz").c_str(), &out), -1);
}

TEST(ZipUtils, CCZFilesCheckTheirHeaderAndTheirLength) {
    ScratchDirectory dir;
    const std::string data = patterned(5000);
    unsigned char* out = nullptr;
    for (uint16_t version : {0, 1, 2}) {
        const int n = ccInflateCCZFile(dir.write("ok.ccz", cczFile(data, 0, version, 5000)).c_str(), &out);
        Buffer b = adopt(out);
        ASSERT_EQ(n, 5000) << version;
        EXPECT_EQ(asString(out, n), data);
    }

    const std::string good = cczFile(data, 0, 2, 5000);
    const std::vector<std::pair<const char*, std::string>> cases = {
        {"version 3", cczFile(data, 0, 3, 5000)},
        {"compression type 1", cczFile(data, 1, 2, 5000)},
        {"bad signature", "CCY!" + good.substr(4)},
        {"shorter than the header", good.substr(0, 10)},
        {"length says more", cczFile(data, 0, 2, 6000)},
        {"length says less", cczFile(data, 0, 2, 4000)},
        {"length zero", cczFile(data, 0, 2, 0)},
        {"length beyond the cap", cczFile(data, 0, 2, 0xFFFFFFF0u)},
        {"truncated stream", good.substr(0, good.size() - 40)},
    };
    for (const auto& c : cases) {
        LogCapture log;
        out = reinterpret_cast<unsigned char*>(1);
        EXPECT_EQ(ccInflateCCZFile(dir.write("bad.ccz", c.second).c_str(), &out), -1) << c.first;
        EXPECT_EQ(out, nullptr) << c.first;
        EXPECT_EQ(log.lines().size(), 1u) << c.first << ":\n" << log.joined();
    }
    EXPECT_EQ(ccInflateCCZFile(dir.file("missing.ccz").c_str(), &out), -1);
    EXPECT_EQ(out, nullptr);
}

TEST(Base64, DecodesSkippingForeignCharactersAndStopsAtPadding) {
    EXPECT_EQ(base64Decode("aGVsbG8="), (std::vector<uint8_t>{'h', 'e', 'l', 'l', 'o'}));
    EXPECT_EQ(base64Decode("aGVs\nbG8\r\n gd29y bGQ="), base64Decode("aGVsbG8gd29ybGQ="));
    EXPECT_EQ(base64Decode("aGk=IGlnbm9yZWQ"), (std::vector<uint8_t>{'h', 'i'}));
    EXPECT_EQ(base64Decode("TWFu"), (std::vector<uint8_t>{'M', 'a', 'n'}));
    EXPECT_TRUE(base64Decode("").empty());
    EXPECT_TRUE(base64Decode("!!!").empty());

    const std::string text = "AAEC/w==";
    unsigned char* out = nullptr;
    const int n = base64Decode(reinterpret_cast<const unsigned char*>(text.data()), unsigned(text.size()), &out);
    Buffer b = adopt(out);
    ASSERT_EQ(n, 4);
    EXPECT_EQ(out[3], 0xFF);
}

TEST(ZipUtils, Base64OfCompressedImageDataRoundTrips) {
    // What particle files carry: Base64 text of gzip data.
    const std::string data = patterned(3000);
    const std::string packed = compress(data, 31);
    static const char alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string text;
    for (size_t i = 0; i < packed.size(); i += 3) {
        uint32_t v = uint32_t(uint8_t(packed[i])) << 16;
        if (i + 1 < packed.size()) v |= uint32_t(uint8_t(packed[i + 1])) << 8;
        if (i + 2 < packed.size()) v |= uint8_t(packed[i + 2]);
        text += alphabet[v >> 18];
        text += alphabet[(v >> 12) & 63];
        text += i + 1 < packed.size() ? alphabet[(v >> 6) & 63] : '=';
        text += i + 2 < packed.size() ? alphabet[v & 63] : '=';
        if (i % 57 == 54) text += "\n";
    }
    std::vector<uint8_t> decoded = base64Decode(text);
    unsigned char* out = nullptr;
    const int n = ccInflateMemory(decoded.data(), unsigned(decoded.size()), &out);
    Buffer b = adopt(out);
    ASSERT_EQ(n, int(data.size()));
    EXPECT_EQ(asString(out, n), data);
}
