// A hexagonal tile map of pointed-top hexagons (every odd row shifted half
// a tile), scrolled by dragging.
#include "MapScroller.h"
#include "Sample.h"
#include "engine/CCContentScale.h"
#include "engine/CCScene.h"
#include "engine/CCTMXLayer.h"
#include "engine/CCTMXTiledMap.h"

namespace {

const char kMapFile[] = "samples/tilemaps/hexagonal.tmx";

}  // namespace

TILTBOARD_SAMPLE(hexagonal, "Hexagonal tile map: drag to scroll") {
    CCScene* scene = CCScene::node();
    CCTMXTiledMap* map = CCTMXTiledMap::tiledMapWithTMXFile(kMapFile);
    const CCTMXLayer* ground = map ? map->layerNamed("Ground") : nullptr;
    if (ground) {
        // The hexagons reach from the origin to the top row's points and to
        // the right edge of the shifted rows' last tiles.
        const CGSize tile = map->tileSize(), size = map->mapSize();
        const float right = ground->positionAt(CGPointMake(size.width - 1, 1)).x + tile.width;
        const float top = ground->positionAt(CGPointMake(0, 0)).y + tile.height;
        const float scale = __ccContentScaleFactor;
        const CGRect extent = CGRectMake(0, 0, right / scale, top / scale);
        const CGPoint centre = CGPointMake(extent.size.width / 2, extent.size.height / 2);
        if (MapScroller* scroller = MapScroller::scrollerWithMap(map, extent, centre)) scene->addChild(scroller);
    }
    addSampleTitle(scene, "Hexagonal tile map: drag to scroll");
    return scene;
}
