#include "engine/CCActionGrid3D.h"

#include <cmath>
#include <cstdlib>

#include "engine/CCContentScale.h"
#include "engine/CCGrid.h"
#include "engine/ccMacros.h"
#include "host/core/Log.h"

namespace {

constexpr float kPi = 3.14159265359f;

CGPoint inPixels(CGPoint p) { return CGPoint{p.x * __ccContentScaleFactor, p.y * __ccContentScaleFactor}; }

// Calls f(pos, vertex) for every lattice vertex of the target's grid and
// stores what it returns; nothing without a grid.
template <class F> void eachVertex(CCGrid3D* grid, F f) {
    if (!grid) return;
    const ccGridSize size = grid->gridSize();
    for (int i = 0; i <= size.x; ++i)
        for (int j = 0; j <= size.y; ++j) {
            const ccGridSize pos = ccg(i, j);
            grid->setVertex(pos, f(pos, grid->originalVertex(pos)));
        }
}

}  // namespace

float ccFiniteOr0(float value, const char* what) {
    if (std::isfinite(value)) return value;
    host::log("engine: grid effect: %s must be a finite number; using 0", what);
    return 0;
}

int ccShakeRange(int range, const char* effect) {
    if (range >= 1) return range;
    host::log("engine: %s: a shake range of %d is too small; using 1", effect, range);
    return 1;
}

// ---- CCWaves3D -------------------------------------------------------------------

CCWaves3D* CCWaves3D::actionWithWaves(int waves, float amplitude, ccGridSize size, ccTime duration) {
    return host::create<CCWaves3D>([&](CCWaves3D* a) { return a->initWithWaves(waves, amplitude, size, duration); });
}

bool CCWaves3D::initWithWaves(int waves, float amplitude, ccGridSize size, ccTime duration) {
    if (!initWithSize(size, duration)) return false;
    waves_ = waves;
    setAmplitude(amplitude);
    return true;
}

CCWaves3D* CCWaves3D::makeCopy() const {
    return host::createOwned<CCWaves3D>(
        [&](CCWaves3D* a) { return a->initWithWaves(waves_, amplitude_, gridSize_, duration_); });
}

void CCWaves3D::update(ccTime t) {
    const float phase = t * kPi * float(waves_) * 2, A = scaledAmplitude();
    eachVertex(targetGrid(), [&](ccGridSize, ccVertex3F v) {
        v.z += std::sin(phase + (v.x + v.y) * 0.01f) * A;
        return v;
    });
}

// ---- CCWaves ---------------------------------------------------------------------

CCWaves* CCWaves::actionWithWaves(int waves, float amplitude, bool horizontal, bool vertical, ccGridSize size,
                                  ccTime duration) {
    return host::create<CCWaves>(
        [&](CCWaves* a) { return a->initWithWaves(waves, amplitude, horizontal, vertical, size, duration); });
}

bool CCWaves::initWithWaves(int waves, float amplitude, bool horizontal, bool vertical, ccGridSize size,
                            ccTime duration) {
    if (!initWithSize(size, duration)) return false;
    waves_ = waves;
    setAmplitude(amplitude);
    horizontal_ = horizontal;
    vertical_ = vertical;
    return true;
}

CCWaves* CCWaves::makeCopy() const {
    return host::createOwned<CCWaves>([&](CCWaves* a) {
        return a->initWithWaves(waves_, amplitude_, horizontal_, vertical_, gridSize_, duration_);
    });
}

void CCWaves::update(ccTime t) {
    const float phase = t * kPi * float(waves_) * 2, A = scaledAmplitude();
    eachVertex(targetGrid(), [&](ccGridSize, ccVertex3F v) {
        if (vertical_) v.x += std::sin(phase + v.y * 0.01f) * A;
        if (horizontal_) v.y += std::sin(phase + v.x * 0.01f) * A;
        return v;
    });
}

// ---- CCLiquid --------------------------------------------------------------------

CCLiquid* CCLiquid::actionWithWaves(int waves, float amplitude, ccGridSize size, ccTime duration) {
    return host::create<CCLiquid>([&](CCLiquid* a) { return a->initWithWaves(waves, amplitude, size, duration); });
}

bool CCLiquid::initWithWaves(int waves, float amplitude, ccGridSize size, ccTime duration) {
    if (!initWithSize(size, duration)) return false;
    waves_ = waves;
    setAmplitude(amplitude);
    return true;
}

CCLiquid* CCLiquid::makeCopy() const {
    return host::createOwned<CCLiquid>(
        [&](CCLiquid* a) { return a->initWithWaves(waves_, amplitude_, gridSize_, duration_); });
}

void CCLiquid::update(ccTime t) {
    CCGrid3D* grid = targetGrid();
    if (!grid) return;
    const float phase = t * kPi * float(waves_) * 2, A = scaledAmplitude();
    // Only the inside moves: the border vertices keep whatever they hold.
    for (int i = 1; i < gridSize_.x; ++i)
        for (int j = 1; j < gridSize_.y; ++j) {
            const ccGridSize pos = ccg(i, j);
            ccVertex3F v = grid->originalVertex(pos);
            const ccVertex3F o = v;
            v.x += std::sin(phase + o.x * 0.01f) * A;
            v.y += std::sin(phase + o.y * 0.01f) * A;
            grid->setVertex(pos, v);
        }
}

// ---- CCRipple3D ------------------------------------------------------------------

CCRipple3D* CCRipple3D::actionWithPosition(CGPoint pos, float radius, int waves, float amplitude, ccGridSize size,
                                           ccTime duration) {
    return host::create<CCRipple3D>(
        [&](CCRipple3D* a) { return a->initWithPosition(pos, radius, waves, amplitude, size, duration); });
}

bool CCRipple3D::initWithPosition(CGPoint pos, float radius, int waves, float amplitude, ccGridSize size,
                                  ccTime duration) {
    if (!initWithSize(size, duration)) return false;
    setPosition(pos);
    radius_ = ccFiniteOr0(radius, "ripple radius");
    waves_ = waves;
    setAmplitude(amplitude);
    return true;
}

CCRipple3D* CCRipple3D::makeCopy() const {
    return host::createOwned<CCRipple3D>([&](CCRipple3D* a) {
        return a->initWithPosition(position_, radius_, waves_, amplitude_, gridSize_, duration_);
    });
}

void CCRipple3D::setPosition(CGPoint pos) {
    position_ = pos;
    positionInPixels_ = inPixels(pos);
}

void CCRipple3D::update(ccTime t) {
    const float phase = t * kPi * float(waves_) * 2, A = scaledAmplitude();
    const CGPoint c = positionInPixels_;
    // A radius of 0 or less covers no vertex (d < R never holds).
    eachVertex(targetGrid(), [&](ccGridSize, ccVertex3F v) {
        const float d = std::hypot(c.x - v.x, c.y - v.y);
        if (d < radius_) {
            const float rate = (radius_ - d) / radius_;
            v.z += std::sin(phase + (radius_ - d) * 0.1f) * A * rate * rate;
        }
        return v;
    });
}

// ---- CCLens3D --------------------------------------------------------------------

CCLens3D* CCLens3D::actionWithPosition(CGPoint pos, float radius, ccGridSize size, ccTime duration) {
    return host::create<CCLens3D>([&](CCLens3D* a) { return a->initWithPosition(pos, radius, size, duration); });
}

bool CCLens3D::initWithPosition(CGPoint pos, float radius, ccGridSize size, ccTime duration) {
    if (!initWithSize(size, duration)) return false;
    // Starting off the picture makes the given position count as a move.
    position_ = CGPoint{-1, -1};
    setPosition(pos);
    radius_ = ccFiniteOr0(radius, "lens radius");
    lensEffect_ = 0.7f;
    return true;
}

CCLens3D* CCLens3D::makeCopy() const {
    return host::createOwned<CCLens3D>(
        [&](CCLens3D* a) { return a->initWithPosition(position_, radius_, gridSize_, duration_); });
}

void CCLens3D::setPosition(CGPoint pos) {
    if (pos.x == position_.x && pos.y == position_.y) return;
    position_ = pos;
    positionInPixels_ = inPixels(pos);
    dirty_ = true;
}

void CCLens3D::setLensEffect(float effect) { lensEffect_ = ccFiniteOr0(effect, "lens effect"); }

void CCLens3D::startWithTarget(CCNode* target) {
    CCGrid3DAction::startWithTarget(target);
    dirty_ = true;
}

void CCLens3D::update(ccTime) {
    if (!dirty_) return;
    const CGPoint c = positionInPixels_;
    eachVertex(targetGrid(), [&](ccGridSize, ccVertex3F v) {
        const float d = std::hypot(c.x - v.x, c.y - v.y);
        if (d < radius_) {
            float p = (radius_ - d) / radius_;
            if (p == 0) p = 0.001f;
            const float l = std::log(p) * lensEffect_;
            const float lensRadius = std::exp(l) * radius_;
            // The vertex itself at the centre has no direction to bulge in.
            if (d > 0) v.z += lensRadius * lensEffect_;
        }
        return v;
    });
    dirty_ = false;
}

// ---- CCTwirl ---------------------------------------------------------------------

CCTwirl* CCTwirl::actionWithPosition(CGPoint pos, int twirls, float amplitude, ccGridSize size, ccTime duration) {
    return host::create<CCTwirl>(
        [&](CCTwirl* a) { return a->initWithPosition(pos, twirls, amplitude, size, duration); });
}

bool CCTwirl::initWithPosition(CGPoint pos, int twirls, float amplitude, ccGridSize size, ccTime duration) {
    if (!initWithSize(size, duration)) return false;
    setPosition(pos);
    twirls_ = twirls;
    setAmplitude(amplitude);
    return true;
}

CCTwirl* CCTwirl::makeCopy() const {
    return host::createOwned<CCTwirl>(
        [&](CCTwirl* a) { return a->initWithPosition(position_, twirls_, amplitude_, gridSize_, duration_); });
}

void CCTwirl::setPosition(CGPoint pos) {
    position_ = pos;
    positionInPixels_ = inPixels(pos);
}

void CCTwirl::update(ccTime t) {
    const CGPoint c = positionInPixels_;
    const float swing = std::cos(kPi / 2 + t * kPi * float(twirls_) * 2) * (amplitude_ * 0.1f * amplitudeRate_);
    eachVertex(targetGrid(), [&](ccGridSize pos, ccVertex3F v) {
        const float r = std::hypot(float(pos.x) - float(gridSize_.x) * 0.5f, float(pos.y) - float(gridSize_.y) * 0.5f);
        const float a = r * swing;
        const float dx = v.x - c.x, dy = v.y - c.y;
        v.x = c.x + std::sin(a) * dy + std::cos(a) * dx;
        v.y = c.y + std::cos(a) * dy - std::sin(a) * dx;
        return v;
    });
}

// ---- CCShaky3D -------------------------------------------------------------------

CCShaky3D* CCShaky3D::actionWithRange(int range, bool shakeZ, ccGridSize size, ccTime duration) {
    return host::create<CCShaky3D>([&](CCShaky3D* a) { return a->initWithRange(range, shakeZ, size, duration); });
}

bool CCShaky3D::initWithRange(int range, bool shakeZ, ccGridSize size, ccTime duration) {
    if (!initWithSize(size, duration)) return false;
    randrange_ = ccShakeRange(range, "Shaky3D");
    shakeZ_ = shakeZ;
    return true;
}

CCShaky3D* CCShaky3D::makeCopy() const {
    return host::createOwned<CCShaky3D>(
        [&](CCShaky3D* a) { return a->initWithRange(randrange_, shakeZ_, gridSize_, duration_); });
}

void CCShaky3D::update(ccTime) {
    eachVertex(targetGrid(), [&](ccGridSize, ccVertex3F v) {
        v.x += ccShakeOffset(randrange_);
        v.y += ccShakeOffset(randrange_);
        if (shakeZ_) v.z += ccShakeOffset(randrange_);
        return v;
    });
}

// ---- CCFlipX3D, CCFlipY3D --------------------------------------------------------

CCFlipX3D* CCFlipX3D::actionWithDuration(ccTime duration) { return actionWithSize(ccg(1, 1), duration); }

bool CCFlipX3D::initWithSize(ccGridSize size, ccTime duration) {
    if (size.x != 1 || size.y != 1) throw CCException("FlipX3D", "Grid size must be (1,1)");
    return CCGrid3DAction::initWithSize(size, duration);
}

CCFlipX3D* CCFlipX3D::makeCopy() const { return sizedCopy<CCFlipX3D>(); }

namespace {

// One flip of the single cell: `axis` picks x or y of a vertex, the pairs
// are the two vertices that swing out of the plane and the two that swing
// behind it.
struct FlipPairs {
    ccGridSize moving[2], opposite[2];
};

template <class Axis>
void flipCell(CCGrid3D* grid, ccTime t, Axis axis, const FlipPairs& whenRising, const FlipPairs& otherwise) {
    if (!grid) return;
    const float mz = std::sin(kPi * t), mx = std::cos(kPi * t / 2);
    const ccVertex3F p = grid->originalVertex(ccg(1, 1)), q = grid->originalVertex(ccg(0, 0));
    const bool rising = axis(p) > axis(q);
    const FlipPairs& pairs = rising ? whenRising : otherwise;
    const float edge = rising ? axis(p) : axis(q);
    const float d = edge - edge * mx, dz = std::fabs(std::floor(edge * mz / 4));
    for (const ccGridSize pos : pairs.moving) {
        ccVertex3F v = grid->originalVertex(pos);
        axis(v) = d;
        v.z += dz;
        grid->setVertex(pos, v);
    }
    for (const ccGridSize pos : pairs.opposite) {
        ccVertex3F v = grid->originalVertex(pos);
        axis(v) -= d;
        v.z -= dz;
        grid->setVertex(pos, v);
    }
}

}  // namespace

void CCFlipX3D::update(ccTime t) {
    flipCell(targetGrid(), t, [](auto& v) -> auto& { return v.x; },
             FlipPairs{{ccg(0, 0), ccg(0, 1)}, {ccg(1, 0), ccg(1, 1)}},
             FlipPairs{{ccg(1, 0), ccg(1, 1)}, {ccg(0, 0), ccg(0, 1)}});
}

CCFlipY3D* CCFlipY3D::actionWithDuration(ccTime duration) { return actionWithSize(ccg(1, 1), duration); }

CCFlipY3D* CCFlipY3D::makeCopy() const { return sizedCopy<CCFlipY3D>(); }

void CCFlipY3D::update(ccTime t) {
    flipCell(targetGrid(), t, [](auto& v) -> auto& { return v.y; },
             FlipPairs{{ccg(0, 0), ccg(1, 0)}, {ccg(0, 1), ccg(1, 1)}},
             FlipPairs{{ccg(0, 1), ccg(1, 1)}, {ccg(0, 0), ccg(1, 0)}});
}
