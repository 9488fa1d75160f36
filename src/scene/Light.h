#pragma once
// A point or spot light, with the named parameters its user text may set.

#include <cstdint>
#include <string>

#include "scene/ObjectAnim.h"
#include "scene/SceneObject.h"

namespace vesta {

class Texture;

class CLight : public C3DObject {
public:
    // The file's attenuation value a gives the constant attenuation 1 - a * this.
    static constexpr float kAttenuationFactor = 0.02f;

    CLight() : C3DObject("CLight") {}

    // Also sets the marks that the words in the lower-cased name ask for.
    void SetName(std::string name) override;
    // The light's own parameters by name; other names are kept as given.
    void SetParameter(std::string_view name, std::string_view value) override;

    bool IsSpot() const { return spotFlag != 0; }

    std::uint32_t spotFlag = 0;
    Vector4 targetPosition;
    Vector3 colour;
    float innerCone = 0.0f;               // radians
    float outerCone = 0.0f;               // radians
    C3DObjectAnim* targetAnim = nullptr;  // moves the target; bound after the load

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

    // The halo's fade between hidden (0) and visible (1), and the change it
    // is fading from.
    Texture* haloTexture = nullptr;
    bool haloVisible = false;
    float haloFadeStart = 0.0f;
    double haloChangeTime = 0.0;
};

}  // namespace vesta
