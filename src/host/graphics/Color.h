// The platform's colours for views: straight (not premultiplied) RGBA,
// each component 0 to 1, in the device RGB space.
#pragma once

#include <algorithm>

namespace host {

struct Color {
    float r = 0, g = 0, b = 0, a = 0;

    static constexpr Color rgba(float r, float g, float b, float a) { return Color{r, g, b, a}; }
    static constexpr Color white(float w, float a) { return Color{w, w, w, a}; }
    static constexpr Color clearColor() { return Color{0, 0, 0, 0}; }
    static constexpr Color blackColor() { return Color{0, 0, 0, 1}; }
    static constexpr Color whiteColor() { return Color{1, 1, 1, 1}; }
    static constexpr Color grayColor() { return Color{0.5f, 0.5f, 0.5f, 1}; }
    static constexpr Color lightGrayColor() { return Color{2.0f / 3, 2.0f / 3, 2.0f / 3, 1}; }
    static constexpr Color darkGrayColor() { return Color{1.0f / 3, 1.0f / 3, 1.0f / 3, 1}; }
    static constexpr Color redColor() { return Color{1, 0, 0, 1}; }
    static constexpr Color greenColor() { return Color{0, 1, 0, 1}; }
    static constexpr Color blueColor() { return Color{0, 0, 1, 1}; }
    static constexpr Color yellowColor() { return Color{1, 1, 0, 1}; }

    bool isClear() const { return a <= 0; }
    Color withAlpha(float alpha) const { return Color{r, g, b, alpha}; }
    bool operator==(const Color& o) const { return r == o.r && g == o.g && b == o.b && a == o.a; }
    bool operator!=(const Color& o) const { return !(*this == o); }
};

// Component-wise blend from `from` (t = 0) to `to` (t = 1).
inline Color mixColors(const Color& from, const Color& to, float t) {
    return Color{from.r + (to.r - from.r) * t, from.g + (to.g - from.g) * t, from.b + (to.b - from.b) * t,
                 from.a + (to.a - from.a) * t};
}

inline float clampUnit(float v) { return std::min(1.0f, std::max(0.0f, v)); }

}  // namespace host
