// CCTextureAtlas: an array of textured, coloured quads that all sample one
// texture, with the matching index array, drawn a contiguous run at a time.
//
// The quads are the first `totalQuads` slots of `capacity` slots; callers
// write them in place through quads() or through the update/insert/remove
// operations, which are plain memory moves. The index array repeats the
// pattern (tl, bl, tr), (br, tr, bl) per quad and is rebuilt only when the
// capacity changes.
//
// Indices are 16-bit, so one GL draw reaches at most kMaxQuadsPerDraw quads.
// An atlas larger than that is drawn in one call per block of that many
// quads: the stored indices wrap at the block size and each block's draw
// starts the vertex arrays at the block's first quad. Up to
// kMaxQuadsPerDraw quads (every atlas the engine itself makes) need
// exactly one call.
//
// There is no range checking: indices and counts are the caller's duty
// (index < capacity for updates; room for inserts).
#pragma once

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

#include "engine/ccTypes.h"
#include "host/core/Object.h"
#include "host/core/Ref.h"

class CCTexture2D;

class CCTextureAtlas : public host::Object {
public:
    static constexpr unsigned kMaxQuadsPerDraw = 16384;  // 65536 vertices

    CCTextureAtlas();  // out of line: the texture type is only declared here

    // Autoreleased; nullptr when the texture cannot be loaded or the arrays
    // cannot be allocated.
    static CCTextureAtlas* textureAtlasWithFile(const std::string& file, unsigned capacity);
    static CCTextureAtlas* textureAtlasWithTexture(CCTexture2D* texture, unsigned capacity);
    // The texture comes from the shared texture cache.
    bool initWithFile(const std::string& file, unsigned capacity);
    bool initWithTexture(CCTexture2D* texture, unsigned capacity);

    // Copies the quad into slot `index`; raises totalQuads to index + 1 if
    // it was lower (the slots in between keep whatever they held).
    void updateQuad(const ccV3F_C4B_T2F_Quad* quad, unsigned index);
    // Opens a gap at `index` (<= totalQuads) and copies the quad in; the
    // caller must have made room (totalQuads < capacity).
    void insertQuad(const ccV3F_C4B_T2F_Quad* quad, unsigned index);
    // Moves one quad from `oldIndex` to `newIndex`, shifting those between.
    void insertQuadFromIndex(unsigned oldIndex, unsigned newIndex);
    void removeQuadAtIndex(unsigned index);
    // Only forgets the quads; the storage stays.
    void removeAllQuads() { totalQuads_ = 0; }
    // Keeps the first min(totalQuads, newCapacity) quads. On allocation
    // failure the atlas is left empty with capacity 0 and false returned.
    bool resizeCapacity(unsigned newCapacity);

    void drawQuads() { drawNumberOfQuads(totalQuads_, 0); }
    void drawNumberOfQuads(unsigned n) { drawNumberOfQuads(n, 0); }
    // Binds the texture, points the client arrays at the quads and draws.
    // Touches no other GL state.
    void drawNumberOfQuads(unsigned n, unsigned start);

    CCTexture2D* texture() const { return texture_.get(); }
    // Retains the new texture; the quads are left as they are.
    void setTexture(CCTexture2D* texture);
    // The quad storage, writable in place (capacity() slots).
    ccV3F_C4B_T2F_Quad* quads() const { return quads_.get(); }
    const uint16_t* indices() const { return indices_.get(); }
    unsigned capacity() const { return capacity_; }
    unsigned totalQuads() const { return totalQuads_; }

    std::string description() const override;

protected:
    ~CCTextureAtlas() override;

private:
    struct FreeDeleter {
        void operator()(void* p) const { std::free(p); }
    };
    template <class T> using CBuffer = std::unique_ptr<T[], FreeDeleter>;

    // Writes the six indices of every slot from `first` up to capacity.
    void fillIndices(unsigned first);

    uint32_t totalQuads_ = 0;
    uint32_t capacity_ = 0;
    CBuffer<ccV3F_C4B_T2F_Quad> quads_;
    CBuffer<uint16_t> indices_;
    host::Ref<CCTexture2D> texture_;
};
