#pragma once

#include <string>

namespace vesta {

// True when an X11 or Wayland display is named in the environment.
bool DisplayAvailable();

// Starts SDL's video on a driver that shows its windows. When no display
// server answers, SDL falls back to its offscreen driver, where a window is
// never seen and a dialog would wait for ever for a click: that is refused
// (unless SDL_VIDEODRIVER asks for it), with the reason in `error`.
bool InitScreenVideo(std::string& error);

}  // namespace vesta
