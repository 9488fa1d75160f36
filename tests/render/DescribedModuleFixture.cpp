// A plug-in for the registry tests: it describes itself with a text that
// fills its field to the last byte (no terminating zero) and makes no module.
#include <cstring>

#include "render/ModulePlugin.h"

extern "C" {

__attribute__((visibility("default"))) VestaModuleInfo vesta_module_info() {
    VestaModuleInfo info;
    std::memset(info.description, 'd', sizeof info.description);
    std::memcpy(info.description, "Described", 9);
    info.values[0] = 1;
    info.values[1] = 2;
    info.values[2] = 3;
    return info;
}

__attribute__((visibility("default"))) vesta::RenderModule* vesta_create_module() {
    return nullptr;
}
}
