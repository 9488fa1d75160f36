#pragma once
// A recorded state block as a value: the values its recording set and which
// fields they were. Applying it copies exactly those fields into a state, so
// a block that sets one stage's colour operation leaves that stage's other
// settings alone, as a device's state block does. Textures are handles: a
// block never keeps a raw device name alive or reaches a reused one.

#include <array>
#include <cstdint>

#include "render/RenderState.h"

namespace vesta {

// Fields that one setter of the interface writes together.
enum class GlobalField : std::uint8_t {
    TextureFactor,
    Lighting,
    Material,
    Ambient,
    FogEnable,
    FogColor,
    FogParameters,
    AlphaTest,
    AlphaFunc,
    BlendEnable,
    BlendSource,
    BlendDestination,
    DepthEnable,
    DepthWrite,
    DepthFunc,
    StencilEnable,
    StencilFunc,
    StencilReference,
    StencilMask,
    StencilWriteMask,
    StencilFail,
    StencilDepthFail,
    StencilPass,
    Cull,
    Shade,
    Fill,
    ColorWrite,
    PointSprites,
    PointSize,
    PointScale,
    World,
    View,
    Projection,
    Viewport,
    VertexShader,
    Count
};

enum class StageField : std::uint8_t {
    Texture,
    ColorOp,
    ColorArg1,
    ColorArg2,
    AlphaOp,
    AlphaArg1,
    AlphaArg2,
    Coordinates,  // coordinate index and environment mapping
    AddressU,
    AddressV,
    Filter,
    Count
};

enum class LightField : std::uint8_t { Value, Enable, Count };

class StateFieldSet {
public:
    void Mark(GlobalField field) { set(globalBit(field)); }
    void Mark(StageField field, int stage) { set(stageBit(field, stage)); }
    void Mark(LightField field, int light) { set(lightBit(field, light)); }
    void MarkConstant(int shaderRegister) { set(constantBit(shaderRegister)); }

    bool Has(GlobalField field) const { return test(globalBit(field)); }
    bool Has(StageField field, int stage) const { return test(stageBit(field, stage)); }
    bool Has(LightField field, int light) const { return test(lightBit(field, light)); }
    bool Empty() const;

    // Copies the marked fields of `from` into `to`.
    void Copy(const RenderState& from, RenderState& to) const;

private:
    static constexpr int kGlobal = static_cast<int>(GlobalField::Count);
    static constexpr int kStage = static_cast<int>(StageField::Count);
    static constexpr int kLight = static_cast<int>(LightField::Count);
    static constexpr int kStageBase = kGlobal;
    static constexpr int kLightBase = kStageBase + kStage * kMaxTextureStages;
    static constexpr int kConstantBase = kLightBase + kLight * kMaxLights;
    static constexpr int kBits = kConstantBase + kMaxShaderConstants;
    static constexpr int kWords = (kBits + 63) / 64;

    static int globalBit(GlobalField f) { return static_cast<int>(f); }
    static int stageBit(StageField f, int stage) {
        return kStageBase + stage * kStage + static_cast<int>(f);
    }
    static int lightBit(LightField f, int light) {
        return kLightBase + light * kLight + static_cast<int>(f);
    }
    static int constantBit(int shaderRegister) { return kConstantBase + shaderRegister; }
    void set(int bit) { m_words[bit / 64] |= std::uint64_t{1} << (bit % 64); }
    bool test(int bit) const { return (m_words[bit / 64] >> (bit % 64)) & 1; }
    static void copyBit(int bit, const RenderState& from, RenderState& to);

    std::array<std::uint64_t, kWords> m_words{};
};

struct RecordedStateBlock {
    RenderState values;
    StateFieldSet fields;
    bool staleTextureReported = false;
};

}  // namespace vesta
