#pragma once
// What a script says, as the parser leaves it for the timeline: switches,
// parts, time blocks and the operations inside them. Nothing here runs, and
// nothing here changes once parsed: the timeline keeps its own marks of what
// has happened, so one parsed script can be played again or by several
// timelines.

#include <map>
#include <string>
#include <utility>
#include <vector>

namespace vesta {

enum class OperationKind : int { Create = 0, Update = 1, Delete = 2, End = 3, PartEnd = 4 };

// The statement that makes an operation of the kind.
inline const char* OperationKeyword(OperationKind kind) {
    switch (kind) {
    case OperationKind::Create:
        return "CREATE";
    case OperationKind::Update:
        return "UPDATE";
    case OperationKind::Delete:
        return "DELETE";
    case OperationKind::End:
        return "END";
    case OperationKind::PartEnd:
        return "PARTEND";
    }
    return "";
}

enum class MoveTarget : int { Top = 0, Bottom = 1, Stay = 2 };

struct ScriptParameter {
    ScriptParameter() = default;
    ScriptParameter(std::string parameterName, std::string valueText, std::string where = {})
        : name(std::move(parameterName)), value(std::move(valueText)), place(std::move(where)) {}

    std::string name;
    std::string value;
    std::string place;  // "file(line)" of its own statement; not part of its identity

    bool operator==(const ScriptParameter& other) const {
        return name == other.name && value == other.value;
    }
};

struct CLayerOperation {
    std::string argument;  // kind name of a CREATE, target name of UPDATE / DELETE
    std::string name;      // NAME
    OperationKind kind = OperationKind::Create;
    bool insertAtBottom = false;
    MoveTarget move = MoveTarget::Stay;
    bool restart = false;
    std::string place;  // "file(line)"
    std::vector<ScriptParameter> parameters;
    std::vector<CLayerOperation> children;
};

struct CTimeBlock {
    float time = 0.0f;     // seconds from the part start; negative: at load
    std::string timeText;  // the TIME argument as written (after substitution)
    std::string place;
    std::string description;
    std::vector<CLayerOperation> operations;
};

struct CPart {
    std::string place;  // "file(line)" of its PART statement
    std::map<std::string, std::string, std::less<>> statementPlaces;  // keyword: "file(line)"
    std::string loadingImage;                                         // "file[, xscale[, yscale]]"
    std::string loadingAnimation;                                     // "file, x, y, w, h; ..."
    std::string musicStream;
    std::string modStream;
    std::string nextLoadSample;
    bool showDescriptions = false;
    std::vector<CTimeBlock> timeBlocks;  // ascending time once the part is parsed
};

struct ScriptSwitches {
    bool showFps = false;
    bool showTime = false;
    bool logScript = false;
    bool timeStretch = false;
    bool soundBars = false;
};

struct ParsedScript {
    ScriptSwitches switches;
    std::vector<CPart> parts;
};

}  // namespace vesta
