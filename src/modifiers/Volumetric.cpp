#include "modifiers/Volumetric.h"

#include "log/Log.h"
#include "modifiers/SceneLookup.h"
#include "timeline/ModifierFactory.h"

namespace vesta {

VESTA_REGISTER_MODIFIER(6, "Volumetric", CVolumetric);

CVolumetric::CVolumetric(CScene* scene, RenderModule* renderModule, void*)
    : CSelfNamingModifier(scene, renderModule) {
    AddTextParameter("Object", &m_object);
}

void CVolumetric::Initialise() {
    m_mesh = FindMeshOrLog(*Scene(), m_object);
}

}  // namespace vesta
