#include "render/gl/GlDrivers.h"

#include <SDL.h>
#include <algorithm>
#include <filesystem>
#include <string>

#include "platform/Display.h"

namespace vesta {

std::vector<VideoMode> BuildModeList(const std::vector<DisplayMode>& displayModes) {
    std::vector<DisplayMode> sizes = displayModes;
    for (const DisplayMode standard : {DisplayMode{640, 480}, {800, 600}, {1024, 768}}) {
        sizes.push_back(standard);
    }
    std::vector<VideoMode> modes;
    int index = 0;
    for (const DisplayMode& size : sizes) {
        for (const int bits : {16, 32}) {
            const bool known = std::any_of(modes.begin(), modes.end(), [&](const VideoMode& m) {
                return m.width == size.width && m.height == size.height && m.bitsPerPixel == bits;
            });
            if (!known) {
                modes.push_back({size.width, size.height, bits, index});
            }
            ++index;
        }
    }
    return modes;
}

std::vector<std::unique_ptr<RenderDriver>>
BuildDrivers(const std::vector<std::vector<DisplayMode>>& displays, bool softwareRasteriser) {
    std::vector<std::unique_ptr<RenderDriver>> drivers;
    const auto addDriver = [&](const std::string& name, const std::vector<DisplayMode>& sizes) {
        auto driver = std::make_unique<RenderDriver>();
        driver->name = name;
        driver->description = name;
        driver->index = static_cast<int>(drivers.size());
        const std::vector<VideoMode> modes = BuildModeList(sizes);
        for (const auto& [deviceName, index] :
             {std::pair{"HAL", kDeviceHal}, std::pair{"REF", kDeviceRef}}) {
            if (index == kDeviceRef && !softwareRasteriser) {
                continue;
            }
            auto device = std::make_unique<RenderDevice>();
            device->name = deviceName;
            device->description = deviceName;
            device->index = index;
            device->modes = modes;
            driver->devices.push_back(std::move(device));
        }
        drivers.push_back(std::move(driver));
    };
    if (displays.empty()) {
        addDriver("EGL", {});
    }
    for (std::size_t i = 0; i < displays.size(); ++i) {
        addDriver("Display " + std::to_string(i), displays[i]);
    }
    return drivers;
}

std::vector<std::vector<DisplayMode>> QueryDisplays() {
    std::vector<std::vector<DisplayMode>> displays;
    std::string error;
    if (!DisplayAvailable() || !InitScreenVideo(error)) {
        return displays;
    }
    const int count = SDL_GetNumVideoDisplays();
    for (int display = 0; display < count; ++display) {
        std::vector<DisplayMode>& sizes = displays.emplace_back();
        const int modes = SDL_GetNumDisplayModes(display);
        for (int i = 0; i < modes; ++i) {
            SDL_DisplayMode mode;
            if (SDL_GetDisplayMode(display, i, &mode) == 0) {
                sizes.push_back({mode.w, mode.h});
            }
        }
    }
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    return displays;
}

bool SoftwareRasteriserInstalled() {
    for (const char* folder : {"/usr/lib/x86_64-linux-gnu/dri", "/usr/lib/aarch64-linux-gnu/dri",
                               "/usr/lib64/dri", "/usr/lib/dri"}) {
        std::error_code error;
        if (std::filesystem::exists(std::string(folder) + "/swrast_dri.so", error)) {
            return true;
        }
    }
    return false;
}

bool UseAnisotropy(const std::string& renderer, float maxAnisotropy) {
    if (maxAnisotropy <= 1.0f) {
        return false;
    }
    for (const char* software : {"llvmpipe", "softpipe", "swrast", "Software Rasterizer"}) {
        if (renderer.find(software) != std::string::npos) {
            return false;
        }
    }
    return true;
}

}  // namespace vesta
