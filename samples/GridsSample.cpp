// Grids: one labelled picture goes through each of the effects the grid
// transitions use, in turn and for ever (see EffectGallery.h): tiles
// turned off, rows and columns split apart, tiles fading out towards each
// corner and edge, and the page turn.
//
// With --fixed-dt, frame 1 shows the picture without a grid and frame 2
// through an untouched grid (the two pictures are the same); effect k
// (from 0, in the order of kEffects) is half-way forwards at frame
// 47 + 198 k, so `--frames 47` lands in the middle of the tiles turning
// off and `--frames 1433` in the middle of the page turn.
#include "EffectGallery.h"
#include "Sample.h"
#include "engine/CCActionPageTurn3D.h"
#include "engine/CCActionTiledGrid.h"
#include "engine/CCDirector.h"

namespace {

// The tile grid the tile transitions use: 12 rows of square-ish tiles.
ccGridSize tiles() {
    const CGSize win = CCDirector::sharedDirector()->winSize();
    return ccg(int(win.width / win.height * 12), 12);
}

const GalleryEffect kEffects[] = {
    {"CCTurnOffTiles", [](ccTime d) { return static_cast<CCActionInterval*>(CCTurnOffTiles::actionWithSize(tiles(), d)); }},
    {"CCSplitRows (3 rows)", [](ccTime d) { return static_cast<CCActionInterval*>(CCSplitRows::actionWithRows(3, d)); }},
    {"CCSplitCols (3 columns)", [](ccTime d) { return static_cast<CCActionInterval*>(CCSplitCols::actionWithCols(3, d)); }},
    {"CCFadeOutTRTiles", [](ccTime d) { return static_cast<CCActionInterval*>(CCFadeOutTRTiles::actionWithSize(tiles(), d)); }},
    {"CCFadeOutBLTiles", [](ccTime d) { return static_cast<CCActionInterval*>(CCFadeOutBLTiles::actionWithSize(tiles(), d)); }},
    {"CCFadeOutUpTiles", [](ccTime d) { return static_cast<CCActionInterval*>(CCFadeOutUpTiles::actionWithSize(tiles(), d)); }},
    {"CCFadeOutDownTiles", [](ccTime d) { return static_cast<CCActionInterval*>(CCFadeOutDownTiles::actionWithSize(tiles(), d)); }},
    {"CCPageTurn3D", [](ccTime d) { return static_cast<CCActionInterval*>(CCPageTurn3D::actionWithSize(ccg(16, 12), d)); }},
};

}  // namespace

TILTBOARD_SAMPLE(grids, "Grids: the effects of the grid transitions") {
    return makeEffectGallery(kEffects, sizeof(kEffects) / sizeof(kEffects[0]),
                             "Grids: the effects of the grid transitions", false);
}
