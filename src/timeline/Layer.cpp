#include "timeline/Layer.h"

#include "log/Log.h"
#include "platform/Clock.h"

namespace vesta {

CLayer::CLayer(RenderModule* context, const std::vector<CLayerOperation>* children)
    : CParameterSet(true), m_context(context), m_children(children) {
    AddFloatParameter("StartTime", &m_startTime);
    AddFloatParameter("LifeTime", &m_lifeTime);
}

CLayer::~CLayer() {
    LogPrintf("Destroying Layer [%s]", m_name.c_str());
}

std::string CLayer::Describe() const {
    return "Near " + m_place + " - " + GetClassName() + " - " + m_name;
}

void CLayer::CreateChildren(const std::vector<CLayerOperation>&) {}

void CLayer::SetBirthTime(float time) {
    m_birthTime = time == -1.0f ? static_cast<float>(TimeNow()) : time;
}

void CLayer::SetBirthTimeNow() {
    m_birthTime = static_cast<float>(TimeNow());
}

void CLayer::SetName(std::string name) {
    m_name = std::move(name);
    m_autoDestroy = false;
}

void CLayer::AddDeferredParameter(std::string name, std::string value) {
    m_deferred.push_back({std::move(name), std::move(value)});
}

void CLayer::Update() {
    m_age = static_cast<float>(TimeNow()) - m_birthTime;
    if (m_age < m_startTime) {
        return;
    }
    if (m_lifeTime != -1.0f && m_age > m_startTime + m_lifeTime) {
        return;
    }
    m_age = static_cast<float>(TimeNow()) - m_birthTime - m_startTime;
    Render();
}

bool CLayer::IsAlive() const {
    const float age = static_cast<float>(TimeNow()) - m_birthTime;
    return m_lifeTime == -1.0f || age <= m_startTime + m_lifeTime;
}

}  // namespace vesta
