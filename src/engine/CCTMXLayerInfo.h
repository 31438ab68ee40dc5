// CCTMXLayerInfo: one layer as the map file describes it: its size in
// tiles, its GIDs (row-major, top row first, flip bits kept), visibility,
// opacity, offset and properties. A CCTMXLayer takes the GIDs over when it
// is built.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "host/core/CGGeometry.h"
#include "host/core/Object.h"
#include "host/data/PlistValue.h"

class CCTMXLayerInfo : public host::Object {
public:
    static CCTMXLayerInfo* layerInfo() { return host::create<CCTMXLayerInfo>([](CCTMXLayerInfo*) { return true; }); }

    const std::string& name() const { return name_; }
    void setName(const std::string& name) { name_ = name; }
    CGSize layerSize() const { return layerSize_; }
    void setLayerSize(CGSize size) { layerSize_ = size; }
    const std::vector<uint32_t>& tiles() const { return tiles_; }
    void setTiles(std::vector<uint32_t> tiles) { tiles_ = std::move(tiles); }
    // Hands the GIDs to the caller; the record keeps none.
    std::vector<uint32_t> takeTiles() { return std::move(tiles_); }
    bool visible() const { return visible_; }
    void setVisible(bool visible) { visible_ = visible; }
    uint8_t opacity() const { return opacity_; }
    void setOpacity(uint8_t opacity) { opacity_ = opacity; }
    uint32_t minGID() const { return minGID_; }
    uint32_t maxGID() const { return maxGID_; }
    // In tiles ("x", "y" of the file).
    CGPoint offset() const { return offset_; }
    void setOffset(CGPoint offset) { offset_ = offset; }
    // In pixels, y down as the editor writes it ("offsetx", "offsety").
    CGPoint pixelOffset() const { return pixelOffset_; }
    void setPixelOffset(CGPoint offset) { pixelOffset_ = offset; }
    const host::PlistValue::Dictionary& properties() const { return properties_; }
    host::PlistValue::Dictionary& mutableProperties() { return properties_; }

protected:
    ~CCTMXLayerInfo() override = default;

private:
    std::string name_;
    CGSize layerSize_ = CGSizeZero;
    std::vector<uint32_t> tiles_;
    bool visible_ = true;
    uint8_t opacity_ = 255;
    uint32_t minGID_ = 100000;
    uint32_t maxGID_ = 0;
    host::PlistValue::Dictionary properties_;
    CGPoint offset_ = CGPointZero;
    CGPoint pixelOffset_ = CGPointZero;
};
