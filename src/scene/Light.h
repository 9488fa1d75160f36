#pragma once
// A point or spot light, with the named parameters its user text may set.

#include <cstdint>
#include <string>

#include "scene/SceneObject.h"

namespace vesta {

class CLight : public C3DObject {
public:
    // The file's attenuation value a gives the constant attenuation 1 - a * this.
    static constexpr float kAttenuationFactor = 0.02f;

    CLight() : C3DObject("CLight") {}

    // Also sets the marks that the words in the lower-cased name ask for.
    void SetName(std::string name) override;

    bool IsSpot() const { return spotFlag != 0; }

    std::uint32_t spotFlag = 0;
    Vector4 targetPosition;
    Vector3 colour;
    float innerCone = 0.0f;  // radians
    float outerCone = 0.0f;  // radians

    // Parameters: "Specular", "Attenuation0", "Range", "MapFile", "Strength",
    // "HaloStrength". The load overwrites Strength with the file's value.
    ColourValue specular{1.0f, 1.0f, 1.0f, 1.0f};
    float attenuation0 = 1.0f;
    float attenuation1 = 0.0f;
    float attenuation2 = 0.0f;
    float range = 1.8446743e19f;
    std::string mapFile;
    float strength = 20.0f;
    float haloStrength = 10.0f;

    bool halo = false;                 // "halo"
    bool dynamic = false;              // "dyna"
    bool particleSource = false;       // "particlegensrc"
    bool particleDestination = false;  // "particlegendest"
};

}  // namespace vesta
