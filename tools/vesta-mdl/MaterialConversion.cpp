// Materials: assimp's colours, factors and textures onto the format's fields.

#include <assimp/material.h>
#include <cmath>

#include "SceneConversion.h"
#include "scene/Mdl4Format.h"

namespace vesta::mdltool {
namespace {

ColourValue colourOf(const aiMaterial& material, const char* key, unsigned type, unsigned index,
                     ColourValue fallback) {
    aiColor4D colour;
    if (material.Get(key, type, index, colour) == AI_SUCCESS) {
        return {colour.r, colour.g, colour.b, 1.0f};
    }
    return fallback;
}

float floatOf(const aiMaterial& material, const char* key, unsigned type, unsigned index,
              float fallback) {
    float value = 0.0f;
    return material.Get(key, type, index, value) == AI_SUCCESS ? value : fallback;
}

// The maps in the order the player reads them: the diffuse map first, the
// reflection (environment) map second, then the others.
struct MapRole {
    aiTextureType type;
    const char* name;
};
constexpr MapRole kMapRoles[] = {
    {aiTextureType_DIFFUSE, "Diffuse"},      {aiTextureType_REFLECTION, "Reflection"},
    {aiTextureType_OPACITY, "Opacity"},      {aiTextureType_SPECULAR, "Specular"},
    {aiTextureType_SHININESS, "Glossiness"}, {aiTextureType_EMISSIVE, "SelfIllumination"},
    {aiTextureType_HEIGHT, "Bump"},          {aiTextureType_NORMALS, "Bump"},
    {aiTextureType_AMBIENT, "Ambient"},      {aiTextureType_LIGHTMAP, "Lightmap"},
};

void addMaps(const aiMaterial& source, CMaterial& material, ConversionSummary& summary) {
    for (const MapRole& role : kMapRoles) {
        for (unsigned i = 0; i < source.GetTextureCount(role.type); ++i) {
            aiString path;
            if (source.GetTexture(role.type, i, &path) != AI_SUCCESS || path.length == 0) {
                continue;
            }
            if (path.data[0] == '*') {
                summary.warnings.push_back("material '" + material.name + "' has an embedded " +
                                           role.name + " texture (" + path.C_Str() +
                                           "), which a model file cannot carry");
                continue;
            }
            material.maps.push_back({role.name, path.C_Str()});
        }
    }
}

}  // namespace

std::vector<std::string> ConvertMaterials(const aiScene& source, CScene& scene,
                                          ConversionSummary& summary) {
    std::vector<std::string> names;
    for (unsigned m = 0; m < source.mNumMaterials; ++m) {
        const aiMaterial& from = *source.mMaterials[m];
        auto material = std::make_unique<CMaterial>();
        // Meshes find their material by exact name: names are made unique.
        std::string name = from.GetName().C_Str();
        if (name.empty()) {
            name = "Material" + std::to_string(m);
        }
        const std::string base = name;
        for (int suffix = 2; std::find(names.begin(), names.end(), name) != names.end(); ++suffix) {
            name = base + "#" + std::to_string(suffix);
        }
        material->name = name;
        names.push_back(name);

        material->colour1 = colourOf(from, AI_MATKEY_COLOR_DIFFUSE, {1, 1, 1, 1});
        material->colour2 = colourOf(from, AI_MATKEY_COLOR_EMISSIVE, {0, 0, 0, 1});
        material->colour3 = colourOf(from, AI_MATKEY_COLOR_SPECULAR, {0, 0, 0, 1});
        float opacity = floatOf(from, AI_MATKEY_OPACITY, 1.0f);
        if (aiColor4D base4; from.Get(AI_MATKEY_COLOR_DIFFUSE, base4) == AI_SUCCESS &&
                             base4.a < 1.0f && opacity >= 1.0f) {
            opacity = base4.a;  // glTF keeps opacity in the base colour's alpha
        }
        opacity = std::clamp(opacity, 0.0f, 1.0f);
        material->transparency = static_cast<std::uint8_t>(std::lround((1.0f - opacity) * 255.0f));
        material->opacity = 1.0f - material->transparency * mdl4::kTransparencyToAlpha;
        material->colour1.a = material->colour2.a = material->opacity;

        int wireframe = 0;
        from.Get(AI_MATKEY_ENABLE_WIREFRAME, wireframe);
        material->wireframe = wireframe != 0;
        int shading = 0;
        from.Get(AI_MATKEY_SHADING_MODEL, shading);
        material->flatShading = shading == aiShadingMode_Flat;
        material->specularLevel = floatOf(from, AI_MATKEY_SHININESS_STRENGTH, 0.0f);
        material->glossiness = floatOf(from, AI_MATKEY_SHININESS, 0.0f);
        addMaps(from, *material, summary);
        scene.materials.push_back(std::move(material));
    }
    return names;
}

}  // namespace vesta::mdltool
