// The phases of one finger's touch, from going down to coming up.
#pragma once

namespace host {

enum class TouchPhase { Began, Moved, Stationary, Ended, Cancelled };

// Whether the touch is over: its finger came up or it was cancelled.
inline bool isFinalPhase(TouchPhase p) { return p == TouchPhase::Ended || p == TouchPhase::Cancelled; }

}  // namespace host
