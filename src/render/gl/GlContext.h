#pragma once
// Where the OpenGL module's frames are drawn: a window's context (SDL) or a
// headless one (EGL without a surface). Either way the frame itself lives in
// an offscreen framebuffer; the context only has to show it.

#include <cstdint>
#include <memory>
#include <string>

namespace vesta {

class PlatformWindow;

struct GlContextError {
    std::uint32_t code = 0;
    std::string text;
};

class GlContext {
public:
    virtual ~GlContext() = default;
    virtual bool Headless() const = 0;
    // Shows the window's default framebuffer (nothing when headless).
    virtual void SwapBuffers() = 0;
    virtual void SetSwapInterval(int interval) = 0;
    // The size of what SwapBuffers shows.
    virtual void DrawableSize(int& width, int& height) const = 0;
    virtual std::string Renderer() const;
};

// An OpenGL 3.3 core context; null with `error` filled when there is none.
std::unique_ptr<GlContext> CreateWindowContext(PlatformWindow& window, GlContextError& error);
std::unique_ptr<GlContext> CreateHeadlessContext(GlContextError& error);

}  // namespace vesta
