#pragma once
// What a render-module plug-in exports: two C functions found by name, one
// describing the module and one creating it.
//
// A plug-in is a shared object built with the engine's headers. It does not
// carry the engine's code: the player exports its own symbols (it is linked
// with -rdynamic, ENABLE_EXPORTS in CMake) and the plug-in's references to
// RenderModule, the OpenGL module, the log and so on bind to the player's one
// copy when it is loaded. A plug-in that linked the engine's libraries in
// would bring a second log, a second set of registries and a second copy of
// every static the player already holds, and a module would write to state
// the player never reads. So a plug-in fits the player it was built with.

#include <cstdint>

#include "render/RenderModule.h"

extern "C" {

// How a plug-in describes itself: a fixed record of 112 bytes.
struct VestaModuleInfo {
    char description[100];  // zero-terminated
    std::int32_t values[3];
};
static_assert(sizeof(VestaModuleInfo) == 112);

using VestaModuleInfoEntry = VestaModuleInfo (*)();
// A new module, owned by the caller, who deletes it while the plug-in is
// still loaded; null when it cannot be made.
using VestaCreateModuleEntry = vesta::RenderModule* (*)();
}

namespace vesta {

inline constexpr const char* kModuleInfoEntryName = "vesta_module_info";
inline constexpr const char* kCreateModuleEntryName = "vesta_create_module";

}  // namespace vesta
