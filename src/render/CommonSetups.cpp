#include "render/CommonSetups.h"

#include "render/RenderModule.h"

namespace vesta {

Texture* LoadTextureFile(RenderModule& module, const std::string& file,
                         const std::string& alphaFile) {
    Texture* texture = module.CreateTexture();
    if (!alphaFile.empty()) {
        texture->SetAlphaMap(alphaFile, 255);
    }
    texture->LoadOrRaise(file);
    return texture;
}

void SetModulatingStage(RenderModule& module, int stage) {
    module.SetColorOp(stage, ColorOp::Modulate);
    module.SetColorArg1(stage, ColorArg::Texture);
    module.SetColorArg2(stage, ColorArg::Diffuse);
    module.SetAlphaOp(stage, AlphaOp::Modulate);
    module.SetAlphaArg1(stage, AlphaArg::Texture);
    module.SetAlphaArg2(stage, AlphaArg::Diffuse);
}

}  // namespace vesta
