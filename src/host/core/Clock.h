// The host's clocks. In fixed-step mode time is virtual: it only moves when
// the run loop advances it to the next deadline, so runs are reproducible.
#pragma once

#include <sys/time.h>

namespace host {

class Clock {
public:
    // Seconds on a monotonic clock (virtual in fixed-step mode).
    static double now();
    // Wall-clock time; 0 on success like gettimeofday.
    static int gettimeofday(struct timeval* tv);
    static void setFixedStep(bool on);
    static bool isFixedStep();
    // Fixed-step mode only: moves virtual time forward to `t` (never back).
    static void advanceTo(double t);
};

}  // namespace host
