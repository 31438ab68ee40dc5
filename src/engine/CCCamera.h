// CCCamera: a look-at view transform a node applies before it and its
// children are drawn. Eye and centre are stored in pixels and read and
// written in points; the up vector has no unit.
//
// A camera is created clean: the eye sits a hair (FLT_EPSILON) in front of
// the centre and locate() changes nothing. Any setter makes it dirty; only
// restore() makes it clean again.
#pragma once

#include <string>

#include "host/core/Object.h"

class CCCamera : public host::Object {
public:
    bool init();

    // Eye (0, 0, getZEye), centre (0, 0, 0), up (0, 1, 0); clean.
    void restore();
    // Multiplies the model-view matrix by the look-at transform when dirty.
    void locate();

    // The distance of the default eye from the centre: FLT_EPSILON.
    static float getZEye();

    // Points in, pixels stored; each marks the camera dirty.
    void setEyeX(float x, float y, float z);
    void setCenterX(float x, float y, float z);
    void setUpX(float x, float y, float z);
    // Points out.
    void eyeX(float* x, float* y, float* z) const;
    void centerX(float* x, float* y, float* z) const;
    void upX(float* x, float* y, float* z) const;

    bool dirty() const { return dirty_; }
    void setDirty(bool d) { dirty_ = d; }

    // "<CCCamera = 0000ABCD | center = (0.00,0.00,0.00)>", centre in pixels.
    std::string description() const override;

protected:
    ~CCCamera() override = default;

    float eyeX_ = 0, eyeY_ = 0, eyeZ_ = 0;
    float centerX_ = 0, centerY_ = 0, centerZ_ = 0;
    float upX_ = 0, upY_ = 1, upZ_ = 0;
    bool dirty_ = false;
};
