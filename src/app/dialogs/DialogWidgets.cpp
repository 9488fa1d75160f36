#include "app/dialogs/DialogWidgets.h"

#include <imgui.h>

#include "app/dialogs/DialogWindow.h"

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

void MarkPlace(const std::string& name) {
    if (DialogWindow* window = DialogWindow::Drawing()) {
        const ImVec2 min = ImGui::GetItemRectMin();
        const ImVec2 max = ImGui::GetItemRectMax();
        window->RememberPlace(name, {min.x, min.y, max.x, max.y});
    }
}

bool PushButton(const char* label, float width) {
    const bool pressed = ImGui::Button(label, {width, 0.0f});
    MarkPlace(label);
    return pressed;
}

bool CheckBox(const char* label, bool& value) {
    const bool changed = ImGui::Checkbox(label, &value);
    MarkPlace(label);
    return changed;
}

bool DropDownList(const char* label, const std::vector<std::string>& items, int& chosen) {
    ImGui::TextUnformatted(label);
    ImGui::PushID(label);
    ImGui::SetNextItemWidth(-1.0f);
    const char* preview =
        chosen >= 0 && chosen < static_cast<int>(items.size()) ? items[chosen].c_str() : "";
    bool changed = false;
    const bool open = ImGui::BeginCombo("##list", preview);
    MarkPlace(label);
    if (open) {
        for (int i = 0; i < static_cast<int>(items.size()); ++i) {
            const bool selected = i == chosen;
            ImGui::PushID(i);
            const bool picked = ImGui::Selectable(items[i].c_str(), selected);
            MarkPlace(std::string(label) + "/" + items[i]);
            if (picked) {
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
