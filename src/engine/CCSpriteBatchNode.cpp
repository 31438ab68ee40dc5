#include "engine/CCSpriteBatchNode.h"

#include <cstdio>

#include "engine/CCTexture2D.h"
#include "engine/CCTextureAtlas.h"
#include "engine/CCTextureCache.h"
#include "engine/ccMacros.h"
#include "host/core/Log.h"
#include "host/display/GLES.h"

namespace {

CCSprite* asBatchableSprite(const CCSpriteBatchNode* batch, CCNode* child) {
    CCSprite* sprite = dynamic_cast<CCSprite*>(child);
    CCAssert(sprite != nullptr, "CCSpriteBatchNode only supports CCSprites as children");
    const CCTexture2D* mine = batch->texture();
    const unsigned childName = sprite->texture() ? sprite->texture()->name() : 0;
    CCAssert(childName == (mine ? mine->name() : 0u), "CCSprite is not using the same texture id");
    return sprite;
}

inline CCSprite* spriteAt(CCArray* array, unsigned i) { return static_cast<CCSprite*>(array->data->items[i]); }

}  // namespace

const CCSprite::UpdateMethod& CCSpriteBatchNode::selUpdate() {
    static const CCSprite::UpdateMethod sel = cc_selector(CCSprite::updateTransform);
    return sel;
}

// ---- Creation ---------------------------------------------------------------

CCSpriteBatchNode* CCSpriteBatchNode::batchNodeWithTexture(CCTexture2D* texture) {
    return batchNodeWithTexture(texture, kDefaultCapacity);
}

CCSpriteBatchNode* CCSpriteBatchNode::batchNodeWithTexture(CCTexture2D* texture, unsigned capacity) {
    return host::create<CCSpriteBatchNode>(
        [&](CCSpriteBatchNode* b) { return b->initWithTexture(texture, capacity); });
}

CCSpriteBatchNode* CCSpriteBatchNode::batchNodeWithFile(const std::string& imageFile) {
    return batchNodeWithFile(imageFile, kDefaultCapacity);
}

CCSpriteBatchNode* CCSpriteBatchNode::batchNodeWithFile(const std::string& imageFile, unsigned capacity) {
    return host::create<CCSpriteBatchNode>(
        [&](CCSpriteBatchNode* b) { return b->initWithFile(imageFile, capacity); });
}

CCSpriteBatchNode* CCSpriteBatchNode::spriteSheetWithTexture(CCTexture2D* texture) {
    return batchNodeWithTexture(texture);
}
CCSpriteBatchNode* CCSpriteBatchNode::spriteSheetWithTexture(CCTexture2D* texture, unsigned capacity) {
    return batchNodeWithTexture(texture, capacity);
}
CCSpriteBatchNode* CCSpriteBatchNode::spriteSheetWithFile(const std::string& imageFile) {
    return batchNodeWithFile(imageFile);
}
CCSpriteBatchNode* CCSpriteBatchNode::spriteSheetWithFile(const std::string& imageFile, unsigned capacity) {
    return batchNodeWithFile(imageFile, capacity);
}

bool CCSpriteBatchNode::init() { return initWithTexture(nullptr, kDefaultCapacity); }

bool CCSpriteBatchNode::initWithTexture(CCTexture2D* texture, unsigned capacity) {
    if (!CCNode::init()) return false;
    blendFunc_ = ccBlendFunc{CC_BLEND_SRC, CC_BLEND_DST};
    textureAtlas_ = CCTextureAtlas::textureAtlasWithTexture(texture, capacity);
    if (!textureAtlas_) {
        host::log("CCSpriteBatchNode: cannot allocate an atlas of %u quads", capacity);
        return false;
    }
    updateBlendFunc();
    children_ = CCArray::arrayWithCapacity(capacity);
    descendants_ = CCArray::arrayWithCapacity(capacity);
    return true;
}

bool CCSpriteBatchNode::initWithFile(const std::string& imageFile, unsigned capacity) {
    // A missing image (the cache logs it) gives a batch without a texture.
    return initWithTexture(CCTextureCache::sharedTextureCache()->addImage(imageFile), capacity);
}

CCSpriteBatchNode::CCSpriteBatchNode() = default;

CCSpriteBatchNode::~CCSpriteBatchNode() {
    // Sprites kept alive elsewhere must not write into an atlas that dies
    // with us.
    if (descendants_) {
        for (host::Object* o : *descendants_) static_cast<CCSprite*>(o)->useSelfRender();
    }
}

std::string CCSpriteBatchNode::description() const {
    char buf[32];
    std::snprintf(buf, sizeof buf, " | Tag = %i>", tag_);
    return "<" + className() + " = " + host::addressString(this) + buf;
}

// ---- Texture and blending -------------------------------------------------------

CCTexture2D* CCSpriteBatchNode::texture() const { return textureAtlas_ ? textureAtlas_->texture() : nullptr; }

void CCSpriteBatchNode::setTexture(CCTexture2D* texture) {
    textureAtlas_->setTexture(texture);
    updateBlendFunc();
}

void CCSpriteBatchNode::updateBlendFunc() {
    // Straight alpha needs its own factors; otherwise whatever was chosen stays.
    const CCTexture2D* t = texture();
    if (!t || !t->hasPremultipliedAlpha()) blendFunc_ = ccBlendFunc{GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA};
}

void CCSpriteBatchNode::setTextureAtlas(CCTextureAtlas* atlas) {
    if (atlas == textureAtlas_.get()) return;
    textureAtlas_ = atlas;
    for (host::Object* o : *descendants_) static_cast<CCSprite*>(o)->setTextureAtlas(atlas);
}

// ---- Tree operations ---------------------------------------------------------------

void CCSpriteBatchNode::addChild(CCNode* child, int z, int tag) {
    CCAssert(child != nullptr, "Argument must be non-nil");
    CCSprite* sprite = asBatchableSprite(this, child);
    CCNode::addChild(child, z, tag);
    insertChild(sprite, atlasIndexForChild(sprite, z));
}

void CCSpriteBatchNode::reorderChild(CCNode* child, int z) {
    CCAssert(child != nullptr, "Child must be non-nil");
    if (z == child->zOrder()) return;
    child->retain();
    removeChild(child, false);
    addChild(child, z, child->tag());
    child->release();
}

void CCSpriteBatchNode::removeChild(CCNode* child, bool doCleanup) {
    // Only our own children leave the atlas through us.
    if (!child || child->parent() != this) return;
    removeSpriteFromAtlas(static_cast<CCSprite*>(child));
    CCNode::removeChild(child, doCleanup);
}

void CCSpriteBatchNode::removeChildAtIndex(unsigned index, bool doCleanup) {
    if (!children_ || index >= children_->count()) return;
    removeChild(static_cast<CCNode*>(children_->objectAtIndex(index)), doCleanup);
}

void CCSpriteBatchNode::removeAllChildrenWithCleanup(bool doCleanup) {
    // Every descendant, not only the direct children, leaves batch mode:
    // none may keep writing into this atlas.
    for (host::Object* o : *descendants_) static_cast<CCSprite*>(o)->useSelfRender();
    CCNode::removeAllChildrenWithCleanup(doCleanup);
    descendants_->removeAllObjects();
    textureAtlas_->removeAllQuads();
}

void CCSpriteBatchNode::visit() {
    if (!visible_) return;
    glPushMatrix();
    // A grid effect would wrap the drawing here; grids are not in the engine yet.
    transform();
    draw();
    glPopMatrix();
}

void CCSpriteBatchNode::draw() {
    CCNode::draw();
    if (textureAtlas_->totalQuads() == 0) return;
    // Dirty sprites rewrite their quads; the rest return at once.
    ccArray* arr = descendants_->data;
    for (unsigned i = 0; i < arr->count; ++i) {
        CCSprite* s = static_cast<CCSprite*>(arr->items[i]);
        s->updateMethod()(s);
    }
    const bool customBlend = !ccBlendFuncIsDefault(blendFunc_);
    if (customBlend) glBlendFunc(blendFunc_.src, blendFunc_.dst);
    drawAtlasQuads();
    if (customBlend) glBlendFunc(CC_BLEND_SRC, CC_BLEND_DST);
}

void CCSpriteBatchNode::drawAtlasQuads() { textureAtlas_->drawQuads(); }

// ---- Atlas bookkeeping ----------------------------------------------------------------

// A subtree's quads run from its negative-z children, through the sprite,
// to its non-negative-z children; the sprite itself ends the run when its
// last child is behind it, and starts it when its first child is in front.
unsigned CCSpriteBatchNode::highestAtlasIndexInChild(CCSprite* sprite) {
    CCArray* children = sprite->children();
    if (!children || children->count() == 0) return sprite->atlasIndex();
    CCSprite* last = static_cast<CCSprite*>(children->lastObject());
    if (last->zOrder() < 0) return sprite->atlasIndex();
    return highestAtlasIndexInChild(last);
}

unsigned CCSpriteBatchNode::lowestAtlasIndexInChild(CCSprite* sprite) {
    CCArray* children = sprite->children();
    if (!children || children->count() == 0) return sprite->atlasIndex();
    CCSprite* first = spriteAt(children, 0);
    if (first->zOrder() >= 0) return sprite->atlasIndex();
    return lowestAtlasIndexInChild(first);
}

bool CCSpriteBatchNode::holdsInAtlas(const CCSprite* sprite) const {
    const unsigned index = sprite->atlasIndex();
    return index != CCSpriteIndexNotInitialized && index < descendants_->count() && descendantAt(index) == sprite;
}

unsigned CCSpriteBatchNode::atlasIndexForChild(CCSprite* sprite, int z) {
    CCNode* parent = sprite->parent();
    CCArray* siblings = parent->children();
    const unsigned i = siblings->indexOfObject(sprite);
    CCSprite* previous = i > 0 && i != CC_INVALID_INDEX ? spriteAt(siblings, i - 1) : nullptr;

    if (parent == this) return previous ? highestAtlasIndexInChild(previous) + 1 : 0;

    CCSprite* parentSprite = static_cast<CCSprite*>(parent);
    const unsigned parentIndex = parentSprite->atlasIndex();
    if (!previous) {
        if (z >= 0) return parentIndex + 1;
        // First of the children behind the parent: before any sibling
        // subtree already placed behind it, else just before the parent.
        CCSprite* next = i + 1 < siblings->count() ? spriteAt(siblings, i + 1) : nullptr;
        return next && next->zOrder() < 0 && holdsInAtlas(next) ? lowestAtlasIndexInChild(next) : parentIndex;
    }
    // Same side of the parent: straight after the previous sibling's
    // subtree. Otherwise previous is behind the parent and we are in front.
    if ((previous->zOrder() < 0) == (z < 0)) return highestAtlasIndexInChild(previous) + 1;
    return parentIndex + 1;
}

void CCSpriteBatchNode::shiftAtlasIndices(unsigned first, int delta) {
    ccArray* arr = descendants_->data;
    for (unsigned i = first; i < arr->count; ++i) {
        CCSprite* s = static_cast<CCSprite*>(arr->items[i]);
        s->setAtlasIndex(uint32_t(int64_t(s->atlasIndex()) + delta));
    }
}

void CCSpriteBatchNode::insertChild(CCSprite* sprite, unsigned index) {
    sprite->useBatchNode(this);
    sprite->setAtlasIndex(index);
    sprite->setDirty(true);

    if (textureAtlas_->totalQuads() == textureAtlas_->capacity() && !increaseAtlasCapacity()) {
        sprite->useSelfRender();  // the atlas could not take it; nothing was written
        return;
    }
    textureAtlas_->insertQuad(&sprite->quad(), index);
    descendants_->insertObject(sprite, index);
    shiftAtlasIndices(index + 1, +1);

    CCArray* children = sprite->children();
    if (!children) return;
    for (unsigned i = 0; i < children->count(); ++i) {
        CCSprite* child = asBatchableSprite(this, static_cast<CCNode*>(children->objectAtIndex(i)));
        insertChild(child, atlasIndexForChild(child, child->zOrder()));
    }
}

void CCSpriteBatchNode::removeSpriteFromAtlas(CCSprite* sprite) {
    const unsigned index = sprite->atlasIndex();
    if (holdsInAtlas(sprite)) {
        textureAtlas_->removeQuadAtIndex(index);
        sprite->useSelfRender();  // it may be drawn on its own again
        // Keeps the sprite alive until its children are done below.
        host::Ref<CCSprite> keep(sprite);
        descendants_->removeObjectAtIndex(index);
        shiftAtlasIndices(index, -1);
        if (CCArray* children = sprite->children())
            for (host::Object* o : *children) removeSpriteFromAtlas(static_cast<CCSprite*>(o));
    } else if (sprite->batchNode() == this) {
        sprite->useSelfRender();  // in batch mode without a slot: nothing to take out
    }
}

unsigned CCSpriteBatchNode::rebuildIndexInOrder(CCNode* node, unsigned index) {
    CCArray* children = node->children();
    const unsigned n = children ? children->count() : 0;
    unsigned i = 0;
    for (; i < n && spriteAt(children, i)->zOrder() < 0; ++i) index = rebuildIndexInOrder(spriteAt(children, i), index);
    if (node != this) static_cast<CCSprite*>(node)->setAtlasIndex(index++);
    for (; i < n; ++i) index = rebuildIndexInOrder(spriteAt(children, i), index);
    return index;
}

bool CCSpriteBatchNode::increaseAtlasCapacity() {
    const unsigned quantity = (textureAtlas_->capacity() + 1) * 4 / 3;
    if (textureAtlas_->resizeCapacity(quantity)) return true;
    // The atlas emptied itself: nobody may keep a slot in it.
    host::log("engine: CCSpriteBatchNode: out of memory growing the atlas to %u quads", quantity);
    for (host::Object* o : *descendants_) static_cast<CCSprite*>(o)->useSelfRender();
    descendants_->removeAllObjects();
    return false;
}

// ---- Quads without sprites ----------------------------------------------------------------

bool CCSpriteBatchNode::addQuadFromSprite(CCSprite* sprite, unsigned index) {
    CCAssert(sprite != nullptr, "Argument must be non-nil");
    CCAssert(index <= textureAtlas_->totalQuads(), "CCSpriteBatchNode: quad index out of range");
    if (textureAtlas_->totalQuads() == textureAtlas_->capacity() && !increaseAtlasCapacity()) return false;
    sprite->useBatchNode(this);
    sprite->setAtlasIndex(index);
    textureAtlas_->insertQuad(&sprite->quad(), index);
    sprite->setDirty(true);
    sprite->updateTransform();
    return true;
}

CCSprite* CCSpriteBatchNode::addSpriteWithoutQuad(CCSprite* sprite, unsigned index, int tag) {
    CCAssert(sprite != nullptr, "Argument must be non-nil");
    sprite->setAtlasIndex(index);
    // Descendants stay in atlas order.
    ccArray* arr = descendants_->data;
    unsigned at = 0;
    while (at < arr->count && static_cast<CCSprite*>(arr->items[at])->atlasIndex() < index) ++at;
    descendants_->insertObject(sprite, at);
    // The node's own insertion: our addChild would insert a second quad.
    CCNode::addChild(sprite, int(index), tag);
    return sprite;
}

// ---- Sprite factories -------------------------------------------------------------------

CCSprite* CCSpriteBatchNode::createSpriteWithRect(CGRect rect) {
    return host::create<CCSprite>([&](CCSprite* s) { return initSprite(s, rect); });
}

bool CCSpriteBatchNode::initSprite(CCSprite* sprite, CGRect rect) {
    if (!sprite || !sprite->initWithTexture(texture(), rect)) return false;
    sprite->useBatchNode(this);
    return true;
}
