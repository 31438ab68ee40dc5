// The views' 2D drawing context, on the CPU: coverage of shapes on the
// pixel grid, gradients, scaled images, text and clipping.
#include <gtest/gtest.h>

#include <vector>

#include "host/graphics/DrawingContext.h"
#include "host/graphics/Image.h"
#include "host/text/Font.h"
#include "host/text/TextLayout.h"

namespace {

using host::Color;
using host::DrawingContext;

struct Canvas {
    Canvas(int w, int h, float scale = 1) : ctx(&pixels, w, h, scale), width(w) {}
    const uint8_t* at(int x, int y) const { return pixels.data() + (size_t(y) * size_t(width) + size_t(x)) * 4; }
    int alpha(int x, int y) const { return at(x, y)[3]; }
    std::vector<uint8_t> pixels;
    DrawingContext ctx;
    int width;
};

TEST(DrawingContext, MakesNoBitmapUntilSomethingIsDrawn) {
    Canvas c(8, 8);
    EXPECT_FALSE(c.ctx.hasDrawn());
    c.ctx.fillRect(CGRectMake(20, 20, 5, 5), Color::redColor());  // off the bitmap
    c.ctx.fillRect(CGRectMake(0, 0, 5, 5), Color::clearColor());
    EXPECT_FALSE(c.ctx.hasDrawn());
    EXPECT_TRUE(c.pixels.empty());
    c.ctx.fillRect(CGRectMake(0, 0, 1, 1), Color::redColor());
    EXPECT_TRUE(c.ctx.hasDrawn());
    EXPECT_EQ(c.pixels.size(), 8u * 8 * 4);
}

TEST(DrawingContext, FillsCoverWholeAndPartPixelsExactly) {
    Canvas c(10, 10);
    c.ctx.fillRect(CGRectMake(2, 2, 4, 4), Color{1, 0, 0, 0.5f});
    EXPECT_EQ(c.at(2, 2)[0], 128);  // premultiplied
    EXPECT_EQ(c.alpha(2, 2), 128);
    EXPECT_EQ(c.alpha(5, 5), 128);
    EXPECT_EQ(c.alpha(6, 5), 0);
    EXPECT_EQ(c.alpha(1, 2), 0);
    // An edge through the middle of a pixel covers half of it.
    c.ctx.fillRect(CGRectMake(7.5f, 0, 2, 1), Color::whiteColor());
    EXPECT_NEAR(c.alpha(7, 0), 128, 2);
    EXPECT_EQ(c.alpha(8, 0), 255);
    // Source over: white over the translucent red.
    c.ctx.fillRect(CGRectMake(2, 2, 1, 1), Color::whiteColor());
    EXPECT_EQ(c.at(2, 2)[1], 255);
}

TEST(DrawingContext, DrawsAtItsScale) {
    Canvas c(8, 8, 2);
    EXPECT_FLOAT_EQ(c.ctx.size().width, 4);
    c.ctx.fillRect(CGRectMake(1, 1, 1, 1), Color::whiteColor());
    EXPECT_EQ(c.alpha(2, 2), 255);
    EXPECT_EQ(c.alpha(3, 3), 255);
    EXPECT_EQ(c.alpha(4, 4), 0);
    EXPECT_EQ(c.alpha(1, 1), 0);
}

TEST(DrawingContext, RoundedRectanglesLeaveTheirCornersEmpty) {
    Canvas c(40, 40);
    c.ctx.fillRoundedRect(CGRectMake(0, 0, 40, 40), 10, Color::whiteColor());
    EXPECT_EQ(c.alpha(0, 0), 0);
    EXPECT_EQ(c.alpha(20, 20), 255);
    EXPECT_EQ(c.alpha(20, 0), 255);
    EXPECT_EQ(c.alpha(0, 20), 255);
    // On the arc itself, part covered.
    const int edge = c.alpha(3, 2);
    EXPECT_GT(edge, 0);
    EXPECT_LT(edge, 255);
    // A stroke covers a band inside the edge and leaves the middle alone.
    Canvas s(20, 20);
    s.ctx.strokeRoundedRect(CGRectMake(0, 0, 20, 20), 0, 2, Color::whiteColor());
    EXPECT_EQ(s.alpha(0, 10), 255);
    EXPECT_EQ(s.alpha(1, 10), 255);
    EXPECT_EQ(s.alpha(2, 10), 0);
    EXPECT_EQ(s.alpha(10, 10), 0);
}

TEST(DrawingContext, GradientsReachTheirEndColoursAndOnlyExtendWhenAsked) {
    const host::LinearGradient g{{Color::redColor(), 0}, {Color::blueColor(), 1}};
    Canvas c(4, 100);
    c.ctx.clipToRect(CGRectMake(0, 0, 2, 100));
    c.ctx.drawLinearGradient(g, CGPointMake(0, 10), CGPointMake(0, 90), host::kGradientDrawsBeforeStartLocation);
    EXPECT_EQ(c.at(0, 0)[0], 255);  // before the start: the first colour
    EXPECT_NEAR(c.at(0, 10)[0], 255, 3);
    EXPECT_NEAR(c.at(0, 50)[0], 127, 3);
    EXPECT_NEAR(c.at(0, 50)[2], 127, 3);
    EXPECT_NEAR(c.at(0, 89)[2], 255, 4);
    EXPECT_EQ(c.alpha(0, 95), 0);  // after the end: not asked for
    EXPECT_EQ(c.alpha(3, 50), 0);  // outside the clip
    // Stops come in any order and sort themselves.
    const host::LinearGradient reversed{{Color::blueColor(), 1}, {Color::redColor(), 0}};
    EXPECT_EQ(reversed.colorAt(0), Color::redColor());
    EXPECT_EQ(reversed.colorAt(2), Color::blueColor());
}

TEST(DrawingContext, ClipsNestAndComeBack) {
    Canvas c(10, 10);
    c.ctx.saveState();
    c.ctx.clipToRect(CGRectMake(0, 0, 5, 10));
    c.ctx.saveState();
    c.ctx.clipToRect(CGRectMake(3, 0, 7, 10));
    c.ctx.fillRect(CGRectMake(0, 0, 10, 1), Color::whiteColor());
    c.ctx.restoreState();
    c.ctx.fillRect(CGRectMake(0, 1, 10, 1), Color::whiteColor());
    c.ctx.restoreState();
    c.ctx.fillRect(CGRectMake(0, 2, 10, 1), Color::whiteColor());
    EXPECT_EQ(c.alpha(2, 0), 0);
    EXPECT_EQ(c.alpha(3, 0), 255);
    EXPECT_EQ(c.alpha(5, 0), 0);
    EXPECT_EQ(c.alpha(0, 1), 255);
    EXPECT_EQ(c.alpha(5, 1), 0);
    EXPECT_EQ(c.alpha(9, 2), 255);
}

TEST(DrawingContext, ImagesScaleIntoTheirRectanglePremultiplied) {
    // 2 x 2: opaque red, opaque green / half-transparent blue, clear.
    const uint8_t px[] = {255, 0, 0, 255, 0, 255, 0, 255, 0, 0, 255, 128, 0, 0, 0, 0};
    host::Ref<host::Image> image = host::Image::imageWithPixels(px, 2, 2, 4);
    ASSERT_TRUE(image);
    Canvas c(8, 8);
    c.ctx.drawImage(*image, CGRectMake(0, 0, 8, 8));
    EXPECT_EQ(c.at(0, 0)[0], 255);
    EXPECT_EQ(c.at(7, 0)[1], 255);
    EXPECT_NEAR(c.at(0, 7)[2], 128, 2);  // premultiplied by its alpha
    EXPECT_NEAR(c.alpha(0, 7), 128, 2);
    EXPECT_EQ(c.alpha(7, 7), 0);
    // Darkened and faded on request.
    Canvas d(2, 2);
    d.ctx.drawImage(*image, CGRectMake(0, 0, 2, 2), 0.5f, 0.5f);
    EXPECT_NEAR(d.at(0, 0)[0], 64, 2);
    EXPECT_NEAR(d.alpha(0, 0), 128, 2);
}

TEST(DrawingContext, TextStaysInItsBoxInItsColour) {
    host::Ref<host::Font> font = host::Font::boldSystemFont(20);
    ASSERT_TRUE(font);
    Canvas c(200, 80);
    const CGSize used = c.ctx.drawText("Hi there", *font, CGRectMake(20, 20, 150, 40), host::kTextLineBreakModeWordWrap,
                                       host::kTextAlignmentLeft, Color::greenColor(), 1, true);
    EXPECT_GT(used.width, 40);
    EXPECT_LE(used.height, 40);
    int inside = 0;
    for (int y = 0; y < 80; ++y)
        for (int x = 0; x < 200; ++x) {
            const uint8_t* p = c.at(x, y);
            if (!p[3]) continue;
            EXPECT_TRUE(x >= 20 && x < 170 && y >= 20 && y < 60) << x << ", " << y;
            EXPECT_EQ(p[0], 0);
            EXPECT_EQ(p[2], 0);
            ++inside;
        }
    EXPECT_GT(inside, 100);

    // One line at most: a text that would wrap takes one line's height.
    Canvas lines(100, 200);
    const CGSize one = lines.ctx.drawText("many words that will wrap round", *font, CGRectMake(0, 0, 100, 200),
                                          host::kTextLineBreakModeWordWrap, host::kTextAlignmentLeft,
                                          Color::whiteColor(), 1);
    const CGSize all = lines.ctx.drawText("many words that will wrap round", *font, CGRectMake(0, 0, 100, 200),
                                          host::kTextLineBreakModeWordWrap, host::kTextAlignmentLeft,
                                          Color::whiteColor(), 0);
    EXPECT_NEAR(one.height, font->lineHeight(), 1);
    EXPECT_GT(all.height, 2 * font->lineHeight());
}

TEST(DrawingContext, AMaskKeepsOnlyTheRoundedShape) {
    Canvas c(20, 20);
    c.ctx.fillRect(CGRectMake(0, 0, 20, 20), Color::whiteColor());
    c.ctx.maskToRoundedRect(CGRectMake(0, 0, 20, 20), 8);
    EXPECT_EQ(c.alpha(0, 0), 0);
    EXPECT_EQ(c.at(0, 0)[0], 0);
    EXPECT_EQ(c.alpha(10, 10), 255);
    EXPECT_EQ(c.alpha(10, 0), 255);
}

}  // namespace
