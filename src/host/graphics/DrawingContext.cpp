#include "host/graphics/DrawingContext.h"

#include <algorithm>
#include <cmath>

#include "host/graphics/Image.h"
#include "host/text/Font.h"
#include "host/text/TextLayout.h"
#include "host/text/TextRenderer.h"

namespace host {

namespace {

Color premultiply(const Color& c) { return Color{c.r * c.a, c.g * c.a, c.b * c.a, c.a}; }

// The signed distance (pixels) from (px, py) to the rounded rectangle's
// edge: negative inside.
float roundedRectDistance(float px, float py, CGRect r, float radius) {
    const float hw = r.size.width / 2, hh = r.size.height / 2;
    radius = std::min(std::max(0.0f, radius), std::min(hw, hh));
    const float qx = std::fabs(px - (r.origin.x + hw)) - (hw - radius);
    const float qy = std::fabs(py - (r.origin.y + hh)) - (hh - radius);
    const float outside = std::hypot(std::max(qx, 0.0f), std::max(qy, 0.0f));
    const float inside = std::min(std::max(qx, qy), 0.0f);
    return outside + inside - radius;
}

CGRect scaled(CGRect r, float s) {
    return CGRectMake(r.origin.x * s, r.origin.y * s, r.size.width * s, r.size.height * s);
}

// The font at the context's scale: the same face, `scale` times the size.
Ref<Font> fontAtScale(const Font& font, float scale) {
    if (scale == 1) return Ref<Font>(const_cast<Font*>(&font));
    return Font::fontWithFile(font.file(), font.size() * scale, font.kind(), font.name());
}

}  // namespace

float roundedRectCoverage(float px, float py, CGRect r, float radius) {
    return clampUnit(0.5f - roundedRectDistance(px, py, r, radius));
}

// ---- LinearGradient -------------------------------------------------------------

LinearGradient::LinearGradient(std::initializer_list<GradientStop> stops) {
    for (const GradientStop& s : stops) {
        if (count_ == kMaxStops) break;
        stops_[count_++] = GradientStop{s.color, clampUnit(s.location)};
    }
    std::stable_sort(stops_, stops_ + count_,
                     [](const GradientStop& a, const GradientStop& b) { return a.location < b.location; });
}

Color LinearGradient::colorAt(float t) const {
    if (count_ == 0) return Color::clearColor();
    if (t <= stops_[0].location) return stops_[0].color;
    for (int i = 1; i < count_; ++i) {
        if (t <= stops_[i].location) {
            const float span = stops_[i].location - stops_[i - 1].location;
            const float f = span > 0 ? (t - stops_[i - 1].location) / span : 1;
            return mixColors(stops_[i - 1].color, stops_[i].color, f);
        }
    }
    return stops_[count_ - 1].color;
}

// ---- DrawingContext ---------------------------------------------------------------

DrawingContext::DrawingContext(std::vector<uint8_t>* storage, int width, int height, float scale)
    : storage_(storage), width_(std::max(0, width)), height_(std::max(0, height)), scale_(scale > 0 ? scale : 1),
      clip_{0, 0, width_, height_} {}

uint8_t* DrawingContext::ensurePixels() {
    if (!pixels_) {
        storage_->assign(size_t(width_) * size_t(height_) * 4, 0);
        pixels_ = storage_->data();
    }
    return pixels_;
}

void DrawingContext::saveState() { savedClips_.push_back(clip_); }

void DrawingContext::restoreState() {
    if (savedClips_.empty()) return;
    clip_ = savedClips_.back();
    savedClips_.pop_back();
}

DrawingContext::Box DrawingContext::pixelBox(CGRect r) const {
    CGRect p = scaled(r, scale_);
    Box b{int(std::floor(p.origin.x)), int(std::floor(p.origin.y)), int(std::ceil(p.origin.x + p.size.width)),
          int(std::ceil(p.origin.y + p.size.height))};
    b.x0 = std::max(b.x0, clip_.x0);
    b.y0 = std::max(b.y0, clip_.y0);
    b.x1 = std::min(b.x1, clip_.x1);
    b.y1 = std::min(b.y1, clip_.y1);
    return b;
}

void DrawingContext::clipToRect(CGRect r) {
    CGRect p = scaled(r, scale_);
    clip_.x0 = std::max(clip_.x0, int(std::lround(p.origin.x)));
    clip_.y0 = std::max(clip_.y0, int(std::lround(p.origin.y)));
    clip_.x1 = std::min(clip_.x1, int(std::lround(p.origin.x + p.size.width)));
    clip_.y1 = std::min(clip_.y1, int(std::lround(p.origin.y + p.size.height)));
}

void DrawingContext::blend(uint8_t* px, const Color& c, float coverage) const {
    // Source over, premultiplied: d = s + d (1 - sa).
    const float sr = c.r * coverage * 255, sg = c.g * coverage * 255, sb = c.b * coverage * 255;
    const float sa = c.a * coverage;
    const float keep = 1 - sa;
    px[0] = uint8_t(std::min(255.0f, sr + px[0] * keep + 0.5f));
    px[1] = uint8_t(std::min(255.0f, sg + px[1] * keep + 0.5f));
    px[2] = uint8_t(std::min(255.0f, sb + px[2] * keep + 0.5f));
    px[3] = uint8_t(std::min(255.0f, sa * 255 + px[3] * keep + 0.5f));
}

template <class Shade>
void DrawingContext::fillShape(CGRect r, float radius, float strokeWidth, Shade shade) {
    const Box b = pixelBox(r);
    if (b.x0 >= b.x1 || b.y0 >= b.y1) return;
    uint8_t* pixels = ensurePixels();
    const CGRect pr = scaled(r, scale_);
    const float pradius = radius * scale_, pstroke = strokeWidth * scale_;
    for (int y = b.y0; y < b.y1; ++y) {
        uint8_t* row = pixels + (size_t(y) * size_t(width_) + size_t(b.x0)) * 4;
        for (int x = b.x0; x < b.x1; ++x, row += 4) {
            const float cx = float(x) + 0.5f, cy = float(y) + 0.5f;
            float d = roundedRectDistance(cx, cy, pr, pradius);
            // A stroke is the band of its width just inside the edge.
            if (pstroke > 0) d = std::fabs(d + pstroke / 2) - pstroke / 2;
            const float coverage = clampUnit(0.5f - d);
            if (coverage <= 0) continue;
            blend(row, shade(cx, cy), coverage);
        }
    }
}

void DrawingContext::fillRoundedRect(CGRect r, float radius, Color c) {
    if (c.isClear()) return;
    const Color p = premultiply(c);
    fillShape(r, radius, 0, [&p](float, float) { return p; });
}

void DrawingContext::strokeRoundedRect(CGRect r, float radius, float lineWidth, Color c) {
    if (c.isClear() || lineWidth <= 0) return;
    const Color p = premultiply(c);
    fillShape(r, radius, lineWidth, [&p](float, float) { return p; });
}

namespace {
// Position along start -> end (pixels) as 0 to 1 at the ends.
struct GradientAxis {
    float sx, sy, dx, dy, inverseLength2;
    GradientAxis(CGPoint start, CGPoint end, float scale)
        : sx(start.x * scale), sy(start.y * scale), dx((end.x - start.x) * scale), dy((end.y - start.y) * scale),
          inverseLength2(0) {
        const float l2 = dx * dx + dy * dy;
        inverseLength2 = l2 > 0 ? 1 / l2 : 0;
    }
    float at(float px, float py) const { return ((px - sx) * dx + (py - sy) * dy) * inverseLength2; }
};
}  // namespace

void DrawingContext::fillRoundedRect(CGRect r, float radius, const LinearGradient& g, CGPoint start, CGPoint end) {
    const GradientAxis axis(start, end, scale_);
    fillShape(r, radius, 0, [&](float px, float py) { return premultiply(g.colorAt(axis.at(px, py))); });
}

void DrawingContext::drawLinearGradient(const LinearGradient& g, CGPoint start, CGPoint end, unsigned options) {
    if (clip_.x0 >= clip_.x1 || clip_.y0 >= clip_.y1 || g.count() == 0) return;
    uint8_t* pixels = ensurePixels();
    const GradientAxis axis(start, end, scale_);
    for (int y = clip_.y0; y < clip_.y1; ++y) {
        uint8_t* row = pixels + (size_t(y) * size_t(width_) + size_t(clip_.x0)) * 4;
        for (int x = clip_.x0; x < clip_.x1; ++x, row += 4) {
            const float t = axis.at(float(x) + 0.5f, float(y) + 0.5f);
            if (t < 0 && !(options & kGradientDrawsBeforeStartLocation)) continue;
            if (t > 1 && !(options & kGradientDrawsAfterEndLocation)) continue;
            blend(row, premultiply(g.colorAt(t)), 1);
        }
    }
}

void DrawingContext::drawImage(const Image& image, CGRect r, float alpha, float brightness) {
    if (!image.hasBitmap() || r.size.width <= 0 || r.size.height <= 0 || alpha <= 0) return;
    const Box b = pixelBox(r);
    if (b.x0 >= b.x1 || b.y0 >= b.y1) return;
    uint8_t* pixels = ensurePixels();
    const CGRect pr = scaled(r, scale_);
    const int iw = int(image.width()), ih = int(image.height()), ch = image.channels();
    const uint8_t* src = image.pixels().data();
    // One source texel as premultiplied RGBA floats 0 to 1.
    auto texel = [&](int x, int y, float out[4]) {
        x = std::min(std::max(x, 0), iw - 1);
        y = std::min(std::max(y, 0), ih - 1);
        const uint8_t* p = src + (size_t(y) * size_t(iw) + size_t(x)) * size_t(ch);
        const float a = ch == 4 ? p[3] / 255.0f : 1;
        const float r = p[0] / 255.0f, g = ch >= 3 ? p[1] / 255.0f : r, bl = ch >= 3 ? p[2] / 255.0f : r;
        out[0] = r * a;
        out[1] = g * a;
        out[2] = bl * a;
        out[3] = a;
    };
    const float sxScale = float(iw) / pr.size.width, syScale = float(ih) / pr.size.height;
    for (int y = b.y0; y < b.y1; ++y) {
        const float v = (float(y) + 0.5f - pr.origin.y) * syScale - 0.5f;
        const int y0 = int(std::floor(v));
        const float fy = v - float(y0);
        uint8_t* row = pixels + (size_t(y) * size_t(width_) + size_t(b.x0)) * 4;
        for (int x = b.x0; x < b.x1; ++x, row += 4) {
            const float u = (float(x) + 0.5f - pr.origin.x) * sxScale - 0.5f;
            const int x0 = int(std::floor(u));
            const float fx = u - float(x0);
            float t00[4], t10[4], t01[4], t11[4];
            texel(x0, y0, t00);
            texel(x0 + 1, y0, t10);
            texel(x0, y0 + 1, t01);
            texel(x0 + 1, y0 + 1, t11);
            float c[4];
            for (int k = 0; k < 4; ++k)
                c[k] = ((t00[k] * (1 - fx) + t10[k] * fx) * (1 - fy) + (t01[k] * (1 - fx) + t11[k] * fx) * fy) * alpha *
                       (k < 3 ? brightness : 1);
            // Partly covered edge pixels blend by how much the rect covers them.
            const float cover = clampUnit(std::min(float(x) + 1, pr.origin.x + pr.size.width) -
                                          std::max(float(x), pr.origin.x)) *
                                clampUnit(std::min(float(y) + 1, pr.origin.y + pr.size.height) -
                                          std::max(float(y), pr.origin.y));
            blend(row, Color{c[0], c[1], c[2], c[3]}, cover);
        }
    }
}

CGSize DrawingContext::drawText(const std::string& text, const Font& font, CGRect r, int lineBreakMode,
                                int alignment, Color c, int maxLines, bool centreVertically) {
    if (text.empty() || r.size.width <= 0 || r.size.height <= 0) return CGSizeZero;
    Ref<Font> scaledFont = fontAtScale(font, scale_);
    if (!scaledFont) return CGSizeZero;
    const CGRect pr = scaled(r, scale_);
    const int boxW = int(std::lround(pr.size.width)), boxH = int(std::lround(pr.size.height));
    if (boxW <= 0 || boxH <= 0) return CGSizeZero;
    float layoutH = float(boxH);
    if (maxLines > 0) layoutH = std::min(layoutH, float(maxLines) * scaledFont->lineHeight());
    TextLayout layout(*scaledFont, text, CGSizeMake(float(boxW), layoutH), lineBreakMode, alignment);
    const CGSize used = layout.usedSize();
    const int offsetY = centreVertically ? std::max(0, int(std::lround((float(boxH) - used.height) / 2))) : 0;

    coverage_.assign(size_t(boxW) * size_t(boxH), 0);
    CoverageBitmap bitmap{coverage_.data(), boxW, boxH, boxW};
    host::drawText(layout, bitmap, CGPointMake(0, float(offsetY)));

    const int left = int(std::lround(pr.origin.x)), top = int(std::lround(pr.origin.y));
    const Color p = premultiply(c);
    bool any = false;
    for (int y = std::max(0, clip_.y0 - top); y < boxH && top + y < clip_.y1; ++y) {
        for (int x = std::max(0, clip_.x0 - left); x < boxW && left + x < clip_.x1; ++x) {
            const uint8_t cov = coverage_[size_t(y) * size_t(boxW) + size_t(x)];
            if (!cov) continue;
            if (!any) {
                ensurePixels();
                any = true;
            }
            blend(pixels_ + (size_t(top + y) * size_t(width_) + size_t(left + x)) * 4, p, cov / 255.0f);
        }
    }
    return CGSizeMake(used.width / scale_, used.height / scale_);
}

void DrawingContext::maskToRoundedRect(CGRect r, float radius) {
    if (!pixels_) return;
    const CGRect pr = scaled(r, scale_);
    const float pradius = radius * scale_;
    for (int y = 0; y < height_; ++y) {
        uint8_t* row = pixels_ + size_t(y) * size_t(width_) * 4;
        for (int x = 0; x < width_; ++x, row += 4) {
            const float k = roundedRectCoverage(float(x) + 0.5f, float(y) + 0.5f, pr, pradius);
            if (k >= 1) continue;
            for (int i = 0; i < 4; ++i) row[i] = uint8_t(float(row[i]) * k + 0.5f);
        }
    }
}

}  // namespace host
