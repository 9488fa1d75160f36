#include "app/ScriptReload.h"

#include <algorithm>

#include "app/ScriptCheck.h"
#include "fs/DiskFiles.h"
#include "log/Log.h"
#include "script/ScriptLog.h"
#include "script/ScriptParser.h"
#include "script/ScriptTimeline.h"

namespace vesta {

ScriptReading ReadChangedScript(const std::string& entryName) {
    ScriptReading reading;
    auto script = std::make_shared<ParsedScript>();
    ScriptNotes notes;
    CScriptParser parser(*script);
    parser.SetNotes(&notes);
    {
        // Only the files the parse reads are the script's: the check below
        // opens the pictures it names as well.
        DiskFileCollector collector;
        try {
            parser.Load(entryName);
        } catch (const CEngineError& error) {
            reading.mistakes.push_back({"", error.what()});
        }
        reading.files = collector.Paths();
    }
    if (!reading.mistakes.empty()) {
        return reading;
    }
    CheckFindings findings;
    CheckParsedScript(*script, notes, parser.Constants().Names(), findings);
    for (const CheckFinding& finding : findings.All()) {
        if (finding.error) {
            reading.mistakes.push_back({finding.place, finding.text});
        }
    }
    reading.script = std::move(script);
    return reading;
}

void WriteScriptLogs(const ParsedScript& script) {
    if (!script.switches.logScript) {
        return;
    }
    if (!WriteScriptLog(script.parts)) {
        WarnPrintf("cannot write ScriptLog.html");
    }
    if (!WriteScriptTimeline(script.parts)) {
        WarnPrintf("cannot write ScriptTimeline.html");
    }
}

std::vector<std::string> ReasonsToRefuse(const ScriptReading& changed,
                                         const ScriptReading& playing) {
    // By text alone: an edit above a mistake moves its place.
    const auto known = [&](const ScriptReading::Mistake& mistake) {
        return std::any_of(
            playing.mistakes.begin(), playing.mistakes.end(),
            [&](const ScriptReading::Mistake& old) { return old.text == mistake.text; });
    };
    std::vector<std::string> reasons;
    for (const ScriptReading::Mistake& mistake : changed.mistakes) {
        if (!changed.script || !known(mistake)) {
            reasons.push_back(mistake.place.empty() ? mistake.text
                                                    : mistake.place + ": " + mistake.text);
        }
    }
    if (changed.script && changed.script->parts.empty() && reasons.empty()) {
        // What the show would stop on as it starts again.
        reasons.push_back("Nothing to be done... check for some missing PART block.");
    }
    return reasons;
}

}  // namespace vesta
