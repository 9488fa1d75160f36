#pragma once
// The skinned startup dialog: the skin's picture buttons choose resolution,
// depth and full screen; Start (Enter, Space) plays, Quit (Escape, the close
// box) ends the run. The choices are kept for the next start.

#include <filesystem>
#include <optional>
#include <string>

#include "app/dialogs/SkinButtons.h"
#include "app/dialogs/StartupSkin.h"

namespace vesta {

// Runs the dialog with the choices stored in `store` preselected, and stores
// the new ones when it closes (a store that cannot be written is a warning).
// Nullopt, with the reason in `error`, when no window could be opened.
std::optional<SkinChoice> RunSimpleStartup(const StartupSkin& skin, const std::string& title,
                                           const std::filesystem::path& store, std::string& error);

}  // namespace vesta
