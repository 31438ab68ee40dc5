#include "engine/CCCamera.h"

#include <cfloat>
#include <cstdio>

#include "engine/CCContentScale.h"
#include "engine/Support/glu.h"

bool CCCamera::init() {
    restore();
    return true;
}

void CCCamera::restore() {
    eyeX_ = eyeY_ = 0;
    eyeZ_ = getZEye();
    centerX_ = centerY_ = centerZ_ = 0;
    upX_ = 0;
    upY_ = 1;
    upZ_ = 0;
    dirty_ = false;
}

void CCCamera::locate() {
    if (dirty_) gluLookAt(eyeX_, eyeY_, eyeZ_, centerX_, centerY_, centerZ_, upX_, upY_, upZ_);
}

float CCCamera::getZEye() { return FLT_EPSILON; }

void CCCamera::setEyeX(float x, float y, float z) {
    const float s = __ccContentScaleFactor;
    eyeX_ = x * s;
    eyeY_ = y * s;
    eyeZ_ = z * s;
    dirty_ = true;
}

void CCCamera::setCenterX(float x, float y, float z) {
    const float s = __ccContentScaleFactor;
    centerX_ = x * s;
    centerY_ = y * s;
    centerZ_ = z * s;
    dirty_ = true;
}

void CCCamera::setUpX(float x, float y, float z) {
    upX_ = x;
    upY_ = y;
    upZ_ = z;
    dirty_ = true;
}

void CCCamera::eyeX(float* x, float* y, float* z) const {
    const float s = __ccContentScaleFactor;
    *x = eyeX_ / s;
    *y = eyeY_ / s;
    *z = eyeZ_ / s;
}

void CCCamera::centerX(float* x, float* y, float* z) const {
    const float s = __ccContentScaleFactor;
    *x = centerX_ / s;
    *y = centerY_ / s;
    *z = centerZ_ / s;
}

void CCCamera::upX(float* x, float* y, float* z) const {
    *x = upX_;
    *y = upY_;
    *z = upZ_;
}

std::string CCCamera::description() const {
    char buf[96];
    std::snprintf(buf, sizeof buf, " | center = (%.2f,%.2f,%.2f)>", centerX_, centerY_, centerZ_);
    return "<" + className() + " = " + host::addressString(this) + buf;
}
