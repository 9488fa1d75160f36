#pragma once
// The script's shape: statements the player passes over, braces that went
// missing (a block swallowing the rest of its part, two parts made one, a
// block run into the load-time block), parts that never end.

#include <string>
#include <vector>

#include "app/CheckFindings.h"
#include "script/ScriptData.h"
#include "script/ScriptNotes.h"

namespace vesta {

void CheckStructure(const ParsedScript& script, const ScriptNotes& notes,
                    const std::vector<std::string>& constants, CheckFindings& findings);

}  // namespace vesta
