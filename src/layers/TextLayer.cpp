#include "layers/TextLayer.h"

#include <algorithm>
#include <cmath>
#include <memory>

#include "fs/DataFile.h"
#include "layers/LayerMath.h"
#include "log/Log.h"
#include "render/GlyphAtlas.h"
#include "render/RenderModule.h"
#include "script/TextNumbers.h"
#include "timeline/LayerFactory.h"

namespace vesta {

VESTA_REGISTER_LAYER(9, "TextLayer", CTextLayer);

namespace {

// The system font, as the render module's printer draws it, rasterised
// large enough to be scaled up; built once for the process. Null when the
// machine has no such font.
const GlyphAtlas* textAtlas() {
    static const std::unique_ptr<GlyphAtlas> atlas = [] {
        std::string error;
        auto built = BuildGlyphAtlas(MatchFontFile("Arial"), 48, error);
        if (!built) {
            WarnPrintf("Warning : text layers print with the small font: %s", error.c_str());
            return std::unique_ptr<GlyphAtlas>();
        }
        return std::make_unique<GlyphAtlas>(std::move(*built));
    }();
    return atlas.get();
}

}  // namespace

CTextLayer::CTextLayer(RenderModule* context, const std::vector<CLayerOperation>* children)
    : CPictureLayer(context, children) {
    addTextAccessor("BlurryMap", &m_blurryMap);
    AddAccessorParameter(
        1000, [this] { return std::to_string(m_effect); },
        [this](std::string_view text) {
            // Another number keeps the effect in use.
            const std::int32_t effect = ParseIntPrefix(text);
            if (effect >= 0 && effect < kEffectCount) {
                m_effect = effect;
            }
            return true;
        },
        "Effect", ParameterType::Int);
    AddIntParameter("AlphaType", &m_alphaType);
    AddTextParameter("AlphaTexture", &m_alphaTexture);
    AddTextParameter("Texture", &m_texture);
    AddTextParameter("Text", &m_text);
    AddTextParameter("AlphaBlurMap", &m_alphaBlurMap);
    AddFloatParameter("XOffset", &m_placement.xOffset);
    AddFloatParameter("YOffset", &m_placement.yOffset);
    AddFloatParameter("ZOffset", &m_zOffset);
    AddFloatParameter("XOffsetStart", &m_placement.xOffsetStart);
    AddFloatParameter("YOffsetStart", &m_placement.yOffsetStart);
    AddFloatParameter("ZOffsetStart", &m_zOffsetStart);
    AddFloatParameter("XOffsetEnd", &m_placement.xOffsetEnd);
    AddFloatParameter("YOffsetEnd", &m_placement.yOffsetEnd);
    AddFloatParameter("ZOffsetEnd", &m_zOffsetEnd);
    AddFloatParameter("XScaleStart", &m_placement.xScaleStart);
    AddFloatParameter("YScaleStart", &m_placement.yScaleStart);
    AddFloatParameter("XScaleEnd", &m_placement.xScaleEnd);
    AddFloatParameter("YScaleEnd", &m_placement.yScaleEnd);
    AddFloatParameter("XScale", &m_placement.xScale);
    AddFloatParameter("YScale", &m_placement.yScale);
    AddFloatParameter("Tracking", &m_tracking);
    AddBoolParameter("Center", &m_center);
    AddBoolParameter("Loop", &m_loop);
    AddTextParameter("File", &m_file);
    SetDefaultName(RandomLayerName("Gfx Text Layer"));
}

void CTextLayer::Start() {
    startLayer();
    m_atlas = textAtlas();
    if (m_atlas) {
        std::vector<std::uint8_t> bgra(m_atlas->coverage.size() * 4, 255);
        for (std::size_t n = 0; n < m_atlas->coverage.size(); ++n) {
            bgra[n * 4 + 3] = m_atlas->coverage[n];
        }
        m_glyphs = holdPixels(bgra, m_atlas->width, m_atlas->height);
    }
    m_fill = holdPicture(m_texture, m_alphaTexture);
    m_glow = holdPicture(m_blurryMap, m_alphaBlurMap);
    loadSample();
}

void CTextLayer::loadSample() {
    SoundSystem* sound = module().GetSoundSystem();
    if (m_file.empty() || !sound) {
        return;
    }
    DataFile file(m_file);
    if (!file.IsOpen()) {
        RaiseError("Cannot open file [%s]", m_file.c_str());
    }
    std::string whyNot;
    m_sample = sound->SampleLoad({file.Data(), file.Size()}, 1,
                                 kSound3D | (m_loop ? kSoundLoop : 0u), &whyNot);
    if (!m_sample) {
        RaiseError("Unknown SoundSystem error. [%s]: %s", m_file.c_str(), whyNot.c_str());
    }
    SampleInfo info;
    sound->SampleGetInfo(m_sample, info);
    info.minDistance = 1.0f;
    info.maxDistance = 40.0f;
    sound->SampleSetInfo(m_sample, info);
}

void CTextLayer::Release() {
    if (SoundSystem* sound = module().GetSoundSystem()) {
        if (m_channel) {
            sound->ChannelStop(m_channel);
        }
        if (m_sample) {
            sound->SampleFree(m_sample);
        }
    }
    m_channel = 0;
    m_sample = 0;
    CPictureLayer::Release();
}

std::vector<CTextLayer::Letter> CTextLayer::Layout(float& width, float& height) const {
    std::vector<Letter> letters;
    width = 0.0f;
    height = 0.0f;
    if (!m_atlas || m_atlas->lineHeight <= 0) {
        return letters;
    }
    const float line = static_cast<float>(m_atlas->lineHeight);
    float pen = 0.0f;
    float baseline = static_cast<float>(m_atlas->ascent);
    for (const char c : m_text) {
        if (c == '\n') {
            pen = 0.0f;
            baseline += line;
            continue;
        }
        const GlyphAtlas::Glyph* g = m_atlas->Find(c);
        if (!g) {
            continue;
        }
        if (g->width > 0 && g->height > 0 && letters.size() < kMostLetters) {
            const float x0 = pen + static_cast<float>(g->left);
            const float y0 = baseline - static_cast<float>(g->top);
            const float aw = static_cast<float>(m_atlas->width);
            const float ah = static_cast<float>(m_atlas->height);
            letters.push_back({x0 / line, y0 / line, (x0 + g->width) / line,
                               (y0 + g->height) / line, g->x / aw, g->y / ah,
                               (g->x + g->width) / aw, (g->y + g->height) / ah});
        }
        pen += static_cast<float>(g->advance) + m_tracking * line;
        width = std::max(width, pen / line);
    }
    height = (baseline - static_cast<float>(m_atlas->ascent)) / line + 1.0f;
    return letters;
}

void CTextLayer::toScreen(float lx, float ly, float& x, float& y) const {
    const float size = kLineHeight * m_depthScale;
    x = m_place.tx * m_depthScale + (lx - m_originX) * size * m_place.sx * module().Aspect();
    y = m_place.ty * m_depthScale - (ly - m_originY) * size * m_place.sy;
}

float CTextLayer::letterAlpha(std::size_t n, std::size_t count) const {
    const float i = Intensity();
    if (m_effect != 1) {
        return i;
    }
    return std::clamp(i * static_cast<float>(count) - static_cast<float>(n), 0.0f, 1.0f);
}

void CTextLayer::draw() {
    const float i = Intensity();
    const bool falling = Age() >= GetEnvelope().StableEnd();
    m_place = EnvelopePlace(m_placement, i, falling);
    const float k = falling ? i - 1.0f : 1.0f - i;
    const float z = m_zOffset + k * (falling ? m_zOffsetEnd : m_zOffsetStart);
    m_depthScale = 2.0f / std::max(0.2f, 2.0f + z);

    float width = 0.0f, height = 0.0f;
    const std::vector<Letter> letters = Layout(width, height);
    m_originX = m_center ? width * 0.5f : 0.0f;
    m_originY = m_center ? height * 0.5f : 0.0f;
    float cx = 0.0f, cy = 0.0f;
    toScreen(width * 0.5f, height * 0.5f, cx, cy);
    placeSound(cx, cy, z);
    if (!m_atlas) {
        printWithoutAtlas(m_place.tx, m_place.ty);
        return;
    }
    if (letters.empty()) {
        return;
    }

    const bool additive = m_alphaType == 1;
    if (m_glow) {
        m_vertices.clear();
        m_indices.clear();
        for (std::size_t n = 0; n < letters.size(); ++n) {
            const Letter& l = letters[n];
            float x0, y0, x1, y1;
            toScreen(l.x0 - 0.25f, l.y0 - 0.25f, x0, y0);
            toScreen(l.x1 + 0.25f, l.y1 + 0.25f, x1, y1);
            AppendSprite(m_vertices, m_indices, (x0 + x1) * 0.5f, (y0 + y1) * 0.5f,
                         (x1 - x0) * 0.5f, (y0 - y1) * 0.5f,
                         GreyArgb(0.0f, 0.4f * letterAlpha(n, letters.size())));
        }
        beginFlat(m_glow, true);
        module().DrawIndexed(PrimitiveType::TriangleList, m_vertices, m_indices);
        endFlat();
    }

    m_vertices.clear();
    m_indices.clear();
    for (std::size_t n = 0; n < letters.size(); ++n) {
        const Letter& l = letters[n];
        const float bob = m_effect == 2 ? 0.15f * std::sin(4.0f * Age() - 0.7f * n) : 0.0f;
        float x0, y0, x1, y1;
        toScreen(l.x0, l.y0 + bob, x0, y0);
        toScreen(l.x1, l.y1 + bob, x1, y1);
        const std::uint32_t colour = GreyArgb(letterAlpha(n, letters.size()), 1.0f);
        const auto base = static_cast<std::uint16_t>(m_vertices.size());
        // Texture set 1 runs across the whole text, for the fill picture.
        const auto corner = [&](float x, float y, float u, float v, float lx, float ly) {
            RenderVertex vertex = FlatVertex(x, y, colour, u, v);
            vertex.u1 = width > 0.0f ? lx / width : 0.0f;
            vertex.v1 = height > 0.0f ? ly / height : 0.0f;
            m_vertices.push_back(vertex);
        };
        corner(x0, y0, l.u0, l.v0, l.x0, l.y0);
        corner(x1, y0, l.u1, l.v0, l.x1, l.y0);
        corner(x0, y1, l.u0, l.v1, l.x0, l.y1);
        corner(x1, y1, l.u1, l.v1, l.x1, l.y1);
        const auto at = [base](int d) { return static_cast<std::uint16_t>(base + d); };
        m_indices.insert(m_indices.end(), {at(0), at(1), at(2), at(1), at(3), at(2)});
    }
    RenderModule& m = module();
    beginFlat(m_glyphs, false);
    if (additive) {
        // The coverage still shapes the letters; only the background is kept.
        m.SetSrcBlend(BlendFactor::SrcAlpha);
        m.SetDestBlend(BlendFactor::One);
    }
    if (m_fill) {
        m.SetTexture(1, m_fill);
        m.SetTextureCoordIndex(1, 1);
        m.SetColorOp(1, ColorOp::Modulate);
        m.SetColorArg1(1, ColorArg::Texture);
        m.SetColorArg2(1, ColorArg::Current);
        m.SetAlphaOp(1, AlphaOp::Modulate);
        m.SetAlphaArg1(1, AlphaArg::Texture);
        m.SetAlphaArg2(1, AlphaArg::Current);
    }
    m.DrawIndexed(PrimitiveType::TriangleList, m_vertices, m_indices);
    if (m_fill) {
        m.SetColorOp(1, ColorOp::Disable);
        m.SetAlphaOp(1, AlphaOp::Disable);
        m.SetTexture(1, nullptr);
        m.SetTextureCoordIndex(1, 1);
    }
    endFlat();
}

void CTextLayer::printWithoutAtlas(float x, float y) {
    Font* font = module().GetFont("TextLayer");
    const auto pixel = [](float f, int size) {
        return static_cast<unsigned>(std::clamp(f, 0.0f, 1.0f) * static_cast<float>(size));
    };
    font->Print(0, pixel(x + 0.5f, module().BackBufferWidth()),
                pixel(0.5f - y, module().BackBufferHeight()), "%s", m_text.c_str());
}

void CTextLayer::placeSound(float x, float y, float z) {
    SoundSystem* sound = module().GetSoundSystem();
    if (!m_sample || !sound) {
        return;
    }
    if (!m_channel) {
        m_channel = sound->SamplePlay3D(m_sample);
    }
    sound->ChannelSetAttributes(m_channel, kFrequencyUnchanged,
                                static_cast<int>(std::lround(Intensity() * 100.0f)), kPanUnchanged);
    const SoundVector listener{0.0f, 0.0f, -kListenerDistance};
    const SoundVector still{};
    const SoundVector front{0.0f, 0.0f, 1.0f};
    const SoundVector top{0.0f, 1.0f, 0.0f};
    sound->Set3DPosition(&listener, &still, &front, &top);
    // The screen is two units wide: x and y of the flat screen times two.
    const SoundVector where{x * 2.0f, y * 2.0f, z};
    sound->ChannelSet3DPosition(m_channel, &where, &still, &still);
    sound->Apply3D();
}

}  // namespace vesta
