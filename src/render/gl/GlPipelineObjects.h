#pragma once
// The GL objects behind a GlPipeline (private to its sources).

#include <epoxy/gl.h>
#include <memory>
#include <unordered_map>

#include "render/gl/GlPipeline.h"
#include "render/gl/ProgramCache.h"
#include "render/gl/StreamBuffer.h"
#include "render/gl/Uniforms.h"

namespace vesta::gl {

struct GlPipeline::Objects {
    ProgramCache programs;
    Program* program = nullptr;  // in use, made for programKey
    ShaderKey programKey;
    UniformValues values{};
    // Small enough for the C library to recycle the storage a software
    // rasteriser frees after each orphaning: large buffers come back as fresh
    // pages from the kernel, and their page faults cost more than the draws.
    StreamBuffer vertices{GL_ARRAY_BUFFER, 64u << 10};
    StreamBuffer indices{GL_ELEMENT_ARRAY_BUFFER, 64u << 10};
    GLuint streamArray = 0;          // RenderVertex layout over `vertices`
    GLuint streamArrayVertices = 0;  // the buffer object its attributes point at
    GLuint bufferArray = 0;          // caller-owned buffers
    GLuint bufferArrayVertices = 0;
    VertexLayout bufferArrayLayout = VertexLayout::Render;
    GLuint samplers[MaxStages] = {};
    TextureBinding bound[MaxStages];
    bool texturesValid = false;
    // By handle; shared so that programs outlive a rehash.
    std::unordered_map<std::uint32_t, std::shared_ptr<const VertexShaderProgram>> vertexPrograms;
};

// Points the attributes of the bound vertex array at the bound array buffer.
void SetVertexLayout(VertexLayout layout);

}  // namespace vesta::gl
