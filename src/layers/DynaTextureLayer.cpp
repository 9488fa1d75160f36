#include "layers/DynaTextureLayer.h"

#include "log/Log.h"
#include "render/RenderModule.h"
#include "render/dynamic/DynaTexture.h"
#include "timeline/LayerFactory.h"

namespace vesta {

VESTA_REGISTER_LAYER(19, "DynaTexture", CDynaTexModifier);

namespace {

// The parameters every effect kind knows.
constexpr const char* kEffectParameters[] = {"Palette", "UpdateInterval"};

}  // namespace

CDynaTexModifier::CDynaTexModifier(RenderModule* context,
                                   const std::vector<CLayerOperation>* children)
    : CEnvelopeLayer(context, children) {
    AddTextParameter("TextureName", &m_textureName);
    int identifier = 0;
    for (const char* name : kEffectParameters) {
        AddAccessorParameter(
            identifier++,
            [this, name] {
                const auto given = m_given.find(name);
                return given == m_given.end() ? std::string() : given->second;
            },
            [this, name](std::string_view value) { return take(name, value); }, name);
    }
}

void CDynaTexModifier::Start() {
    CEnvelopeLayer::Start();
    m_started = true;
    handOver();
}

void CDynaTexModifier::Render() {
    handOver();
    CEnvelopeLayer::Render();
}

bool CDynaTexModifier::take(std::string_view name, std::string_view value) {
    m_given[std::string(name)] = value;
    m_waiting.push_back({std::string(name), std::string(value)});
    // At creation TextureName may still follow: Start hands the values over.
    if (m_started) {
        handOver();
    }
    return true;
}

void CDynaTexModifier::handOver() {
    if (m_waiting.empty()) {
        return;
    }
    Texture* texture = Context()->FindDynamicTexture(m_textureName);
    if (!texture || !texture->Dynamic()) {
        if (!m_warned) {
            LogPrintf("Warning : DynaTexture [%s] not found yet, its parameters wait for it.",
                      m_textureName.c_str());
            m_warned = true;
        }
        return;
    }
    for (const ScriptParameter& parameter : m_waiting) {
        texture->Dynamic()->Set(parameter.name, parameter.value);
    }
    m_waiting.clear();
}

}  // namespace vesta
