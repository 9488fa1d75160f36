#pragma once
// The lines of the log window. The window itself (a text view) draws them;
// this keeps the list and its cap, which is all the engine relies on.

#include <cstdint>
#include <deque>
#include <string>

namespace vesta {

class CLogWindow {
public:
    static constexpr std::size_t kMaxLines = 200;

    void Append(const char* line);
    const std::deque<std::string>& Lines() const { return m_lines; }
    // Lines appended so far, capped or not: a view redraws when it changes.
    std::uint64_t Appended() const { return m_appended; }

    // The log sink's signature: the line arrives formatted and is kept as is.
    static void SinkAppend(void* window, const char* line);

private:
    std::deque<std::string> m_lines;
    std::uint64_t m_appended = 0;
};

}  // namespace vesta
