#pragma once
// What the main loop draws over the show: the frame rate with its optional
// sound-level bars, and the part and time line.

#include <string>
#include <vector>

#include "app/FpsCounter.h"
#include "app/PlayKeys.h"
#include "render/RenderResources.h"

namespace vesta {

struct OverlaySwitches {
    bool showFps = false;        // the script's SHOWFPS
    bool showTime = false;       // SHOWTIME
    bool soundBars = false;      // SOUNDBARS
    bool showFrameRate = false;  // the classic dialog's box
    bool showKeys = false;       // the play keys' list (H)
};

struct SoundLevels {
    int left = 0;
    int right = 0;
};

// A row of `length` stars (at most 511).
std::string SoundBar(int level);

// `rate` is what is shown as the current rate: the measured one, or the
// video's frame rate while recording.
void DrawFrameRateOverlay(Font& font, const OverlaySwitches& switches, float rate, float average,
                          const SoundLevels& levels);

void DrawTimeLine(Font& font, int part, float time);

// The play keys' list under the other lines, `state` (paused, looping) first.
void DrawKeyList(Font& font, const std::string& state, const std::vector<PlayKeyLine>& lines);

}  // namespace vesta
