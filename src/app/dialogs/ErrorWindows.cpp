#include "app/dialogs/ErrorWindows.h"

#include <SDL.h>
#include <imgui.h>
#include <memory>

#include "app/dialogs/DialogWidgets.h"
#include "app/dialogs/DialogWindow.h"

namespace vesta {
namespace {

// A read-only text box; ImGui leaves the buffer alone when it is read-only.
void readOnlyText(const char* id, const std::string& text, const ImVec2& size) {
    ImGui::InputTextMultiline(id, const_cast<char*>(text.c_str()), text.size() + 1, size,
                              ImGuiInputTextFlags_ReadOnly);
}

bool okButton(float width) {
    return PushButton("OK", width) || EnterPressed() || EscapePressed();
}

bool runErrorWindow(const std::string& caption, int width, int height,
                    const std::function<bool(DialogWindow&)>& frame) {
    std::string error;
    std::unique_ptr<DialogWindow> window = DialogWindow::Open(caption, width, height, error);
    if (!window) {
        return false;
    }
    SDL_SetWindowAlwaysOnTop(window->Native(), SDL_TRUE);
    window->RunModal([&] { return frame(*window); });
    return true;
}

}  // namespace

bool ShowMessageErrorWindow(const std::string& caption, const std::string& text,
                            const std::string& systemMessage) {
    return runErrorWindow(caption, 420, 300, [&](DialogWindow&) {
        BeginDialogPanel("Error");
        const float lineHeight = ImGui::GetTextLineHeightWithSpacing();
        ImGui::TextUnformatted("Message");
        readOnlyText("##message", text, {-1.0f, lineHeight * 8.0f});
        ImGui::TextUnformatted("GetLastError (Informative)");
        ImGui::Indent();
        ImGui::TextWrapped("%s", systemMessage.c_str());
        ImGui::Unindent();
        ImGui::TextUnformatted("TraceBack");
        ImGui::Indent();
        ImGui::TextUnformatted("Not available");
        ImGui::Unindent();
        ImGui::Spacing();
        ImGui::SetCursorPosX((ImGui::GetWindowWidth() - 100.0f) / 2.0f);
        const bool done = okButton(100.0f);
        EndDialogPanel();
        return !done;
    });
}

bool ShowReportErrorWindow(const std::string& caption, const std::string& text) {
    return runErrorWindow(caption, 600, 200, [&](DialogWindow& window) {
        BeginDialogPanel("Report");
        const float buttonHeight = ImGui::GetFrameHeightWithSpacing();
        ImGui::PushFont(window.FixedFont());
        readOnlyText("##report", text, {-1.0f, ImGui::GetContentRegionAvail().y - buttonHeight});
        ImGui::PopFont();
        const bool done = okButton(-1.0f);
        EndDialogPanel();
        return !done;
    });
}

}  // namespace vesta
