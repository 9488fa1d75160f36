#pragma once
// What a parsed script holds, at a glance: for the lint mode and for showing
// a recording's progress against the production's length.

#include <optional>
#include <vector>

#include "script/ScriptData.h"

namespace vesta {

struct PartSummary {
    int timeBlocks = 0;
    int operations = 0;           // every operation, nested ones included
    std::optional<float> end;     // the earliest PARTEND or END time
    bool endsProduction = false;  // that earliest one is an END
};

PartSummary SummarizePart(const CPart& part);

// Seconds from the first part's start to the production's end: the parts'
// lengths up to the first END; unknown when a part that plays has no end.
std::optional<double> ExpectedLength(const std::vector<CPart>& parts);

}  // namespace vesta
