// What the grid effects share: checked parameters, random shake offsets
// and the amplitude of the effects that have one.
#pragma once

#include <cstdlib>

#include "engine/CCActionGrid.h"

// `value` when it is a finite number; otherwise 0, with a log line naming
// `what` was refused.
float ccFiniteOr0(float value, const char* what);

// A shake range of at least 1 (smaller ones are logged and raised to 1),
// so that the offsets below are defined.
int ccShakeRange(int range, const char* effect);

// A whole random offset in [-range, range), from the C library's rand()
// so that a seed repeats it.
inline float ccShakeOffset(int range) { return float(rand() % (range * 2) - range); }

// An effect of family `Base` with an amplitude: the strength it moves by,
// scaled by the rate the amplitude wrappers set (1 when unwrapped). A
// non-finite amplitude is refused (logged) and reads 0, so no NaN can
// reach the mesh.
template <class Base> class CCAmplitudeEffect : public Base {
public:
    float amplitude() const { return amplitude_; }
    void setAmplitude(float amplitude) { amplitude_ = ccFiniteOr0(amplitude, "amplitude"); }
    float amplitudeRate() const override { return amplitudeRate_; }
    void setAmplitudeRate(float rate) override { amplitudeRate_ = ccFiniteOr0(rate, "amplitude rate"); }

protected:
    ~CCAmplitudeEffect() override = default;
    // The amplitude in effect now.
    float scaledAmplitude() const { return amplitude_ * amplitudeRate_; }

    float amplitude_ = 0;
    float amplitudeRate_ = 1;
};
