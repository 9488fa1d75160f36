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
    m_mesh = FindMesh(*Scene(), m_object);
    if (!m_mesh) {
        LogPrintf("Unable to find [%s]", m_object.c_str());
    }
}

}  // namespace vesta
