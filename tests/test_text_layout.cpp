#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "TextTestSupport.h"
#include "host/text/Font.h"
#include "host/text/FontFace.h"
#include "host/text/TextLayout.h"
#include "host/text/TextRenderer.h"
#include "host/text/Utf8.h"

using host::Font;
using host::TextLayout;

namespace {
const char* const kPangram = "The quick brown fox jumps over the lazy dog";

host::Ref<Font> helvetica(float size = 16) { return Font::systemFont("Helvetica", size); }

std::vector<std::string> lineTexts(const TextLayout& layout) {
    std::vector<std::string> out;
    for (const TextLayout::Line& line : layout.lines()) out.push_back(line.text);
    return out;
}

std::string joined(const std::vector<std::string>& lines, const char* separator) {
    std::string out;
    for (size_t i = 0; i < lines.size(); ++i) out += (i ? separator : "") + lines[i];
    return out;
}

float widthOf(const Font& font, const std::string& text) {
    return TextLayout(font, text, CGSizeMake(1e9f, 100), host::kTextLineBreakModeClip, 0).usedSize().width;
}

bool startsWith(const std::string& s, const std::string& p) { return s.compare(0, p.size(), p) == 0; }
bool endsWith(const std::string& s, const std::string& p) {
    return s.size() >= p.size() && s.compare(s.size() - p.size(), p.size(), p) == 0;
}
const std::string kEllipsis = "\xE2\x80\xA6";
}  // namespace

// ---- UTF-8 -------------------------------------------------------------------

TEST(Utf8, DecodesEveryMalformedSequenceToOneReplacementCharacter) {
    EXPECT_EQ(host::decodeUtf8("Gr\xC3\xB6\xC3\x9F" "e \xE2\x98\x83 \xF0\x9F\x98\x80"),
              (std::u32string{'G', 'r', 0xF6, 0xDF, 'e', ' ', 0x2603, ' ', 0x1F600}));
    EXPECT_EQ(host::decodeUtf8("a\xFF" "b"), (std::u32string{'a', 0xFFFD, 'b'}));            // impossible byte
    EXPECT_EQ(host::decodeUtf8("\x80x"), (std::u32string{0xFFFD, 'x'}));                     // stray continuation
    EXPECT_EQ(host::decodeUtf8("\xE2\x82" "A"), (std::u32string{0xFFFD, 'A'}));              // truncated
    EXPECT_EQ(host::decodeUtf8("\xE2\x82"), (std::u32string{0xFFFD}));                       // truncated at the end
    EXPECT_EQ(host::decodeUtf8("\xC0\xAF"), (std::u32string{0xFFFD}));                       // overlong '/'
    EXPECT_EQ(host::decodeUtf8("\xED\xA0\x80"), (std::u32string{0xFFFD}));                   // surrogate
    EXPECT_EQ(host::decodeUtf8("\xF4\x90\x80\x80"), (std::u32string{0xFFFD}));               // above U+10FFFF
    const std::u32string all{'A', 0x7FF, 0x800, 0xFFFF, 0x10000, 0x10FFFF};
    EXPECT_EQ(host::decodeUtf8(host::encodeUtf8(all.data(), all.data() + all.size())), all);
}

// ---- Measuring ----------------------------------------------------------------

TEST(TextMeasure, OneLineIsTheAdvanceSumByTheLineHeightInWholePixels) {
    host::Ref<Font> font = helvetica(16);
    ASSERT_TRUE(font);
    const CGSize size = font->sizeOfString("Score: 0");
    EXPECT_GT(size.width, 40);
    EXPECT_LT(size.width, 90);
    EXPECT_EQ(size.width, std::ceil(size.width));
    EXPECT_EQ(size.height, std::ceil(font->lineHeight()));
    EXPECT_GT(font->lineHeight(), 16);
    EXPECT_LT(font->lineHeight(), 16 * 1.5);
    // Twice the size: twice the width, give or take the rounding.
    EXPECT_NEAR(helvetica(32)->sizeOfString("Score: 0").width, 2 * size.width, 2);
    // Adding characters widens the string.
    EXPECT_GT(font->sizeOfString("Score: 10").width, size.width);
    EXPECT_EQ(font->sizeOfString("").width, 0);
}

TEST(TextMeasure, ExplicitLineBreaksStackLinesAndTheWidestSetsTheWidth) {
    host::Ref<Font> font = helvetica(16);
    const CGSize one = font->sizeOfString("Restart Game");
    const CGSize two = font->sizeOfString("Go\nRestart Game");
    EXPECT_EQ(two.width, one.width);
    EXPECT_EQ(two.height, std::ceil(2 * font->lineHeight()));
}

TEST(TextMeasure, KerningPairsAreTightenedWhereTheFontHasThem) {
    // Liberation Sans carries a kerning table with the classic "AV" pair.
    host::Ref<Font> font = Font::systemFont("Arial", 40);
    ASSERT_TRUE(font);
    ASSERT_EQ(font->familyName(), "Liberation Sans");
    EXPECT_LT(widthOf(*font, "AV"), widthOf(*font, "A") + widthOf(*font, "V") - 1);
}

TEST(TextMeasure, NonAsciiTextMeasuresAndDrawsIncludingCharactersTheFontLacks) {
    host::Ref<Font> font = helvetica(16);
    const std::string text = "Größe ☃ é";
    EXPECT_GT(font->sizeOfString(text).width, font->sizeOfString("Gre  ").width);
    // The snowman is not in Helvetica's stand-in: another installed font
    // draws it, so it has a real glyph and a real width.
    TextLayout snowman(*font, "☃", CGSizeMake(100, 40), 0, 0);
    ASSERT_EQ(snowman.glyphs().size(), 1u);
    EXPECT_NE(snowman.glyphs()[0].face, font->face());
    EXPECT_NE(snowman.glyphs()[0].index, 0u);
    EXPECT_GT(snowman.lines()[0].width, 8);
    TestBitmap bitmap(128, 32);
    host::drawText(*font, "☃", CGRectMake(0, 0, 128, 32), 0, 0, bitmap.target());
    EXPECT_GT(bitmap.extent(128).right - bitmap.extent(128).left, 4);

    TestBitmap accents(128, 32);
    host::drawText(*font, text, CGRectMake(0, 0, 128, 32), 0, 0, accents.target());
    EXPECT_GT(accents.total(), 0);
}

TEST(TextMeasure, ArbitraryBytesNeverBreakMeasuringLayoutOrDrawing) {
    host::Ref<Font> font = helvetica(12);
    std::mt19937 random(1234);
    TestBitmap bitmap(64, 64);
    for (int i = 0; i < 300; ++i) {
        std::string bytes(size_t(random() % 40), '\0');
        for (char& b : bytes) b = char(random() & 0xFF);
        const CGSize size = font->sizeOfString(bytes);
        EXPECT_GE(size.width, 0);
        for (int mode = 0; mode <= 5; ++mode)
            host::drawText(*font, bytes, CGRectMake(0, 0, 64, 64), mode, i % 3, bitmap.target());
    }
    // Invalid sequences show the replacement character, so they take room.
    EXPECT_GT(font->sizeOfString("\xFF\xFE").width, 0);
}

// ---- Line breaking ------------------------------------------------------------

TEST(TextWrap, WordWrapBreaksBetweenWordsAndFillsEachLine) {
    host::Ref<Font> font = helvetica(16);
    const float boxWidth = 100;
    const TextLayout layout(*font, kPangram, CGSizeMake(boxWidth, 500), host::kTextLineBreakModeWordWrap, 0);
    const std::vector<std::string> lines = lineTexts(layout);
    ASSERT_GE(lines.size(), 3u);
    EXPECT_EQ(joined(lines, " "), kPangram);  // words stay whole, spaces go at the breaks
    for (size_t i = 0; i < lines.size(); ++i) {
        EXPECT_LE(layout.lines()[i].width, boxWidth) << lines[i];
        EXPECT_FALSE(startsWith(lines[i], " ") || endsWith(lines[i], " ")) << '"' << lines[i] << '"';
        if (i + 1 < lines.size()) {
            // The next word would not have fitted.
            const std::string next = lines[i + 1].substr(0, lines[i + 1].find(' '));
            EXPECT_GT(widthOf(*font, lines[i] + " " + next), boxWidth) << lines[i] << " + " << next;
        }
    }
}

TEST(TextWrap, AWordWiderThanTheBoxIsBrokenBetweenCharacters) {
    host::Ref<Font> font = helvetica(16);
    const std::string word = "Supercalifragilisticexpialidocious";
    const TextLayout layout(*font, "a " + word, CGSizeMake(60, 500), host::kTextLineBreakModeWordWrap, 0);
    const std::vector<std::string> lines = lineTexts(layout);
    ASSERT_GE(lines.size(), 4u);
    EXPECT_EQ(lines[0], "a");
    EXPECT_EQ(joined(std::vector<std::string>(lines.begin() + 1, lines.end()), ""), word);
    for (const TextLayout::Line& line : layout.lines()) EXPECT_LE(line.width, 60);
}

TEST(TextWrap, CharacterWrapFillsLinesRegardlessOfWords) {
    host::Ref<Font> font = helvetica(16);
    const TextLayout chars(*font, kPangram, CGSizeMake(100, 500), host::kTextLineBreakModeCharacterWrap, 0);
    const TextLayout words(*font, kPangram, CGSizeMake(100, 500), host::kTextLineBreakModeWordWrap, 0);
    const std::vector<std::string> lines = lineTexts(chars);
    ASSERT_GE(lines.size(), 3u);
    EXPECT_GT(lines[0].size(), lineTexts(words)[0].size());
    const std::string text = kPangram;
    size_t cursor = 0;
    for (size_t i = 0; i + 1 < lines.size(); ++i) {
        EXPECT_LE(chars.lines()[i].width, 100);
        cursor = text.find(lines[i], cursor) + lines[i].size();
        // The line plus whatever followed it up to the next visible
        // character would not have fitted.
        const size_t next = text.find_first_not_of(' ', cursor);
        EXPECT_GT(widthOf(*font, lines[i] + text.substr(cursor, next + 1 - cursor)), 100) << lines[i];
    }
    // Only the spaces at the breaks are gone.
    std::string rest;
    for (char c : std::string(kPangram)) if (c != ' ') rest += c;
    std::string shown;
    for (char c : joined(lines, "")) if (c != ' ') shown += c;
    EXPECT_EQ(shown, rest);
}

TEST(TextWrap, ExplicitLineBreaksStartNewLinesInEveryMode) {
    host::Ref<Font> font = helvetica(16);
    for (int mode = 0; mode <= 5; ++mode) {
        const TextLayout layout(*font, "one\ntwo\r\n\nfour", CGSizeMake(200, 500), mode, 0);
        EXPECT_EQ(lineTexts(layout), (std::vector<std::string>{"one", "two", "", "four"})) << "mode " << mode;
    }
}

TEST(TextWrap, ClipKeepsEachParagraphOnOneLine) {
    host::Ref<Font> font = helvetica(16);
    const TextLayout layout(*font, kPangram, CGSizeMake(100, 500), host::kTextLineBreakModeClip, 1);
    ASSERT_EQ(layout.lines().size(), 1u);
    EXPECT_EQ(layout.lines()[0].text, kPangram);
    EXPECT_GT(layout.lines()[0].width, 100);
    EXPECT_EQ(layout.lines()[0].x, 0);  // too wide to centre: starts at the left edge
}

TEST(TextWrap, TruncationModesReplaceTheHeadTailOrMiddleWithAnEllipsis) {
    host::Ref<Font> font = helvetica(16);
    const CGSize box = CGSizeMake(120, 500);
    const TextLayout head(*font, kPangram, box, host::kTextLineBreakModeHeadTruncation, 0);
    const TextLayout tail(*font, kPangram, box, host::kTextLineBreakModeTailTruncation, 0);
    const TextLayout middle(*font, kPangram, box, host::kTextLineBreakModeMiddleTruncation, 0);
    for (const TextLayout* layout : {&head, &tail, &middle}) {
        ASSERT_EQ(layout->lines().size(), 1u);
        EXPECT_LE(layout->lines()[0].width, box.width) << layout->lines()[0].text;
        // Nearly full: one more character would not have fitted.
        EXPECT_GT(layout->lines()[0].width, box.width - 20) << layout->lines()[0].text;
    }
    const std::string h = head.lines()[0].text, t = tail.lines()[0].text, m = middle.lines()[0].text;
    EXPECT_TRUE(startsWith(h, kEllipsis) && endsWith(h, "lazy dog")) << h;
    EXPECT_TRUE(startsWith(t, "The quick") && endsWith(t, kEllipsis)) << t;
    EXPECT_TRUE(startsWith(m, "The") && endsWith(m, "dog")) << m;
    const size_t cut = m.find(kEllipsis);
    ASSERT_NE(cut, std::string::npos) << m;
    // About as much is kept on both sides of the cut.
    const float left = widthOf(*font, m.substr(0, cut)), right = widthOf(*font, m.substr(cut + kEllipsis.size()));
    EXPECT_NEAR(left, right, 16) << m;
    // Text that fits is left alone.
    for (int mode = 3; mode <= 5; ++mode)
        EXPECT_EQ(TextLayout(*font, "lazy dog", box, mode, 0).lines()[0].text, "lazy dog");
}

TEST(TextWrap, UnknownModesWrapAtWordsAndUnknownAlignmentsAlignLeft) {
    host::Ref<Font> font = helvetica(16);
    const TextLayout odd(*font, kPangram, CGSizeMake(100, 500), 42, 7);
    const TextLayout words(*font, kPangram, CGSizeMake(100, 500), 0, 0);
    EXPECT_EQ(lineTexts(odd), lineTexts(words));
    for (const TextLayout::Line& line : odd.lines()) EXPECT_EQ(line.x, 0);
}

// ---- Lines in the box -----------------------------------------------------------

TEST(TextBox, LinesRunFromTheTopAndStopAtTheBottomEdge) {
    host::Ref<Font> font = helvetica(16);
    const float lineHeight = font->lineHeight();
    const TextLayout layout(*font, "1\n2\n3\n4", CGSizeMake(100, 2.5f * lineHeight), 0, 0);
    ASSERT_EQ(lineTexts(layout), (std::vector<std::string>{"1", "2", "3"}));  // the third is cut, the fourth gone
    for (size_t i = 0; i < layout.lines().size(); ++i) {
        EXPECT_FLOAT_EQ(layout.lines()[i].top, float(i) * lineHeight);
        EXPECT_GT(layout.lines()[i].baseline, layout.lines()[i].top);
        EXPECT_LT(layout.lines()[i].baseline, layout.lines()[i].top + lineHeight);
    }
    EXPECT_TRUE(TextLayout(*font, "x", CGSizeMake(100, 0), 0, 0).lines().empty());
    const float nan = std::nanf("");
    EXPECT_TRUE(TextLayout(*font, "x", CGSizeMake(nan, nan), 0, 0).lines().empty());
}

TEST(TextBox, AlignmentPlacesEachLineInTheBox) {
    host::Ref<Font> font = helvetica(16);
    const float w = 200;
    for (int alignment = 0; alignment <= 2; ++alignment) {
        const TextLayout layout(*font, "Play\nOther Apps", CGSizeMake(w, 100), 0, alignment);
        for (const TextLayout::Line& line : layout.lines()) {
            const float expected = alignment == 0 ? 0 : alignment == 1 ? (w - line.width) / 2 : w - line.width;
            EXPECT_FLOAT_EQ(line.x, expected) << line.text << " alignment " << alignment;
        }
    }
}

// ---- Drawing ------------------------------------------------------------------

TEST(TextDraw, AlignedTextLandsAtTheLeftEdgeTheCentreOrTheRightEdge) {
    host::Ref<Font> font = helvetica(24);
    const int w = 200, h = 40;
    TestBitmap left(w, h), centre(w, h), right(w, h);
    host::drawText(*font, "Hello", CGRectMake(0, 0, w, h), 0, 0, left.target());
    host::drawText(*font, "Hello", CGRectMake(0, 0, w, h), 0, 1, centre.target());
    host::drawText(*font, "Hello", CGRectMake(0, 0, w, h), 0, 2, right.target());
    const TestBitmap::Extent l = left.extent(64), c = centre.extent(64), r = right.extent(64);
    ASSERT_FALSE(l.empty() || c.empty() || r.empty());
    EXPECT_LE(l.left, 3);                               // "H" has a small side bearing
    EXPECT_GE(r.right, w - 4);
    EXPECT_NEAR(c.left, (w - 1) - c.right, 3);          // symmetric
    EXPECT_NEAR(l.right - l.left, r.right - r.left, 1);  // the same ink, moved
}

TEST(TextDraw, TheFirstLineIsDrawnInTheTopRows) {
    host::Ref<Font> font = helvetica(16);
    const int lineHeight = int(std::ceil(font->lineHeight()));
    TestBitmap first(64, 3 * lineHeight), second(64, 3 * lineHeight);
    host::drawText(*font, "Xg\n", CGRectMake(0, 0, 64, 3.0f * lineHeight), 0, 0, first.target());
    host::drawText(*font, "\nXg", CGRectMake(0, 0, 64, 3.0f * lineHeight), 0, 0, second.target());
    const TestBitmap::Extent a = first.extent(), b = second.extent();
    ASSERT_FALSE(a.empty() || b.empty());
    EXPECT_GE(a.top, 0);
    EXPECT_LT(a.bottom, lineHeight);
    EXPECT_GE(b.top, lineHeight - 1);
    EXPECT_LT(b.bottom, 2 * lineHeight);
    // Accents over capitals are drawn: the first line leaves room above.
    TestBitmap plain(64, lineHeight), accented(64, lineHeight);
    host::drawText(*font, "AEO", CGRectMake(0, 0, 64, float(lineHeight)), 0, 0, plain.target());
    host::drawText(*font, "ÅÉÖ", CGRectMake(0, 0, 64, float(lineHeight)), 0, 0, accented.target());
    EXPECT_LT(accented.extent(128).top, plain.extent(128).top - 1);
    EXPECT_GT(accented.total(), plain.total() + 3 * 255);
}

TEST(TextDraw, DrawingIsClippedToTheBoxAndTheBitmap) {
    host::Ref<Font> font = helvetica(20);
    TestBitmap bitmap(100, 40, /*padding=*/8);
    std::fill(bitmap.bytes.begin(), bitmap.bytes.end(), 0);
    for (int y = 0; y < bitmap.height; ++y)
        for (int x = bitmap.width; x < bitmap.stride; ++x) bitmap.bytes[size_t(y) * bitmap.stride + x] = 0xAA;
    const CGRect box = CGRectMake(10, 5, 50, 20);
    host::drawText(*font, "WWWWWWWWWW\nWWWWWWWW", box, host::kTextLineBreakModeClip, 0, bitmap.target());
    const TestBitmap::Extent e = bitmap.extent();
    ASSERT_FALSE(e.empty());
    EXPECT_GE(e.left, 10);
    EXPECT_LE(e.right, 59);
    EXPECT_GE(e.top, 5);
    EXPECT_LE(e.bottom, 24);
    EXPECT_GE(e.right, 55);  // the clipped line reaches the edge
    // The bytes past each row's pixels are left alone.
    for (int y = 0; y < bitmap.height; ++y)
        for (int x = bitmap.width; x < bitmap.stride; ++x) ASSERT_EQ(bitmap.bytes[size_t(y) * bitmap.stride + x], 0xAA);

    // A box hanging over the bitmap's edges draws what falls inside.
    TestBitmap small(30, 10);
    host::drawText(*font, "WWWW", CGRectMake(-15, -8, 200, 40), 0, 0, small.target());
    EXPECT_GT(small.total(), 0);
    // Far-off boxes and unusable targets draw nothing and do not crash.
    host::drawText(*font, "WWWW", CGRectMake(-1e30f, 1e30f, 10, 10), 0, 0, small.target());
    host::drawText(*font, "W", CGRectMake(0, 0, 10, 10), 0, 0, host::CoverageBitmap{nullptr, 10, 10, 10});
    host::drawText(*font, "W", CGRectMake(0, 0, 10, 10), 0, 0, host::CoverageBitmap{small.bytes.data(), 30, 10, 5});
}

TEST(TextDraw, GlyphsAreAntiAliased) {
    host::Ref<Font> font = helvetica(16);
    TestBitmap bitmap(64, 24);
    host::drawText(*font, "Ouch", CGRectMake(0, 0, 64, 24), 0, 0, bitmap.target());
    int partial = 0, full = 0;
    for (uint8_t v : bitmap.bytes) {
        if (v == 255) ++full;
        else if (v > 0) ++partial;
    }
    EXPECT_GT(full, 5);
    EXPECT_GT(partial, 10);
}
