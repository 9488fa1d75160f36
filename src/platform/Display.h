#pragma once

namespace vesta {

// True when an X11 or Wayland display is named in the environment.
bool DisplayAvailable();

}  // namespace vesta
