#include "app/video/RecordingProgress.h"

#include <algorithm>
#include <cmath>
#include <cstdarg>
#include <unistd.h>

#include "platform/Clock.h"

namespace vesta {
namespace {

constexpr double kTerminalInterval = 0.25;
constexpr double kPlainInterval = 1.0;

double monotonicSeconds() {
    return double(PerformanceCounter()) / double(PerformanceFrequency());
}

__attribute__((format(printf, 1, 2))) std::string format(const char* pattern, ...) {
    char buffer[256];
    std::va_list args;
    va_start(args, pattern);
    std::vsnprintf(buffer, sizeof buffer, pattern, args);
    va_end(args);
    return buffer;
}

}  // namespace

std::string FormatDuration(double seconds) {
    const auto total = static_cast<long long>(std::max(0.0, std::round(seconds)));
    const long long hours = total / 3600;
    const long long minutes = total / 60 % 60;
    const long long rest = total % 60;
    return hours > 0 ? format("%lld:%02lld:%02lld", hours, minutes, rest)
                     : format("%lld:%02lld", minutes, rest);
}

RecordingProgress::RecordingProgress(std::FILE* out, bool terminal, double expectedSeconds,
                                     Clock clock)
    : m_out(out), m_terminal(terminal), m_expected(expectedSeconds), m_clock(std::move(clock)),
      m_start(m_clock()), m_lastPrint(m_start) {}

RecordingProgress::RecordingProgress(double expectedSeconds)
    : RecordingProgress(stderr, isatty(STDERR_FILENO) != 0, expectedSeconds, monotonicSeconds) {}

std::string RecordingProgress::Line(std::int64_t framesWritten, double presentationSeconds) const {
    const double elapsed = m_clock() - m_start;
    const double fps = elapsed > 0.0 ? double(framesWritten) / elapsed : 0.0;
    const auto frames = static_cast<long long>(framesWritten);
    if (m_expected <= 0.0) {
        return format("Recording : frame %lld, %.2f s, %.1f fps", frames, presentationSeconds, fps);
    }
    const double percent = std::min(100.0, 100.0 * presentationSeconds / m_expected);
    std::string left = "--:--";
    if (presentationSeconds > 0.0 && elapsed > 0.0) {
        // Presentation seconds made per wall second, so far.
        const double speed = presentationSeconds / elapsed;
        left = FormatDuration(std::max(0.0, m_expected - presentationSeconds) / speed);
    }
    return format("Recording : frame %lld, %.2f s of %.2f s (%.0f%%), %.1f fps, %s left", frames,
                  presentationSeconds, m_expected, percent, fps, left.c_str());
}

void RecordingProgress::Update(std::int64_t framesWritten, double presentationSeconds) {
    if (m_finished) {
        return;
    }
    const double now = m_clock();
    if (now - m_lastPrint < (m_terminal ? kTerminalInterval : kPlainInterval)) {
        return;
    }
    m_lastPrint = now;
    print(Line(framesWritten, presentationSeconds));
}

void RecordingProgress::Finish(std::int64_t framesWritten, double presentationSeconds) {
    if (m_finished) {
        return;
    }
    m_finished = true;
    const double elapsed = m_clock() - m_start;
    const double fps = elapsed > 0.0 ? double(framesWritten) / elapsed : 0.0;
    print(format("Recording : %lld frames, %.2f s of video in %s (%.1f fps)",
                 static_cast<long long>(framesWritten), presentationSeconds,
                 FormatDuration(elapsed).c_str(), fps));
    if (m_terminal) {
        std::fputc('\n', m_out);
        std::fflush(m_out);
    }
}

void RecordingProgress::print(const std::string& line) {
    if (!m_terminal) {
        std::fprintf(m_out, "%s\n", line.c_str());
        std::fflush(m_out);
        return;
    }
    // Spaces wipe what a longer previous line left behind.
    const std::size_t pad = m_lastLength > line.size() ? m_lastLength - line.size() : 0;
    std::fprintf(m_out, "\r%s%*s", line.c_str(), int(pad), "");
    std::fflush(m_out);
    m_lastLength = line.size();
}

}  // namespace vesta
