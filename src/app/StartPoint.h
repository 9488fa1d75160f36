#pragma once
// Where a run begins when it does not begin with the show: a presentation
// time or the first frame of a part. The frames before it run as they always
// do (blocks fire, layers update and draw, the sound is mixed), shown to no
// one and recorded by nobody, so that the first frame shown is the one a run
// from the start shows there.

#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/CommandLine.h"
#include "script/ScriptData.h"

namespace vesta {

// A start the show never reaches; a mistake on the command line.
class StartPointError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class StartPoint {
public:
    // None when the options start with the show.
    static std::optional<StartPoint> FromOptions(const LaunchOptions& options);
    // A seek while playing: to presentation time `seconds` (0 or more), or to
    // the first frame of part `part` (from 1).
    static StartPoint AtTime(double seconds);
    static StartPoint AtPart(int part);

    // Throws StartPointError when the show has no such part or, as far as the
    // script tells, ends before that time.
    void CheckAgainst(const std::vector<CPart>& parts) const;
    // `partSeconds` into the part numbered `part`, where a show whose script
    // changed goes on: reached there, or at the start of a later part when
    // that part now ends sooner.
    static StartPoint InPart(int part, double partSeconds);
    // Whether the frame that begins at presentation time `now`, `partTime`
    // into the part numbered `partCounter`, is the first one to show.
    bool ReachedBy(double now, int partCounter, double partTime) const;
    // Whether a frame before the start, beginning at `now`, must be drawn:
    // only those of the last second before a start time. Effects that learn
    // from what they drew (a halo fades as its light is seen or hidden) have
    // settled by then; everything else does not depend on drawing. A part
    // begins with nothing of the one before: none before a part is drawn.
    bool DrawnBeforeStart(double now, int partCounter, double partTime) const;
    // Whether the start is where a changed script resumes the show.
    bool Resumes() const { return m_partTime.has_value(); }
    // For the messages: "part 3" or "12.5 s".
    std::string Describe() const;
    // The presentation time the run starts at, when it is given as one.
    std::optional<double> Time() const { return m_time; }
    // The part the run starts at, when it is not given as a time.
    int Part() const { return m_part; }

private:
    std::optional<double> m_time;
    std::optional<double> m_partTime;  // with m_part
    int m_part = 1;
};

}  // namespace vesta
