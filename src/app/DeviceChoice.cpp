#include "app/DeviceChoice.h"

#include "log/Log.h"

namespace vesta {

RenderDevice* FindAcceleratedDevice(RenderDriver& driver) {
    for (const auto& device : driver.devices) {
        if (device->name.find("T&L") != std::string::npos || device->name == "HAL") {
            return device.get();
        }
    }
    for (const auto& device : driver.devices) {
        if (device->name.find("Direct3D HAL") != std::string::npos) {
            return device.get();
        }
    }
    return nullptr;
}

const VideoMode* SelectDeviceAndMode(RenderModule& module, int width, int height, int bits,
                                     bool only4by3) {
    RenderDriver& driver = module.GetDriver(0);
    module.SelectDriver(&driver);
    RenderDevice* device = FindAcceleratedDevice(driver);
    if (!device) {
        RaiseError("Cannot find any 3D Hardware accelerator.");
    }
    module.SelectDevice(device);
    for (const VideoMode& mode : device->modes) {
        const bool fourByThree =
            static_cast<float>(mode.height) / static_cast<float>(mode.width) == 0.75f;
        if ((fourByThree || !only4by3) && mode.width == width && mode.height == height &&
            mode.bitsPerPixel == bits) {
            module.SelectVideoMode(&mode);
            return &mode;
        }
    }
    if (!only4by3) {
        return nullptr;
    }
    RaiseError("Cound not find any matching VideoMode... Try a lower Resolution/Depth.");
}

}  // namespace vesta
