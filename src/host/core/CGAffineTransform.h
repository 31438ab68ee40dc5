// The platform's affine transform and its operations.
//
// A transform is six floats mapping (x, y) to (a*x + c*y + tx, b*x + d*y + ty).
// Translate / Rotate / Scale of t return a transform that applies the new
// operation first and then t; Concat(t1, t2) applies t1 first, then t2.
// Positive rotation angles are counter-clockwise.
#pragma once

#include <algorithm>
#include <cmath>

#include "host/core/CGGeometry.h"

struct CGAffineTransform { float a, b, c, d, tx, ty; };

constexpr CGAffineTransform CGAffineTransformIdentity{1, 0, 0, 1, 0, 0};

inline CGAffineTransform CGAffineTransformMake(float a, float b, float c, float d, float tx, float ty) {
    return CGAffineTransform{a, b, c, d, tx, ty};
}

inline CGAffineTransform CGAffineTransformMakeTranslation(float tx, float ty) {
    return CGAffineTransform{1, 0, 0, 1, tx, ty};
}

inline CGAffineTransform CGAffineTransformMakeScale(float sx, float sy) {
    return CGAffineTransform{sx, 0, 0, sy, 0, 0};
}

inline CGAffineTransform CGAffineTransformMakeRotation(float angle) {
    float s = std::sin(angle), c = std::cos(angle);
    return CGAffineTransform{c, s, -s, c, 0, 0};
}

// t1 first, then t2.
inline CGAffineTransform CGAffineTransformConcat(CGAffineTransform t1, CGAffineTransform t2) {
    return CGAffineTransform{
        t1.a * t2.a + t1.b * t2.c,
        t1.a * t2.b + t1.b * t2.d,
        t1.c * t2.a + t1.d * t2.c,
        t1.c * t2.b + t1.d * t2.d,
        t1.tx * t2.a + t1.ty * t2.c + t2.tx,
        t1.tx * t2.b + t1.ty * t2.d + t2.ty};
}

inline CGAffineTransform CGAffineTransformTranslate(CGAffineTransform t, float tx, float ty) {
    return CGAffineTransformConcat(CGAffineTransformMakeTranslation(tx, ty), t);
}

inline CGAffineTransform CGAffineTransformRotate(CGAffineTransform t, float angle) {
    return CGAffineTransformConcat(CGAffineTransformMakeRotation(angle), t);
}

inline CGAffineTransform CGAffineTransformScale(CGAffineTransform t, float sx, float sy) {
    return CGAffineTransformConcat(CGAffineTransformMakeScale(sx, sy), t);
}

// The matrix inverse; a singular transform is returned unchanged.
inline CGAffineTransform CGAffineTransformInvert(CGAffineTransform t) {
    float det = t.a * t.d - t.b * t.c;
    if (det == 0.0f) return t;
    float inv = 1.0f / det;
    return CGAffineTransform{
        t.d * inv, -t.b * inv, -t.c * inv, t.a * inv,
        (t.c * t.ty - t.d * t.tx) * inv,
        (t.b * t.tx - t.a * t.ty) * inv};
}

inline bool CGAffineTransformIsIdentity(CGAffineTransform t) {
    return t.a == 1 && t.b == 0 && t.c == 0 && t.d == 1 && t.tx == 0 && t.ty == 0;
}

inline bool CGAffineTransformEqualToTransform(CGAffineTransform t1, CGAffineTransform t2) {
    return t1.a == t2.a && t1.b == t2.b && t1.c == t2.c && t1.d == t2.d && t1.tx == t2.tx &&
           t1.ty == t2.ty;
}

inline CGPoint CGPointApplyAffineTransform(CGPoint p, CGAffineTransform t) {
    return CGPoint{t.a * p.x + t.c * p.y + t.tx, t.b * p.x + t.d * p.y + t.ty};
}

inline CGSize CGSizeApplyAffineTransform(CGSize s, CGAffineTransform t) {
    return CGSize{t.a * s.width + t.c * s.height, t.b * s.width + t.d * s.height};
}

// Maps the four corners and returns the smallest axis-aligned rectangle
// containing them.
inline CGRect CGRectApplyAffineTransform(CGRect r, CGAffineTransform t) {
    float x0 = r.origin.x, y0 = r.origin.y;
    float x1 = x0 + r.size.width, y1 = y0 + r.size.height;
    CGPoint p[4] = {CGPointApplyAffineTransform(CGPoint{x0, y0}, t),
                    CGPointApplyAffineTransform(CGPoint{x1, y0}, t),
                    CGPointApplyAffineTransform(CGPoint{x0, y1}, t),
                    CGPointApplyAffineTransform(CGPoint{x1, y1}, t)};
    float minX = p[0].x, maxX = p[0].x, minY = p[0].y, maxY = p[0].y;
    for (int i = 1; i < 4; ++i) {
        minX = std::min(minX, p[i].x); maxX = std::max(maxX, p[i].x);
        minY = std::min(minY, p[i].y); maxY = std::max(maxY, p[i].y);
    }
    return CGRect{{minX, minY}, {maxX - minX, maxY - minY}};
}
