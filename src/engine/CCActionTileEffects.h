// Effects that move the separate tiles of a tiled grid (CCTiledGrid3D):
// shaking, shattering, shuffling, waving and jumping tiles. Each update(t)
// places every tile anew from where it lies undistorted.
#pragma once

#include <vector>

#include "engine/CCGridEffect.h"

// Every corner of every tile jumps by a random whole number of pixels in
// [-range, range) each frame, in depth too with shakeZ, so tiles deform.
class CCShakyTiles3D : public CCTiledGrid3DAction {
public:
    static CCShakyTiles3D* actionWithRange(int range, bool shakeZ, ccGridSize size, ccTime duration);
    bool initWithRange(int range, bool shakeZ, ccGridSize size, ccTime duration);
    void update(ccTime t) override;
    host::Ref<CCShakyTiles3D> copy() const { return host::Ref<CCShakyTiles3D>::adopt(makeCopy()); }

protected:
    ~CCShakyTiles3D() override = default;
    CCShakyTiles3D* makeCopy() const override;
    int randrange_ = 1;
    bool shakeZ_ = false;
};

// The tiles are shaken once, on the first update, and stay broken in the
// same places for the rest of the action.
class CCShatteredTiles3D : public CCTiledGrid3DAction {
public:
    static CCShatteredTiles3D* actionWithRange(int range, bool shatterZ, ccGridSize size, ccTime duration);
    bool initWithRange(int range, bool shatterZ, ccGridSize size, ccTime duration);
    void update(ccTime t) override;
    host::Ref<CCShatteredTiles3D> copy() const { return host::Ref<CCShatteredTiles3D>::adopt(makeCopy()); }

protected:
    ~CCShatteredTiles3D() override = default;
    CCShatteredTiles3D* makeCopy() const override;
    int randrange_ = 1;
    bool once_ = false;
    bool shatterZ_ = false;
};

// One tile's journey while the tiles are shuffled, in cells.
struct ccShuffledTile {
    CGPoint position;       // its offset so far
    CGPoint startPosition;  // its own cell
    ccGridSize delta;       // the way to its destination cell
};

// Every tile slides to the cell of a shuffled order, all arriving at the
// end. The order comes from srand(seed) unless the seed is -1 (then from
// wherever rand() is), so a seed repeats it.
class CCShuffleTiles : public CCTiledGrid3DAction {
public:
    static CCShuffleTiles* actionWithSeed(int seed, ccGridSize size, ccTime duration);
    bool initWithSeed(int seed, ccGridSize size, ccTime duration);

    int seed() const { return seed_; }
    // The cells from tile `pos` to the cell its shuffled number names.
    ccGridSize getDelta(ccGridSize pos) const;
    // The undistorted tile at `pos` moved by `tile`'s offset, in whole pixels.
    void placeTile(ccGridSize pos, const ccShuffledTile& tile);

    void startWithTarget(CCNode* target) override;
    void update(ccTime t) override;
    host::Ref<CCShuffleTiles> copy() const { return host::Ref<CCShuffleTiles>::adopt(makeCopy()); }

protected:
    ~CCShuffleTiles() override = default;
    CCShuffleTiles* makeCopy() const override;

    int seed_ = 0;
    unsigned tilesCount_ = 0;
    std::vector<int> tilesOrder_;
    std::vector<ccShuffledTile> tiles_;
};

// Flat tiles rising and sinking whole in waves along x + y.
class CCWavesTiles3D : public CCAmplitudeEffect<CCTiledGrid3DAction> {
public:
    static CCWavesTiles3D* actionWithWaves(int waves, float amplitude, ccGridSize size, ccTime duration);
    bool initWithWaves(int waves, float amplitude, ccGridSize size, ccTime duration);
    void update(ccTime t) override;
    host::Ref<CCWavesTiles3D> copy() const { return host::Ref<CCWavesTiles3D>::adopt(makeCopy()); }

protected:
    ~CCWavesTiles3D() override = default;
    CCWavesTiles3D* makeCopy() const override;
    int waves_ = 0;
};

// A chequerboard of tiles jumping in depth, neighbours in opposite phase.
class CCJumpTiles3D : public CCAmplitudeEffect<CCTiledGrid3DAction> {
public:
    static CCJumpTiles3D* actionWithJumps(int jumps, float amplitude, ccGridSize size, ccTime duration);
    bool initWithJumps(int jumps, float amplitude, ccGridSize size, ccTime duration);
    void update(ccTime t) override;
    host::Ref<CCJumpTiles3D> copy() const { return host::Ref<CCJumpTiles3D>::adopt(makeCopy()); }

protected:
    ~CCJumpTiles3D() override = default;
    CCJumpTiles3D* makeCopy() const override;
    int jumps_ = 0;
};
