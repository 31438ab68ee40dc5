#include <gtest/gtest.h>

#include <string>

#include "engine/CCAnimation.h"
#include "engine/CCAnimationCache.h"
#include "host/core/Object.h"
#include "host/core/Ref.h"

namespace {

class AnimationCacheTest : public ::testing::Test {
protected:
    void TearDown() override {
        CCAnimationCache::purgeSharedAnimationCache();
        pool_.drain();
    }
    host::AutoreleasePool pool_;
};

TEST_F(AnimationCacheTest, StoresReplacesAndRemovesByNameHoldingOneReference) {
    CCAnimationCache* cache = CCAnimationCache::sharedAnimationCache();
    EXPECT_EQ(CCAnimationCache::sharedAnimationCache(), cache);
    host::Ref<CCAnimation> walk = CCAnimation::animationWithName("walk", 0.1f);
    host::Ref<CCAnimation> run = CCAnimation::animationWithName("run", 0.05f);
    pool_.drain();
    ASSERT_EQ(walk->retainCount(), 1u);

    cache->addAnimation(walk, "hero");
    EXPECT_EQ(cache->animationByName("hero"), walk.get());
    EXPECT_EQ(walk->retainCount(), 2u);
    EXPECT_EQ(cache->animationByName("villain"), nullptr);

    cache->addAnimation(run, "hero");
    EXPECT_EQ(cache->animationByName("hero"), run.get());
    EXPECT_EQ(walk->retainCount(), 1u);  // the replaced one was released

    cache->addAnimation(walk, "walk");
    EXPECT_EQ(cache->animationCount(), 2u);
    cache->removeAnimationByName("nobody");
    cache->removeAnimationByName("hero");
    EXPECT_EQ(cache->animationByName("hero"), nullptr);
    EXPECT_EQ(run->retainCount(), 1u);
    EXPECT_EQ(cache->animationByName("walk"), walk.get());
    EXPECT_NE(cache->description().find(" | num of animations =  1>"), std::string::npos);
    EXPECT_EQ(cache->description().rfind("<CCAnimationCache = ", 0), 0u);
}

TEST_F(AnimationCacheTest, PurgingReleasesTheAnimationsAndTheNextUseStartsEmpty) {
    host::Ref<CCAnimation> idle = CCAnimation::animationWithName("idle");
    pool_.drain();
    CCAnimationCache::sharedAnimationCache()->addAnimation(idle, "idle");
    CCAnimationCache::purgeSharedAnimationCache();
    EXPECT_EQ(idle->retainCount(), 1u);
    CCAnimationCache* fresh = CCAnimationCache::sharedAnimationCache();
    EXPECT_EQ(fresh->animationByName("idle"), nullptr);
    EXPECT_EQ(fresh->animationCount(), 0u);
    // Purging twice, or with no cache made, is harmless.
    CCAnimationCache::purgeSharedAnimationCache();
    CCAnimationCache::purgeSharedAnimationCache();
}

}  // namespace
