#include "timeline/Layer.h"

#include "log/Log.h"

namespace vesta {

CLayer::CLayer(RenderModule* context, const std::vector<CLayerOperation>* children)
    : CParameterSet(true), m_context(context), m_children(children) {
    AddFloatParameter("StartTime", &m_clock.startTime);
    AddFloatParameter("LifeTime", &m_clock.lifeTime);
}

CLayer::~CLayer() {
    LogPrintf("Destroying Layer [%s]", m_name.c_str());
}

std::string CLayer::Describe() const {
    return "Near " + m_place + " - " + GetClassName() + " - " + m_name;
}

void CLayer::CreateChildren(const std::vector<CLayerOperation>&) {}

void CLayer::SetBirthTime(float time) {
    m_clock.SetBirthTime(time);
}

void CLayer::SetName(std::string name) {
    m_name = std::move(name);
    m_autoDestroy = false;
}

void CLayer::AddDeferredParameter(std::string name, std::string value) {
    m_deferred.push_back({std::move(name), std::move(value)});
}

void CLayer::Update() {
    if (m_clock.Advance()) {
        Render();
    }
}

bool CLayer::IsAlive() const {
    return m_clock.IsAlive();
}

}  // namespace vesta
