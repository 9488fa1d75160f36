#include "render/RenderState.h"

namespace vesta {
bool DeviceLight::operator==(const DeviceLight& other) const {
    return enabled == other.enabled && type == other.type && diffuse == other.diffuse &&
           specular == other.specular && ambient == other.ambient && position == other.position &&
           direction == other.direction && range == other.range && falloff == other.falloff &&
           attenuation0 == other.attenuation0 && attenuation1 == other.attenuation1 &&
           attenuation2 == other.attenuation2 && theta == other.theta && phi == other.phi;
}

ColorValue UnpackColor(std::uint32_t argb) {
    auto channel = [argb](int shift) {
        return static_cast<float>((argb >> shift) & 0xFF) / 255.0f;
    };
    return {channel(16), channel(8), channel(0), channel(24)};
}

std::uint32_t PackColor(float r, float g, float b) {
    const auto channel = [](float value) {
        return static_cast<std::uint32_t>(static_cast<std::int32_t>(value * 255.0f)) & 0xFF;
    };
    return channel(r) << 16 | channel(g) << 8 | channel(b);
}

}  // namespace vesta
