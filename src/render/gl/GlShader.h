#pragma once
// Compiling and linking GLSL programs.

#include <epoxy/gl.h>

#include <string>

namespace vesta {

// 0 with the compiler's or linker's log in `error`.
GLuint LinkProgram(const char* vertexSource, const char* fragmentSource, std::string& error);

}  // namespace vesta
