// Overlay views drawn for real: GL ES 1.1 on Mesa, read back from the
// presentation target (what the player sees and what a screenshot
// records), in interface pixels with the origin at the top left.
#include <gtest/gtest.h>

#include <vector>

#include "OverlayTestSupport.h"
#include "RenderFixture.h"
#include "host/core/Clock.h"
#include "host/display/Display.h"
#include "host/graphics/DrawingContext.h"
#include "host/graphics/Image.h"
#include "host/ui/ImageView.h"
#include "host/ui/Label.h"
#include "host/ui/OverlayRenderer.h"
#include "host/ui/ViewAnimation.h"
#include "host/ui/Window.h"

namespace {

using host::Color;
using host::View;

// The house advert's background: a two-stop vertical gradient, the first
// colour extended before the start.
class GradientView : public View {
public:
    void drawRect(host::DrawingContext& ctx, CGRect rect) override {
        const host::LinearGradient g{{Color{183 / 255.f, 192 / 255.f, 202 / 255.f, 1}, 0},
                                     {Color{115 / 255.f, 131 / 255.f, 162 / 255.f, 0.97f}, 1}};
        ctx.drawLinearGradient(g, CGPointMake(rect.size.width / 2, 0), CGPointMake(rect.size.width / 2, rect.size.height),
                               host::kGradientDrawsBeforeStartLocation);
    }
};

class OverlayRenderTest : public RenderFixture {
protected:
    void SetUp() override {
        RenderFixture::SetUp();
        host::Clock::setFixedStep(true);
        host::ViewAnimator::shared().cancelAll();
        window_ = host::Ref<host::Window>::adopt(host::createOwned<host::Window>(
            [](host::Window* w) { return w->initWithFrame(CGRectMake(0, 0, 320, 480)); }));
        glView_ = director_->openGLView();
        window_->addSubview(glView_);
        window_->makeKeyAndVisible();
    }
    void TearDown() override {
        host::ViewAnimator::shared().cancelAll();
        spare_.reset();
        window_.reset();
        host::Clock::setFixedStep(false);
        RenderFixture::TearDown();
    }
    // Draws a frame and reads what was presented.
    void present() {
        frame();
        ASSERT_TRUE(host::Display::shared().readPresentedPixels(&pixels_));
        width_ = host::Display::shared().interfaceWidth();
    }
    ccColor4B shown(int x, int y) const {
        const uint8_t* p = pixels_.data() + (size_t(y) * size_t(width_) + size_t(x)) * 4;
        return ccColor4B{p[0], p[1], p[2], p[3]};
    }
    View* addView(CGRect frame, Color background, View* parent = nullptr) {
        View* v = View::viewWithFrame(frame);
        v->setBackgroundColor(background);
        (parent ? parent : glView_)->addSubview(v);
        return v;
    }
    // A container for transitions showing a red face now; the blue face,
    // kept aside, is for after.
    View* cardWithFaces(CGRect frame, View** red, View** blue) {
        View* card = addView(frame, Color::clearColor());
        *red = addView(CGRectMake(0, 0, frame.size.width, frame.size.height), Color::redColor(), card);
        spare_ = View::viewWithFrame(CGRectMake(0, 0, frame.size.width, frame.size.height));
        spare_->setBackgroundColor(Color::blueColor());
        *blue = spare_.get();
        return card;
    }
    void advance(double seconds) { host::Clock::advanceTo(host::Clock::now() + seconds); }

    host::Ref<host::Window> window_;
    host::Ref<View> spare_;
    EAGLView* glView_ = nullptr;
    std::vector<unsigned char> pixels_;
    int width_ = 0;
};

const ccColor3B kBlack{0, 0, 0}, kRed{255, 0, 0}, kBlue{0, 0, 255}, kGreen{0, 200, 0}, kWhite{255, 255, 255};

TEST_F(OverlayRenderTest, ViewsLandAtTheirInterfacePointsFromTheTopLeft) {
    EXPECT_EQ(host::Display::shared().interfaceWidth(), 480);
    addView(CGRectMake(10, 20, 30, 40), Color::redColor());
    addView(CGRectMake(440, 300, 40, 20), Color::blueColor());  // the bottom right corner
    present();
    EXPECT_TRUE(rgbNear(shown(10, 20), kRed));
    EXPECT_TRUE(rgbNear(shown(39, 59), kRed));
    EXPECT_TRUE(rgbNear(shown(40, 20), kBlack));
    EXPECT_TRUE(rgbNear(shown(10, 60), kBlack));
    EXPECT_TRUE(rgbNear(shown(479, 319), kBlue));
    EXPECT_TRUE(rgbNear(shown(439, 319), kBlack));
}

TEST_F(OverlayRenderTest, AlphaAndTransformsApplyWhenComposited) {
    View* half = addView(CGRectMake(0, 0, 20, 20), Color::whiteColor());
    half->setAlpha(0.5f);
    View* bar = addView(CGRectMake(250, 90, 100, 20), Color::whiteColor());  // centre (300, 100)
    bar->setTransform(CGAffineTransformMakeRotation(3.14159265f / 2));
    present();
    EXPECT_TRUE(rgbNear(shown(10, 10), ccColor3B{128, 128, 128}, 3));
    EXPECT_TRUE(rgbNear(shown(300, 60), kWhite));   // now upright
    EXPECT_TRUE(rgbNear(shown(260, 100), kBlack));  // where it lay before
}

TEST_F(OverlayRenderTest, ALabelDrawsItsTextInItsColourCentredVertically) {
    host::Label* label = host::Label::labelWithFrame(CGRectMake(20, 20, 200, 100));
    label->setText("HHHH");
    label->setFont(host::Font::boldSystemFont(30).get());
    label->setTextColor(Color::redColor());
    label->setBackgroundColor(Color::clearColor());
    glView_->addSubview(label);
    present();
    int count = 0, top = 1000, bottom = -1;
    for (int y = 0; y < 160; ++y)
        for (int x = 0; x < 260; ++x) {
            const ccColor4B c = shown(x, y);
            if (c.r < 200 || c.g > 60) continue;
            ++count;
            top = std::min(top, y);
            bottom = std::max(bottom, y);
            EXPECT_TRUE(x >= 20 && x < 220 && y >= 20 && y < 120) << "text outside the label at " << x << ", " << y;
        }
    EXPECT_GT(count, 200);
    // Capitals sit a little above the line's middle; the line is centred.
    EXPECT_NEAR((top + bottom) / 2.0, 70, 6);
}

host::Image* solidImage(int w, int h, ccColor3B c) {
    std::vector<uint8_t> px(size_t(w) * size_t(h) * 3);
    for (size_t i = 0; i < px.size(); i += 3) {
        px[i] = c.r;
        px[i + 1] = c.g;
        px[i + 2] = c.b;
    }
    return host::Image::imageWithPixels(px.data(), uint32_t(w), uint32_t(h), 3);
}

TEST_F(OverlayRenderTest, AnImageViewWithRoundedCornersIsCutToThem) {
    host::ImageView* rounded = host::ImageView::imageViewWithImage(solidImage(40, 40, kGreen));
    EXPECT_TRUE(rectNear(rounded->frame(), CGRectMake(0, 0, 40, 40)));
    rounded->setCenter(CGPointMake(120, 120));
    rounded->setCornerRadius(10);
    rounded->setClipsToBounds(true);
    glView_->addSubview(rounded);
    host::ImageView* square = host::ImageView::imageViewWithImage(solidImage(40, 40, kGreen));
    square->setCenter(CGPointMake(220, 120));
    square->setCornerRadius(10);  // without clipping the image keeps its corners
    glView_->addSubview(square);
    // An image that could not be loaded shows nothing and breaks nothing.
    glView_->addSubview(host::ImageView::imageViewWithImage(nullptr));
    present();
    EXPECT_TRUE(rgbNear(shown(100, 100), kBlack));
    EXPECT_TRUE(rgbNear(shown(120, 120), kGreen));
    EXPECT_TRUE(rgbNear(shown(100, 120), kGreen));
    EXPECT_TRUE(rgbNear(shown(120, 100), kGreen));
    EXPECT_TRUE(rgbNear(shown(200, 100), kGreen));
}

TEST_F(OverlayRenderTest, ADrawRectGradientRunsFromItsFirstColourToItsLast) {
    GradientView* g = host::create<GradientView>([](GradientView* v) { return v->initWithFrame(CGRectMake(0, 200, 320, 50)); });
    glView_->addSubview(g);
    present();
    EXPECT_TRUE(rgbNear(shown(160, 200), ccColor3B{183, 192, 202}, 3));
    // The last row: nearly the end colour at alpha 0.97, over black.
    EXPECT_TRUE(rgbNear(shown(160, 249), ccColor3B{112, 128, 158}, 4));
    const ccColor4B mid = shown(160, 225);
    EXPECT_GT(mid.r, 112);
    EXPECT_LT(mid.r, 183);
}

TEST_F(OverlayRenderTest, SubviewsAreCutToAClippingParentEvenWhenItTurns) {
    View* upright = addView(CGRectMake(200, 200, 40, 40), Color::clearColor());
    upright->setClipsToBounds(true);
    addView(CGRectMake(-20, -20, 80, 80), Color::blueColor(), upright);
    View* turned = addView(CGRectMake(330, 230, 60, 60), Color::clearColor());  // centre (360, 260)
    turned->setClipsToBounds(true);
    turned->setCornerRadius(4);
    turned->setTransform(CGAffineTransformMakeRotation(3.14159265f / 4));
    addView(CGRectMake(-30, -30, 120, 120), Color::blueColor(), turned);
    present();
    EXPECT_TRUE(rgbNear(shown(195, 220), kBlack));
    EXPECT_TRUE(rgbNear(shown(220, 220), kBlue));
    EXPECT_TRUE(rgbNear(shown(335, 235), kBlack));  // off the turned square's edge
    EXPECT_TRUE(rgbNear(shown(360, 224), kBlue));   // towards its top corner
    EXPECT_TRUE(rgbNear(shown(360, 260), kBlue));
}

TEST_F(OverlayRenderTest, SteadyFramesDrawNoContentAgain) {
    host::Label* label = host::Label::labelWithFrame(CGRectMake(0, 0, 100, 30));
    label->setText("Score");
    glView_->addSubview(label);
    GradientView* g = host::create<GradientView>([](GradientView* v) { return v->initWithFrame(CGRectMake(0, 40, 100, 30)); });
    glView_->addSubview(g);
    present();
    host::OverlayRenderer& renderer = host::OverlayRenderer::shared();
    const unsigned long drawn = renderer.contentRenders();
    for (int i = 0; i < 5; ++i) present();
    EXPECT_EQ(renderer.contentRenders(), drawn);
    // Moving and fading do not draw the content again; new text and a new
    // size do, once each.
    label->setCenter(CGPointMake(200, 200));
    label->setAlpha(0.5f);
    present();
    EXPECT_EQ(renderer.contentRenders(), drawn);
    label->setText("Score 1");
    present();
    present();
    EXPECT_EQ(renderer.contentRenders(), drawn + 1);
    g->setBounds(CGRectMake(0, 0, 120, 30));
    present();
    EXPECT_EQ(renderer.contentRenders(), drawn + 2);
}

TEST_F(OverlayRenderTest, AFlipTurnsTheOldContentAwayAndTheNewIn) {
    View *red, *blue;
    View* card = cardWithFaces(CGRectMake(100, 100, 200, 100), &red, &blue);
    present();
    View::beginAnimations("flip", nullptr);
    View::setAnimationDuration(1);
    View::setAnimationCurve(host::kAnimationCurveLinear);
    View::setAnimationTransition(host::kAnimationTransitionFlipFromRight, card, true);
    red->removeFromSuperview();
    card->addSubview(blue);
    View::commitAnimations();

    advance(0.25);
    present();
    EXPECT_TRUE(rgbNear(shown(200, 150), ccColor3B{200, 0, 0}, 60));  // old, shaded as it turns
    EXPECT_TRUE(rgbNear(shown(105, 150), kBlack));  // narrower than flat
    EXPECT_TRUE(rgbNear(shown(295, 150), kBlack));
    EXPECT_TRUE(rgbNear(shown(285, 104), kBlack));  // the nearer edge is taller...
    EXPECT_GT(shown(270, 101).r, 100);              // ...and reaches above the flat top
    advance(0.5);
    present();
    EXPECT_GT(shown(200, 150).b, 120);  // new content coming round
    EXPECT_LT(shown(200, 150).r, 20);
    advance(0.3);
    present();
    EXPECT_TRUE(rgbNear(shown(105, 150), kBlue));
    EXPECT_TRUE(rgbNear(shown(200, 150), kBlue));
}

TEST_F(OverlayRenderTest, ACurlUncoversTheNewContentFromTheBottomUp) {
    View *red, *blue;
    View* card = cardWithFaces(CGRectMake(100, 100, 200, 100), &red, &blue);
    present();
    View::transitionWithView(card, 1, host::kAnimationOptionTransitionCurlUp | host::kAnimationOptionCurveLinear,
                             [&] {
                                 red->removeFromSuperview();
                                 card->addSubview(blue);
                             },
                             {});
    // Early on only the front of the page has turned: the flat part is
    // untouched, the roll darker where it turns away.
    advance(0.2);
    present();
    EXPECT_TRUE(rgbNear(shown(200, 104), kRed));
    EXPECT_TRUE(rgbNear(shown(200, 170), kRed));
    EXPECT_LT(shown(200, 195).r, 235);
    EXPECT_GT(shown(200, 195).r, 60);
    EXPECT_TRUE(rgbNear(shown(200, 199), kBlue, 90));
    advance(0.3);
    present();
    EXPECT_TRUE(rgbNear(shown(200, 104), kRed));   // still lying flat at the top
    EXPECT_TRUE(rgbNear(shown(200, 196), kBlue));  // uncovered at the bottom
    // The roll shows the page's paler back above the uncovered part.
    bool paper = false;
    for (int y = 110; y < 190; ++y) {
        const ccColor4B c = shown(200, y);
        paper |= c.g > 150 && c.r > 150;
    }
    EXPECT_TRUE(paper);
    // Nothing of the curl spills out of the card.
    for (int x = 95; x < 305; x += 5) EXPECT_TRUE(rgbNear(shown(x, 98), kBlack)) << x;
}

TEST_F(OverlayRenderTest, ACurlDownBringsTheNewPageDownFromTheTop) {
    View *red, *blue;
    View* card = cardWithFaces(CGRectMake(100, 100, 200, 100), &red, &blue);
    present();
    View::transitionWithView(card, 1, host::kAnimationOptionTransitionCurlDown | host::kAnimationOptionCurveLinear,
                             [&] {
                                 red->removeFromSuperview();
                                 card->addSubview(blue);
                             },
                             {});
    advance(0.6);
    present();
    EXPECT_TRUE(rgbNear(shown(200, 103), kBlue));
    EXPECT_TRUE(rgbNear(shown(200, 197), kRed));
}

TEST_F(OverlayRenderTest, AViewTooLargeForTheGLIsLeftOutWithoutHarm) {
    host::Label* huge = host::Label::labelWithFrame(CGRectMake(0, 0, 40000, 20));
    huge->setText("wide");
    glView_->addSubview(huge);
    addView(CGRectMake(0, 40, 10, 10), Color::redColor());
    present();
    EXPECT_TRUE(rgbNear(shown(5, 45), kRed));
}

}  // namespace
