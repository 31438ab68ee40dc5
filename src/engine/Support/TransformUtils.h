// Conversions between affine transforms and 4x4 column-major GL matrices.
#pragma once

#include "host/core/CGAffineTransform.h"

// m[0] = a, m[1] = b, m[4] = c, m[5] = d, m[12] = tx, m[13] = ty,
// m[10] = m[15] = 1, every other element 0.
void CGAffineToGL(const CGAffineTransform* t, float* m);
// The inverse mapping: reads the same six elements back.
void GLToCGAffine(const float* m, CGAffineTransform* t);
