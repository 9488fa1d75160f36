#include "timeline/LoadingScreen.h"

#include <cstdlib>

#include "render/RenderModule.h"
#include "script/TextNumbers.h"

namespace vesta {
namespace {

std::vector<std::string> splitAt(const std::string& text, char separator) {
    std::vector<std::string> pieces;
    std::size_t start = 0;
    for (;;) {
        const std::size_t at = text.find(separator, start);
        pieces.push_back(text.substr(start, at - start));
        if (at == std::string::npos) {
            return pieces;
        }
        start = at + 1;
    }
}

Texture* loadTexture(RenderModule& renderModule, const std::string& file) {
    Texture* texture = renderModule.CreateTexture();
    if (texture) {
        texture->LoadOrRaise(std::string(TrimBlanks(file)));
    }
    return texture;
}

}  // namespace

LoadingScreen::LoadingScreen(RenderModule& renderModule, std::string picture, std::string animation)
    : m_renderModule(renderModule), m_pictureText(std::move(picture)),
      m_animationText(std::move(animation)) {}

LoadingScreen::~LoadingScreen() {
    if (m_picture) {
        m_renderModule.ReleaseTexture(m_picture);
    }
    for (const Frame& frame : m_frames) {
        if (frame.texture) {
            m_renderModule.ReleaseTexture(frame.texture);
        }
    }
}

void LoadingScreen::load() {
    m_loaded = true;
    const std::vector<std::string> pieces = splitAt(m_pictureText, ',');
    m_picture = loadTexture(m_renderModule, pieces[0]);
    if (pieces.size() > 1) {
        m_scaleX = ParseFloatPrefix(pieces[1]);
    }
    if (pieces.size() > 2) {
        m_scaleY = ParseFloatPrefix(pieces[2]);
    }
    if (m_animationText.empty()) {
        return;
    }
    for (const std::string& frameText : splitAt(m_animationText, ';')) {
        const std::vector<std::string> fields = splitAt(frameText, ',');
        if (fields.size() != 5) {
            continue;
        }
        m_frames.push_back({loadTexture(m_renderModule, fields[0]), ParseFloatPrefix(fields[1]),
                            ParseFloatPrefix(fields[2]), ParseFloatPrefix(fields[3]),
                            ParseFloatPrefix(fields[4])});
    }
}

void ModuleFrames::ShowFrame(const std::function<void()>& draw) {
    m_renderModule.BeginFrame();
    draw();
    m_renderModule.EndFrame();
    m_renderModule.Present(0);
    m_renderModule.Clear(0);
}

void LoadingScreen::Draw(FrameOwner& frames) {
    if (m_pictureText.empty()) {
        return;
    }
    if (!m_loaded) {
        load();
    }
    m_renderModule.SetOrthographic(1.0f, 1.0f, 1.0f, -1.0f);
    m_renderModule.SetLighting(false);
    m_renderModule.SetAlphaBlend(false);
    m_renderModule.SetDepthTest(false);
    frames.ShowFrame([this] { drawPictures(); });
}

void LoadingScreen::drawPictures() {
    drawQuad(m_picture, 0.0f, 0.0f, m_scaleX / 2, m_scaleY / 2);
    // A single frame has no other to change to; it simply stays.
    if (m_animationText.size() > 1 && !m_frames.empty()) {
        const Frame& frame = m_frames[m_shown];
        drawQuad(frame.texture, frame.x, frame.y, frame.width / 2, frame.height / 2);
        if (m_frames.size() > 1) {
            std::size_t next = m_shown;
            while (next == m_shown) {
                next = static_cast<std::size_t>(std::rand()) % m_frames.size();
            }
            m_shown = next;
        }
    }
}

// Texture coordinates stop 0.002 short of the borders so that they do not bleed.
void LoadingScreen::drawQuad(Texture* texture, float x, float y, float halfWidth,
                             float halfHeight) {
    const std::uint32_t white = 0xFFFFFFFFu;
    const RenderVertex vertices[4] = {
        {x + halfWidth, y - halfHeight, 0, 0, 0, 0, white, 0.998f, 0.998f, 0, 0},
        {x + halfWidth, y + halfHeight, 0, 0, 0, 0, white, 0.998f, 0.002f, 0, 0},
        {x - halfWidth, y - halfHeight, 0, 0, 0, 0, white, 0.002f, 0.998f, 0, 0},
        {x - halfWidth, y + halfHeight, 0, 0, 0, 0, white, 0.002f, 0.002f, 0, 0},
    };
    m_renderModule.SetTexture(0, texture);
    m_renderModule.Draw(PrimitiveType::TriangleStrip, 4, vertices);
}

}  // namespace vesta
