#include "engine/CCParticleSystemQuad.h"

#include <algorithm>
#include <cstddef>
#include <cmath>

#include "engine/CCContentScale.h"
#include "engine/CCSpriteFrame.h"
#include "engine/CCTexture2D.h"
#include "engine/ccMacros.h"
#include "host/core/Log.h"
#include "host/display/GLES.h"

// ---- CCParticleQuadArrays ----------------------------------------------

bool CCParticleQuadArrays::allocate(unsigned count) {
    quads_ = ccAllocZeroed<ccV2F_C4B_T2F_Quad>(count);
    indices_ = ccAllocZeroed<uint16_t>(size_t(std::min(count, kMaxQuadsPerDraw)) * 6);
    if (!quads_ || !indices_) {
        quads_.reset();
        indices_.reset();
        count_ = 0;
        return false;
    }
    count_ = count;
    initIndices();
    return true;
}

void CCParticleQuadArrays::initIndices() {
    const unsigned n = std::min(count_, kMaxQuadsPerDraw);
    for (unsigned i = 0; i < n; ++i) {
        uint16_t* q = &indices_[size_t(i) * 6];
        const uint16_t first = uint16_t(i * 4);
        q[0] = first;
        q[1] = uint16_t(first + 1);
        q[2] = uint16_t(first + 2);
        q[3] = uint16_t(first + 3);
        q[4] = uint16_t(first + 2);
        q[5] = uint16_t(first + 1);
    }
}

void CCParticleQuadArrays::initTexCoordsWithRect(const CCTexture2D* texture, CGRect rect) {
    if (!texture || texture->pixelsWide() == 0 || texture->pixelsHigh() == 0) return;
    const float s = __ccContentScaleFactor;
    const float w = float(texture->pixelsWide());
    const float h = float(texture->pixelsHigh());
    const float left = rect.origin.x * s / w;
    const float right = left + rect.size.width * s / w;
    const float top = rect.origin.y * s / h;
    const float bottom = top + rect.size.height * s / h;
    for (unsigned i = 0; i < count_; ++i) {
        ccV2F_C4B_T2F_Quad& q = quads_[i];
        q.bl.texCoords = ccTex2F{left, bottom};
        q.br.texCoords = ccTex2F{right, bottom};
        q.tl.texCoords = ccTex2F{left, top};
        q.tr.texCoords = ccTex2F{right, top};
    }
}

void CCParticleQuadArrays::write(unsigned index, ccColor4F color, float size, float rotation, CGPoint pos) {
    ccV2F_C4B_T2F_Quad& q = quads_[index];
    const ccColor4B c = ccParticleColor4B(color);
    q.bl.colors = q.br.colors = q.tl.colors = q.tr.colors = c;

    const float h = size * 0.5f;
    if (rotation == 0) {
        q.bl.vertices = ccVertex2F{pos.x - h, pos.y - h};
        q.br.vertices = ccVertex2F{pos.x + h, pos.y - h};
        q.tl.vertices = ccVertex2F{pos.x - h, pos.y + h};
        q.tr.vertices = ccVertex2F{pos.x + h, pos.y + h};
        return;
    }
    // Positive rotations turn clockwise, as node rotations do.
    const float r = -CC_DEGREES_TO_RADIANS(rotation);
    const float cr = std::cos(r);
    const float sr = std::sin(r);
    auto corner = [&](float cx, float cy) { return ccVertex2F{cx * cr - cy * sr + pos.x, cx * sr + cy * cr + pos.y}; };
    q.bl.vertices = corner(-h, -h);
    q.br.vertices = corner(h, -h);
    q.tl.vertices = corner(-h, h);
    q.tr.vertices = corner(h, h);
}

void CCParticleQuadArrays::draw(unsigned count) const {
    constexpr GLsizei kStride = sizeof(ccV2F_C4B_T2F);
    unsigned first = 0;
    do {
        const unsigned n = std::min(count - first, kMaxQuadsPerDraw);
        const ccV2F_C4B_T2F* base = quads_ ? &quads_[first].bl : nullptr;
        const char* bytes = reinterpret_cast<const char*>(base);
        glVertexPointer(2, GL_FLOAT, kStride, bytes);
        glColorPointer(4, GL_UNSIGNED_BYTE, kStride, bytes ? bytes + offsetof(ccV2F_C4B_T2F, colors) : nullptr);
        glTexCoordPointer(2, GL_FLOAT, kStride, bytes ? bytes + offsetof(ccV2F_C4B_T2F, texCoords) : nullptr);
        glDrawElements(GL_TRIANGLES, GLsizei(n * 6), GL_UNSIGNED_SHORT, indices_.get());
        first += n;
    } while (first < count);
}

// ---- CCParticleSystemQuad ----------------------------------------------

bool CCParticleSystemQuad::initWithTotalParticles(unsigned numberOfParticles) {
    if (!CCParticleSystem::initWithTotalParticles(numberOfParticles)) return false;
    if (!quads_.allocate(numberOfParticles)) {
        host::log("engine: Particle system: not enough memory");
        unscheduleUpdate();  // the scheduler would keep the failed emitter alive
        return false;
    }
    // No texture yet: the coordinates are set again when one is assigned.
    quads_.initTexCoordsWithRect(texture_.get(), CGRectZero);
    return true;
}

void CCParticleSystemQuad::setTexture(CCTexture2D* texture) {
    const CGSize size = texture ? texture->contentSize() : CGSizeZero;
    setTexture(texture, CGRectMake(0, 0, size.width, size.height));
}

void CCParticleSystemQuad::setTexture(CCTexture2D* texture, CGRect rect) {
    const unsigned newName = texture ? texture->name() : 0;
    const unsigned oldName = texture_ ? texture_->name() : 0;
    if (newName != oldName) CCParticleSystem::setTexture(texture);
    initTexCoordsWithRect(rect);
}

void CCParticleSystemQuad::initTexCoordsWithRect(CGRect rect) { quads_.initTexCoordsWithRect(texture_.get(), rect); }

void CCParticleSystemQuad::setDisplayFrame(CCSpriteFrame* frame) {
    if (!frame) return;
    CCTexture2D* texture = frame->texture();
    const unsigned newName = texture ? texture->name() : 0;
    const unsigned oldName = texture_ ? texture_->name() : 0;
    if (newName != oldName) setTexture(texture);
}

void CCParticleSystemQuad::updateQuadWithParticle(sCCParticle* particle, CGPoint newPosition) {
    quads_.write(particleIdx_, particle->color, particle->size, particle->rotation, newPosition);
}

void CCParticleSystemQuad::draw() {
    CCParticleSystem::draw();
    glBindTexture(GL_TEXTURE_2D, texture_ ? texture_->name() : 0);
    ScopedBlendFunc blend(blendFunc_);
    quads_.draw(particleIdx_);
}
