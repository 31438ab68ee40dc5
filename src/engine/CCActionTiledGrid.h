// The tile effects the grid transitions run: tiles turned off in a random
// order, rows or columns sliding apart, and tiles fading out (shrinking
// away) from one corner or edge towards the other.
#pragma once

#include <vector>

#include "engine/CCActionGrid.h"

// Turns the tiles off one by one in a shuffled order, all of them by the
// end. The order comes from srand(seed) unless the seed is -1 (then from
// wherever rand() is), so a seed repeats it.
class CCTurnOffTiles : public CCTiledGrid3DAction {
public:
    // The seed is 0.
    CC_GRID_ACTION_FACTORY(CCTurnOffTiles)
    static CCTurnOffTiles* actionWithSeed(int seed, ccGridSize size, ccTime duration);
    bool initWithSeed(int seed, ccGridSize size, ccTime duration);

    int seed() const { return seed_; }

    void startWithTarget(CCNode* target) override;
    void update(ccTime t) override;

protected:
    ~CCTurnOffTiles() override = default;
    CCTurnOffTiles* makeCopy() const override;

    int seed_ = 0;
    unsigned tilesCount_ = 0;
    std::vector<int> tilesOrder_;
};

// One column of `rows` rows: even rows slide left, odd rows right, by the
// window's width at the end.
class CCSplitRows : public CCTiledGrid3DAction {
public:
    static CCSplitRows* actionWithRows(int rows, ccTime duration);
    bool initWithRows(int rows, ccTime duration);

    void startWithTarget(CCNode* target) override;
    void update(ccTime t) override;
    host::Ref<CCSplitRows> copy() const { return host::Ref<CCSplitRows>::adopt(makeCopy()); }

protected:
    ~CCSplitRows() override = default;
    CCSplitRows* makeCopy() const override;

    int rows_ = 0;
    CGSize winSize_ = CGSizeZero;  // pixels, at the start
};

// One row of `cols` columns: even columns slide down, odd columns up, by
// the window's height at the end.
class CCSplitCols : public CCTiledGrid3DAction {
public:
    static CCSplitCols* actionWithCols(int cols, ccTime duration);
    bool initWithCols(int cols, ccTime duration);

    void startWithTarget(CCNode* target) override;
    void update(ccTime t) override;
    host::Ref<CCSplitCols> copy() const { return host::Ref<CCSplitCols>::adopt(makeCopy()); }

protected:
    ~CCSplitCols() override = default;
    CCSplitCols* makeCopy() const override;

    int cols_ = 0;
    CGSize winSize_ = CGSizeZero;  // pixels, at the start
};

// Tiles shrink away to their centres, the bottom-left one first, in a
// front that moves towards the top-right corner.
class CCFadeOutTRTiles : public CCTiledGrid3DAction {
public:
    CC_GRID_ACTION_FACTORY(CCFadeOutTRTiles)

    void update(ccTime t) override;
    // How much of the tile at `pos` is left at time t: 0 or less gone, 1
    // or more whole, in between shrunk by that much.
    virtual float testFunc(ccGridSize pos, ccTime time) const;
    // Shrinks the tile at `pos` to `distance` of its size.
    virtual void transformTile(ccGridSize pos, float distance);

protected:
    ~CCFadeOutTRTiles() override = default;
    CCFadeOutTRTiles* makeCopy() const override { return sizedCopy<CCFadeOutTRTiles>(); }
};

// The same from the top-right corner towards the bottom-left one.
class CCFadeOutBLTiles : public CCFadeOutTRTiles {
public:
    CC_GRID_ACTION_FACTORY(CCFadeOutBLTiles)
    float testFunc(ccGridSize pos, ccTime time) const override;

protected:
    ~CCFadeOutBLTiles() override = default;
    CCFadeOutBLTiles* makeCopy() const override { return sizedCopy<CCFadeOutBLTiles>(); }
};

// Rows of tiles flatten away, the bottom row first, upwards.
class CCFadeOutUpTiles : public CCFadeOutTRTiles {
public:
    CC_GRID_ACTION_FACTORY(CCFadeOutUpTiles)
    float testFunc(ccGridSize pos, ccTime time) const override;
    // Shrinks vertically only.
    void transformTile(ccGridSize pos, float distance) override;

protected:
    ~CCFadeOutUpTiles() override = default;
    CCFadeOutUpTiles* makeCopy() const override { return sizedCopy<CCFadeOutUpTiles>(); }
};

// Rows of tiles flatten away, the top row first, downwards.
class CCFadeOutDownTiles : public CCFadeOutUpTiles {
public:
    CC_GRID_ACTION_FACTORY(CCFadeOutDownTiles)
    float testFunc(ccGridSize pos, ccTime time) const override;

protected:
    ~CCFadeOutDownTiles() override = default;
    CCFadeOutDownTiles* makeCopy() const override { return sizedCopy<CCFadeOutDownTiles>(); }
};
