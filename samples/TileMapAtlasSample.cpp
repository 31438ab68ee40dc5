// A tile map drawn from a TGA image whose red bytes pick the tiles; the
// water cells cycle through four frames by changing their red byte, a few
// times a second, and the pit's cells (red 0) have no tile at all.
#include <vector>

#include "Sample.h"
#include "engine/CCDirector.h"
#include "engine/CCLayer.h"
#include "engine/CCScene.h"
#include "engine/CCTileMapAtlas.h"

namespace {

const char kTiles[] = "samples/tilemaps/atlas-tiles.png";
const char kMap[] = "samples/tilemaps/atlas-map.tga";
const int kTileSize = 16;  // points
const uint8_t kFirstWaterFrame = 8, kWaterFrames = 4;

class TileMapAtlasDemo : public CCLayer {
public:
    static TileMapAtlasDemo* make() {
        return host::create<TileMapAtlasDemo>([](TileMapAtlasDemo* d) { return d->build(); });
    }

    void animateWater(ccTime) {
        for (const ccGridSize& cell : water_) {
            ccColor3B value = map_->tileAt(cell);
            value.r = uint8_t(kFirstWaterFrame + (value.r - kFirstWaterFrame + 1) % kWaterFrames);
            map_->setTile(value, cell);
        }
    }

private:
    bool build() {
        if (!init()) return false;
        map_ = CCTileMapAtlas::tileMapAtlasWithTileFile(kTiles, kMap, kTileSize, kTileSize);
        if (!map_) return false;
        const tImageTGA* image = map_->tgaInfo();
        for (int x = 0; x < image->width; ++x)
            for (int y = 0; y < image->height; ++y) {
                const uint8_t red = map_->tileAt(ccg(x, y)).r;
                if (red >= kFirstWaterFrame && red < kFirstWaterFrame + kWaterFrames) water_.push_back(ccg(x, y));
            }
        const CGSize win = CCDirector::sharedDirector()->winSize(), size = map_->contentSize();
        map_->setPosition(CGPointMake((win.width - size.width) / 2, (win.height - size.height) / 2));
        addChild(map_);
        schedule(schedule_selector(TileMapAtlasDemo::animateWater), 0.25f);
        return true;
    }

    CCTileMapAtlas* map_ = nullptr;  // a child
    std::vector<ccGridSize> water_;
};

}  // namespace

TILTBOARD_SAMPLE(tilemapatlas, "Image tile map: a TGA's red bytes pick the tiles") {
    CCScene* scene = CCScene::node();
    // Cells without a tile show what is behind the map.
    scene->addChild(CCLayerColor::layerWithColor(ccc4(30, 24, 40, 255)));
    if (TileMapAtlasDemo* demo = TileMapAtlasDemo::make()) scene->addChild(demo);
    addSampleTitle(scene, "Image tile map: a TGA's red bytes pick the tiles");
    return scene;
}
