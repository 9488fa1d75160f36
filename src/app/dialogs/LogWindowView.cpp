#include "app/dialogs/LogWindowView.h"

#include <SDL.h>
#include <cctype>
#include <imgui.h>

#include "app/dialogs/DialogWidgets.h"
#include "app/dialogs/DialogWindow.h"
#include "log/LogWindow.h"

namespace vesta {
namespace {

// The colour table the lines were written for: the text colour, red, blue.
const ImVec4 kColours[] = {
    {0.0f, 0.0f, 0.0f, 1.0f}, {1.0f, 0.0f, 0.0f, 1.0f}, {0.0f, 0.0f, 1.0f, 1.0f}};

void drawLine(const std::string& line) {
    bool first = true;
    for (const ColouredText& piece : ColouredSegments(line)) {
        if (!first) {
            ImGui::SameLine(0.0f, 0.0f);
        }
        first = false;
        ImGui::PushStyleColor(ImGuiCol_Text, kColours[piece.colour]);
        ImGui::TextUnformatted(piece.text.c_str(), piece.text.c_str() + piece.text.size());
        ImGui::PopStyleColor();
    }
}

}  // namespace

std::vector<ColouredText> ColouredSegments(const std::string& line) {
    std::vector<ColouredText> pieces(1);
    for (std::size_t i = 0; i < line.size();) {
        // "\cfN": a control word; one blank after it belongs to it.
        if (line.compare(i, 3, "\\cf") == 0 && i + 3 < line.size() && line[i + 3] >= '0' &&
            line[i + 3] <= '2' &&
            (i + 4 == line.size() || !std::isdigit(static_cast<unsigned char>(line[i + 4])))) {
            const int colour = line[i + 3] - '0';
            i += 4;
            if (i < line.size() && line[i] == ' ') {
                ++i;
            }
            if (pieces.back().text.empty()) {
                pieces.back().colour = colour;
            } else {
                pieces.push_back({colour, ""});
            }
            continue;
        }
        pieces.back().text += line[i++];
    }
    return pieces;
}

std::unique_ptr<LogWindowView> LogWindowView::Open(const CLogWindow& lines, std::string& error) {
    std::unique_ptr<DialogWindow> window = DialogWindow::Open("Log Window", 540, 180, error);
    if (!window) {
        return nullptr;
    }
    SDL_ShowWindow(window->Native());
    return std::unique_ptr<LogWindowView>(new LogWindowView(lines, std::move(window)));
}

LogWindowView::LogWindowView(const CLogWindow& lines, std::unique_ptr<DialogWindow> window)
    : m_lines(lines), m_window(std::move(window)) {}

LogWindowView::~LogWindowView() = default;

bool LogWindowView::HandleEvent(const SDL_Event& event) {
    if (event.type == SDL_QUIT || !m_window->HandleEvent(event)) {
        return false;
    }
    m_inputSinceDraw = true;
    if (m_window->CloseRequested()) {
        // Closed, the lines are still kept; the show goes on.
        SDL_HideWindow(m_window->Native());
    }
    return true;
}

void LogWindowView::Refresh() {
    if (m_window->CloseRequested() || (!m_inputSinceDraw && m_drawnLines == m_lines.Appended())) {
        return;
    }
    const bool newLines = m_drawnLines != m_lines.Appended();
    m_inputSinceDraw = false;
    m_drawnLines = m_lines.Appended();
    m_window->DrawOnce([this] { draw(); });
    if (newLines) {
        // The scroll to the new last line takes effect in the frame after.
        m_window->DrawOnce([this] { draw(); });
    }
}

void LogWindowView::draw() {
    BeginDialogPanel("Log");
    ImGui::BeginChild("lines", {0.0f, 0.0f}, true, ImGuiWindowFlags_HorizontalScrollbar);
    for (const std::string& line : m_lines.Lines()) {
        drawLine(line);
    }
    // New lines scroll into view unless the reader scrolled up.
    if (m_followEnd) {
        ImGui::SetScrollHereY(1.0f);
    }
    m_followEnd = ImGui::GetScrollY() >= ImGui::GetScrollMaxY() - 1.0f;
    ImGui::EndChild();
    EndDialogPanel();
}

}  // namespace vesta
