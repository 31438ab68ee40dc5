// A node that draws one texture into a rectangle (GL pixels) through
// CCTexture2D::drawInRect, blending as its alpha kind asks: premultiplied
// textures with the director's (ONE, ONE_MINUS_SRC_ALPHA), others with
// (SRC_ALPHA, ONE_MINUS_SRC_ALPHA).
#pragma once

#include "engine/CCNode.h"
#include "engine/CCTexture2D.h"
#include "host/core/Ref.h"
#include "host/display/GLES.h"

class TextureRectNode : public CCNode {
public:
    static TextureRectNode* make(CCTexture2D* texture, CGRect rect) {
        TextureRectNode* n = host::create<TextureRectNode>();
        n->texture_ = texture;
        n->rect_ = rect;
        return n;
    }
    void draw() override {
        if (!texture_) return;
        glDisableClientState(GL_COLOR_ARRAY);
        glColor4ub(255, 255, 255, 255);
        if (!texture_->hasPremultipliedAlpha()) glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        texture_->drawInRect(rect_);
        glBlendFunc(GL_ONE, GL_ONE_MINUS_SRC_ALPHA);
        glEnableClientState(GL_COLOR_ARRAY);
    }

private:
    host::Ref<CCTexture2D> texture_;
    CGRect rect_ = CGRectZero;
};
