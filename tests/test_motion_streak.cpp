// Ribbons and motion streaks: the band's vertices, fading by age, the
// 50-point segments and their recycling, a streak's minimum segment, its
// pixels, and steady memory over 10,000 frames of movement.
#include <malloc.h>

#include <cmath>
#include <set>
#include <string>

#include "RenderFixture.h"
#include "ImageFileWriters.h"
#include "LogCapture.h"
#include "ScratchDirectory.h"
#include "engine/CCMotionStreak.h"
#include "engine/CCRibbon.h"
#include "engine/CCScheduler.h"
#include "engine/CCTextureCache.h"

namespace {

// The client arrays and texturing on, as the director has them while it
// visits the scene: for drawing a node without a whole frame.
class VisitState {
public:
    VisitState() {
        glEnableClientState(GL_VERTEX_ARRAY);
        glEnableClientState(GL_COLOR_ARRAY);
        glEnableClientState(GL_TEXTURE_COORD_ARRAY);
        glEnable(GL_TEXTURE_2D);
    }
    ~VisitState() {
        glDisable(GL_TEXTURE_2D);
        glDisableClientState(GL_TEXTURE_COORD_ARRAY);
        glDisableClientState(GL_COLOR_ARRAY);
        glDisableClientState(GL_VERTEX_ARRAY);
    }
};

class RibbonTest : public RenderFixture {
protected:
    void SetUp() override {
        RenderFixture::SetUp();
        image_ = writePngFile(dir_, "band.png", 8, 8, [](unsigned, unsigned) { return ccColor4B{255, 255, 255, 255}; });
    }
    void TearDown() override {
        RenderFixture::TearDown();
        CCTextureCache::purgeSharedTextureCache();
    }
    CCRibbonSegment* segment(CCRibbon* r, unsigned i) {
        return static_cast<CCRibbonSegment*>(r->segments()->objectAtIndex(i));
    }
    ScratchDirectory dir_;
    std::string image_;
};

TEST_F(RibbonTest, BandVerticesAndTextureRunAlongThePoints) {
    CCRibbon* r = CCRibbon::ribbonWithWidth(10, image_, 20, ccc4(255, 255, 255, 255), 1);
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(r->contentSizeInPixels().width, 8);
    r->addPointAt(CGPointMake(0, 0), 10);  // only recorded
    EXPECT_EQ(segment(r, 0)->end, 0u);
    r->addPointAt(CGPointMake(10, 0), 10);
    const CCRibbonSegment* s = segment(r, 0);
    ASSERT_EQ(s->end, 2u);
    // Moving right, the left edge is above the path and the right below.
    const float expected[12] = {0, 5, 0, 0, -5, 0, 10, 5, 0, 10, -5, 0};
    for (int i = 0; i < 12; ++i) EXPECT_NEAR(s->verts[i], expected[i], 1e-4) << i;
    EXPECT_FLOAT_EQ(s->coords[1], 0);
    EXPECT_FLOAT_EQ(s->coords[4], 0);
    EXPECT_FLOAT_EQ(s->coords[5], 0.5f);  // 10 pixels of a 20-pixel repeat
    EXPECT_FLOAT_EQ(s->coords[6], 1);

    EXPECT_FLOAT_EQ(CCRibbon::sideOfLine(CGPointMake(0, 1), CGPointZero, CGPointMake(1, 0)), -1);
    const CGPoint turned = CCRibbon::rotatePoint(CGPointMake(1, 0), float(M_PI) / 2);
    EXPECT_NEAR(turned.x, 0, 1e-6);
    EXPECT_NEAR(turned.y, 1, 1e-6);
}

TEST_F(RibbonTest, PointsFadeByAgeAndFullSegmentsContinue) {
    CCRibbon* r = CCRibbon::ribbonWithWidth(4, image_, 32, ccc4(200, 100, 50, 255), 1);
    ASSERT_NE(r, nullptr);
    r->update(2.9f);
    r->update(0.1f);
    r->addPointAt(CGPointMake(0, 0), 4);
    r->addPointAt(CGPointMake(0, 10), 4);  // point 1 at time 3, point 0 one step before
    r->update(0.5f);
    scene_->addChild(r);
    frame();
    const CCRibbonSegment* s = segment(r, 0);
    EXPECT_NEAR(s->colors[8 + 3], 128, 1);  // half-way through its fade
    EXPECT_NEAR(s->colors[3], 102, 1);
    EXPECT_EQ(s->colors[8 + 0], 200);
    EXPECT_EQ(r->vertexCount(), 4);
    r->update(0.6f);  // past 4: both points gone
    frame();
    EXPECT_EQ(s->begin, 2u);
    EXPECT_EQ(r->vertexCount(), 0);

    // Points 1 to 50 fill the first segment; the 51st starts a second whose
    // first point repeats the 50th.
    CCRibbon* full = CCRibbon::ribbonWithWidth(4, image_, 32, ccc4(255, 255, 255, 255), 10);
    for (int i = 0; i < 50; ++i) full->addPointAt(CGPointMake(float(i) * 3, 0), 4);
    ASSERT_EQ(full->segments()->count(), 1u);
    EXPECT_EQ(segment(full, 0)->end, 50u);
    full->addPointAt(CGPointMake(50 * 3, 0), 4);
    ASSERT_EQ(full->segments()->count(), 2u);
    const CCRibbonSegment* first = segment(full, 0);
    const CCRibbonSegment* next = segment(full, 1);
    EXPECT_EQ(next->end, 2u);
    for (int k = 0; k < 6; ++k) EXPECT_FLOAT_EQ(next->verts[k], first->verts[49 * 6 + k]) << k;
    for (int k = 0; k < 4; ++k) EXPECT_FLOAT_EQ(next->coords[k], first->coords[49 * 4 + k]) << k;
    EXPECT_FLOAT_EQ(next->verts[6], 50 * 3);
}

TEST_F(RibbonTest, StreakAddsPointsPastItsMinimumSegmentAndDraws) {
    CCMotionStreak* streak = CCMotionStreak::streakWithFade(2, 5, image_, 8, 16, ccc4(255, 255, 255, 255));
    ASSERT_NE(streak, nullptr);
    frame();  // the scene runs: what joins it now has its timers running
    CCNode* parent = CCNode::node();
    parent->setPosition(CGPointMake(20, 0));
    parent->addChild(streak);
    scene_->addChild(parent);
    CCScheduler* scheduler = CCScheduler::sharedScheduler();
    // 2 points a frame: a point every third frame (past 5 points).
    for (int i = 1; i <= 9; ++i) {
        streak->setPosition(CGPointMake(40 + 2.0f * float(i), 240));
        scheduler->tick(1.0f / 60);
    }
    const CCRibbonSegment* s = static_cast<CCRibbonSegment*>(streak->ribbon()->segments()->objectAtIndex(0));
    // The first frame's world position (62, 240) starts the band; then
    // only 68 and 74 are more than 5 points on from the last point.
    EXPECT_EQ(s->end, 3u);
    EXPECT_FLOAT_EQ(streak->ribbon()->position().x, -78);

    // A horizontal band through world (62..74, 240), 8 wide.
    frame();
    EXPECT_TRUE(rgbNear(pixelAt(70, 240), ccc3(255, 255, 255), 40));
    EXPECT_TRUE(rgbNear(pixelAt(70, 250), ccc3(0, 0, 0)));
    EXPECT_TRUE(rgbNear(pixelAt(90, 240), ccc3(0, 0, 0)));
}

TEST_F(RibbonTest, StreakMemoryStaysSteadyOverTenThousandFrames) {
    CCMotionStreak* streak = CCMotionStreak::streakWithFade(0.5f, 3, image_, 6, 16, ccc4(255, 200, 100, 255));
    ASSERT_NE(streak, nullptr);
    scene_->addChild(streak);
    frame();
    frame();
    CCScheduler* scheduler = CCScheduler::sharedScheduler();
    CCRibbon* ribbon = streak->ribbon();
    std::set<const void*> segmentsSeen;
    size_t steadyBytes = 0;
    int maxVertices = 0;
    for (int f = 0; f < 10000; ++f) {
        const float t = float(f) / 60;
        streak->setPosition(CGPointMake(160 + 120 * std::cos(t * 3), 240 + 120 * std::sin(t * 2)));
        scheduler->tick(1.0f / 60);
        {
            VisitState state;
            streak->visit();
            glFinish();  // the driver queues commands until a flush: its buffers would grow
        }
        for (host::Object* o : *ribbon->segments()) segmentsSeen.insert(o);
        maxVertices = std::max(maxVertices, ribbon->vertexCount());
        if (f == 1000) steadyBytes = mallinfo2().uordblks;
    }
    const size_t endBytes = mallinfo2().uordblks;
    // About 30 points are alive at once (0.5 s at 60 a second): one or two
    // segments drawn, a few kept for reuse, never more made.
    EXPECT_LE(ribbon->segments()->count() + ribbon->deletedSegments()->count(), 4u);
    EXPECT_LE(segmentsSeen.size(), 4u);
    EXPECT_GT(maxVertices, 40);
    EXPECT_LE(maxVertices, 80);
    EXPECT_LE(endBytes, steadyBytes + 4096) << "heap grew from " << steadyBytes << " to " << endBytes;
}

}  // namespace
