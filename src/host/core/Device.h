// The emulated device: a phone (320 x 480 points) or a tablet (768 x 1024),
// portrait, at scale 1 or 2.
#pragma once

#include <string>

#include "host/core/CGGeometry.h"

namespace host {

class Device {
public:
    static Device& current();
    int userInterfaceIdiom() const { return tablet_ ? 1 : 0; }
    const std::string& systemVersion() const { return systemVersion_; }
    std::string model() const { return tablet_ ? "iPad" : "iPhone"; }
    // Stable per data directory: made once and kept in the directory.
    std::string uniqueIdentifier() const;

    // The main screen.
    CGRect screenBounds() const;  // portrait, in points
    float screenScale() const { return retina_ ? 2.0f : 1.0f; }

    void configure(bool tablet, bool retina, const std::string& dataDir);
    void setSystemVersion(const std::string& v) { systemVersion_ = v; }
    const std::string& dataDirectory() const { return dataDir_; }

private:
    bool tablet_ = false;
    bool retina_ = false;
    std::string systemVersion_ = "4.3";
    std::string dataDir_;
};

// Numeric comparison of dotted version strings: <0, 0, >0.
int compareVersions(const std::string& a, const std::string& b);

}  // namespace host
