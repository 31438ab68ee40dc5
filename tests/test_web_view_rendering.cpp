// The host's web view drawn over the game's frame: the page's background
// and its link text reach the presented picture.
#include <gtest/gtest.h>

#include <vector>

#include "RenderFixture.h"
#include "host/core/Object.h"
#include "host/core/Ref.h"
#include "host/display/Display.h"
#include "host/ui/Window.h"
#include "host/web/WebView.h"

namespace {

using host::WebView;

class WebViewRenderTest : public RenderFixture {
protected:
    void SetUp() override {
        RenderFixture::SetUp();
        window_ = host::Ref<host::Window>::adopt(host::createOwned<host::Window>(
            [](host::Window* w) { return w->initWithFrame(CGRectMake(0, 0, 320, 480)); }));
        window_->addSubview(director_->openGLView());
        window_->makeKeyAndVisible();
    }
    void TearDown() override {
        window_.reset();
        RenderFixture::TearDown();
    }
    host::Ref<host::Window> window_;
};

TEST_F(WebViewRenderTest, ThePageBackgroundAndBlueLinkTextAreDrawn) {
    WebView* web = WebView::webViewWithFrame(CGRectMake(0, 0, 480, 320));
    director_->openGLView()->addSubview(web);
    web->loadHTMLString("<body bgcolor=\"#00ff00\" marginwidth=0 marginheight=0><a href=\"x\"><font size=7>"
                        "WWWW</font></a></body>",
                        "");
    frame();
    std::vector<unsigned char> pixels;
    ASSERT_TRUE(host::Display::shared().readPresentedPixels(&pixels));
    const int width = host::Display::shared().interfaceWidth();
    auto at = [&](int x, int y) { return pixels.data() + (size_t(y) * size_t(width) + size_t(x)) * 4; };
    const unsigned char* corner = at(470, 300);
    EXPECT_TRUE(corner[0] < 10 && corner[1] > 245 && corner[2] < 10);
    int blue = 0;
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 200; ++x) {
            const unsigned char* p = at(x, y);
            if (p[2] > 180 && p[0] < 60 && p[1] < 60) ++blue;
        }
    EXPECT_GT(blue, 200);
}

}  // namespace
