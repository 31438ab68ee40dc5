// make-bitmap-font's maker: a real font becomes a glyph sheet and a
// description the engine reads back, with the font's kerning, every glyph
// inside the sheet and ink where its rectangle says; bad requests fail with
// a reason.
#include <gtest/gtest.h>

#include <string>

#include "BitmapFontMaker.h"
#include "ImageFileWriters.h"
#include "LogCapture.h"
#include "ScratchDirectory.h"
#include "engine/CCBMFontConfiguration.h"
#include "host/graphics/Image.h"

namespace {

const char kSans[] = "/usr/share/fonts/truetype/liberation2/LiberationSans-Regular.ttf";

// Alpha of texel (x, y) of an RGBA image.
uint8_t alphaAt(const host::Image* image, int x, int y) {
    return image->pixels()[(size_t(y) * image->width() + size_t(x)) * 4 + 3];
}

TEST(BitmapFontMaker, MakesASheetAndADescriptionTheEngineReads) {
    host::AutoreleasePool pool;
    ScratchDirectory dir;
    bitmapfont::FontSummary summary;
    std::string error;
    ASSERT_TRUE(bitmapfont::makeBitmapFont({kSans, 24, dir.file("sans-24"), ""}, &summary, &error)) << error;
    EXPECT_EQ(summary.characters, 95 + 96);  // printable ASCII and Latin-1
    EXPECT_EQ(summary.missing, 0);
    EXPECT_GT(summary.kerningPairs, 20);

    CCBMFontConfiguration* font = CCBMFontConfiguration::configurationWithFNTFile(dir.file("sans-24.fnt"));
    ASSERT_NE(font, nullptr);
    EXPECT_EQ(font->atlasName(), dir.file("sans-24.png"));
    EXPECT_GE(font->commonHeight(), 24u);
    EXPECT_LT(font->kerningAmount('A', 'V'), 0);  // the font's kerning table
    EXPECT_EQ(font->kerningCount(), unsigned(summary.kerningPairs));
    EXPECT_GT(font->definitionFor(' ').xAdvance, 0);
    EXPECT_EQ(font->definitionFor(' ').rect.size.width, 0);

    host::Image* sheet = host::Image::imageWithContentsOfFile(font->atlasName());
    ASSERT_NE(sheet, nullptr);
    EXPECT_EQ(int(sheet->width()), summary.sheetWidth);
    EXPECT_EQ(int(sheet->height()), summary.sheetHeight);
    EXPECT_LE(font->glyphExtent().width, float(sheet->width()));
    EXPECT_LE(font->glyphExtent().height, float(sheet->height()));

    // The capital I: a solid stem inside its rectangle, a clear border.
    const _BMFontDef& i = font->definitionFor('I');
    const int x0 = int(i.rect.origin.x), y0 = int(i.rect.origin.y);
    const int w = int(i.rect.size.width), h = int(i.rect.size.height);
    ASSERT_GT(w, 2);
    ASSERT_GT(h, 10);
    EXPECT_GT(alphaAt(sheet, x0 + w / 2, y0 + h / 2), 200);
    for (int x = x0; x < x0 + w; ++x) EXPECT_EQ(alphaAt(sheet, x, y0), 0) << "top padding";
    // Its top sits on the cap height: below the line's top, above the middle.
    EXPECT_GT(i.yOffset, 0);
    EXPECT_LT(i.yOffset, int(font->commonHeight()) / 2);
}

TEST(BitmapFontMaker, RefusesWhatItCannotMake) {
    ScratchDirectory dir;
    bitmapfont::FontSummary summary;
    std::string error;
    const std::string notAFont = dir.write("not-a-font.ttf", "hello");
    EXPECT_FALSE(bitmapfont::makeBitmapFont({notAFont, 24, dir.file("x"), ""}, &summary, &error));
    EXPECT_NE(error.find("not a usable font"), std::string::npos) << error;

    EXPECT_FALSE(bitmapfont::makeBitmapFont({kSans, 24, dir.file("x"), "AB\xE2\x82\xAC"}, &summary, &error));
    EXPECT_NE(error.find("U+20AC"), std::string::npos) << error;

    EXPECT_FALSE(bitmapfont::makeBitmapFont({kSans, 24, dir.file("no/such/dir/x"), "AB"}, &summary, &error));
    EXPECT_NE(error.find("cannot write"), std::string::npos) << error;

    // Characters the font lacks are left out and counted.
    ASSERT_TRUE(bitmapfont::makeBitmapFont({kSans, 16, dir.file("few"), "AB\xDF\xBF"}, &summary, &error)) << error;
    EXPECT_EQ(summary.characters, 2);
    EXPECT_EQ(summary.missing, 1);
}

}  // namespace
