#include "render/gl/EglContext.h"

#include <cstdio>
#include <cstring>
#include <epoxy/egl.h>
#include <epoxy/gl.h>
#include <vector>

namespace vesta::gl {

const char* EglErrorName(int code) {
    switch (code) {
    case EGL_SUCCESS:
        return "EGL_SUCCESS";
    case EGL_NOT_INITIALIZED:
        return "EGL_NOT_INITIALIZED";
    case EGL_BAD_ACCESS:
        return "EGL_BAD_ACCESS";
    case EGL_BAD_ALLOC:
        return "EGL_BAD_ALLOC";
    case EGL_BAD_ATTRIBUTE:
        return "EGL_BAD_ATTRIBUTE";
    case EGL_BAD_CONFIG:
        return "EGL_BAD_CONFIG";
    case EGL_BAD_CONTEXT:
        return "EGL_BAD_CONTEXT";
    case EGL_BAD_CURRENT_SURFACE:
        return "EGL_BAD_CURRENT_SURFACE";
    case EGL_BAD_DISPLAY:
        return "EGL_BAD_DISPLAY";
    case EGL_BAD_MATCH:
        return "EGL_BAD_MATCH";
    case EGL_BAD_NATIVE_PIXMAP:
        return "EGL_BAD_NATIVE_PIXMAP";
    case EGL_BAD_NATIVE_WINDOW:
        return "EGL_BAD_NATIVE_WINDOW";
    case EGL_BAD_PARAMETER:
        return "EGL_BAD_PARAMETER";
    case EGL_BAD_SURFACE:
        return "EGL_BAD_SURFACE";
    case EGL_CONTEXT_LOST:
        return "EGL_CONTEXT_LOST";
    default:
        return "unknown EGL error";
    }
}

namespace {

[[noreturn]] void fail(const char* what) {
    const int code = eglGetError();
    char text[160];
    std::snprintf(text, sizeof text, "%s failed: 0x%04X (%s)", what, static_cast<unsigned>(code),
                  EglErrorName(code));
    throw EglError(text, code);
}

std::vector<EGLint> contextAttributes(ContextKind kind) {
    if (kind == ContextKind::Core33) {
        return {EGL_CONTEXT_MAJOR_VERSION,
                3,
                EGL_CONTEXT_MINOR_VERSION,
                3,
                EGL_CONTEXT_OPENGL_PROFILE_MASK,
                EGL_CONTEXT_OPENGL_CORE_PROFILE_BIT,
                EGL_NONE};
    }
    return {EGL_CONTEXT_OPENGL_PROFILE_MASK, EGL_CONTEXT_OPENGL_COMPATIBILITY_PROFILE_BIT,
            EGL_NONE};
}

const char* glText(GLenum name) {
    const auto* text = reinterpret_cast<const char*>(glGetString(name));
    return text ? text : "";
}

}  // namespace

struct EglContext::Impl {
    ContextKind kind = ContextKind::Core33;
    EGLDisplay display = EGL_NO_DISPLAY;
    EGLContext context = EGL_NO_CONTEXT;
    std::string renderer;
    std::string version;
};

EglContext::EglContext(ContextKind kind) : m_impl(std::make_unique<Impl>()) {
    m_impl->kind = kind;
    // Without a driver (no EGL vendor installed) the extension is missing and
    // calling it would abort the process inside libepoxy.
    const char* clientExtensions = eglQueryString(EGL_NO_DISPLAY, EGL_EXTENSIONS);
    if (!clientExtensions || !std::strstr(clientExtensions, "EGL_EXT_platform_base") ||
        !std::strstr(clientExtensions, "EGL_MESA_platform_surfaceless")) {
        throw EglError("no EGL driver offers the surfaceless platform (EGL_EXT_platform_base, "
                       "EGL_MESA_platform_surfaceless): is Mesa's EGL driver installed?",
                       EGL_NOT_INITIALIZED);
    }
    // The client extension (EGL_EXT_platform_base): no display exists yet to
    // ask for EGL 1.5.
    m_impl->display =
        eglGetPlatformDisplayEXT(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
    if (m_impl->display == EGL_NO_DISPLAY) {
        fail("eglGetPlatformDisplayEXT(EGL_PLATFORM_SURFACELESS_MESA)");
    }
    if (!eglInitialize(m_impl->display, nullptr, nullptr)) {
        fail("eglInitialize");
    }
    if (!eglBindAPI(EGL_OPENGL_API)) {
        fail("eglBindAPI(EGL_OPENGL_API)");
    }
    // Surfaceless: no config is needed when EGL_KHR_no_config_context is there,
    // which Mesa always offers on this platform.
    const std::vector<EGLint> attributes = contextAttributes(kind);
    m_impl->context =
        eglCreateContext(m_impl->display, EGL_NO_CONFIG_KHR, EGL_NO_CONTEXT, attributes.data());
    if (m_impl->context == EGL_NO_CONTEXT) {
        fail("eglCreateContext");
    }
    MakeCurrent();
    m_impl->renderer = glText(GL_RENDERER);
    m_impl->version = glText(GL_VERSION);
}

EglContext::~EglContext() {
    if (eglGetCurrentContext() == m_impl->context) {
        eglMakeCurrent(m_impl->display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    }
    eglDestroyContext(m_impl->display, m_impl->context);
    // The display is shared by every context of the process; EGL counts no
    // references, so it stays initialised until the process ends.
}

void EglContext::MakeCurrent() {
    if (!eglMakeCurrent(m_impl->display, EGL_NO_SURFACE, EGL_NO_SURFACE, m_impl->context)) {
        fail("eglMakeCurrent");
    }
}

void EglContext::ReleaseCurrent() {
    eglMakeCurrent(m_impl->display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
}

ContextKind EglContext::Kind() const {
    return m_impl->kind;
}
const std::string& EglContext::Renderer() const {
    return m_impl->renderer;
}
const std::string& EglContext::Version() const {
    return m_impl->version;
}

}  // namespace vesta::gl
