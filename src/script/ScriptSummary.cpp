#include "script/ScriptSummary.h"

#include <algorithm>
#include <set>

namespace vesta {
namespace {

int countOperations(const std::vector<CLayerOperation>& operations) {
    int count = 0;
    for (const CLayerOperation& operation : operations) {
        count += 1 + countOperations(operation.children);
    }
    return count;
}

// Blocks fire in time order, so a part's names are known block by block.
void checkPart(const CPart& part, const LayerKindCheck& isLayerKind,
               std::vector<std::string>& problems) {
    std::set<std::string> names;
    for (const CTimeBlock& block : part.timeBlocks) {
        for (const CLayerOperation& operation : block.operations) {
            const std::string& target = operation.argument;
            switch (operation.kind) {
            case OperationKind::Create:
                if (!isLayerKind(target)) {
                    problems.push_back(operation.place + " : unknown layer kind [" + target + "]");
                }
                if (!operation.name.empty()) {
                    names.insert(operation.name);
                }
                break;
            case OperationKind::Update:
                if (!names.contains(target)) {
                    problems.push_back(operation.place + " : no layer named [" + target +
                                       "] is created before this UPDATE");
                }
                break;
            case OperationKind::Delete:  // of nobody: nothing happens
            case OperationKind::End:
            case OperationKind::PartEnd:
                break;
            }
        }
    }
}

}  // namespace

PartSummary SummarizePart(const CPart& part) {
    PartSummary summary;
    summary.timeBlocks = static_cast<int>(part.timeBlocks.size());
    for (const CTimeBlock& block : part.timeBlocks) {
        summary.operations += countOperations(block.operations);
        for (const CLayerOperation& operation : block.operations) {
            const bool ends =
                operation.kind == OperationKind::PartEnd || operation.kind == OperationKind::End;
            if (ends && (!summary.end || block.time < *summary.end)) {
                summary.end = block.time;
                summary.endsProduction = operation.kind == OperationKind::End;
            }
        }
    }
    return summary;
}

std::optional<double> ExpectedLength(const std::vector<CPart>& parts) {
    double length = 0.0;
    for (const CPart& part : parts) {
        const PartSummary summary = SummarizePart(part);
        if (!summary.end) {
            return std::nullopt;
        }
        length += std::max(0.0f, *summary.end);
        if (summary.endsProduction) {
            break;
        }
    }
    return length;
}

std::vector<std::string> FindScriptProblems(const ParsedScript& script,
                                            const LayerKindCheck& isLayerKind) {
    std::vector<std::string> problems;
    for (const CPart& part : script.parts) {
        checkPart(part, isLayerKind, problems);
    }
    return problems;
}

}  // namespace vesta
