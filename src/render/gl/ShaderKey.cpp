#include "render/gl/ShaderKey.h"

#include <cstring>

namespace vesta::gl {

namespace {

bool readsTexture(const TextureStage& stage) {
    if (stage.environmentMapping) {
        return true;
    }
    auto colour = [](ColorArg arg) { return arg == ColorArg::Texture; };
    auto alpha = [](AlphaArg arg) { return arg == AlphaArg::Texture; };
    return colour(stage.colorArg1) || colour(stage.colorArg2) || alpha(stage.alphaArg1) ||
           alpha(stage.alphaArg2);
}

StageKey stageKey(const TextureStage& stage, const TextureBinding& texture) {
    StageKey key;
    key.colorOp = static_cast<std::uint8_t>(stage.colorOp);
    if (stage.colorOp == ColorOp::Disable) {
        return key;
    }
    key.colorArg1 = static_cast<std::uint8_t>(stage.colorArg1);
    key.colorArg2 = static_cast<std::uint8_t>(stage.colorArg2);
    key.alphaOp = static_cast<std::uint8_t>(stage.alphaOp);
    key.alphaArg1 = static_cast<std::uint8_t>(stage.alphaArg1);
    key.alphaArg2 = static_cast<std::uint8_t>(stage.alphaArg2);
    if (texture.name != 0 && readsTexture(stage)) {
        key.texture = texture.cube ? StageTexture::Cube : StageTexture::Flat;
        key.environmentMapping = stage.environmentMapping ? 1 : 0;
        key.texCoordIndex = stage.texCoordIndex < kTexCoordSetCount ? stage.texCoordIndex : 0;
    }
    return key;
}

void lightingKey(const PipelineState& state, ShaderKey& key) {
    key.lighting = 1;
    for (int i = 0; i < MaxLights; ++i) {
        const Light& light = state.lights[i];
        if (light.enabled) {
            key.lightMask |= static_cast<std::uint8_t>(1u << i);
            if (light.type == LightType::Spot) {
                key.spotMask |= static_cast<std::uint8_t>(1u << i);
            }
        }
    }
    // A black specular material adds nothing: no shader computes it.
    const ColorValue& shine = state.material.specular;
    const bool shiny = shine.r != 0.0f || shine.g != 0.0f || shine.b != 0.0f;
    key.specular = state.specular && shiny ? 1 : 0;
}

void fogKey(const PipelineState& state, ShaderKey& key) {
    key.fog = static_cast<FogKind>(static_cast<int>(state.fog.mode) + 1);
    key.fogTable = state.fog.table ? 1 : 0;
    if (state.fog.table) {
        key.fogDeviceDepth = IsAffineProjection(state.projection) ? 1 : 0;
    } else {
        key.fogRange = state.fog.range ? 1 : 0;
    }
}

}  // namespace

bool IsAffineProjection(const Matrix4& projection) {
    return projection.m[0][3] == 0.0f && projection.m[1][3] == 0.0f && projection.m[2][3] == 0.0f &&
           projection.m[3][3] == 1.0f;
}

bool OneDiffuseColour(const RenderVertex* vertices, int count) {
    for (int i = 1; i < count; ++i) {
        if (vertices[i].diffuse != vertices[0].diffuse) {
            return false;
        }
    }
    return count > 0;
}

void UseOneDiffuseColour(ShaderKey& key, const PipelineState& state) {
    if (key.lighting || key.layout != VertexLayout::Render || key.VertexProgram() != 0) {
        return;
    }
    if (IsAffineProjection(state.world) && IsAffineProjection(state.view) &&
        IsAffineProjection(state.projection)) {
        key.flatDiffuse = 1;
    }
}

ShaderKey MakeShaderKey(const PipelineState& state, const StageTextures& textures,
                        PrimitiveType primitive, VertexLayout layout) {
    ShaderKey key;
    key.layout = layout;
    // A disabled stage ends the chain: the stages after it do not count.
    for (int stage = 0; stage < MaxStages; ++stage) {
        key.stages[stage] = stageKey(state.stages[stage], textures[stage]);
        if (state.stages[stage].colorOp == ColorOp::Disable) {
            break;
        }
    }
    if (layout == VertexLayout::Pretransformed) {
        return key;  // position in pixels: no transform, light, fog or points
    }
    // The sprite layout has no normal: lit, it gets ambient and emissive
    // only, as Direct3D lights a vertex without one.
    if (state.lighting) {
        lightingKey(state, key);
    }
    if (state.fog.enabled) {
        fogKey(state, key);
    }
    if (state.alphaTest.enabled) {
        key.alphaTest = static_cast<std::uint8_t>(static_cast<int>(state.alphaTest.comparison) + 1);
    }
    key.flat = state.shade == ShadeMode::Flat ? 1 : 0;
    key.spriteCoordinates = primitive == PrimitiveType::PointList && state.points.sprites ? 1 : 0;
    key.pointScale = state.points.scale ? 1 : 0;
    return key;
}

std::uint32_t ShaderKey::VertexProgram() const {
    return static_cast<std::uint32_t>(vertexProgram[0]) |
           static_cast<std::uint32_t>(vertexProgram[1]) << 8 |
           static_cast<std::uint32_t>(vertexProgram[2]) << 16 |
           static_cast<std::uint32_t>(vertexProgram[3]) << 24;
}

void UseVertexProgram(ShaderKey& key, std::uint32_t handle, const PipelineState& state) {
    for (int i = 0; i < 4; ++i) {
        key.vertexProgram[i] = static_cast<std::uint8_t>(handle >> (8 * i));
    }
    // The shader lights, if at all; its second colour is added whenever
    // specular is on, as Direct3D adds oD1.
    key.lighting = 0;
    key.lightMask = 0;
    key.spotMask = 0;
    key.specular = state.specular ? 1 : 0;
    key.pointScale = 0;
    key.fogRange = 0;
    for (StageKey& stage : key.stages) {
        stage.environmentMapping = 0;
    }
}

std::size_t ShaderKeyHash::operator()(const ShaderKey& key) const {
    // FNV-1a over eight bytes at a time, the last word padded with zeros.
    constexpr std::size_t kWords = (sizeof(ShaderKey) + 7) / 8;
    std::uint64_t words[kWords] = {};
    std::memcpy(words, &key, sizeof key);
    std::uint64_t hash = 1469598103934665603ull;
    for (std::uint64_t word : words) {
        hash = (hash ^ word) * 1099511628211ull;
        hash ^= hash >> 29;
    }
    return static_cast<std::size_t>(hash);
}

}  // namespace vesta::gl
