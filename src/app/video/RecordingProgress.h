#pragma once
// How far a recording has come, on standard error: frames written, the
// presentation time against the show's length, frames per second and the
// time left. On a terminal one line is redrawn in place a few times a second;
// into a file or a pipe a plain line goes out every second of wall time.

#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>

namespace vesta {

class RecordingProgress {
public:
    using Clock = std::function<double()>;  // wall time in seconds

    // `expectedSeconds` <= 0 when the show's length is unknown.
    RecordingProgress(std::FILE* out, bool terminal, double expectedSeconds, Clock clock);
    // Standard error, a terminal when isatty says so, the monotonic clock.
    explicit RecordingProgress(double expectedSeconds);

    // After each frame; prints only when the interval has passed.
    void Update(std::int64_t framesWritten, double presentationSeconds);
    // The last line, always printed once.
    void Finish(std::int64_t framesWritten, double presentationSeconds);

    // The line Update would print now; without the terminal's framing.
    std::string Line(std::int64_t framesWritten, double presentationSeconds) const;

private:
    void print(const std::string& line);

    std::FILE* m_out;
    bool m_terminal;
    double m_expected;
    Clock m_clock;
    double m_start;
    double m_lastPrint;
    std::size_t m_lastLength = 0;
    bool m_finished = false;
};

// "1:05:09" or "4:07".
std::string FormatDuration(double seconds);

}  // namespace vesta
