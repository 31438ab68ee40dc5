// Grids on real pixels: a picture drawn through a grid whose mesh nobody
// moved is the picture itself, both in the test surface's portrait 2D
// set-up and in the landscape 3D one the game and the samples draw in; a
// tile turned off shows what lies behind it; a grid gives back the
// framebuffer, viewport, projection and clear colour it found. Then the
// meshes of the transition effects, reuse and stop, the amplitude rule,
// and the sizes a grid cannot have.
#include <gtest/gtest.h>

#include <GLES/gl.h>

#include <cmath>
#include <string>
#include <vector>

#include "GridActionFixture.h"
#include "LogCapture.h"
#include "MenuTestSupport.h"
#include "TestTextures.h"
#include "engine/CCActionGrid.h"
#include "engine/CCActionInterval.h"
#include "engine/CCActionIntervalProperty.h"
#include "engine/CCActionPageTurn3D.h"
#include "engine/CCActionTiledGrid.h"
#include "engine/CCGrid.h"
#include "engine/CCLayer.h"
#include "engine/ccMacros.h"
#include "host/core/Ref.h"

namespace {

// Bottom-left, bottom-right, top-left, top-right.
const ccColor4B kQuadrants[4] = {ccc4(230, 40, 30, 255), ccc4(40, 200, 60, 255), ccc4(30, 60, 220, 255),
                                 ccc4(240, 220, 40, 255)};
const ccColor4B kBehind = ccc4(255, 0, 255, 255);

class GridTest : public MenuFixture, public ::testing::WithParamInterface<bool> {
protected:
    void SetUp() override {
        MenuFixture::SetUp();
        // Landscape and 3D: the director as the game and the samples run it.
        landscape_ = GetParam();
        if (landscape_) {
            director_->setDeviceOrientation(kCCDeviceOrientationLandscapeLeft);
            director_->setProjection(kCCDirectorProjection3D);
        }
    }
    void TearDown() override {
        if (landscape_) director_->setDeviceOrientation(kCCDeviceOrientationPortrait);
        MenuFixture::TearDown();
    }
    // A window-sized node of four coloured quadrants over a magenta layer
    // drawn before it (what a vanished tile uncovers).
    CCNode* addPicture() {
        const CGSize win = director_->winSize();
        scene_->addChild(CCLayerColor::layerWithColor(kBehind));
        CCNode* picture = CCNode::node();
        picture->setContentSize(win);
        for (int q = 0; q < 4; ++q) {
            CCLayerColor* l = CCLayerColor::layerWithColor(kQuadrants[q], win.width / 2, win.height / 2);
            l->setPosition(CGPointMake(q % 2 ? win.width / 2 : 0, q / 2 ? win.height / 2 : 0));
            picture->addChild(l);
        }
        scene_->addChild(picture);
        return picture;
    }
    // The colour at a point of the window (the director's GL points).
    ccColor4B colorAt(float x, float y) const {
        if (!landscape_) return pixelAt(int(x), int(y));
        return pixelAt(int(y), int(480 - x));  // the portrait surface turned to landscape
    }
    // Colours at points spread over the window, none near a quadrant's edge.
    std::vector<ccColor4B> probeColors() const {
        const CGSize win = director_->winSize();
        std::vector<ccColor4B> colors;
        for (float fx : {0.01f, 0.2f, 0.45f, 0.55f, 0.8f, 0.99f})
            for (float fy : {0.01f, 0.3f, 0.45f, 0.55f, 0.7f, 0.99f})
                colors.push_back(colorAt(fx * win.width, fy * win.height));
        return colors;
    }
    void installActive(CCNode* node, CCGridBase* grid) {
        ASSERT_NE(grid, nullptr);
        node->setGrid(grid);
        grid->setActive(true);
    }

    bool landscape_ = false;
};

}  // namespace

TEST_P(GridTest, AnUntouchedGridBlitsThePictureUnchanged) {
    CCNode* picture = addPicture();
    frame();
    const std::vector<ccColor4B> plain = probeColors();
    EXPECT_TRUE(rgbNear(plain.front(), ccc3(230, 40, 30)));
    EXPECT_TRUE(rgbNear(plain.back(), ccc3(240, 220, 40)));
    // Kept: each frame drains the pool the factories hand their grids to.
    const host::Ref<CCGridBase> grids[] = {CCGrid3D::gridWithSize(ccg(8, 6)), CCTiledGrid3D::gridWithSize(ccg(5, 3))};
    for (CCGridBase* grid : grids) {
        ASSERT_NE(grid, nullptr);
        SCOPED_TRACE(grid->description());
        installActive(picture, grid);
        frame();
        const std::vector<ccColor4B> gridded = probeColors();
        for (size_t i = 0; i < plain.size(); ++i) EXPECT_TRUE(colorNear(gridded[i], plain[i], 3)) << "probe " << i;
    }
}

TEST_P(GridTest, ATurnedOffTileShowsWhatIsBehindIt) {
    CCNode* picture = addPicture();
    CCTiledGrid3D* grid = CCTiledGrid3D::gridWithSize(ccg(4, 4));
    installActive(picture, grid);
    const CGSize win = director_->winSize();
    const float sx = win.width / 4, sy = win.height / 4;  // tile size in points (scale 1)
    grid->setTile(ccg(1, 2), ccQuad3{});  // in the top-left quadrant
    frame();
    EXPECT_TRUE(rgbNear(colorAt(1.5f * sx, 2.5f * sy), ccc3(255, 0, 255))) << "the tile is gone";
    EXPECT_TRUE(rgbNear(colorAt(0.5f * sx, 2.5f * sy), ccc3(30, 60, 220))) << "its neighbours stay";
    EXPECT_TRUE(rgbNear(colorAt(1.5f * sx, 3.5f * sy), ccc3(30, 60, 220)));
    EXPECT_TRUE(rgbNear(colorAt(1.5f * sx, 1.5f * sy), ccc3(230, 40, 30)));

    // A tile moved by half its width covers half of its right-hand neighbour.
    grid->setTile(ccg(1, 2), grid->originalTile(ccg(1, 2)));
    ccQuad3 q = grid->originalTile(ccg(2, 0));
    for (ccVertex3F* v : {&q.bl, &q.br, &q.tl, &q.tr}) v->x += sx / 2;
    grid->setTile(ccg(2, 0), q);
    frame();
    EXPECT_TRUE(rgbNear(colorAt(1.5f * sx, 2.5f * sy), ccc3(30, 60, 220))) << "back on";
    EXPECT_TRUE(rgbNear(colorAt(2.25f * sx, 0.5f * sy), ccc3(255, 0, 255))) << "uncovered";
    EXPECT_TRUE(rgbNear(colorAt(3.25f * sx, 0.5f * sy), ccc3(40, 200, 60))) << "covered by the moved tile";
}

TEST_P(GridTest, AGridGivesBackTheStateItFound) {
    CCNode* picture = addPicture();
    installActive(picture, CCGrid3D::gridWithSize(ccg(2, 2)));
    // Drawn after the grid's node: where it would be without the grid.
    CCLayerColor* marker = CCLayerColor::layerWithColor(ccc4(255, 255, 255, 255), 20, 20);
    marker->setPosition(CGPointMake(100, 60));
    scene_->addChild(marker);
    GLfloat clearBefore[4];
    glGetFloatv(GL_COLOR_CLEAR_VALUE, clearBefore);
    glClearColor(0.2f, 0.4f, 0.6f, 1);
    GLint screen = 0;
    glGetIntegerv(GL_FRAMEBUFFER_BINDING_OES, &screen);
    ASSERT_NE(screen, 0) << "the host's screen is a framebuffer object";
    GLfloat projectionBefore[16];
    glGetFloatv(GL_PROJECTION_MATRIX, projectionBefore);
    frame();

    EXPECT_TRUE(rgbNear(colorAt(110, 70), ccc3(255, 255, 255)));
    EXPECT_TRUE(rgbNear(colorAt(95, 70), ccc3(230, 40, 30)));
    GLint bound = 0, viewport[4];
    GLfloat clear[4], projectionAfter[16];
    glGetIntegerv(GL_FRAMEBUFFER_BINDING_OES, &bound);
    glGetIntegerv(GL_VIEWPORT, viewport);
    glGetFloatv(GL_COLOR_CLEAR_VALUE, clear);
    glGetFloatv(GL_PROJECTION_MATRIX, projectionAfter);
    EXPECT_EQ(bound, screen);
    EXPECT_EQ(viewport[2], 320);
    EXPECT_EQ(viewport[3], 480);
    EXPECT_NEAR(clear[0], 0.2f, 1e-3);
    EXPECT_NEAR(clear[2], 0.6f, 1e-3);
    for (int i = 0; i < 16; ++i) EXPECT_FLOAT_EQ(projectionAfter[i], projectionBefore[i]) << i;
    glClearColor(clearBefore[0], clearBefore[1], clearBefore[2], clearBefore[3]);
}

INSTANTIATE_TEST_SUITE_P(Setups, GridTest, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& info) {
                             return std::string(info.param ? "Landscape3D" : "Portrait2D");
                         });

// ---- Meshes of the effects ----------------------------------------------------------

namespace {

class GridEffects : public GridActionFixture {
protected:
    static bool isOff(const ccQuad3& q) {
        for (const ccVertex3F& v : {q.bl, q.br, q.tl, q.tr})
            if (v.x != 0 || v.y != 0 || v.z != 0) return false;
        return true;
    }
    static float width(const ccQuad3& q) { return q.br.x - q.bl.x; }
};

}  // namespace

TEST_F(GridEffects, TurnOffTilesGoesFromAllOnToAllOffInARepeatableOrder) {
    auto run = [&](int seed) {
        CCTurnOffTiles* a = startOn(CCTurnOffTiles::actionWithSeed(seed, ccg(6, 4), 1));
        std::vector<int> firstOff;
        a->update(0);
        for (int i = 0; i < 6; ++i)
            for (int j = 0; j < 4; ++j) EXPECT_FALSE(isOff(tiles()->tile(ccg(i, j))));
        a->update(0.5f);
        int off = 0;
        for (int i = 0; i < 6; ++i)
            for (int j = 0; j < 4; ++j) {
                if (!isOff(tiles()->tile(ccg(i, j)))) continue;
                ++off;
                firstOff.push_back(i * 4 + j);
            }
        EXPECT_EQ(off, 12);
        a->update(1);
        for (int i = 0; i < 6; ++i)
            for (int j = 0; j < 4; ++j) EXPECT_TRUE(isOff(tiles()->tile(ccg(i, j))));
        return firstOff;
    };
    EXPECT_EQ(run(0), run(0)) << "the same seed, the same order";
    EXPECT_NE(run(0), run(7));
}

TEST_F(GridEffects, SplitsSlideNeighboursApartByTheWholeWindow) {
    CCSplitRows* rows = startOn(CCSplitRows::actionWithRows(3, 1));
    rows->update(1);
    const float w = director_->winSizeInPixels().width, h = director_->winSizeInPixels().height;
    for (int j = 0; j < 3; ++j) {
        const float dx = tiles()->tile(ccg(0, j)).bl.x - tiles()->originalTile(ccg(0, j)).bl.x;
        EXPECT_FLOAT_EQ(dx, j == 1 ? w : -w) << "row " << j;
    }
    CCSplitCols* cols = startOn(CCSplitCols::actionWithCols(3, 1));
    cols->update(0.5f);
    for (int i = 0; i < 3; ++i) {
        const float dy = tiles()->tile(ccg(i, 0)).tr.y - tiles()->originalTile(ccg(i, 0)).tr.y;
        EXPECT_FLOAT_EQ(dy, i == 1 ? h / 2 : -h / 2) << "column " << i;
    }
}

TEST_F(GridEffects, FadingTilesShrinkAwayInAFrontFromOneSide) {
    const ccGridSize size = ccg(8, 6);
    CCFadeOutTRTiles* tr = startOn(CCFadeOutTRTiles::actionWithSize(size, 1));
    tr->update(0);
    for (int i = 0; i < 8; ++i)
        for (int j = 0; j < 6; ++j) EXPECT_FLOAT_EQ(width(tiles()->tile(ccg(i, j))), width(tiles()->originalTile(ccg(i, j))));
    tr->update(0.9f);
    const float full = width(tiles()->originalTile(ccg(0, 0)));
    EXPECT_TRUE(isOff(tiles()->tile(ccg(0, 0)))) << "the bottom-left corner goes first";
    EXPECT_LT(width(tiles()->tile(ccg(2, 2))), 0.01f * full);
    EXPECT_GT(width(tiles()->tile(ccg(7, 5))), 0.5f * full) << "the top-right corner is left";
    const ccQuad3 shrunk = tiles()->tile(ccg(7, 5)), whole = tiles()->originalTile(ccg(7, 5));
    EXPECT_FLOAT_EQ(shrunk.bl.x + shrunk.tr.x, whole.bl.x + whole.tr.x) << "about its centre";

    CCFadeOutDownTiles* down = startOn(CCFadeOutDownTiles::actionWithSize(size, 1));
    down->update(0.5f);
    const ccQuad3 top = tiles()->tile(ccg(3, 5)), bottom = tiles()->tile(ccg(3, 0));
    const float rowHeight = director_->winSizeInPixels().height / 6;
    EXPECT_LT(top.tl.y - top.bl.y, 0.1f * rowHeight) << "the top row flattens first";
    EXPECT_FLOAT_EQ(top.br.x - top.bl.x, width(tiles()->originalTile(ccg(3, 5)))) << "vertically only";
    EXPECT_FLOAT_EQ(bottom.tl.y - bottom.bl.y, tiles()->originalTile(ccg(3, 0)).tl.y - tiles()->originalTile(ccg(3, 0)).bl.y);
}

TEST_F(GridEffects, ThePageTurnStartsFlatAndEndsAsANumberEverywhere) {
    CCPageTurn3D* page = startOn(CCPageTurn3D::actionWithSize(ccg(16, 12), 1));
    page->update(0);
    for (int i = 0; i <= 16; ++i)
        for (int j = 0; j <= 12; ++j) {
            const ccVertex3F v = lattice()->vertex(ccg(i, j)), o = lattice()->originalVertex(ccg(i, j));
            EXPECT_NEAR(v.x, o.x, 0.01f);
            EXPECT_NEAR(v.y, o.y, 0.01f);
            EXPECT_FLOAT_EQ(v.z, 0.5f);
        }
    for (float t : {0.5f, 1.0f}) {
        page->update(t);
        for (int i = 0; i <= 16; ++i)
            for (int j = 0; j <= 12; ++j) {
                const ccVertex3F v = lattice()->vertex(ccg(i, j));
                EXPECT_TRUE(std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z)) << t << " " << i << "," << j;
                EXPECT_GE(v.z, 0.5f) << "the curl stays in front of the page beneath";
            }
    }
    EXPECT_LT(lattice()->vertex(ccg(16, 0)).x, lattice()->originalVertex(ccg(16, 0)).x) << "the right edge has curled away";
}

TEST_F(GridEffects, AFlippedTextureGivesTheTopTilesTheTexturesTopRows) {
    // Image rows run top down: the top half red, the bottom half blue.
    CCTexture2D* texture = makeTexture(64, 64, CGSizeMake(64, 64), [](unsigned, unsigned y) {
        return y < 32 ? ccc4(255, 0, 0, 255) : ccc4(0, 0, 255, 255);
    });
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, texture->name());
    for (bool flipped : {true, false}) {
        CCTiledGrid3D* grid = CCTiledGrid3D::gridWithSize(ccg(2, 2), texture, flipped);
        ASSERT_NE(grid, nullptr);
        glClear(GL_COLOR_BUFFER_BIT);
        grid->blit();  // the mesh covers (0, 0) to (64, 64) of the 2D window
        EXPECT_TRUE(rgbNear(pixelAt(16, 48), flipped ? ccc3(255, 0, 0) : ccc3(0, 0, 255))) << flipped;
        EXPECT_TRUE(rgbNear(pixelAt(48, 16), flipped ? ccc3(0, 0, 255) : ccc3(255, 0, 0))) << flipped;
    }
    glDisable(GL_TEXTURE_2D);
    glDisableClientState(GL_COLOR_ARRAY);  // the blit leaves it on, as the director's visit has it
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    glDisableClientState(GL_VERTEX_ARRAY);
}

// ---- Reuse, stop, amplitude -----------------------------------------------------------

TEST_F(GridEffects, AReusedGridCarriesOnFromWhereTheLastEffectLeftIt) {
    CCSplitRows* first = startOn(CCSplitRows::actionWithRows(2, 1));
    const float start = tiles()->originalTile(ccg(0, 0)).bl.x;
    first->update(0.5f);
    CCGridBase* grid = node_->grid();
    const float movedBy = tiles()->tile(ccg(0, 0)).bl.x - start;
    ASSERT_NE(movedBy, 0);
    CCReuseGrid* reuse = CCReuseGrid::actionWithTimes(1);
    reuse->startWithTarget(node_);
    CCSplitRows* second = CCSplitRows::actionWithRows(2, 1);
    second->startWithTarget(node_);
    EXPECT_EQ(node_->grid(), grid) << "the same grid";
    EXPECT_EQ(grid->reuseGrid(), 0) << "the reuse is used up";
    second->update(0.5f);
    EXPECT_FLOAT_EQ(tiles()->originalTile(ccg(0, 0)).bl.x, start + movedBy) << "the first split's mesh is the start";
    EXPECT_FLOAT_EQ(tiles()->tile(ccg(0, 0)).bl.x, start + 2 * movedBy);

    // A grid to reuse that does not fit the next effect is a programming error.
    CCReuseGrid::actionWithTimes(1)->startWithTarget(node_);
    try {
        CCPageTurn3D::actionWithSize(ccg(1, 2), 1)->startWithTarget(node_);
        ADD_FAILURE() << "no exception";
    } catch (const CCException& e) {
        EXPECT_EQ(e.name(), "GridBase");
        EXPECT_EQ(e.reason(), "Cannot reuse grid");
    }

    CCStopGrid::action()->startWithTarget(node_);
    EXPECT_FALSE(grid->active());
    CCNode* bare = CCNode::node();
    CCStopGrid::action()->startWithTarget(bare);
    EXPECT_EQ(bare->grid(), nullptr) << "nothing to stop";
}

namespace {

// A lattice effect with an amplitude, as the distortion effects have.
class AmplitudeProbe : public CCGrid3DAction {
public:
    CC_GRID_ACTION_FACTORY(AmplitudeProbe)
    float amplitudeRate() const override { return rate_; }
    void setAmplitudeRate(float r) override { rate_ = r; }
    void update(ccTime t) override { seen.push_back(t); }
    std::vector<float> seen;

protected:
    AmplitudeProbe* makeCopy() const override { return sizedCopy<AmplitudeProbe>(); }
    float rate_ = 1;
};

}  // namespace

TEST_F(GridEffects, AmplitudeWrappersSwellAndFadeTheWrappedEffect) {
    AmplitudeProbe* probe = AmplitudeProbe::actionWithSize(ccg(2, 2), 1);
    CCAccelDeccelAmplitude* accelDeccel = startOn(CCAccelDeccelAmplitude::actionWithAction(probe, 2));
    EXPECT_NE(lattice(), nullptr) << "the wrapped effect started on the same target";
    accelDeccel->setRate(2);
    const std::pair<float, float> expected[] = {{0.25f, 0.25f}, {0.5f, 1.0f}, {0.75f, 0.25f}};
    for (auto [t, rate] : expected) {
        accelDeccel->update(t);
        EXPECT_FLOAT_EQ(probe->amplitudeRate(), rate) << t;
    }
    EXPECT_EQ(probe->seen, (std::vector<float>{0.25f, 0.5f, 0.75f}));
    CCAccelAmplitude::actionWithAction(probe, 1)->update(0.3f);
    EXPECT_FLOAT_EQ(probe->amplitudeRate(), 0.3f);
    CCDeccelAmplitude::actionWithAction(probe, 1)->update(0.3f);
    EXPECT_FLOAT_EQ(probe->amplitudeRate(), 0.7f);
    EXPECT_NE(dynamic_cast<CCReverseTime*>(CCDeccelAmplitude::actionWithAction(probe, 1)->reverse()->innerAction()),
              nullptr);

    // Actions without an amplitude refuse the question.
    try {
        CCMoveBy::actionWithDuration(1, CGPointMake(1, 1))->setAmplitudeRate(0.5f);
        ADD_FAILURE() << "no exception";
    } catch (const CCException& e) {
        EXPECT_EQ(e.name(), "IntervalAction (Amplitude)");
        EXPECT_EQ(e.reason(), "Abstract class needs implementation");
    }
}

// ---- Sizes a grid cannot have -------------------------------------------------------

TEST_F(GridEffects, ImpossibleSizesGiveNoGridAndOneLogLine) {
    const ccGridSize impossible[] = {ccg(0, 4), ccg(3, -2), ccg(300, 300), ccg(1000, 2), ccg(INT32_MAX, INT32_MAX)};
    for (ccGridSize size : impossible) {
        SCOPED_TRACE(std::to_string(size.x) + "x" + std::to_string(size.y));
        {
            LogCapture log;
            EXPECT_EQ(CCGrid3D::gridWithSize(size), nullptr);
            EXPECT_TRUE(log.exactlyOneLine());
        }
        LogCapture log;
        EXPECT_EQ(CCTiledGrid3D::gridWithSize(size), nullptr);
        EXPECT_TRUE(log.exactlyOneLine());
    }
    {
        LogCapture log;
        EXPECT_EQ(CCGrid3D::gridWithSize(ccg(2, 2), nullptr, false), nullptr);
        EXPECT_TRUE(log.exactlyOneLine());
    }
    // Effects of such sizes install no grid and run to their end harmlessly.
    LogCapture log;
    CCNode* node = CCNode::node();
    scene_->addChild(node);
    node->runAction(CCSequence::actions(CCTurnOffTiles::actionWithSize(ccg(-1, 5), 0.1f),
                                        CCSplitRows::actionWithRows(0, 0.1f), CCFadeOutUpTiles::actionWithSize(ccg(5, 0), 0.1f),
                                        CCPageTurn3D::actionWithSize(ccg(70000, 1), 0.1f), CCStopGrid::action(), nullptr));
    frames(40);
    EXPECT_EQ(node->numberOfRunningActions(), 0u);
    EXPECT_EQ(node->grid(), nullptr);
    EXPECT_EQ(log.lines().size(), 4u) << log.joined();
}
