#pragma once
// The group's web site, opened in the viewer's browser.

namespace vesta {

inline constexpr const char* kGroupWebAddress = "https://vesta-group.github.io/";

// Starts `xdg-open` on the address and returns at once; a missing browser
// is the desktop's own business and goes unreported.
void OpenGroupWebSite();

}  // namespace vesta
