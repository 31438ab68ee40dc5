// Maps a progress value t in [0, 1] to a float between a start and an end
// value along a linear, S-shaped or exponential curve.
#pragma once

#include "host/core/Object.h"

enum {
    kCDInterpolationLinear = 0,
    kCDInterpolationSCurve = 1,
    kCDInterpolationExponential = 2,
};

class CDFloatInterpolator : public host::Object {
public:
    bool init(int type, float startVal, float endVal);
    // t >= 1 gives the end value; an unknown curve gives 0.
    float interpolate(float t) const;

    float start() const { return start_; }
    void setStart(float v) { start_ = v; }
    float end() const { return end_; }
    void setEnd(float v) { end_ = v; }
    int interpolationType() const { return interpolationType_; }
    void setInterpolationType(int type) { interpolationType_ = type; }

private:
    float start_ = 0;
    float end_ = 0;
    float lastValue_ = 0;
    int interpolationType_ = kCDInterpolationLinear;
};
