#include "log/LogWindow.h"

namespace vesta {

void CLogWindow::Append(const char* line) {
    m_lines.emplace_back(line);
    ++m_appended;
    if (m_lines.size() > kMaxLines) {
        m_lines.pop_front();
    }
}

void CLogWindow::SinkAppend(void* window, const char* line) {
    static_cast<CLogWindow*>(window)->Append(line);
}

}  // namespace vesta
