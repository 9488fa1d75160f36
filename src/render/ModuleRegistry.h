#pragma once
// The render modules the player can use, found at start-up.

#include <memory>
#include <string>
#include <vector>

#include "render/RenderModule.h"

namespace vesta {

struct ModuleInfo {
    std::string name;
};

class ModuleRegistry {
public:
    // Registers the modules built into the player and those found in `folder`.
    void Detect(const std::string& folder);

    std::size_t Count() const { return m_modules.size(); }
    const ModuleInfo& Info(std::size_t index) const { return m_modules.at(index); }
    std::unique_ptr<RenderModule> CreateModule(std::size_t index) const;

private:
    std::vector<ModuleInfo> m_modules;
};

}  // namespace vesta
