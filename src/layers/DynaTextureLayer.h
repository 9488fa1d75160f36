#pragma once
// "DynaTexture": draws nothing itself. It hands the effect parameters of its
// block (Palette, UpdateInterval) to the dynamic texture that TextureName
// names, at its creation and at every UPDATE. A value given while no such
// texture exists (its model may be loaded later) waits, and reaches the
// texture in the first frame of the layer that finds it.

#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "script/ScriptData.h"
#include "timeline/EnvelopeLayer.h"

namespace vesta {

class CDynaTexModifier : public CEnvelopeLayer {
public:
    CDynaTexModifier(RenderModule* context, const std::vector<CLayerOperation>* children);

    void Start() override;
    void Release() override {}
    const char* GetClassName() const override { return "CDynaTexModifier"; }
    void Render() override;

    // Effect parameters not yet handed over, in the order they were given.
    const std::vector<ScriptParameter>& Waiting() const { return m_waiting; }

private:
    bool take(std::string_view name, std::string_view value);
    void handOver();

    std::string m_textureName;
    std::vector<ScriptParameter> m_waiting;
    std::map<std::string, std::string, std::less<>> m_given;  // the last of each, for getters
    bool m_started = false;
    bool m_warned = false;
};

}  // namespace vesta
