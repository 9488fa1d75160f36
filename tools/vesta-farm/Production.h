#pragma once
// Which program plays a production: a production folder is played by the
// engine, a player that carries its production by itself.

#include <string>

namespace vesta::farm {

struct Production {
    std::string player;
    std::string folder;  // "" when the player carries the production
    std::string name;    // for file names and the summary
};

// `engine` overrides the engine beside this program (vesta-engine).
Production ResolveProduction(const std::string& path, const std::string& engine);

// This program's own path, for the scripts that call it back.
std::string ThisProgram();

}  // namespace vesta::farm
