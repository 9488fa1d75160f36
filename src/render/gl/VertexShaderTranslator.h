#pragma once
// Direct3D 8 vertex shaders (1.0, 1.1) as GLSL 330 vertex shaders that feed
// the fixed-function pixel stages generated for the same key.

#include <string>

#include "render/VertexShaderProgram.h"
#include "render/gl/ShaderKey.h"

namespace vesta::gl {

// `program` must come from a successful ParseVertexShader: the translation
// trusts its register indices. Inputs v0..v4 are the vertex's position,
// normal, diffuse colour and two coordinate pairs (others read 0, 0, 0, 1);
// constants are the uniform array c; oPos is taken in Direct3D's clip space.
std::string TranslateVertexShader(const VertexShaderProgram& program, const ShaderKey& key);

}  // namespace vesta::gl
