// CCTMXLayer: one layer of a tile map, drawn as a sprite batch node with
// one quad per non-empty tile, all from one tile set's image.
//
// Tiles are not nodes. One reused sprite stamps each tile's quad into the
// atlas; `atlasIndexArray_` keeps, for every quad in atlas order, its
// tile's index z = x + y * width, ascending, so a tile's quad is found by
// binary search. `tileAt` makes a real sprite for a tile only when asked:
// the sprite takes over the tile's quad (its child tag is z), so it can be
// moved, tinted or animated. Positions are tile coordinates, (0, 0) the
// top-left tile, as the map editor counts them.
//
// GIDs keep the editor's flip bits (CCTMXTilesetInfo.h): a tile flipped
// horizontally, vertically or along its diagonal is drawn so. Tiles whose
// GID is not one of the layer's tile set (another set's, or past the last
// set's tiles) stay in the GID array but are not drawn; loading says so in
// one line.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/CCSpriteBatchNode.h"
#include "host/data/PlistValue.h"
#include "host/core/Ref.h"

class CCSprite;
class CCTMXLayerInfo;
class CCTMXMapInfo;
class CCTMXTilesetInfo;

class CCTMXLayer : public CCSpriteBatchNode {
public:
    // Autoreleased; nullptr (logged) when the tile set's image is missing
    // or cannot be loaded. The layer takes the record's GIDs.
    static CCTMXLayer* layerWithTilesetInfo(CCTMXTilesetInfo* tileset, CCTMXLayerInfo* layerInfo,
                                            CCTMXMapInfo* mapInfo);
    bool initWithTilesetInfo(CCTMXTilesetInfo* tileset, CCTMXLayerInfo* layerInfo, CCTMXMapInfo* mapInfo);

    // Builds the quads of every drawable tile. False (logged) when the tile
    // set's image holds no whole tile.
    bool setupTiles();
    // Frees the GID and index arrays; the quads keep drawing, but the tile
    // queries below must not be used any more.
    void releaseMap();

    // ---- Tiles (positions in tiles, (0, 0) at the top left) ------------------
    // The tile's sprite, made on first request; nullptr for an empty tile or
    // one that is not drawn.
    CCSprite* tileAt(CGPoint pos);
    // The GID without its flip bits (0: empty), and the flip bits apart.
    uint32_t tileGIDAt(CGPoint pos) const;
    uint32_t tileGIDAt(CGPoint pos, uint32_t* flags) const;
    // Sets the tile (flip bits may be part of `gid`); GID 0 removes it.
    void setTileGID(uint32_t gid, CGPoint pos);
    void setTileGID(uint32_t gid, CGPoint pos, uint32_t flags) { setTileGID(gid | flags, pos); }
    void removeTileAt(CGPoint pos);
    // The tile's bottom-left corner in the layer, in pixels.
    CGPoint positionAt(CGPoint pos) const;
    const host::PlistValue& propertyNamed(const std::string& name) const;

    // ---- Node overrides ---------------------------------------------------
    // Tiles are set with setTileGID and fetched with tileAt: other children
    // are not taken (logged).
    using CCNode::addChild;
    void addChild(CCNode* child, int z, int tag) override;
    // A tile sprite leaves with its tile: the tile becomes empty.
    void removeChild(CCNode* child, bool cleanup) override;
    void removeAllChildrenWithCleanup(bool cleanup) override;
    // Children's order does not decide drawing order (the atlas does).
    void reorderChild(CCNode* child, int z) override { CCNode::reorderChild(child, z); }
    void draw() override;

    // ---- Properties -------------------------------------------------------
    CCTMXTilesetInfo* tileset() const { return tileset_.get(); }
    const std::string& layerName() const { return layerName_; }
    void setLayerName(const std::string& name) { layerName_ = name; }
    CGSize layerSize() const { return layerSize_; }
    CGSize mapTileSize() const { return mapTileSize_; }
    // Row-major, top row first, flip bits kept; empty after releaseMap.
    const std::vector<uint32_t>& tiles() const { return tiles_; }
    int layerOrientation() const { return layerOrientation_; }
    const host::PlistValue::Dictionary& properties() const { return properties_; }
    uint8_t opacity() const { return opacity_; }
    uint32_t minGID() const { return minGID_; }
    uint32_t maxGID() const { return maxGID_; }
    int vertexZvalue() const { return vertexZvalue_; }
    bool useAutomaticVertexZ() const { return useAutomaticVertexZ_; }
    float alphaFuncValue() const { return alphaFuncValue_; }
    // Tile indices z of the quads, in atlas order.
    const std::vector<uint32_t>& atlasIndexArray() const { return atlasIndexArray_; }

protected:
    ~CCTMXLayer() override;

    // Orthogonal and hexagonal layers draw only the rows of tiles that
    // reach the window, plus any tile sprite moved out of them.
    void drawAtlasQuads() override;

private:
    static constexpr size_t kNoQuad = size_t(-1);

    // ---- Placement --------------------------------------------------------
    CGPoint calculateLayerOffset(CGPoint offsetInTiles) const;
    float vertexZForPos(CGPoint pos) const;
    // Rectangle, flips, anchor, position and vertex z of the tile `gid` at
    // `pos` on `sprite`.
    void placeTileSprite(CCSprite* sprite, uint32_t gid, CGPoint pos) const;
    // The reused sprite set up for `gid` at `pos`, with no atlas slot yet.
    CCSprite* reusedTileFor(uint32_t gid, CGPoint pos);
    void parseInternalProperties();
    bool isDrawable(uint32_t gid) const;

    // ---- Quads and the index array ----------------------------------------
    uint32_t tileIndex(CGPoint pos) const;
    // The tile's quad's atlas index, or kNoQuad.
    size_t atlasIndexForExistantZ(uint32_t z) const;
    // Where a new quad for tile z goes: after every smaller z.
    size_t atlasIndexForNewZ(uint32_t z) const;
    void appendTileForGID(uint32_t gid, CGPoint pos);
    void insertTileForGID(uint32_t gid, CGPoint pos);
    void updateTileForGID(uint32_t gid, CGPoint pos, size_t atlasIndex);
    // The tile sprite made by tileAt for tile z, if any.
    CCSprite* tileSpriteAt(uint32_t z) const;
    // Adds `delta` to the atlas index of each tile sprite at or after `from`.
    void shiftTileSprites(size_t from, int delta);
    // Takes a tile sprite and its quad out; the index array is the caller's.
    void removeTileSprite(CCSprite* sprite, bool cleanup);
    // The atlas could not grow and lost its quads: so does the index.
    void forgetQuads();
    void checkPosition(CGPoint pos) const;
    // The first and one-past-last tile rows that may show in the window.
    bool visibleRows(unsigned* first, unsigned* end);

    host::Ref<CCTMXTilesetInfo> tileset_;
    std::string layerName_;
    CGSize layerSize_ = CGSizeZero;
    CGSize mapTileSize_ = CGSizeZero;
    std::vector<uint32_t> tiles_;
    int layerOrientation_ = 0;
    int staggerAxis_ = 0;
    int staggerIndex_ = 0;
    float hexSideLength_ = 0;
    host::PlistValue::Dictionary properties_;
    uint8_t opacity_ = 255;
    uint32_t minGID_ = 0;
    uint32_t maxGID_ = 0;
    int vertexZvalue_ = 0;
    bool useAutomaticVertexZ_ = false;
    float alphaFuncValue_ = 0;
    host::Ref<CCSprite> reusedTile_;
    std::vector<uint32_t> atlasIndexArray_;
};
