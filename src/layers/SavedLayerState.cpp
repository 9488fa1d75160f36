#include "layers/SavedLayerState.h"

namespace vesta {

SavedLayerState::SavedLayerState(RenderModule& module) : m_module(module) {
    // Only what every image layer relies on; lighting and fog stay as each
    // layer sets them.
    m_module.BeginStateBlock();
    m_module.SetDepthTest(true);
    m_module.SetDepthWrite(true);
    m_module.SetDepthFunc(Comparison::LessEqual);
    m_module.SetCullMode(CullMode::None);
    m_module.SetColorOp(0, ColorOp::Modulate);
    m_module.SetColorArg1(0, ColorArg::Texture);
    m_module.SetColorArg2(0, ColorArg::Diffuse);
    m_module.SetTextureFiltering(0, true);
    m_module.EndStateBlock(m_token, kStateBlockId);
}

SavedLayerState::~SavedLayerState() {
    m_module.ReleaseStateBlock(m_token);
}

}  // namespace vesta
