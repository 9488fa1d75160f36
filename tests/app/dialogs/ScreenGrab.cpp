#include "ScreenGrab.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace vesta::test {

ScreenGrab GrabScreen(int left, int top, int width, int height) {
    ScreenGrab grab{left, top, width, height, {}};
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        return grab;
    }
    XImage* image =
        XGetImage(display, DefaultRootWindow(display), left, top, static_cast<unsigned>(width),
                  static_cast<unsigned>(height), AllPlanes, ZPixmap);
    for (int row = 0; image && row < height; ++row) {
        for (int column = 0; column < width; ++column) {
            const unsigned long pixel = XGetPixel(image, column, row);
            grab.rgb.push_back(static_cast<std::uint8_t>((pixel >> 16) & 0xFF));
            grab.rgb.push_back(static_cast<std::uint8_t>((pixel >> 8) & 0xFF));
            grab.rgb.push_back(static_cast<std::uint8_t>(pixel & 0xFF));
        }
    }
    if (image) {
        XDestroyImage(image);
    }
    XCloseDisplay(display);
    return grab;
}

}  // namespace vesta::test
