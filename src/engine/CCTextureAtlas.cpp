#include "engine/CCTextureAtlas.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <type_traits>

#include "engine/CCTexture2D.h"
#include "engine/CCTextureCache.h"
#include "host/display/GLES.h"

namespace {

constexpr size_t kIndicesPerQuad = 6;

// Resizes a malloc'd block in place; on failure the old block is still
// owned by `buf` and false is returned. Size 0 frees the block.
template <class Buffer>
bool reallocate(Buffer& buf, size_t bytes) {
    using T = std::remove_reference_t<decltype(buf[0])>;
    if (bytes == 0) {
        buf.reset();
        return true;
    }
    void* p = std::realloc(buf.get(), bytes);
    if (!p) return false;
    buf.release();
    buf.reset(static_cast<T*>(p));
    return true;
}

}  // namespace

CCTextureAtlas* CCTextureAtlas::textureAtlasWithFile(const std::string& file, unsigned capacity) {
    return host::create<CCTextureAtlas>([&](CCTextureAtlas* a) { return a->initWithFile(file, capacity); });
}

CCTextureAtlas* CCTextureAtlas::textureAtlasWithTexture(CCTexture2D* texture, unsigned capacity) {
    return host::create<CCTextureAtlas>([&](CCTextureAtlas* a) { return a->initWithTexture(texture, capacity); });
}

CCTextureAtlas::CCTextureAtlas() = default;
CCTextureAtlas::~CCTextureAtlas() = default;

void CCTextureAtlas::setTexture(CCTexture2D* texture) { texture_ = texture; }

bool CCTextureAtlas::initWithFile(const std::string& file, unsigned capacity) {
    CCTexture2D* texture = CCTextureCache::sharedTextureCache()->addImage(file);
    if (!texture) return false;  // the cache has logged why
    return initWithTexture(texture, capacity);
}

bool CCTextureAtlas::initWithTexture(CCTexture2D* texture, unsigned capacity) {
    capacity_ = capacity;
    totalQuads_ = 0;
    texture_ = texture;
    if (capacity > 0) {
        quads_.reset(static_cast<ccV3F_C4B_T2F_Quad*>(std::calloc(capacity, sizeof(ccV3F_C4B_T2F_Quad))));
        indices_.reset(static_cast<uint16_t*>(std::calloc(capacity * kIndicesPerQuad, sizeof(uint16_t))));
        if (!quads_ || !indices_) {
            quads_.reset();
            indices_.reset();
            capacity_ = 0;
            return false;
        }
    }
    fillIndices(0);
    return true;
}

void CCTextureAtlas::fillIndices(unsigned first) {
    uint16_t* out = indices_.get() + size_t(first) * kIndicesPerQuad;
    for (unsigned i = first; i < capacity_; ++i) {
        // Wraps at kMaxQuadsPerDraw quads: each block is drawn with the
        // vertex arrays starting at its own first quad.
        const uint16_t v = static_cast<uint16_t>(4u * (i % kMaxQuadsPerDraw));
        *out++ = v;
        *out++ = v + 1;
        *out++ = v + 2;
        *out++ = v + 3;
        *out++ = v + 2;
        *out++ = v + 1;
    }
}

void CCTextureAtlas::updateQuad(const ccV3F_C4B_T2F_Quad* quad, unsigned index) {
    totalQuads_ = std::max(index + 1, totalQuads_);
    quads_[index] = *quad;
}

void CCTextureAtlas::insertQuad(const ccV3F_C4B_T2F_Quad* quad, unsigned index) {
    totalQuads_ += 1;
    const unsigned remaining = totalQuads_ - 1 - index;
    // The quad may live in the array itself: copy it before the move.
    const ccV3F_C4B_T2F_Quad copy = *quad;
    if (remaining > 0)
        std::memmove(&quads_[index + 1], &quads_[index], remaining * sizeof(ccV3F_C4B_T2F_Quad));
    quads_[index] = copy;
}

void CCTextureAtlas::insertQuadFromIndex(unsigned oldIndex, unsigned newIndex) {
    if (oldIndex == newIndex) return;
    const ccV3F_C4B_T2F_Quad saved = quads_[oldIndex];
    if (oldIndex > newIndex) {
        std::memmove(&quads_[newIndex + 1], &quads_[newIndex],
                     (oldIndex - newIndex) * sizeof(ccV3F_C4B_T2F_Quad));
    } else {
        std::memmove(&quads_[oldIndex], &quads_[oldIndex + 1],
                     (newIndex - oldIndex) * sizeof(ccV3F_C4B_T2F_Quad));
    }
    quads_[newIndex] = saved;
}

void CCTextureAtlas::removeQuadAtIndex(unsigned index) {
    const unsigned remaining = totalQuads_ - 1 - index;
    if (remaining != 0)
        std::memmove(&quads_[index], &quads_[index + 1], remaining * sizeof(ccV3F_C4B_T2F_Quad));
    totalQuads_ -= 1;
}

bool CCTextureAtlas::resizeCapacity(unsigned newCapacity) {
    if (newCapacity == capacity_) return true;
    const bool quadsOk = reallocate(quads_, size_t(newCapacity) * sizeof(ccV3F_C4B_T2F_Quad));
    const bool indicesOk =
        quadsOk && reallocate(indices_, size_t(newCapacity) * kIndicesPerQuad * sizeof(uint16_t));
    if (!quadsOk || !indicesOk) {
        // Whatever is still held (new or old) goes; the atlas is left empty.
        quads_.reset();
        indices_.reset();
        capacity_ = 0;
        totalQuads_ = 0;
        return false;
    }
    totalQuads_ = std::min(totalQuads_, newCapacity);
    capacity_ = newCapacity;
    fillIndices(0);
    return true;
}

void CCTextureAtlas::drawNumberOfQuads(unsigned n, unsigned start) {
    glBindTexture(GL_TEXTURE_2D, texture_ ? texture_->name() : 0);
    const uint16_t* indices = indices_.get();
    do {
        // One call per block of kMaxQuadsPerDraw quads (a single call for any
        // atlas up to that size); a zero count still issues its (empty) draw.
        const unsigned blockStart = start - start % kMaxQuadsPerDraw;
        const unsigned count = std::min(n, blockStart + kMaxQuadsPerDraw - start);
        const ccV3F_C4B_T2F* base = quads_ ? &quads_[blockStart].tl : nullptr;
        glVertexPointer(3, GL_FLOAT, sizeof(ccV3F_C4B_T2F), base ? &base->vertices : nullptr);
        glColorPointer(4, GL_UNSIGNED_BYTE, sizeof(ccV3F_C4B_T2F), base ? &base->colors : nullptr);
        glTexCoordPointer(2, GL_FLOAT, sizeof(ccV3F_C4B_T2F), base ? &base->texCoords : nullptr);
        glDrawElements(GL_TRIANGLES, GLsizei(count * kIndicesPerQuad), GL_UNSIGNED_SHORT,
                       indices ? indices + size_t(start) * kIndicesPerQuad : nullptr);
        n -= count;
        start += count;
    } while (n > 0);
}

std::string CCTextureAtlas::description() const {
    char buf[48];
    std::snprintf(buf, sizeof buf, " | totalQuads =  %i>", int(totalQuads_));
    return "<" + className() + " = " + host::addressString(this) + buf;
}
