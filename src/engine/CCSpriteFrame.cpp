#include "engine/CCSpriteFrame.h"

#include <cstdio>

#include "engine/CCContentScale.h"
#include "engine/CCTexture2D.h"

namespace {

CGRect scaledRect(CGRect r, float s) {
    return CGRectMake(r.origin.x * s, r.origin.y * s, r.size.width * s, r.size.height * s);
}

}  // namespace

CCSpriteFrame* CCSpriteFrame::frameWithTexture(CCTexture2D* texture, CGRect rect) {
    return host::create<CCSpriteFrame>([&](CCSpriteFrame* f) { return f->initWithTexture(texture, rect); });
}

CCSpriteFrame* CCSpriteFrame::frameWithTexture(CCTexture2D* texture, CGRect rectInPixels, bool rotated,
                                               CGPoint offset, CGSize originalSize) {
    return host::create<CCSpriteFrame>([&](CCSpriteFrame* f) {
        return f->initWithTexture(texture, rectInPixels, rotated, offset, originalSize);
    });
}

CCSpriteFrame::CCSpriteFrame() = default;
CCSpriteFrame::~CCSpriteFrame() = default;

void CCSpriteFrame::setTexture(CCTexture2D* texture) { texture_ = texture; }

bool CCSpriteFrame::initWithTexture(CCTexture2D* texture, CGRect rect) {
    const CGRect pixels = scaledRect(rect, __ccContentScaleFactor);
    return initWithTexture(texture, pixels, false, CGPointZero, pixels.size);
}

bool CCSpriteFrame::initWithTexture(CCTexture2D* texture, CGRect rectInPixels, bool rotated, CGPoint offset,
                                    CGSize originalSize) {
    texture_ = texture;
    setRectInPixels(rectInPixels);
    rotated_ = rotated;
    offsetInPixels_ = offset;
    originalSizeInPixels_ = originalSize;
    return true;
}

host::Ref<CCSpriteFrame> CCSpriteFrame::copy() const {
    return host::Ref<CCSpriteFrame>::adopt(host::createOwned<CCSpriteFrame>([this](CCSpriteFrame* f) {
        return f->initWithTexture(texture_.get(), rectInPixels_, rotated_, offsetInPixels_, originalSizeInPixels_);
    }));
}

void CCSpriteFrame::setRect(CGRect rect) {
    rect_ = rect;
    rectInPixels_ = scaledRect(rect, __ccContentScaleFactor);
}

void CCSpriteFrame::setRectInPixels(CGRect rectInPixels) {
    rectInPixels_ = rectInPixels;
    rect_ = scaledRect(rectInPixels, 1.0f / __ccContentScaleFactor);
}

std::string CCSpriteFrame::description() const {
    char buf[160];
    std::snprintf(buf, sizeof buf, " | TextureName=%d, Rect = (%.2f,%.2f,%.2f,%.2f)> rotated:%d",
                  texture_ ? int(texture_->name()) : 0, rect_.origin.x, rect_.origin.y, rect_.size.width,
                  rect_.size.height, rotated_ ? 1 : 0);
    return "<" + className() + " = " + host::addressString(this) + buf;
}
