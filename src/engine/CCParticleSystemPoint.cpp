#include "engine/CCParticleSystemPoint.h"

#include <cstddef>

#include "engine/CCConfiguration.h"
#include "engine/CCTexture2D.h"
#include "host/core/Log.h"
#include "host/display/GLES.h"

bool CCParticleSystemPoint::contextSupportsPointSprites() {
    CCConfiguration* configuration = CCConfiguration::sharedConfiguration();
    return configuration->checkForGLExtension("GL_OES_point_sprite") &&
           configuration->checkForGLExtension("GL_OES_point_size_array");
}

bool CCParticleSystemPoint::initWithTotalParticles(unsigned numberOfParticles) {
    const bool pointSprites = contextSupportsPointSprites();
    if (!pointSprites)
        host::log("engine: Particle system: the GL context lacks GL_OES_point_sprite or GL_OES_point_size_array; "
                  "drawing particles as quads");
    return initWithTotalParticles(numberOfParticles, pointSprites);
}

bool CCParticleSystemPoint::initWithTotalParticles(unsigned numberOfParticles, bool usePointSprites) {
    if (!CCParticleSystem::initWithTotalParticles(numberOfParticles)) return false;
    usePointSprites_ = usePointSprites;
    bool allocated;
    if (usePointSprites_) {
        vertices_ = ccAllocZeroed<ccPointSprite>(numberOfParticles);
        allocated = bool(vertices_);
    } else {
        allocated = quads_.allocate(numberOfParticles);
    }
    if (!allocated) {
        host::log("engine: Particle system: not enough memory");
        unscheduleUpdate();  // the scheduler would keep the failed emitter alive
        return false;
    }
    return true;
}

void CCParticleSystemPoint::setTexture(CCTexture2D* texture) {
    CCParticleSystem::setTexture(texture);
    // Point sprites span the whole texture; so do the quads that stand in.
    if (!usePointSprites_ && texture) {
        const CGSize size = texture->contentSize();
        quads_.initTexCoordsWithRect(texture, CGRectMake(0, 0, size.width, size.height));
    }
}

void CCParticleSystemPoint::updateQuadWithParticle(sCCParticle* p, CGPoint newPosition) {
    if (!usePointSprites_) {
        // Quads stand in for points: upright, like a point sprite.
        quads_.write(particleIdx_, p->color, p->size, 0, newPosition);
        return;
    }
    ccPointSprite& v = vertices_[particleIdx_];
    v.pos = ccVertex2F{newPosition.x, newPosition.y};
    v.size = p->size;
    v.colors = ccParticleColor4B(p->color);
}

void CCParticleSystemPoint::draw() {
    CCParticleSystem::draw();
    if (particleIdx_ == 0) return;
    if (!usePointSprites_) {
        glBindTexture(GL_TEXTURE_2D, texture_ ? texture_->name() : 0);
        ScopedBlendFunc blend(blendFunc_);
        quads_.draw(particleIdx_);
        return;
    }
    drawPointSprites();
}

void CCParticleSystemPoint::drawPointSprites() {
    constexpr GLsizei kStride = sizeof(ccPointSprite);
    const char* records = reinterpret_cast<const char*>(vertices_.get());

    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    glBindTexture(GL_TEXTURE_2D, texture_ ? texture_->name() : 0);
    glEnable(GL_POINT_SPRITE_OES);
    glTexEnvi(GL_POINT_SPRITE_OES, GL_COORD_REPLACE_OES, GL_TRUE);

    glVertexPointer(2, GL_FLOAT, kStride, records + offsetof(ccPointSprite, pos));
    glColorPointer(4, GL_UNSIGNED_BYTE, kStride, records + offsetof(ccPointSprite, colors));
    glEnableClientState(GL_POINT_SIZE_ARRAY_OES);
    glPointSizePointerOES(GL_FLOAT, kStride, records + offsetof(ccPointSprite, size));
    {
        ScopedBlendFunc blend(blendFunc_);
        glDrawArrays(GL_POINTS, 0, GLsizei(particleIdx_));
    }

    glDisableClientState(GL_POINT_SIZE_ARRAY_OES);
    glDisable(GL_POINT_SPRITE_OES);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
}
