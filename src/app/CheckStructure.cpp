#include "app/CheckStructure.h"

#include <algorithm>
#include <set>

#include "app/NearestWord.h"
#include "app/ValueCheck.h"

namespace vesta {
namespace {

struct Keyword {
    const char* word;
    ScriptContext context;
    bool opensBlock;
};

constexpr Keyword kKeywords[] = {
    {"PART", ScriptContext::TopLevel, true},
    {"SHOWFPS", ScriptContext::TopLevel, false},
    {"SHOWTIME", ScriptContext::TopLevel, false},
    {"TIMESTRETCH", ScriptContext::TopLevel, false},
    {"LOGSCRIPT", ScriptContext::TopLevel, false},
    {"SOUNDBARS", ScriptContext::TopLevel, false},
    {"SEARCHPAK_FIRST", ScriptContext::TopLevel, false},
    {"TIME", ScriptContext::Part, true},
    {"SHOWDESC", ScriptContext::Part, false},
    {"LOADINGIMG", ScriptContext::Part, false},
    {"LOADINGANIM", ScriptContext::Part, false},
    {"MUSICSTREAM", ScriptContext::Part, false},
    {"MODSTREAM", ScriptContext::Part, false},
    {"NEXTLOAD_SAMPLE", ScriptContext::Part, false},
    {"CREATE", ScriptContext::TimeBlock, true},
    {"UPDATE", ScriptContext::TimeBlock, true},
    {"DELETE", ScriptContext::TimeBlock, true},
    {"END", ScriptContext::TimeBlock, false},
    {"PARTEND", ScriptContext::TimeBlock, false},
    {"DESC", ScriptContext::TimeBlock, false},
};

const char* contextName(ScriptContext context) {
    switch (context) {
    case ScriptContext::TopLevel:
        return "outside any part";
    case ScriptContext::Part:
        return "in a part block";
    case ScriptContext::TimeBlock:
        return "in a time block";
    }
    return "";
}

const Keyword* findKeyword(std::string_view word) {
    for (const Keyword& keyword : kKeywords) {
        if (word == keyword.word) {
            return &keyword;
        }
    }
    return nullptr;
}

std::vector<std::string> keywordsOf(ScriptContext context) {
    std::vector<std::string> words{"DEFINE", "INCLUDE"};
    for (const Keyword& keyword : kKeywords) {
        if (keyword.context == context) {
            words.emplace_back(keyword.word);
        }
    }
    return words;
}

std::string ignoredText(const IgnoredStatement& statement) {
    const std::string quoted = "[" + statement.keyword + "]";
    const Keyword* known = findKeyword(statement.keyword);
    if (known && known->context == statement.context) {
        // Known here, but its block needs the '{' on its own line.
        return quoted + " without { on its line opens no block and is ignored.";
    }
    if (known) {
        std::string text = quoted + " is ignored " + std::string(contextName(statement.context)) +
                           ": it belongs " + contextName(known->context) + ".";
        if (statement.context == ScriptContext::TopLevel) {
            text += statement.enclosingPlace.empty()
                        ? " No part is open here: has its PART lost its {?"
                        : " No part is open here: the part opened at " + statement.enclosingPlace +
                              " was closed before it by a } too many.";
        } else if (known->context == ScriptContext::Part &&
                   statement.context == ScriptContext::TimeBlock) {
            text += " The time block opened at " + statement.enclosingPlace +
                    " seems to have lost its closing }.";
        } else if (known->context == ScriptContext::TopLevel &&
                   statement.context == ScriptContext::Part) {
            text += " The part opened at " + statement.enclosingPlace +
                    " seems to have lost its closing }, and the two parts play as one.";
        }
        return text;
    }
    std::string text = "unknown statement " + quoted + " " + contextName(statement.context) +
                       " is ignored." +
                       DidYouMean(statement.keyword, keywordsOf(statement.context));
    if (statement.opensBlock && statement.context == ScriptContext::TimeBlock) {
        text += " Its lines are passed over, its } closes the time block opened at " +
                statement.enclosingPlace + ", and the next } the part.";
    } else if (statement.opensBlock && statement.context == ScriptContext::Part) {
        text += " Its lines are read as the part's, and its } closes the part opened at " +
                statement.enclosingPlace + ".";
    }
    return text;
}

// Unknown statements are warnings, known ones out of their place errors.
// After a block the parser did not know, the lines it swallowed are no news.
void reportIgnored(const ScriptNotes& notes, CheckFindings& findings) {
    std::set<std::pair<int, std::string>> swallowing;
    for (const IgnoredStatement& statement : notes.ignored) {
        const std::pair<int, std::string> block{static_cast<int>(statement.context),
                                                statement.enclosingPlace};
        const Keyword* known = findKeyword(statement.keyword);
        if (swallowing.contains(block) && !(known && known->opensBlock)) {
            continue;
        }
        // A top-level word that is no keyword and near no top-level one is
        // the remnant of a block, not a statement of its own.
        if (statement.context == ScriptContext::TopLevel && !known &&
            !NearestWord(statement.keyword, keywordsOf(ScriptContext::TopLevel))) {
            continue;
        }
        if (statement.opensBlock) {
            swallowing.insert(block);
        }
        // A known statement out of its place was meant to act, and does not.
        if (known) {
            findings.Error(statement.place, ignoredText(statement));
        } else {
            findings.Warning(statement.place, ignoredText(statement));
        }
    }
}

// An end in the load-time block is never run, like everything there but CREATE.
bool playedEnd(const CPart& part, OperationKind end) {
    return std::any_of(part.timeBlocks.begin(), part.timeBlocks.end(), [&](const CTimeBlock& b) {
        return b.time >= 0.0f &&
               std::any_of(b.operations.begin(), b.operations.end(),
                           [&](const CLayerOperation& operation) { return operation.kind == end; });
    });
}

void checkParts(const ParsedScript& script, const std::vector<std::string>& constants,
                CheckFindings& findings) {
    bool ended = false;
    for (const CPart& part : script.parts) {
        for (const CTimeBlock& block : part.timeBlocks) {
            if (!WholeNumber(block.timeText)) {
                const std::optional<ValueProblem> problem =
                    CheckValue(ParameterType::Float, block.timeText, constants);
                findings.Error(
                    block.place,
                    "TIME " + (problem ? problem->text : "[" + block.timeText + "] is no number."));
            }
            if (block.time >= 0.0f) {
                continue;
            }
            for (const CLayerOperation& operation : block.operations) {
                if (operation.kind != OperationKind::Create) {
                    findings.Error(operation.place,
                                   std::string(OperationKeyword(operation.kind)) +
                                       " stands in the load-time block (TIME " + block.timeText +
                                       " at " + block.place +
                                       "), which only creates layers: it is never run. Has "
                                       "that block lost its closing }?");
                }
            }
        }
        const bool endsShow = playedEnd(part, OperationKind::End);
        if (!ended && !endsShow && !playedEnd(part, OperationKind::PartEnd)) {
            findings.Error(part.place, "this part has no PARTEND or END: it would play (and "
                                       "record) for ever.");
        }
        ended = ended || endsShow;
    }
}

}  // namespace

void CheckStructure(const ParsedScript& script, const ScriptNotes& notes,
                    const std::vector<std::string>& constants, CheckFindings& findings) {
    if (script.parts.empty()) {
        findings.Error("", "Nothing to be done... check for some missing PART block.");
    }
    reportIgnored(notes, findings);
    for (const UnclosedBlock& block : notes.unclosed) {
        findings.Error(block.place, block.what + " opens a block that the script never closes: "
                                                 "a } is missing.");
    }
    for (const CrowdedLine& line : notes.crowded) {
        findings.Warning(line.place, "[" + line.unread +
                                         "] after the first statement on this line is never "
                                         "read: one statement a line.");
    }
    checkParts(script, constants, findings);
}

}  // namespace vesta
