#include "layers/PictureLayer.h"

#include <algorithm>
#include <cstdio>

#include "layers/ImageLayer.h"
#include "layers/LayerDrawing.h"
#include "render/RenderModule.h"
#include "script/TextNumbers.h"

namespace vesta {

CPictureLayer::CPictureLayer(RenderModule* context, const std::vector<CLayerOperation>* children)
    : CEnvelopeLayer(context, children) {}

CPictureLayer::~CPictureLayer() = default;

void CPictureLayer::Release() {
    for (Texture* texture : m_textures) {
        module().ReleaseTexture(texture);
    }
    m_textures.clear();
    m_savedState.reset();
}

void CPictureLayer::addFloatAccessor(std::string_view name, float* member) {
    AddAccessorParameter(
        m_nextIdentifier++,
        [member] {
            char text[32];
            std::snprintf(text, sizeof text, "%.2f", static_cast<double>(*member));
            return std::string(text);
        },
        [member](std::string_view text) {
            *member = ParseFloatPrefix(text);
            return true;
        },
        name, ParameterType::Float);
}

void CPictureLayer::addIntAccessor(std::string_view name, std::int32_t* member) {
    AddAccessorParameter(
        m_nextIdentifier++, [member] { return std::to_string(*member); },
        [member](std::string_view text) {
            *member = ParseIntPrefix(text);
            return true;
        },
        name, ParameterType::Int);
}

void CPictureLayer::addTextAccessor(std::string_view name, std::string* member) {
    AddAccessorParameter(
        m_nextIdentifier++, [member] { return *member; },
        [member](std::string_view text) {
            member->assign(text);
            return true;
        },
        name, ParameterType::Text);
}

void CPictureLayer::addPictureParameters(FlatPicture& picture, Registration registration) {
    if (registration == Registration::Accessors) {
        addTextAccessor("AlphaTexture", &picture.alphaTexture);
        addTextAccessor("Texture", &picture.texture);
        addFloatAccessor("XOffset", &picture.xOffset);
        addFloatAccessor("YOffset", &picture.yOffset);
        addFloatAccessor("XScale", &picture.xScale);
        addFloatAccessor("YScale", &picture.yScale);
        return;
    }
    AddTextParameter("AlphaTexture", &picture.alphaTexture);
    AddTextParameter("Texture", &picture.texture);
    AddFloatParameter("XOffset", &picture.xOffset);
    AddFloatParameter("YOffset", &picture.yOffset);
    AddFloatParameter("XScale", &picture.xScale);
    AddFloatParameter("YScale", &picture.yScale);
}

Texture* CPictureLayer::startWithPicture(const FlatPicture& picture) {
    startLayer();
    return holdPicture(picture.texture, picture.alphaTexture);
}

void CPictureLayer::startLayer() {
    CEnvelopeLayer::Start();
    m_savedState = std::make_unique<SavedLayerState>(module());
}

Texture* CPictureLayer::holdPicture(const std::string& file, const std::string& alphaFile) {
    if (file.empty()) {
        return nullptr;
    }
    Texture* texture = LoadTextureFile(module(), file, alphaFile);
    m_textures.push_back(texture);
    return texture;
}

Texture* CPictureLayer::holdPixels(const std::vector<std::uint8_t>& bgra, int width, int height) {
    Texture* texture = module().CreateTexture();
    texture->Upload(bgra.data(), width, height, true, true);
    m_textures.push_back(texture);
    return texture;
}

bool CPictureLayer::readPicture(const std::string& file, std::vector<std::uint8_t>& bgr, int& width,
                                int& height) {
    Texture* reader = module().CreateTexture();
    const bool read = reader->LoadImage(file, bgr, width, height);
    module().DestroyTexture(reader);
    return read && width > 0 && height > 0;
}

void CPictureLayer::beginFlat(Texture* texture, bool additive) {
    RenderModule& m = module();
    m.SetOrthographic(1.0f, 1.0f, 1.0f, -1.0f);
    m.SetWorldMatrix(Matrix4::Identity());
    if (texture) {
        m.SetColorOp(0, ColorOp::Modulate);
        m.SetColorArg1(0, ColorArg::Texture);
        m.SetAlphaOp(0, AlphaOp::Modulate);
        m.SetAlphaArg1(0, AlphaArg::Texture);
    } else {
        m.SetColorOp(0, ColorOp::SelectArg1);
        m.SetColorArg1(0, ColorArg::Diffuse);
        m.SetAlphaOp(0, AlphaOp::SelectArg1);
        m.SetAlphaArg1(0, AlphaArg::Diffuse);
    }
    m.SetColorArg2(0, ColorArg::Diffuse);
    m.SetAlphaArg2(0, AlphaArg::Diffuse);
    m.SetFogEnable(false);
    m.SetDepthTest(false);
    m.SetCullMode(CullMode::None);
    SetLayerBlend(m, additive);
    // Flat pictures take their colour from the vertices, unlit.
    m.SetLighting(false);
    m.SetTexture(0, texture);
}

void CPictureLayer::endFlat() {
    RenderModule& m = module();
    m.SetAlphaOp(0, AlphaOp::Disable);
    m.SetAlphaBlend(false);
    if (m_savedState) {
        m_savedState->Apply();
    }
}

void CPictureLayer::drawQuad(const QuadCorners& corners) {
    module().Draw(PrimitiveType::TriangleStrip, static_cast<int>(corners.size()), corners.data());
}

void CPictureLayer::drawPlacedQuad(const QuadPlace& place, std::uint32_t argb) {
    QuadCorners corners = UnitQuad();
    PlaceCorners(corners, corners, place);
    SetCornerColor(corners, argb);
    drawQuad(corners);
}

float CPictureLayer::aspect() const {
    return module().Aspect();
}

void AppendSprite(std::vector<RenderVertex>& vertices, std::vector<std::uint16_t>& indices, float x,
                  float y, float w, float h, std::uint32_t argb) {
    const auto base = static_cast<std::uint16_t>(vertices.size());
    vertices.push_back(FlatVertex(x - w, y + h, argb, 0.0f, 0.0f));
    vertices.push_back(FlatVertex(x + w, y + h, argb, 1.0f, 0.0f));
    vertices.push_back(FlatVertex(x - w, y - h, argb, 0.0f, 1.0f));
    vertices.push_back(FlatVertex(x + w, y - h, argb, 1.0f, 1.0f));
    const auto at = [base](int n) { return static_cast<std::uint16_t>(base + n); };
    indices.insert(indices.end(), {at(0), at(1), at(2), at(1), at(3), at(2)});
}

std::uint32_t GreyArgb(float alpha, float rgb) {
    const std::uint32_t a = AlphaByte(std::clamp(alpha, 0.0f, 1.0f) * 255.0f);
    const std::uint32_t c = AlphaByte(std::clamp(rgb, 0.0f, 1.0f) * 255.0f);
    return a << 24 | c << 16 | c << 8 | c;
}

std::uint32_t ColourArgb(float alpha, std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
    const std::uint32_t a = AlphaByte(std::clamp(alpha, 0.0f, 1.0f) * 255.0f);
    return a << 24 | std::uint32_t(red) << 16 | std::uint32_t(green) << 8 | blue;
}

}  // namespace vesta
