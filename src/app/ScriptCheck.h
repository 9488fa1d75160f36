#pragma once
// `vesta --check`: reads the configuration and the script as the player
// would, reports what they hold and what would stop the show, and never
// opens a device.

#include <cstdio>
#include <string>
#include <vector>

#include "app/CheckFindings.h"
#include "script/ScriptData.h"
#include "script/ScriptNotes.h"

namespace vesta {

// Summary on `out`, findings on `err`; 1 when there are errors (or, when
// `strict`, warnings), 0 otherwise. "ScriptTimeline.html" is written with
// `timeline`, or when the script asks for its log.
// The findings of a script already parsed, with what its parser noted and
// the constants it defined.
void CheckParsedScript(const ParsedScript& script, const ScriptNotes& notes,
                       const std::vector<std::string>& constants, CheckFindings& findings);

int RunScriptCheck(std::FILE* out, std::FILE* err, bool strict = false, bool timeline = false);

}  // namespace vesta
