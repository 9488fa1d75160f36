#pragma once
// What the X server's screen shows: the pixels a viewer sees, so that a
// window's shape shows as well as its contents.

#include <cstdint>
#include <string>
#include <vector>

namespace vesta::test {

struct ScreenGrab {
    int left = 0, top = 0, width = 0, height = 0;  // screen pixels
    std::vector<std::uint8_t> rgb;                 // rows from the top

    // The pixel at screen offset (x, y) from (left, top).
    const std::uint8_t* At(int x, int y) const {
        return rgb.data() + (static_cast<std::size_t>(y) * width + x) * 3;
    }
};

// The rectangle must lie on the screen; empty pixels when there is no display.
ScreenGrab GrabScreen(int left, int top, int width, int height);

}  // namespace vesta::test
