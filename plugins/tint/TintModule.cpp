// An example render-module plug-in: the OpenGL module, with a translucent
// orange veil laid over every finished frame. Put tint.so into ./drv, or
// into an archive as "drv/tint.so", and choose it with --module tint.so.

#include <cstring>

#include "render/ModulePlugin.h"
#include "render/gl/GlModule.h"

namespace vesta {
namespace {

constexpr const char* kTintDescription = "Tinted OpenGL 3.3 Module for VestaNG Library";
constexpr std::uint32_t kVeil = 0x60FF8000;  // A8R8G8B8: orange at 96/255

class TintModule final : public GlModule {
public:
    std::string GetDescription() const override { return kTintDescription; }

protected:
    void finishFrame() override {
        // The veil's states are set over the show's and the show's come
        // back from a state block recorded from them, so the next frame
        // starts where the show left off.
        StateBlock restore = recordRestore();
        drawVeil();
        ApplyStateBlock(restore);
        ReleaseStateBlock(restore);
    }

private:
    StateBlock recordRestore() {
        const RenderState& now = State();
        BeginStateBlock();
        SetWorldMatrix(now.world);
        SetViewMatrix(now.view);
        SetProjectionMatrix(now.projection);
        SetVertexShader(now.vertexShader.handle);
        SetLighting(now.lighting);
        SetFogEnable(now.fog.enabled);
        SetDepthTest(now.depth.enabled);
        SetDepthWrite(now.depth.write);
        SetStencilEnable(now.stencil.enabled);
        SetAlphaTest(now.alphaTest.enabled, now.alphaTest.reference);
        SetAlphaBlend(now.blend.enabled);
        SetSrcBlend(now.blend.source);
        SetDestBlend(now.blend.destination);
        SetCullMode(now.cull);
        SetFillMode(now.fill);
        SetColorWriteMask(now.colorWrite.red, now.colorWrite.green, now.colorWrite.blue,
                          now.colorWrite.alpha);
        for (int stage = 0; stage < 2; ++stage) {
            const TextureStage& was = now.stages[stage];
            SetColorOp(stage, was.colorOp);
            SetColorArg1(stage, was.colorArg1);
            SetAlphaOp(stage, was.alphaOp);
            SetAlphaArg1(stage, was.alphaArg1);
        }
        StateBlock token = 0;
        EndStateBlock(token, -1);
        return token;
    }

    void drawVeil() {
        SetOrthographic(1.0f, 1.0f, 1.0f, -1.0f);
        SetVertexShader(0);
        SetLighting(false);
        SetFogEnable(false);
        SetDepthTest(false);
        SetDepthWrite(false);
        SetStencilEnable(false);
        SetAlphaTest(false, 0);
        SetAlphaBlend(true);
        SetSrcBlend(BlendFactor::SrcAlpha);
        SetDestBlend(BlendFactor::InvSrcAlpha);
        SetCullMode(CullMode::None);
        SetFillMode(FillMode::Solid);
        SetColorWriteMask(true, true, true, true);
        // The vertex colour alone: whatever texture the show left bound is not read.
        SetColorOp(0, ColorOp::SelectArg1);
        SetColorArg1(0, ColorArg::Diffuse);
        SetAlphaOp(0, AlphaOp::SelectArg1);
        SetAlphaArg1(0, AlphaArg::Diffuse);
        SetColorOp(1, ColorOp::Disable);
        SetAlphaOp(1, AlphaOp::Disable);
        // The whole viewport, as a triangle strip.
        const RenderVertex corners[4] = {
            {0.5f, -0.5f, 0, 0, 0, -1, kVeil, 1, 1, 1, 1},
            {0.5f, 0.5f, 0, 0, 0, -1, kVeil, 1, 0, 1, 0},
            {-0.5f, -0.5f, 0, 0, 0, -1, kVeil, 0, 1, 0, 1},
            {-0.5f, 0.5f, 0, 0, 0, -1, kVeil, 0, 0, 0, 0},
        };
        Draw(PrimitiveType::TriangleStrip, 4, corners);
    }
};

}  // namespace
}  // namespace vesta

extern "C" {

__attribute__((visibility("default"))) VestaModuleInfo vesta_module_info() {
    VestaModuleInfo info{};
    std::strncpy(info.description, vesta::kTintDescription, sizeof info.description - 1);
    info.values[0] = 8;
    return info;
}

__attribute__((visibility("default"))) vesta::RenderModule* vesta_create_module() {
    return new vesta::TintModule();
}
}
