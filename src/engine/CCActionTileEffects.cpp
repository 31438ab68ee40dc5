#include "engine/CCActionTileEffects.h"

#include <cmath>
#include <cstdlib>

#include "engine/CCGrid.h"

namespace {

constexpr float kPi = 3.14159265359f;

// Calls f(pos, tile) for every tile of the target's grid and stores the
// tile it returns; nothing without a grid.
template <class F> void eachTile(CCTiledGrid3D* grid, F f) {
    if (!grid) return;
    const ccGridSize size = grid->gridSize();
    for (int i = 0; i < size.x; ++i)
        for (int j = 0; j < size.y; ++j) {
            const ccGridSize pos = ccg(i, j);
            grid->setTile(pos, f(pos, grid->originalTile(pos)));
        }
}

// Every corner shaken on its own: all the x, then all the y, then (with
// `depth`) all the z, so that a seed repeats the same picture.
ccQuad3 shaken(ccQuad3 q, int range, bool depth) {
    ccVertex3F* corners[] = {&q.bl, &q.br, &q.tl, &q.tr};
    for (ccVertex3F* v : corners) v->x += ccShakeOffset(range);
    for (ccVertex3F* v : corners) v->y += ccShakeOffset(range);
    if (depth)
        for (ccVertex3F* v : corners) v->z += ccShakeOffset(range);
    return q;
}

// The tile with all four corners' depth raised by dz.
ccQuad3 raised(ccQuad3 q, float dz) {
    for (ccVertex3F* v : {&q.bl, &q.br, &q.tl, &q.tr}) v->z += dz;
    return q;
}

}  // namespace

// ---- CCShakyTiles3D --------------------------------------------------------------

CCShakyTiles3D* CCShakyTiles3D::actionWithRange(int range, bool shakeZ, ccGridSize size, ccTime duration) {
    return host::create<CCShakyTiles3D>(
        [&](CCShakyTiles3D* a) { return a->initWithRange(range, shakeZ, size, duration); });
}

bool CCShakyTiles3D::initWithRange(int range, bool shakeZ, ccGridSize size, ccTime duration) {
    if (!initWithSize(size, duration)) return false;
    randrange_ = ccShakeRange(range, "ShakyTiles3D");
    shakeZ_ = shakeZ;
    return true;
}

CCShakyTiles3D* CCShakyTiles3D::makeCopy() const {
    return host::createOwned<CCShakyTiles3D>(
        [&](CCShakyTiles3D* a) { return a->initWithRange(randrange_, shakeZ_, gridSize_, duration_); });
}

void CCShakyTiles3D::update(ccTime) {
    eachTile(targetGrid(), [&](ccGridSize, ccQuad3 q) { return shaken(q, randrange_, shakeZ_); });
}

// ---- CCShatteredTiles3D ----------------------------------------------------------

CCShatteredTiles3D* CCShatteredTiles3D::actionWithRange(int range, bool shatterZ, ccGridSize size, ccTime duration) {
    return host::create<CCShatteredTiles3D>(
        [&](CCShatteredTiles3D* a) { return a->initWithRange(range, shatterZ, size, duration); });
}

bool CCShatteredTiles3D::initWithRange(int range, bool shatterZ, ccGridSize size, ccTime duration) {
    if (!initWithSize(size, duration)) return false;
    randrange_ = ccShakeRange(range, "ShatteredTiles3D");
    shatterZ_ = shatterZ;
    once_ = false;
    return true;
}

CCShatteredTiles3D* CCShatteredTiles3D::makeCopy() const {
    return host::createOwned<CCShatteredTiles3D>(
        [&](CCShatteredTiles3D* a) { return a->initWithRange(randrange_, shatterZ_, gridSize_, duration_); });
}

void CCShatteredTiles3D::update(ccTime) {
    if (once_) return;
    eachTile(targetGrid(), [&](ccGridSize, ccQuad3 q) { return shaken(q, randrange_, shatterZ_); });
    once_ = true;
}

// ---- CCShuffleTiles --------------------------------------------------------------

CCShuffleTiles* CCShuffleTiles::actionWithSeed(int seed, ccGridSize size, ccTime duration) {
    return host::create<CCShuffleTiles>([&](CCShuffleTiles* a) { return a->initWithSeed(seed, size, duration); });
}

bool CCShuffleTiles::initWithSeed(int seed, ccGridSize size, ccTime duration) {
    if (!initWithSize(size, duration)) return false;
    seed_ = seed;
    return true;
}

CCShuffleTiles* CCShuffleTiles::makeCopy() const {
    return host::createOwned<CCShuffleTiles>(
        [&](CCShuffleTiles* a) { return a->initWithSeed(seed_, gridSize_, duration_); });
}

void CCShuffleTiles::startWithTarget(CCNode* target) {
    CCTiledGrid3DAction::startWithTarget(target);
    shuffledTileOrder(seed_, tilesOrder_);
    tilesCount_ = unsigned(tilesOrder_.size());
    tiles_.clear();
    tiles_.reserve(tilesCount_);
    for (int i = 0; tilesCount_ && i < gridSize_.x; ++i)
        for (int j = 0; j < gridSize_.y; ++j) {
            const CGPoint cell{float(i), float(j)};
            tiles_.push_back(ccShuffledTile{cell, cell, getDelta(ccg(i, j))});
        }
}

ccGridSize CCShuffleTiles::getDelta(ccGridSize pos) const {
    const int rows = gridSize_.y;
    // Before a start, or for a cell outside the grid, there is no way to go.
    if (pos.x < 0 || pos.y < 0 || pos.y >= rows || unsigned(pos.x * rows + pos.y) >= tilesOrder_.size()) return ccg(0, 0);
    const int n = tilesOrder_[unsigned(pos.x * rows + pos.y)];
    return ccg(n / rows - pos.x, n % rows - pos.y);
}

void CCShuffleTiles::placeTile(ccGridSize pos, const ccShuffledTile& tile) {
    CCTiledGrid3D* grid = targetGrid();
    if (!grid) return;
    const CGPoint step = grid->step();
    // Whole pixels, so tiles never sit between texels.
    const float ox = std::trunc(tile.position.x * step.x), oy = std::trunc(tile.position.y * step.y);
    ccQuad3 q = grid->originalTile(pos);
    for (ccVertex3F* v : {&q.bl, &q.br, &q.tl, &q.tr}) {
        v->x += ox;
        v->y += oy;
    }
    grid->setTile(pos, q);
}

void CCShuffleTiles::update(ccTime t) {
    if (tiles_.empty()) return;
    unsigned k = 0;
    for (int i = 0; i < gridSize_.x; ++i)
        for (int j = 0; j < gridSize_.y; ++j) {
            ccShuffledTile& tile = tiles_[k++];
            tile.position = CGPoint{float(tile.delta.x) * t, float(tile.delta.y) * t};
            placeTile(ccg(i, j), tile);
        }
}

// ---- CCWavesTiles3D --------------------------------------------------------------

CCWavesTiles3D* CCWavesTiles3D::actionWithWaves(int waves, float amplitude, ccGridSize size, ccTime duration) {
    return host::create<CCWavesTiles3D>(
        [&](CCWavesTiles3D* a) { return a->initWithWaves(waves, amplitude, size, duration); });
}

bool CCWavesTiles3D::initWithWaves(int waves, float amplitude, ccGridSize size, ccTime duration) {
    if (!initWithSize(size, duration)) return false;
    waves_ = waves;
    setAmplitude(amplitude);
    return true;
}

CCWavesTiles3D* CCWavesTiles3D::makeCopy() const {
    return host::createOwned<CCWavesTiles3D>(
        [&](CCWavesTiles3D* a) { return a->initWithWaves(waves_, amplitude_, gridSize_, duration_); });
}

void CCWavesTiles3D::update(ccTime t) {
    const float phase = t * kPi * float(waves_) * 2, A = scaledAmplitude();
    eachTile(targetGrid(), [&](ccGridSize, ccQuad3 q) {
        const float h = std::sin(phase + (q.bl.y + q.bl.x) * 0.01f) * A;
        for (ccVertex3F* v : {&q.bl, &q.br, &q.tl, &q.tr}) v->z = h;
        return q;
    });
}

// ---- CCJumpTiles3D ---------------------------------------------------------------

CCJumpTiles3D* CCJumpTiles3D::actionWithJumps(int jumps, float amplitude, ccGridSize size, ccTime duration) {
    return host::create<CCJumpTiles3D>(
        [&](CCJumpTiles3D* a) { return a->initWithJumps(jumps, amplitude, size, duration); });
}

bool CCJumpTiles3D::initWithJumps(int jumps, float amplitude, ccGridSize size, ccTime duration) {
    if (!initWithSize(size, duration)) return false;
    jumps_ = jumps;
    setAmplitude(amplitude);
    return true;
}

CCJumpTiles3D* CCJumpTiles3D::makeCopy() const {
    return host::createOwned<CCJumpTiles3D>(
        [&](CCJumpTiles3D* a) { return a->initWithJumps(jumps_, amplitude_, gridSize_, duration_); });
}

void CCJumpTiles3D::update(ccTime t) {
    const float A = scaledAmplitude();
    const float even = std::sin(t * kPi * float(jumps_) * 2) * A;
    const float odd = std::sin(kPi * (float(jumps_) * t * 2 + 1)) * A;
    eachTile(targetGrid(), [&](ccGridSize pos, ccQuad3 q) { return raised(q, (pos.x + pos.y) % 2 ? odd : even); });
}
