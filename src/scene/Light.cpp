#include "scene/Light.h"

#include "scene/NameTags.h"
#include "script/TextNumbers.h"

namespace vesta {

void CLight::SetName(std::string name) {
    const std::string lower = LowerCase(name);
    halo = lower.find("halo") != std::string::npos;
    dynamic = lower.find("dyna") != std::string::npos;
    particleSource = lower.find("particlegensrc") != std::string::npos;
    particleDestination = lower.find("particlegendest") != std::string::npos;
    C3DObject::SetName(std::move(name));
}

void CLight::SetParameter(std::string_view name, std::string_view value) {
    if (name == "Specular") {
        // Up to four numbers separated by commas.
        float* const channels[] = {&specular.r, &specular.g, &specular.b, &specular.a};
        for (float* channel : channels) {
            std::size_t consumed = 0;
            const float number = ParseFloatPrefix(value, &consumed);
            if (consumed == 0) {
                break;
            }
            *channel = number;
            value.remove_prefix(consumed);
            if (value.empty() || value.front() != ',') {
                break;
            }
            value.remove_prefix(1);
        }
    } else if (name == "Attenuation0") {
        attenuation0 = ParseFloatPrefix(value);
    } else if (name == "Range") {
        range = ParseFloatPrefix(value);
    } else if (name == "MapFile") {
        mapFile.assign(value);
    } else if (name == "Strength") {
        strength = ParseFloatPrefix(value);
    } else if (name == "HaloStrength") {
        haloStrength = ParseFloatPrefix(value);
    }
    // Kept as given too, so that the user text is written back unchanged.
    C3DObject::SetParameter(name, value);
}

}  // namespace vesta
