#pragma once
// A material as the model file describes it; meshes name it and are bound
// to it after the load.

#include <cstdint>
#include <string>
#include <vector>

#include "scene/SceneMath.h"

namespace vesta {

class Texture;

struct MaterialMap {
    std::string name;  // the map's role, as the modelling package called it
    std::string path;  // the file as stored on the exporting machine
    bool operator==(const MaterialMap&) const = default;
};

class CMaterial {
public:
    std::string name;
    // colour1 is diffuse and ambient, colour2 emissive (both with alpha =
    // opacity), colour3 specular with alpha 1.
    ColourValue colour1;
    ColourValue colour2;
    ColourValue colour3;
    float opacity = 1.0f;  // 1 - transparency / 255
    bool wireframe = false;
    bool flatShading = false;
    float specularLevel = 0.0f;
    float glossiness = 0.0f;
    std::uint8_t transparency = 0;  // 0 opaque .. 255
    std::vector<MaterialMap> maps;  // in file order, neither part empty
    // One per map once loaded (null where a map failed); owned by the render module.
    std::vector<Texture*> textures;
};

}  // namespace vesta
