#include "render/ModuleRegistry.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "fs/ArchiveList.h"
#include "fs/ResourceArchive.h"
#include "log/Log.h"
#include "platform/MemoryLibrary.h"
#include "platform/Paths.h"
#include "platform/SharedLibrary.h"
#include "render/ModulePlugin.h"

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

bool hasPluginSuffix(std::string_view name) {
    return name.size() > 3 && name.substr(name.size() - 3) == ".so";
}

// An archive entry under "drv/" (or "drv\", as archives made on Windows
// name it) that is a shared object; `key` is the lower-cased name.
bool isArchivedPlugin(std::string_view key) {
    const std::string_view folder = ModuleRegistry::kArchiveFolder;
    return key.size() > folder.size() + 1 && key.substr(0, folder.size()) == folder &&
           (key[folder.size()] == '/' || key[folder.size()] == '\\') && hasPluginSuffix(key);
}

void reportInvalid(const std::string& name, const std::string& reason) {
    std::printf("o Not a valid DLL [%s]\n", name.c_str());
    std::fflush(stdout);
    DebugOutput(("Module " + name + ": " + reason).c_str());
}

}  // namespace

// The library of one plug-in while it is loaded, from a file or from memory.
class ModuleRegistry::Library {
public:
    SharedLibrary file;
    MemoryLibrary memory;

    void* Find(const char* name) const {
        return file.IsOpen() ? file.Find(name) : memory.Find(name);
    }
};

void RegisterInternalModule(ModuleInfo info, ModuleFactory factory) {
    internalModules().push_back({std::move(info), std::move(factory)});
}

void ClearInternalModulesForTests() {
    internalModules().clear();
}

ModuleRegistry::ModuleRegistry() = default;
ModuleRegistry::~ModuleRegistry() = default;

void ModuleRegistry::Detect(const std::string& path) {
    m_searchPath = path;
    for (const InternalModule& module : internalModules()) {
        Entry entry;
        entry.info = module.info;
        entry.name = kInternalName;
        entry.factory = module.factory;
        m_entries.push_back(std::move(entry));
    }
    ScanFolder();
    ScanArchives();
}

void ModuleRegistry::ScanFolder() {
    std::vector<std::string> names;
    std::error_code error;
    for (const auto& item : std::filesystem::directory_iterator(m_searchPath, error)) {
        const std::string name = item.path().filename().string();
        if (hasPluginSuffix(name) && !item.is_directory(error)) {
            names.push_back(name);
        }
    }
    // Directory order is the file system's; the listing should not depend on it.
    std::sort(names.begin(), names.end());
    for (const std::string& name : names) {
        Entry entry;
        entry.name = name;
        entry.file = m_searchPath + "/" + name;
        list(std::move(entry));
    }
}

void ModuleRegistry::ScanArchives() {
    for (const auto& archive : ArchiveList::Mounted()) {
        for (const auto& [key, stored] : archive->Directory()) {
            if (isArchivedPlugin(key)) {
                Entry entry;
                entry.name = stored.name;
                entry.archive = archive.get();
                list(std::move(entry));
            }
        }
    }
}

bool ModuleRegistry::list(Entry entry) {
    std::string reason;
    const std::unique_ptr<Library> library = load(entry, reason);
    if (!library) {
        reportInvalid(entry.name, reason);
        return false;
    }
    const auto describe =
        reinterpret_cast<VestaModuleInfoEntry>(library->Find(kModuleInfoEntryName));
    if (!describe || !library->Find(kCreateModuleEntryName)) {
        reportInvalid(entry.name, "it does not export the module entry points");
        return false;
    }
    const VestaModuleInfo info = describe();
    // The record is the plug-in's: its text may lack the terminating zero.
    entry.info.description.assign(info.description,
                                  strnlen(info.description, sizeof info.description));
    std::copy(std::begin(info.values), std::end(info.values), entry.info.values);
    LogPrintf("Found Module [%s](%s)", entry.name.c_str(), entry.info.description.c_str());
    m_entries.push_back(std::move(entry));
    return true;
}

std::unique_ptr<ModuleRegistry::Library> ModuleRegistry::load(const Entry& entry,
                                                              std::string& reason) const {
    auto library = std::make_unique<Library>();
    if (!entry.archive) {
        if (!library->file.Open(entry.file)) {
            reason = library->file.Error();
            return nullptr;
        }
        return library;
    }
    const pak::Entry* stored = entry.archive->Find(entry.name);
    std::unique_ptr<std::uint8_t[]> inflated;
    const std::uint8_t* bytes = stored ? entry.archive->Obtain(*stored, inflated) : nullptr;
    if (!bytes) {
        reason = "the archive entry cannot be read";
        return nullptr;
    }
    const std::string label = std::filesystem::path(entry.name).filename().string();
    if (!library->memory.Load({bytes, stored->size}, label)) {
        reason = library->memory.Error();
        return nullptr;
    }
    return library;
}

std::optional<std::size_t> ModuleRegistry::FindModule(std::string_view name) const {
    const std::string wanted = AsciiLower(name);
    for (std::size_t index = 0; index < m_entries.size(); ++index) {
        if (AsciiLower(m_entries[index].name) == wanted) {
            return index;
        }
    }
    return std::nullopt;
}

std::unique_ptr<RenderModule> ModuleRegistry::CreateModule(std::size_t index) {
    const Entry& entry = m_entries.at(index);
    if (entry.factory) {
        LogPrintf("Found Module [%s](%s)", "Internal module", entry.info.description.c_str());
        return entry.factory();
    }
    LogPrintf("Found Module [%s](%s)", entry.name.c_str(), entry.info.description.c_str());
    std::string reason;
    std::unique_ptr<Library> library = load(entry, reason);
    const auto create =
        library ? reinterpret_cast<VestaCreateModuleEntry>(library->Find(kCreateModuleEntryName))
                : nullptr;
    if (!create) {
        RaiseAppError("Could not load the render module [%s]: %s", entry.name.c_str(),
                      library ? "it no longer exports its entry points" : reason.c_str());
    }
    // Kept before the call: what the plug-in throws may need its code to unwind.
    m_loaded.push_back(std::move(library));
    std::unique_ptr<RenderModule> module(create());
    if (!module) {
        RaiseAppError("The render module [%s] made no module", entry.name.c_str());
    }
    return module;
}

}  // namespace vesta
