#include "timeline/Modifier.h"

#include <cstdio>
#include <cstdlib>

#include "log/Log.h"
#include "platform/Clock.h"
#include "script/TextNumbers.h"

namespace vesta {
namespace {

std::string formatSeconds(float value) {
    char text[64];
    std::snprintf(text, sizeof text, "%.2f", static_cast<double>(value));
    return text;
}

// "%f": a text without a number leaves the value as it was.
bool readSeconds(std::string_view text, float& value) {
    std::size_t consumed = 0;
    const float read = ParseFloatPrefix(text, &consumed);
    if (consumed != 0) {
        value = read;
    }
    return true;
}

}  // namespace

CModifier::CModifier(CScene* scene, RenderModule* renderModule)
    : CParameterSet(true), m_scene(scene), m_renderModule(renderModule) {
    AddAccessorParameter(
        kStartTimeIdentifier, [this] { return formatSeconds(m_startTime); },
        [this](std::string_view text) { return readSeconds(text, m_startTime); }, "StartTime");
    AddAccessorParameter(
        kLifeTimeIdentifier, [this] { return formatSeconds(m_lifeTime); },
        [this](std::string_view text) { return readSeconds(text, m_lifeTime); }, "LifeTime");
}

CModifier::~CModifier() {
    LogPrintf("Destroying Modifier [%s]", m_name.c_str());
}

std::string CModifier::Describe() const {
    return "Near " + m_place + " - " + GetClassName() + " - " + m_name;
}

void CModifier::SetBirthTime(float time) {
    m_birthTime = time == -1.0f ? static_cast<float>(TimeNow()) : time;
}

void CModifier::SetBirthTimeNow() {
    m_birthTime = static_cast<float>(TimeNow());
}

bool CModifier::TakeKindNameWhenUnnamed() {
    if (!m_name.empty()) {
        return false;
    }
    char name[256];
    std::snprintf(name, sizeof name, "%s [%X]", GetKindName(),
                  static_cast<unsigned>(std::rand() & 0x7FFF));
    m_name = name;
    return true;
}

void CModifier::SetName(std::string name) {
    m_name = std::move(name);
    m_autoDestroy = false;
}

void CModifier::step(bool pre) {
    m_age = static_cast<float>(TimeNow()) - m_birthTime;
    if (m_age < m_startTime) {
        return;
    }
    if (m_lifeTime != -1.0f && m_age > m_startTime + m_lifeTime) {
        return;
    }
    m_age = static_cast<float>(TimeNow()) - m_birthTime - m_startTime;
    if (pre) {
        PreRender();
    } else {
        Render();
    }
}

void CModifier::Update() {
    step(false);
}

void CModifier::PreUpdate() {
    step(true);
}

void CModifier::UpdateUnlessSkipped() {
    if (!m_skip) {
        step(false);
    }
}

bool CModifier::IsAlive() const {
    const float age = static_cast<float>(TimeNow()) - m_birthTime;
    return m_lifeTime == -1.0f || age <= m_startTime + m_lifeTime;
}

}  // namespace vesta
