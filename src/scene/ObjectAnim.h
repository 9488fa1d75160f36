#pragma once
// The keyframe tracks of one animated object, as the model file stores them.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace vesta {

// Position, scale and colour keys use three values, rotation keys six (the
// quaternion x, y, z, w and two values the exporter adds), the one-value
// tracks one; unused values stay 0.
struct AnimKey {
    std::array<float, 6> values{};
    std::uint32_t frame = 0;
    bool operator==(const AnimKey&) const = default;
};

using AnimTrack = std::vector<AnimKey>;

class C3DObjectAnim {
public:
    std::string name;
    AnimTrack position;
    AnimTrack rotation;
    AnimTrack scale;
    AnimTrack roll;
    AnimTrack fov;        // radians
    AnimTrack colour;     // light colour r, g, b
    AnimTrack outerCone;  // radians
    AnimTrack innerCone;  // radians
};

}  // namespace vesta
