#pragma once
// "MeshHunz": cel shading of one mesh, or of the whole scene, by the vertex
// shader "ToonShade.vso" and a ramp texture ("Texture") lit by the scene
// light "Light" (the camera when the scene has no such light).

#include <string>
#include <utility>
#include <vector>

#include "render/RenderModule.h"
#include "scene/Material.h"
#include "timeline/Modifier.h"

namespace vesta {

class CLight;
class CMeshe;

class CMeshHunz : public CModifier {
public:
    static constexpr const char* kShaderFile = "ToonShade.vso";

    CMeshHunz(CScene* scene, RenderModule* renderModule, void* extra);
    ~CMeshHunz() override;

    void Start() override;
    void Release() override;
    void Render() override {}
    const char* GetKindName() const override { return "MeshHunz"; }
    const char* GetClassName() const override { return "CMeshHunz"; }

private:
    void hook(CMeshe& mesh);
    // The meshes' callback: the shader and its constants for this mesh.
    void shade(CMeshe& mesh);
    // Gives the meshes their materials and draws back; idempotent.
    void restore();

    std::string m_object;
    bool m_fullScene = false;
    std::string m_texture;
    std::string m_light;

    CMaterial m_material;
    // Every hooked mesh with the material it had.
    std::vector<std::pair<CMeshe*, CMaterial*>> m_meshes;
    CLight* m_lightObject = nullptr;
    RenderModule::ShaderHandle m_shader = 0;
};

}  // namespace vesta
