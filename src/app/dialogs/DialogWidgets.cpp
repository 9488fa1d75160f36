#include "app/dialogs/DialogWidgets.h"

#include <imgui.h>

namespace vesta {

void BeginDialogPanel(const char* name) {
    const ImGuiViewport* viewport = ImGui::GetMainViewport();
    ImGui::SetNextWindowPos(viewport->Pos);
    ImGui::SetNextWindowSize(viewport->Size);
    ImGui::Begin(name, nullptr,
                 ImGuiWindowFlags_NoDecoration | ImGuiWindowFlags_NoMove |
                     ImGuiWindowFlags_NoSavedSettings | ImGuiWindowFlags_NoBringToFrontOnFocus);
}

void EndDialogPanel() {
    ImGui::End();
}

bool DropDownList(const char* label, const std::vector<std::string>& items, int& chosen) {
    ImGui::TextUnformatted(label);
    ImGui::PushID(label);
    ImGui::SetNextItemWidth(-1.0f);
    const char* preview =
        chosen >= 0 && chosen < static_cast<int>(items.size()) ? items[chosen].c_str() : "";
    bool changed = false;
    if (ImGui::BeginCombo("##list", preview)) {
        for (int i = 0; i < static_cast<int>(items.size()); ++i) {
            const bool selected = i == chosen;
            ImGui::PushID(i);
            if (ImGui::Selectable(items[i].c_str(), selected)) {
                changed = i != chosen;
                chosen = i;
            }
            if (selected) {
                ImGui::SetItemDefaultFocus();
            }
            ImGui::PopID();
        }
        ImGui::EndCombo();
    }
    ImGui::PopID();
    return changed;
}

bool EnterPressed() {
    return ImGui::IsKeyPressed(ImGui::GetKeyIndex(ImGuiKey_Enter), false) ||
           ImGui::IsKeyPressed(ImGui::GetKeyIndex(ImGuiKey_KeyPadEnter), false);
}

bool EscapePressed() {
    return ImGui::IsKeyPressed(ImGui::GetKeyIndex(ImGuiKey_Escape), false);
}

}  // namespace vesta
