#include "host/core/InterfaceOrientation.h"

namespace host {

namespace {

// For each orientation, where an interface point (x, y) lands on the
// surface of width W and height H: x' = a x + c y + tx, y' = b x + d y + ty,
// with tx and ty whole multiples of W and H. Every entry is 0 or ±1, so
// the maps and their inverses are exact in floating point.
struct Turn {
    float a, b, c, d;
    float txW, txH, tyW, tyH;
};

constexpr Turn kTurns[] = {
    {1, 0, 0, 1, 0, 0, 0, 0},     // portrait: as it is
    {-1, 0, 0, -1, 1, 0, 0, 1},   // upside down: (W - x, H - y)
    {0, 1, -1, 0, 1, 0, 0, 0},    // landscape, home right: (W - y, x)
    {0, -1, 1, 0, 0, 0, 0, 1},    // landscape, home left: (y, H - x)
};

const Turn& turnOf(InterfaceOrientation o) { return kTurns[interfaceOrientationValue(o) - 1]; }

}  // namespace

std::optional<InterfaceOrientation> interfaceOrientationFromValue(int value) {
    if (value < 1 || value > 4) return std::nullopt;
    return static_cast<InterfaceOrientation>(value);
}

bool isLandscape(InterfaceOrientation o) {
    return o == InterfaceOrientation::LandscapeRight || o == InterfaceOrientation::LandscapeLeft;
}

CGAffineTransform interfaceToSurface(InterfaceOrientation o, CGSize surface) {
    const Turn& t = turnOf(o);
    const float W = surface.width, H = surface.height;
    return CGAffineTransformMake(t.a, t.b, t.c, t.d, t.txW * W + t.txH * H, t.tyW * W + t.tyH * H);
}

CGAffineTransform surfaceToInterface(InterfaceOrientation o, CGSize surface) {
    return CGAffineTransformInvert(interfaceToSurface(o, surface));
}

}  // namespace host
