#pragma once
// The walk over an imported assimp scene that fills a CScene (see
// ModelConverter.h for the frames of reference).

#include <assimp/scene.h>
#include <set>
#include <string>
#include <unordered_map>
#include <vector>

#include "AnimationSampler.h"
#include "ModelConverter.h"
#include "scene/Scene.h"

namespace vesta::mdltool {

// Material i of the source becomes the scene material named names[i].
std::vector<std::string> ConvertMaterials(const aiScene& source, CScene& scene,
                                          ConversionSummary& summary,
                                          const ConvertOptions& options);

// Matrices of the file are row-major for row vectors (Direct3D's layout):
// assimp's column-vector matrix, transposed.
Matrix4 ToFileMatrix(const aiMatrix4x4& matrix);

// What an importer does its own way.
struct SourceQuirks {
    // assimp's glTF reader copies a camera node's translation into the
    // camera's position, which is meant to be relative to that node, and
    // gives yfov * aspect as the horizontal angle instead of half of it.
    bool gltfCameras = false;
};

class SceneConversion {
public:
    SceneConversion(const aiScene& source, CScene& scene, ConversionSummary& summary,
                    SourceQuirks quirks = {}, const ConvertOptions& options = {});
    void Run();

private:
    // What the children of a written node need to know of it.
    struct Written {
        std::string name;              // empty: the children stand at the top level
        bool moving = false;           // animated, or below an animated node
        bool drawnWithMatrix = false;  // a moving mesh or point, whose matrix the children take
    };

    void visit(const aiNode& node, const Written& parent);
    std::string uniqueName(const std::string& wanted);
    // Returns the name the first mesh got, empty when the node had none.
    std::string addMeshes(const aiNode& node, const Written& parent, bool moving);
    void addMesh(const aiMesh& mesh, const std::string& name, const aiNode& node,
                 const Written& parent, bool moving);
    void addSkin(const aiMesh& mesh, CMeshe& target, const aiMatrix4x4& meshWorld);
    void addPoint(const aiNode& node, const std::string& name, const Written& parent, bool moving);
    bool addCamera(const aiNode& node, const std::string& name, const Written& parent);
    bool addLight(const aiNode& node, const std::string& name, const Written& parent);
    // Position, rotation and scale tracks for a moving object.
    void addTracks(const std::string& name, const aiNode& node, const Written& parent);
    std::vector<unsigned> framesFor(bool changes) const;

    const aiScene& m_source;
    CScene& m_scene;
    ConversionSummary& m_summary;
    SourceQuirks m_quirks;
    const ConvertOptions& m_options;
    AnimationSampler m_sampler;
    std::vector<std::string> m_materialNames;
    bool m_lastMeshSkinned = false;  // of the first mesh that addMeshes wrote
    std::set<std::string> m_usedNames;
    std::unordered_map<std::string, const aiCamera*> m_cameras;
    std::unordered_map<std::string, const aiLight*> m_lights;
    std::unordered_map<const aiNode*, unsigned> m_treeOrder;  // bones are written parent first
};

}  // namespace vesta::mdltool
