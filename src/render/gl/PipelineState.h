#pragma once
// Direct3D 8's fixed-function state as plain values. The render module keeps
// one PipelineState, changes fields as its operations are called, and hands
// it to GlPipeline with every draw; GlPipeline compares it with what GL was
// last given and sends only the difference. Defaults are Direct3D 8's
// device defaults, except where noted.

#include <array>
#include <cstdint>

#include "render/RenderTypes.h"

namespace vesta::gl {

struct ColorValue {
    float r = 0.0f;
    float g = 0.0f;
    float b = 0.0f;
    float a = 0.0f;
    bool operator==(const ColorValue&) const = default;
};

// A texture as GL knows it: the name and whether it is a cube map.
struct TextureBinding {
    std::uint32_t name = 0;  // 0: no texture on the stage
    bool cube = false;
    bool operator==(const TextureBinding&) const = default;
};

struct TextureStage {
    ColorOp colorOp = ColorOp::Disable;
    ColorArg colorArg1 = ColorArg::Texture;
    ColorArg colorArg2 = ColorArg::Current;
    AlphaOp alphaOp = AlphaOp::Disable;
    AlphaArg alphaArg1 = AlphaArg::Texture;
    AlphaArg alphaArg2 = AlphaArg::Current;
    TextureBinding texture;
    // Texture coordinates from the camera-space reflection vector (three
    // coordinates: a cube map samples all three, a 2D texture x and y).
    bool environmentMapping = false;
    TextureAddress addressU = TextureAddress::Wrap;
    TextureAddress addressV = TextureAddress::Wrap;
    bool filtering = false;  // bilinear when on, point when off
    bool operator==(const TextureStage&) const = default;
};

enum class LightType { Point, Spot };

// A light as Direct3D holds it, in world space. Theta and phi are the full
// inner and outer cone angles in radians.
struct Light {
    bool enabled = false;
    LightType type = LightType::Point;
    ColorValue diffuse{1, 1, 1, 0};
    ColorValue specular;
    ColorValue ambient;
    Vector3 position;
    Vector3 direction{0, 0, 1};
    float range = 1000.0f;
    float falloff = 1.0f;
    float attenuation0 = 1.0f;
    float attenuation1 = 0.0f;
    float attenuation2 = 0.0f;
    float theta = 0.0f;
    float phi = 0.0f;
    bool operator==(const Light& other) const;
};
inline constexpr int MaxLights = 8;

// All zero until set, as Direct3D's device starts.
struct Material {
    ColorValue diffuse;
    ColorValue ambient;
    ColorValue emissive;
    ColorValue specular;
    float power = 0.0f;
    bool operator==(const Material&) const = default;
};

struct FogState {
    bool enabled = false;
    FogMode mode = FogMode::Linear;
    // Per pixel ("table" fog) instead of per vertex. Table fog measures the
    // eye distance w, or the device depth 0..1 when the projection is affine.
    bool table = false;
    // Vertex fog by the distance to the eye instead of the view-space z.
    bool range = false;
    float start = 0.0f;
    float end = 1.0f;
    float density = 1.0f;
    ColorValue color;  // alpha unused
    bool operator==(const FogState&) const = default;
};

struct BlendState {
    bool enabled = false;
    BlendFactor source = BlendFactor::One;
    BlendFactor destination = BlendFactor::Zero;
    bool operator==(const BlendState&) const = default;
};

struct DepthState {
    bool enabled = true;  // as the module's Initialize leaves it
    bool write = true;
    Comparison comparison = Comparison::LessEqual;
    bool operator==(const DepthState&) const = default;
};

struct StencilState {
    bool enabled = false;
    Comparison comparison = Comparison::Always;
    std::uint32_t reference = 0;
    std::uint32_t mask = 0xFFFFFFFF;
    std::uint32_t writeMask = 0xFFFFFFFF;
    StencilOp fail = StencilOp::Keep;
    StencilOp depthFail = StencilOp::Keep;
    StencilOp pass = StencilOp::Keep;
    bool operator==(const StencilState&) const = default;
};

struct AlphaTestState {
    bool enabled = false;
    Comparison comparison = Comparison::Always;
    std::uint32_t reference = 0;  // 0..255
    bool operator==(const AlphaTestState&) const = default;
};

// Direct3D's point size: with scale on, size = viewport height * size *
// sqrt(1 / (a + b*d + c*d*d)) with d the eye distance; clamped to
// [minimum, MaxPointSize]. Sprites take texture coordinates across the point.
struct PointState {
    bool sprites = false;
    bool scale = false;
    float size = 1.0f;
    float minimum = 0.0f;
    float scaleA = 1.0f;
    float scaleB = 0.0f;
    float scaleC = 0.0f;
    bool operator==(const PointState&) const = default;
};
inline constexpr float MaxPointSize = 64.0f;

struct ColorWriteMask {
    bool red = true;
    bool green = true;
    bool blue = true;
    bool alpha = true;
    bool operator==(const ColorWriteMask&) const = default;
};

// In pixels of the render target, y from the top row.
struct Viewport {
    std::int32_t x = 0;
    std::int32_t y = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
    float minZ = 0.0f;
    float maxZ = 1.0f;
    bool operator==(const Viewport&) const = default;
};

inline TextureStage DefaultStage(int stage) {
    TextureStage value;
    if (stage == 0) {
        value.colorOp = ColorOp::Modulate;
        value.alphaOp = AlphaOp::SelectArg1;
    }
    return value;
}

struct PipelineState {
    std::array<TextureStage, 2> stages{DefaultStage(0), DefaultStage(1)};
    std::uint32_t textureFactor = 0xFFFFFFFF;  // A8R8G8B8

    // Off: the vertex's diffuse colour is used as it is.
    bool lighting = false;
    std::array<Light, MaxLights> lights{};
    Material material;
    ColorValue ambient;  // global ambient, alpha unused
    bool specular = false;

    FogState fog;
    AlphaTestState alphaTest;
    BlendState blend;
    DepthState depth;
    StencilState stencil;
    CullMode cull = CullMode::CounterClockwise;
    ShadeMode shade = ShadeMode::Gouraud;
    FillMode fill = FillMode::Solid;
    ColorWriteMask colorWrite;
    PointState points;

    Matrix4 world;
    Matrix4 view;
    Matrix4 projection;
    Viewport viewport;

    bool operator==(const PipelineState&) const = default;
};

// A8R8G8B8 to 0..1 floats.
ColorValue UnpackColor(std::uint32_t argb);
// 0..1 floats to X8R8G8B8 as the module's colour setters build them: each
// component times 255, truncated.
std::uint32_t PackColor(float r, float g, float b);

}  // namespace vesta::gl
