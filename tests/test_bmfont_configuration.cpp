// Bitmap-font descriptions: files in the styles of the common generator
// tools read to the same definitions; broken or hostile files give no
// configuration and exactly one log line; the cache parses a file once
// and the director empties it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "BMFontTestFiles.h"
#include "ImageFileWriters.h"
#include "LogCapture.h"
#include "ScratchDirectory.h"
#include "engine/CCBMFontConfiguration.h"
#include "engine/CCDirector.h"
#include "engine/CCLabelBMFont.h"
#include "host/core/Object.h"

namespace {

using bmfonttest::plainDescription;

std::string withCRLF(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '\n') out += '\r';
        out += c;
    }
    return out;
}

// What a widely used Windows generator writes: CRLF, every field it knows
// (outline, the channel layout), and counts that include glyphs it later
// dropped.
const char kWindowsStyle[] =
    "info face=\"Test Face\" size=-20 bold=0 italic=0 charset=\"\" unicode=1 stretchH=100 smooth=1 aa=4 "
    "padding=0,0,0,0 spacing=1,1 outline=0\r\n"
    "common lineHeight=24 base=19 scaleW=64 scaleH=32 pages=1 packed=0 alphaChnl=1 redChnl=0 greenChnl=0 "
    "blueChnl=0\r\n"
    "page id=0 file=\"test sheet.png\"\r\n"
    "chars count=97\r\n"
    "char id=32   x=0     y=0     width=0     height=0     xoffset=0     yoffset=0     xadvance=5     page=0  chnl=15\r\n"
    "char id=65   x=0     y=0     width=12    height=16    xoffset=1     yoffset=4     xadvance=13    page=0  chnl=15\r\n"
    "char id=86   x=16    y=0     width=10    height=16    xoffset=0     yoffset=4     xadvance=11    page=0  chnl=15\r\n"
    "char id=106  x=32    y=0     width=6     height=20    xoffset=-1    yoffset=8     xadvance=5     page=0  chnl=15\r\n"
    "kernings count=40\r\n"
    "kerning first=65  second=86  amount=-3  \r\n"
    "kerning first=86  second=65  amount=-2  \r\n";

// Java and web generators: a letter field (quoted, with "=" and a space
// among the letters), fields in their own order, tabs, no counts at all,
// the page's file first.
const char kLetterStyle[] =
    "info face=\"Test Face\" size=20 bold=0 italic=0 charset=\"\" unicode=0 stretchH=100 smooth=1 aa=1 "
    "padding=0,0,0,0 spacing=1,1\n"
    "common base=19\tlineHeight=24 scaleW=64 scaleH=32 pages=1 packed=0\n"
    "page file=\"test sheet.png\" id=0\n"
    "char\tletter=\" \" id=32 x=0 y=0 width=0 height=0 xoffset=0 yoffset=0 xadvance=5 page=0 chnl=0\n"
    "char id=65 letter=\"A\" xadvance=13 x=0 y=0 width=12 height=16 xoffset=1 yoffset=4 page=0 chnl=0\n"
    "char letter=\"=\" id=61 x=0 y=0 width=0 height=0 xoffset=0 yoffset=0 xadvance=7\n"
    "char id=86 x=16 y=0 width=10 height=16 yoffset=4 xoffset=0 xadvance=11 letter=\"V\"\n"
    "char letter=\"\"\" id=34 x=0 y=0 width=0 height=0 xoffset=0 yoffset=0 xadvance=4\n"
    "char id=106 x=32 y=0 width=6 height=20 xoffset=-1 yoffset=8 xadvance=5 letter=\"j\"\n"
    "kerning amount=-3 second=86 first=65\n"
    "  kerning first=86 second=65 amount=-2\n";

class BMFontConfigurationTest : public ::testing::Test {
protected:
    void TearDown() override {
        FNTConfigRemoveCache();
        pool_.drain();
    }
    CCBMFontConfiguration* parse(const std::string& text) {
        return CCBMFontConfiguration::configurationWithContents(text, dir_.file("fonts/test.fnt"));
    }
    // Parses text that must fail; returns the log lines it wrote.
    std::vector<std::string> rejected(const std::string& text) {
        LogCapture log;
        EXPECT_EQ(parse(text), nullptr) << text;
        return log.lines();
    }

    host::AutoreleasePool pool_;
    ScratchDirectory dir_;
};

void expectTestFont(const CCBMFontConfiguration* font, const std::string& imagePath) {
    ASSERT_NE(font, nullptr);
    EXPECT_EQ(font->commonHeight(), 24u);
    EXPECT_EQ(font->atlasName(), imagePath);
    const _BMFontDef& a = font->definitionFor('A');
    EXPECT_EQ(a.charID, 65u);
    EXPECT_EQ(a.rect.origin.x, 0);
    EXPECT_EQ(a.rect.size.width, 12);
    EXPECT_EQ(a.rect.size.height, 16);
    EXPECT_EQ(a.xOffset, 1);
    EXPECT_EQ(a.yOffset, 4);
    EXPECT_EQ(a.xAdvance, 13);
    const _BMFontDef& j = font->definitionFor('j');
    EXPECT_EQ(j.rect.origin.x, 32);
    EXPECT_EQ(j.rect.size.height, 20);
    EXPECT_EQ(j.xOffset, -1);
    EXPECT_EQ(j.yOffset, 8);
    EXPECT_EQ(font->definitionFor('V').rect.origin.x, 16);
    EXPECT_EQ(font->definitionFor(' ').xAdvance, 5);
    EXPECT_TRUE(font->definesCharacter('A'));
    EXPECT_FALSE(font->definesCharacter('B'));
    EXPECT_EQ(font->definitionFor('B').xAdvance, 0);
    EXPECT_EQ(font->definitionFor(0x20AC).xAdvance, 0);  // beyond the table
    EXPECT_EQ(font->kerningAmount('A', 'V'), -3);
    EXPECT_EQ(font->kerningAmount('V', 'A'), -2);
    EXPECT_EQ(font->kerningAmount('A', 'A'), 0);
    EXPECT_EQ(font->kerningCount(), 2u);
    EXPECT_EQ(font->glyphExtent().width, 38);
    EXPECT_EQ(font->glyphExtent().height, 20);
}

TEST_F(BMFontConfigurationTest, GeneratorStylesReadToTheSameDefinitions) {
    const std::string image = dir_.file("fonts/test sheet.png");
    expectTestFont(parse(plainDescription()), image);
    expectTestFont(parse(withCRLF(plainDescription())), image);
    expectTestFont(parse(kWindowsStyle), image);
    expectTestFont(parse(kLetterStyle), image);
    expectTestFont(parse("\xEF\xBB\xBF" + plainDescription()), image);  // a byte-order mark
    // Old Mac line ends, and a last line without any.
    std::string cr = plainDescription();
    for (char& c : cr) c = c == '\n' ? '\r' : c;
    cr.pop_back();
    expectTestFont(parse(cr), image);

    CCBMFontConfiguration* letters = parse(kLetterStyle);
    ASSERT_NE(letters, nullptr);
    EXPECT_EQ(letters->definitionFor('=').xAdvance, 7);
    EXPECT_EQ(letters->definitionFor('"').xAdvance, 4);
}

TEST_F(BMFontConfigurationTest, PageFileNames) {
    auto page = [&](const std::string& line) {
        std::string text = plainDescription();
        const size_t at = text.find("page id=0");
        text.replace(at, text.find('\n', at) - at, line);
        CCBMFontConfiguration* font = parse(text);
        return font ? font->atlasName() : std::string("(nil)");
    };
    EXPECT_EQ(page("page id=0 file=plain.png"), dir_.file("fonts/plain.png"));
    EXPECT_EQ(page("page id=0 file=\"a = b.png\" extra=1"), dir_.file("fonts/a = b.png"));
    EXPECT_EQ(page("page id=0 file=\"images\\sheet.png\""), dir_.file("fonts/images/sheet.png"));
    EXPECT_EQ(page("page id=0 file=\"../shared/sheet.png\""), dir_.file("fonts/../shared/sheet.png"));
}

TEST_F(BMFontConfigurationTest, BrokenFilesGiveNilAndOneLogLine) {
    auto replaced = [](std::string from, std::string to) {
        std::string text = plainDescription();
        const size_t at = text.find(from);
        EXPECT_NE(at, std::string::npos) << from;
        return text.replace(at, from.size(), to);
    };
    const std::string base = plainDescription();
    const std::vector<std::pair<std::string, std::string>> cases = {
        {replaced("char id=65 ", "char id=2048 "), "2048 is outside 0 to 2047"},
        {replaced("char id=65 ", "char id=-1 "), "-1 is outside 0 to 2047"},
        {replaced("char id=65 ", "char id=99999999999999999999999 "), "outside 0 to 2047"},
        {replaced("x=16 ", "x=32767 "), "width 10 is outside"},
        {replaced("width=12", "width=-12"), "width -12 is outside"},
        {replaced("width=12", "width=abc"), "width is not a number"},
        {replaced("chars count=4", "chars count=99999999"), "count 99999999 is outside 0 to 2048"},
        {replaced("kernings count=2", "kernings count=-5"), "count -5 is outside"},
        {replaced("common lineHeight=24", "common lineHeight=0"), "lineHeight 0 is outside"},
        {replaced("pages=1", "pages=2"), "2 pages (only single-page fonts can be drawn)"},
        {replaced("page=0 chnl=15\nchar id=65", "page=1 chnl=15\nchar id=65"), "on page 1"},
        {base + "page id=1 file=\"second.png\"\n", "a second page"},
        {base.substr(0, base.find("xoffset=1")), "line 6: the char line has no xoffset field (truncated?)"},
        {base + "kerning first=65 second=", "second is not a number"},
        {replaced("file=\"test sheet.png\"", "file=\"test sheet.png"), "no closing quote"},
        {replaced("amount=-3", "amount="), "amount is not a number"},
        {base.substr(base.find("page id")), "has no common line"},
        {replaced("page id=0 file=\"test sheet.png\"", ""), "names no glyph image"},
        {"", "has no common line"},
        {"hello, world\nthis is a readme\n", "has no common line"},
        {std::string("info face=\"x\"\0\1\2 binary", 23), "is not a text file"},
        {std::string("BMF\3\1\26\0\0\0", 9), "binary font description"},
        {"<?xml version=\"1.0\"?>\n<font><info face=\"x\"/></font>\n", "XML font description"},
    };
    for (const auto& [text, expected] : cases) {
        const std::vector<std::string> lines = rejected(text);
        ASSERT_EQ(lines.size(), 1u) << text;
        EXPECT_NE(lines[0].find(expected), std::string::npos) << lines[0];
        EXPECT_EQ(lines[0].rfind("engine: CCBMFontConfiguration: ", 0), 0u) << lines[0];
    }
}

TEST_F(BMFontConfigurationTest, ReadsFilesAndCachesThemByName) {
    const std::string path = bmfonttest::writeTestFont(dir_);
    {
        LogCapture log;
        EXPECT_EQ(CCBMFontConfiguration::configurationWithFNTFile(dir_.file("missing.fnt")), nullptr);
        EXPECT_EQ(FNTConfigLoadFile(dir_.file("missing.fnt")), nullptr);
        ASSERT_EQ(log.lines().size(), 2u);  // one each: failures are not cached
        EXPECT_NE(log.lines()[0].find("cannot read the font file"), std::string::npos);
    }
    CCBMFontConfiguration* first = FNTConfigLoadFile(path);
    expectTestFont(first, dir_.file("test sheet.png"));
    EXPECT_EQ(FNTConfigLoadFile(path), first);  // parsed once
    EXPECT_NE(first->description().find(" | Kernings:2 | Image = " + dir_.file("test sheet.png") + ">"),
              std::string::npos);

    // Purging drops the cache's reference: the next request parses again
    // while whoever still holds the old one keeps it.
    host::Ref<CCBMFontConfiguration> held(first);
    pool_.drain();
    CCDirector::sharedDirector()->purgeCachedData();
    CCBMFontConfiguration* again = FNTConfigLoadFile(path);
    EXPECT_NE(again, first);
    EXPECT_EQ(held->retainCount(), 1u);
    CCLabelBMFont::purgeCachedData();
    EXPECT_NE(FNTConfigLoadFile(path), again);
}

}  // namespace
