// CCParticleSystemQuad: draws every particle as a textured quad of the
// particle's size, turned by its rotation, all in one GL call.
//
// CCParticleQuadArrays holds the quads and indices of a particle pool and
// draws them; the point renderer uses it too when the GL context has no
// point sprites.
#pragma once

#include <cstdint>
#include <string>

#include "engine/CCParticleSystem.h"

class CCSpriteFrame;

// The quads of a pool (corners bottom-left, bottom-right, top-left,
// top-right) and the index array that makes two triangles of each.
class CCParticleQuadArrays {
public:
    // 16-bit indices reach 65536 vertices: pools up to this many quads draw
    // in one call, larger ones in one call per block of this many.
    static constexpr unsigned kMaxQuadsPerDraw = 16384;

    // Zeroed quads and filled indices for `count` particles; false when
    // memory runs out.
    bool allocate(unsigned count);
    // Indices for quad i: 4i, 4i+1, 4i+2, 4i+3, 4i+2, 4i+1 (wrapping at
    // kMaxQuadsPerDraw).
    void initIndices();
    // Every quad shows `rectInPoints` of the texture (rows counted from the
    // image's top). Without a texture the coordinates are left alone.
    void initTexCoordsWithRect(const CCTexture2D* texture, CGRect rectInPoints);
    // Colour and corners of quad `index`: a square of side `size` centred
    // on `pos`, turned clockwise by `rotation` degrees.
    void write(unsigned index, ccColor4F color, float size, float rotation, CGPoint pos);
    // Points the client arrays at the quads and draws the first `count`.
    // Needs the vertex, colour and texture-coordinate arrays enabled.
    void draw(unsigned count) const;

    ccV2F_C4B_T2F_Quad* quads() const { return quads_.get(); }
    const uint16_t* indices() const { return indices_.get(); }
    unsigned count() const { return count_; }

private:
    CCMallocArray<ccV2F_C4B_T2F_Quad> quads_;
    CCMallocArray<uint16_t> indices_;
    unsigned count_ = 0;
};

// A colour component 0..1 as a byte, by truncation (out-of-range values
// and NaN are clamped first).
inline uint8_t ccParticleColorByte(float c) {
    return c > 0 ? (c < 1 ? uint8_t(c * 255.0f) : uint8_t(255)) : uint8_t(0);
}
inline ccColor4B ccParticleColor4B(ccColor4F c) {
    return ccColor4B{ccParticleColorByte(c.r), ccParticleColorByte(c.g), ccParticleColorByte(c.b),
                     ccParticleColorByte(c.a)};
}

class CCParticleSystemQuad : public CCParticleSystem {
public:
    static CCParticleSystemQuad* particleWithFile(const std::string& plistFile) {
        return host::create<CCParticleSystemQuad>([&](CCParticleSystemQuad* p) { return p->initWithFile(plistFile); });
    }
    static CCParticleSystemQuad* particleWithTotalParticles(unsigned n) {
        return host::create<CCParticleSystemQuad>([n](CCParticleSystemQuad* p) { return p->initWithTotalParticles(n); });
    }

    // The base pool, then zeroed quads and the indices.
    bool initWithTotalParticles(unsigned numberOfParticles) override;

    // The whole texture.
    void setTexture(CCTexture2D* texture) override;
    // Part of a texture, `rect` in points.
    void setTexture(CCTexture2D* texture, CGRect rect);
    void initTexCoordsWithRect(CGRect rect);
    void initIndices() { quads_.initIndices(); }
    // Switches to the frame's whole texture; the frame's rectangle is not
    // used.
    void setDisplayFrame(CCSpriteFrame* frame);

    void updateQuadWithParticle(sCCParticle* particle, CGPoint newPosition) override;
    void postStep() override {}
    // One glDrawElements of particleIdx() quads (also when there are none).
    void draw() override;

    const ccV2F_C4B_T2F_Quad* quads() const { return quads_.quads(); }
    const uint16_t* indices() const { return quads_.indices(); }

protected:
    ~CCParticleSystemQuad() override = default;

private:
    CCParticleQuadArrays quads_;
};
