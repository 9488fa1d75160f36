#include "render/gl/ProgramCache.h"

#include <epoxy/gl.h>
#include <string>

#include "render/gl/GlShader.h"

namespace vesta::gl {

ProgramCache::~ProgramCache() {
    for (auto& entry : m_programs) {
        glDeleteProgram(entry.second->name);
    }
}

Program& ProgramCache::Get(const ShaderKey& key, const VertexShaderProgram* vertex) {
    auto found = m_programs.find(key);
    if (found != m_programs.end()) {
        return *found->second;
    }
    auto program = std::make_unique<Program>();
    const ShaderSources sources = GenerateShaders(key, vertex);
    program->name = LinkProgram(sources.vertex, sources.fragment);
    GLint previous = 0;
    glGetIntegerv(GL_CURRENT_PROGRAM, &previous);
    glUseProgram(program->name);
    program->locations = FindUniforms(program->name);
    glUseProgram(static_cast<GLuint>(previous));
    return *m_programs.emplace(key, std::move(program)).first->second;
}

}  // namespace vesta::gl
