#include "host/display/Accelerometer.h"

namespace host {

Accelerometer& Accelerometer::sharedAccelerometer() {
    static Accelerometer accelerometer;
    return accelerometer;
}

void Accelerometer::deliver(double x, double y, double z, double timestamp) {
    if (!delegate_) return;
    // One sample object reused for every delivery: the delegate reads it
    // during the call and must not keep it.
    sample_.x = x;
    sample_.y = y;
    sample_.z = z;
    sample_.timestamp = timestamp;
    delegate_->accelerometer(this, &sample_);
}

}  // namespace host
