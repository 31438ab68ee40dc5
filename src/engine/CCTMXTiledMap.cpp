#include "engine/CCTMXTiledMap.h"

#include <algorithm>

#include "engine/CCTMXLayer.h"
#include "engine/CCTMXLayerInfo.h"
#include "engine/CCTMXMapInfo.h"
#include "engine/CCTMXObjectGroup.h"
#include "engine/CCTMXTilesetInfo.h"
#include "host/core/Log.h"

CCTMXTiledMap* CCTMXTiledMap::tiledMapWithTMXFile(const std::string& tmxFile) {
    return host::create<CCTMXTiledMap>([&](CCTMXTiledMap* map) { return map->initWithTMXFile(tmxFile); });
}

CCTMXTiledMap* CCTMXTiledMap::tiledMapWithXML(const std::string& xml, const std::string& resourcePath) {
    return host::create<CCTMXTiledMap>([&](CCTMXTiledMap* map) { return map->initWithXML(xml, resourcePath); });
}

bool CCTMXTiledMap::initWithTMXFile(const std::string& tmxFile) {
    if (!CCNode::init()) return false;
    return buildFromMapInfo(CCTMXMapInfo::formatWithTMXFile(tmxFile));
}

bool CCTMXTiledMap::initWithXML(const std::string& xml, const std::string& resourcePath) {
    if (!CCNode::init()) return false;
    return buildFromMapInfo(CCTMXMapInfo::formatWithXML(xml, resourcePath));
}

bool CCTMXTiledMap::buildFromMapInfo(CCTMXMapInfo* mapInfo) {
    setContentSize(CGSizeZero);
    if (!mapInfo) return false;  // the reader said why
    mapSize_ = mapInfo->mapSize();
    tileSize_ = mapInfo->tileSize();
    mapOrientation_ = mapInfo->orientation();
    objectGroups_ = mapInfo->objectGroups();
    properties_ = mapInfo->properties();
    tileProperties_ = mapInfo->tileProperties();

    int index = 0;
    for (host::Object* o : *mapInfo->layers()) {
        CCTMXLayerInfo* layerInfo = static_cast<CCTMXLayerInfo*>(o);
        if (!layerInfo->visible()) continue;
        CCTMXLayer* layer = parseLayer(layerInfo, mapInfo);
        if (!layer) return false;  // the layer said why
        addChild(layer, index, index);
        ++index;
        const CGSize mine = contentSize(), its = layer->contentSize();
        setContentSize(CGSizeMake(std::max(mine.width, its.width), std::max(mine.height, its.height)));
    }
    return true;
}

CCTMXTilesetInfo* CCTMXTiledMap::tilesetForLayer(CCTMXLayerInfo* layerInfo, CCTMXMapInfo* mapInfo) const {
    CCArray* tilesets = mapInfo->tilesets();
    const std::vector<uint32_t>& tiles = layerInfo->tiles();
    // The last set any tile falls in: a layer draws from one image.
    for (uint32_t i = tilesets->count(); i-- > 0;) {
        CCTMXTilesetInfo* tileset = static_cast<CCTMXTilesetInfo*>(tilesets->objectAtIndex(i));
        if (std::any_of(tiles.begin(), tiles.end(), [&](uint32_t gid) { return tileset->containsGID(gid); }))
            return tileset;
    }
    return nullptr;
}

CCTMXLayer* CCTMXTiledMap::parseLayer(CCTMXLayerInfo* layerInfo, CCTMXMapInfo* mapInfo) {
    CCTMXTilesetInfo* tileset = tilesetForLayer(layerInfo, mapInfo);
    CCTMXLayer* layer = CCTMXLayer::layerWithTilesetInfo(tileset, layerInfo, mapInfo);
    if (!layer || !layer->setupTiles()) return nullptr;
    return layer;
}

CCTMXLayer* CCTMXTiledMap::layerNamed(const std::string& layerName) const {
    if (!children_) return nullptr;
    for (host::Object* o : *children_)
        if (CCTMXLayer* layer = dynamic_cast<CCTMXLayer*>(o); layer && layer->layerName() == layerName) return layer;
    return nullptr;
}

CCTMXObjectGroup* CCTMXTiledMap::objectGroupNamed(const std::string& groupName) const {
    if (!objectGroups_) return nullptr;
    for (host::Object* o : *objectGroups_)
        if (CCTMXObjectGroup* group = static_cast<CCTMXObjectGroup*>(o); group->groupName() == groupName) return group;
    return nullptr;
}

const host::PlistValue& CCTMXTiledMap::propertyNamed(const std::string& propertyName) const {
    return ccTMXValueNamed(properties_, propertyName);
}

const host::PlistValue& CCTMXTiledMap::propertiesForGID(uint32_t gid) const {
    const auto found = tileProperties_.find(gid & kCCTMXGIDMask);
    return found == tileProperties_.end() ? host::PlistValue::none() : found->second;
}
