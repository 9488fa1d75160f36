#pragma once
// The shadow a mesh casts from a light onto what the scene drew: the sides
// of the shadow volume are counted into the stencil buffer (those facing away
// from the viewer up, those facing it down), and the frame is darkened
// wherever the count is left above zero.

#include <string>

#include "timeline/Modifier.h"

namespace vesta {

class CLight;
class CMeshe;

class CStencilShadow : public CModifier {
public:
    // The darkness laid over the shadow, as the alpha of a black quad.
    static constexpr std::uint32_t kShadowAlpha = 0x80;
    // How far beyond the mesh the shadow reaches, in scene units.
    static constexpr float kShadowLength = 2000.0f;

    CStencilShadow(CScene* scene, RenderModule* renderModule, void* extra);

    // Raises "Cannot find object [%s]" and "Cannot find light [%s]".
    void Start() override;
    void Release() override {}
    const char* GetKindName() const override { return "StencilShadow"; }
    const char* GetClassName() const override { return "CStencilShadow"; }
    void Render() override;

private:
    void countSides();
    void darkenShadow();

    std::string m_lightName;
    std::string m_objectName;
    CMeshe* m_mesh = nullptr;
    CLight* m_light = nullptr;
};

}  // namespace vesta
