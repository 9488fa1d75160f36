#include <memory>

#include "render/gl/EglContext.h"
#include "render/gl/GlContext.h"

namespace vesta {
namespace {

class EglGlContext : public GlContext {
public:
    EglGlContext() : m_context(gl::GlProfile::Core33) {}
    bool Headless() const override { return true; }
    void SwapBuffers() override {}
    void SetSwapInterval(int) override {}
    void DrawableSize(int& width, int& height) const override { width = height = 0; }
    std::string Renderer() const override { return m_context.Renderer(); }

private:
    gl::EglContext m_context;
};

}  // namespace

std::unique_ptr<GlContext> CreateHeadlessContext(GlContextError& error) {
    try {
        return std::make_unique<EglGlContext>();
    } catch (const gl::EglError& failure) {
        error = {static_cast<std::uint32_t>(failure.Code()), failure.what()};
        return nullptr;
    }
}

}  // namespace vesta
