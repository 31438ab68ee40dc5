// Actions that move the camera of their target node (CCNode::camera()).
// CCOrbitCamera swings the eye round the centre on a sphere; the radius is
// scaled by CCCamera::getZEye, so only the direction matters and the node
// is seen turned about its anchor in three dimensions under the director's
// perspective projection.
#pragma once

#include "engine/CCAction.h"

// Reads the target camera's centre, eye and up vector when it starts.
class CCActionCamera : public CCActionInterval {
public:
    void startWithTarget(CCNode* target) override;
    // The same action played backwards in time.
    CCActionInterval* reverse() override;

protected:
    ~CCActionCamera() override = default;

    float centerXOrig_ = 0, centerYOrig_ = 0, centerZOrig_ = 0;
    float eyeXOrig_ = 0, eyeYOrig_ = 0, eyeZOrig_ = 0;
    float upXOrig_ = 0, upYOrig_ = 0, upZOrig_ = 0;
};

// Orbits the eye from (radius, angleZ, angleX) by the deltas over the
// duration; angles in degrees, angle Z measured from the z axis and angle X
// in the x-y plane.
class CCOrbitCamera : public CCActionCamera {
public:
    static CCOrbitCamera* actionWithDuration(ccTime d, float radius, float deltaRadius, float angleZ,
                                             float deltaAngleZ, float angleX, float deltaAngleX);
    bool initWithDuration(ccTime d, float radius, float deltaRadius, float angleZ, float deltaAngleZ, float angleX,
                          float deltaAngleX);

    void startWithTarget(CCNode* target) override;
    void update(ccTime t) override;
    host::Ref<CCOrbitCamera> copy() const { return host::Ref<CCOrbitCamera>::adopt(makeCopy()); }

    // The target camera's eye relative to its centre, in spherical form:
    // radius (in getZEye units), zenith and azimuth (radians).
    void sphericalRadius(float* radius, float* zenith, float* azimuth) const;

protected:
    CCOrbitCamera* makeCopy() const override;
    ~CCOrbitCamera() override = default;

    float radius_ = 0, deltaRadius_ = 0;
    float angleZ_ = 0, deltaAngleZ_ = 0;
    float angleX_ = 0, deltaAngleX_ = 0;
    float radZ_ = 0, radDeltaZ_ = 0;
    float radX_ = 0, radDeltaX_ = 0;
};
