#include "host/core/Clock.h"

#include <atomic>
#include <chrono>

namespace host {
namespace {
std::atomic<bool> gFixed{false};
std::atomic<double> gVirtualNow{0.0};
// Wall-clock seconds at virtual time 0.
double gWallAtStart = 0;

double realMonotonic() {
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}
}  // namespace

double Clock::now() { return gFixed ? gVirtualNow.load() : realMonotonic(); }

int Clock::gettimeofday(struct timeval* tv) {
    if (!gFixed) return ::gettimeofday(tv, nullptr);
    double t = gWallAtStart + gVirtualNow.load();
    tv->tv_sec = static_cast<time_t>(t);
    tv->tv_usec = static_cast<suseconds_t>((t - static_cast<double>(tv->tv_sec)) * 1e6);
    return 0;
}

void Clock::setFixedStep(bool on) {
    if (on && !gFixed) {
        struct timeval tv;
        ::gettimeofday(&tv, nullptr);
        gWallAtStart = static_cast<double>(tv.tv_sec) + tv.tv_usec / 1e6;
        gVirtualNow = 0.0;
    }
    gFixed = on;
}

bool Clock::isFixedStep() { return gFixed; }

void Clock::advanceTo(double t) {
    if (t > gVirtualNow.load()) gVirtualNow = t;
}

}  // namespace host
