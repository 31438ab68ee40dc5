#include "engine/CCActionCamera.h"

#include <cfloat>
#include <cmath>

#include "engine/CCActionInterval.h"
#include "engine/CCCamera.h"
#include "engine/CCNode.h"

namespace {
constexpr float kDegToRad = 0.017453292f;
constexpr float kPi = 3.1415927f;
}  // namespace

// ---- CCActionCamera ------------------------------------------------------------

void CCActionCamera::startWithTarget(CCNode* target) {
    CCActionInterval::startWithTarget(target);
    CCCamera* camera = target->camera();
    camera->centerX(&centerXOrig_, &centerYOrig_, &centerZOrig_);
    camera->eyeX(&eyeXOrig_, &eyeYOrig_, &eyeZOrig_);
    camera->upX(&upXOrig_, &upYOrig_, &upZOrig_);
}

CCActionInterval* CCActionCamera::reverse() { return CCReverseTime::actionWithAction(this); }

// ---- CCOrbitCamera -------------------------------------------------------------

CCOrbitCamera* CCOrbitCamera::actionWithDuration(ccTime d, float radius, float deltaRadius, float angleZ,
                                                 float deltaAngleZ, float angleX, float deltaAngleX) {
    return host::create<CCOrbitCamera>([&](CCOrbitCamera* a) {
        return a->initWithDuration(d, radius, deltaRadius, angleZ, deltaAngleZ, angleX, deltaAngleX);
    });
}

bool CCOrbitCamera::initWithDuration(ccTime d, float radius, float deltaRadius, float angleZ, float deltaAngleZ,
                                     float angleX, float deltaAngleX) {
    if (!CCActionInterval::initWithDuration(d)) return false;
    radius_ = radius;
    deltaRadius_ = deltaRadius;
    angleZ_ = angleZ;
    deltaAngleZ_ = deltaAngleZ;
    angleX_ = angleX;
    deltaAngleX_ = deltaAngleX;
    radDeltaZ_ = deltaAngleZ * kDegToRad;
    radDeltaX_ = deltaAngleX * kDegToRad;
    return true;
}

void CCOrbitCamera::startWithTarget(CCNode* target) {
    CCActionCamera::startWithTarget(target);
    radZ_ = angleZ_ * kDegToRad;
    radX_ = angleX_ * kDegToRad;
}

void CCOrbitCamera::update(ccTime t) {
    const float r = (radius_ + deltaRadius_ * t) * CCCamera::getZEye();
    const float za = radZ_ + radDeltaZ_ * t;
    const float xa = radX_ + radDeltaX_ * t;
    const float i = std::sin(za) * std::cos(xa) * r + centerXOrig_;
    const float j = std::sin(za) * std::sin(xa) * r + centerYOrig_;
    const float k = std::cos(za) * r + centerZOrig_;
    if (finiteFor("camera eye", {i, j, k})) target_->camera()->setEyeX(i, j, k);
}

CCOrbitCamera* CCOrbitCamera::makeCopy() const {
    return host::createOwned<CCOrbitCamera>([this](CCOrbitCamera* a) {
        return a->initWithDuration(duration_, radius_, deltaRadius_, angleZ_, deltaAngleZ_, angleX_, deltaAngleX_);
    });
}

void CCOrbitCamera::sphericalRadius(float* newRadius, float* zenith, float* azimuth) const {
    CCNode* node = target_ ? target_ : originalTarget_;
    if (!node) {  // never started: there is no camera to read
        *newRadius = *zenith = *azimuth = 0;
        return;
    }
    CCCamera* camera = node->camera();
    float ex, ey, ez, cx, cy, cz;
    camera->eyeX(&ex, &ey, &ez);
    camera->centerX(&cx, &cy, &cz);
    const float x = ex - cx, y = ey - cy, z = ez - cz;

    float r = std::sqrt(x * x + y * y + z * z);
    float s = std::sqrt(x * x + y * y);
    if (s == 0) s = FLT_EPSILON;
    if (r == 0) r = FLT_EPSILON;

    *zenith = std::acos(z / r);
    *azimuth = x < 0 ? kPi - std::asin(y / s) : std::asin(y / s);
    *newRadius = r / CCCamera::getZEye();
}
