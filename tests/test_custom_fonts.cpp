#include <gtest/gtest.h>

#include <string>

#include "ScratchDirectory.h"
#include "TextTestSupport.h"
#include "host/core/Bundle.h"
#include "host/text/CustomFontManager.h"
#include "host/text/Font.h"
#include "host/text/TextRenderer.h"

using host::CustomFontManager;
using host::Font;

namespace {
int lineCount(const std::string& text) {
    int lines = 0;
    for (char c : text) lines += c == '\n';
    return lines;
}

// A manager over a fonts folder the test fills.
class CustomFonts : public ::testing::Test {
protected:
    void SetUp() override {
        fonts_ = dir_.makeFolder("fonts");
        ASSERT_TRUE(dir_.copyIn(kLiberationSans, "fonts/Scoreboard.ttf"));
        ASSERT_TRUE(dir_.copyIn(kNimbusSansOTF, "fonts/Brand.OTF"));
        ASSERT_TRUE(dir_.copyIn(kDejaVuSansBold, "fonts/a-heavy.ttf"));
        ASSERT_TRUE(dir_.copyIn(kDejaVuSans, "fonts/b-plain.ttf"));
    }
    // Scans the folder; returns what it logged.
    std::string load() {
        ::testing::internal::CaptureStderr();
        manager_ = host::Ref<CustomFontManager>::adopt(host::createOwned<CustomFontManager>(
            [&](CustomFontManager* m) { return m->initWithDirectory(fonts_); }));
        return ::testing::internal::GetCapturedStderr();
    }

    ScratchDirectory dir_;
    std::string fonts_;
    host::Ref<CustomFontManager> manager_;
};
}  // namespace

TEST_F(CustomFonts, FindsFontsByFileNameWithOrWithoutExtensionAndByTheNamesInside) {
    EXPECT_EQ(load(), "");
    for (const char* name : {"Scoreboard.ttf", "Scoreboard", "scoreboard", "Liberation Sans", "LiberationSans"}) {
        host::Ref<Font> font = manager_->fontWithName(name, 20);
        ASSERT_TRUE(font) << name;
        EXPECT_EQ(font->kind(), Font::Kind::Custom);
        EXPECT_EQ(font->familyName(), "Liberation Sans");
        EXPECT_EQ(font->name(), name);
        EXPECT_FLOAT_EQ(font->size(), 20);
        EXPECT_EQ(font->file().path, fonts_ + "/Scoreboard.ttf");
    }
    host::Ref<Font> otf = manager_->fontWithName("Brand", 12);
    ASSERT_TRUE(otf);
    EXPECT_EQ(otf->familyName(), "Nimbus Sans");
    EXPECT_FALSE(manager_->fontWithName("Marker Felt", 20));
    EXPECT_FALSE(manager_->fontWithName("", 20));
    EXPECT_FALSE(manager_->fontWithName("Scoreboard", 0));
}

TEST_F(CustomFonts, AFamilyNameFindsTheRegularStyle) {
    load();
    host::Ref<Font> font = manager_->fontWithName("DejaVu Sans", 14);
    ASSERT_TRUE(font);
    EXPECT_EQ(font->file().path, fonts_ + "/b-plain.ttf");  // although the bold file sorts first
    EXPECT_EQ(manager_->fontWithName("DejaVuSans-Bold", 14)->file().path, fonts_ + "/a-heavy.ttf");
    EXPECT_EQ(manager_->familyNames(),
              (std::vector<std::string>{"Nimbus Sans", "Liberation Sans", "DejaVu Sans", "DejaVu Sans"}));
}

TEST_F(CustomFonts, MeasuresAndDrawsLikeTheSameFileAsASystemFont) {
    load();
    host::Ref<Font> custom = manager_->fontWithName("Scoreboard", 18);
    host::Ref<Font> system = Font::systemFont("Arial", 18);  // the same Liberation Sans
    ASSERT_TRUE(custom && system);
    const CGSize size = manager_->sizeOfString("Score: 0", *custom);
    EXPECT_EQ(size.width, system->sizeOfString("Score: 0").width);
    EXPECT_EQ(size.height, system->sizeOfString("Score: 0").height);

    TestBitmap a(128, 64), b(128, 64);
    manager_->drawString("Score: 0 and more", CGRectMake(4, 2, 100, 60), *custom, 0, 1, a.target());
    host::drawText(*system, "Score: 0 and more", CGRectMake(4, 2, 100, 60), 0, 1, b.target());
    EXPECT_GT(a.total(), 0);
    EXPECT_EQ(a.bytes, b.bytes);
}

TEST_F(CustomFonts, FilesThatAreNoFontAreSkippedWithOneLogLineEach) {
    dir_.write("fonts/Broken.ttf", std::string(4096, '\x5A'));
    dir_.write("fonts/Empty.otf", "");
    dir_.write("fonts/README.txt", "not a font, not even looked at");
    dir_.makeFolder("fonts/Folder.ttf");
    const std::string logged = load();
    EXPECT_EQ(lineCount(logged), 2) << logged;
    EXPECT_NE(logged.find("Broken.ttf"), std::string::npos) << logged;
    EXPECT_NE(logged.find("Empty.otf"), std::string::npos) << logged;
    EXPECT_FALSE(manager_->fontWithName("Broken", 12));
    EXPECT_FALSE(manager_->fontWithName("Empty", 12));
    EXPECT_FALSE(manager_->fontWithName("Folder", 12));
    EXPECT_FALSE(manager_->fontWithName("README", 12));
    EXPECT_TRUE(manager_->fontWithName("Scoreboard", 12));  // the good files still load
}

TEST_F(CustomFonts, AFontFileReplacedByGarbageAfterTheScanFailsWithOneLogLine) {
    load();
    dir_.write("fonts/Scoreboard.ttf", "garbage");
    ::testing::internal::CaptureStderr();
    EXPECT_FALSE(manager_->fontWithName("Scoreboard", 31));  // a size nobody opened yet
    const std::string logged = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(lineCount(logged), 1) << logged;
}

TEST_F(CustomFonts, AMissingFolderHoldsNoFonts) {
    fonts_ = dir_.path() + "/nowhere";
    EXPECT_EQ(load(), "");
    EXPECT_TRUE(manager_->familyNames().empty());
    EXPECT_FALSE(manager_->fontWithName("Scoreboard", 12));
}

TEST_F(CustomFonts, TheSharedManagerLoadsTheResourcesFontsFolder) {
    const std::string previous = host::Bundle::main().resourcePath();
    host::Bundle::main().setResourcePath(dir_.path());
    CustomFontManager::purgeSharedManager();
    EXPECT_EQ(CustomFontManager::fontsDirectory(), fonts_);
    CustomFontManager* shared = CustomFontManager::sharedManager();
    EXPECT_EQ(shared, CustomFontManager::sharedManager());
    EXPECT_TRUE(shared->fontWithName("Scoreboard", 16));
    host::Bundle::main().setResourcePath(previous);
    CustomFontManager::purgeSharedManager();
}
