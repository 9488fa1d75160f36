// How the render module's state operations change the emulated device state.

#include <cmath>

#include "render/gl/GlModule.h"
#include "render/gl/GlResources.h"

namespace vesta {
namespace {

std::uint32_t packColor(float red, float green, float blue) {
    const auto channel = [](float value) {
        return static_cast<std::uint32_t>(static_cast<std::int32_t>(value * 255.0f)) & 0xFF;
    };
    return (channel(red) << 16) | (channel(green) << 8) | channel(blue);
}

gl::Color4 rgb(const ColorArgb& color, float alpha, float scale = 1.0f) {
    return {color.r * scale, color.g * scale, color.b * scale, alpha};
}

}  // namespace

void GlModule::change(StateChange apply) {
    if (m_recordingBlock) {
        m_recording.push_back(std::move(apply));
    } else {
        apply(m_state);
    }
}

void GlModule::changeStage(int stage, std::function<void(gl::TextureStageState&)> apply) {
    if (stage < 0 || stage >= gl::kStageCount) {
        return;
    }
    change([stage, apply = std::move(apply)](gl::PipelineState& s) { apply(s.stages[stage]); });
}

void GlModule::SetTexture(int stage, Texture* texture) {
    gl::TextureKind kind = gl::TextureKind::None;
    std::uint32_t name = 0;
    if (texture) {
        const auto& glTexture = static_cast<const GlTexture&>(*texture);
        kind = glTexture.IsCube() ? gl::TextureKind::Cube : gl::TextureKind::Flat;
        name = glTexture.Name();
        if (name == 0) {
            kind = gl::TextureKind::None;
        }
    }
    changeStage(stage, [kind, name](gl::TextureStageState& s) {
        s.textureKind = kind;
        s.texture = name;
    });
}

void GlModule::SetColorOp(int stage, ColorOp op) {
    changeStage(stage, [op](gl::TextureStageState& s) { s.colorOp = op; });
}
void GlModule::SetColorArg1(int stage, ColorArg arg) {
    changeStage(stage, [arg](gl::TextureStageState& s) { s.colorArg1 = arg; });
}
void GlModule::SetColorArg2(int stage, ColorArg arg) {
    changeStage(stage, [arg](gl::TextureStageState& s) { s.colorArg2 = arg; });
}
void GlModule::SetAlphaOp(int stage, AlphaOp op) {
    changeStage(stage, [op](gl::TextureStageState& s) { s.alphaOp = op; });
}
void GlModule::SetAlphaArg1(int stage, AlphaArg arg) {
    changeStage(stage, [arg](gl::TextureStageState& s) { s.alphaArg1 = arg; });
}
void GlModule::SetAlphaArg2(int stage, AlphaArg arg) {
    changeStage(stage, [arg](gl::TextureStageState& s) { s.alphaArg2 = arg; });
}

void GlModule::SetEnvironmentMapping(int stage, bool enabled) {
    changeStage(stage, [enabled](gl::TextureStageState& s) {
        s.environmentMapping = enabled;
        s.addressU = s.addressV = enabled ? TextureAddress::Mirror : TextureAddress::Wrap;
    });
}

void GlModule::SetTextureFiltering(int stage, bool enabled) {
    const bool linear = enabled && m_hardware;
    changeStage(stage, [linear](gl::TextureStageState& s) { s.filtering = linear; });
}

void GlModule::SetTextureAddress(int stage, int axis, TextureAddress mode) {
    if (axis == 0) {
        changeStage(stage, [mode](gl::TextureStageState& s) { s.addressU = mode; });
    } else if (axis == 1) {
        changeStage(stage, [mode](gl::TextureStageState& s) { s.addressV = mode; });
    }
}

void GlModule::SetStencilEnable(bool enabled) {
    change([enabled](gl::PipelineState& s) { s.stencil.enabled = enabled; });
}
void GlModule::SetStencilFunc(Comparison func) {
    change([func](gl::PipelineState& s) { s.stencil.func = func; });
}
void GlModule::SetStencilZFailOp(StencilOp op) {
    change([op](gl::PipelineState& s) { s.stencil.depthFail = op; });
}
void GlModule::SetStencilFailOp(StencilOp op) {
    change([op](gl::PipelineState& s) { s.stencil.fail = op; });
}
void GlModule::SetStencilPassOp(StencilOp op) {
    change([op](gl::PipelineState& s) { s.stencil.pass = op; });
}
void GlModule::SetStencilRef(std::uint32_t value) {
    change([value](gl::PipelineState& s) { s.stencil.reference = value; });
}
void GlModule::SetStencilMask(std::uint32_t value) {
    change([value](gl::PipelineState& s) { s.stencil.mask = value; });
}
void GlModule::SetStencilWriteMask(std::uint32_t value) {
    change([value](gl::PipelineState& s) { s.stencil.writeMask = value; });
}

void GlModule::BeginStateBlock() {
    m_recordingBlock = true;
    m_recording.clear();
}

RenderModule::StateBlock GlModule::endRecording() {
    m_recordingBlock = false;
    const StateBlock token = m_nextStateBlock++;
    m_stateBlocks.emplace(token, std::move(m_recording));
    m_recording.clear();
    return token;
}

void GlModule::ApplyStateBlock(StateBlock token) {
    if (const auto block = m_stateBlocks.find(token); block != m_stateBlocks.end()) {
        for (const StateChange& apply : block->second) {
            apply(m_state);
        }
    }
}

void GlModule::deleteStateBlock(StateBlock token) {
    m_stateBlocks.erase(token);
}

void GlModule::SetSrcBlend(BlendFactor factor) {
    change([factor](gl::PipelineState& s) { s.blend.src = factor; });
}
void GlModule::SetDestBlend(BlendFactor factor) {
    change([factor](gl::PipelineState& s) { s.blend.dest = factor; });
}
void GlModule::SetAlphaBlend(bool enabled) {
    change([enabled](gl::PipelineState& s) { s.blend.enabled = enabled; });
}
void GlModule::SetTextureFactor(std::uint32_t argb) {
    change([argb](gl::PipelineState& s) { s.textureFactor = argb; });
}
void GlModule::SetDepthTest(bool enabled) {
    change([enabled](gl::PipelineState& s) { s.depth.enabled = enabled; });
}
void GlModule::SetDepthWrite(bool enabled) {
    change([enabled](gl::PipelineState& s) { s.depth.write = enabled; });
}
void GlModule::SetDepthFunc(Comparison func) {
    change([func](gl::PipelineState& s) { s.depth.func = func; });
}
void GlModule::SetAlphaTest(bool enabled, std::uint32_t reference) {
    change([enabled, reference](gl::PipelineState& s) {
        s.alphaTest.enabled = enabled;
        s.alphaTest.reference = reference;
    });
}
void GlModule::SetAlphaFunc(Comparison func) {
    change([func](gl::PipelineState& s) { s.alphaTest.func = func; });
}
void GlModule::SetColorWriteMask(bool red, bool green, bool blue, bool alpha) {
    change([=](gl::PipelineState& s) {
        s.raster.writeRed = red;
        s.raster.writeGreen = green;
        s.raster.writeBlue = blue;
        s.raster.writeAlpha = alpha;
    });
}

void GlModule::SetCullMode(CullMode mode) {
    change([mode](gl::PipelineState& s) { s.raster.cull = mode; });
}
void GlModule::SetShadeMode(ShadeMode mode) {
    change([mode](gl::PipelineState& s) { s.raster.shade = mode; });
}
void GlModule::SetFillMode(FillMode mode) {
    change([mode](gl::PipelineState& s) { s.raster.fill = mode; });
}

void GlModule::SetMaterial(const RenderMaterial& m) {
    gl::MaterialState material;
    material.diffuse = rgb(m.diffuse, m.diffuse.a);
    material.ambient = rgb(m.ambient, 0.0f);
    material.emissive = rgb(m.emissive, 0.0f);
    material.specular = rgb(m.specular, 0.0f, m.specularLevel);
    material.power = m.power;
    change([material](gl::PipelineState& s) { s.material = material; });
}

void GlModule::SetPointSprites(bool enabled) {
    change([enabled](gl::PipelineState& s) {
        s.points.sprites = enabled;
        s.points.scale = enabled;
    });
}
void GlModule::SetPointSize(float size, float minimumSize) {
    change([size, minimumSize](gl::PipelineState& s) {
        s.points.size = size;
        s.points.minSize = minimumSize;
    });
}
void GlModule::SetPointScale(float a, float b, float c) {
    change([a, b, c](gl::PipelineState& s) {
        s.points.a = a;
        s.points.b = b;
        s.points.c = c;
    });
}

void GlModule::SetFogColor(float red, float green, float blue) {
    const std::uint32_t color = packColor(red, green, blue);
    change([color](gl::PipelineState& s) { s.fog.color = color; });
}

void GlModule::sendFogEnable(bool enabled) {
    change([enabled](gl::PipelineState& s) { s.fog.enabled = enabled; });
}

void GlModule::sendLighting(bool enabled) {
    change([enabled](gl::PipelineState& s) {
        s.lighting = enabled;
        s.specular = enabled;
    });
}

void GlModule::sendFog(FogMode mode, float start, float end, float density) {
    // Per-pixel fog is always there: the table path, with range fog on.
    change([=](gl::PipelineState& s) {
        s.fog.mode = mode;
        s.fog.start = start;
        s.fog.end = end;
        s.fog.density = density;
        s.fog.perPixel = true;
        s.fog.range = true;
    });
}

void GlModule::sendTransform(TransformKind kind, const Matrix4& matrix) {
    change([kind, matrix](gl::PipelineState& s) {
        switch (kind) {
        case TransformKind::Projection:
            s.projection = matrix;
            break;
        case TransformKind::View:
            s.view = matrix;
            break;
        case TransformKind::World:
            s.world = matrix;
            break;
        }
    });
}

void GlModule::sendViewport(const ViewportRect& v) {
    change([v](gl::PipelineState& s) {
        s.viewport.x = v.x;
        s.viewport.y = v.y;
        s.viewport.width = v.width;
        s.viewport.height = v.height;
    });
}

void GlModule::SetLight(int index, const RenderLight& light) {
    if (index < 0 || index >= gl::kLightCount) {
        return;
    }
    gl::LightState device;
    device.spot = light.spot;
    device.diffuse = {light.color.x, light.color.y, light.color.z, 0.0f};
    device.specular = device.diffuse;
    device.ambient = {};
    device.position = light.position;
    Vector3 direction{light.target.x - light.position.x, light.target.y - light.position.y,
                      light.target.z - light.position.z};
    const float length =
        std::sqrt(direction.x * direction.x + direction.y * direction.y + direction.z * direction.z);
    if (length != 0.0f) {
        direction = {direction.x / length, direction.y / length, direction.z / length};
    }
    device.direction = direction;
    device.range = light.range;
    device.falloff = 1.0f;
    for (int i = 0; i < 3; ++i) {
        device.attenuation[i] = light.attenuation[i];
    }
    device.theta = light.innerCone;
    device.phi = light.outerCone;
    change([index, device](gl::PipelineState& s) {
        const bool enabled = s.lights[index].enabled;
        s.lights[index] = device;
        s.lights[index].enabled = enabled;
    });
}

void GlModule::GetLight(int index, RenderLight& light) {
    if (index < 0 || index >= gl::kLightCount) {
        return;
    }
    const gl::LightState& device = m_state.lights[index];
    light.color = {device.diffuse.r, device.diffuse.g, device.diffuse.b};
    light.position = device.position;
    light.range = device.range;
}

bool GlModule::EnableLight(int index, bool enabled) {
    if (index < 0 || index >= gl::kLightCount) {
        return false;
    }
    change([index, enabled](gl::PipelineState& s) { s.lights[index].enabled = enabled; });
    return true;
}

void GlModule::SetAmbient(int, float red, float green, float blue) {
    const std::uint32_t color = packColor(red, green, blue);
    change([color](gl::PipelineState& s) { s.ambient = color; });
}

}  // namespace vesta
