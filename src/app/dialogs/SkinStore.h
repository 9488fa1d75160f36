#pragma once
// The skinned dialog's choices between runs: a small INI file in the user's
// configuration folder, "$XDG_CONFIG_HOME/Vesta Group/Cobalt by Vesta Group/"
// ("~/.config" when the variable is unset or empty).
//
//     [Startup]
//     Resolution=1
//     PixelDepth=1
//     Fullscreen=0

#include <filesystem>
#include <string>

#include "app/dialogs/SkinButtons.h"

namespace vesta {

inline constexpr const char* kSkinStoreCompany = "Vesta Group";
inline constexpr const char* kSkinStoreProduct = "Cobalt by Vesta Group";
inline constexpr const char* kSkinStoreFile = "Startup.ini";

// Where the file lives; empty when neither XDG_CONFIG_HOME nor HOME is set.
std::filesystem::path SkinStorePath();

// The stored values; defaults for what is missing, unreadable or out of range.
SkinStoredChoices ReadSkinChoices(const std::filesystem::path& file);
// False, with the reason, when the file cannot be written.
bool WriteSkinChoices(const std::filesystem::path& file, const SkinStoredChoices& choices,
                      std::string& error);

}  // namespace vesta
