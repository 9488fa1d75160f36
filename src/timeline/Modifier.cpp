#include "timeline/Modifier.h"

#include <cstdio>
#include <cstdlib>

#include "log/Log.h"
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
        kStartTimeIdentifier, [this] { return formatSeconds(m_clock.startTime); },
        [this](std::string_view text) { return readSeconds(text, m_clock.startTime); }, "StartTime",
        ParameterType::Float);
    AddAccessorParameter(
        kLifeTimeIdentifier, [this] { return formatSeconds(m_clock.lifeTime); },
        [this](std::string_view text) { return readSeconds(text, m_clock.lifeTime); }, "LifeTime",
        ParameterType::Float);
}

CModifier::~CModifier() {
    LogPrintf("Destroying Modifier [%s]", m_name.c_str());
}

std::string CModifier::Describe() const {
    return "Near " + m_place + " - " + GetClassName() + " - " + m_name;
}

void CModifier::SetBirthTime(float time) {
    m_clock.SetBirthTime(time);
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
    if (!m_clock.Advance()) {
        return;
    }
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
    return m_clock.IsAlive();
}

}  // namespace vesta
