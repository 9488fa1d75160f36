#pragma once
// The pictures of the skinned startup dialog, read as the configuration's
// "SimpleStartup" element names them: the background (0xFF00FF where the
// window is cut away), the colour-keyed button map, and three pictures per
// button. Every fault is a CAppError naming the element or the file.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "app/dialogs/SkinButtons.h"

namespace AdvXMLParser {
class XmlElement;
}

namespace vesta {

// RGB rows, top row first.
struct SkinPicture {
    int width = 0, height = 0;
    std::vector<std::uint8_t> rgb;
};

inline constexpr std::uint32_t kSkinCutColour = 0xFF00FF;

struct StartupSkin {
    SkinPicture background;
    std::array<SkinRect, kSkinButtonCount> places;
    // Enabled, Disabled, Hover for each button, each of its place's size.
    std::array<std::array<SkinPicture, 3>, kSkinButtonCount> pictures;

    const SkinPicture& Picture(SkinButton button, SkinPictureKind kind) const {
        return pictures[static_cast<std::size_t>(button)][static_cast<std::size_t>(kind)];
    }
};

// Reads the skin through the file system.
StartupSkin LoadStartupSkin(const AdvXMLParser::XmlElement& element);

// A key colour as written in the configuration: hexadecimal, "0x" allowed;
// 0 when nothing is read.
std::uint32_t ParseKeyColour(const std::string& text);

// The background with each button's current picture on it.
std::vector<std::uint8_t> ComposeSkin(const StartupSkin& skin, const SkinButtonSet& buttons);

}  // namespace vesta
