// The device's accelerometer: one delegate receives samples at the update
// interval. The input sources (keyboard tilt, a gamepad's sensor) feed it
// through `deliver`.
#pragma once

#include "host/core/Object.h"

namespace host {

class Acceleration : public Object {
public:
    double x = 0, y = 0, z = 0;
    double timestamp = 0;  // seconds, host clock
};

class Accelerometer;

class AccelerometerDelegate {
public:
    virtual ~AccelerometerDelegate() = default;
    virtual void accelerometer(Accelerometer* accelerometer, Acceleration* acceleration) = 0;
};

class Accelerometer {
public:
    static Accelerometer& sharedAccelerometer();

    // Not retained, as on the device: a delegate clears itself before it goes.
    void setDelegate(AccelerometerDelegate* delegate) { delegate_ = delegate; }
    AccelerometerDelegate* delegate() const { return delegate_; }
    double updateInterval() const { return updateInterval_; }
    void setUpdateInterval(double seconds) { updateInterval_ = seconds > 0 ? seconds : updateInterval_; }

    // Hands one sample to the delegate, if there is one.
    void deliver(double x, double y, double z, double timestamp);

private:
    AccelerometerDelegate* delegate_ = nullptr;
    double updateInterval_ = 1.0 / 60;
    Acceleration sample_;
};

}  // namespace host
