#pragma once
// File names written on Windows: backslashes separate folders, and case may
// differ from what is on disk.

#include <optional>
#include <string>
#include <string_view>

namespace vesta {

// Backslashes become slashes; nothing else changes.
std::string ToNativeSeparators(std::string_view name);

// The path of an existing regular file for `name`: the exact spelling when it
// exists, otherwise each component matched without regard to ASCII case
// within its folder. nullopt when nothing matches.
std::optional<std::string> ResolveExistingFile(std::string_view name);

constexpr char AsciiLowerChar(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}
std::string AsciiLower(std::string_view text);
bool AsciiEqualsIgnoreCase(std::string_view a, std::string_view b);

std::string CurrentDirectory();

// The running program's own file.
std::string ExecutablePath();

}  // namespace vesta
