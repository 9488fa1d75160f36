#include "render/StateBlock.h"

#include <bit>

namespace vesta {
namespace {

void copyGlobal(GlobalField field, const RenderState& from, RenderState& to) {
    switch (field) {
    case GlobalField::TextureFactor:
        to.textureFactor = from.textureFactor;
        break;
    case GlobalField::Lighting:
        to.lighting = from.lighting;
        to.specular = from.specular;
        break;
    case GlobalField::Material:
        to.material = from.material;
        break;
    case GlobalField::Ambient:
        to.ambient = from.ambient;
        break;
    case GlobalField::FogEnable:
        to.fog.enabled = from.fog.enabled;
        break;
    case GlobalField::FogColor:
        to.fog.color = from.fog.color;
        break;
    case GlobalField::FogParameters: {
        const bool enabled = to.fog.enabled;
        const ColorValue color = to.fog.color;
        to.fog = from.fog;
        to.fog.enabled = enabled;
        to.fog.color = color;
        break;
    }
    case GlobalField::AlphaTest:
        to.alphaTest.enabled = from.alphaTest.enabled;
        to.alphaTest.reference = from.alphaTest.reference;
        break;
    case GlobalField::AlphaFunc:
        to.alphaTest.comparison = from.alphaTest.comparison;
        break;
    case GlobalField::BlendEnable:
        to.blend.enabled = from.blend.enabled;
        break;
    case GlobalField::BlendSource:
        to.blend.source = from.blend.source;
        break;
    case GlobalField::BlendDestination:
        to.blend.destination = from.blend.destination;
        break;
    case GlobalField::DepthEnable:
        to.depth.enabled = from.depth.enabled;
        break;
    case GlobalField::DepthWrite:
        to.depth.write = from.depth.write;
        break;
    case GlobalField::DepthFunc:
        to.depth.comparison = from.depth.comparison;
        break;
    case GlobalField::StencilEnable:
        to.stencil.enabled = from.stencil.enabled;
        break;
    case GlobalField::StencilFunc:
        to.stencil.comparison = from.stencil.comparison;
        break;
    case GlobalField::StencilReference:
        to.stencil.reference = from.stencil.reference;
        break;
    case GlobalField::StencilMask:
        to.stencil.mask = from.stencil.mask;
        break;
    case GlobalField::StencilWriteMask:
        to.stencil.writeMask = from.stencil.writeMask;
        break;
    case GlobalField::StencilFail:
        to.stencil.fail = from.stencil.fail;
        break;
    case GlobalField::StencilDepthFail:
        to.stencil.depthFail = from.stencil.depthFail;
        break;
    case GlobalField::StencilPass:
        to.stencil.pass = from.stencil.pass;
        break;
    case GlobalField::Cull:
        to.cull = from.cull;
        break;
    case GlobalField::Shade:
        to.shade = from.shade;
        break;
    case GlobalField::Fill:
        to.fill = from.fill;
        break;
    case GlobalField::ColorWrite:
        to.colorWrite = from.colorWrite;
        break;
    case GlobalField::PointSprites:
        to.points.sprites = from.points.sprites;
        to.points.scale = from.points.scale;
        break;
    case GlobalField::PointSize:
        to.points.size = from.points.size;
        to.points.minimum = from.points.minimum;
        break;
    case GlobalField::PointScale:
        to.points.scaleA = from.points.scaleA;
        to.points.scaleB = from.points.scaleB;
        to.points.scaleC = from.points.scaleC;
        break;
    case GlobalField::World:
        to.world = from.world;
        break;
    case GlobalField::View:
        to.view = from.view;
        break;
    case GlobalField::Projection:
        to.projection = from.projection;
        break;
    case GlobalField::Viewport:
        to.viewport = from.viewport;
        break;
    case GlobalField::VertexShader:
        to.vertexShader.handle = from.vertexShader.handle;
        break;
    case GlobalField::Count:
        break;
    }
}

void copyStage(StageField field, const TextureStage& from, TextureStage& to) {
    switch (field) {
    case StageField::Texture:
        to.texture = from.texture;
        break;
    case StageField::ColorOp:
        to.colorOp = from.colorOp;
        break;
    case StageField::ColorArg1:
        to.colorArg1 = from.colorArg1;
        break;
    case StageField::ColorArg2:
        to.colorArg2 = from.colorArg2;
        break;
    case StageField::AlphaOp:
        to.alphaOp = from.alphaOp;
        break;
    case StageField::AlphaArg1:
        to.alphaArg1 = from.alphaArg1;
        break;
    case StageField::AlphaArg2:
        to.alphaArg2 = from.alphaArg2;
        break;
    case StageField::Coordinates:
        to.texCoordIndex = from.texCoordIndex;
        to.environmentMapping = from.environmentMapping;
        break;
    case StageField::AddressU:
        to.addressU = from.addressU;
        break;
    case StageField::AddressV:
        to.addressV = from.addressV;
        break;
    case StageField::Filter:
        to.filter = from.filter;
        break;
    case StageField::Count:
        break;
    }
}

}  // namespace

bool StateFieldSet::Empty() const {
    for (std::uint64_t word : m_words) {
        if (word) {
            return false;
        }
    }
    return true;
}

void StateFieldSet::copyBit(int bit, const RenderState& from, RenderState& to) {
    if (bit < kStageBase) {
        copyGlobal(static_cast<GlobalField>(bit), from, to);
    } else if (bit < kLightBase) {
        const int stage = (bit - kStageBase) / kStage;
        copyStage(static_cast<StageField>((bit - kStageBase) % kStage), from.stages[stage],
                  to.stages[stage]);
    } else if (bit < kConstantBase) {
        const int light = (bit - kLightBase) / kLight;
        DeviceLight& target = to.lights[light];
        if (static_cast<LightField>((bit - kLightBase) % kLight) == LightField::Enable) {
            target.enabled = from.lights[light].enabled;
        } else {
            const bool enabled = target.enabled;
            target = from.lights[light];
            target.enabled = enabled;
        }
    } else {
        const int shaderRegister = bit - kConstantBase;
        to.vertexShader.constants[shaderRegister] = from.vertexShader.constants[shaderRegister];
    }
}

void StateFieldSet::Copy(const RenderState& from, RenderState& to) const {
    for (int word = 0; word < kWords; ++word) {
        for (std::uint64_t bits = m_words[word]; bits != 0; bits &= bits - 1) {
            copyBit(word * 64 + std::countr_zero(bits), from, to);
        }
    }
}

}  // namespace vesta
