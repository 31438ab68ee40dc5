// CCTMXLayer: creation, tile placement and drawing. Editing tiles is in
// CCTMXLayerTiles.cpp.
#include "engine/CCTMXLayer.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "engine/CCDirector.h"
#include "engine/CCSprite.h"
#include "engine/CCTMXLayerInfo.h"
#include "engine/CCTMXMapInfo.h"
#include "engine/CCTMXObjectGroup.h"
#include "engine/CCTMXTilesetInfo.h"
#include "engine/CCTexture2D.h"
#include "engine/CCTextureAtlas.h"
#include "engine/CCTextureCache.h"
#include "engine/Support/CCFileUtils.h"
#include "host/core/Bundle.h"
#include "host/display/GLES.h"
#include "host/core/Log.h"

namespace {

// The tile set's image through the texture cache; nullptr, with one log
// line, when there is none.
CCTexture2D* tilesetTexture(const CCTMXTilesetInfo* tileset, const std::string& layerName) {
    const std::string& image = tileset->sourceImage();
    if (image.empty()) {
        host::log("engine: CCTMXLayer: the tile set '%s' of the layer '%s' has no image", tileset->name().c_str(),
                  layerName.c_str());
        return nullptr;
    }
    if (!host::Bundle::fileExists(CCFileUtils::fullPathFromRelativePath(image))) {
        host::log("engine: CCTMXLayer: the image %s of the tile set '%s' does not exist", image.c_str(),
                  tileset->name().c_str());
        return nullptr;
    }
    return CCTextureCache::sharedTextureCache()->addImage(image);  // a bad image is logged there
}

}  // namespace

// ---- Creation -------------------------------------------------------------------

CCTMXLayer* CCTMXLayer::layerWithTilesetInfo(CCTMXTilesetInfo* tileset, CCTMXLayerInfo* layerInfo,
                                             CCTMXMapInfo* mapInfo) {
    return host::create<CCTMXLayer>(
        [&](CCTMXLayer* layer) { return layer->initWithTilesetInfo(tileset, layerInfo, mapInfo); });
}

bool CCTMXLayer::initWithTilesetInfo(CCTMXTilesetInfo* tileset, CCTMXLayerInfo* layerInfo, CCTMXMapInfo* mapInfo) {
    if (!layerInfo || !mapInfo) return false;
    const CGSize size = layerInfo->layerSize();
    const unsigned capacity = unsigned(size.width * size.height * 0.35f + 1);
    CCTexture2D* texture = nullptr;
    if (tileset && !(texture = tilesetTexture(tileset, layerInfo->name()))) return false;
    if (!initWithTexture(texture, capacity)) return false;

    layerName_ = layerInfo->name();
    layerSize_ = size;
    tiles_ = layerInfo->takeTiles();
    minGID_ = layerInfo->minGID();
    maxGID_ = layerInfo->maxGID();
    opacity_ = layerInfo->opacity();
    properties_ = layerInfo->properties();
    tileset_ = tileset;
    mapTileSize_ = mapInfo->tileSize();
    layerOrientation_ = mapInfo->orientation();
    staggerAxis_ = mapInfo->staggerAxis();
    staggerIndex_ = mapInfo->staggerIndex();
    hexSideLength_ = mapInfo->hexSideLength();

    // The editor's pixel offset is y down; the engine's y is up.
    const CGPoint offset = calculateLayerOffset(layerInfo->offset());
    const CGPoint pixels = layerInfo->pixelOffset();
    setPositionInPixels(CGPointMake(offset.x + pixels.x, offset.y - pixels.y));
    setContentSizeInPixels(CGSizeMake(size.width * mapTileSize_.width, size.height * mapTileSize_.height));
    useAutomaticVertexZ_ = false;
    vertexZvalue_ = 0;
    alphaFuncValue_ = 0;
    return true;
}

CCTMXLayer::~CCTMXLayer() = default;

void CCTMXLayer::releaseMap() {
    std::vector<uint32_t>().swap(tiles_);
    std::vector<uint32_t>().swap(atlasIndexArray_);
}

const host::PlistValue& CCTMXLayer::propertyNamed(const std::string& name) const {
    return ccTMXValueNamed(properties_, name);
}

void CCTMXLayer::parseInternalProperties() {
    const host::PlistValue& vertexZ = propertyNamed("cc_vertexz");
    if (!vertexZ.isNone()) {
        if (vertexZ.asString() == "automatic")
            useAutomaticVertexZ_ = true;
        else
            vertexZvalue_ = int(vertexZ.asInt());
    }
    alphaFuncValue_ = float(propertyNamed("cc_alpha_func").asDouble(0));
}

bool CCTMXLayer::isDrawable(uint32_t gid) const { return tileset_ && tileset_->containsGID(gid); }

bool CCTMXLayer::setupTiles() {
    if (!tileset_) return true;  // no tile of the layer names a tile
    CCTexture2D* texture = textureAtlas()->texture();
    tileset_->setImageSize(texture->contentSizeInPixels());
    if (tileset_->tileCount() == 0) {
        const CGSize image = tileset_->imageSize(), tile = tileset_->tileSize();
        host::log("engine: CCTMXLayer: the image %s (%.0f x %.0f) holds no whole %.0f x %.0f tile",
                  tileset_->sourceImage().c_str(), double(image.width), double(image.height), double(tile.width),
                  double(tile.height));
        return false;
    }
    texture->setAliasTexParameters();
    parseInternalProperties();

    size_t drawable = 0, skipped = 0;
    for (uint32_t gid : tiles_) {
        if ((gid & kCCTMXGIDMask) == 0) continue;
        ++(isDrawable(gid) ? drawable : skipped);
    }
    // One atlas of the right size rather than growing it a third at a time.
    if (drawable > textureAtlas()->capacity() && !textureAtlas()->resizeCapacity(unsigned(drawable))) {
        host::log("engine: CCTMXLayer: not enough memory for the %zu tiles of the layer '%s'", drawable,
                  layerName_.c_str());
        return false;
    }
    atlasIndexArray_.reserve(drawable);

    const unsigned width = unsigned(layerSize_.width), height = unsigned(layerSize_.height);
    for (unsigned y = 0; y < height; ++y) {
        for (unsigned x = 0; x < width; ++x) {
            const uint32_t gid = tiles_[x + y * width];
            const uint32_t number = gid & kCCTMXGIDMask;
            if (number == 0) continue;
            if (isDrawable(gid)) appendTileForGID(gid, CGPointMake(float(x), float(y)));
            if (number < minGID_) minGID_ = number;
            if (number > maxGID_) maxGID_ = number;
        }
    }
    if (skipped > 0)
        host::log("engine: CCTMXLayer: %zu tiles of the layer '%s' are not tiles of its tile set '%s' (GIDs %u to %u)"
                  " and are not drawn",
                  skipped, layerName_.c_str(), tileset_->name().c_str(), tileset_->firstGid(),
                  tileset_->firstGid() + tileset_->tileCount() - 1);
    return true;
}

// ---- Placement --------------------------------------------------------------------

CGPoint CCTMXLayer::calculateLayerOffset(CGPoint pos) const {
    const float tw = mapTileSize_.width, th = mapTileSize_.height;
    switch (layerOrientation_) {
        case CCTMXOrientationOrtho:
            return CGPointMake(pos.x * tw, -pos.y * th);
        case CCTMXOrientationIso:
            return CGPointMake(tw / 2 * (pos.x - pos.y), th / 2 * (-pos.x - pos.y));
        default:
            return CGPointZero;
    }
}

CGPoint CCTMXLayer::positionAt(CGPoint pos) const {
    const float x = pos.x, y = pos.y;
    const float W = layerSize_.width, H = layerSize_.height;
    const float tw = mapTileSize_.width, th = mapTileSize_.height;
    switch (layerOrientation_) {
        case CCTMXOrientationIso:
            return CGPointMake(tw / 2 * (W + x - y - 1), th / 2 * (2 * H - x - y - 2));
        case CCTMXOrientationHex: {
            // Every other column (or row) is shifted by half a tile; which
            // ones, and how far apart the others are, the map says.
            const bool alongX = staggerAxis_ == CCTMXStaggerAxisX;
            const int line = int(alongX ? x : y);
            const bool odd = (line & 1) != 0;
            const bool shifted = staggerIndex_ == CCTMXStaggerIndexOdd ? odd : !odd;
            if (alongX)
                return CGPointMake(x * (tw + hexSideLength_) / 2, (H - y - 1) * th - (shifted ? th / 2 : 0));
            return CGPointMake(x * tw + (shifted ? tw / 2 : 0), (H - y - 1) * (th + hexSideLength_) / 2);
        }
        default:
            return CGPointMake(x * tw, (H - y - 1) * th);
    }
}

float CCTMXLayer::vertexZForPos(CGPoint pos) const {
    if (!useAutomaticVertexZ_) return float(vertexZvalue_);
    const float W = layerSize_.width, H = layerSize_.height;
    switch (layerOrientation_) {
        case CCTMXOrientationIso:
            return -(W + H - (pos.x + pos.y));
        case CCTMXOrientationOrtho:
            return -(H - pos.y);
        default:
            return 0;
    }
}

void CCTMXLayer::placeTileSprite(CCSprite* sprite, uint32_t gid, CGPoint pos) const {
    const CGRect rect = tileset_->rectForGID(gid);
    sprite->setTextureRectInPixels(rect, false, rect.size);
    sprite->setVertexZ(vertexZForPos(pos));
    const CGPoint corner = positionAt(pos);
    sprite->setFlipX(false);
    sprite->setFlipY(false);
    sprite->setRotation(0);
    if (!(gid & kCCTMXTileDiagonalFlag)) {
        sprite->setAnchorPoint(CGPointZero);
        sprite->setPositionInPixels(corner);
        sprite->setFlipX((gid & kCCTMXTileHorizontalFlag) != 0);
        sprite->setFlipY((gid & kCCTMXTileVerticalFlag) != 0);
        return;
    }
    // The editor flips along the diagonal first, then horizontally, then
    // vertically. As a mirror of the texture followed by a clockwise turn
    // about the tile's centre: diagonal alone is a mirror and 270 degrees,
    // with the horizontal flip 90, with the vertical 270, with both a
    // mirror and 90.
    const uint32_t flips = gid & (kCCTMXTileHorizontalFlag | kCCTMXTileVerticalFlag);
    const bool mirror = flips == 0 || flips == (kCCTMXTileHorizontalFlag | kCCTMXTileVerticalFlag);
    const bool quarterTurn = flips == kCCTMXTileHorizontalFlag || flips == (kCCTMXTileHorizontalFlag | kCCTMXTileVerticalFlag);
    sprite->setFlipX(mirror);
    sprite->setRotation(quarterTurn ? 90.0f : 270.0f);
    sprite->setAnchorPoint(CGPointMake(0.5f, 0.5f));
    // Turned, the tile is as wide as it was high.
    sprite->setPositionInPixels(CGPointMake(corner.x + rect.size.height / 2, corner.y + rect.size.width / 2));
}

CCSprite* CCTMXLayer::reusedTileFor(uint32_t gid, CGPoint pos) {
    if (!reusedTile_) {
        reusedTile_ = host::Ref<CCSprite>::adopt(host::createOwned<CCSprite>(
            [&](CCSprite* s) { return s->initWithBatchNodeRectInPixels(this, tileset_->rectForGID(gid)); }));
        reusedTile_->setOpacity(opacity_);
    }
    // Setters write into the slot the sprite last stamped: it has none now.
    reusedTile_->setAtlasIndex(CCSpriteIndexNotInitialized);
    placeTileSprite(reusedTile_.get(), gid, pos);
    return reusedTile_.get();
}

// ---- Drawing -------------------------------------------------------------------------

bool CCTMXLayer::visibleRows(unsigned* first, unsigned* end) {
    if (layerOrientation_ == CCTMXOrientationIso || !tileset_) return false;  // iso rows run diagonally
    // Without the index (released, or lost to a failed allocation) the
    // quads cannot be told apart.
    if (atlasIndexArray_.size() != textureAtlas()->totalQuads()) return false;
    const float H = layerSize_.height;
    const bool rowsStagger = layerOrientation_ == CCTMXOrientationHex && staggerAxis_ == CCTMXStaggerAxisY;
    const float step = rowsStagger ? (mapTileSize_.height + hexSideLength_) / 2 : mapTileSize_.height;
    if (step <= 0) return false;
    // The window in the layer's pixels; a row shows when its tiles (as tall
    // as the tile set's, maybe shifted half a tile down) reach into it.
    const CGSize win = CCDirector::sharedDirector()->winSizeInPixels();
    const CGRect seen = CGRectApplyAffineTransform(CGRectMake(0, 0, win.width, win.height), worldToNodeTransform());
    const float below = tileset_->tileSize().height + mapTileSize_.height / 2 + step;
    const float above = mapTileSize_.height / 2 + step;
    const float lowest = (H - 1) - std::floor((seen.origin.y + seen.size.height + above) / step);
    const float highest = (H - 1) - std::floor((seen.origin.y - below) / step);
    if (!std::isfinite(lowest) || !std::isfinite(highest)) return false;  // a collapsed transform
    *first = unsigned(std::max(0.0f, std::min(H, lowest)));
    *end = unsigned(std::max(0.0f, std::min(H, highest + 1)));
    return true;
}

void CCTMXLayer::drawAtlasQuads() {
    unsigned firstRow = 0, endRow = 0;
    if (!visibleRows(&firstRow, &endRow)) return CCSpriteBatchNode::drawAtlasQuads();
    // Quads are in tile order, so the rows' quads are one run.
    const uint32_t width = uint32_t(layerSize_.width);
    const auto begin = atlasIndexArray_.begin();
    const size_t start = size_t(std::lower_bound(begin, atlasIndexArray_.end(), firstRow * width) - begin);
    const size_t stop = size_t(std::lower_bound(begin, atlasIndexArray_.end(), endRow * width) - begin);
    if (stop > start) textureAtlas()->drawNumberOfQuads(unsigned(stop - start), unsigned(start));
    for (host::Object* o : *descendants()) {
        const uint32_t index = static_cast<CCSprite*>(o)->atlasIndex();
        if (index < start || index >= stop) textureAtlas()->drawNumberOfQuads(1, index);
    }
}

void CCTMXLayer::draw() {
    if (useAutomaticVertexZ_) {
        glEnable(GL_ALPHA_TEST);
        glAlphaFunc(GL_GREATER, alphaFuncValue_);
    }
    CCSpriteBatchNode::draw();
    if (useAutomaticVertexZ_) glDisable(GL_ALPHA_TEST);
}
