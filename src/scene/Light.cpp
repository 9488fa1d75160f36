#include "scene/Light.h"

#include <algorithm>

namespace vesta {

void CLight::SetName(std::string name) {
    std::string lower = name;
    std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) {
        return static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    });
    halo = lower.find("halo") != std::string::npos;
    dynamic = lower.find("dyna") != std::string::npos;
    particleSource = lower.find("particlegensrc") != std::string::npos;
    particleDestination = lower.find("particlegendest") != std::string::npos;
    C3DObject::SetName(std::move(name));
}

}  // namespace vesta
