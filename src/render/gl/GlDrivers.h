#pragma once
// The drivers, devices and video modes the OpenGL module offers.

#include <memory>
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
std::vector<std::unique_ptr<RenderDriver>> BuildDrivers(
    const std::vector<std::vector<DisplayMode>>& displays, bool softwareRasteriser);

std::vector<VideoMode> BuildModeList(const std::vector<DisplayMode>& displayModes);

// The modes of each connected display, through SDL; empty without a display.
std::vector<std::vector<DisplayMode>> QueryDisplays();
bool SoftwareRasteriserInstalled();

inline constexpr int kDeviceHal = 1;
inline constexpr int kDeviceRef = 2;

}  // namespace vesta
