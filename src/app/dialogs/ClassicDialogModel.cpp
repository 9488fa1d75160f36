#include "app/dialogs/ClassicDialogModel.h"

#include <algorithm>
#include <cstdio>

namespace vesta {
namespace {

bool fourByThree(const VideoMode& mode) {
    return static_cast<float>(mode.height) / static_cast<float>(mode.width) == 0.75f;
}

bool sameMode(const VideoMode& a, const VideoMode& b) {
    return a.width == b.width && a.height == b.height && a.bitsPerPixel == b.bitsPerPixel;
}

std::string modeName(const VideoMode& mode) {
    char text[48];
    std::snprintf(text, sizeof text, "%dx%dx%d", mode.width, mode.height, mode.bitsPerPixel);
    return text;
}

}  // namespace

ClassicDialogModel::ClassicDialogModel(RenderModule& module, bool allModes)
    : m_module(module), m_allModes(allModes) {
    for (int i = 0; i < m_module.GetDriverCount(); ++i) {
        m_driverNames.push_back(m_module.GetDriver(i).description);
    }
    fillDevices();
}

RenderDriver& ClassicDialogModel::driver() const {
    return m_module.GetDriver(m_driver);
}

RenderDevice* ClassicDialogModel::device() const {
    if (m_driverNames.empty()) {
        return nullptr;
    }
    auto& devices = driver().devices;
    return m_device < static_cast<int>(devices.size()) ? devices[m_device].get() : nullptr;
}

void ClassicDialogModel::fillDevices() {
    m_deviceNames.clear();
    m_device = 0;
    if (!m_driverNames.empty()) {
        const auto& devices = driver().devices;
        for (std::size_t i = 0; i < devices.size(); ++i) {
            m_deviceNames.push_back(devices[i]->description);
            if (devices[i]->name.find("Hardware") != std::string::npos) {
                m_device = static_cast<int>(i);
            }
        }
    }
    fillModes();
}

void ClassicDialogModel::fillModes() {
    m_modeNames.clear();
    m_listedModes.clear();
    m_mode = 0;
    RenderDevice* current = device();
    if (!current) {
        return;
    }
    if (m_extended.insert(current).second) {
        for (const VideoMode& extra : kExtraModes) {
            const bool held = std::any_of(current->modes.begin(), current->modes.end(),
                                          [&](const VideoMode& m) { return sameMode(m, extra); });
            if (!held) {
                current->modes.push_back(extra);
            }
        }
    }
    for (const VideoMode& mode : current->modes) {
        if ((mode.bitsPerPixel == 16 || mode.bitsPerPixel == 32) &&
            (m_allModes || fourByThree(mode))) {
            m_listedModes.push_back(&mode);
            m_modeNames.push_back(modeName(mode));
        }
    }
    const VideoMode preferred{640, 480, 32, 0};
    for (std::size_t i = 0; i < m_listedModes.size(); ++i) {
        if (sameMode(*m_listedModes[i], preferred)) {
            m_mode = static_cast<int>(i);
            break;
        }
    }
}

void ClassicDialogModel::ChooseDriver(int index) {
    if (index >= 0 && index < static_cast<int>(m_driverNames.size())) {
        m_driver = index;
        fillDevices();
    }
}

void ClassicDialogModel::ChooseDevice(int index) {
    if (index >= 0 && index < static_cast<int>(m_deviceNames.size())) {
        m_device = index;
        fillModes();
    }
}

void ClassicDialogModel::ChooseMode(int index) {
    if (index >= 0 && index < static_cast<int>(m_modeNames.size())) {
        m_mode = index;
    }
}

const VideoMode* ClassicDialogModel::ChosenMode() const {
    return m_listedModes.empty() ? nullptr : m_listedModes[m_mode];
}

void ClassicDialogModel::Commit() const {
    if (m_driverNames.empty()) {
        return;
    }
    m_module.SelectDriver(&driver());
    m_module.SelectDevice(device());
    m_module.SelectVideoMode(ChosenMode());
}

}  // namespace vesta
