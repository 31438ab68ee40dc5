#include "host/ui/ViewTransitionGeometry.h"

#include <algorithm>
#include <cmath>

namespace host {

namespace {
constexpr float kPi = 3.14159265358979f;
// Cylinder samples; half of them lands exactly on 90 degrees, where the
// page's back comes into view.
constexpr int kCylinderSegments = 16;
}  // namespace

FlipFace flipFaceAt(AnimationTransition kind, float progress) {
    progress = clampUnit(progress);
    const float side = kind == kAnimationTransitionFlipFromLeft ? -1.0f : 1.0f;
    const float turned = progress * kPi;
    FlipFace f;
    f.showsNewContent = progress >= 0.5f;
    f.angle = side * (f.showsNewContent ? turned - kPi : turned);
    f.shade = 1 - 0.45f * std::fabs(std::sin(f.angle));
    return f;
}

ProjectedPoint projectFlipPoint(float x, float y, float cx, float cy, float angle, float eyeDistance) {
    const float dx = x - cx;
    const float depth = dx * std::sin(angle);  // towards the viewer
    const float s = eyeDistance / std::max(1.0f, eyeDistance - depth);
    return ProjectedPoint{cx + dx * std::cos(angle) * s, cy + (y - cy) * s, 1 / s};
}

float flipEyeDistance(float width) { return std::max(500.0f, 2 * width); }

CurlLayout curlLayoutAt(AnimationTransition kind, float progress) {
    progress = clampUnit(progress);
    if (kind == kAnimationTransitionCurlDown) return CurlLayout{false, 1 - progress};
    return CurlLayout{true, progress};
}

float curlRadius(float height) { return std::min(80.0f, std::max(6.0f, height * 0.3f)); }

float curlContactLine(float height, float roll, float radius) {
    // Rolled away completely, the cylinder has just left the top edge.
    return height - clampUnit(roll) * (height + radius);
}

int curlRows(float height, float roll, float radius, CurlRow* rows) {
    if (height <= 0 || radius <= 0) return 0;
    const float c = curlContactLine(height, roll, radius);
    const float arc = kPi * radius;
    auto place = [&](float y) {
        const float d = y - c;
        if (d <= 0) return CurlRow{y, y, false, 1};
        if (d < arc) {
            const float phi = d / radius;
            const bool back = phi > kPi / 2 + 1e-4f;
            const float shade = back ? 0.6f - 0.4f * std::cos(phi) : 0.55f + 0.45f * std::cos(phi);
            return CurlRow{y, c + radius * std::sin(phi), back, shade};
        }
        return CurlRow{y, c - (d - arc), true, 1};
    };
    int n = 0;
    auto add = [&](float y) {
        if (y < 0 || y > height || n == kMaxCurlRows) return;
        if (n > 0 && y <= rows[n - 1].pageY + 1e-4f) return;
        rows[n++] = place(y);
    };
    add(0);
    if (c > 0) add(c);
    for (int k = 1; k <= kCylinderSegments; ++k) add(c + arc * float(k) / kCylinderSegments);
    add(height);
    return n;
}

}  // namespace host
