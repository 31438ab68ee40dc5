// The distortion and tile effects on a real 320 x 480 grid: vertices and
// tiles at chosen times against numbers worked out by hand, the lens and
// the ripple at their centre and edge, shuffled tiles landing once each,
// seeded randomness, grid replacement and reuse, and bad parameters.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <set>
#include <utility>
#include <vector>

#include "GridActionFixture.h"
#include "LogCapture.h"
#include "engine/CCActionGrid3D.h"
#include "engine/CCActionInterval.h"
#include "engine/CCActionTileEffects.h"
#include "engine/CCGrid.h"
#include "engine/ccMacros.h"

namespace {

constexpr float kTol = 1e-3f;

class DistortionEffects : public GridActionFixture {
protected:
    ccVertex3F at(int i, int j) const { return lattice()->vertex(ccg(i, j)); }
    ccQuad3 tileAt(int i, int j) const { return tiles()->tile(ccg(i, j)); }
    void expectVertex(int i, int j, float x, float y, float z) const {
        const ccVertex3F v = at(i, j);
        EXPECT_NEAR(v.x, x, kTol) << i << "," << j;
        EXPECT_NEAR(v.y, y, kTol) << i << "," << j;
        EXPECT_NEAR(v.z, z, kTol) << i << "," << j;
    }
    void expectTileDepth(int i, int j, float z) const {
        const ccQuad3 q = tileAt(i, j);
        for (const ccVertex3F& v : {q.bl, q.br, q.tl, q.tr}) EXPECT_NEAR(v.z, z, kTol) << i << "," << j;
    }
    bool everyVertexFinite() const {
        const ccGridSize s = lattice()->gridSize();
        for (int i = 0; i <= s.x; ++i)
            for (int j = 0; j <= s.y; ++j) {
                const ccVertex3F v = at(i, j);
                if (!std::isfinite(v.x) || !std::isfinite(v.y) || !std::isfinite(v.z)) return false;
            }
        return true;
    }
};

}  // namespace

// A 4 x 4 grid over 320 x 480 pixels: vertex (i, j) starts at (80 i, 120 j, 0).
TEST_F(DistortionEffects, WavesLiquidAndTwirlMoveVerticesAsWorkedOutByHand) {
    CCWaves3D* waves3D = startOn(CCWaves3D::actionWithWaves(1, 10, ccg(4, 4), 1));
    ASSERT_FLOAT_EQ(lattice()->step().x, 80);
    ASSERT_FLOAT_EQ(lattice()->step().y, 120);
    waves3D->update(0);
    expectVertex(1, 1, 80, 120, 9.092974f);  // sin(2) x 10: not flat at the start
    expectVertex(0, 0, 0, 0, 0);
    waves3D->update(0.25f);
    expectVertex(0, 0, 0, 0, 10);

    startOn(CCWaves::actionWithWaves(1, 10, false, true, ccg(4, 4), 1))->update(0.25f);
    expectVertex(2, 0, 170, 0, 0);
    startOn(CCWaves::actionWithWaves(1, 10, true, false, ccg(4, 4), 1))->update(0.25f);
    expectVertex(2, 0, 160, -0.291995f, 0);
    startOn(CCWaves::actionWithWaves(1, 10, true, true, ccg(4, 4), 1))->update(0.25f);
    expectVertex(2, 0, 170, -1.288445f, 0);  // y follows the x just moved

    startOn(CCLiquid::actionWithWaves(1, 10, ccg(4, 4), 1))->update(0.25f);
    expectVertex(1, 1, 86.967067f, 123.623578f, 0);
    expectVertex(0, 2, 0, 240, 0);
    expectVertex(4, 4, 320, 480, 0);
    CCLiquid* narrow = startOn(CCLiquid::actionWithWaves(1, 10, ccg(1, 3), 1));
    lattice()->setVertex(ccg(1, 1), ccVertex3F{5, 5, 5});
    narrow->update(0.25f);
    expectVertex(1, 1, 5, 5, 5);  // one column: nothing written

    // At t = 0.25 the twirl angle is -(distance from the middle in cells).
    startOn(CCTwirl::actionWithPosition(CGPointMake(160, 240), 1, 10, ccg(4, 4), 1))->update(0.25f);
    expectVertex(3, 2, 203.224184f, 307.317679f, 0);
    expectVertex(2, 2, 160, 240, 0);
}

TEST_F(DistortionEffects, RippleAndLensActInsideTheirRadiusOnly) {
    CCRipple3D* ripple = startOn(CCRipple3D::actionWithPosition(CGPointMake(160, 240), 120, 1, 10, ccg(4, 4), 1));
    ripple->update(0);
    expectVertex(2, 2, 160, 240, -5.365729f);  // centre: sin(12) x 10
    expectVertex(1, 2, 80, 240, -0.840892f);   // 80 away: sin(4) x 10 / 9
    expectVertex(2, 1, 160, 120, 0);           // on the edge: untouched
    expectVertex(0, 0, 0, 0, 0);

    CCLens3D* lens = startOn(CCLens3D::actionWithPosition(CGPointMake(160, 240), 120, ccg(4, 4), 1));
    EXPECT_FLOAT_EQ(lens->lensEffect(), 0.7f);
    lens->update(0.1f);
    expectVertex(1, 2, 80, 240, 38.930897f);  // (1/3)^0.7 x 120 x 0.7
    expectVertex(2, 2, 160, 240, 0);          // the centre has no direction to bulge in
    expectVertex(2, 1, 160, 120, 0);          // on the edge
    // Computed once per position: a vertex moved since stays moved until the lens moves.
    lattice()->setVertex(ccg(1, 2), ccVertex3F{1, 2, 3});
    lens->setPosition(CGPointMake(160, 240));
    lens->update(0.5f);
    expectVertex(1, 2, 1, 2, 3);
    lens->setPosition(CGPointMake(80, 240));
    lens->update(0.6f);
    expectVertex(1, 2, 80, 240, 0);
    expectVertex(2, 2, 160, 240, 38.930897f);
    // Started again (as played backwards), it draws its lens on the new grid.
    lens->startWithTarget(node_);
    lens->update(0.7f);
    expectVertex(2, 2, 160, 240, 38.930897f);
}

TEST_F(DistortionEffects, FlipsTurnTheCellOverAndRefuseOtherSizes) {
    CCFlipX3D* flipX = startOn(CCFlipX3D::actionWithDuration(1));
    flipX->update(0.5f);
    expectVertex(0, 0, 93.725830f, 0, 80);
    expectVertex(0, 1, 93.725830f, 480, 80);
    expectVertex(1, 0, 226.274170f, 0, -80);
    flipX->update(1);
    EXPECT_NEAR(at(0, 0).x, 320, kTol) << "mirrored: the left pair at the right edge";
    EXPECT_NEAR(at(1, 1).x, 0, kTol);

    startOn(CCFlipY3D::actionWithDuration(1))->update(0.5f);
    expectVertex(0, 0, 0, 140.588745f, 120);
    expectVertex(1, 0, 320, 140.588745f, 120);
    expectVertex(0, 1, 0, 339.411255f, -120);
    EXPECT_NE(dynamic_cast<CCFlipY3D*>(CCFlipY3D::actionWithDuration(1)->copy().get()), nullptr);

    try {
        CCFlipY3D::actionWithSize(ccg(2, 1), 1);
        ADD_FAILURE() << "no exception";
    } catch (const CCException& e) {
        EXPECT_EQ(e.name(), "FlipX3D");
        EXPECT_EQ(e.reason(), "Grid size must be (1,1)");
    }
}

TEST_F(DistortionEffects, WavingAndJumpingTilesRiseWhole) {
    CCWavesTiles3D* waves = startOn(CCWavesTiles3D::actionWithWaves(1, 10, ccg(4, 4), 1));
    waves->update(0);
    expectTileDepth(1, 1, 9.092974f);
    waves->update(0.25f);
    expectTileDepth(0, 0, 10);

    CCJumpTiles3D* jumps = startOn(CCJumpTiles3D::actionWithJumps(1, 10, ccg(4, 4), 1));
    jumps->update(0.25f);
    expectTileDepth(0, 0, 10);
    expectTileDepth(1, 0, -10);
    expectTileDepth(2, 1, -10);
    expectTileDepth(3, 3, 10);
    // Wrapped, the amplitude fades: three quarters of it a quarter of the way.
    startOn(CCDeccelAmplitude::actionWithAction(CCJumpTiles3D::actionWithJumps(1, 10, ccg(4, 4), 1), 1))
        ->update(0.25f);
    expectTileDepth(0, 0, 7.5f);
    expectTileDepth(0, 1, -7.5f);
    // Played backwards, the wrapped effect still has its amplitude.
    CCDeccelAmplitude* back = CCDeccelAmplitude::actionWithAction(CCJumpTiles3D::actionWithJumps(1, 10, ccg(4, 4), 1), 1)->reverse();
    ASSERT_NE(back, nullptr);
    startOn(back)->update(0.75f);  // the effect at 0.25, at a quarter of its amplitude
    expectTileDepth(0, 0, 2.5f);
}

TEST_F(DistortionEffects, ShuffledTilesLandOnceEachAndComeBackReversed) {
    CCShuffleTiles* shuffle = startOn(CCShuffleTiles::actionWithSeed(5, ccg(4, 3), 1));
    auto corners = [&] {
        std::vector<std::pair<float, float>> at;
        for (int i = 0; i < 4; ++i)
            for (int j = 0; j < 3; ++j) at.emplace_back(tileAt(i, j).bl.x, tileAt(i, j).bl.y);
        return at;
    };
    shuffle->update(1);
    const auto landed = corners();
    std::set<std::pair<float, float>> cells(landed.begin(), landed.end()), home;
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 3; ++j) home.emplace(i * 80.0f, j * 160.0f);
    EXPECT_EQ(cells, home) << "every cell taken by exactly one tile";
    const std::vector<std::pair<float, float>> unmoved(home.begin(), home.end());
    EXPECT_NE(landed, unmoved);
    // Half-way every tile is half-way, in whole pixels.
    shuffle->update(0.5f);
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 3; ++j) {
            const ccGridSize d = shuffle->getDelta(ccg(i, j));
            EXPECT_EQ(tileAt(i, j).bl.x, i * 80.0f + std::trunc(d.x * 0.5f * 80)) << i << "," << j;
            EXPECT_EQ(tileAt(i, j).tr.y, (j + 1) * 160.0f + std::trunc(d.y * 0.5f * 160)) << i << "," << j;
        }

    CCShuffleTiles* again = startOn(CCShuffleTiles::actionWithSeed(5, ccg(4, 3), 1));
    again->update(1);
    EXPECT_EQ(corners(), landed) << "the same seed, the same arrangement";
    CCFiniteTimeAction* back = again->reverse();
    back->startWithTarget(node_);
    back->update(1);
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 3; ++j) EXPECT_EQ(tileAt(i, j).bl.x, i * 80.0f);
}

TEST_F(DistortionEffects, ShakesAreSeededWholeOffsetsAndShatteringHappensOnce) {
    auto shakeOnce = [&](unsigned seed) {
        srand(seed);
        startOn(CCShakyTiles3D::actionWithRange(3, true, ccg(4, 4), 1))->update(0.5f);
        return tileAt(2, 1);
    };
    const ccQuad3 q = shakeOnce(9), again = shakeOnce(9);
    const ccQuad3 home = tiles()->originalTile(ccg(2, 1));
    EXPECT_EQ(std::memcmp(&q, &again, sizeof q), 0);
    const ccVertex3F* moved = &q.bl;
    const ccVertex3F* was = &home.bl;
    for (int c = 0; c < 4; ++c)
        for (float d : {moved[c].x - was[c].x, moved[c].y - was[c].y, moved[c].z - was[c].z}) {
            EXPECT_EQ(d, std::floor(d));
            EXPECT_GE(d, -3);
            EXPECT_LT(d, 3);
        }

    CCShatteredTiles3D* shatter = startOn(CCShatteredTiles3D::actionWithRange(5, false, ccg(4, 4), 1));
    shatter->update(0.1f);
    const ccQuad3 broken = tileAt(1, 3);
    shatter->update(0.9f);
    const ccQuad3 later = tileAt(1, 3);
    EXPECT_EQ(std::memcmp(&broken, &later, sizeof broken), 0) << "broken once, in the same places";
    EXPECT_EQ(broken.bl.z, 0);

    LogCapture log;
    CCShaky3D* shaky = startOn(CCShaky3D::actionWithRange(0, false, ccg(2, 2), 1));
    EXPECT_TRUE(log.exactlyOneLine()) << log.joined();
    shaky->update(0.5f);
    const float dx = at(1, 1).x - 160;
    EXPECT_TRUE(dx == -1 || dx == 0) << dx;
}

TEST_F(DistortionEffects, AnotherSizeReplacesTheGridAndReuseKeepsIt) {
    startOn(CCWaves3D::actionWithWaves(1, 10, ccg(4, 4), 1));
    CCGridBase* first = node_->grid();
    CCRipple3D::actionWithPosition(CGPointMake(0, 0), 50, 1, 5, ccg(8, 6), 1)->startWithTarget(node_);
    ASSERT_NE(node_->grid(), first);
    EXPECT_TRUE(ccGridSizeEqualToSize(node_->grid()->gridSize(), ccg(8, 6)));
    CCGridBase* second = node_->grid();
    CCReuseGrid::actionWithTimes(1)->startWithTarget(node_);
    CCTwirl::actionWithPosition(CGPointMake(0, 0), 1, 5, ccg(8, 6), 1)->startWithTarget(node_);
    EXPECT_EQ(node_->grid(), second);
}

TEST_F(DistortionEffects, BadParametersNeverPutANumberlessVertexIntoTheMesh) {
    LogCapture log;
    CCWaves3D* waves = startOn(CCWaves3D::actionWithWaves(2, NAN, ccg(4, 4), 1));
    EXPECT_TRUE(log.exactlyOneLine()) << log.joined();
    waves->setAmplitudeRate(INFINITY);
    waves->update(0.3f);
    EXPECT_TRUE(everyVertexFinite());
    for (float radius : {0.0f, -5.0f, NAN}) {
        startOn(CCRipple3D::actionWithPosition(CGPointMake(160, 240), radius, 1, 10, ccg(4, 4), 1))->update(0.2f);
        EXPECT_TRUE(everyVertexFinite()) << radius;
        expectVertex(2, 2, 160, 240, 0);
        startOn(CCLens3D::actionWithPosition(CGPointMake(160, 240), radius, ccg(4, 4), 1))->update(0.2f);
        EXPECT_TRUE(everyVertexFinite()) << radius;
    }
    // An impossible grid: no grid at all, the effect harmless.
    CCNode* node = CCNode::node();
    scene_->addChild(node);
    CCJumpTiles3D* jumps = CCJumpTiles3D::actionWithJumps(1, 10, ccg(0, 3), 1);
    jumps->startWithTarget(node);
    jumps->update(0.5f);
    EXPECT_EQ(node->grid(), nullptr);
}
