// CCTMXTiledMap: a node holding one CCTMXLayer per visible layer of a map
// file, in file order (z and tag: 0, 1, ... counting visible layers only),
// with the map's object groups, properties and per-tile properties.
#pragma once

#include <cstdint>
#include <map>
#include <string>

#include "engine/CCNode.h"
#include "engine/Support/CCArray.h"
#include "host/data/PlistValue.h"
#include "host/core/Ref.h"

class CCTMXLayer;
class CCTMXLayerInfo;
class CCTMXMapInfo;
class CCTMXObjectGroup;
class CCTMXTilesetInfo;

class CCTMXTiledMap : public CCNode {
public:
    // Autoreleased; nullptr, with one log line, when the file cannot be
    // read or a layer's tile set image is missing.
    static CCTMXTiledMap* tiledMapWithTMXFile(const std::string& tmxFile);
    bool initWithTMXFile(const std::string& tmxFile);
    // A map held in memory; the files it names are in `resourcePath`.
    static CCTMXTiledMap* tiledMapWithXML(const std::string& xml, const std::string& resourcePath);
    bool initWithXML(const std::string& xml, const std::string& resourcePath);

    // In tiles and pixels.
    CGSize mapSize() const { return mapSize_; }
    CGSize tileSize() const { return tileSize_; }
    int mapOrientation() const { return mapOrientation_; }
    // CCTMXObjectGroup elements.
    CCArray* objectGroups() const { return objectGroups_.get(); }
    const host::PlistValue::Dictionary& properties() const { return properties_; }

    // The first layer child of that name, or nullptr.
    CCTMXLayer* layerNamed(const std::string& layerName) const;
    CCTMXObjectGroup* objectGroupNamed(const std::string& groupName) const;
    CCTMXObjectGroup* groupNamed(const std::string& groupName) const { return objectGroupNamed(groupName); }
    // The map property's value, or none.
    const host::PlistValue& propertyNamed(const std::string& propertyName) const;
    // The tile's properties (flip bits ignored): a dictionary, or none.
    const host::PlistValue& propertiesForGID(uint32_t gid) const;

protected:
    ~CCTMXTiledMap() override = default;

private:
    bool buildFromMapInfo(CCTMXMapInfo* mapInfo);
    // The tile set that draws the layer, or nullptr when no tile names one.
    CCTMXTilesetInfo* tilesetForLayer(CCTMXLayerInfo* layerInfo, CCTMXMapInfo* mapInfo) const;
    CCTMXLayer* parseLayer(CCTMXLayerInfo* layerInfo, CCTMXMapInfo* mapInfo);

    CGSize mapSize_ = CGSizeZero;
    CGSize tileSize_ = CGSizeZero;
    int mapOrientation_ = 0;
    host::Ref<CCArray> objectGroups_;
    host::PlistValue::Dictionary properties_;
    std::map<uint32_t, host::PlistValue> tileProperties_;
};
