#include <SDL.h>
#include <epoxy/gl.h>

#include "platform/PlatformWindow.h"
#include "render/gl/GlContext.h"

namespace vesta {
namespace {

class SdlGlContext : public GlContext {
public:
    SdlGlContext(PlatformWindow& window, SDL_GLContext context)
        : m_window(window), m_context(context) {}
    ~SdlGlContext() override { SDL_GL_DeleteContext(m_context); }

    bool Headless() const override { return false; }
    void SwapBuffers() override { SDL_GL_SwapWindow(m_window.Native()); }
    void SetSwapInterval(int interval) override { SDL_GL_SetSwapInterval(interval); }
    void DrawableSize(int& width, int& height) const override {
        m_window.DrawableSize(width, height);
    }

private:
    PlatformWindow& m_window;
    SDL_GLContext m_context;
};

}  // namespace

std::string GlContext::Renderer() const {
    const GLubyte* renderer = glGetString(GL_RENDERER);
    return renderer ? reinterpret_cast<const char*>(renderer) : "";
}

std::unique_ptr<GlContext> CreateWindowContext(PlatformWindow& window, GlContextError& error) {
    SDL_GLContext context = SDL_GL_CreateContext(window.Native());
    if (!context) {
        error = {0x80004005u, SDL_GetError()};  // E_FAIL, as no code comes with it
        return nullptr;
    }
    SDL_GL_MakeCurrent(window.Native(), context);
    return std::make_unique<SdlGlContext>(window, context);
}

}  // namespace vesta
