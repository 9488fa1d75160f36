#pragma once
// What of the fixed-function state changes the generated program; every
// other value (matrices, colours, distances) reaches it as a uniform.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <type_traits>

#include "render/RenderModule.h"
#include "render/VertexShaderProgram.h"
#include "render/gl/PipelineState.h"

namespace vesta::gl {

using vesta::VertexLayout;

enum class StageTexture : std::uint8_t { None, Flat, Cube };
enum class FogKind : std::uint8_t { None, Linear, Exponential, ExponentialSquared };

struct StageKey {
    std::uint8_t colorOp = 0;  // ColorOp
    std::uint8_t colorArg1 = 0;
    std::uint8_t colorArg2 = 0;
    std::uint8_t alphaOp = 0;  // AlphaOp
    std::uint8_t alphaArg1 = 0;
    std::uint8_t alphaArg2 = 0;
    StageTexture texture = StageTexture::None;
    std::uint8_t environmentMapping = 0;
    std::uint8_t texCoordIndex = 0;  // the vertex's coordinate pair
    bool operator==(const StageKey&) const = default;
};

// Only bytes, so that it hashes and compares without padding.
struct ShaderKey {
    StageKey stages[MaxStages];
    VertexLayout layout = VertexLayout::Render;
    std::uint8_t lighting = 0;
    std::uint8_t lightMask = 0;  // bit i: light i is on
    std::uint8_t spotMask = 0;   // bit i: light i is a spot light
    std::uint8_t specular = 0;
    FogKind fog = FogKind::None;
    std::uint8_t fogTable = 0;
    std::uint8_t fogRange = 0;
    std::uint8_t fogDeviceDepth = 0;  // table fog on an affine projection
    std::uint8_t alphaTest = 0;       // 0 off, else Comparison + 1
    std::uint8_t flat = 0;
    // Every vertex has one diffuse colour and w stays 1: the colour is the
    // same interpolated or not, and is not interpolated.
    std::uint8_t flatDiffuse = 0;
    std::uint8_t spriteCoordinates = 0;  // texture coordinates across a point
    std::uint8_t pointScale = 0;
    // The vertex shader's handle, little-endian; all 0 for the fixed function.
    std::uint8_t vertexProgram[4] = {};
    bool operator==(const ShaderKey& other) const {
        return std::memcmp(this, &other, sizeof other) == 0;
    }
    std::uint32_t VertexProgram() const;
};
static_assert(std::has_unique_object_representations_v<ShaderKey>,
              "keys compare and hash as bytes: no padding");

// Whether a projection keeps w = 1 (its fourth column is 0, 0, 0, 1).
bool IsAffineProjection(const Matrix4& projection);

// Whether every one of `count` vertices has the first one's diffuse colour.
bool OneDiffuseColour(const RenderVertex* vertices, int count);

// Keys a draw whose vertices share one diffuse colour: without lighting or a
// vertex shader, and with w = 1 throughout, that colour reaches every pixel
// unchanged, and so is taken from one vertex (the same bits, less work for a
// rasteriser on the processors).
void UseOneDiffuseColour(ShaderKey& key, const PipelineState& state);

// `textures` tells which stages have a texture bound, and of which kind.
ShaderKey MakeShaderKey(const PipelineState& state, const StageTextures& textures,
                        PrimitiveType primitive, VertexLayout layout);

// Makes `key` run the vertex shader `handle` in place of the fixed
// function's transform, lighting, texture coordinates, vertex fog and point
// size; the stages, specular sum, pixel fog and alpha test stay as keyed.
void UseVertexProgram(ShaderKey& key, std::uint32_t handle, const PipelineState& state);

struct ShaderKeyHash {
    std::size_t operator()(const ShaderKey& key) const;
};

struct ShaderSources {
    std::string vertex;
    std::string fragment;
};

// The stages the pixel shader runs: those before the first disabled one.
// Coordinates of the others are neither passed nor computed.
int UsedStages(const ShaderKey& key);
// What passes from the vertex to the pixel shader; `direction` "out" or "in".
std::string VaryingDeclarations(const ShaderKey& key, const char* direction);

// GLSL 330 core sources that emulate the fixed function for `key`; with
// `program` (the key's vertex shader) the vertex stage runs it instead.
ShaderSources GenerateShaders(const ShaderKey& key, const VertexShaderProgram* program = nullptr);

}  // namespace vesta::gl
