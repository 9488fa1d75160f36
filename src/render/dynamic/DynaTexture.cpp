#include "render/dynamic/DynaTexture.h"

#include <cstring>

#include "platform/Clock.h"
#include "render/RenderModule.h"
#include "script/TextNumbers.h"

namespace vesta {

DynaTexture::DynaTexture(Texture& texture) : m_texture(texture) {}

DynaTexture::~DynaTexture() = default;

bool DynaTexture::Set(std::string_view name, std::string_view value) {
    if (name == "UpdateInterval") {
        m_updateInterval = ParseFloatPrefix(value);
        return true;
    }
    return false;
}

void DynaTexture::Update() {
    const double now = TimeNow();
    if (now < m_lastUpdate + m_updateInterval) {
        return;
    }
    m_lastUpdate = now;
    drawFrame(now);
}

PaletteDynaTexture::PaletteDynaTexture(Texture& texture)
    : DynaTexture(texture), m_width(texture.Width()), m_height(texture.Height()),
      m_palette(texture.BitsPerPixel(), texture.Module().RedMask()),
      m_indices(static_cast<std::size_t>(m_width) * m_height, 0) {
    m_palette.SetDefault();
}

bool PaletteDynaTexture::Set(std::string_view name, std::string_view value) {
    if (name == "Palette") {
        m_palette.SetFromText(value);
        return true;
    }
    return DynaTexture::Set(name, value);
}

void PaletteDynaTexture::present(const std::vector<std::uint8_t>& indices) {
    Texture& texture = target();
    std::uint8_t* pixels = texture.LockPixels(0);
    const bool wide = m_palette.BitsPerPixel() != 16;
    for (int y = 0; y < m_height; ++y) {
        std::uint8_t* row = pixels + static_cast<std::size_t>(y) * texture.Pitch();
        const std::uint8_t* index = &indices[static_cast<std::size_t>(y) * m_width];
        if (wide) {
            // The device keeps an alpha byte where the palette has none:
            // the picture is opaque.
            for (int x = 0; x < m_width; ++x) {
                const std::uint32_t texel = m_palette[index[x]] | 0xFF000000u;
                std::memcpy(row + x * 4, &texel, 4);
            }
        } else {
            for (int x = 0; x < m_width; ++x) {
                const auto texel = static_cast<std::uint16_t>(m_palette[index[x]]);
                std::memcpy(row + x * 2, &texel, 2);
            }
        }
    }
    texture.UnlockPixels();
}

}  // namespace vesta
