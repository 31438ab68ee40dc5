// The platform's geometry types (points, sizes, rectangles, affine
// transforms). They are plain C structs in the global namespace, as the
// engine code that uses them everywhere expects.
#pragma once

#include <cmath>

struct CGPoint { float x, y; };
struct CGSize { float width, height; };
struct CGRect { CGPoint origin; CGSize size; };

inline CGPoint CGPointMake(float x, float y) { return CGPoint{x, y}; }
inline CGSize CGSizeMake(float w, float h) { return CGSize{w, h}; }
inline CGRect CGRectMake(float x, float y, float w, float h) { return CGRect{{x, y}, {w, h}}; }
inline bool CGPointEqualToPoint(CGPoint a, CGPoint b) { return a.x == b.x && a.y == b.y; }
inline bool CGSizeEqualToSize(CGSize a, CGSize b) { return a.width == b.width && a.height == b.height; }
inline bool CGRectEqualToRect(CGRect a, CGRect b) {
    return CGPointEqualToPoint(a.origin, b.origin) && CGSizeEqualToSize(a.size, b.size);
}
inline bool CGRectContainsPoint(CGRect r, CGPoint p) {
    return p.x >= r.origin.x && p.x < r.origin.x + r.size.width &&
           p.y >= r.origin.y && p.y < r.origin.y + r.size.height;
}
// Shrinks (positive d) or grows (negative d) the rectangle on every side.
inline CGRect CGRectInset(CGRect r, float dx, float dy) {
    return CGRect{{r.origin.x + dx, r.origin.y + dy}, {r.size.width - 2 * dx, r.size.height - 2 * dy}};
}
constexpr CGPoint CGPointZero{0, 0};
constexpr CGSize CGSizeZero{0, 0};
constexpr CGRect CGRectZero{{0, 0}, {0, 0}};
