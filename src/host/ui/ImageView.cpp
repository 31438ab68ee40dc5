#include "host/ui/ImageView.h"

#include <algorithm>

#include "host/graphics/DrawingContext.h"

namespace host {

CGRect imageRectForContentMode(int mode, CGSize s, CGRect b) {
    if (s.width <= 0 || s.height <= 0) return b;
    const CGPoint mid = CGPointMake(b.origin.x + b.size.width / 2, b.origin.y + b.size.height / 2);
    float k = 1;
    switch (mode) {
        case kContentModeScaleAspectFit: k = std::min(b.size.width / s.width, b.size.height / s.height); break;
        case kContentModeScaleAspectFill: k = std::max(b.size.width / s.width, b.size.height / s.height); break;
        case kContentModeCenter: k = 1; break;
        default: return b;
    }
    const float w = s.width * k, h = s.height * k;
    return CGRectMake(mid.x - w / 2, mid.y - h / 2, w, h);
}

bool ImageView::initWithFrame(CGRect frame) {
    if (!View::initWithFrame(frame)) return false;
    setBackgroundColor(Color::clearColor());
    setUserInteractionEnabled(false);
    return true;
}

bool ImageView::initWithImage(Image* image) {
    const CGSize s = image ? CGSizeMake(float(image->width()), float(image->height())) : CGSizeZero;
    if (!initWithFrame(CGRectMake(0, 0, s.width, s.height))) return false;
    image_ = image;
    return true;
}

ImageView* ImageView::imageViewWithImage(Image* image) {
    return create<ImageView>([image](ImageView* v) { return v->initWithImage(image); });
}

void ImageView::setImage(Image* image) {
    if (image == image_.get()) return;
    image_ = image;
    setNeedsDisplay();
}

void ImageView::setContentMode(int mode) {
    if (mode == contentMode_) return;
    contentMode_ = mode;
    setNeedsDisplay();
}

CGSize ImageView::sizeThatFits(CGSize) const {
    return image_ ? CGSizeMake(float(image_->width()), float(image_->height())) : CGSizeZero;
}

void ImageView::drawRect(DrawingContext& ctx, CGRect rect) {
    if (!image_ || !image_->hasBitmap()) return;
    const CGSize s = CGSizeMake(float(image_->width()), float(image_->height()));
    ctx.drawImage(*image_, imageRectForContentMode(contentMode_, s, rect));
}

}  // namespace host
