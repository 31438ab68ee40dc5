// The per-frame path must not allocate once a scene is set up: this binary
// counts every global operator new and checks a scheduler tick and a tree
// visit make none. Every form of new and delete is replaced, so that no
// block is made by one allocator and freed by another (which
// AddressSanitizer reports).
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>

#include "GLTestEnvironment.h"
#include "TestTextures.h"
#include "engine/CCActionPageTurn3D.h"
#include "engine/CCActionTiledGrid.h"
#include "engine/CCDirector.h"
#include "engine/CCGrid.h"
#include "engine/CCNode.h"
#include "engine/CCScheduler.h"
#include "engine/CCSprite.h"
#include "engine/CCSpriteBatchNode.h"
#include "engine/CCTextureAtlas.h"
#include "engine/platform/CCDirectorIOS.h"
#include "engine/platform/EAGLView.h"

namespace {
std::atomic<long> gAllocations{0};
}

namespace {
void* countedAllocation(std::size_t n) noexcept {
    ++gAllocations;
    return std::malloc(n ? n : 1);
}
void* countedAllocationOrThrow(std::size_t n) {
    if (void* p = countedAllocation(n)) return p;
    throw std::bad_alloc();
}
}  // namespace

void* operator new(std::size_t n) { return countedAllocationOrThrow(n); }
void* operator new[](std::size_t n) { return countedAllocationOrThrow(n); }
void* operator new(std::size_t n, const std::nothrow_t&) noexcept { return countedAllocation(n); }
void* operator new[](std::size_t n, const std::nothrow_t&) noexcept { return countedAllocation(n); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { std::free(p); }

namespace {

class Ticking : public CCNode {
public:
    static Ticking* node() { return host::create<Ticking>(); }
    void update(ccTime dt) override { total += dt; }
    void timer(ccTime dt) { total += dt; }
    float total = 0;
};

TEST(SteadyState, TickAndVisitAllocateNothing) {
    ASSERT_TRUE(ensureHeadlessDisplay());
    host::AutoreleasePool pool;
    CCNode* root = CCNode::node();
    root->retain();
    for (int i = 0; i < 200; ++i) {
        Ticking* n = Ticking::node();
        n->setPosition(CGPointMake(i, i));
        n->setRotation(static_cast<float>(i));
        root->addChild(n, i % 3 - 1);
        n->scheduleUpdate();
        n->schedule(schedule_selector(Ticking::timer), 0.5f);
    }
    root->onEnter();
    CCScheduler* scheduler = CCScheduler::sharedScheduler();
    scheduler->tick(0.016f);  // first frame caches transforms and timers
    root->visit();
    pool.drain();

    long before = gAllocations.load();
    ASSERT_GT(before, 0) << "the counter sees allocations at all";
    for (int frame = 0; frame < 120; ++frame) {
        scheduler->tick(1.0f / 60);
        root->visit();
    }
    EXPECT_EQ(gAllocations.load() - before, 0);

    root->onExit();
    root->cleanup();
    root->release();
    CCScheduler::purgeSharedScheduler();
}

}  // namespace

namespace {

// Moves every sprite of a batch each frame, as a game's update would.
class BatchMover : public CCNode {
public:
    static BatchMover* node() { return host::create<BatchMover>(); }
    void update(ccTime dt) override {
        t += dt;
        ccArray* arr = batch->descendants()->data;
        for (unsigned i = 0; i < arr->count; ++i) {
            CCSprite* s = static_cast<CCSprite*>(arr->items[i]);
            s->setPosition(CGPointMake(float(i % 40) * 8 + t, float(i / 40) * 8));
            s->setRotation(t * 10);
        }
    }
    CCSpriteBatchNode* batch = nullptr;
    float t = 0;
};

TEST(SteadyState, ABatchNodeFrameWithEverySpriteMovingAllocatesNothing) {
    ASSERT_TRUE(ensureHeadlessDisplay());
    host::AutoreleasePool pool;
    CCNode* root = CCNode::node();
    root->retain();
    CCTexture2D* texture = makeSolidTexture(8, 8, kWhite);
    CCSpriteBatchNode* batch = CCSpriteBatchNode::batchNodeWithTexture(texture, 50);
    root->addChild(batch);
    for (int i = 0; i < 300; ++i) {
        CCSprite* s = CCSprite::spriteWithTexture(texture);
        if (i % 10 == 0) s->addChild(CCSprite::spriteWithTexture(texture), i % 20 == 0 ? -1 : 1);
        batch->addChild(s, i % 3 - 1);
    }
    BatchMover* mover = BatchMover::node();
    mover->batch = batch;
    root->addChild(mover);
    mover->scheduleUpdate();
    root->onEnter();

    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_COLOR_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glEnable(GL_TEXTURE_2D);
    CCScheduler* scheduler = CCScheduler::sharedScheduler();
    scheduler->tick(0.016f);
    root->visit();
    pool.drain();
    const ccV3F_C4B_T2F_Quad* quads = batch->textureAtlas()->quads();

    const long before = gAllocations.load();
    for (int frame = 0; frame < 120; ++frame) {
        scheduler->tick(1.0f / 60);
        root->visit();
    }
    EXPECT_EQ(gAllocations.load() - before, 0);
    EXPECT_EQ(batch->textureAtlas()->quads(), quads);  // no reallocation either
    EXPECT_EQ(batch->textureAtlas()->totalQuads(), 330u);
    glFinish();

    root->onExit();
    root->cleanup();
    root->release();
    CCScheduler::purgeSharedScheduler();
}

}  // namespace

namespace {

// A tiled and a lattice effect moving every tile and vertex each frame, each
// capturing its node into the grid's texture and drawing it through the
// mesh: once the grids exist, frames allocate nothing.
TEST(SteadyState, GridEffectsCaptureAndBlitWithoutAllocating) {
    ASSERT_TRUE(ensureHeadlessDisplay());
    host::AutoreleasePool pool;
    CCDirector* director = CCDirectorTimer::sharedDirector();
    director->setOpenGLView(EAGLView::viewWithFrame(CGRectMake(0, 0, 320, 480), kEAGLColorFormatRGBA8, 0));
    CCNode* root = CCNode::node();
    root->retain();
    CCTexture2D* texture = makeSolidTexture(64, 64, kWhite);
    CCNode* tiled = CCNode::node();
    CCNode* lattice = CCNode::node();
    for (CCNode* n : {tiled, lattice}) {
        n->addChild(CCSprite::spriteWithTexture(texture));
        root->addChild(n);
    }
    root->onEnter();
    tiled->runAction(CCFadeOutTRTiles::actionWithSize(ccg(16, 12), 100));
    lattice->runAction(CCPageTurn3D::actionWithSize(ccg(32, 24), 100));

    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_COLOR_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glEnable(GL_TEXTURE_2D);
    CCScheduler* scheduler = CCScheduler::sharedScheduler();
    // The first frames also make the software rasteriser compile the
    // shaders it draws with (its LLVM allocates with operator new).
    for (int frame = 0; frame < 10; ++frame) {
        scheduler->tick(1.0f / 60);
        root->visit();
    }
    glFinish();
    pool.drain();
    ASSERT_TRUE(tiled->grid() && tiled->grid()->active());
    ASSERT_TRUE(lattice->grid() && lattice->grid()->active());

    const long before = gAllocations.load();
    for (int frame = 0; frame < 120; ++frame) {
        scheduler->tick(1.0f / 60);
        root->visit();
    }
    EXPECT_EQ(gAllocations.load() - before, 0);
    glFinish();

    root->onExit();
    root->cleanup();
    root->release();
    director->end();
    pool.drain();
}

}  // namespace
