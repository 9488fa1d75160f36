#include "app/PlayKeys.h"

#include <algorithm>

#include "app/AppWindow.h"

namespace vesta {
namespace {

constexpr double kSeekStepSeconds = 1.0;
// A forward seek stops a frame short of the end, so that the show is still
// there to be seen.
constexpr double kLastFrameSeconds = 1.0 / 25.0;

}  // namespace

PlayAction PlayActionOf(int key) {
    switch (key) {
    case kKeySpace:
        return PlayAction::Pause;
    case kKeyLeft:
        return PlayAction::Back;
    case kKeyRight:
        return PlayAction::Forward;
    case kKeyPageUp:
        return PlayAction::PreviousPart;
    case kKeyPageDown:
        return PlayAction::NextPart;
    case kKeyL:
        return PlayAction::Loop;
    case kKeyHome:
        return PlayAction::Restart;
    case kKeyH:
        return PlayAction::Help;
    case kKeyF12:
        return PlayAction::Screenshot;
    default:
        return PlayAction::None;
    }
}

const std::vector<PlayKeyLine>& PlayKeyLines() {
    static const std::vector<PlayKeyLine> lines = {
        {"Space", "pause / go on"},
        {"Left, Right", "one second back / on"},
        {"PgUp, PgDn", "part before / next part"},
        {"Home", "start of the show"},
        {"L", "loop this part / stop"},
        {"F1 .. F9", "speed (TIMESTRETCH)"},
        {"F12", "screenshot"},
        {"H", "this list / hide it"},
        {"Escape", "quit"},
    };
    return lines;
}

std::optional<StartPoint> SeekTargetOf(PlayAction action, const PlayPosition& position) {
    switch (action) {
    case PlayAction::Back:
        return StartPoint::AtTime(std::max(0.0, position.time - kSeekStepSeconds));
    case PlayAction::Forward: {
        double target = position.time + kSeekStepSeconds;
        if (position.showEnd) {
            target = std::min(target, *position.showEnd - kLastFrameSeconds);
        }
        if (target <= position.time) {
            return std::nullopt;
        }
        return StartPoint::AtTime(target);
    }
    case PlayAction::PreviousPart:
        return StartPoint::AtPart(std::max(1, position.part - 1));
    case PlayAction::NextPart:
        if (position.part >= position.partCount || !position.nextPartFollows) {
            return std::nullopt;
        }
        return StartPoint::AtPart(position.part + 1);
    case PlayAction::Restart:
        return StartPoint::AtTime(0.0);
    default:
        return std::nullopt;
    }
}

bool SeeksBackwards(const StartPoint& target, const PlayPosition& position) {
    if (const std::optional<double> time = target.Time()) {
        return *time < position.time;
    }
    return target.Part() <= position.part;
}

}  // namespace vesta
