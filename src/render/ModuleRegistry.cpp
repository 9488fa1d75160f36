#include "render/ModuleRegistry.h"

namespace vesta {

void ModuleRegistry::Detect(const std::string& folder) {
    // No module is built in yet and plug-ins are not loaded.
    (void)folder;
}

std::unique_ptr<RenderModule> ModuleRegistry::CreateModule(std::size_t index) const {
    (void)Info(index);
    return nullptr;
}

}  // namespace vesta
