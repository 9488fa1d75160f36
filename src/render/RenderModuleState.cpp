// The interface's state setters: each writes its fields of the one render
// state, or of the state block being recorded.

#include <cmath>

#include "log/Log.h"
#include "render/RenderModule.h"

namespace vesta {
namespace {

ColorValue rgb(const ColorArgb& color, float alpha, float scale = 1.0f) {
    return {color.r * scale, color.g * scale, color.b * scale, alpha};
}

}  // namespace

RenderState& RenderModule::edit(GlobalField field) {
    if (m_recordingBlock) {
        m_recording.fields.Mark(field);
        return m_recording.values;
    }
    return m_state;
}

TextureStage* RenderModule::editStage(int stage, StageField field) {
    if (stage < 0 || stage >= kMaxTextureStages) {
        return nullptr;
    }
    if (m_recordingBlock) {
        m_recording.fields.Mark(field, stage);
        return &m_recording.values.stages[stage];
    }
    return &m_state.stages[stage];
}

DeviceLight* RenderModule::editLight(int index, LightField field) {
    if (index < 0 || index >= kMaxLights) {
        return nullptr;
    }
    if (m_recordingBlock) {
        m_recording.fields.Mark(field, index);
        return &m_recording.values.lights[index];
    }
    return &m_state.lights[index];
}

// --- texture stages -----------------------------------------------------------

void RenderModule::SetTexture(int stage, Texture* texture) {
    if (TextureStage* s = editStage(stage, StageField::Texture)) {
        s->texture = texture ? texture->Handle() : TextureHandle{};
    }
}

void RenderModule::SetColorOp(int stage, ColorOp op) {
    if (TextureStage* s = editStage(stage, StageField::ColorOp)) {
        s->colorOp = op;
    }
}

void RenderModule::SetColorArg1(int stage, ColorArg arg) {
    if (TextureStage* s = editStage(stage, StageField::ColorArg1)) {
        s->colorArg1 = arg;
    }
}

void RenderModule::SetColorArg2(int stage, ColorArg arg) {
    if (TextureStage* s = editStage(stage, StageField::ColorArg2)) {
        s->colorArg2 = arg;
    }
}

void RenderModule::SetAlphaOp(int stage, AlphaOp op) {
    if (TextureStage* s = editStage(stage, StageField::AlphaOp)) {
        s->alphaOp = op;
    }
}

void RenderModule::SetAlphaArg1(int stage, AlphaArg arg) {
    if (TextureStage* s = editStage(stage, StageField::AlphaArg1)) {
        s->alphaArg1 = arg;
    }
}

void RenderModule::SetAlphaArg2(int stage, AlphaArg arg) {
    if (TextureStage* s = editStage(stage, StageField::AlphaArg2)) {
        s->alphaArg2 = arg;
    }
}

void RenderModule::SetEnvironmentMapping(int stage, bool enabled) {
    TextureStage* s = editStage(stage, StageField::Coordinates);
    if (!s) {
        return;
    }
    editStage(stage, StageField::AddressU);
    editStage(stage, StageField::AddressV);
    s->environmentMapping = enabled;
    s->texCoordIndex = 0;
    s->addressU = s->addressV = enabled ? TextureAddress::Mirror : TextureAddress::Wrap;
}

void RenderModule::SetTextureCoordIndex(int stage, int index) {
    if (TextureStage* s = editStage(stage, StageField::Coordinates)) {
        s->environmentMapping = false;
        s->texCoordIndex = static_cast<std::uint8_t>(index == 1 ? 1 : 0);
    }
}

void RenderModule::SetTextureFiltering(int stage, bool enabled) {
    if (TextureStage* s = editStage(stage, StageField::Filter)) {
        const bool smooth = enabled && m_hardware;
        s->filter = !smooth         ? TextureFilter::Point
                    : m_anisotropic ? TextureFilter::Anisotropic
                                    : TextureFilter::Linear;
    }
}

void RenderModule::SetTextureAddress(int stage, int axis, TextureAddress mode) {
    if (axis == 0) {
        if (TextureStage* s = editStage(stage, StageField::AddressU)) {
            s->addressU = mode;
        }
    } else if (axis == 1) {
        if (TextureStage* s = editStage(stage, StageField::AddressV)) {
            s->addressV = mode;
        }
    }
}

// --- stencil ------------------------------------------------------------------

void RenderModule::SetStencilEnable(bool enabled) {
    edit(GlobalField::StencilEnable).stencil.enabled = enabled;
}
void RenderModule::SetStencilFunc(Comparison func) {
    edit(GlobalField::StencilFunc).stencil.comparison = func;
}
void RenderModule::SetStencilZFailOp(StencilOp op) {
    edit(GlobalField::StencilDepthFail).stencil.depthFail = op;
}
void RenderModule::SetStencilFailOp(StencilOp op) {
    edit(GlobalField::StencilFail).stencil.fail = op;
}
void RenderModule::SetStencilPassOp(StencilOp op) {
    edit(GlobalField::StencilPass).stencil.pass = op;
}
void RenderModule::SetStencilRef(std::uint32_t value) {
    edit(GlobalField::StencilReference).stencil.reference = value;
}
void RenderModule::SetStencilMask(std::uint32_t value) {
    edit(GlobalField::StencilMask).stencil.mask = value;
}
void RenderModule::SetStencilWriteMask(std::uint32_t value) {
    edit(GlobalField::StencilWriteMask).stencil.writeMask = value;
}

// --- blending, depth, alpha test ---------------------------------------------------

void RenderModule::SetSrcBlend(BlendFactor factor) {
    edit(GlobalField::BlendSource).blend.source = factor;
}
void RenderModule::SetDestBlend(BlendFactor factor) {
    edit(GlobalField::BlendDestination).blend.destination = factor;
}
void RenderModule::SetAlphaBlend(bool enabled) {
    edit(GlobalField::BlendEnable).blend.enabled = enabled;
}
void RenderModule::SetTextureFactor(std::uint32_t argb) {
    edit(GlobalField::TextureFactor).textureFactor = argb;
}
void RenderModule::SetDepthTest(bool enabled) {
    edit(GlobalField::DepthEnable).depth.enabled = enabled;
}
void RenderModule::SetDepthWrite(bool enabled) {
    edit(GlobalField::DepthWrite).depth.write = enabled;
}
void RenderModule::SetDepthFunc(Comparison func) {
    edit(GlobalField::DepthFunc).depth.comparison = func;
}
void RenderModule::SetAlphaTest(bool enabled, std::uint32_t reference) {
    AlphaTestState& test = edit(GlobalField::AlphaTest).alphaTest;
    test.enabled = enabled;
    test.reference = reference;
}
void RenderModule::SetAlphaFunc(Comparison func) {
    edit(GlobalField::AlphaFunc).alphaTest.comparison = func;
}
void RenderModule::SetColorWriteMask(bool red, bool green, bool blue, bool alpha) {
    edit(GlobalField::ColorWrite).colorWrite = {red, green, blue, alpha};
}

// --- rasteriser, lighting, points, fog -------------------------------------------------

void RenderModule::SetCullMode(CullMode mode) {
    edit(GlobalField::Cull).cull = mode;
}
void RenderModule::SetShadeMode(ShadeMode mode) {
    edit(GlobalField::Shade).shade = mode;
}
void RenderModule::SetFillMode(FillMode mode) {
    edit(GlobalField::Fill).fill = mode;
}

void RenderModule::SetLighting(bool enabled) {
    RenderState& state = edit(GlobalField::Lighting);
    state.lighting = enabled;
    state.specular = enabled;
}

void RenderModule::SetMaterial(const RenderMaterial& m) {
    DeviceMaterial& material = edit(GlobalField::Material).material;
    material.diffuse = rgb(m.diffuse, m.diffuse.a);
    material.ambient = rgb(m.ambient, 0.0f);
    material.emissive = rgb(m.emissive, 0.0f);
    material.specular = rgb(m.specular, 0.0f, m.specularLevel);
    material.power = m.power;
}

void RenderModule::SetPointSprites(bool enabled) {
    PointState& points = edit(GlobalField::PointSprites).points;
    points.sprites = enabled;
    points.scale = enabled;
}

void RenderModule::SetPointSize(float size, float minimumSize) {
    PointState& points = edit(GlobalField::PointSize).points;
    points.size = size;
    points.minimum = minimumSize;
}

void RenderModule::SetPointScale(float a, float b, float c) {
    PointState& points = edit(GlobalField::PointScale).points;
    points.scaleA = a;
    points.scaleB = b;
    points.scaleC = c;
}

void RenderModule::SetFogEnable(bool enabled) {
    edit(GlobalField::FogEnable).fog.enabled = enabled;
}

void RenderModule::SetFogColor(float red, float green, float blue) {
    edit(GlobalField::FogColor).fog.color = UnpackColor(PackColor(red, green, blue));
}

void RenderModule::SetFog(FogMode mode, float start, float end, float density) {
    FogState& fog = edit(GlobalField::FogParameters).fog;
    fog.mode = mode;
    fog.start = start;
    fog.end = end;
    fog.density = density;
    // Per-pixel fog is always there: the table path, with range fog on.
    fog.table = true;
    fog.range = true;
}

// --- lights -------------------------------------------------------------------------

void RenderModule::SetLight(int index, const RenderLight& light) {
    DeviceLight* device = editLight(index, LightField::Value);
    if (!device) {
        return;
    }
    device->type = light.spot ? LightType::Spot : LightType::Point;
    device->diffuse = {light.color.x, light.color.y, light.color.z, 0.0f};
    device->specular = device->diffuse;
    device->ambient = {};
    device->position = light.position;
    Vector3 direction{light.target.x - light.position.x, light.target.y - light.position.y,
                      light.target.z - light.position.z};
    const float length = std::sqrt(direction.x * direction.x + direction.y * direction.y +
                                   direction.z * direction.z);
    if (length != 0.0f) {
        direction = {direction.x / length, direction.y / length, direction.z / length};
    }
    device->direction = direction;
    device->range = light.range;
    device->falloff = 1.0f;
    device->attenuation0 = light.attenuation[0];
    device->attenuation1 = light.attenuation[1];
    device->attenuation2 = light.attenuation[2];
    device->theta = light.innerCone;
    device->phi = light.outerCone;
}

void RenderModule::GetLight(int index, RenderLight& light) const {
    if (index < 0 || index >= kMaxLights) {
        return;
    }
    const DeviceLight& device = m_state.lights[index];
    light.color = {device.diffuse.r, device.diffuse.g, device.diffuse.b};
    light.position = device.position;
    light.range = device.range;
}

bool RenderModule::EnableLight(int index, bool enabled) {
    DeviceLight* device = editLight(index, LightField::Enable);
    if (!device) {
        return false;
    }
    device->enabled = enabled;
    return true;
}

void RenderModule::SetAmbient(int, float red, float green, float blue) {
    edit(GlobalField::Ambient).ambient = UnpackColor(PackColor(red, green, blue));
}

// --- state blocks ---------------------------------------------------------------------

void RenderModule::BeginStateBlock() {
    m_recordingBlock = true;
    // Fields a recording does not set keep the values of the state now, so
    // setters that read before they write (a light keeps its switch) see them.
    m_recording = {m_state, {}, false};
}

void RenderModule::EndStateBlock(StateBlock& token, std::int32_t id) {
    m_recordingBlock = false;
    token = m_nextStateBlock++;
    m_stateBlocks.emplace(token, std::move(m_recording));
    m_stateBlockIds.Recorded(token, id, [this](StateBlock block) { m_stateBlocks.erase(block); });
}

void RenderModule::ApplyStateBlock(StateBlock token) {
    const auto found = m_stateBlocks.find(token);
    if (found == m_stateBlocks.end()) {
        return;
    }
    RecordedStateBlock& block = found->second;
    block.fields.Copy(block.values, m_state);
    for (int stage = 0; stage < kMaxTextureStages; ++stage) {
        TextureHandle& texture = m_state.stages[stage].texture;
        if (!block.fields.Has(StageField::Texture, stage) || !texture ||
            m_deviceTextures.Contains(texture)) {
            continue;
        }
        // The texture was released after the block captured it: bind nothing
        // rather than whatever took its place.
        texture = {};
        if (!block.staleTextureReported) {
            LogPrintf("Warning : state block %u binds a released texture on stage %d; the stage "
                      "draws without it.",
                      token, stage);
            block.staleTextureReported = true;
        }
    }
}

void RenderModule::ReleaseStateBlock(StateBlock token) {
    m_stateBlockIds.Release(token, [this](StateBlock block) { m_stateBlocks.erase(block); });
}

}  // namespace vesta
