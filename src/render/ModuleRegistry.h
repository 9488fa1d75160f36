#pragma once
// The render modules the player can use, found at start-up.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "render/RenderModule.h"

namespace vesta {

// How a module describes itself.
struct ModuleInfo {
    std::string description;
    std::int32_t values[3] = {0, 0, 0};  // kept for the module's own use
};

using ModuleFactory = std::function<std::unique_ptr<RenderModule>()>;

// A module built into the player registers itself once; Detect lists it.
void RegisterInternalModule(ModuleInfo info, ModuleFactory factory);

class ModuleRegistry {
public:
    static constexpr const char* kInternalName = "Internal Module";

    // Lists the modules built into the player. Modules in `path` are not
    // looked for at start-up, so the path is only kept.
    void Detect(const std::string& path);

    std::size_t GetModuleCount() const { return m_entries.size(); }
    const ModuleInfo& GetInfoEntry(std::size_t index) const { return m_entries.at(index).info; }
    const std::string& GetEntryName(std::size_t index) const { return m_entries.at(index).name; }

    // Creates module `index`, logging "Found Module [...]"; std::out_of_range past the end.
    std::unique_ptr<RenderModule> CreateModule(std::size_t index) const;

private:
    struct Entry {
        ModuleInfo info;
        std::string name;
        ModuleFactory factory;
    };
    std::string m_searchPath;
    std::vector<Entry> m_entries;
};

// Removes every registered internal module; for tests.
void ClearInternalModulesForTests();

}  // namespace vesta
