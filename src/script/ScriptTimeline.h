#pragma once
// "ScriptTimeline.html": a picture of the script for authors. The parts lie
// end to end on one time axis; under each, its blocks' times and a bar for
// every effect a CREATE makes, from its birth to its end, shaded by its
// envelope (rise, stable, fall). Hovering a bar or a block shows its kind,
// name, parameters and place in the script. One self-contained page.

#include <optional>
#include <string>
#include <vector>

#include "script/ScriptData.h"

namespace vesta {

// An effect's life as the script states it, in seconds of its part.
struct EffectLife {
    const CLayerOperation* create = nullptr;
    int depth = 0;  // 0 for the part's own effects, 1 for their children, ...
    float birth = 0.0f;
    float start = 0.0f;  // birth + StartTime
    float riseEnd = 0.0f;
    float stableEnd = 0.0f;
    float end = 0.0f;
    bool envelope = false;       // RisingTime, StableTime or FallingTime given
    bool untilPartEnd = false;   // no end of its own before the part's
    std::vector<float> updates;  // times of the UPDATEs of its name
};

struct PartTimeline {
    std::string title;    // the load-time block's DESC, or "Part N"
    float length = 0.0f;  // to PARTEND or END, else past the last block
    bool ends = false;    // the part has a PARTEND or END
    std::vector<EffectLife> effects;
};

// The lives the script gives, part by part: the envelope's three times make
// an effect's length, else LifeTime; a DELETE of its name, and the part's
// end, end it sooner.
std::vector<PartTimeline> ScriptLives(const std::vector<CPart>& parts);

std::string FormatScriptTimeline(const std::vector<CPart>& parts);

// Writes the page in the current folder; false when it cannot be created.
bool WriteScriptTimeline(const std::vector<CPart>& parts,
                         const char* fileName = "ScriptTimeline.html");

}  // namespace vesta
