#pragma once
// The nine picture buttons of the skinned startup dialog, apart from any
// window: where each one lies, which are selected, which picture each shows,
// and what a click or a key does to them.

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

namespace vesta {

// Inclusive pixel bounds in the background's coordinates.
struct SkinRect {
    int left = 0, top = 0, right = 0, bottom = 0;
    int Width() const { return right - left + 1; }
    int Height() const { return bottom - top + 1; }
    // Strictly inside: the border pixels belong to no button's hover.
    bool HoldsInside(int x, int y) const { return left < x && x < right && top < y && y < bottom; }
};

enum class SkinButton {
    Res640,
    Res800,
    Res1024,
    Depth16,
    Depth32,
    FullScreen,
    Start,
    Quit,
    VestaWS
};
inline constexpr int kSkinButtonCount = 9;
// The configuration's element names, in button order.
inline constexpr std::array<const char*, kSkinButtonCount> kSkinButtonNames = {
    "Res640", "Res800", "Res1024", "Depth16", "Depth32", "FullScreen", "Start", "Quit", "VestaWS"};

enum class SkinPictureKind { Enabled, Disabled, Hover };

// The bounds of the pixels of colour `key` (0x00RRGGBB) in RGB rows, top row
// first; nullopt when the colour does not occur.
std::optional<SkinRect> FindKeyRectangle(const std::vector<std::uint8_t>& rgb, int width,
                                         int height, std::uint32_t key);

// What the dialog remembers between runs; out-of-range values read as defaults.
struct SkinStoredChoices {
    int resolution = 0;  // 0: 640 x 480, 1: 800 x 600, 2: 1024 x 768
    int pixelDepth = 0;  // 0: 16 bits, 1: 32 bits
    bool fullScreen = true;
};

struct SkinChoice {
    bool started = false;
    int width = 640, height = 480, depth = 16;
    bool fullScreen = true;
};

class SkinButtonSet {
public:
    enum class Reaction { None, Close, OpenWebSite };

    SkinButtonSet(const std::array<SkinRect, kSkinButtonCount>& places,
                  const SkinStoredChoices& stored);

    const SkinRect& Place(SkinButton button) const { return m_buttons[index(button)].place; }
    bool Selected(SkinButton button) const { return m_buttons[index(button)].selected; }
    SkinPictureKind Shown(SkinButton button) const;

    // The pointer moved to (x, y); true when a hover flag changed.
    bool PointAt(int x, int y);
    // The button the pointer is over, if any.
    std::optional<SkinButton> Hovered() const;
    Reaction Click(SkinButton button);
    // Enter and Space start, Escape quits.
    Reaction StartKey();
    Reaction QuitKey();

    SkinChoice Choice() const;
    SkinStoredChoices Stored() const;

private:
    struct State {
        SkinRect place;
        bool selected = false;
        bool hover = false;
    };
    static std::size_t index(SkinButton button) { return static_cast<std::size_t>(button); }
    void selectOnly(SkinButton button, SkinButton first, SkinButton last);

    std::array<State, kSkinButtonCount> m_buttons;
};

}  // namespace vesta
