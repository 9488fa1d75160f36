#pragma once
// "Volumetric": names a mesh of the scene and keeps it; it draws nothing
// and does no work per frame.

#include <string>

#include "modifiers/SelfNamingModifier.h"

namespace vesta {

class CMeshe;

class CVolumetric : public CSelfNamingModifier {
public:
    CVolumetric(CScene* scene, RenderModule* renderModule, void* extra);

    void Release() override { m_mesh = nullptr; }
    const char* GetKindName() const override { return "Volumetric"; }
    const char* GetClassName() const override { return "CVolumetric"; }
    void Render() override {}

    CMeshe* Mesh() const { return m_mesh; }

protected:
    // Finds "Object"; a name the scene lacks is only logged.
    void Initialise() override;

private:
    std::string m_object;
    CMeshe* m_mesh = nullptr;
};

}  // namespace vesta
