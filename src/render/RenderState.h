#pragma once
// Everything the render module's interface sets, as plain values: Direct3D
// 8's fixed-function device state. The module holds exactly one RenderState;
// its setters write fields of it, state blocks copy fields of it, and every
// draw hands it whole to the backend, which translates it for its graphics
// interface. Defaults are Direct3D 8's device defaults; the module's
// Initialize then sets its own starting values.

#include <array>
#include <cstdint>

#include "render/Handle.h"
#include "render/RenderTypes.h"

namespace vesta {

inline constexpr int kMaxTextureStages = 8;
inline constexpr int kMaxLights = 8;
inline constexpr int kMaxShaderConstants = 96;  // vertex shader 1.1 constant registers
inline constexpr float kMaxPointSize = 64.0f;

struct ColorValue {
    float r = 0.0f;
    float g = 0.0f;
    float b = 0.0f;
    float a = 0.0f;
    bool operator==(const ColorValue&) const = default;
};

enum class TextureFilter : std::uint8_t { Point, Linear, Anisotropic };

// Where a stage's texture coordinates come from.
inline constexpr std::uint8_t kTexCoordSetCount = 2;  // the RenderVertex's two pairs

struct TextureStage {
    ColorOp colorOp = ColorOp::Disable;
    ColorArg colorArg1 = ColorArg::Texture;
    ColorArg colorArg2 = ColorArg::Current;
    AlphaOp alphaOp = AlphaOp::Disable;
    AlphaArg alphaArg1 = AlphaArg::Texture;
    AlphaArg alphaArg2 = AlphaArg::Current;
    TextureHandle texture;  // none by default
    // The vertex coordinate pair the stage reads (0 or 1), unless environment
    // mapping replaces it by the camera-space reflection vector (three
    // coordinates: a cube map samples all three, a 2D texture x and y).
    std::uint8_t texCoordIndex = 0;
    bool environmentMapping = false;
    TextureAddress addressU = TextureAddress::Wrap;
    TextureAddress addressV = TextureAddress::Wrap;
    TextureFilter filter = TextureFilter::Point;
    bool operator==(const TextureStage&) const = default;
};

enum class LightType : std::uint8_t { Point, Spot };

// A light as the device holds it, in world space. Theta and phi are the full
// inner and outer cone angles in radians.
struct DeviceLight {
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
    bool operator==(const DeviceLight& other) const;
};

// All zero until set, as the device starts.
struct DeviceMaterial {
    ColorValue diffuse;
    ColorValue ambient;
    ColorValue emissive;
    ColorValue specular;
    float power = 0.0f;
    bool operator==(const DeviceMaterial&) const = default;
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
    bool enabled = true;
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

// The device's point size: with scale on, size = viewport height * size *
// sqrt(1 / (a + b*d + c*d*d)) with d the eye distance; clamped to
// [minimum, kMaxPointSize]. Sprites take texture coordinates across the point.
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

struct VertexShaderState {
    std::uint32_t handle = 0;  // 0: the fixed-function pipeline
    std::array<std::array<float, 4>, kMaxShaderConstants> constants{};
    bool operator==(const VertexShaderState&) const = default;
};

inline TextureStage DefaultStage(int stage) {
    TextureStage value;
    if (stage == 0) {
        value.colorOp = ColorOp::Modulate;
        value.alphaOp = AlphaOp::SelectArg1;
    }
    value.texCoordIndex = static_cast<std::uint8_t>(stage < kTexCoordSetCount ? stage : 0);
    return value;
}

struct RenderState {
    std::array<TextureStage, kMaxTextureStages> stages{
        DefaultStage(0), DefaultStage(1), DefaultStage(2), DefaultStage(3),
        DefaultStage(4), DefaultStage(5), DefaultStage(6), DefaultStage(7)};
    std::uint32_t textureFactor = 0xFFFFFFFF;  // A8R8G8B8

    // Off: the vertex's diffuse colour is used as it is.
    bool lighting = false;
    std::array<DeviceLight, kMaxLights> lights{};
    DeviceMaterial material;
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

    VertexShaderState vertexShader;

    bool operator==(const RenderState&) const = default;
};

// A8R8G8B8 to 0..1 floats.
ColorValue UnpackColor(std::uint32_t argb);
// 0..1 floats to X8R8G8B8 as the module's colour setters build them: each
// component times 255, truncated to an integer, masked to 8 bits.
std::uint32_t PackColor(float r, float g, float b);

}  // namespace vesta
