#include "layers/WaterTextLayer.h"

#include <algorithm>
#include <cmath>

#include "layers/LayerMath.h"
#include "log/Log.h"
#include "render/RenderModule.h"
#include "script/TextNumbers.h"
#include "sound/SoundSystem.h"
#include "timeline/LayerFactory.h"

namespace vesta {

VESTA_REGISTER_LAYER(4, "WaterText", CWaterTextLayer);

namespace {

// How much of the wave each step keeps: ripples die out in about a second.
constexpr float kDamping = 1.0f - 1.0f / 32.0f;
// Texture coordinates moved per unit of slope between two vertices.
constexpr float kRefraction = 0.04f;

std::vector<std::string> splitList(const std::string& list) {
    std::vector<std::string> items;
    std::size_t start = 0;
    while (start <= list.size()) {
        const std::size_t comma = std::min(list.find(',', start), list.size());
        const std::string item(TrimBlanks(std::string_view(list).substr(start, comma - start)));
        if (!item.empty()) {
            items.push_back(item);
        }
        start = comma + 1;
    }
    return items;
}

}  // namespace

CWaterTextLayer::CWaterTextLayer(RenderModule* context,
                                 const std::vector<CLayerOperation>* children)
    : CPictureLayer(context, children) {
    addTextAccessor("TextureFile", &m_textureFile);
    addTextAccessor("EnvMapFile", &m_envMapFile);
    addTextAccessor("TextMapList", &m_textMapList);
    addFloatAccessor("UpdateInterval", &m_updateInterval);
    AddTextParameter("AlphaTexture", &m_alphaTexture);
    AddIntParameter("Effect", &m_effect);
    AddFloatParameter("WaterInterval", &m_waterInterval);
    AddFloatParameter("SoundTrigLevel", &m_soundTrigLevel);
    AddFloatParameter("SoundAttenuate", &m_soundAttenuate);
}

void CWaterTextLayer::Start() {
    startLayer();
    m_picture = holdPicture(m_textureFile, m_alphaTexture);
    m_environment = holdPicture(m_envMapFile, "");
    m_height.assign(m_grid.rest.size(), 0.0f);
    m_previous = m_height;
    loadTextMaps();
    m_steps = 0;
    m_drops = 0;
    m_nextDrop = m_waterInterval;
}

void CWaterTextLayer::loadTextMaps() {
    m_textMaps.clear();
    for (const std::string& file : splitList(m_textMapList)) {
        std::vector<std::uint8_t> bgr;
        int width = 0, height = 0;
        if (!readPicture(file, bgr, width, height)) {
            WarnPrintf("Warning : %s cannot read the text map [%s]", Describe().c_str(),
                       file.c_str());
            continue;
        }
        std::vector<float> map(m_grid.rest.size());
        for (int r = 0; r <= kRows; ++r) {
            for (int c = 0; c <= kColumns; ++c) {
                const int x = std::min(width - 1, c * width / kColumns);
                const int y = std::min(height - 1, r * height / kRows);
                const std::uint8_t* p = &bgr[static_cast<std::size_t>(y * width + x) * 3];
                map[m_grid.Index(c, r)] = (p[0] + p[1] + p[2]) / (3.0f * 255.0f);
            }
        }
        m_textMaps.push_back(std::move(map));
    }
}

void CWaterTextLayer::Drop(int column, int row, float depth) {
    ++m_drops;
    for (int r = row - 2; r <= row + 2; ++r) {
        for (int c = column - 2; c <= column + 2; ++c) {
            if (c <= 0 || r <= 0 || c >= kColumns || r >= kRows) {
                continue;
            }
            const float d = std::hypot(static_cast<float>(c - column), static_cast<float>(r - row));
            if (d <= 2.0f) {
                m_height[m_grid.Index(c, r)] -= depth * (1.0f - d / 2.5f);
            }
        }
    }
}

void CWaterTextLayer::triggerDrops() {
    const auto dropSomewhere = [this](float depth) {
        Drop(2 + static_cast<int>(RandomUnit() * (kColumns - 4)),
             2 + static_cast<int>(RandomUnit() * (kRows - 4)), depth);
    };
    if (m_waterInterval > 0.0f) {
        // Never more than a few at once, whatever the frame's length.
        for (int n = 0; n < 4 && Age() >= m_nextDrop; ++n) {
            dropSomewhere(kDropDepth);
            m_nextDrop += m_waterInterval;
        }
        m_nextDrop = std::max(m_nextDrop, Age());
    }
    SoundSystem* sound = module().GetSoundSystem();
    if (m_soundTrigLevel > 0.0f && sound) {
        const float level = static_cast<float>(sound->CurrentLevel().mean) / kMaxSoundLevel;
        const bool above = level >= m_soundTrigLevel;
        if (above && !m_aboveTrigger) {
            dropSomewhere(kDropDepth * level * m_soundAttenuate);
        }
        m_aboveTrigger = above;
    }
}

void CWaterTextLayer::pressTextMap() {
    if (m_textMaps.empty()) {
        return;
    }
    std::size_t which = 0;
    if (m_updateInterval > 0.0f) {
        which = static_cast<std::size_t>(Age() / m_updateInterval) % m_textMaps.size();
    }
    const std::vector<float>& map = m_textMaps[which];
    for (std::size_t n = 0; n < map.size(); ++n) {
        if (map[n] > 0.5f) {
            m_height[n] += (map[n] * kTextHeight - m_height[n]) * 0.2f;
        }
    }
}

void CWaterTextLayer::step() {
    pressTextMap();
    for (int r = 1; r < kRows; ++r) {
        for (int c = 1; c < kColumns; ++c) {
            const std::size_t n = m_grid.Index(c, r);
            const float around = m_height[n - 1] + m_height[n + 1] +
                                 m_height[m_grid.Index(c, r - 1)] +
                                 m_height[m_grid.Index(c, r + 1)];
            m_previous[n] = (around * 0.5f - m_previous[n]) * kDamping;
        }
    }
    std::swap(m_height, m_previous);
}

void CWaterTextLayer::shapeSurface() {
    const bool shine = m_effect == 1 && m_environment;
    const float i = Intensity();
    for (int r = 0; r <= kRows; ++r) {
        for (int c = 0; c <= kColumns; ++c) {
            const auto h = [&](int cc, int rr) {
                return HeightAt(std::clamp(cc, 0, kColumns), std::clamp(rr, 0, kRows));
            };
            const float sx = h(c + 1, r) - h(c - 1, r);
            const float sy = h(c, r - 1) - h(c, r + 1);
            const std::size_t n = m_grid.Index(c, r);
            RenderVertex& v = m_grid.vertices[n];
            v.u0 = m_grid.rest[n].u0 + sx * kRefraction;
            v.v0 = m_grid.rest[n].v0 - sy * kRefraction;
            // Light from the top left.
            v.diffuse = GreyArgb(i, 0.7f + 0.3f * std::clamp(sy - sx, -1.0f, 1.0f));
            if (shine) {
                RenderVertex& s = m_shine.vertices[n];
                s.u0 = std::clamp(0.5f + sx * 0.15f, 0.0f, 1.0f);
                s.v0 = std::clamp(0.5f - sy * 0.15f, 0.0f, 1.0f);
                s.diffuse = GreyArgb(0.0f, i * std::min(1.0f, std::hypot(sx, sy)));
            }
        }
    }
}

void CWaterTextLayer::draw() {
    triggerDrops();
    const long target = static_cast<long>(Age() * kStepsPerSecond);
    const long due = std::min<long>(target - m_steps, kMostStepsPerFrame);
    for (long n = 0; n < due; ++n) {
        step();
    }
    m_steps = std::max(m_steps, target);
    shapeSurface();
    beginFlat(m_picture, false);
    m_grid.Draw(module());
    endFlat();
    if (m_effect == 1 && m_environment) {
        beginFlat(m_environment, true);
        m_shine.Draw(module());
        endFlat();
    }
}

}  // namespace vesta
