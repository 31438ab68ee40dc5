#include "engine/CCProgressTimer.h"

#include <cfloat>
#include <cmath>

#include "engine/CCSprite.h"
#include "engine/CCTexture2D.h"
#include "engine/CCTextureCache.h"
#include "engine/Support/CGPointExtension.h"
#include "host/core/Log.h"
#include "host/display/GLES.h"

namespace {
constexpr float kTwoPi = 6.28318530718f;
}

CCProgressTimer* CCProgressTimer::progressWithFile(const std::string& fileName) {
    return host::create<CCProgressTimer>([&](CCProgressTimer* p) { return p->initWithFile(fileName); });
}

CCProgressTimer* CCProgressTimer::progressWithTexture(CCTexture2D* texture) {
    return host::create<CCProgressTimer>([&](CCProgressTimer* p) { return p->initWithTexture(texture); });
}

bool CCProgressTimer::initWithFile(const std::string& fileName) {
    CCTexture2D* texture = CCTextureCache::sharedTextureCache()->addImage(fileName);
    return texture && initWithTexture(texture);  // the cache logs a failed load
}

bool CCProgressTimer::initWithTexture(CCTexture2D* texture) {
    if (!CCNode::init()) return false;
    sprite_ = CCSprite::spriteWithTexture(texture);
    if (!sprite_) return false;
    percentage_ = 0;
    vertexDataCount_ = 0;
    setAnchorPoint(ccp(0.5f, 0.5f));
    setContentSize(sprite_->contentSize());
    type_ = kCCProgressTimerTypeRadialCounterClockwise;
    return true;
}

CCProgressTimer::~CCProgressTimer() = default;

void CCProgressTimer::setPercentage(float percentage) {
    if (percentage == percentage_) return;
    if (std::isnan(percentage)) {
        host::log("CCProgressTimer: refused a percentage that is not a number; it stays %g", percentage_);
        return;
    }
    const float clamped = clampf(percentage, 0, 100);
    if (clamped != percentage && !reportedOutOfRange_) {
        reportedOutOfRange_ = true;
        host::log("CCProgressTimer: percentage %g is outside 0 to 100; shown as %g", percentage, clamped);
    }
    percentage_ = clamped;
    updateProgress();
}

void CCProgressTimer::setType(int type) {
    if (type == type_) return;
    if (type < kCCProgressTimerTypeRadialCounterClockwise || type > kCCProgressTimerTypeBarTopToBottom) {
        host::log("CCProgressTimer: unknown type %d (0 to 5); it stays %d", type, type_);
        return;
    }
    type_ = type;
    // A new shape: rebuilt at once, so the timer keeps showing its
    // percentage.
    vertexDataCount_ = 0;
    updateProgress();
}

void CCProgressTimer::setSprite(CCSprite* sprite) {
    if (sprite == sprite_.get()) return;
    sprite_ = sprite;
    vertexDataCount_ = 0;
    updateProgress();
}

void CCProgressTimer::updateProgress() {
    if (!sprite_) return;
    if (isRadial())
        updateRadial();
    else
        updateBar();
}

CGPoint CCProgressTimer::textureExtent() const {
    CCTexture2D* texture = sprite_ ? sprite_->texture() : nullptr;
    return texture ? ccp(texture->maxS(), texture->maxT()) : CGPointZero;
}

CGPoint CCProgressTimer::boundaryTexCoord(int index) const {
    // Counter-clockwise from 12 o'clock the sweep meets the top-left corner
    // first; clockwise the top-right one.
    static const CGPoint kCounterClockwise[4] = {{0, 0}, {0, 1}, {1, 1}, {1, 0}};
    static const CGPoint kClockwise[4] = {{1, 0}, {1, 1}, {0, 1}, {0, 0}};
    if (index < 0 || index > 3 || !isRadial()) return CGPointZero;
    return type_ == kCCProgressTimerTypeRadialClockwise ? kClockwise[index] : kCounterClockwise[index];
}

ccVertex2F CCProgressTimer::vertexFromTexCoord(CGPoint texCoord) const {
    CCTexture2D* texture = sprite_ ? sprite_->texture() : nullptr;
    if (!texture || texture->maxS() <= 0 || texture->maxT() <= 0) return ccVertex2F{0, 0};
    const CGSize size = texture->contentSizeInPixels();
    return ccVertex2F{size.width * texCoord.x / texture->maxS(),
                      size.height * (1 - texCoord.y / texture->maxT())};
}

void CCProgressTimer::setVertex(int i, CGPoint texCoord) {
    ccV2F_C4B_T2F& v = vertexData_[size_t(i)];
    v.vertices = vertexFromTexCoord(texCoord);
    const CGPoint extent = textureExtent();
    if (sprite_->flipX()) texCoord.x = extent.x - texCoord.x;
    if (sprite_->flipY()) texCoord.y = extent.y - texCoord.y;
    v.texCoords = ccTex2F{texCoord.x, texCoord.y};
}

void CCProgressTimer::resizeVertexData(int count) {
    if (count == vertexDataCount_) return;
    vertexDataCount_ = count;
    updateColor();
}

void CCProgressTimer::updateRadial() {
    const CGPoint extent = textureExtent();
    const float alpha = percentage_ / 100;
    const float angle = kTwoPi * (type_ == kCCProgressTimerTypeRadialClockwise ? alpha : 1 - alpha);
    const CGPoint mid = ccp(anchorPoint_.x * extent.x, anchorPoint_.y * extent.y);
    const CGPoint top = ccp(mid.x, 0);
    const CGPoint sweep = ccpRotateByAngle(top, mid, angle);

    // The edge the sweep's ray leaves the image through. The top edge is
    // split at 12 o'clock into the first (0) and the last (4) edge.
    int index = 0;
    CGPoint hit = top;
    if (alpha == 1) {
        index = 4;
    } else if (alpha > 0) {
        float nearest = FLT_MAX;
        for (int i = 0; i <= 4; ++i) {
            CGPoint a = ccpCompMult(boundaryTexCoord(i % 4), extent);
            CGPoint b = ccpCompMult(boundaryTexCoord((i + 3) % 4), extent);
            if (i == 0) b = ccpMidpoint(a, b);
            if (i == 4) a = ccpMidpoint(a, b);
            float s = 0, t = 0;
            if (!ccpLineIntersect(a, b, mid, sweep, &s, &t)) continue;
            if ((i == 0 || i == 4) && !(s >= 0 && s <= 1)) continue;
            if (t >= 0 && t < nearest) {
                nearest = t;
                index = i;
            }
        }
        if (nearest != FLT_MAX) hit = ccpAdd(mid, ccpMult(ccpSub(sweep, mid), nearest));
    }

    const int count = index + 3;
    if (count != vertexDataCount_) {
        resizeVertexData(count);
        setVertex(0, mid);
        setVertex(1, top);
        for (int i = 0; i < index; ++i) setVertex(i + 2, ccpCompMult(boundaryTexCoord(i), extent));
    }
    setVertex(count - 1, hit);
}

void CCProgressTimer::updateBar() {
    // A strip of four vertices: two stay on the edge the bar grows from,
    // two move from there across the image. In units of the content.
    struct BarShape {
        int fixedIndex[2], movingIndex[2];
        CGPoint edge[2];  // where the fixed pair sits and the moving pair starts
        CGPoint growth;   // how far the moving pair goes at 100 %
    };
    static const BarShape kBars[4] = {
        {{0, 1}, {2, 3}, {{0, 0}, {0, 1}}, {1, 0}},   // left to right
        {{2, 3}, {0, 1}, {{1, 1}, {1, 0}}, {-1, 0}},  // right to left
        {{1, 3}, {0, 2}, {{0, 1}, {1, 1}}, {0, -1}},  // bottom to top
        {{0, 2}, {1, 3}, {{0, 0}, {1, 0}}, {0, 1}},   // top to bottom
    };
    const BarShape& bar = kBars[type_ - kCCProgressTimerTypeBarLeftToRight];
    const CGPoint extent = textureExtent();
    const float alpha = percentage_ / 100;
    const bool fresh = vertexDataCount_ == 0;
    resizeVertexData(4);
    for (int k = 0; k < 2; ++k) {
        if (fresh) setVertex(bar.fixedIndex[k], ccpCompMult(bar.edge[k], extent));
        setVertex(bar.movingIndex[k], ccpCompMult(ccpAdd(bar.edge[k], ccpMult(bar.growth, alpha)), extent));
    }
}

void CCProgressTimer::updateColor() {
    if (!sprite_) return;
    const ccColor3B c = sprite_->color();
    const uint8_t o = sprite_->opacity();
    ccColor4B color{c.r, c.g, c.b, o};
    CCTexture2D* texture = sprite_->texture();
    if (texture && texture->hasPremultipliedAlpha()) {
        color.r = uint8_t(c.r * o / 255);
        color.g = uint8_t(c.g * o / 255);
        color.b = uint8_t(c.b * o / 255);
    }
    for (int i = 0; i < vertexDataCount_; ++i) vertexData_[size_t(i)].colors = color;
}

void CCProgressTimer::draw() {
    if (vertexDataCount_ == 0 || !sprite_) return;
    const ccBlendFunc blend = sprite_->blendFunc();
    const bool customBlend = !ccBlendFuncIsDefault(blend);
    if (customBlend) glBlendFunc(blend.src, blend.dst);
    CCTexture2D* texture = sprite_->texture();
    glBindTexture(GL_TEXTURE_2D, texture ? texture->name() : 0);
    constexpr GLsizei stride = sizeof(ccV2F_C4B_T2F);
    glVertexPointer(2, GL_FLOAT, stride, &vertexData_[0].vertices);
    glTexCoordPointer(2, GL_FLOAT, stride, &vertexData_[0].texCoords);
    glColorPointer(4, GL_UNSIGNED_BYTE, stride, &vertexData_[0].colors);
    glDrawArrays(isRadial() ? GL_TRIANGLE_FAN : GL_TRIANGLE_STRIP, 0, vertexDataCount_);
    if (customBlend) glBlendFunc(CC_BLEND_SRC, CC_BLEND_DST);
}
