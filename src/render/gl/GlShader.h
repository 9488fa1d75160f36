#pragma once
// Compiling and linking GLSL programs.

#include <epoxy/gl.h>
#include <string>

#include "platform/EngineError.h"

namespace vesta::gl {

// A program that does not compile or link; the text carries the driver's log.
class ShaderError : public CEngineError {
public:
    using CEngineError::CEngineError;
};

// Throws ShaderError.
GLuint LinkProgram(const std::string& vertexSource, const std::string& fragmentSource);

}  // namespace vesta::gl
