#include "Production.h"

#include <filesystem>
#include <unistd.h>

namespace vesta::farm {

std::string ThisProgram() {
    return std::filesystem::read_symlink("/proc/self/exe").string();
}

Production ResolveProduction(const std::string& path, const std::string& engine) {
    Production production;
    const std::filesystem::path absolute = std::filesystem::absolute(path);
    production.name = absolute.filename().empty() ? absolute.parent_path().filename().string()
                                                  : absolute.stem().string();
    if (!std::filesystem::is_directory(absolute) && access(absolute.c_str(), X_OK) == 0) {
        production.player = absolute.string();
        return production;
    }
    production.folder = absolute.string();
    production.player =
        !engine.empty()
            ? std::filesystem::absolute(engine).string()
            : (std::filesystem::path(ThisProgram()).parent_path() / "vesta-engine").string();
    return production;
}

}  // namespace vesta::farm
