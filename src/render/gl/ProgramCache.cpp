#include "render/gl/ProgramCache.h"

#include <epoxy/gl.h>
#include <string>

namespace vesta::gl {

namespace {

std::string infoLog(GLuint object, bool program) {
    GLint length = 0;
    program ? glGetProgramiv(object, GL_INFO_LOG_LENGTH, &length)
            : glGetShaderiv(object, GL_INFO_LOG_LENGTH, &length);
    std::string text(static_cast<std::size_t>(length > 0 ? length : 1), '\0');
    program ? glGetProgramInfoLog(object, length, nullptr, text.data())
            : glGetShaderInfoLog(object, length, nullptr, text.data());
    return text.c_str();
}

GLuint compile(GLenum type, const std::string& source) {
    const GLuint shader = glCreateShader(type);
    const char* text = source.c_str();
    glShaderSource(shader, 1, &text, nullptr);
    glCompileShader(shader);
    GLint ok = GL_FALSE;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
    if (!ok) {
        const std::string log = infoLog(shader, false);
        glDeleteShader(shader);
        throw ShaderError("shader does not compile: " + log + "\n" + source);
    }
    return shader;
}

GLuint link(const ShaderSources& sources) {
    const GLuint vertex = compile(GL_VERTEX_SHADER, sources.vertex);
    GLuint fragment = 0;
    try {
        fragment = compile(GL_FRAGMENT_SHADER, sources.fragment);
    } catch (...) {
        glDeleteShader(vertex);
        throw;
    }
    const GLuint program = glCreateProgram();
    glAttachShader(program, vertex);
    glAttachShader(program, fragment);
    glLinkProgram(program);
    glDeleteShader(vertex);
    glDeleteShader(fragment);
    GLint ok = GL_FALSE;
    glGetProgramiv(program, GL_LINK_STATUS, &ok);
    if (!ok) {
        const std::string log = infoLog(program, true);
        glDeleteProgram(program);
        throw ShaderError("program does not link: " + log);
    }
    return program;
}

}  // namespace

ProgramCache::~ProgramCache() {
    for (auto& entry : m_programs) {
        glDeleteProgram(entry.second->name);
    }
}

Program& ProgramCache::Get(const ShaderKey& key) {
    auto found = m_programs.find(key);
    if (found != m_programs.end()) {
        return *found->second;
    }
    auto program = std::make_unique<Program>();
    program->name = link(GenerateShaders(key));
    GLint previous = 0;
    glGetIntegerv(GL_CURRENT_PROGRAM, &previous);
    glUseProgram(program->name);
    program->locations = FindUniforms(program->name);
    glUseProgram(static_cast<GLuint>(previous));
    return *m_programs.emplace(key, std::move(program)).first->second;
}

}  // namespace vesta::gl
