#pragma once
// "ScriptLog.html": the parsed script as the engine holds it, for authors.

#include <string>
#include <vector>

#include "script/ScriptData.h"

namespace vesta {

std::string FormatScriptLog(const std::vector<CPart>& parts);

// Writes the page in the current folder; a file that cannot be created is skipped.
bool WriteScriptLog(const std::vector<CPart>& parts, const char* fileName = "ScriptLog.html");

}  // namespace vesta
