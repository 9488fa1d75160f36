#include "script/ScriptSummary.h"

#include <algorithm>

namespace vesta {
namespace {

int countOperations(const std::vector<CLayerOperation>& operations) {
    int count = 0;
    for (const CLayerOperation& operation : operations) {
        count += 1 + countOperations(operation.children);
    }
    return count;
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

}  // namespace vesta
