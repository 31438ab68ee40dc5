// The process-wide content scale factor: 1, or 2 on double-resolution
// screens. Node geometry is in points; drawing is in pixels = points × this.
#pragma once

extern float __ccContentScaleFactor;
