#pragma once
// A changed script, read in full before it replaces the one playing: parsed,
// then checked as `vesta --check` checks it, so that a mistake in it leaves
// the show as it was.

#include <memory>
#include <string>
#include <vector>

#include "script/ScriptData.h"

namespace vesta {

struct ScriptReading {
    std::shared_ptr<const ParsedScript> script;  // null when it cannot be parsed
    std::vector<std::string> files;              // the entry and its includes, from disk
    struct Mistake {
        std::string place;  // "file(line)"; may be empty
        std::string text;
    };
    std::vector<Mistake> mistakes;  // the check's errors, or why it cannot be parsed
};

ScriptReading ReadChangedScript(const std::string& entryName);

// With LOGSCRIPT Yes, the script's log and timeline picture, as a run writes them.
void WriteScriptLogs(const ParsedScript& script);

// Why `changed` must not replace the script read as `playing`, one line each
// ("file(line): text"); none when it may. The playing script's own mistakes
// (a part without an end, say) are no reason: it plays with them already.
std::vector<std::string> ReasonsToRefuse(const ScriptReading& changed,
                                         const ScriptReading& playing);

}  // namespace vesta
