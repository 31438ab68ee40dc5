// A view that shows an image, by default stretched to its bounds. Made
// from an image it takes the image's natural size (one point a pixel).
// Rounded corners come from the view's cornerRadius with clipsToBounds.
#pragma once

#include "host/graphics/Image.h"
#include "host/ui/View.h"

namespace host {

enum ContentMode : int {
    kContentModeScaleToFill = 0,
    kContentModeScaleAspectFit = 1,
    kContentModeScaleAspectFill = 2,
    kContentModeCenter = 4,
};

// Where an image of `imageSize` lands in `bounds` for `mode`.
CGRect imageRectForContentMode(int mode, CGSize imageSize, CGRect bounds);

class ImageView : public View {
public:
    // Clear, no user interaction, as on the platform.
    bool initWithFrame(CGRect frame) override;
    // The image's natural size at the origin; a null image gives an empty
    // view that shows nothing.
    bool initWithImage(Image* image);
    static ImageView* imageViewWithImage(Image* image);

    Image* image() const { return image_.get(); }
    // Keeps the view's size, as on the platform.
    void setImage(Image* image);
    int contentMode() const { return contentMode_; }
    void setContentMode(int mode);

    CGSize sizeThatFits(CGSize size) const override;
    void drawRect(DrawingContext& ctx, CGRect rect) override;

private:
    Ref<Image> image_;
    int contentMode_ = kContentModeScaleToFill;
};

}  // namespace host
