// Files from outside the program opened safely: regular files only, up to
// each reader's cap, refused at once (with one log line from the reader
// that wanted them) when a directory, a FIFO or a device takes their place.
#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "LogCapture.h"
#include "OddFiles.h"
#include "ScratchDirectory.h"
#include "host/core/SafeFileReader.h"
#include "host/data/PlistValue.h"
#include "host/graphics/Image.h"
#include "host/text/FontFace.h"

using host::SafeFileReader;

TEST(SafeFileReaderTest, ReadsRegularFilesUpToTheirCap) {
    ScratchDirectory dir;
    const std::string path = dir.write("ten.bin", "0123456789");

    std::string bytes, error;
    EXPECT_TRUE(SafeFileReader::readFile(path, 10, bytes, &error)) << error;
    EXPECT_EQ(bytes, "0123456789");
    EXPECT_TRUE(error.empty());

    EXPECT_FALSE(SafeFileReader::readFile(path, 9, bytes, &error));
    EXPECT_TRUE(bytes.empty());
    EXPECT_EQ(error, path + " is larger than 9 bytes (10 bytes)");

    SafeFileReader empty(dir.write("empty", ""), 0);
    std::vector<uint8_t> none{1};
    EXPECT_TRUE(empty.readAll(none));
    EXPECT_TRUE(none.empty());

    SafeFileReader missing(dir.file("absent"), 100);
    EXPECT_FALSE(missing.isOpen());
    EXPECT_TRUE(missing.isMissing());
    EXPECT_NE(missing.error().find("No such file"), std::string::npos) << missing.error();

    // Handed over as a stream, the file is the stream's to read and close.
    SafeFileReader reader(path, 100);
    SafeFileReader::Stream stream = reader.releaseAsStream();
    ASSERT_TRUE(stream);
    char head[4] = {};
    EXPECT_EQ(std::fread(head, 1, 3, stream.get()), 3u);
    EXPECT_STREQ(head, "012");
    EXPECT_EQ(reader.descriptor(), -1);
}

TEST(SafeFileReaderTest, RefusesWhatIsNotARegularFileAtOnce) {
    ScratchDirectory dir;
    const char* expected[] = {"is a directory, not a regular file", "is a FIFO, not a regular file",
                              "is a character device, not a regular file"};
    for (OddFile kind : kOddFiles) {
        const std::string path = dir.file("odd");
        ASSERT_TRUE(placeOddFile(kind, path)) << describe(kind);
        const std::string error = withinASecond(
            [&] {
                SafeFileReader reader(path, size_t(1) << 30);
                std::string bytes;
                EXPECT_FALSE(reader.readAll(bytes));
                EXPECT_FALSE(reader.isOpen());
                EXPECT_FALSE(reader.isMissing());
                return reader.error();
            },
            path);
        EXPECT_EQ(error, path + " " + expected[static_cast<int>(kind)]) << describe(kind);
    }
}

TEST(OutsideFilesTest, ImagesPropertyListsAndFontsRefuseOddFilesWithOneLogLine) {
    ScratchDirectory dir;
    for (OddFile kind : kOddFiles) {
        const std::string path = dir.file("resource");
        ASSERT_TRUE(placeOddFile(kind, path)) << describe(kind);
        struct Reader {
            const char* prefix;
            std::function<bool()> fails;
        };
        const Reader readers[] = {
            {"image: ", [&] { return host::Image::imageWithContentsOfFile(path) == nullptr; }},
            {"plist: ", [&] { return host::PlistValue::fromFile(path).isNone(); }},
            {"fonts: ", [&] {
                 host::FontFileInfo info;
                 return !host::FontFaceCache::shared().describe(path, &info);
             }},
        };
        for (const Reader& reader : readers) {
            LogCapture log;
            EXPECT_TRUE(withinASecond(reader.fails, path)) << reader.prefix << describe(kind);
            ASSERT_TRUE(log.exactlyOneLine()) << reader.prefix << describe(kind);
            const std::string line = log.lines()[0];
            EXPECT_EQ(line.rfind(reader.prefix, 0), 0u) << line;
            EXPECT_NE(line.find(path + " is a"), std::string::npos) << line;
        }
    }
}
