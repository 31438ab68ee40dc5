// Selector types of the engine's callbacks.
#pragma once

#include "engine/ccTypes.h"
#include "host/core/Selector.h"

using SEL_SCHEDULE = host::Selector<void(ccTime)>;

#define schedule_selector(M) cc_selector(M)
