// Grid actions: interval actions that draw their target through a grid
// (CCGrid.h) and move the grid's mesh in update().
//
// Starting a grid action installs a new grid of its kind on the target and
// switches it on, unless the target's grid was marked for reuse
// (CCReuseGrid), in which case the action carries on with that grid from
// where the last action left its mesh. CCStopGrid switches the grid off.
//
// To make an effect, derive from CCGrid3DAction (a lattice that bends) or
// CCTiledGrid3DAction (separate tiles), give it a factory, a copy and an
// update(t) that computes every vertex or tile anew from the undistorted
// mesh (originalVertex / originalTile) and stores it (setVertex / setTile).
// Effects with an amplitude also answer amplitudeRate / setAmplitudeRate,
// so that the amplitude wrappers below can swell and fade them.
#pragma once

#include <vector>

#include "engine/CCAction.h"
#include "engine/CCActionInstant.h"
#include "engine/ccTypes.h"
#include "host/core/Ref.h"

class CCGridBase;
class CCGrid3D;
class CCTiledGrid3D;

class CCGridAction : public CCActionInterval {
public:
    virtual bool initWithSize(ccGridSize size, ccTime duration);

    ccGridSize gridSize() const { return gridSize_; }
    void setGridSize(ccGridSize size) { gridSize_ = size; }

    // A new grid of this action's kind and size (owned by nobody yet), or
    // null when it cannot be made (logged).
    virtual CCGridBase* grid() = 0;

    // Installs and switches on the grid, or reuses the target's; raises
    // "GridBase" / "Cannot reuse grid" when the grid marked for reuse is
    // off, of another size or of another kind.
    void startWithTarget(CCNode* target) override;
    // This very action played backwards in time.
    CCFiniteTimeAction* reverse() override;
    host::Ref<CCGridAction> copy() const { return host::Ref<CCGridAction>::adopt(makeCopy()); }

protected:
    ~CCGridAction() override = default;
    // Whether `grid` is of the kind grid() makes.
    virtual bool drawsThrough(const CCGridBase* grid) const = 0;
    CCGridAction* makeCopy() const override = 0;

    // The factory and the copy of an effect made from a size and a duration.
    template <class A> static A* actionOf(ccGridSize size, ccTime duration) {
        return host::create<A>([&](A* a) { return a->initWithSize(size, duration); });
    }
    template <class A> A* sizedCopy() const {
        const ccGridSize size = gridSize_;
        const ccTime d = duration_;
        return host::createOwned<A>([&](A* a) { return a->initWithSize(size, d); });
    }

    ccGridSize gridSize_{0, 0};
};

// Declares an effect's actionWithSize factory and its typed copy.
#define CC_GRID_ACTION_FACTORY(Class)                                              \
    static Class* actionWithSize(ccGridSize size, ccTime duration) {               \
        return actionOf<Class>(size, duration);                                    \
    }                                                                              \
    host::Ref<Class> copy() const { return host::Ref<Class>::adopt(makeCopy()); }

// Effects on the lattice (CCGrid3D).
class CCGrid3DAction : public CCGridAction {
public:
    CCGridBase* grid() override;

    // The target's lattice vertices; a target without a lattice (its grid
    // could not be made) reads zero and ignores writes.
    ccVertex3F vertex(ccGridSize pos) const;
    ccVertex3F originalVertex(ccGridSize pos) const;
    void setVertex(ccGridSize pos, ccVertex3F vertex);

protected:
    ~CCGrid3DAction() override = default;
    bool drawsThrough(const CCGridBase* grid) const override;
    // The target's lattice, or null.
    CCGrid3D* targetGrid() const;
};

// Effects on separate tiles (CCTiledGrid3D).
class CCTiledGrid3DAction : public CCGridAction {
public:
    CCGridBase* grid() override;

    // The target's tiles; a target without tiles (its grid could not be
    // made) reads zero and ignores writes.
    ccQuad3 tile(ccGridSize pos) const;
    ccQuad3 originalTile(ccGridSize pos) const;
    void setTile(ccGridSize pos, const ccQuad3& coords);

    // A tile collapsed to a point at the origin, so that it vanishes, and
    // a tile put back where it was.
    void turnOffTile(ccGridSize pos);
    void turnOnTile(ccGridSize pos);

    // Shuffles `count` tile numbers in place with the C library's rand()
    // (Fisher-Yates), so that a seed given to srand repeats the order.
    static void shuffle(int* array, unsigned count);

protected:
    ~CCTiledGrid3DAction() override = default;
    // Reseeds rand() with `seed` unless it is -1, then fills `order` with
    // the target's tile numbers, shuffled; empty without a grid.
    void shuffledTileOrder(int seed, std::vector<int>& order) const;
    bool drawsThrough(const CCGridBase* grid) const override;
    // The target's tiled grid, or null.
    CCTiledGrid3D* targetGrid() const;
};

// ---- Amplitude wrappers ---------------------------------------------------------
//
// Each wraps an effect with an amplitude and runs it on the same target
// over its own duration, setting the effect's amplitude rate from the
// progress t before every update: envelope(t) raised to `rate` (1 after
// creation). Wrapping an action without an amplitude raises its exception.

class CCAmplitudeWrapper : public CCActionInterval {
public:
    virtual bool initWithAction(CCActionInterval* action, ccTime duration);

    float rate() const { return rate_; }
    void setRate(float rate) { rate_ = rate; }
    CCActionInterval* innerAction() const { return other_.get(); }

    void startWithTarget(CCNode* target) override;
    void stop() override;
    void update(ccTime t) override;

protected:
    ~CCAmplitudeWrapper() override;
    // The share of the amplitude at progress t, from 0 to 1.
    virtual float envelope(ccTime t) const = 0;

    template <class W> static W* wrap(CCActionInterval* action, ccTime duration) {
        return host::create<W>([&](W* w) { return w->initWithAction(action, duration); });
    }
    // The same wrapper around the wrapped action's reverse; null when it has none.
    template <class W> W* reverseAs() {
        auto* inner = dynamic_cast<CCActionInterval*>(other_->reverse());
        return inner ? wrap<W>(inner, duration_) : nullptr;
    }
    template <class W> W* copyAs() const {
        auto inner = ccOwnedCopy(other_.get());
        const ccTime d = duration_;
        W* w = host::createOwned<W>([&](W* c) { return c->initWithAction(inner, d); });
        if (w) w->rate_ = rate_;
        return w;
    }

    float rate_ = 1;
    host::Ref<CCActionInterval> other_;
};

// Swells to the full amplitude half-way through, then fades: 2t, then 2 - 2t.
class CCAccelDeccelAmplitude : public CCAmplitudeWrapper {
public:
    static CCAccelDeccelAmplitude* actionWithAction(CCActionInterval* action, ccTime duration) {
        return wrap<CCAccelDeccelAmplitude>(action, duration);
    }
    CCAccelDeccelAmplitude* reverse() override { return reverseAs<CCAccelDeccelAmplitude>(); }
    host::Ref<CCAccelDeccelAmplitude> copy() const { return host::Ref<CCAccelDeccelAmplitude>::adopt(makeCopy()); }

protected:
    ~CCAccelDeccelAmplitude() override = default;
    float envelope(ccTime t) const override;
    CCAccelDeccelAmplitude* makeCopy() const override { return copyAs<CCAccelDeccelAmplitude>(); }
};

// Swells from nothing to the full amplitude: t.
class CCAccelAmplitude : public CCAmplitudeWrapper {
public:
    static CCAccelAmplitude* actionWithAction(CCActionInterval* action, ccTime duration) {
        return wrap<CCAccelAmplitude>(action, duration);
    }
    CCAccelAmplitude* reverse() override { return reverseAs<CCAccelAmplitude>(); }
    host::Ref<CCAccelAmplitude> copy() const { return host::Ref<CCAccelAmplitude>::adopt(makeCopy()); }

protected:
    ~CCAccelAmplitude() override = default;
    float envelope(ccTime t) const override { return t; }
    CCAccelAmplitude* makeCopy() const override { return copyAs<CCAccelAmplitude>(); }
};

// Fades from the full amplitude to nothing: 1 - t.
class CCDeccelAmplitude : public CCAmplitudeWrapper {
public:
    static CCDeccelAmplitude* actionWithAction(CCActionInterval* action, ccTime duration) {
        return wrap<CCDeccelAmplitude>(action, duration);
    }
    CCDeccelAmplitude* reverse() override { return reverseAs<CCDeccelAmplitude>(); }
    host::Ref<CCDeccelAmplitude> copy() const { return host::Ref<CCDeccelAmplitude>::adopt(makeCopy()); }

protected:
    ~CCDeccelAmplitude() override = default;
    float envelope(ccTime t) const override { return 1 - t; }
    CCDeccelAmplitude* makeCopy() const override { return copyAs<CCDeccelAmplitude>(); }
};

// ---- Ending and prolonging a grid -----------------------------------------------

// Marks the target's active grid to be carried on by `times` more grid
// actions (added to any reuses already pending).
class CCReuseGrid : public CCActionInstant {
public:
    static CCReuseGrid* actionWithTimes(int times);
    bool initWithTimes(int times);
    void startWithTarget(CCNode* target) override;
    host::Ref<CCReuseGrid> copy() const { return host::Ref<CCReuseGrid>::adopt(makeCopy()); }

protected:
    ~CCReuseGrid() override = default;
    CCReuseGrid* makeCopy() const override;

    int t_ = 0;
};

// Switches the target's active grid off: the target draws as it is again.
class CCStopGrid : public CCActionInstant {
public:
    static CCStopGrid* action() { return host::create<CCStopGrid>(); }
    void startWithTarget(CCNode* target) override;
    host::Ref<CCStopGrid> copy() const { return host::Ref<CCStopGrid>::adopt(makeCopy()); }

protected:
    ~CCStopGrid() override = default;
    CCStopGrid* makeCopy() const override { return plainCopy<CCStopGrid>(); }
};
