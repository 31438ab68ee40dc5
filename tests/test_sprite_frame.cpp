// Sprite frames (points and pixels, copies) and animations (initialisers,
// copied frame lists, frames from textures and files).
#include <gtest/gtest.h>

#include <string>

#include "GLTestEnvironment.h"
#include "ImageFileWriters.h"
#include "LogCapture.h"
#include "ScratchDirectory.h"
#include "TestTextures.h"
#include "engine/CCAnimation.h"
#include "engine/CCContentScale.h"
#include "engine/CCSpriteFrame.h"
#include "engine/CCTextureCache.h"

namespace {

class SpriteFrameTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(ensureHeadlessDisplay());
        texture_ = makeSolidTexture(64, 64, kWhite);
    }
    void TearDown() override {
        __ccContentScaleFactor = 1;
        pool_.drain();
    }
    host::AutoreleasePool pool_;
    CCTexture2D* texture_ = nullptr;
};

TEST_F(SpriteFrameTest, AFrameFromAPointRectIsUntrimmedAndUnrotated) {
    __ccContentScaleFactor = 2;
    CCSpriteFrame* f = CCSpriteFrame::frameWithTexture(texture_, CGRectMake(1, 2, 10, 20));
    EXPECT_TRUE(CGRectEqualToRect(f->rect(), CGRectMake(1, 2, 10, 20)));
    EXPECT_TRUE(CGRectEqualToRect(f->rectInPixels(), CGRectMake(2, 4, 20, 40)));
    EXPECT_TRUE(CGSizeEqualToSize(f->originalSizeInPixels(), CGSizeMake(20, 40)));
    EXPECT_TRUE(CGPointEqualToPoint(f->offsetInPixels(), CGPointZero));
    EXPECT_FALSE(f->rotated());
    EXPECT_EQ(f->texture(), texture_);
}

TEST_F(SpriteFrameTest, SettingEitherRectangleRecomputesTheOther) {
    __ccContentScaleFactor = 2;
    CCSpriteFrame* f = CCSpriteFrame::frameWithTexture(texture_, CGRectMake(0, 0, 8, 8), true, CGPointMake(1, -1),
                                                       CGSizeMake(12, 10));
    EXPECT_TRUE(CGRectEqualToRect(f->rect(), CGRectMake(0, 0, 4, 4)));
    f->setRect(CGRectMake(3, 3, 5, 5));
    EXPECT_TRUE(CGRectEqualToRect(f->rectInPixels(), CGRectMake(6, 6, 10, 10)));
    f->setRectInPixels(CGRectMake(4, 8, 2, 6));
    EXPECT_TRUE(CGRectEqualToRect(f->rect(), CGRectMake(2, 4, 1, 3)));
    // The rest stays as it was given.
    EXPECT_TRUE(f->rotated());
    EXPECT_TRUE(CGPointEqualToPoint(f->offsetInPixels(), CGPointMake(1, -1)));
    EXPECT_TRUE(CGSizeEqualToSize(f->originalSizeInPixels(), CGSizeMake(12, 10)));
}

TEST_F(SpriteFrameTest, ACopyIsIndependentAndSharesTheTexture) {
    CCSpriteFrame* f = CCSpriteFrame::frameWithTexture(texture_, CGRectMake(1, 2, 3, 4), true, CGPointMake(5, 6),
                                                       CGSizeMake(7, 8));
    host::Ref<CCSpriteFrame> c = f->copy();
    EXPECT_NE(c, f);
    EXPECT_EQ(c->retainCount(), 1u);  // the caller's reference only, not autoreleased
    EXPECT_EQ(c->texture(), texture_);
    EXPECT_TRUE(CGRectEqualToRect(c->rectInPixels(), f->rectInPixels()));
    EXPECT_TRUE(c->rotated());
    EXPECT_TRUE(CGPointEqualToPoint(c->offsetInPixels(), CGPointMake(5, 6)));
    EXPECT_TRUE(CGSizeEqualToSize(c->originalSizeInPixels(), CGSizeMake(7, 8)));
    c->setRect(CGRectMake(0, 0, 1, 1));
    EXPECT_TRUE(CGRectEqualToRect(f->rect(), CGRectMake(1, 2, 3, 4)));
}

TEST_F(SpriteFrameTest, AFrameKeepsItsTextureAlive) {
    texture_->retain();
    pool_.drain();
    CCSpriteFrame* f = CCSpriteFrame::frameWithTexture(texture_, CGRectMake(0, 0, 1, 1));
    EXPECT_EQ(texture_->retainCount(), 2u);
    f->setTexture(nullptr);
    EXPECT_EQ(texture_->retainCount(), 1u);
    texture_->release();
}

TEST_F(SpriteFrameTest, DescriptionShowsTextureNameRectAndRotation) {
    CCSpriteFrame* f = CCSpriteFrame::frameWithTexture(texture_, CGRectMake(1, 2, 3, 4), true, CGPointZero,
                                                       CGSizeMake(3, 4));
    const std::string d = f->description();
    EXPECT_EQ(d.rfind("<CCSpriteFrame = ", 0), 0u) << d;
    const std::string tail = " | TextureName=" + std::to_string(texture_->name()) +
                             ", Rect = (1.00,2.00,3.00,4.00)> rotated:1";
    EXPECT_NE(d.find(tail), std::string::npos) << d;
}

// ---- Animations -----------------------------------------------------------------

TEST_F(SpriteFrameTest, AnimationInitialisersFillNameDelayAndFrames) {
    CCArray* frames = CCArray::array();
    frames->addObject(CCSpriteFrame::frameWithTexture(texture_, CGRectMake(0, 0, 8, 8)));
    frames->addObject(CCSpriteFrame::frameWithTexture(texture_, CGRectMake(8, 0, 8, 8)));

    CCAnimation* plain = CCAnimation::animation();
    EXPECT_EQ(plain->name(), "");
    EXPECT_EQ(plain->delay(), 0);
    EXPECT_EQ(plain->frames()->count(), 0u);

    EXPECT_EQ(CCAnimation::animationWithFrames(frames)->frames()->count(), 2u);
    CCAnimation* timed = CCAnimation::animationWithFrames(frames, 0.25f);
    EXPECT_EQ(timed->delay(), 0.25f);
    EXPECT_EQ(timed->frames()->objectAtIndex(1), frames->objectAtIndex(1));

    EXPECT_EQ(CCAnimation::animationWithName("a")->name(), "a");
    EXPECT_EQ(CCAnimation::animationWithName("b", frames)->frames()->count(), 2u);
    EXPECT_EQ(CCAnimation::animationWithName("c", 0.5f)->delay(), 0.5f);
    CCAnimation* full = CCAnimation::animationWithName("d", 0.1f, frames);
    EXPECT_EQ(full->name(), "d");
    EXPECT_EQ(full->delay(), 0.1f);
    EXPECT_EQ(full->frames()->count(), 2u);
    EXPECT_EQ(CCAnimation::animationWithName("e", 0.1f, nullptr)->frames()->count(), 0u);
}

TEST_F(SpriteFrameTest, AnAnimationCopiesTheFrameListItIsGiven) {
    CCArray* frames = CCArray::array();
    frames->addObject(CCSpriteFrame::frameWithTexture(texture_, CGRectMake(0, 0, 8, 8)));
    CCAnimation* a = CCAnimation::animationWithFrames(frames, 0.1f);
    frames->addObject(CCSpriteFrame::frameWithTexture(texture_, CGRectMake(8, 0, 8, 8)));
    EXPECT_EQ(a->frames()->count(), 1u);
    EXPECT_NE(a->frames(), frames);
}

TEST_F(SpriteFrameTest, FramesAreAddedFromTexturesAndImageFiles) {
    CCAnimation* a = CCAnimation::animationWithName("run", 0.1f);
    a->addFrameWithTexture(texture_, CGRectMake(8, 8, 16, 16));
    a->addFrame(CCSpriteFrame::frameWithTexture(texture_, CGRectMake(0, 0, 4, 4)));
    a->addFrame(nullptr);  // ignored
    ASSERT_EQ(a->frames()->count(), 2u);
    const CCSpriteFrame* first = static_cast<CCSpriteFrame*>(a->frames()->objectAtIndex(0));
    EXPECT_TRUE(CGRectEqualToRect(first->rect(), CGRectMake(8, 8, 16, 16)));

    ScratchDirectory dir;
    const std::string png = writePngFile(dir, "frame.png", 20, 12, [](unsigned, unsigned) { return kRed; });
    ASSERT_TRUE(a->addFrameWithFilename(png));
    ASSERT_EQ(a->frames()->count(), 3u);
    const CCSpriteFrame* fromFile = static_cast<CCSpriteFrame*>(a->frames()->objectAtIndex(2));
    EXPECT_TRUE(CGRectEqualToRect(fromFile->rect(), CGRectMake(0, 0, 20, 12)));
    EXPECT_EQ(fromFile->texture()->pixelsWide(), 32u);

    LogCapture log;
    EXPECT_FALSE(a->addFrameWithFilename(dir.file("missing.png")));
    EXPECT_EQ(a->frames()->count(), 3u);
    EXPECT_EQ(log.lines().size(), 1u) << log.joined();
    CCTextureCache::purgeSharedTextureCache();
}

TEST_F(SpriteFrameTest, AnimationDescriptionShowsFramesAndDelay) {
    CCAnimation* a = CCAnimation::animationWithName("x", 0.5f);
    a->addFrameWithTexture(texture_, CGRectMake(0, 0, 1, 1));
    const std::string d = a->description();
    EXPECT_EQ(d.rfind("<CCAnimation = ", 0), 0u) << d;
    EXPECT_NE(d.find(" | frames=1, delay:0.500000>"), std::string::npos) << d;
}

}  // namespace
