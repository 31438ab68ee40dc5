#include "engine/CCActionTiledGrid.h"

#include <cmath>
#include <cstdlib>

#include "engine/CCDirector.h"
#include "engine/CCGrid.h"

namespace {

// The fade-out fronts are this steep: a tile goes from whole to gone over
// a short stretch of the front's way.
constexpr float kFadeExponent = 6;

// Every corner of a tile moved by (dx, dy).
ccQuad3 moved(ccQuad3 q, float dx, float dy) {
    for (ccVertex3F* v : {&q.bl, &q.br, &q.tl, &q.tr}) {
        v->x += dx;
        v->y += dy;
    }
    return q;
}

// -1 for even lines, +1 for odd ones: neighbours slide apart.
float alternating(int line) { return line % 2 == 0 ? -1.0f : 1.0f; }

}  // namespace

// ---- CCTurnOffTiles --------------------------------------------------------------

CCTurnOffTiles* CCTurnOffTiles::actionWithSeed(int seed, ccGridSize size, ccTime duration) {
    return host::create<CCTurnOffTiles>([&](CCTurnOffTiles* a) { return a->initWithSeed(seed, size, duration); });
}

bool CCTurnOffTiles::initWithSeed(int seed, ccGridSize size, ccTime duration) {
    if (!initWithSize(size, duration)) return false;
    seed_ = seed;
    return true;
}

CCTurnOffTiles* CCTurnOffTiles::makeCopy() const {
    const int seed = seed_;
    const ccGridSize size = gridSize_;
    const ccTime d = duration_;
    return host::createOwned<CCTurnOffTiles>([&](CCTurnOffTiles* a) { return a->initWithSeed(seed, size, d); });
}

void CCTurnOffTiles::startWithTarget(CCNode* target) {
    CCTiledGrid3DAction::startWithTarget(target);
    shuffledTileOrder(seed_, tilesOrder_);
    tilesCount_ = unsigned(tilesOrder_.size());
}

void CCTurnOffTiles::update(ccTime t) {
    if (tilesCount_ == 0) return;
    const unsigned off = unsigned(t * float(tilesCount_));
    const int rows = gridSize_.y;
    for (unsigned i = 0; i < tilesCount_; ++i) {
        const int n = tilesOrder_[i];
        const ccGridSize pos = ccg(n / rows, n % rows);
        if (i < off)
            turnOffTile(pos);
        else
            turnOnTile(pos);
    }
}

// ---- CCSplitRows, CCSplitCols ----------------------------------------------------

CCSplitRows* CCSplitRows::actionWithRows(int rows, ccTime duration) {
    return host::create<CCSplitRows>([&](CCSplitRows* a) { return a->initWithRows(rows, duration); });
}

bool CCSplitRows::initWithRows(int rows, ccTime duration) {
    rows_ = rows;
    return initWithSize(ccg(1, rows), duration);
}

CCSplitRows* CCSplitRows::makeCopy() const {
    const int rows = rows_;
    const ccTime d = duration_;
    return host::createOwned<CCSplitRows>([&](CCSplitRows* a) { return a->initWithRows(rows, d); });
}

void CCSplitRows::startWithTarget(CCNode* target) {
    CCTiledGrid3DAction::startWithTarget(target);
    winSize_ = CCDirector::sharedDirector()->winSizeInPixels();
}

void CCSplitRows::update(ccTime t) {
    if (!targetGrid()) return;
    for (int j = 0; j < gridSize_.y; ++j) {
        const ccGridSize pos = ccg(0, j);
        setTile(pos, moved(originalTile(pos), alternating(j) * winSize_.width * t, 0));
    }
}

CCSplitCols* CCSplitCols::actionWithCols(int cols, ccTime duration) {
    return host::create<CCSplitCols>([&](CCSplitCols* a) { return a->initWithCols(cols, duration); });
}

bool CCSplitCols::initWithCols(int cols, ccTime duration) {
    cols_ = cols;
    return initWithSize(ccg(cols, 1), duration);
}

CCSplitCols* CCSplitCols::makeCopy() const {
    const int cols = cols_;
    const ccTime d = duration_;
    return host::createOwned<CCSplitCols>([&](CCSplitCols* a) { return a->initWithCols(cols, d); });
}

void CCSplitCols::startWithTarget(CCNode* target) {
    CCTiledGrid3DAction::startWithTarget(target);
    winSize_ = CCDirector::sharedDirector()->winSizeInPixels();
}

void CCSplitCols::update(ccTime t) {
    if (!targetGrid()) return;
    for (int i = 0; i < gridSize_.x; ++i) {
        const ccGridSize pos = ccg(i, 0);
        setTile(pos, moved(originalTile(pos), 0, alternating(i) * winSize_.height * t));
    }
}

// ---- Fading tiles ----------------------------------------------------------------

void CCFadeOutTRTiles::update(ccTime t) {
    if (!targetGrid()) return;
    for (int i = 0; i < gridSize_.x; ++i) {
        for (int j = 0; j < gridSize_.y; ++j) {
            const ccGridSize pos = ccg(i, j);
            const float distance = testFunc(pos, t);
            if (distance == 0)
                turnOffTile(pos);
            else if (distance < 1)
                transformTile(pos, distance);
            else
                turnOnTile(pos);
        }
    }
}

float CCFadeOutTRTiles::testFunc(ccGridSize pos, ccTime time) const {
    const float n = float(gridSize_.x) * time + float(gridSize_.y) * time;
    if (n == 0) return 1;
    return std::pow(float(pos.x + pos.y) / n, kFadeExponent);
}

void CCFadeOutTRTiles::transformTile(ccGridSize pos, float distance) {
    const CCTiledGrid3D* grid = targetGrid();
    if (!grid) return;
    ccQuad3 q = grid->originalTile(pos);
    const CGPoint step = grid->step();
    const float dx = step.x / 2 * (1 - distance), dy = step.y / 2 * (1 - distance);
    q.bl.x += dx, q.bl.y += dy;
    q.br.x -= dx, q.br.y += dy;
    q.tl.x += dx, q.tl.y -= dy;
    q.tr.x -= dx, q.tr.y -= dy;
    setTile(pos, q);
}

float CCFadeOutBLTiles::testFunc(ccGridSize pos, ccTime time) const {
    if (pos.x + pos.y == 0) return 1;
    const float n = float(gridSize_.x) * (1 - time) + float(gridSize_.y) * (1 - time);
    return std::pow(n / float(pos.x + pos.y), kFadeExponent);
}

float CCFadeOutUpTiles::testFunc(ccGridSize pos, ccTime time) const {
    const float n = float(gridSize_.y) * time;
    if (n == 0) return 1;
    return std::pow(float(pos.y) / n, kFadeExponent);
}

void CCFadeOutUpTiles::transformTile(ccGridSize pos, float distance) {
    const CCTiledGrid3D* grid = targetGrid();
    if (!grid) return;
    ccQuad3 q = grid->originalTile(pos);
    const float dy = grid->step().y / 2 * (1 - distance);
    q.bl.y += dy;
    q.br.y += dy;
    q.tl.y -= dy;
    q.tr.y -= dy;
    setTile(pos, q);
}

float CCFadeOutDownTiles::testFunc(ccGridSize pos, ccTime time) const {
    if (pos.y == 0) return 1;
    return std::pow(float(gridSize_.y) * (1 - time) / float(pos.y), kFadeExponent);
}
