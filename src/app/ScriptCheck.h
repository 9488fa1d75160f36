#pragma once
// `vesta --check`: reads the configuration and the script as the player
// would, reports what they hold and what would stop the show, and never
// opens a device.

#include <cstdio>

namespace vesta {

// Summary on `out`, problems on `err`; 0 when the script is sound, 1 otherwise.
int RunScriptCheck(std::FILE* out, std::FILE* err);

}  // namespace vesta
