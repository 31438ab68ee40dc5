// Render textures on the real GL: the storage a double-resolution screen
// gets, reading back in every format (upright, straight alpha in image
// files), the framebuffer and viewport given back after drawing (the
// screen is a framebuffer object itself), the node showing its texture,
// and the failures: sizes, formats and paths that cannot be honoured.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "LogCapture.h"
#include "RenderFixture.h"
#include "ScratchDirectory.h"
#include "engine/CCLayer.h"
#include "engine/CCRenderTexture.h"
#include "engine/CCSprite.h"
#include "host/graphics/Image.h"

namespace {

class RenderTextureTest : public RenderFixture {
protected:
    static GLint boundFramebuffer() {
        GLint fbo = 0;
        glGetIntegerv(GL_FRAMEBUFFER_BINDING_OES, &fbo);
        return fbo;
    }
    static std::vector<GLint> viewport() {
        std::vector<GLint> v(4);
        glGetIntegerv(GL_VIEWPORT, v.data());
        return v;
    }
    // Draws a colour layer of w x h points at the origin into `rt`.
    static void fill(CCRenderTexture* rt, float w, float h, ccColor4B colour) {
        rt->begin();
        CCLayerColor::layerWithColor(colour, w, h)->visit();
        rt->end();
    }
    static ccColor4B imagePixel(const host::Image* image, unsigned x, unsigned y) {
        const size_t channels = size_t(image->channels());  // 3 for JPEG
        const uint8_t* p = &image->pixels()[(size_t(y) * image->width() + x) * channels];
        return ccColor4B{p[0], p[1], p[2], channels == 4 ? p[3] : uint8_t(255)};
    }
    static std::vector<uint8_t> readFile(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
};

// The director at content scale 2 for one test (the surface stays as it
// is: render textures only read the director's sizes).
class DoubleResolution {
public:
    explicit DoubleResolution(CCDirectorIOS* d) : director_(d) { director_->setContentScaleFactor(2); }
    ~DoubleResolution() { director_->setContentScaleFactor(1); }

private:
    CCDirectorIOS* director_;
};

const ccColor4B kRed{255, 0, 0, 255};
const ccColor4B kGreen{0, 255, 0, 255};
const ccColor4B kBlue{0, 0, 255, 255};

}  // namespace

TEST_F(RenderTextureTest, ADoubleResolutionTextureReadsBackUprightInEveryFormat) {
    DoubleResolution retina(director_);
    CCRenderTexture* rt = CCRenderTexture::renderTextureWithWidth(480, 320);
    ASSERT_NE(rt, nullptr);
    CCTexture2D* texture = rt->texture();
    EXPECT_EQ(texture->pixelsWide(), 1024u);
    EXPECT_EQ(texture->pixelsHigh(), 1024u);
    EXPECT_EQ(texture->contentSizeInPixels().width, 960);
    EXPECT_EQ(texture->contentSizeInPixels().height, 640);
    EXPECT_EQ(rt->sprite()->texture(), texture);
    EXPECT_EQ(rt->sprite()->scaleY(), -1) << "GL rows go up; the sprite turns them back";

    rt->clear(1, 0, 0, 1);
    std::vector<uint8_t> raw;
    ASSERT_TRUE(rt->getUIImageAsDataFromBuffer(kCCRenderTextureImageFormatRawRGBA, &raw));
    ASSERT_EQ(raw.size(), size_t(960) * 640 * 4);
    size_t notRed = 0;
    for (size_t i = 0; i < raw.size(); i += 4)
        if (raw[i] != 255 || raw[i + 1] != 0 || raw[i + 2] != 0 || raw[i + 3] != 255) ++notRed;
    EXPECT_EQ(notRed, 0u);

    // Green over the bottom quarter (in points: 480 x 80): image files
    // have it in their last rows.
    fill(rt, 480, 80, kGreen);
    ASSERT_TRUE(rt->getUIImageAsDataFromBuffer(kCCRenderTextureImageFormatRawRGBA, &raw));
    EXPECT_EQ(raw[0], 255) << "raw rows are top first";
    EXPECT_EQ(raw[(size_t(639) * 960) * 4 + 1], 255);

    for (int format : {kCCRenderTextureImageFormatPNG, kCCRenderTextureImageFormatJPEG}) {
        SCOPED_TRACE(format == kCCRenderTextureImageFormatPNG ? "PNG" : "JPEG");
        const int tolerance = format == kCCRenderTextureImageFormatPNG ? 0 : 6;
        std::vector<uint8_t> encoded;
        ASSERT_TRUE(rt->getUIImageAsDataFromBuffer(format, &encoded));
        host::Image* image = host::Image::imageWithData(encoded.data(), encoded.size());
        ASSERT_NE(image, nullptr);
        ASSERT_EQ(image->width(), 960u);
        ASSERT_EQ(image->height(), 640u);
        EXPECT_TRUE(rgbNear(imagePixel(image, 10, 10), ccc3(255, 0, 0), tolerance));
        EXPECT_TRUE(rgbNear(imagePixel(image, 950, 470), ccc3(255, 0, 0), tolerance));
        EXPECT_TRUE(rgbNear(imagePixel(image, 10, 630), ccc3(0, 255, 0), tolerance));
        EXPECT_TRUE(rgbNear(imagePixel(image, 950, 490), ccc3(0, 255, 0), tolerance));
    }
    host::Image* upright = rt->getUIImageFromBuffer();
    ASSERT_NE(upright, nullptr);
    EXPECT_TRUE(colorNear(imagePixel(upright, 0, 0), kRed, 0));
    EXPECT_TRUE(colorNear(imagePixel(upright, 959, 639), kGreen, 0));
}

TEST_F(RenderTextureTest, ImageFilesGetStraightAlphaAndRawBytesStayPremultiplied) {
    CCRenderTexture* rt = CCRenderTexture::renderTextureWithWidth(8, 8);
    ASSERT_NE(rt, nullptr);
    rt->clear(0.5f, 0, 0, 0.5f);  // half-covering red, premultiplied
    std::vector<uint8_t> bytes;
    ASSERT_TRUE(rt->getUIImageAsDataFromBuffer(kCCRenderTextureImageFormatRawRGBA, &bytes));
    EXPECT_NEAR(bytes[0], 128, 1);
    EXPECT_NEAR(bytes[3], 128, 1);
    ASSERT_TRUE(rt->getUIImageAsDataFromBuffer(kCCRenderTextureImageFormatPNG, &bytes));
    host::Image* image = host::Image::imageWithData(bytes.data(), bytes.size());
    ASSERT_NE(image, nullptr);
    EXPECT_TRUE(colorNear(imagePixel(image, 3, 3), ccc4(255, 0, 0, 128), 2));
}

TEST_F(RenderTextureTest, DrawingGivesBackTheFramebufferViewportAndClearColourItFound) {
    CCRenderTexture* outer = CCRenderTexture::renderTextureWithWidth(64, 32);
    CCRenderTexture* inner = CCRenderTexture::renderTextureWithWidth(16, 16);
    ASSERT_TRUE(outer && inner);
    const GLint screen = boundFramebuffer();
    ASSERT_NE(screen, 0) << "the screen of this host is a framebuffer object";
    glViewport(5, 6, 100, 200);
    glClearColor(0.1f, 0.2f, 0.3f, 0.4f);

    outer->begin();
    const GLint outerFbo = boundFramebuffer();
    EXPECT_NE(outerFbo, screen);
    EXPECT_EQ(viewport(), (std::vector<GLint>{0, 0, 64, 32}));
    inner->beginWithClear(0, 1, 0, 1);
    EXPECT_EQ(viewport(), (std::vector<GLint>{0, 0, 16, 16}));
    inner->end();
    EXPECT_EQ(boundFramebuffer(), outerFbo) << "render textures nest";
    EXPECT_EQ(viewport(), (std::vector<GLint>{0, 0, 64, 32}));
    outer->end();
    EXPECT_EQ(boundFramebuffer(), screen);
    EXPECT_EQ(viewport(), (std::vector<GLint>{5, 6, 100, 200}));

    outer->clear(1, 0, 0, 1);
    GLfloat clear[4];
    glGetFloatv(GL_COLOR_CLEAR_VALUE, clear);
    EXPECT_FLOAT_EQ(clear[0], 0.1f);
    EXPECT_FLOAT_EQ(clear[1], 0.2f);
    EXPECT_FLOAT_EQ(clear[2], 0.3f);
    EXPECT_FLOAT_EQ(clear[3], 0.4f);
    EXPECT_EQ(boundFramebuffer(), screen);
    // Reading back binds the texture's framebuffer only meanwhile.
    EXPECT_NE(outer->getUIImageFromBuffer(), nullptr);
    EXPECT_EQ(boundFramebuffer(), screen);
    glViewport(0, 0, 320, 480);
}

// What is drawn at the window's pixel (x, y) lands on the texture's pixel
// (x, y), under either projection, and the node shows it upright.
TEST_F(RenderTextureTest, TheNodeShowsWhatWasDrawnIntoItUpright) {
    for (int projection : {kCCDirectorProjection2D, kCCDirectorProjection3D}) {
        SCOPED_TRACE(projection == kCCDirectorProjection2D ? "2D" : "3D");
        director_->setProjection(projection);
        CCRenderTexture* rt = CCRenderTexture::renderTextureWithWidth(320, 480);
        ASSERT_NE(rt, nullptr);
        rt->clear(0, 0, 1, 1);
        fill(rt, 320, 100, kRed);
        host::Image* image = rt->getUIImageFromBuffer();
        ASSERT_NE(image, nullptr);
        EXPECT_TRUE(colorNear(imagePixel(image, 160, 378), kBlue, 0)) << "row 101 from the bottom";
        EXPECT_TRUE(colorNear(imagePixel(image, 160, 381), kRed, 0)) << "row 98 from the bottom";

        rt->setPosition(CGPointMake(160, 240));
        scene_->addChild(rt);
        frame();
        EXPECT_TRUE(rgbNear(pixelAt(160, 50), ccc3(255, 0, 0)));
        EXPECT_TRUE(rgbNear(pixelAt(160, 300), ccc3(0, 0, 255)));
        scene_->removeChild(rt, true);
    }
    director_->setProjection(kCCDirectorProjection2D);
}

TEST_F(RenderTextureTest, SizesAndFormatsItCannotHonourGiveNilAndOneLogLine) {
    struct Bad {
        int w, h;
        CCTexture2DPixelFormat format;
    };
    const Bad cases[] = {
        {0, 0, kCCTexture2DPixelFormat_RGBA8888},        {-4, 10, kCCTexture2DPixelFormat_RGBA8888},
        {10, 0, kCCTexture2DPixelFormat_RGBA8888},       {100000, 20, kCCTexture2DPixelFormat_RGBA8888},
        {INT_MAX, INT_MAX, kCCTexture2DPixelFormat_RGBA8888}, {32, 32, kCCTexture2DPixelFormat_PVRTC4},
        {32, 32, CCTexture2DPixelFormat(99)},
    };
    for (const Bad& c : cases) {
        SCOPED_TRACE(std::to_string(c.w) + " x " + std::to_string(c.h) + " format " + std::to_string(c.format));
        LogCapture log;
        EXPECT_EQ(CCRenderTexture::renderTextureWithWidth(c.w, c.h, c.format), nullptr);
        EXPECT_TRUE(log.exactlyOneLine());
    }
    GLint screen = 0;
    glGetIntegerv(GL_FRAMEBUFFER_BINDING_OES, &screen);
    EXPECT_NE(screen, 0) << "a refused render texture leaves the screen bound";

    CCRenderTexture* rt = CCRenderTexture::renderTextureWithWidth(4, 4);
    ASSERT_NE(rt, nullptr);
    LogCapture log;
    std::vector<uint8_t> bytes;
    EXPECT_FALSE(rt->getUIImageAsDataFromBuffer(3, &bytes));
    EXPECT_TRUE(bytes.empty());
    EXPECT_TRUE(log.exactlyOneLine());
}

TEST_F(RenderTextureTest, SavingWritesTheWholeFileOrNothing) {
    ScratchDirectory dir;
    CCRenderTexture* rt = CCRenderTexture::renderTextureWithWidth(40, 30);
    ASSERT_NE(rt, nullptr);
    rt->clear(0, 0, 1, 1);

    const std::string png = dir.file("canvas.png");
    ASSERT_TRUE(rt->saveBuffer(png, kCCRenderTextureImageFormatPNG));
    const std::vector<uint8_t> written = readFile(png);
    host::Image* image = host::Image::imageWithData(written.data(), written.size());
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->width(), 40u);
    EXPECT_TRUE(colorNear(imagePixel(image, 5, 5), kBlue, 0));
    const std::string jpeg = dir.file("canvas.jpg");
    ASSERT_TRUE(rt->saveBuffer(jpeg)) << "JPEG unless asked otherwise";
    const std::vector<uint8_t> jpegBytes = readFile(jpeg);
    ASSERT_GE(jpegBytes.size(), 3u);
    EXPECT_EQ(jpegBytes[0], 0xFF);
    EXPECT_EQ(jpegBytes[1], 0xD8);

    struct Unwritable {
        const char* why;
        std::string path;
    };
    const std::string folderInTheWay = dir.makeFolder("taken.png");
    const Unwritable cases[] = {
        {"a missing folder", dir.file("missing/canvas.png")},
        {"a file where a folder should be", png + "/canvas.png"},
        {"a folder where the file should go", folderInTheWay},
    };
    for (const Unwritable& c : cases) {
        SCOPED_TRACE(c.why);
        LogCapture log;
        EXPECT_FALSE(rt->saveBuffer(c.path, kCCRenderTextureImageFormatPNG));
        EXPECT_TRUE(log.exactlyOneLine());
    }
    // Nothing but the two saved files and the folder that was in the way:
    // no partial or temporary file anywhere.
    std::vector<std::string> left;
    for (const auto& e : std::filesystem::recursive_directory_iterator(dir.path()))
        left.push_back(e.path().filename().string());
    std::sort(left.begin(), left.end());
    EXPECT_EQ(left, (std::vector<std::string>{"canvas.jpg", "canvas.png", "taken.png"}));
    EXPECT_EQ(readFile(png), written) << "the failed saves left the earlier file alone";
}
