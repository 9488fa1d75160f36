#include "render/ModuleRegistry.h"

#include "log/Log.h"

namespace vesta {
namespace {

struct InternalModule {
    ModuleInfo info;
    ModuleFactory factory;
};

std::vector<InternalModule>& internalModules() {
    static std::vector<InternalModule> modules;
    return modules;
}

}  // namespace

void RegisterInternalModule(ModuleInfo info, ModuleFactory factory) {
    internalModules().push_back({std::move(info), std::move(factory)});
}

void ClearInternalModulesForTests() {
    internalModules().clear();
}

void ModuleRegistry::Detect(const std::string& path) {
    m_searchPath = path;
    for (const InternalModule& module : internalModules()) {
        m_entries.push_back({module.info, kInternalName, module.factory});
    }
}

std::unique_ptr<RenderModule> ModuleRegistry::CreateModule(std::size_t index) const {
    const Entry& entry = m_entries.at(index);
    LogPrintf("Found Module [%s](%s)", "Internal module", entry.info.description.c_str());
    return entry.factory();
}

}  // namespace vesta
