#include "engine/Support/TransformUtils.h"

void CGAffineToGL(const CGAffineTransform* t, float* m) {
    for (int i = 0; i < 16; ++i) m[i] = 0.0f;
    m[0] = t->a;
    m[1] = t->b;
    m[4] = t->c;
    m[5] = t->d;
    m[10] = 1.0f;
    m[12] = t->tx;
    m[13] = t->ty;
    m[15] = 1.0f;
}

void GLToCGAffine(const float* m, CGAffineTransform* t) {
    t->a = m[0];
    t->b = m[1];
    t->c = m[4];
    t->d = m[5];
    t->tx = m[12];
    t->ty = m[13];
}
