// Effects: the distortion and tile effects on a picture with a lattice of
// thin lines, one after the other (timing in EffectGallery.h: effect k is
// half-way forwards at frame 47 + 198 k with --fixed-dt, so `--frames 47`
// lands in the waves in depth and `--frames 2225` in the shuffled tiles).
// The "amplitude" sample runs effects under the amplitude wrappers, which
// swell and fade them.
#include "EffectGallery.h"
#include "Sample.h"
#include "engine/CCActionGrid3D.h"
#include "engine/CCActionTileEffects.h"
#include "engine/CCDirector.h"

namespace {

CGPoint centre() {
    const CGSize win = CCDirector::sharedDirector()->winSize();
    return CGPointMake(win.width / 2, win.height / 2);
}

template <class A> CCActionInterval* as(A* action) { return action; }

const GalleryEffect kDistortions[] = {
    {"CCWaves3D", [](ccTime d) { return as(CCWaves3D::actionWithWaves(5, 40, ccg(15, 10), d)); }},
    {"CCWaves", [](ccTime d) { return as(CCWaves::actionWithWaves(5, 20, true, true, ccg(16, 12), d)); }},
    {"CCLiquid", [](ccTime d) { return as(CCLiquid::actionWithWaves(4, 20, ccg(16, 12), d)); }},
    {"CCRipple3D", [](ccTime d) { return as(CCRipple3D::actionWithPosition(centre(), 240, 4, 160, ccg(32, 24), d)); }},
    {"CCLens3D", [](ccTime d) { return as(CCLens3D::actionWithPosition(centre(), 240, ccg(15, 10), d)); }},
    {"CCTwirl", [](ccTime d) { return as(CCTwirl::actionWithPosition(centre(), 1, 2.5f, ccg(12, 8), d)); }},
    {"CCShaky3D", [](ccTime d) { return as(CCShaky3D::actionWithRange(5, false, ccg(15, 10), d)); }},
    {"CCFlipX3D", [](ccTime d) { return as(CCFlipX3D::actionWithDuration(d)); }},
    {"CCFlipY3D", [](ccTime d) { return as(CCFlipY3D::actionWithDuration(d)); }},
    {"CCShakyTiles3D", [](ccTime d) { return as(CCShakyTiles3D::actionWithRange(5, false, ccg(16, 12), d)); }},
    {"CCShatteredTiles3D", [](ccTime d) { return as(CCShatteredTiles3D::actionWithRange(5, false, ccg(16, 12), d)); }},
    {"CCShuffleTiles", [](ccTime d) { return as(CCShuffleTiles::actionWithSeed(25, ccg(16, 12), d)); }},
    {"CCWavesTiles3D", [](ccTime d) { return as(CCWavesTiles3D::actionWithWaves(4, 120, ccg(15, 10), d)); }},
    {"CCJumpTiles3D", [](ccTime d) { return as(CCJumpTiles3D::actionWithJumps(2, 30, ccg(15, 10), d)); }},
};

const GalleryEffect kAmplitudes[] = {
    {"CCAccelDeccelAmplitude + CCWaves3D",
     [](ccTime d) { return as(CCAccelDeccelAmplitude::actionWithAction(CCWaves3D::actionWithWaves(5, 40, ccg(15, 10), d), d)); }},
    {"CCAccelAmplitude + CCRipple3D",
     [](ccTime d) {
         return as(CCAccelAmplitude::actionWithAction(CCRipple3D::actionWithPosition(centre(), 240, 4, 160, ccg(32, 24), d), d));
     }},
    {"CCDeccelAmplitude + CCJumpTiles3D",
     [](ccTime d) { return as(CCDeccelAmplitude::actionWithAction(CCJumpTiles3D::actionWithJumps(2, 30, ccg(15, 10), d), d)); }},
};

}  // namespace

TILTBOARD_SAMPLE(effects, "Effects: distortion and tile effects") {
    return makeEffectGallery(kDistortions, sizeof(kDistortions) / sizeof(kDistortions[0]),
                             "Effects: distortion and tile effects", true);
}

TILTBOARD_SAMPLE(amplitude, "Amplitude: effects swelling and fading") {
    return makeEffectGallery(kAmplitudes, sizeof(kAmplitudes) / sizeof(kAmplitudes[0]),
                             "Amplitude: effects swelling and fading", true);
}
