#pragma once
// The render modules the player can use, found at start-up: the ones built
// into the player, then plug-ins ("*.so" shared objects exporting the two
// entry points of render/ModulePlugin.h) in the module folder, then plug-ins
// held by the mounted archives under "drv/".

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "render/RenderModule.h"

namespace vesta {

class ResourceArchive;

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
    // The folder of plug-ins inside an archive.
    static constexpr const char* kArchiveFolder = "drv";

    ModuleRegistry();
    // Unloads the plug-ins of the modules it created: those modules must be
    // gone by then.
    ~ModuleRegistry();
    ModuleRegistry(const ModuleRegistry&) = delete;
    ModuleRegistry& operator=(const ModuleRegistry&) = delete;

    // Lists the built-in modules, then ScanFolder on `path`, then ScanArchives.
    void Detect(const std::string& path);
    // Lists the "*.so" plug-ins of the search path, in name order, logging
    // "Found Module [file](description)" for each; a file that is no plug-in
    // is reported on standard output as "o Not a valid DLL [file]" and skipped.
    void ScanFolder();
    // The same for the "drv/*.so" entries of the mounted archives, loaded
    // from memory; an entry is named as the archive stores it.
    void ScanArchives();

    std::size_t GetModuleCount() const { return m_entries.size(); }
    const ModuleInfo& GetInfoEntry(std::size_t index) const { return m_entries.at(index).info; }
    const std::string& GetEntryName(std::size_t index) const { return m_entries.at(index).name; }
    // The first entry named `name`, ASCII case ignored.
    std::optional<std::size_t> FindModule(std::string_view name) const;

    // Creates module `index`, logging "Found Module [...]"; std::out_of_range
    // past the end. A plug-in that cannot be loaded again or makes no module
    // raises CAppError naming it.
    std::unique_ptr<RenderModule> CreateModule(std::size_t index);

private:
    class Library;
    struct Entry {
        ModuleInfo info;
        std::string name;
        ModuleFactory factory;                     // built-in modules
        std::string file;                          // plug-ins on disk: the path
        const ResourceArchive* archive = nullptr;  // plug-ins in an archive
    };

    // Loads the plug-in of `entry`, null (with the reason) when it does not load.
    std::unique_ptr<Library> load(const Entry& entry, std::string& reason) const;
    // Appends `entry` when its library exports both entry points.
    bool list(Entry entry);

    std::string m_searchPath;
    std::vector<Entry> m_entries;
    // The plug-ins of the modules created, kept loaded while the modules live.
    std::vector<std::unique_ptr<Library>> m_loaded;
};

// Removes every registered internal module; for tests.
void ClearInternalModulesForTests();

}  // namespace vesta
