#pragma once
// A headless OpenGL context on EGL's surfaceless platform (Mesa): rendering
// goes into framebuffer objects only, so no display or window is needed.

#include <memory>
#include <string>

#include "platform/EngineError.h"

namespace vesta::gl {

enum class ContextKind {
    Core33,         // what the player draws with
    Compatibility,  // legacy fixed-function GL, for reference pictures
};

// Thrown when EGL cannot give the context; the text carries the EGL error
// code and its name, e.g. "eglInitialize failed: 0x3001 (EGL_NOT_INITIALIZED)".
class EglError : public CEngineError {
public:
    EglError(const std::string& text, int code) : CEngineError(text), m_code(code) {}
    int Code() const { return m_code; }

private:
    int m_code;
};

// "EGL_BAD_ALLOC" for 0x3003; "unknown EGL error" for codes EGL does not define.
const char* EglErrorName(int code);

class EglContext {
public:
    // Creates the context and makes it current on the calling thread.
    explicit EglContext(ContextKind kind);
    ~EglContext();
    EglContext(const EglContext&) = delete;
    EglContext& operator=(const EglContext&) = delete;

    // Current on the calling thread without a surface.
    void MakeCurrent();
    void ReleaseCurrent();

    ContextKind Kind() const;
    // GL_RENDERER of the context, e.g. "llvmpipe (LLVM 15.0.6, 256 bits)".
    const std::string& Renderer() const;
    // GL_VERSION of the context.
    const std::string& Version() const;

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

}  // namespace vesta::gl
