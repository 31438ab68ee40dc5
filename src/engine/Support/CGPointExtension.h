// Point arithmetic on CGPoint. Angles are in radians; positive angles turn
// counter-clockwise.
#pragma once

#include <cmath>

#include "host/core/CGGeometry.h"

inline CGPoint ccp(float x, float y) { return CGPoint{x, y}; }
inline CGPoint ccpNeg(CGPoint v) { return ccp(-v.x, -v.y); }
inline CGPoint ccpAdd(CGPoint a, CGPoint b) { return ccp(a.x + b.x, a.y + b.y); }
inline CGPoint ccpSub(CGPoint a, CGPoint b) { return ccp(a.x - b.x, a.y - b.y); }
inline CGPoint ccpMult(CGPoint v, float s) { return ccp(v.x * s, v.y * s); }
inline CGPoint ccpMidpoint(CGPoint a, CGPoint b) { return ccpMult(ccpAdd(a, b), 0.5f); }
inline float ccpDot(CGPoint a, CGPoint b) { return a.x * b.x + a.y * b.y; }
inline float ccpCross(CGPoint a, CGPoint b) { return a.x * b.y - a.y * b.x; }
// Rotated 90 degrees counter-clockwise.
inline CGPoint ccpPerp(CGPoint v) { return ccp(-v.y, v.x); }
// Rotated 90 degrees clockwise.
inline CGPoint ccpRPerp(CGPoint v) { return ccp(v.y, -v.x); }
inline CGPoint ccpProject(CGPoint a, CGPoint b) { return ccpMult(b, ccpDot(a, b) / ccpDot(b, b)); }
inline CGPoint ccpRotate(CGPoint a, CGPoint b) { return ccp(a.x * b.x - a.y * b.y, a.x * b.y + a.y * b.x); }
inline CGPoint ccpUnrotate(CGPoint a, CGPoint b) { return ccp(a.x * b.x + a.y * b.y, a.y * b.x - a.x * b.y); }
inline float ccpLengthSQ(CGPoint v) { return ccpDot(v, v); }

float ccpLength(CGPoint v);
float ccpDistance(CGPoint a, CGPoint b);
CGPoint ccpNormalize(CGPoint v);
// The unit vector at the given angle.
CGPoint ccpForAngle(float a);
float ccpToAngle(CGPoint v);
// value limited to [min(a, b), max(a, b)].
float clampf(float value, float a, float b);
CGPoint ccpClamp(CGPoint p, CGPoint minInclusive, CGPoint maxInclusive);
CGPoint ccpFromSize(CGSize s);
CGPoint ccpLerp(CGPoint a, CGPoint b, float alpha);
// True when both coordinates of a and b differ by at most var.
bool ccpFuzzyEqual(CGPoint a, CGPoint b, float var);
CGPoint ccpCompMult(CGPoint a, CGPoint b);
// Rotates v counter-clockwise by angle about pivot.
CGPoint ccpRotateByAngle(CGPoint v, CGPoint pivot, float angle);
// Intersection of line A-B with line C-D. On success the point is
// A + s*(B - A) = C + t*(D - C); s and t in [0, 1] mean it lies within both
// segments. Coincident lines give true with s and t left unnormalised;
// parallel distinct lines, or a degenerate line (A == B or C == D), give false.
bool ccpLineIntersect(CGPoint A, CGPoint B, CGPoint C, CGPoint D, float* s, float* t);
