#include "layers/LayerDrawing.h"

#include "render/RenderModule.h"
#include "script/TextNumbers.h"

namespace vesta {

std::vector<std::string> SplitPictureList(std::string_view text) {
    std::vector<std::string> pieces;
    std::size_t start = 0;
    while (true) {
        const std::size_t comma = text.find(',', start);
        pieces.emplace_back(TrimBlanks(text.substr(start, comma - start)));
        if (comma == std::string_view::npos) {
            return pieces;
        }
        start = comma + 1;
    }
}

void SetLayerBlend(RenderModule& module, bool additive) {
    module.SetAlphaBlend(true);
    if (additive) {
        module.SetSrcBlend(BlendFactor::One);
        module.SetDestBlend(BlendFactor::One);
    } else {
        module.SetSrcBlend(BlendFactor::SrcAlpha);
        module.SetDestBlend(BlendFactor::InvSrcAlpha);
    }
    module.SetLighting(additive);
}

void SetLayerCamera(RenderModule& module, const Vector3& position, float fieldOfView,
                    float nearPlane, float farPlane) {
    module.SetCameraPosition(position);
    module.SetCameraTarget({0.0f, 0.0f, 0.0f});
    module.SetFieldOfView(fieldOfView);
    module.SetNearPlane(nearPlane);
    module.SetFarPlane(farPlane);
    module.SetRoll(0.0f);
    module.ApplyCamera();
}

void LayerPicture::Load(RenderModule& module, const std::string& file,
                        const std::string& alphaFile) {
    m_texture = LoadTextureFile(module, file, alphaFile);
    m_saved = std::make_unique<SavedLayerState>(module);
}

void LayerPicture::Release(RenderModule& module) {
    if (m_texture) {
        module.ReleaseTexture(m_texture);
        m_texture = nullptr;
    }
    m_saved.reset();
}

void LayerPicture::BeginDraw(RenderModule& module, bool additive) const {
    SetModulatingStage(module);
    module.SetFogEnable(false);
    module.SetDepthTest(false);
    SetLayerBlend(module, additive);
    module.SetTexture(0, m_texture);
}

void LayerPicture::EndDraw(RenderModule& module) const {
    module.SetAlphaOp(0, AlphaOp::Disable);
    module.SetLighting(false);
    module.SetAlphaBlend(false);
    if (m_saved) {
        m_saved->Apply();
    }
}

void DrawStrip(RenderModule& module, const QuadCorners& corners) {
    module.Draw(PrimitiveType::TriangleStrip, static_cast<int>(corners.size()), corners.data());
}

std::vector<std::uint16_t> QuadListIndices(int quads) {
    std::vector<std::uint16_t> indices;
    indices.reserve(static_cast<std::size_t>(quads) * 6);
    for (int q = 0; q < quads; ++q) {
        const auto base = static_cast<std::uint16_t>(q * 4);
        for (const int corner : {0, 1, 2, 2, 1, 3}) {
            indices.push_back(static_cast<std::uint16_t>(base + corner));
        }
    }
    return indices;
}

}  // namespace vesta
