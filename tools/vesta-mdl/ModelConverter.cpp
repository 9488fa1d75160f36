#include "ModelConverter.h"

#include <assimp/Importer.hpp>
#include <assimp/config.h>
#include <assimp/postprocess.h>
#include <assimp/scene.h>
#include <cctype>

#include "SceneConversion.h"

namespace vesta::mdltool {
namespace {

constexpr unsigned kImportSteps = aiProcess_Triangulate | aiProcess_JoinIdenticalVertices |
                                  aiProcess_GenSmoothNormals | aiProcess_SortByPType |
                                  aiProcess_SplitLargeMeshes | aiProcess_LimitBoneWeights |
                                  aiProcess_ConvertToLeftHanded | aiProcess_ValidateDataStructure;

std::string counted(std::size_t count, const char* one, const char* many) {
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

}  // namespace

ConversionSummary ConvertModel(const std::string& path, CScene& scene,
                               const ConvertOptions& options) {
    auto report = [&](const std::string& line) {
        if (options.progress) {
            options.progress(line);
        }
    };
    Assimp::Importer importer;
    // Points and lines have no faces to draw; larger meshes are split so that
    // every face index fits in 16 bits.
    importer.SetPropertyInteger(AI_CONFIG_PP_SBP_REMOVE,
                                aiPrimitiveType_POINT | aiPrimitiveType_LINE);
    importer.SetPropertyInteger(AI_CONFIG_PP_SLM_VERTEX_LIMIT, static_cast<int>(kMaxMeshVertices));
    report("reading " + path);
    const aiScene* source = importer.ReadFile(path, kImportSteps);
    if (!source || !source->mRootNode) {
        const char* reason = importer.GetErrorString();
        throw ImportError("cannot read '" + path +
                          "': " + (reason && *reason ? reason : "assimp found no scene in it"));
    }
    report("converting " + counted(source->mNumMeshes, "mesh", "meshes") + ", " +
           counted(source->mNumMaterials, "material", "materials") + ", " +
           counted(source->mNumCameras, "camera", "cameras") + ", " +
           counted(source->mNumLights, "light", "lights") + ", " +
           counted(source->mNumAnimations, "animation", "animations"));
    ConversionSummary summary;
    SourceQuirks quirks;
    const std::size_t dot = path.rfind('.');
    std::string extension = dot == std::string::npos ? "" : path.substr(dot + 1);
    for (char& c : extension) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    quirks.gltfCameras = extension == "gltf" || extension == "glb";
    SceneConversion(*source, scene, summary, quirks, options).Run();
    return summary;
}

}  // namespace vesta::mdltool
