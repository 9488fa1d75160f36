#pragma once
// `vesta --check`: reads the configuration and the script as the player
// would, reports what they hold and what would stop the show, and never
// opens a device.

#include <cstdio>

namespace vesta {

// Summary on `out`, findings on `err`; 1 when there are errors (or, when
// `strict`, warnings), 0 otherwise. "ScriptTimeline.html" is written with
// `timeline`, or when the script asks for its log.
int RunScriptCheck(std::FILE* out, std::FILE* err, bool strict = false, bool timeline = false);

}  // namespace vesta
