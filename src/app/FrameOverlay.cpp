#include "app/FrameOverlay.h"

namespace vesta {

std::string SoundBar(int level) {
    return std::string(static_cast<std::size_t>(SoundBarLength(level)), '*');
}

void DrawFrameRateOverlay(Font& font, const OverlaySwitches& switches, float rate, float average,
                          const SoundLevels& levels) {
    if (!switches.showFps && !switches.soundBars && !switches.showFrameRate) {
        font.Print(0, 10, 10, " ");
        return;
    }
    font.Print(0, 10, 10, "%.2f (Avg : %.2f)", rate, average);
    if (switches.soundBars) {
        font.Print(0, 10, 60, "%s", SoundBar((levels.left + levels.right) / 2).c_str());
        font.Print(0, 10, 80, "%s", SoundBar(levels.left).c_str());
        font.Print(0, 10, 100, "%s", SoundBar(levels.right).c_str());
    }
}

void DrawKeyList(Font& font, const std::string& state, const std::vector<PlayKeyLine>& lines) {
    // Below the rate and time lines; the sound bars, rarely on with it, may cross it.
    constexpr unsigned kTop = 45;
    constexpr unsigned kLineHeight = 15;
    unsigned y = kTop;
    if (!state.empty()) {
        font.Print(0, 10, y, "%s", state.c_str());
        y += kLineHeight;
    }
    // The font is proportional: the actions line up in a column of their own.
    constexpr unsigned kActionColumn = 95;
    for (const PlayKeyLine& line : lines) {
        font.Print(0, 10, y, "%s", line.keys.c_str());
        font.Print(0, kActionColumn, y, "%s", line.action.c_str());
        y += kLineHeight;
    }
}

void DrawTimeLine(Font& font, int part, float time) {
    font.Print(0, 10, 25, "Part %d, %.2f", part, time);
}

}  // namespace vesta
