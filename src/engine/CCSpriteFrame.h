// CCSpriteFrame: a named-free description of one image inside a texture:
// its rectangle (possibly stored turned 90 degrees), and where the trimmed
// image sits inside the untrimmed one, so a sprite can show it.
//
// The rectangle is kept in pixels and in points (pixels divided by the
// content scale factor); setting either recomputes the other.
#pragma once

#include <string>

#include "host/core/CGGeometry.h"
#include "host/core/Object.h"
#include "host/core/Ref.h"

class CCTexture2D;

class CCSpriteFrame : public host::Object {
public:

    CCSpriteFrame();  // out of line: the texture type is only declared here
    // Autoreleased. `rect` is in points; the frame is not rotated, not
    // trimmed, and its untrimmed size is the rectangle's pixel size.
    static CCSpriteFrame* frameWithTexture(CCTexture2D* texture, CGRect rect);
    // Autoreleased; everything in pixels.
    static CCSpriteFrame* frameWithTexture(CCTexture2D* texture, CGRect rectInPixels, bool rotated,
                                           CGPoint offset, CGSize originalSize);

    bool initWithTexture(CCTexture2D* texture, CGRect rect);
    // When rotated, `rectInPixels` has the width and height of the upright
    // image; the texture region itself is turned 90 degrees.
    bool initWithTexture(CCTexture2D* texture, CGRect rectInPixels, bool rotated, CGPoint offset,
                         CGSize originalSize);

    // A new frame with the same texture and geometry.
    host::Ref<CCSpriteFrame> copy() const;

    CGRect rect() const { return rect_; }
    void setRect(CGRect rect);
    CGRect rectInPixels() const { return rectInPixels_; }
    void setRectInPixels(CGRect rectInPixels);
    bool rotated() const { return rotated_; }
    void setRotated(bool rotated) { rotated_ = rotated; }
    // Offset of the trimmed image's centre from the untrimmed image's centre.
    CGPoint offsetInPixels() const { return offsetInPixels_; }
    void setOffsetInPixels(CGPoint offset) { offsetInPixels_ = offset; }
    CGSize originalSizeInPixels() const { return originalSizeInPixels_; }
    void setOriginalSizeInPixels(CGSize size) { originalSizeInPixels_ = size; }
    CCTexture2D* texture() const { return texture_.get(); }
    void setTexture(CCTexture2D* texture);

    std::string description() const override;

protected:
    ~CCSpriteFrame() override;

private:
    CGRect rect_ = CGRectZero;
    CGRect rectInPixels_ = CGRectZero;
    bool rotated_ = false;
    CGPoint offsetInPixels_ = CGPointZero;
    CGSize originalSizeInPixels_ = CGSizeZero;
    host::Ref<CCTexture2D> texture_;
};
