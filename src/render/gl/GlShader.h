#pragma once
// Compiling and linking GLSL programs.

#include <epoxy/gl.h>
#include <stdexcept>
#include <string>

namespace vesta::gl {

// A program that does not compile or link; the text carries the driver's log.
class ShaderError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Throws ShaderError.
GLuint LinkProgram(const std::string& vertexSource, const std::string& fragmentSource);

}  // namespace vesta::gl
