// An isometric tile map scrolled by dragging; the tile in the middle of the
// plaza is a real sprite (tileAt) that keeps glowing gold and fading back.
#include "MapScroller.h"
#include "Sample.h"
#include "engine/CCActionInterval.h"
#include "engine/CCActionIntervalProperty.h"
#include "engine/CCScene.h"
#include "engine/CCSprite.h"
#include "engine/CCTMXLayer.h"
#include "engine/CCTMXTiledMap.h"

namespace {

const char kMapFile[] = "samples/tilemaps/isometric.tmx";
const CGPoint kPlazaTile = {9, 9};

CCScene* isometricScene(const char* title) {
    CCScene* scene = CCScene::node();
    if (CCTMXTiledMap* map = CCTMXTiledMap::tiledMapWithTMXFile(kMapFile)) {
        CCTMXLayer* ground = map->layerNamed("Ground");
        if (CCSprite* tile = ground ? ground->tileAt(kPlazaTile) : nullptr) {
            CCFiniteTimeAction* glow = CCSequence::actions(CCTintTo::actionWithDuration(0.5f, 255, 210, 60),
                                                           CCTintTo::actionWithDuration(0.5f, 255, 255, 255), nullptr);
            tile->runAction(CCRepeatForever::actionWithAction(static_cast<CCActionInterval*>(glow)));
        }
        // The diamond of a square map fills its content size.
        const CGSize size = map->contentSize();
        const CGPoint centre = CGPointMake(size.width / 2, size.height / 2);
        if (MapScroller* scroller = MapScroller::scrollerWithMap(map, CGRectMake(0, 0, size.width, size.height), centre))
            scene->addChild(scroller);
    }
    addSampleTitle(scene, title);
    return scene;
}

}  // namespace

TILTBOARD_SAMPLE(isometric, "Isometric tile map: drag to scroll") {
    return isometricScene("Isometric tile map: drag to scroll");
}
