#include "app/dialogs/SkinStore.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string_view>
#include <system_error>

namespace vesta {
namespace {

constexpr std::string_view kSection = "[Startup]";

// A whole decimal number, or `fallback`.
int readNumber(std::string_view text, int fallback) {
    if (text.empty() || text.size() > 9) {
        return fallback;
    }
    int value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') {
            return fallback;
        }
        value = value * 10 + (c - '0');
    }
    return value;
}

std::string_view trimmed(std::string_view text) {
    const std::size_t first = text.find_first_not_of(" \t\r");
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

}  // namespace

std::filesystem::path SkinStorePath() {
    std::filesystem::path base;
    const char* config = std::getenv("XDG_CONFIG_HOME");
    const char* home = std::getenv("HOME");
    if (config && *config) {
        base = config;
    } else if (home && *home) {
        base = std::filesystem::path(home) / ".config";
    } else {
        return {};
    }
    return base / kSkinStoreCompany / kSkinStoreProduct / kSkinStoreFile;
}

SkinStoredChoices ReadSkinChoices(const std::filesystem::path& file) {
    SkinStoredChoices choices;
    std::ifstream in(file);
    bool inSection = false;
    for (std::string line; std::getline(in, line);) {
        const std::string_view text = trimmed(line);
        if (!text.empty() && text.front() == '[') {
            inSection = text == kSection;
            continue;
        }
        const std::size_t equals = text.find('=');
        if (!inSection || equals == std::string_view::npos) {
            continue;
        }
        const std::string_view key = trimmed(text.substr(0, equals));
        const std::string_view value = trimmed(text.substr(equals + 1));
        if (key == "Resolution") {
            const int number = readNumber(value, 0);
            choices.resolution = number <= 2 ? number : 0;
        } else if (key == "PixelDepth") {
            choices.pixelDepth = readNumber(value, 0) == 1 ? 1 : 0;
        } else if (key == "Fullscreen") {
            choices.fullScreen = readNumber(value, 1) != 0;
        }
    }
    return choices;
}

bool WriteSkinChoices(const std::filesystem::path& file, const SkinStoredChoices& choices,
                      std::string& error) {
    if (file.empty()) {
        error = "no configuration folder (neither XDG_CONFIG_HOME nor HOME is set)";
        return false;
    }
    std::error_code failure;
    std::filesystem::create_directories(file.parent_path(), failure);
    if (failure) {
        error = file.parent_path().string() + ": " + failure.message();
        return false;
    }
    std::ofstream out(file, std::ios::trunc);
    out << kSection << "\nResolution=" << choices.resolution
        << "\nPixelDepth=" << choices.pixelDepth << "\nFullscreen=" << (choices.fullScreen ? 1 : 0)
        << "\n";
    out.close();
    if (!out) {
        error = file.string() + ": " + std::strerror(errno ? errno : EIO);
        return false;
    }
    return true;
}

}  // namespace vesta
