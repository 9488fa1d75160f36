#pragma once
// The render state as the OpenGL backend reads it, and what only GL knows:
// the texture names that the state's texture handles stand for at a draw.

#include <array>
#include <cstdint>

#include "render/RenderState.h"

namespace vesta::gl {

using PipelineState = RenderState;
using vesta::AlphaTestState;
using vesta::BlendState;
using vesta::ColorValue;
using vesta::ColorWriteMask;
using vesta::DepthState;
using vesta::FogState;
using vesta::LightType;
using vesta::PackColor;
using vesta::PointState;
using vesta::StencilState;
using vesta::TextureStage;
using vesta::UnpackColor;
using vesta::Viewport;
using Light = DeviceLight;
using Material = DeviceMaterial;
inline constexpr int MaxLights = kMaxLights;
inline constexpr int MaxStages = kMaxTextureStages;
inline constexpr float MaxPointSize = kMaxPointSize;

// A texture as GL knows it: the name and whether it is a cube map.
struct TextureBinding {
    std::uint32_t name = 0;  // 0: no texture on the stage
    bool cube = false;
    bool operator==(const TextureBinding&) const = default;
};

using StageTextures = std::array<TextureBinding, MaxStages>;

}  // namespace vesta::gl
