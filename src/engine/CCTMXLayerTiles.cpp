// CCTMXLayer: reading and editing tiles, keeping the GID array, the index
// array, the atlas and the tile sprites in step.
#include <algorithm>

#include "engine/CCSprite.h"
#include "engine/CCTMXLayer.h"
#include "engine/CCTMXTilesetInfo.h"
#include "engine/CCTextureAtlas.h"
#include "engine/ccMacros.h"
#include "host/core/Log.h"

// ---- The index array ------------------------------------------------------------

uint32_t CCTMXLayer::tileIndex(CGPoint pos) const { return uint32_t(pos.x) + uint32_t(pos.y) * uint32_t(layerSize_.width); }

void CCTMXLayer::checkPosition(CGPoint pos) const {
    CCAssert(pos.x >= 0 && pos.x < layerSize_.width && pos.y >= 0 && pos.y < layerSize_.height,
             "TMXLayer: invalid position");
    CCAssert(!tiles_.empty(), "TMXLayer: the tiles map has been released");
}

size_t CCTMXLayer::atlasIndexForExistantZ(uint32_t z) const {
    const auto found = std::lower_bound(atlasIndexArray_.begin(), atlasIndexArray_.end(), z);
    return found != atlasIndexArray_.end() && *found == z ? size_t(found - atlasIndexArray_.begin()) : kNoQuad;
}

size_t CCTMXLayer::atlasIndexForNewZ(uint32_t z) const {
    return size_t(std::upper_bound(atlasIndexArray_.begin(), atlasIndexArray_.end(), z) - atlasIndexArray_.begin());
}

void CCTMXLayer::forgetQuads() {
    host::log("engine: CCTMXLayer: out of memory: the layer '%s' shows no tiles", layerName_.c_str());
    atlasIndexArray_.clear();
}

// ---- Quads ----------------------------------------------------------------------------

void CCTMXLayer::appendTileForGID(uint32_t gid, CGPoint pos) {
    CCSprite* tile = reusedTileFor(gid, pos);
    if (!addQuadFromSprite(tile, unsigned(atlasIndexArray_.size()))) return forgetQuads();
    atlasIndexArray_.push_back(tileIndex(pos));
}

void CCTMXLayer::insertTileForGID(uint32_t gid, CGPoint pos) {
    const uint32_t z = tileIndex(pos);
    const size_t index = atlasIndexForNewZ(z);
    CCSprite* tile = reusedTileFor(gid, pos);
    if (!addQuadFromSprite(tile, unsigned(index))) return forgetQuads();
    shiftTileSprites(index, +1);
    atlasIndexArray_.insert(atlasIndexArray_.begin() + std::ptrdiff_t(index), z);
    tiles_[z] = gid;
}

void CCTMXLayer::updateTileForGID(uint32_t gid, CGPoint pos, size_t atlasIndex) {
    CCSprite* tile = reusedTileFor(gid, pos);
    tile->setAtlasIndex(uint32_t(atlasIndex));
    tile->setDirty(true);
    tile->updateTransform();
    tiles_[tileIndex(pos)] = gid;
}

// ---- Tile sprites ------------------------------------------------------------------------

CCSprite* CCTMXLayer::tileSpriteAt(uint32_t z) const {
    return children_ && children_->count() ? static_cast<CCSprite*>(getChildByTag(int(z))) : nullptr;
}

void CCTMXLayer::shiftTileSprites(size_t from, int delta) {
    for (host::Object* o : *descendants()) {
        CCSprite* sprite = static_cast<CCSprite*>(o);
        if (sprite->atlasIndex() >= from) sprite->setAtlasIndex(uint32_t(int64_t(sprite->atlasIndex()) + delta));
    }
}

void CCTMXLayer::removeTileSprite(CCSprite* sprite, bool cleanup) {
    const uint32_t index = sprite->atlasIndex();
    host::Ref<CCSprite> keep(sprite);
    if (index < textureAtlas()->totalQuads()) {
        textureAtlas()->removeQuadAtIndex(index);
        descendants()->removeObject(sprite);
        shiftTileSprites(index + 1, -1);
    }
    sprite->useSelfRender();
    CCNode::removeChild(sprite, cleanup);
}

// ---- Reading tiles -------------------------------------------------------------------------

uint32_t CCTMXLayer::tileGIDAt(CGPoint pos) const { return tileGIDAt(pos, nullptr); }

uint32_t CCTMXLayer::tileGIDAt(CGPoint pos, uint32_t* flags) const {
    checkPosition(pos);
    const uint32_t gid = tiles_[tileIndex(pos)];
    if (flags) *flags = gid & kCCTMXFlipFlags;
    return gid & kCCTMXGIDMask;
}

CCSprite* CCTMXLayer::tileAt(CGPoint pos) {
    checkPosition(pos);
    const uint32_t z = tileIndex(pos);
    const uint32_t gid = tiles_[z];
    if ((gid & kCCTMXGIDMask) == 0) return nullptr;
    if (CCSprite* existing = tileSpriteAt(z)) return existing;
    const size_t index = atlasIndexForExistantZ(z);
    if (index == kNoQuad) return nullptr;  // a GID the tile set does not draw

    CCSprite* tile = host::create<CCSprite>(
        [&](CCSprite* s) { return s->initWithBatchNodeRectInPixels(this, tileset_->rectForGID(gid)); });
    if (!tile) return nullptr;
    placeTileSprite(tile, gid, pos);
    tile->setOpacity(opacity_);
    addSpriteWithoutQuad(tile, unsigned(index), int(z));
    return tile;
}

// ---- Editing tiles -------------------------------------------------------------------------

void CCTMXLayer::setTileGID(uint32_t gid, CGPoint pos) {
    checkPosition(pos);
    const uint32_t z = tileIndex(pos);
    if (gid == tiles_[z]) return;
    if ((gid & kCCTMXGIDMask) == 0) return removeTileAt(pos);
    if (!isDrawable(gid)) {
        // Kept as data, like such GIDs in the file, but not drawn.
        host::log("engine: CCTMXLayer: GID %u is not a tile of the tile set of the layer '%s' and is not drawn",
                  gid & kCCTMXGIDMask, layerName_.c_str());
        removeTileAt(pos);
        tiles_[z] = gid;
        return;
    }
    const size_t index = atlasIndexForExistantZ(z);
    if (index == kNoQuad) return insertTileForGID(gid, pos);
    if (CCSprite* sprite = tileSpriteAt(z)) {
        placeTileSprite(sprite, gid, pos);
        tiles_[z] = gid;
        return;
    }
    updateTileForGID(gid, pos, index);
}

void CCTMXLayer::removeTileAt(CGPoint pos) {
    checkPosition(pos);
    const uint32_t z = tileIndex(pos);
    if (tiles_[z] == 0) return;
    tiles_[z] = 0;
    const size_t index = atlasIndexForExistantZ(z);
    if (index == kNoQuad) return;  // it was never drawn
    atlasIndexArray_.erase(atlasIndexArray_.begin() + std::ptrdiff_t(index));
    if (CCSprite* sprite = tileSpriteAt(z)) return removeTileSprite(sprite, true);
    textureAtlas()->removeQuadAtIndex(unsigned(index));
    shiftTileSprites(index, -1);
}

// ---- Children -------------------------------------------------------------------------------

void CCTMXLayer::addChild(CCNode*, int, int) {
    host::log("engine: CCTMXLayer: addChild is not supported; use setTileGID and tileAt");
}

void CCTMXLayer::removeChild(CCNode* child, bool cleanup) {
    if (!child || child->parent() != this) return;
    CCSprite* sprite = static_cast<CCSprite*>(child);  // only tileAt adds children
    const uint32_t index = sprite->atlasIndex();
    if (index < atlasIndexArray_.size()) {
        if (!tiles_.empty()) tiles_[atlasIndexArray_[index]] = 0;
        atlasIndexArray_.erase(atlasIndexArray_.begin() + std::ptrdiff_t(index));
    }
    removeTileSprite(sprite, cleanup);
}

void CCTMXLayer::removeAllChildrenWithCleanup(bool cleanup) {
    while (children_ && children_->count() > 0)
        removeChild(static_cast<CCNode*>(children_->lastObject()), cleanup);
}
