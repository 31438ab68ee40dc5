// Which way up the player holds the device, and how that turns the
// portrait device surface into the picture the player sees.
#pragma once

#include <optional>

#include "host/core/CGAffineTransform.h"
#include "host/core/CGGeometry.h"

namespace host {

// The status-bar (interface) orientation. The values are the platform's,
// which the engine's device orientations share.
enum class InterfaceOrientation : int {
    Portrait = 1,
    PortraitUpsideDown = 2,
    LandscapeRight = 3,  // home button on the right
    LandscapeLeft = 4,   // home button on the left
};

// The orientation with that platform value, if there is one.
std::optional<InterfaceOrientation> interfaceOrientationFromValue(int value);
inline int interfaceOrientationValue(InterfaceOrientation o) { return static_cast<int>(o); }
bool isLandscape(InterfaceOrientation o);

// Maps a point of the interface (as the player sees it: origin top left,
// y down) onto the portrait surface (origin top left, y down) of
// `surface` size, in the surface's units. surfaceToInterface is its
// inverse. A unit surface (1 x 1) gives the map of normalised coordinates.
CGAffineTransform interfaceToSurface(InterfaceOrientation o, CGSize surface);
CGAffineTransform surfaceToInterface(InterfaceOrientation o, CGSize surface);

}  // namespace host
