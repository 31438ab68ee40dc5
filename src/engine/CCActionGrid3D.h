// Effects that bend the lattice grid (CCGrid3D): waves, liquid, ripple,
// lens, twirl, shake and the two 3D flips. Each update(t) recomputes every
// vertex from the undistorted lattice, so nothing builds up between frames
// unless the grid is reused.
#pragma once

#include "engine/CCGridEffect.h"

// Waves running across the picture in depth (z), along x + y.
class CCWaves3D : public CCAmplitudeEffect<CCGrid3DAction> {
public:
    static CCWaves3D* actionWithWaves(int waves, float amplitude, ccGridSize size, ccTime duration);
    bool initWithWaves(int waves, float amplitude, ccGridSize size, ccTime duration);
    void update(ccTime t) override;
    host::Ref<CCWaves3D> copy() const { return host::Ref<CCWaves3D>::adopt(makeCopy()); }

protected:
    ~CCWaves3D() override = default;
    CCWaves3D* makeCopy() const override;
    int waves_ = 0;
};

// Waves in the plane: x swings with y (vertical), then y with the new x
// (horizontal).
class CCWaves : public CCAmplitudeEffect<CCGrid3DAction> {
public:
    static CCWaves* actionWithWaves(int waves, float amplitude, bool horizontal, bool vertical, ccGridSize size,
                                    ccTime duration);
    bool initWithWaves(int waves, float amplitude, bool horizontal, bool vertical, ccGridSize size, ccTime duration);
    void update(ccTime t) override;
    host::Ref<CCWaves> copy() const { return host::Ref<CCWaves>::adopt(makeCopy()); }

protected:
    ~CCWaves() override = default;
    CCWaves* makeCopy() const override;
    int waves_ = 0;
    bool horizontal_ = false;
    bool vertical_ = false;
};

// The inside of the picture wobbles like a liquid; its border stays put.
class CCLiquid : public CCAmplitudeEffect<CCGrid3DAction> {
public:
    static CCLiquid* actionWithWaves(int waves, float amplitude, ccGridSize size, ccTime duration);
    bool initWithWaves(int waves, float amplitude, ccGridSize size, ccTime duration);
    void update(ccTime t) override;
    host::Ref<CCLiquid> copy() const { return host::Ref<CCLiquid>::adopt(makeCopy()); }

protected:
    ~CCLiquid() override = default;
    CCLiquid* makeCopy() const override;
    int waves_ = 0;
};

// Rings in depth spreading from a centre (points), fading to nothing at
// `radius` (grid pixels).
class CCRipple3D : public CCAmplitudeEffect<CCGrid3DAction> {
public:
    static CCRipple3D* actionWithPosition(CGPoint pos, float radius, int waves, float amplitude, ccGridSize size,
                                          ccTime duration);
    bool initWithPosition(CGPoint pos, float radius, int waves, float amplitude, ccGridSize size, ccTime duration);
    CGPoint position() const { return position_; }
    void setPosition(CGPoint pos);
    void update(ccTime t) override;
    host::Ref<CCRipple3D> copy() const { return host::Ref<CCRipple3D>::adopt(makeCopy()); }

protected:
    ~CCRipple3D() override = default;
    CCRipple3D* makeCopy() const override;
    CGPoint position_ = CGPointZero;
    CGPoint positionInPixels_ = CGPointZero;
    float radius_ = 0;
    int waves_ = 0;
};

// A lens bulging towards the viewer over a circle of `radius` (grid
// pixels) round a centre (points). The bulge depends on the position
// only, so it is computed on the first update after each move.
class CCLens3D : public CCGrid3DAction {
public:
    static CCLens3D* actionWithPosition(CGPoint pos, float radius, ccGridSize size, ccTime duration);
    bool initWithPosition(CGPoint pos, float radius, ccGridSize size, ccTime duration);
    CGPoint position() const { return position_; }
    void setPosition(CGPoint pos);
    float lensEffect() const { return lensEffect_; }
    void setLensEffect(float effect);
    // Each start draws onto a grid whose mesh has no lens yet.
    void startWithTarget(CCNode* target) override;
    void update(ccTime t) override;
    host::Ref<CCLens3D> copy() const { return host::Ref<CCLens3D>::adopt(makeCopy()); }

protected:
    ~CCLens3D() override = default;
    CCLens3D* makeCopy() const override;
    CGPoint position_ = CGPointZero;
    CGPoint positionInPixels_ = CGPointZero;
    float radius_ = 0;
    float lensEffect_ = 0.7f;
    bool dirty_ = false;
};

// The picture turns round a centre (points), more the further a vertex is
// from the grid's middle, back and forth `twirls` times.
class CCTwirl : public CCAmplitudeEffect<CCGrid3DAction> {
public:
    static CCTwirl* actionWithPosition(CGPoint pos, int twirls, float amplitude, ccGridSize size, ccTime duration);
    bool initWithPosition(CGPoint pos, int twirls, float amplitude, ccGridSize size, ccTime duration);
    CGPoint position() const { return position_; }
    void setPosition(CGPoint pos);
    void update(ccTime t) override;
    host::Ref<CCTwirl> copy() const { return host::Ref<CCTwirl>::adopt(makeCopy()); }

protected:
    ~CCTwirl() override = default;
    CCTwirl* makeCopy() const override;
    CGPoint position_ = CGPointZero;
    CGPoint positionInPixels_ = CGPointZero;
    int twirls_ = 0;
};

// Every vertex jumps by a random whole number of pixels in [-range, range)
// each frame, in depth too with shakeZ. A range below 1 counts as 1.
class CCShaky3D : public CCGrid3DAction {
public:
    static CCShaky3D* actionWithRange(int range, bool shakeZ, ccGridSize size, ccTime duration);
    bool initWithRange(int range, bool shakeZ, ccGridSize size, ccTime duration);
    void update(ccTime t) override;
    host::Ref<CCShaky3D> copy() const { return host::Ref<CCShaky3D>::adopt(makeCopy()); }

protected:
    ~CCShaky3D() override = default;
    CCShaky3D* makeCopy() const override;
    int randrange_ = 1;
    bool shakeZ_ = false;
};

// The picture, one cell, turns over about its vertical axis, ending
// mirrored left to right.
class CCFlipX3D : public CCGrid3DAction {
public:
    static CCFlipX3D* actionWithDuration(ccTime duration);
    CC_GRID_ACTION_FACTORY(CCFlipX3D)
    // Raises "FlipX3D" / "Grid size must be (1,1)" for any other size.
    bool initWithSize(ccGridSize size, ccTime duration) override;
    void update(ccTime t) override;

protected:
    ~CCFlipX3D() override = default;
    CCFlipX3D* makeCopy() const override;
};

// The same about the horizontal axis, ending mirrored top to bottom.
class CCFlipY3D : public CCFlipX3D {
public:
    static CCFlipY3D* actionWithDuration(ccTime duration);
    CC_GRID_ACTION_FACTORY(CCFlipY3D)
    void update(ccTime t) override;

protected:
    ~CCFlipY3D() override = default;
    CCFlipY3D* makeCopy() const override;
};
