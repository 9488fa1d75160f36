#include "modifiers/MeshModifier.h"

#include "log/Log.h"
#include "modifiers/SceneLookup.h"
#include "scene/Scene.h"
#include "timeline/ModifierFactory.h"

namespace vesta {

VESTA_REGISTER_MODIFIER(23, "MeshModifier", CMeshModifier);

CMeshModifier::CMeshModifier(CScene* scene, RenderModule* renderModule, void*)
    : CModifier(scene, renderModule) {
    AddTextParameter("Object", &m_objectName);
    AddIntParameter("Hide", &m_hide);
}

void CMeshModifier::Start() {
    TakeKindNameWhenUnnamed();
    m_mesh = FindMeshOrLog(*Scene(), m_objectName);
}

void CMeshModifier::PreRender() {
    if (!m_mesh) {
        return;
    }
    if (m_hide != 0) {
        m_mesh->flags |= MeshFlag::Hide;
    } else {
        m_mesh->flags &= ~MeshFlag::Hide;
    }
    LogPrintf("Hide [%s] = %d", m_objectName.c_str(), m_hide);
}

}  // namespace vesta
