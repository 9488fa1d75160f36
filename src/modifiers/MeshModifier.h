#pragma once
// Shows or hides one mesh of the scene for as long as the modifier runs; the
// mesh keeps the last setting afterwards.

#include <string>

#include "timeline/Modifier.h"

namespace vesta {

class CMeshe;

class CMeshModifier : public CModifier {
public:
    CMeshModifier(CScene* scene, RenderModule* renderModule, void* extra);

    // A mesh the scene lacks is only logged: the modifier then does nothing.
    void Start() override;
    void Release() override {}
    const char* GetKindName() const override { return "MeshModifier"; }
    const char* GetClassName() const override { return "CMeshModifier"; }
    void Render() override {}
    void PreRender() override;

private:
    std::string m_objectName;
    int m_hide = 1;
    CMeshe* m_mesh = nullptr;
};

}  // namespace vesta
