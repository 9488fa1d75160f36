#pragma once
// The lines of the log window. The window itself (a text view) draws them;
// this keeps the list and its cap, which is all the engine relies on.

#include <deque>
#include <string>

namespace vesta {

class CLogWindow {
public:
    static constexpr std::size_t kMaxLines = 200;

    void Append(const char* line);
    const std::deque<std::string>& Lines() const { return m_lines; }

    // The log sink's signature: the line arrives formatted and is kept as is.
    static void SinkAppend(void* window, const char* line);

private:
    std::deque<std::string> m_lines;
};

}  // namespace vesta
