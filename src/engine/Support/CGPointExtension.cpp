#include "engine/Support/CGPointExtension.h"

float ccpLength(CGPoint v) { return sqrtf(ccpLengthSQ(v)); }

float ccpDistance(CGPoint a, CGPoint b) { return ccpLength(ccpSub(a, b)); }

CGPoint ccpNormalize(CGPoint v) { return ccpMult(v, 1.0f / ccpLength(v)); }

CGPoint ccpForAngle(float a) { return ccp(cosf(a), sinf(a)); }

float ccpToAngle(CGPoint v) { return atan2f(v.y, v.x); }

float clampf(float value, float a, float b) {
    if (a > b) { float t = a; a = b; b = t; }
    return value < a ? a : (value > b ? b : value);
}

CGPoint ccpClamp(CGPoint p, CGPoint minInclusive, CGPoint maxInclusive) {
    return ccp(clampf(p.x, minInclusive.x, maxInclusive.x), clampf(p.y, minInclusive.y, maxInclusive.y));
}

CGPoint ccpFromSize(CGSize s) { return ccp(s.width, s.height); }

CGPoint ccpLerp(CGPoint a, CGPoint b, float alpha) {
    return ccpAdd(ccpMult(a, 1.0f - alpha), ccpMult(b, alpha));
}

bool ccpFuzzyEqual(CGPoint a, CGPoint b, float var) {
    return a.x - var <= b.x && b.x <= a.x + var && a.y - var <= b.y && b.y <= a.y + var;
}

CGPoint ccpCompMult(CGPoint a, CGPoint b) { return ccp(a.x * b.x, a.y * b.y); }

CGPoint ccpRotateByAngle(CGPoint v, CGPoint pivot, float angle) {
    CGPoint r = ccpSub(v, pivot);
    float c = cosf(angle), s = sinf(angle);
    return ccp(r.x * c - r.y * s + pivot.x, r.x * s + r.y * c + pivot.y);
}

bool ccpLineIntersect(CGPoint A, CGPoint B, CGPoint C, CGPoint D, float* s, float* t) {
    if ((A.x == B.x && A.y == B.y) || (C.x == D.x && C.y == D.y)) return false;
    const float BAx = B.x - A.x, BAy = B.y - A.y;
    const float DCx = D.x - C.x, DCy = D.y - C.y;
    const float ACx = A.x - C.x, ACy = A.y - C.y;
    const float denom = DCy * BAx - DCx * BAy;
    float S = DCx * ACy - DCy * ACx;
    float T = BAx * ACy - BAy * ACx;
    if (s) *s = S;
    if (t) *t = T;
    if (denom == 0.0f) return S == 0.0f || T == 0.0f;
    if (s) *s = S / denom;
    if (t) *t = T / denom;
    return true;
}
