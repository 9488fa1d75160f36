#pragma once
// The drivers, devices and video modes the OpenGL module offers.

#include <memory>
#include <string>
#include <vector>

#include "render/RenderTypes.h"

namespace vesta {

struct DisplayMode {
    int width = 0;
    int height = 0;
};

// One driver per display (one "EGL" driver without displays); each holds
// "HAL" (the system's driver) and, when Mesa's software rasteriser is
// installed, "REF". Modes: every display mode at 16 and 32 bits, then the
// standard 4:3 sizes, each (width, height, bits) once.
std::vector<std::unique_ptr<RenderDriver>>
BuildDrivers(const std::vector<std::vector<DisplayMode>>& displays, bool softwareRasteriser);

std::vector<VideoMode> BuildModeList(const std::vector<DisplayMode>& displayModes);

// The modes of each connected display, through SDL; empty without a display.
std::vector<std::vector<DisplayMode>> QueryDisplays();
bool SoftwareRasteriserInstalled();

// Whether textures are filtered anisotropically where asked: when the driver
// offers more than 1 and draws on a GPU. A software rasteriser (Mesa's
// llvmpipe, softpipe, swrast) pays for every extra sample on the processors,
// about three times the fill cost of a layer, for no visible gain on the
// screen-aligned pictures that make up most frames.
bool UseAnisotropy(const std::string& renderer, float maxAnisotropy);

inline constexpr int kDeviceHal = 1;
inline constexpr int kDeviceRef = 2;

}  // namespace vesta
