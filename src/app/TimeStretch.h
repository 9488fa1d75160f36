#pragma once

#include <optional>

namespace vesta {

// The presentation speed chosen by function key F`number` (1..12) while
// TIMESTRETCH is on; F10 and F11 choose nothing.
std::optional<float> TimeStretchSpeed(int functionKey);

}  // namespace vesta
