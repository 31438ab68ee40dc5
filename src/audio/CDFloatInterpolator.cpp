#include "audio/CDFloatInterpolator.h"

#include <cmath>

bool CDFloatInterpolator::init(int type, float startVal, float endVal) {
    interpolationType_ = type;
    start_ = startVal;
    end_ = endVal;
    lastValue_ = startVal;
    return true;
}

float CDFloatInterpolator::interpolate(float t) const {
    if (t >= 1.0f) return end_;
    const float delta = end_ - start_;
    switch (interpolationType_) {
        case kCDInterpolationLinear:
            return start_ + delta * t;
        case kCDInterpolationSCurve: {
            const double td = t;
            return start_ + delta * static_cast<float>(td * td * (3.0 - 2.0 * td));
        }
        case kCDInterpolationExponential:
            // Rising values start slowly and finish fast; falling values
            // fall fast and settle slowly.
            if (end_ > start_) {
                if (t == 0.0f) return start_;
                return start_ + delta * (std::pow(2.0f, 10.0f * (t - 1.0f)) - 0.001f);
            }
            return start_ + delta * (1.0f - std::pow(2.0f, -10.0f * t));
        default:
            return 0.0f;
    }
}
