#include "engine/Support/glu.h"

#include <GLES/gl.h>

#include <cmath>

void gluPerspective(float fovy, float aspect, float zNear, float zFar) {
    float ymax = zNear * std::tan(fovy * 3.1415927f / 360.0f);
    float ymin = -ymax;
    glFrustumf(ymin * aspect, ymax * aspect, ymin, ymax, zNear, zFar);
}

namespace {
void normalize(float v[3]) {
    float len = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
    if (len == 0) return;
    v[0] /= len; v[1] /= len; v[2] /= len;
}
void cross(const float a[3], const float b[3], float out[3]) {
    out[0] = a[1] * b[2] - a[2] * b[1];
    out[1] = a[2] * b[0] - a[0] * b[2];
    out[2] = a[0] * b[1] - a[1] * b[0];
}
}  // namespace

void gluLookAt(float eyeX, float eyeY, float eyeZ, float centerX, float centerY, float centerZ, float upX,
               float upY, float upZ) {
    float f[3] = {eyeX - centerX, eyeY - centerY, eyeZ - centerZ};
    normalize(f);
    float up[3] = {upX, upY, upZ};
    float s[3], u[3];
    cross(up, f, s);
    cross(f, s, u);  // from the unnormalised side vector
    normalize(s);
    normalize(u);
    GLfloat m[16] = {s[0], u[0], f[0], 0, s[1], u[1], f[1], 0, s[2], u[2], f[2], 0, 0, 0, 0, 1};
    glMultMatrixf(m);
    glTranslatef(-eyeX, -eyeY, -eyeZ);
}
