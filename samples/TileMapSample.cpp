// An orthogonal tile map larger than the window, scrolled by dragging: a
// ground layer and a details layer (trees, rocks, and arrows in every flip
// combination), the map's objects outlined with their names, and the gold
// tile in the courtyard changing every second.
#include <vector>

#include "MapScroller.h"
#include "Sample.h"
#include "engine/CCContentScale.h"
#include "engine/CCLabelTTF.h"
#include "engine/CCScene.h"
#include "engine/CCTMXLayer.h"
#include "engine/CCTMXObjectGroup.h"
#include "engine/CCTMXTiledMap.h"
#include "host/display/GLES.h"

namespace {

const char kMapFile[] = "samples/tilemaps/orthogonal.tmx";
const CGPoint kChangingTile = {4, 5};
// Gold, lava, ice and snow in turn.
const uint32_t kChangingGIDs[] = {16, 10, 14, 11};

// Outlines every rectangle of an object group, in the map's pixels, and
// puts each object's name above it.
class ObjectOutlines : public CCNode {
public:
    static ObjectOutlines* outlinesOf(const CCTMXObjectGroup* group) {
        return host::create<ObjectOutlines>([&](ObjectOutlines* o) { return o->build(group); });
    }

    void draw() override {
        if (corners_.empty()) return;
        glDisable(GL_TEXTURE_2D);
        glDisableClientState(GL_COLOR_ARRAY);
        glDisableClientState(GL_TEXTURE_COORD_ARRAY);
        glColor4ub(255, 240, 80, 255);
        glLineWidth(2 * __ccContentScaleFactor);
        glVertexPointer(2, GL_FLOAT, 0, corners_.data());
        for (size_t first = 0; first < corners_.size() / 2; first += 4) glDrawArrays(GL_LINE_LOOP, GLint(first), 4);
        glLineWidth(1);
        glColor4ub(255, 255, 255, 255);
        glEnableClientState(GL_TEXTURE_COORD_ARRAY);
        glEnableClientState(GL_COLOR_ARRAY);
        glEnable(GL_TEXTURE_2D);
    }

private:
    bool build(const CCTMXObjectGroup* group) {
        if (!init() || !group) return false;
        for (const host::PlistValue& object : group->objects()) {
            const float x = float(object["x"].asInt()), y = float(object["y"].asInt());
            const float w = float(object["width"].asDouble()), h = float(object["height"].asDouble());
            corners_.insert(corners_.end(), {x, y, x + w, y, x + w, y + h, x, y + h});
            CCLabelTTF* name = CCLabelTTF::labelWithString(object["name"].asString(), "Helvetica", 11);
            if (!name) continue;
            name->setAnchorPoint(CGPointMake(0, 0));
            name->setPositionInPixels(CGPointMake(x + 2, y + h + 1));
            name->setColor(ccc3(255, 240, 80));
            addChild(name);
        }
        return true;
    }

    std::vector<float> corners_;  // four corners (x, y) per object
};

class TileMapDemo : public CCLayer {
public:
    static TileMapDemo* make() { return host::create<TileMapDemo>([](TileMapDemo* d) { return d->build(); }); }

    void changeTile(ccTime) {
        turn_ = (turn_ + 1) % (sizeof kChangingGIDs / sizeof kChangingGIDs[0]);
        ground_->setTileGID(kChangingGIDs[turn_], kChangingTile);
    }

private:
    bool build() {
        if (!init()) return false;
        CCTMXTiledMap* map = CCTMXTiledMap::tiledMapWithTMXFile(kMapFile);
        if (!map) return false;
        ground_ = map->layerNamed("Ground");
        if (!ground_) return false;
        map->addChild(ObjectOutlines::outlinesOf(map->objectGroupNamed("Objects")), 10);
        const CGSize size = map->contentSize();
        // Start on the courtyard in the top-left corner.
        MapScroller* scroller =
            MapScroller::scrollerWithMap(map, CGRectMake(0, 0, size.width, size.height), CGPointMake(0, size.height));
        if (!scroller) return false;
        addChild(scroller);
        schedule(schedule_selector(TileMapDemo::changeTile), 1.0f);
        return true;
    }

    CCTMXLayer* ground_ = nullptr;  // a child of the map
    unsigned turn_ = 0;
};

}  // namespace

TILTBOARD_SAMPLE(tilemap, "Tile map: drag to scroll, objects outlined") {
    CCScene* scene = CCScene::node();
    if (TileMapDemo* demo = TileMapDemo::make()) scene->addChild(demo);
    addSampleTitle(scene, "Tile map: drag to scroll, objects outlined");
    return scene;
}
