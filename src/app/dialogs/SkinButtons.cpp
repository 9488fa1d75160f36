#include "app/dialogs/SkinButtons.h"

#include <algorithm>

namespace vesta {

std::optional<SkinRect> FindKeyRectangle(const std::vector<std::uint8_t>& rgb, int width,
                                         int height, std::uint32_t key) {
    const std::uint8_t red = (key >> 16) & 0xFF, green = (key >> 8) & 0xFF, blue = key & 0xFF;
    std::optional<SkinRect> found;
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* row = rgb.data() + static_cast<std::size_t>(y) * width * 3;
        for (int x = 0; x < width; ++x) {
            const std::uint8_t* pixel = row + static_cast<std::size_t>(x) * 3;
            if (pixel[0] != red || pixel[1] != green || pixel[2] != blue) {
                continue;
            }
            if (!found) {
                found = SkinRect{x, y, x, y};
            }
            found->left = std::min(found->left, x);
            found->right = std::max(found->right, x);
            found->bottom = y;
        }
    }
    return found;
}

SkinButtonSet::SkinButtonSet(const std::array<SkinRect, kSkinButtonCount>& places,
                             const SkinStoredChoices& stored) {
    for (std::size_t i = 0; i < m_buttons.size(); ++i) {
        m_buttons[i].place = places[i];
    }
    const int resolution = stored.resolution >= 0 && stored.resolution <= 2 ? stored.resolution : 0;
    const int depth = stored.pixelDepth == 1 ? 1 : 0;
    m_buttons[index(SkinButton::Res640) + resolution].selected = true;
    m_buttons[index(SkinButton::Depth16) + depth].selected = true;
    m_buttons[index(SkinButton::FullScreen)].selected = stored.fullScreen;
}

SkinPictureKind SkinButtonSet::Shown(SkinButton button) const {
    const State& state = m_buttons[index(button)];
    if (state.selected) {
        return SkinPictureKind::Enabled;
    }
    return state.hover ? SkinPictureKind::Hover : SkinPictureKind::Disabled;
}

bool SkinButtonSet::PointAt(int x, int y) {
    bool changed = false;
    for (State& state : m_buttons) {
        const bool hover = state.place.HoldsInside(x, y);
        changed = changed || hover != state.hover;
        state.hover = hover;
    }
    return changed;
}

std::optional<SkinButton> SkinButtonSet::Hovered() const {
    for (std::size_t i = 0; i < m_buttons.size(); ++i) {
        if (m_buttons[i].hover) {
            return static_cast<SkinButton>(i);
        }
    }
    return std::nullopt;
}

void SkinButtonSet::selectOnly(SkinButton button, SkinButton first, SkinButton last) {
    for (std::size_t i = index(first); i <= index(last); ++i) {
        m_buttons[i].selected = i == index(button);
    }
}

SkinButtonSet::Reaction SkinButtonSet::Click(SkinButton button) {
    State& state = m_buttons[index(button)];
    const bool radio = index(button) <= index(SkinButton::Depth32);
    if (state.selected) {
        // The resolution and depth buttons stay chosen, the rest toggle off.
        state.selected = radio;
        return Reaction::None;
    }
    state.selected = true;
    switch (button) {
    case SkinButton::Res640:
    case SkinButton::Res800:
    case SkinButton::Res1024:
        selectOnly(button, SkinButton::Res640, SkinButton::Res1024);
        return Reaction::None;
    case SkinButton::Depth16:
    case SkinButton::Depth32:
        selectOnly(button, SkinButton::Depth16, SkinButton::Depth32);
        return Reaction::None;
    case SkinButton::Start:
    case SkinButton::Quit:
        return Reaction::Close;
    case SkinButton::VestaWS:
        state.selected = false;
        return Reaction::OpenWebSite;
    case SkinButton::FullScreen:
        return Reaction::None;
    }
    return Reaction::None;
}

SkinButtonSet::Reaction SkinButtonSet::StartKey() {
    m_buttons[index(SkinButton::Start)].selected = true;
    return Reaction::Close;
}

SkinButtonSet::Reaction SkinButtonSet::QuitKey() {
    m_buttons[index(SkinButton::Start)].selected = false;
    m_buttons[index(SkinButton::Quit)].selected = true;
    return Reaction::Close;
}

SkinStoredChoices SkinButtonSet::Stored() const {
    SkinStoredChoices stored;
    stored.resolution = Selected(SkinButton::Res1024) ? 2 : Selected(SkinButton::Res800) ? 1 : 0;
    stored.pixelDepth = Selected(SkinButton::Depth32) ? 1 : 0;
    stored.fullScreen = Selected(SkinButton::FullScreen);
    return stored;
}

SkinChoice SkinButtonSet::Choice() const {
    static constexpr int kWidths[] = {640, 800, 1024};
    static constexpr int kHeights[] = {480, 600, 768};
    const SkinStoredChoices stored = Stored();
    SkinChoice choice;
    choice.started = Selected(SkinButton::Start);
    choice.width = kWidths[stored.resolution];
    choice.height = kHeights[stored.resolution];
    choice.depth = stored.pixelDepth == 1 ? 32 : 16;
    choice.fullScreen = stored.fullScreen;
    return choice;
}

}  // namespace vesta
