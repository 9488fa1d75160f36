#pragma once
// Linked programs for the shader keys met so far, with their uniform
// locations and the uniform values each was last given.

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <unordered_map>

#include "render/gl/GlShader.h"
#include "render/gl/ShaderKey.h"
#include "render/gl/Uniforms.h"

namespace vesta::gl {

struct Program {
    std::uint32_t name = 0;
    UniformLocations locations;
    // What this program was last given, so equal values are not sent again.
    UniformValues uploaded;
    bool anyUploaded = false;
};

class ProgramCache {
public:
    ProgramCache() = default;
    ~ProgramCache();
    ProgramCache(const ProgramCache&) = delete;
    ProgramCache& operator=(const ProgramCache&) = delete;

    // The program for `key`, generated and linked on first use; `vertex` is
    // the key's vertex shader, null for the fixed function.
    Program& Get(const ShaderKey& key, const VertexShaderProgram* vertex = nullptr);
    std::size_t Size() const { return m_programs.size(); }

private:
    std::unordered_map<ShaderKey, std::unique_ptr<Program>, ShaderKeyHash> m_programs;
};

}  // namespace vesta::gl
