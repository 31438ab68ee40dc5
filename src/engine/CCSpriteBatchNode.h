// CCSpriteBatchNode: draws every sprite below it, all on its texture, with
// one GL draw call.
//
// The batch node owns a texture atlas whose quads are ordered exactly as
// an ordinary depth-first visit would draw the sprites (negative z before
// the parent, the parent, then non-negative z), so drawing the atlas front
// to back keeps the painter's order. `descendants` lists every sprite at
// any depth in the same order: the sprite at position i has atlas index i
// and owns quad i. Children are never visited; each frame the batch asks
// every descendant to refresh its quad (a no-op unless it changed) and
// draws the atlas.
#pragma once

#include <string>

#include "engine/CCNode.h"
#include "engine/CCProtocols.h"
#include "engine/CCSprite.h"
#include "engine/Support/CCArray.h"
#include "host/core/Ref.h"

class CCTexture2D;
class CCTextureAtlas;

class CCSpriteBatchNode : public CCNode, public CCTextureProtocol {
public:
    static constexpr unsigned kDefaultCapacity = 29;

    CCSpriteBatchNode();  // out of line: the atlas type is only declared here

    // Autoreleased; nullptr when the atlas cannot be allocated.
    static CCSpriteBatchNode* batchNodeWithTexture(CCTexture2D* texture);
    static CCSpriteBatchNode* batchNodeWithTexture(CCTexture2D* texture, unsigned capacity);
    static CCSpriteBatchNode* batchNodeWithFile(const std::string& imageFile);
    static CCSpriteBatchNode* batchNodeWithFile(const std::string& imageFile, unsigned capacity);
    // The same operations under their older names.
    static CCSpriteBatchNode* spriteSheetWithTexture(CCTexture2D* texture);
    static CCSpriteBatchNode* spriteSheetWithTexture(CCTexture2D* texture, unsigned capacity);
    static CCSpriteBatchNode* spriteSheetWithFile(const std::string& imageFile);
    static CCSpriteBatchNode* spriteSheetWithFile(const std::string& imageFile, unsigned capacity);

    // Without a texture, at the default capacity (so a plainly initialised
    // batch node still has its atlas).
    bool init() override;
    bool initWithTexture(CCTexture2D* texture, unsigned capacity);
    // The texture comes from the shared texture cache; an image that cannot
    // be loaded gives a batch node without a texture.
    bool initWithFile(const std::string& imageFile, unsigned capacity);

    std::string description() const override;

    // ---- Texture and blending ----------------------------------------------
    CCTexture2D* texture() const override;
    // Forwarded to the atlas; then the blend choice runs again.
    void setTexture(CCTexture2D* texture) override;
    ccBlendFunc blendFunc() const override { return blendFunc_; }
    void setBlendFunc(ccBlendFunc blendFunc) override { blendFunc_ = blendFunc; }
    CCTextureAtlas* textureAtlas() const { return textureAtlas_.get(); }
    // Replaces the atlas; the descendants write into the new one.
    void setTextureAtlas(CCTextureAtlas* atlas);
    CCArray* descendants() const { return descendants_.get(); }

    // ---- Tree operations ---------------------------------------------------
    // Children must be CCSprites on the batch texture (asserted).
    using CCNode::addChild;
    void addChild(CCNode* child, int z, int tag) override;
    void reorderChild(CCNode* child, int z) override;
    void removeChild(CCNode* child, bool cleanup) override;
    void removeChildAtIndex(unsigned index, bool cleanup);
    void removeAllChildrenWithCleanup(bool cleanup) override;
    void visit() override;
    void draw() override;

    // ---- Atlas bookkeeping used by sprites ---------------------------------
    // Where a sprite just inserted into its parent's children goes in the
    // atlas order.
    unsigned atlasIndexForChild(CCSprite* sprite, int z);
    // Puts the sprite's quad (and then its children's) at `index`, shifting
    // the later descendants' indices up.
    void insertChild(CCSprite* sprite, unsigned index);
    // Takes the sprite and its children out of the atlas; they become
    // stand-alone sprites.
    void removeSpriteFromAtlas(CCSprite* sprite);
    // The last and first atlas index of the sprite's subtree.
    unsigned highestAtlasIndexInChild(CCSprite* sprite);
    unsigned lowestAtlasIndexInChild(CCSprite* sprite);
    // Assigns atlas indices in drawing order from `index` (moves no quads);
    // returns the next free index.
    unsigned rebuildIndexInOrder(CCNode* node, unsigned index);
    // Grows the atlas by a third plus one. On allocation failure every
    // descendant leaves the (now empty) atlas, a line is logged and false
    // is returned.
    bool increaseAtlasCapacity();

    // ---- Quads without sprites (tile-map layers) -----------------------------
    // Inserts the sprite's quad at atlas `index` (<= totalQuads), growing
    // the atlas as needed, and writes it from the sprite's current
    // placement. The sprite is bound to this batch with that atlas index
    // but does not become a child or descendant: one sprite can stamp many
    // quads. False when the atlas cannot grow (it is then empty).
    bool addQuadFromSprite(CCSprite* sprite, unsigned index);
    // Makes the sprite a child (z, tag) and descendant that owns the quad
    // already at atlas `index`, without inserting one.
    CCSprite* addSpriteWithoutQuad(CCSprite* sprite, unsigned index, int tag);

    // ---- Sprite factories ---------------------------------------------------
    // An autoreleased sprite on the batch texture, in batch mode, not yet a child.
    CCSprite* createSpriteWithRect(CGRect rect);
    // Initialises an allocated sprite the same way.
    bool initSprite(CCSprite* sprite, CGRect rect);

    // updateTransform, the selector every descendant's cached update uses.
    static const CCSprite::UpdateMethod& selUpdate();

protected:
    ~CCSpriteBatchNode() override;

    // Draws the atlas's quads, all of them; a subclass that knows which
    // cannot be seen may leave those out.
    virtual void drawAtlasQuads();

private:
    // Descendant at `index`, as a sprite.
    CCSprite* descendantAt(unsigned index) const {
        return static_cast<CCSprite*>(descendants_->data->items[index]);
    }
    // Whether the sprite has its slot in this atlas.
    bool holdsInAtlas(const CCSprite* sprite) const;
    // Adds `delta` to the atlas index of every descendant from `first` on.
    void shiftAtlasIndices(unsigned first, int delta);
    void updateBlendFunc();

    host::Ref<CCTextureAtlas> textureAtlas_;
    ccBlendFunc blendFunc_{CC_BLEND_SRC, CC_BLEND_DST};
    host::Ref<CCArray> descendants_;
};
