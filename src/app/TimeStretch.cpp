#include "app/TimeStretch.h"

#include <array>

namespace vesta {

std::optional<float> TimeStretchSpeed(int functionKey) {
    // Index 0 is F1; 0 marks a key without a speed.
    static constexpr std::array<float, 12> kSpeeds = {1.0f,  2.0f, 3.0f,  4.0f, 10.0f, 0.5f,
                                                      0.25f, 0.1f, 0.05f, 0.0f, 0.0f,  10.0f};
    if (functionKey < 1 || functionKey > 12 || kSpeeds[functionKey - 1] == 0.0f) {
        return std::nullopt;
    }
    return kSpeeds[functionKey - 1];
}

}  // namespace vesta
