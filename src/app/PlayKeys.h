#pragma once
// The keys an author plays the show with (pause, seek, loop, screenshots):
// which key does what, the lines that list them, and where a seek goes.

#include <optional>
#include <string>
#include <vector>

#include "app/StartPoint.h"

namespace vesta {

enum class PlayAction {
    None,
    Pause,         // Space: the clock, music and sound stop and go on together
    Back,          // Left: one second back
    Forward,       // Right: one second on
    PreviousPart,  // Page Up: the start of the part before
    NextPart,      // Page Down: the start of the next part
    Loop,          // L: the current part plays again and again
    Restart,       // Home: the start of the show
    Help,          // H: these keys on screen
    Screenshot,    // F12: the frame into a numbered PNG file
};

// What the key with virtual-key code `key` does; None for the others (Escape
// and the time-stretch keys are handled where they always were).
PlayAction PlayActionOf(int key);

// The keys and what they do, short enough for the smallest screen: for the
// help text and the on-screen list.
struct PlayKeyLine {
    std::string keys;
    std::string action;
};
const std::vector<PlayKeyLine>& PlayKeyLines();

// Where the show is when a key is pressed.
struct PlayPosition {
    double time = 0.0;  // presentation time
    int part = 1;       // numbered from 1
    int partCount = 1;
    // The current part has an end after which another part follows.
    bool nextPartFollows = false;
    // Where the show ends, when the script tells.
    std::optional<double> showEnd;
};

// The seek of `action` from `position`, clamped to the show: none when the
// action seeks nowhere or there is nowhere to go (no part after the last one,
// no time left before the end).
std::optional<StartPoint> SeekTargetOf(PlayAction action, const PlayPosition& position);

// Whether reaching `target` from `position` needs the show started again:
// the frames only ever run forwards.
bool SeeksBackwards(const StartPoint& target, const PlayPosition& position);

}  // namespace vesta
