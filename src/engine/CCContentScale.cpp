#include "engine/CCContentScale.h"

float __ccContentScaleFactor = 1.0f;
