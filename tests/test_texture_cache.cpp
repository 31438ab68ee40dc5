// The texture cache and file paths: sharing, removal, the "-hd" variants,
// bundle look-up, JPEG loading and asynchronous loads on the shared GL
// context.
#include <gtest/gtest.h>

#include <thread>

#include "ImageFileWriters.h"
#include "LogCapture.h"
#include "RenderFixture.h"
#include "ScratchDirectory.h"
#include "TextureRectNode.h"
#include "engine/CCTextureCache.h"
#include "engine/Support/CCFileUtils.h"
#include "host/core/Bundle.h"
#include "host/core/Clock.h"
#include "host/core/RunLoop.h"

namespace {

class TextureCacheTest : public RenderFixture {
protected:
    void SetUp() override {
        RenderFixture::SetUp();
        host::Bundle::main().setResourcePath(dir_.path());
    }
    void TearDown() override {
        __ccContentScaleFactor = 1;
        CCTextureCache::purgeSharedTextureCache();
        host::Bundle::main().setResourcePath("");
        RenderFixture::TearDown();
    }
    std::string png(const std::string& name, unsigned w, unsigned h, ccColor4B c = {255, 0, 0, 255}) {
        return writePngFile(dir_, name, w, h, [c](unsigned, unsigned) { return c; });
    }
    static CCTextureCache* cache() { return CCTextureCache::sharedTextureCache(); }

    ScratchDirectory dir_;
};

// Records the callback of an asynchronous load.
class LoadObserver : public host::Object {
public:
    void loaded(host::Object* texture) {
        texture_ = static_cast<CCTexture2D*>(texture);
        calls_++;
        onMainThread_ = host::RunLoop::isMainThread();
    }
    host::Ref<CCTexture2D> texture_;
    int calls_ = 0;
    bool onMainThread_ = false;
};

// Turns the main run loop until `done` or ten seconds have passed.
template <class Pred> bool runMainLoopUntil(Pred done) {
    const double deadline = host::Clock::now() + 10;
    while (!done() && host::Clock::now() < deadline) host::RunLoop::main().runOnce(0.05);
    return done();
}

}  // namespace

TEST_F(TextureCacheTest, OneNameSharesOneTextureUntilNobodyUsesIt) {
    png("ball.png", 8, 8);
    CCTexture2D* first = cache()->addImage("ball.png");
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(cache()->addImage("ball.png"), first);
    EXPECT_EQ(cache()->textureForKey("ball.png"), first);

    // Two holders keep it; once both are gone it is unused.
    host::Ref<CCTexture2D> spriteA = first, spriteB = first;
    pool_.drain();
    cache()->removeUnusedTextures();
    EXPECT_EQ(cache()->textureForKey("ball.png"), spriteA.get());
    spriteA.reset();
    cache()->removeUnusedTextures();
    EXPECT_NE(cache()->textureForKey("ball.png"), nullptr);
    spriteB.reset();
    cache()->removeUnusedTextures();
    EXPECT_EQ(cache()->textureForKey("ball.png"), nullptr);
}

TEST_F(TextureCacheTest, RemovingByTextureByKeyAndEverything) {
    png("a.png", 4, 4);
    png("b.png", 4, 4);
    CCTexture2D* a = cache()->addImage("a.png");
    ASSERT_NE(a, nullptr);
    ASSERT_NE(cache()->addImage("b.png"), nullptr);
    cache()->removeTexture(nullptr);
    cache()->removeTexture(a);
    EXPECT_EQ(cache()->textureForKey("a.png"), nullptr);
    EXPECT_NE(cache()->textureForKey("b.png"), nullptr);
    cache()->removeTextureForKey("b.png");
    EXPECT_EQ(cache()->textureForKey("b.png"), nullptr);
    ASSERT_NE(cache()->addImage("a.png"), nullptr);
    cache()->removeAllTextures();
    EXPECT_EQ(cache()->textureForKey("a.png"), nullptr);
}

TEST_F(TextureCacheTest, MissingOrBrokenFilesCacheNothingSoALaterCallRetries) {
    LogCapture log;
    EXPECT_EQ(cache()->addImage("later.png"), nullptr);
    dir_.write("broken.png", "\x89PNG\r\n\x1a\n and no more");
    EXPECT_EQ(cache()->addImage("broken.png"), nullptr);
    EXPECT_EQ(log.lines().size(), 2u) << log.joined();
    EXPECT_EQ(cache()->textureForKey("later.png"), nullptr);
    png("later.png", 2, 2);
    EXPECT_NE(cache()->addImage("later.png"), nullptr);
    EXPECT_EQ(cache()->addImage(""), nullptr);
}

TEST_F(TextureCacheTest, NamesResolveInTheBundleItsFoldersOrAsAbsolutePaths) {
    png("sprites/hero.png", 4, 2);
    CCTexture2D* hero = cache()->addImage("sprites/hero.png");
    ASSERT_NE(hero, nullptr);
    EXPECT_EQ(hero->contentSizeInPixels().width, 4);
    EXPECT_EQ(CCFileUtils::fullPathFromRelativePath("sprites/hero.png"), dir_.file("sprites/hero.png"));
    // Not in the bundle: the name itself.
    EXPECT_EQ(CCFileUtils::fullPathFromRelativePath("nowhere/x.png"), "nowhere/x.png");

    const std::string absolute = png("abs.png", 2, 2);
    CCTexture2D* t = cache()->addImage(absolute);
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(cache()->textureForKey(absolute), t);
}

TEST_F(TextureCacheTest, JPEGsLoadAsOpaqueTextures) {
    dir_.write("photo.jpg", encodeImage(solidPixels(16, 16, {0, 200, 0}), 16, 16, 3, true));
    CCTexture2D* t = cache()->addImage("photo.jpg");
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->pixelFormat(), kCCTexture2DPixelFormat_RGBA8888);
    EXPECT_FALSE(t->hasPremultipliedAlpha());
    scene_->addChild(TextureRectNode::make(t, CGRectMake(0, 0, 32, 32)));
    frame();
    EXPECT_TRUE(colorNear(pixelAt(16, 16), ccColor4B{0, 200, 0, 255}, 4));
}

TEST_F(TextureCacheTest, DoubleResolutionLoadsTheHDFileUnderThePlainName) {
    png("ball.png", 4, 4);
    png("ball-hd.png", 8, 8);
    __ccContentScaleFactor = 2;
    CCTexture2D* t = cache()->addImage("ball.png");
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->contentSizeInPixels().width, 8);
    EXPECT_EQ(cache()->textureForKey("ball.png"), t);
    EXPECT_EQ(cache()->addImage("ball-hd.png"), t);
    EXPECT_EQ(cache()->textureForKey("ball-hd.png"), nullptr);
}

TEST_F(TextureCacheTest, SingleResolutionIgnoresTheHDRules) {
    png("ball.png", 4, 4);
    png("ball-hd.png", 8, 8);
    CCTexture2D* plain = cache()->addImage("ball.png");
    CCTexture2D* hd = cache()->addImage("ball-hd.png");
    ASSERT_NE(plain, nullptr);
    ASSERT_NE(hd, nullptr);
    EXPECT_NE(plain, hd);
    EXPECT_EQ(plain->contentSizeInPixels().width, 4);
    EXPECT_EQ(cache()->textureForKey("ball-hd.png"), hd);
    EXPECT_EQ(ccRemoveHDSuffixFromFile("dir-hd/ball-hd.png"), "dir-hd/ball-hd.png");
}

TEST_F(TextureCacheTest, HDPathRules) {
    dir_.write("sheet-hd.pvr.ccz", "x");
    dir_.write("plain-hd", "x");
    dir_.write("photo-hd.png", "x");
    dir_.write("photo.png", "x");
    __ccContentScaleFactor = 2;
    EXPECT_EQ(CCFileUtils::getDoubleResolutionImage(dir_.file("sheet.pvr.ccz")), dir_.file("sheet-hd.pvr.ccz"));
    EXPECT_EQ(CCFileUtils::getDoubleResolutionImage(dir_.file("plain")), dir_.file("plain-hd"));
    EXPECT_EQ(CCFileUtils::getDoubleResolutionImage(dir_.file("photo.png")), dir_.file("photo-hd.png"));
    // No such file: unchanged. A stem with "-hd" already: never a second one.
    EXPECT_EQ(CCFileUtils::getDoubleResolutionImage(dir_.file("other.png")), dir_.file("other.png"));
    dir_.write("photo-hd-hd.png", "x");
    EXPECT_EQ(CCFileUtils::getDoubleResolutionImage(dir_.file("photo-hd.png")), dir_.file("photo-hd.png"));
    EXPECT_EQ(CCFileUtils::fullPathFromRelativePath("photo.png"), dir_.file("photo-hd.png"));

    EXPECT_EQ(ccRemoveHDSuffixFromFile("dir-hd/ball-hd.png"), "dir-hd/ball.png");
    EXPECT_EQ(ccRemoveHDSuffixFromFile("a-hd-hd.png"), "a.png");
    EXPECT_EQ(ccRemoveHDSuffixFromFile("ball.png"), "ball.png");
    __ccContentScaleFactor = 1;
    EXPECT_EQ(CCFileUtils::getDoubleResolutionImage(dir_.file("photo.png")), dir_.file("photo.png"));
}

TEST_F(TextureCacheTest, ImagesRegisteredUnderAKey) {
    host::Image* image = host::Image::imageWithPixels(solidPixels(2, 2, {1, 2, 3, 4}).data(), 2, 2, 4);
    const std::string key = "particle.png";
    CCTexture2D* t = cache()->addCGImage(image, &key);
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(cache()->textureForKey(key), t);
    EXPECT_EQ(cache()->addCGImage(image, &key), t);
    CCTexture2D* unkeyed = cache()->addCGImage(image, nullptr);
    EXPECT_NE(unkeyed, nullptr);
    EXPECT_NE(unkeyed, t);
}

TEST_F(TextureCacheTest, DescriptionListsTheKeys) {
    png("a.png", 2, 2);
    cache()->addImage("a.png");
    const std::string d = cache()->description();
    EXPECT_EQ(d.rfind("<CCTextureCache = ", 0), 0u) << d;
    EXPECT_NE(d.find("| num of textures =  1 | keys: (a.png)>"), std::string::npos) << d;
}

TEST_F(TextureCacheTest, AsyncLoadOfACachedImageCallsBackBeforeReturning) {
    png("ball.png", 4, 4);
    CCTexture2D* t = cache()->addImage("ball.png");
    auto observer = host::Ref<LoadObserver>::adopt(new LoadObserver);
    cache()->addImageAsync("ball.png", observer, cc_selector(LoadObserver::loaded));
    EXPECT_EQ(observer->calls_, 1);
    EXPECT_EQ(observer->texture_.get(), t);
}

TEST_F(TextureCacheTest, AsyncLoadCallsBackOnTheMainThreadWithADrawableTexture) {
    png("async.png", 16, 16, {0, 0, 255, 255});
    auto observer = host::Ref<LoadObserver>::adopt(new LoadObserver);
    cache()->addImageAsync("async.png", observer, cc_selector(LoadObserver::loaded));
    EXPECT_EQ(observer->calls_, 0);
    ASSERT_TRUE(runMainLoopUntil([&] { return observer->calls_ > 0; }));
    EXPECT_EQ(observer->calls_, 1);
    EXPECT_TRUE(observer->onMainThread_);
    ASSERT_NE(observer->texture_.get(), nullptr);
    EXPECT_EQ(cache()->textureForKey("async.png"), observer->texture_.get());
    // Made on the loading thread's context, drawn by the main one.
    scene_->addChild(TextureRectNode::make(observer->texture_, CGRectMake(0, 0, 32, 32)));
    frame();
    EXPECT_TRUE(colorNear(pixelAt(16, 16), ccColor4B{0, 0, 255, 255}, 0));

    // A missing file calls back with nothing.
    auto missing = host::Ref<LoadObserver>::adopt(new LoadObserver);
    cache()->addImageAsync("missing.png", missing, cc_selector(LoadObserver::loaded));
    ASSERT_TRUE(runMainLoopUntil([&] { return missing->calls_ > 0; }));
    EXPECT_EQ(missing->texture_.get(), nullptr);
}

TEST_F(TextureCacheTest, PurgingWhileALoadIsInFlightIsSafe) {
    png("slow.png", 64, 64);
    auto observer = host::Ref<LoadObserver>::adopt(new LoadObserver);
    cache()->addImageAsync("slow.png", observer, cc_selector(LoadObserver::loaded));
    CCTextureCache::purgeSharedTextureCache();
    ASSERT_TRUE(runMainLoopUntil([&] { return observer->calls_ > 0; }));
    EXPECT_NE(observer->texture_.get(), nullptr);
    // Let the loading thread hand back its last reference.
    host::RunLoop::main().runOnce(0.2);
}
