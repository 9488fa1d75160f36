#pragma once
// The render states the image layers hand back after drawing: the device's
// starting states for depth, culling, stage 0 and filtering, recorded once
// per render module and shared by every layer through its id.

#include <cstdint>

#include "render/RenderModule.h"

namespace vesta {

class SavedLayerState {
public:
    static constexpr std::int32_t kStateBlockId = 0x32444C59;

    explicit SavedLayerState(RenderModule& module);
    ~SavedLayerState();
    SavedLayerState(const SavedLayerState&) = delete;
    SavedLayerState& operator=(const SavedLayerState&) = delete;

    void Apply() const { m_module.ApplyStateBlock(m_token); }

private:
    RenderModule& m_module;
    RenderModule::StateBlock m_token = 0;
};

}  // namespace vesta
