#pragma once
// The effects a script creates and changes, checked against the kinds
// themselves: each kind is constructed (never started) for its parameter
// list, so that a name or value it would refuse or misread is found before
// the show, at the parameter's own line.

#include <string>
#include <vector>

#include "app/CheckFindings.h"
#include "script/ScriptData.h"

namespace vesta {

// `constants`: the script's DEFINE names, for misspelt uses of them.
void CheckEffects(const ParsedScript& script, const std::vector<std::string>& constants,
                  CheckFindings& findings);

}  // namespace vesta
