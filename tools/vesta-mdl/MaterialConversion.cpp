// Materials: assimp's colours, factors and textures onto the format's fields.

#include <assimp/material.h>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <map>

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

std::string baseName(const std::string& path) {
    const std::size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// A texture the model carries becomes a file beside the output; returns
// the file's name, or empty (with a warning) when it cannot be written.
class EmbeddedTextures {
public:
    EmbeddedTextures(const aiScene& source, const ConvertOptions& options,
                     ConversionSummary& summary)
        : m_source(source), m_options(options), m_summary(summary) {}

    std::string Extract(const std::string& path, const aiTexture& texture) {
        const auto known = m_written.find(&texture);
        if (known != m_written.end()) {
            return known->second;
        }
        if (m_options.textureFolder.empty()) {
            m_summary.warnings.push_back("texture '" + path + "' is inside the model: left out");
            return m_written[&texture] = "";
        }
        if (texture.mHeight != 0) {
            // Raw texels would need a picture encoder; the formats that embed
            // textures store them as picture files.
            m_summary.warnings.push_back("texture '" + path +
                                         "' is stored as raw texels: left out");
            return m_written[&texture] = "";
        }
        std::string name = path.starts_with("*") ? std::string() : baseName(path);
        if (name.empty()) {
            std::string hint = texture.achFormatHint;
            name = m_options.textureStem + "_" + std::to_string(m_written.size()) + "." +
                   (hint.empty() ? "bin" : hint);
        }
        const std::filesystem::path file = std::filesystem::path(m_options.textureFolder) / name;
        if (std::filesystem::exists(file)) {
            // Most likely the same picture, which the author keeps beside the
            // model; it is not overwritten.
            m_summary.warnings.push_back("texture '" + file.string() + "' exists: kept as it is");
            return m_written[&texture] = name;
        }
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(texture.pcData),
                  static_cast<std::streamsize>(texture.mWidth));
        if (!out.flush()) {
            m_summary.warnings.push_back("cannot write texture '" + file.string() + "'");
            return m_written[&texture] = "";
        }
        m_summary.texturesWritten.push_back(file.string());
        return m_written[&texture] = name;
    }

    const aiTexture* Find(const std::string& path) const {
        return m_source.GetEmbeddedTexture(path.c_str());
    }

private:
    const aiScene& m_source;
    const ConvertOptions& m_options;
    ConversionSummary& m_summary;
    std::map<const aiTexture*, std::string> m_written;
};

void addMaps(const aiMaterial& source, CMaterial& material, EmbeddedTextures& embedded) {
    for (const MapRole& role : kMapRoles) {
        for (unsigned i = 0; i < source.GetTextureCount(role.type); ++i) {
            aiString stored;
            if (source.GetTexture(role.type, i, &stored) != AI_SUCCESS || stored.length == 0) {
                continue;
            }
            std::string path = stored.C_Str();
            if (const aiTexture* texture = embedded.Find(path)) {
                path = embedded.Extract(path, *texture);
                if (path.empty()) {
                    continue;
                }
            }
            material.maps.push_back({role.name, path});
        }
    }
}

}  // namespace

std::vector<std::string> ConvertMaterials(const aiScene& source, CScene& scene,
                                          ConversionSummary& summary,
                                          const ConvertOptions& options) {
    EmbeddedTextures embedded(source, options, summary);
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
        addMaps(from, *material, embedded);
        scene.materials.push_back(std::move(material));
    }
    return names;
}

}  // namespace vesta::mdltool
