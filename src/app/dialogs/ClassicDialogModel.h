#pragma once
// What the classic startup dialog lists and selects, apart from its widgets:
// the render module's drivers, the devices of the chosen driver and the video
// modes of the chosen device, refilled as the choices above them change.

#include <set>
#include <string>
#include <vector>

#include "render/RenderModule.h"

namespace vesta {

class ClassicDialogModel {
public:
    // Fills the three lists with driver 0 chosen. Without `allModes` only
    // modes with height / width exactly 0.75 are listed.
    ClassicDialogModel(RenderModule& module, bool allModes);

    const std::vector<std::string>& Drivers() const { return m_driverNames; }
    const std::vector<std::string>& Devices() const { return m_deviceNames; }
    const std::vector<std::string>& Modes() const { return m_modeNames; }
    int DriverIndex() const { return m_driver; }
    int DeviceIndex() const { return m_device; }
    int ModeIndex() const { return m_mode; }

    // Each refills the lists below it; an index out of range is ignored.
    void ChooseDriver(int index);
    void ChooseDevice(int index);
    void ChooseMode(int index);

    // The chosen mode; null when the device lists none.
    const VideoMode* ChosenMode() const;
    // Makes the chosen driver, device and mode the module's selection.
    void Commit() const;

    // Added to a device's own modes the first time it is listed, unless it
    // already holds them: sizes the window can show although no display reports them.
    static constexpr VideoMode kExtraModes[] = {
        {320, 240, 32, 0}, {320, 240, 16, 0}, {720, 576, 16, 0}, {720, 576, 32, 0}};

private:
    RenderDriver& driver() const;
    RenderDevice* device() const;
    void fillDevices();
    void fillModes();

    RenderModule& m_module;
    bool m_allModes;
    std::vector<std::string> m_driverNames;
    std::vector<std::string> m_deviceNames;
    std::vector<std::string> m_modeNames;
    std::vector<const VideoMode*> m_listedModes;
    std::set<const RenderDevice*> m_extended;
    int m_driver = 0;
    int m_device = 0;
    int m_mode = 0;
};

}  // namespace vesta
