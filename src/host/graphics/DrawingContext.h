// The small 2D drawing context views draw their content with (drawRect):
// anti-aliased rectangles and rounded rectangles, linear gradients, images
// and text, into a premultiplied RGBA bitmap.
//
// Coordinates are the view's points, origin top left, y down; the context
// maps them to pixels at its scale. Everything drawn is cut to the clip
// rectangle (the whole bitmap until clipToRect). The bitmap is only made
// (and cleared) when something is first drawn, so a view that draws
// nothing costs nothing.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include "host/core/CGGeometry.h"
#include "host/graphics/Color.h"

namespace host {

class Font;
class Image;

struct GradientStop {
    Color color;
    float location;  // 0 to 1 along the gradient
};

// Up to kMaxStops colour stops, in increasing location.
class LinearGradient {
public:
    static constexpr int kMaxStops = 8;
    LinearGradient(std::initializer_list<GradientStop> stops);
    // The colour at `t`, clamped to the first and last stops.
    Color colorAt(float t) const;
    int count() const { return count_; }

private:
    GradientStop stops_[kMaxStops];
    int count_ = 0;
};

enum GradientDrawingOptions : unsigned {
    kGradientDrawsBeforeStartLocation = 1,
    kGradientDrawsAfterEndLocation = 2,
};

class DrawingContext {
public:
    // Draws into `storage`, made `width` x `height` pixels (rows top
    // first) when first drawn into.
    DrawingContext(std::vector<uint8_t>* storage, int width, int height, float scale);
    DrawingContext(const DrawingContext&) = delete;
    DrawingContext& operator=(const DrawingContext&) = delete;

    float scale() const { return scale_; }
    int pixelWidth() const { return width_; }
    int pixelHeight() const { return height_; }
    CGSize size() const { return CGSizeMake(width_ / scale_, height_ / scale_); }
    // Whether anything has been drawn (the bitmap exists).
    bool hasDrawn() const { return pixels_ != nullptr; }
    const uint8_t* pixels() const { return pixels_; }

    void saveState();
    void restoreState();
    // Narrows the clip to `r` (points).
    void clipToRect(CGRect r);

    void fillRect(CGRect r, Color c) { fillRoundedRect(r, 0, c); }
    void fillRoundedRect(CGRect r, float radius, Color c);
    // A line of `lineWidth` points just inside the rounded rectangle's edge.
    void strokeRoundedRect(CGRect r, float radius, float lineWidth, Color c);
    // A rounded rectangle filled with `g` from `start` to `end`.
    void fillRoundedRect(CGRect r, float radius, const LinearGradient& g, CGPoint start, CGPoint end);
    // Fills the clip with `g` from `start` to `end`; beyond either end only
    // when the options say so.
    void drawLinearGradient(const LinearGradient& g, CGPoint start, CGPoint end, unsigned options);
    // The image scaled into `r` (bilinear), its colours times `brightness`.
    void drawImage(const Image& image, CGRect r, float alpha = 1, float brightness = 1);
    // Text laid out in `r` with the font's size in points (the context
    // draws it at its scale); at most `maxLines` lines (0: as many as fit),
    // vertically centred when asked. Returns the size the text took.
    CGSize drawText(const std::string& text, const Font& font, CGRect r, int lineBreakMode, int alignment, Color c,
                    int maxLines = 0, bool centreVertically = false);
    // Keeps only what lies inside the rounded rectangle (anti-aliased).
    void maskToRoundedRect(CGRect r, float radius);

private:
    struct Box {
        int x0, y0, x1, y1;
    };
    uint8_t* ensurePixels();
    Box pixelBox(CGRect r) const;  // the pixels `r` touches, within the clip
    template <class Shade>
    void fillShape(CGRect r, float radius, float strokeWidth, Shade shade);
    void blend(uint8_t* px, const Color& premultiplied, float coverage) const;

    std::vector<uint8_t>* storage_;
    uint8_t* pixels_ = nullptr;
    int width_, height_;
    float scale_;
    Box clip_;
    std::vector<Box> savedClips_;
    std::vector<uint8_t> coverage_;  // scratch for text
};

// The anti-aliased coverage (0 to 1) of the pixel centred at (px, py) by a
// rounded rectangle, all in pixels.
float roundedRectCoverage(float px, float py, CGRect r, float radius);

}  // namespace host
