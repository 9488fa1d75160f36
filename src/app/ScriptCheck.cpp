#include "app/ScriptCheck.h"

#include <string>
#include <string_view>

#include "app/AppConfig.h"
#include "app/CheckEffects.h"
#include "app/CheckFiles.h"
#include "app/CheckFindings.h"
#include "app/CheckStructure.h"
#include "fs/ArchiveList.h"
#include "fs/SearchPaths.h"
#include "log/Log.h"
#include "script/ScriptLog.h"
#include "script/ScriptParser.h"
#include "script/ScriptSummary.h"
#include "script/ScriptTimeline.h"

namespace vesta {
namespace {

const char* plural(int count, const char* one, const char* many) {
    return count == 1 ? one : many;
}

void printSummary(std::FILE* out, const std::string& scriptName, const ParsedScript& script) {
    const int parts = static_cast<int>(script.parts.size());
    std::fprintf(out, "%s: %d %s", scriptName.c_str(), parts, plural(parts, "part", "parts"));
    if (const std::optional<double> length = ExpectedLength(script.parts)) {
        std::fprintf(out, ", %.2f s", *length);
    }
    std::fputc('\n', out);
    for (int index = 0; index < parts; ++index) {
        const PartSummary part = SummarizePart(script.parts[static_cast<std::size_t>(index)]);
        std::fprintf(out, "  part %d: %d time %s, %d %s", index + 1, part.timeBlocks,
                     plural(part.timeBlocks, "block", "blocks"), part.operations,
                     plural(part.operations, "operation", "operations"));
        if (part.end) {
            std::fprintf(out, ", %s at %.2f s", part.endsProduction ? "END" : "PARTEND",
                         static_cast<double>(*part.end));
        } else {
            std::fputs(", no end", out);
        }
        std::fputc('\n', out);
    }
}

int checkScript(std::FILE* out, std::FILE* err, bool strict, bool timeline) {
    const auto config = LoadConfigDocument(kConfigFileName);
    const AppConfig settings = ReadAppConfig(*config);
    for (const std::string& folder : settings.searchPaths) {
        AddSearchPath(folder);
    }
    ParsedScript script;
    ScriptNotes notes;
    CScriptParser parser(script);
    parser.SetNotes(&notes);
    parser.Load(settings.script);
    if (script.switches.logScript && !WriteScriptLog(script.parts)) {
        std::fprintf(err, "vesta: cannot write ScriptLog.html\n");
    }
    if (script.switches.logScript || timeline) {
        if (!WriteScriptTimeline(script.parts)) {
            std::fprintf(err, "vesta: cannot write ScriptTimeline.html\n");
        }
    }
    printSummary(out, settings.script, script);
    const std::vector<std::string> constants = parser.Constants().Names();
    CheckFindings findings;
    CheckParsedScript(script, notes, constants, findings);
    findings.Print(err);
    if (findings.Errors() > 0 || (strict && findings.Warnings() > 0)) {
        return 1;
    }
    return 0;
}

}  // namespace

void CheckParsedScript(const ParsedScript& script, const ScriptNotes& notes,
                       const std::vector<std::string>& constants, CheckFindings& findings) {
    CheckStructure(script, notes, constants, findings);
    for (const CPart& part : script.parts) {
        CheckPartFiles(part, findings);
    }
    CheckEffects(script, constants, findings);
}

int RunScriptCheck(std::FILE* out, std::FILE* err, bool strict, bool timeline) {
    try {
        ArchiveList::MountAll();
        return checkScript(out, err, strict, timeline);
    } catch (const CAppError& error) {
        std::fprintf(err, "vesta: %s\n", error.Text().c_str());
    } catch (const CUserException& error) {
        std::fprintf(err, "vesta: %s\n", error.Text());
    }
    return 1;
}

}  // namespace vesta
