#pragma once
// The device and video mode the player asks the render module for.

#include "render/RenderModule.h"

namespace vesta {

// Selects driver 0, its first accelerated device ("HAL", or a name holding
// "T&L", else one holding "Direct3D HAL") and the first of its modes with
// this size and depth. With `only4by3` (the startup dialogs) a mode must have
// height / width exactly 0.75 and RaiseError reports a missing mode;
// otherwise (a mode asked for on the command line, which the device can draw
// at any size) a missing mode gives null and nothing is selected.
const VideoMode* SelectDeviceAndMode(RenderModule& module, int width, int height, int bits,
                                     bool only4by3);

// The accelerated device of `driver`, or null.
RenderDevice* FindAcceleratedDevice(RenderDriver& driver);

}  // namespace vesta
