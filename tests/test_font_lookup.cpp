#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <thread>
#include <vector>

#include "host/text/Font.h"
#include "host/text/FontMatcher.h"
#include "host/text/TextLayout.h"

using host::Font;

namespace {
bool contains(const std::string& s, const char* part) { return s.find(part) != std::string::npos; }
}  // namespace

// Names the game and samples use find an installed font of the same
// family or a metric-compatible stand-in, never a generic fallback.
TEST(FontLookup, KnownNamesFindTheirFamilyOrAMetricCompatibleStandIn) {
    struct Case { const char* name; std::vector<std::string> families; };
    const Case cases[] = {
        {"Helvetica", {"Nimbus Sans", "Liberation Sans", "TeX Gyre Heros"}},
        {"Arial", {"Liberation Sans", "Arimo"}},
        {"Times New Roman", {"Liberation Serif", "Tinos"}},
        {"Times", {"Nimbus Roman", "Liberation Serif"}},
        {"Courier", {"Nimbus Mono PS", "Liberation Mono"}},
    };
    for (const Case& c : cases) {
        host::Ref<Font> font = Font::systemFont(c.name, 16);
        ASSERT_TRUE(font) << c.name;
        EXPECT_NE(std::find(c.families.begin(), c.families.end(), font->familyName()), c.families.end())
            << c.name << " gave " << font->familyName();
        EXPECT_EQ(font->kind(), Font::Kind::System);
        EXPECT_EQ(font->name(), c.name);
        EXPECT_FLOAT_EQ(font->size(), 16);
    }
}

TEST(FontLookup, NamesWithoutARealMatchFindNothing) {
    for (const char* name : {"NoSuchFont", "Marker Felt", "", "-Bold", "Helvetica:bold", "sans-serif-Bold"})
        EXPECT_FALSE(Font::systemFont(name, 16)) << '"' << name << '"';
}

TEST(FontLookup, StyleSuffixesChooseTheStyle) {
    host::Ref<Font> regular = Font::systemFont("Helvetica", 20);
    host::Ref<Font> bold = Font::systemFont("Helvetica-Bold", 20);
    host::Ref<Font> oblique = Font::systemFont("Helvetica-Oblique", 20);
    host::Ref<Font> boldOblique = Font::systemFont("Helvetica-BoldOblique", 20);
    ASSERT_TRUE(regular && bold && oblique && boldOblique);
    EXPECT_EQ(regular->familyName(), bold->familyName());
    EXPECT_NE(regular->file().path, bold->file().path);
    EXPECT_TRUE(contains(bold->styleName(), "Bold")) << bold->styleName();
    EXPECT_FALSE(contains(regular->styleName(), "Bold")) << regular->styleName();
    EXPECT_TRUE(contains(oblique->styleName(), "Italic") || contains(oblique->styleName(), "Oblique"));
    EXPECT_TRUE(contains(boldOblique->styleName(), "Bold"));
    EXPECT_NE(boldOblique->file().path, bold->file().path);
    // Bold strokes are wider: the same word takes more room.
    EXPECT_GT(bold->sizeOfString("Game Over").width, regular->sizeOfString("Game Over").width);
}

TEST(FontLookup, NameParsingSplitsOnlyKnownStyleSuffixes) {
    auto check = [](const char* name, const char* family, bool bold, bool slanted) {
        const host::FontMatcher::Request r = host::FontMatcher::parseName(name);
        EXPECT_EQ(r.family, family) << name;
        EXPECT_EQ(r.bold, bold) << name;
        EXPECT_EQ(r.slanted, slanted) << name;
    };
    check("Helvetica", "Helvetica", false, false);
    check("Helvetica-Bold", "Helvetica", true, false);
    check("Times New Roman-Italic", "Times New Roman", false, true);
    check("Courier-Oblique", "Courier", false, true);
    check("Helvetica-BoldOblique", "Helvetica", true, true);
    check("Arial-BoldItalic", "Arial", true, true);
    check("Some-Font", "Some-Font", false, false);
    check("-Bold", "-Bold", false, false);  // a suffix alone names no family
}

TEST(FontLookup, InterfaceFontsAreHelveticaAndItsBold) {
    host::Ref<Font> plain = Font::systemFontOfSize(14);
    host::Ref<Font> bold = Font::boldSystemFont(14);
    ASSERT_TRUE(plain && bold);
    EXPECT_EQ(plain->file(), Font::systemFont("Helvetica", 14)->file());
    EXPECT_EQ(bold->file(), Font::systemFont("Helvetica-Bold", 14)->file());
}

TEST(FontLookup, UnusableSizesGiveNoFont) {
    for (float size : {0.0f, -12.0f, std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity(),
                       Font::kMaxSize * 2})
        EXPECT_FALSE(Font::systemFont("Helvetica", size)) << size;
    EXPECT_TRUE(Font::systemFont("Helvetica", 0.5f));
    EXPECT_TRUE(Font::systemFont("Helvetica", Font::kMaxSize));
}

// Fonts of one file and size share a face (and its caches); sizes differ.
TEST(FontLookup, FontsOfTheSameFileAndSizeShareOneFace) {
    host::Ref<Font> a = Font::systemFont("Helvetica", 18);
    host::Ref<Font> b = Font::systemFont("Helvetica", 18);
    host::Ref<Font> c = Font::systemFont("Helvetica", 36);
    ASSERT_TRUE(a && b && c);
    EXPECT_NE(a.get(), b.get());
    EXPECT_EQ(a->face(), b->face());
    EXPECT_NE(a->face(), c->face());
    EXPECT_NEAR(c->lineHeight(), 2 * a->lineHeight(), 0.1);
    EXPECT_TRUE(contains(a->description(), "Name = Helvetica")) << a->description();
}

// The texture cache's loading thread may render text while the main thread
// does: both must get the same answers as a single thread would.
TEST(FontLookup, MeasuringAndLayingOutFromSeveralThreadsGivesConsistentResults) {
    const std::string text = "Größe ☃ é – The quick brown fox jumps over the lazy dog";
    const CGSize expected = Font::systemFont("Times", 15)->sizeOfString(text);
    std::vector<std::thread> threads;
    std::vector<int> mismatches(4, 0);
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&, t] {
            for (int i = 0; i < 40; ++i) {
                // Alternate sizes so faces are opened while others draw.
                host::Ref<Font> font = Font::systemFont((i % 2) ? "Times" : "Courier-Bold", (i % 2) ? 15 : 10.0f + t);
                if (!font) { ++mismatches[t]; continue; }
                const CGSize size = font->sizeOfString(text);
                if (i % 2 && (size.width != expected.width || size.height != expected.height)) ++mismatches[t];
                host::TextLayout layout(*font, text, CGSizeMake(120, 200), host::kTextLineBreakModeWordWrap, 1);
                if (layout.lines().empty()) ++mismatches[t];
            }
        });
    for (std::thread& t : threads) t.join();
    for (int t = 0; t < 4; ++t) EXPECT_EQ(mismatches[t], 0) << "thread " << t;
}
