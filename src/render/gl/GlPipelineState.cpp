// Sending a PipelineState to GL: each group only when it differs from what
// GL was last given (or always, with state caching off).

#include "render/gl/GlEnums.h"
#include "render/gl/GlPipeline.h"
#include "render/gl/GlPipelineObjects.h"

namespace vesta::gl {

namespace {

void enable(GLenum capability, bool on) {
    on ? glEnable(capability) : glDisable(capability);
}

void applyCull(CullMode mode) {
    // Row 0 is the top row, so what Direct3D sees clockwise on screen is
    // counter-clockwise in GL window coordinates, GL's front with GL_CCW.
    enable(GL_CULL_FACE, mode != CullMode::None);
    if (mode != CullMode::None) {
        glCullFace(mode == CullMode::Clockwise ? GL_FRONT : GL_BACK);
    }
}

GLint filter(TextureFilter mode) {
    return mode == TextureFilter::Point ? GL_NEAREST : GL_LINEAR;
}

GLenum textureTarget(const TextureBinding& binding) {
    return binding.cube ? GL_TEXTURE_CUBE_MAP : GL_TEXTURE_2D;
}

}  // namespace

void GlPipeline::applyBlendAndDepth(bool all) {
    const BlendState& blend = m_state->blend;
    if (all || !(blend == m_applied.blend)) {
        enable(GL_BLEND, blend.enabled);
        glBlendFunc(GlBlendFactor(blend.source), GlBlendFactor(blend.destination));
    }
    const DepthState& depth = m_state->depth;
    if (all || !(depth == m_applied.depth)) {
        enable(GL_DEPTH_TEST, depth.enabled);
        glDepthMask(depth.write ? GL_TRUE : GL_FALSE);
        glDepthFunc(GlComparison(depth.comparison));
    }
    const ColorWriteMask& mask = m_state->colorWrite;
    if (all || !(mask == m_applied.colorWrite)) {
        glColorMask(mask.red, mask.green, mask.blue, mask.alpha && m_alphaWrites);
    }
}

void GlPipeline::applyStencil(bool all) {
    const StencilState& s = m_state->stencil;
    if (!all && s == m_applied.stencil) {
        return;
    }
    enable(GL_STENCIL_TEST, s.enabled);
    glStencilFunc(GlComparison(s.comparison), static_cast<GLint>(s.reference), s.mask);
    glStencilOp(GlStencilOp(s.fail), GlStencilOp(s.depthFail), GlStencilOp(s.pass));
    glStencilMask(s.writeMask);
}

void GlPipeline::applyRaster(bool all) {
    if (all || m_state->cull != m_applied.cull) {
        applyCull(m_state->cull);
    }
    if (all || m_state->fill != m_applied.fill) {
        glPolygonMode(GL_FRONT_AND_BACK, GlPolygonMode(m_state->fill));
    }
    const Viewport& v = m_state->viewport;
    if (all || !(v == m_applied.viewport)) {
        // Rows count from the top, and so does GL's y in this framebuffer.
        glViewport(v.x, v.y, v.width, v.height);
        glDepthRange(v.minZ, v.maxZ);
    }
}

void GlPipeline::applyFixed() {
    const bool all = !m_appliedValid || !m_caching;
    applyBlendAndDepth(all);
    applyStencil(all);
    applyRaster(all);
    m_applied.blend = m_state->blend;
    m_applied.depth = m_state->depth;
    m_applied.colorWrite = m_state->colorWrite;
    m_applied.stencil = m_state->stencil;
    m_applied.cull = m_state->cull;
    m_applied.fill = m_state->fill;
    m_applied.viewport = m_state->viewport;
}

void GlPipeline::applyStages(const ShaderKey& key, bool all) {
    Objects& o = *m_objects;
    const bool allTextures = all || !o.texturesValid;
    bool anyBound = false;
    for (int unit = 0; unit < MaxStages; ++unit) {
        const TextureStage& stage = m_state->stages[unit];
        const TextureStage& before = m_applied.stages[unit];
        const GLuint sampler = o.samplers[unit];
        if (all) {
            glBindSampler(static_cast<GLuint>(unit), sampler);
        }
        if (all || stage.addressU != before.addressU || stage.addressV != before.addressV) {
            glSamplerParameteri(sampler, GL_TEXTURE_WRAP_S,
                                GlTextureAddress(stage.addressU, m_mirrorClamp));
            glSamplerParameteri(sampler, GL_TEXTURE_WRAP_T,
                                GlTextureAddress(stage.addressV, m_mirrorClamp));
        }
        if (all || stage.filter != before.filter) {
            glSamplerParameteri(sampler, GL_TEXTURE_MIN_FILTER, filter(stage.filter));
            glSamplerParameteri(sampler, GL_TEXTURE_MAG_FILTER, filter(stage.filter));
            if (m_maxAnisotropy > 1.0f) {
                glSamplerParameterf(sampler, GL_TEXTURE_MAX_ANISOTROPY,
                                    stage.filter == TextureFilter::Anisotropic ? m_maxAnisotropy
                                                                               : 1.0f);
            }
        }
        // Only a stage whose program samples needs its texture bound.
        if (key.stages[unit].texture == StageTexture::None) {
            continue;
        }
        const TextureBinding& texture = m_textures[unit];
        if (allTextures || !(texture == o.bound[unit])) {
            glActiveTexture(GL_TEXTURE0 + static_cast<GLenum>(unit));
            glBindTexture(textureTarget(texture), texture.name);
            o.bound[unit] = texture;
            anyBound = true;
        }
    }
    if (allTextures || anyBound) {
        glActiveTexture(GL_TEXTURE0 + ScratchTextureUnit);
    }
    o.texturesValid = true;
    m_applied.stages = m_state->stages;
}

const VertexShaderProgram* GlPipeline::vertexProgram(std::uint32_t handle) const {
    if (handle == 0) {
        return nullptr;
    }
    const auto found = m_objects->vertexPrograms.find(handle);
    return found == m_objects->vertexPrograms.end() ? nullptr : found->second.get();
}

void GlPipeline::AddVertexProgram(std::uint32_t handle, const VertexShaderProgram& program) {
    auto shared = std::make_shared<const VertexShaderProgram>(program);
    ShaderKey key;
    UseVertexProgram(key, handle, *m_state);
    m_objects->programs.Get(key, shared.get());
    m_objects->vertexPrograms[handle] = std::move(shared);
}

void GlPipeline::applyProgram(const ShaderKey& key) {
    Objects& o = *m_objects;
    // Most draws keep the program of the draw before.
    const bool same = o.program && m_caching && key == o.programKey;
    Program& program = same ? *o.program : o.programs.Get(key, vertexProgram(key.VertexProgram()));
    if (!same) {
        glUseProgram(program.name);
        o.program = &program;
        o.programKey = key;
    }
    ComputeUniforms(*m_state, program.locations, o.values);
    UploadUniforms(program.locations, o.values, program.uploaded,
                   !program.anyUploaded || !m_caching);
    program.anyUploaded = true;
}

void GlPipeline::apply(PrimitiveType primitive, VertexLayout layout, bool oneDiffuse) {
    const bool all = !m_appliedValid || !m_caching;
    if (m_state->depth.enabled || m_state->stencil.enabled) {
        attachDepth();
        FlushPendingClear();
    }
    applyFixed();
    ShaderKey key = MakeShaderKey(*m_state, m_textures, primitive, layout);
    const std::uint32_t shader = m_state->vertexShader.handle;
    if (layout != VertexLayout::Pretransformed && vertexProgram(shader)) {
        UseVertexProgram(key, shader, *m_state);
    }
    if (oneDiffuse) {
        UseOneDiffuseColour(key, *m_state);
    }
    applyStages(key, all);
    applyProgram(key);
    m_appliedValid = true;
}

}  // namespace vesta::gl
