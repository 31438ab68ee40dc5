#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "GLTestEnvironment.h"
#include "ImageFileWriters.h"
#include "LogCapture.h"
#include "ScratchDirectory.h"
#include "engine/CCContentScale.h"
#include "engine/CCSprite.h"
#include "engine/CCSpriteFrame.h"
#include "engine/CCSpriteFrameCache.h"
#include "engine/CCTexture2D.h"
#include "engine/CCTextureCache.h"
#include "host/core/Ref.h"
#include "host/data/PlistValue.h"

namespace {

using Dict = host::PlistValue::Dictionary;
using Array = host::PlistValue::Array;

// A sheet dictionary with the given frames and, for formats above 0, a
// metadata dictionary naming the format.
host::PlistValue sheet(int format, Dict frames) {
    Dict d{{"frames", std::move(frames)}};
    if (format > 0) d["metadata"] = Dict{{"format", format}};
    return d;
}

Dict format2Entry(const char* frame, const char* offset, const char* sourceSize, bool rotated) {
    return Dict{{"frame", frame}, {"offset", offset}, {"sourceSize", sourceSize}, {"rotated", rotated}};
}

class SpriteFrameCacheTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(ensureHeadlessDisplay());
        cache_ = CCSpriteFrameCache::sharedSpriteFrameCache();
        png_ = writePng("sheet.png");
    }
    void TearDown() override {
        __ccContentScaleFactor = 1;
        CCSpriteFrameCache::purgeSharedSpriteFrameCache();
        for (const std::string& p : pngs_) CCTextureCache::sharedTextureCache()->removeTextureForKey(p);
        pool_.drain();
    }

    std::string writePng(const std::string& name, unsigned w = 128, unsigned h = 64) {
        std::string p = writePngFile(dir_, name, w, h, [](unsigned x, unsigned) {
            return x < 64 ? ccColor4B{255, 0, 0, 255} : ccColor4B{0, 0, 255, 255};
        });
        pngs_.push_back(p);
        return p;
    }
    std::string writePlist(const std::string& name, const host::PlistValue& v) {
        return dir_.write(name, v.toXml());
    }
    CCTexture2D* texture() { return CCTextureCache::sharedTextureCache()->addImage(png_); }
    CCSpriteFrame* frame(const std::string& name) { return cache_->spriteFrameByName(name); }

    host::AutoreleasePool pool_;
    ScratchDirectory dir_;
    CCSpriteFrameCache* cache_ = nullptr;
    std::string png_;
    std::vector<std::string> pngs_;
};

#define EXPECT_RECT(actual, x, y, w, h) EXPECT_TRUE(CGRectEqualToRect(actual, CGRectMake(x, y, w, h)))
#define EXPECT_POINT(actual, x, y) EXPECT_TRUE(CGPointEqualToPoint(actual, CGPointMake(x, y)))
#define EXPECT_SIZE(actual, w, h) EXPECT_TRUE(CGSizeEqualToSize(actual, CGSizeMake(w, h)))

TEST_F(SpriteFrameCacheTest, FormatZeroReadsNumbersAndTakesAbsoluteUntrimmedSizes) {
    Dict entry{{"x", 2},          {"y", 4.0},          {"width", 30},           {"height", 20},
               {"offsetX", 1.5},  {"offsetY", -2},     {"originalWidth", -64},  {"originalHeight", 40}};
    cache_->addSpriteFramesWithDictionary(sheet(0, Dict{{"a.png", entry}}), texture());
    CCSpriteFrame* f = frame("a.png");
    ASSERT_NE(f, nullptr);
    EXPECT_RECT(f->rectInPixels(), 2, 4, 30, 20);
    EXPECT_FALSE(f->rotated());
    EXPECT_POINT(f->offsetInPixels(), 1.5f, -2);
    EXPECT_SIZE(f->originalSizeInPixels(), 64, 40);
    EXPECT_EQ(f->texture(), texture());
}

TEST_F(SpriteFrameCacheTest, FormatsOneAndTwoReadTheStringFormsAndOnlyTwoKnowsRotation) {
    cache_->addSpriteFramesWithDictionary(
        sheet(1, Dict{{"one.png", format2Entry("{{1,2},{3,4}}", "{0.5,-1}", "{8,9}", true)}}), texture());
    cache_->addSpriteFramesWithDictionary(
        sheet(2, Dict{{"turned.png", format2Entry("{{10,0},{20,40}}", "{-3,2}", "{32,48}", true)},
                      {"upright.png", format2Entry("{{40,0},{8,8}}", "{0,0}", "{8,8}", false)}}),
        texture());
    ASSERT_NE(frame("one.png"), nullptr);
    EXPECT_RECT(frame("one.png")->rectInPixels(), 1, 2, 3, 4);
    EXPECT_FALSE(frame("one.png")->rotated());
    EXPECT_POINT(frame("one.png")->offsetInPixels(), 0.5f, -1);
    EXPECT_SIZE(frame("one.png")->originalSizeInPixels(), 8, 9);

    ASSERT_NE(frame("turned.png"), nullptr);
    // A rotated frame keeps the upright image's width and height.
    EXPECT_RECT(frame("turned.png")->rectInPixels(), 10, 0, 20, 40);
    EXPECT_TRUE(frame("turned.png")->rotated());
    EXPECT_POINT(frame("turned.png")->offsetInPixels(), -3, 2);
    EXPECT_SIZE(frame("turned.png")->originalSizeInPixels(), 32, 48);
    EXPECT_FALSE(frame("upright.png")->rotated());
    EXPECT_EQ(cache_->spriteFrameCount(), 3u);
}

TEST_F(SpriteFrameCacheTest, FormatThreeTakesTheTextureRectOriginAndStoresAliases) {
    Dict hero{{"spriteSize", "{20,30}"},       {"spriteOffset", "{1,-1}"},
              {"spriteSourceSize", "{24,32}"}, {"textureRect", "{{10,12},{999,999}}"},
              {"textureRotated", true},        {"aliases", Array{"hero", "player"}}};
    Dict enemy{{"spriteSize", "{8,8}"},        {"spriteOffset", "{0,0}"},
               {"spriteSourceSize", "{8,8}"},  {"textureRect", "{{0,0},{8,8}}"},
               {"aliases", Array{"player"}}};
    cache_->addSpriteFramesWithDictionary(sheet(3, Dict{{"hero_0.png", hero}}), texture());
    CCSpriteFrame* f = frame("hero_0.png");
    ASSERT_NE(f, nullptr);
    EXPECT_RECT(f->rectInPixels(), 10, 12, 20, 30);
    EXPECT_TRUE(f->rotated());
    EXPECT_POINT(f->offsetInPixels(), 1, -1);
    EXPECT_SIZE(f->originalSizeInPixels(), 24, 32);
    EXPECT_EQ(frame("hero"), f);
    EXPECT_EQ(frame("player"), f);
    EXPECT_EQ(frame("nobody"), nullptr);

    // Sprites are made from frame names only, never from aliases.
    EXPECT_EQ(cache_->createSpriteWithFrameName("hero"), nullptr);
    CCSprite* sprite = cache_->createSpriteWithFrameName("hero_0.png");
    ASSERT_NE(sprite, nullptr);
    EXPECT_EQ(sprite->texture(), texture());

    // A later frame claiming an alias takes it over.
    cache_->addSpriteFramesWithDictionary(sheet(3, Dict{{"enemy.png", enemy}}), texture());
    EXPECT_EQ(frame("player"), frame("enemy.png"));
    EXPECT_EQ(frame("hero"), f);
}

TEST_F(SpriteFrameCacheTest, TheTextureIsNamedByTheMetadataOrByThePlistItself) {
    const std::string atlasPng = writePng("sub/atlas.png", 64, 64);
    const std::string named = writePlist(
        "sub/named.plist",
        Dict{{"frames", Dict{{"n.png", format2Entry("{{0,0},{4,4}}", "{0,0}", "{4,4}", false)}}},
             {"metadata", Dict{{"format", 2}, {"textureFileName", "atlas.png"}}}});
    cache_->addSpriteFramesWithFile(named);
    ASSERT_NE(frame("n.png"), nullptr);
    EXPECT_EQ(frame("n.png")->texture(), CCTextureCache::sharedTextureCache()->addImage(atlasPng));

    const std::string ownPng = writePng("own.png", 32, 32);
    cache_->addSpriteFramesWithFile(writePlist("own.plist", sheet(0, Dict{{"o.png", Dict{
        {"x", 0}, {"y", 0}, {"width", 4}, {"height", 4}, {"offsetX", 0}, {"offsetY", 0},
        {"originalWidth", 4}, {"originalHeight", 4}}}})));
    ASSERT_NE(frame("o.png"), nullptr);
    EXPECT_EQ(frame("o.png")->texture(), CCTextureCache::sharedTextureCache()->addImage(ownPng));

    // An explicit image wins over the metadata.
    cache_->addSpriteFramesWithFile(named, png_);
    EXPECT_EQ(frame("n.png")->texture(), texture());
}

TEST_F(SpriteFrameCacheTest, ATextureThatDoesNotLoadAddsNoFrames) {
    const std::string plist = writePlist(
        "lonely.plist", sheet(2, Dict{{"l.png", format2Entry("{{0,0},{4,4}}", "{0,0}", "{4,4}", false)}}));
    {
        LogCapture log;
        cache_->addSpriteFramesWithFile(plist);  // lonely.png does not exist
        EXPECT_EQ(log.lines().size(), 1u) << log.joined();
    }
    dir_.write("broken.png", "not an image");
    {
        LogCapture log;
        cache_->addSpriteFramesWithFile(plist, dir_.file("broken.png"));
        EXPECT_EQ(log.lines().size(), 1u) << log.joined();
    }
    {
        LogCapture log;
        cache_->addSpriteFramesWithFile(plist, std::string());
        cache_->addSpriteFramesWithFile(plist, static_cast<CCTexture2D*>(nullptr));
        EXPECT_EQ(log.lines().size(), 2u) << log.joined();
    }
    EXPECT_EQ(cache_->spriteFrameCount(), 0u);
}

TEST_F(SpriteFrameCacheTest, LoadingTheSamePlistAgainReplacesItsFrames) {
    const std::string plist = writePlist(
        "again.plist", sheet(2, Dict{{"r.png", format2Entry("{{0,0},{4,4}}", "{0,0}", "{4,4}", false)}}));
    cache_->addSpriteFramesWithFile(plist, png_);
    host::Ref<CCSpriteFrame> first = frame("r.png");
    ASSERT_TRUE(first);
    cache_->addSpriteFramesWithFile(plist, png_);
    EXPECT_NE(frame("r.png"), first.get());
    EXPECT_EQ(cache_->spriteFrameCount(), 1u);
    // Whoever kept the old frame still has a working one.
    EXPECT_EQ(first->retainCount(), 1u);
    EXPECT_RECT(first->rectInPixels(), 0, 0, 4, 4);
}

TEST_F(SpriteFrameCacheTest, RemovalByNameAliasFileTextureAndUse) {
    Dict withAliases{{"spriteSize", "{4,4}"},       {"spriteOffset", "{0,0}"},
                     {"spriteSourceSize", "{4,4}"}, {"textureRect", "{{0,0},{4,4}}"},
                     {"aliases", Array{"first", "second"}}};
    cache_->addSpriteFramesWithDictionary(sheet(3, Dict{{"aliased.png", withAliases}}), texture());
    cache_->removeSpriteFrameByName("first");
    EXPECT_EQ(frame("aliased.png"), nullptr);
    EXPECT_EQ(frame("first"), nullptr);
    // The other alias stays in the table; re-adding the frame revives it.
    cache_->addSpriteFrame(CCSpriteFrame::frameWithTexture(texture(), CGRectMake(0, 0, 2, 2)), "aliased.png");
    EXPECT_EQ(frame("second"), frame("aliased.png"));
    EXPECT_EQ(frame("first"), nullptr);
    cache_->removeSpriteFrameByName("aliased.png");
    EXPECT_EQ(frame("aliased.png"), nullptr);

    const std::string plist = writePlist(
        "listed.plist", sheet(2, Dict{{"p.png", format2Entry("{{0,0},{4,4}}", "{0,0}", "{4,4}", false)},
                                      {"q.png", format2Entry("{{4,0},{4,4}}", "{0,0}", "{4,4}", false)}}));
    cache_->addSpriteFramesWithFile(plist, png_);
    CCTexture2D* other = CCTextureCache::sharedTextureCache()->addImage(writePng("other.png", 16, 16));
    cache_->addSpriteFrame(CCSpriteFrame::frameWithTexture(other, CGRectMake(0, 0, 4, 4)), "elsewhere.png");
    pool_.drain();
    cache_->removeSpriteFramesFromFile(plist);
    EXPECT_EQ(frame("p.png"), nullptr);
    EXPECT_EQ(frame("q.png"), nullptr);
    EXPECT_NE(frame("elsewhere.png"), nullptr);

    cache_->addSpriteFramesWithFile(plist, png_);
    cache_->removeSpriteFramesFromTexture(texture());
    EXPECT_EQ(frame("p.png"), nullptr);
    EXPECT_NE(frame("elsewhere.png"), nullptr);

    cache_->addSpriteFramesWithFile(plist, png_);
    host::Ref<CCSpriteFrame> kept = frame("p.png");
    cache_->removeUnusedSpriteFrames();
    EXPECT_EQ(frame("p.png"), kept.get());
    EXPECT_EQ(frame("q.png"), nullptr);
    EXPECT_EQ(frame("elsewhere.png"), nullptr);

    cache_->addSpriteFramesWithDictionary(sheet(3, Dict{{"aliased.png", withAliases}}), texture());
    cache_->removeSpriteFrames();
    EXPECT_EQ(cache_->spriteFrameCount(), 0u);
    cache_->addSpriteFrame(CCSpriteFrame::frameWithTexture(texture(), CGRectMake(0, 0, 2, 2)), "aliased.png");
    EXPECT_EQ(frame("second"), nullptr);  // the aliases went too
}

TEST_F(SpriteFrameCacheTest, AtContentScaleTwoTheHdSheetIsReadAndRectsArePixelsOverTwo) {
    writePng("retina.png", 32, 32);
    writePng("retina-hd.png", 64, 64);
    const std::string plist = writePlist(
        "retina.plist", sheet(2, Dict{{"r.png", format2Entry("{{0,0},{10,10}}", "{1,1}", "{12,12}", false)}}));
    writePlist("retina-hd.plist",
               sheet(2, Dict{{"r.png", format2Entry("{{2,4},{20,30}}", "{2,2}", "{24,34}", true)}}));
    __ccContentScaleFactor = 2;
    cache_->addSpriteFramesWithFile(plist);
    CCSpriteFrame* f = frame("r.png");
    ASSERT_NE(f, nullptr);
    EXPECT_RECT(f->rectInPixels(), 2, 4, 20, 30);
    EXPECT_RECT(f->rect(), 1, 2, 10, 15);
    EXPECT_POINT(f->offsetInPixels(), 2, 2);
    EXPECT_SIZE(f->originalSizeInPixels(), 24, 34);
    EXPECT_EQ(f->texture()->pixelsWide(), 64u);
}

// Every way a sheet can be malformed: nothing of it is stored (not even
// its good entries), what was cached before stays, and one line says why.
TEST_F(SpriteFrameCacheTest, MalformedSheetsFailWholeWithOneLogLine) {
    const Dict good = format2Entry("{{0,0},{4,4}}", "{0,0}", "{4,4}", false);
    auto entry3 = [](const char* key, host::PlistValue v) {
        Dict d{{"spriteSize", "{4,4}"}, {"spriteOffset", "{0,0}"}, {"spriteSourceSize", "{4,4}"},
               {"textureRect", "{{0,0},{4,4}}"}};
        d[key] = std::move(v);
        return d;
    };
    auto with = [](Dict d, const char* key, host::PlistValue v) {
        if (v.isNone())
            d.erase(key);
        else
            d[key] = std::move(v);
        return d;
    };
    const Dict zero{{"x", 0}, {"y", 0}, {"width", 4}, {"height", 4}, {"offsetX", 0}, {"offsetY", 0},
                    {"originalWidth", 4}, {"originalHeight", 4}};
    auto withFormat = [&](host::PlistValue format) {
        return host::PlistValue(Dict{{"frames", Dict{{"bad.png", good}}}, {"metadata", Dict{{"format", format}}}});
    };
    const std::vector<std::pair<const char*, host::PlistValue>> cases = {
        {"no frames", Dict{{"metadata", Dict{{"format", 2}}}}},
        {"frames not a dictionary", Dict{{"frames", Array{"a"}}}},
        {"entry not a dictionary", sheet(2, Dict{{"good.png", good}, {"bad.png", "text"}})},
        {"format 0 without x", sheet(0, Dict{{"bad.png", with(zero, "x", host::PlistValue())}})},
        {"format 0 width not a number", sheet(0, Dict{{"bad.png", with(zero, "width", "abc")}})},
        {"format 0 negative height", sheet(0, Dict{{"bad.png", with(zero, "height", -4)}})},
        {"format 0 original width a dictionary", sheet(0, Dict{{"bad.png", with(zero, "originalWidth", Dict{})}})},
        {"unparsable rectangle",
         sheet(2, Dict{{"good.png", good}, {"bad.png", with(good, "frame", "{{0,0},{a,b}}")}})},
        {"negative rectangle", sheet(2, Dict{{"bad.png", with(good, "frame", "{{0,0},{-4,4}}")}})},
        {"offset not a string", sheet(2, Dict{{"bad.png", with(good, "offset", 5)}})},
        {"missing source size", sheet(1, Dict{{"bad.png", with(good, "sourceSize", host::PlistValue())}})},
        {"rotated not a boolean", sheet(2, Dict{{"bad.png", with(good, "rotated", Array{})}})},
        {"aliases not an array", sheet(3, Dict{{"bad.png", entry3("aliases", "hero")}})},
        {"alias not a name", sheet(3, Dict{{"bad.png", entry3("aliases", Array{"ok", 7})}})},
        {"missing sprite size", sheet(3, Dict{{"bad.png", with(entry3("aliases", Array{}), "spriteSize",
                                                               host::PlistValue())}})},
        {"format 4", withFormat(4)},
        {"format -1", withFormat(-1)},
        {"format not a number", withFormat("two")},
        {"metadata not a dictionary", Dict{{"frames", Dict{{"bad.png", good}}}, {"metadata", "format 2"}}},
        {"not a dictionary at all", Array{Dict{{"frames", Dict{}}}}},
    };
    CCSpriteFrame* before = CCSpriteFrame::frameWithTexture(texture(), CGRectMake(0, 0, 1, 1));
    cache_->addSpriteFrame(before, "good.png");
    for (const auto& [what, dict] : cases) {
        LogCapture log;
        cache_->addSpriteFramesWithDictionary(dict, texture());
        EXPECT_EQ(cache_->spriteFrameCount(), 1u) << what;
        EXPECT_EQ(frame("bad.png"), nullptr) << what;
        EXPECT_EQ(frame("good.png"), before) << what;
        EXPECT_EQ(log.lines().size(), 1u) << what << "\n" << log.joined();
    }
}

TEST_F(SpriteFrameCacheTest, UnreadableFilesAddNothingWithOneLogLine) {
    const std::vector<std::pair<const char*, std::string>> files = {
        {"missing file", dir_.file("nothing-here.plist")},
        {"not a plist", dir_.write("garbage.plist", "\x01\x02 this is not a property list")},
        {"a plist of another kind", dir_.write("array.plist", host::PlistValue(Array{1, 2}).toXml())},
        {"an empty file", dir_.write("empty.plist", "")},
    };
    for (const auto& [what, path] : files) {
        LogCapture log;
        cache_->addSpriteFramesWithFile(path, texture());
        cache_->removeSpriteFramesFromFile(path);
        EXPECT_EQ(cache_->spriteFrameCount(), 0u) << what;
        EXPECT_EQ(log.lines().size(), 2u) << what << "\n" << log.joined();
    }
}

TEST_F(SpriteFrameCacheTest, PurgingGivesANewEmptyCacheAndFramesHeldElsewhereLive) {
    cache_->addSpriteFramesWithDictionary(
        sheet(2, Dict{{"k.png", format2Entry("{{0,0},{4,4}}", "{0,0}", "{4,4}", false)}}), texture());
    host::Ref<CCSpriteFrame> held = frame("k.png");
    EXPECT_EQ(cache_->description().rfind("<CCSpriteFrameCache = ", 0), 0u);
    EXPECT_NE(cache_->description().find(" | num of sprite frames =  1>"), std::string::npos);
    CCSpriteFrameCache::purgeSharedSpriteFrameCache();
    cache_ = CCSpriteFrameCache::sharedSpriteFrameCache();
    EXPECT_EQ(cache_->spriteFrameCount(), 0u);
    EXPECT_EQ(cache_->spriteFrameByName("k.png"), nullptr);
    EXPECT_EQ(held->retainCount(), 1u);
    EXPECT_EQ(held->texture(), texture());
}

}  // namespace
