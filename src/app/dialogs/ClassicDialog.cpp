#include "app/dialogs/ClassicDialog.h"

#include <imgui.h>

#include "app/dialogs/ClassicDialogModel.h"
#include "app/dialogs/DialogWidgets.h"
#include "app/dialogs/DialogWindow.h"
#include "app/dialogs/WebLink.h"

namespace vesta {
namespace {

constexpr int kWidth = 320;
constexpr int kHeight = 380;
constexpr int kModuleListHeight = 44;
constexpr const char* kLinkText = "Vesta Group on the web";

// The link looks greyed until the cursor is over it, and opens the site
// when clicked there.
void webLink() {
    const ImVec2 size = ImGui::CalcTextSize(kLinkText);
    const ImVec2 start = ImGui::GetCursorScreenPos();
    const bool over = ImGui::IsMouseHoveringRect(start, {start.x + size.x, start.y + size.y});
    ImGui::PushStyleColor(ImGuiCol_Text, over ? ImVec4(0.0f, 0.0f, 0.8f, 1.0f)
                                              : ImGui::GetStyleColorVec4(ImGuiCol_TextDisabled));
    ImGui::TextUnformatted(kLinkText);
    MarkPlace("Link");
    ImGui::PopStyleColor();
    if (over && ImGui::IsItemClicked()) {
        OpenGroupWebSite();
    }
}

class ClassicDialogFrame {
public:
    ClassicDialogFrame(RenderModule& module, const ClassicDialogSetup& setup)
        : m_modules(setup.modules), m_allModes(setup.allModes), m_title(setup.title) {
        m_model.emplace(module, m_allModes);
        m_choice.module = m_modules.current;
        m_choice.noVSync = setup.noVSync;
        m_choice.textureCompression = setup.textureCompression;
    }

    // False once Start or Quit ended the dialog.
    bool Draw() {
        // Escape and Enter in an open list close it or pick from it, no more;
        // the list closes before this frame is built, so the last frame tells.
        const bool listOpen = m_listWasOpen;
        BeginDialogPanel("Startup");
        ImGui::TextUnformatted(m_title.c_str());
        ImGui::Separator();
        int chosenModule = m_choice.module;
        if (m_modules.names.size() > 1 && m_modules.open &&
            DropDownList("Module", m_modules.names, chosenModule)) {
            m_model.emplace(m_modules.open(chosenModule), m_allModes);
            m_choice.module = chosenModule;
        }
        int driver = m_model->DriverIndex();
        if (DropDownList("Driver", m_model->Drivers(), driver)) {
            m_model->ChooseDriver(driver);
        }
        int device = m_model->DeviceIndex();
        if (DropDownList("Device", m_model->Devices(), device)) {
            m_model->ChooseDevice(device);
        }
        int mode = m_model->ModeIndex();
        if (DropDownList("Resolution", m_model->Modes(), mode)) {
            m_model->ChooseMode(mode);
        }
        ImGui::Separator();
        CheckBox("Fullscreen", m_choice.fullScreen);
        CheckBox("Texture Compression", m_choice.textureCompression);
        CheckBox("No VSync", m_choice.noVSync);
        CheckBox("Show Frame Rate", m_choice.showFrameRate);
        ImGui::BeginDisabled();
        bool anisotropic = false;
        CheckBox("Anisotropic Filtering", anisotropic);
        ImGui::EndDisabled();
        CheckBox("Loop Animation", m_loopAnimation);  // shown, not used
        ImGui::Separator();
        const float buttonWidth = (ImGui::GetContentRegionAvail().x - 8.0f) / 2.0f;
        const bool start = PushButton("Start", buttonWidth) || (!listOpen && EnterPressed());
        ImGui::SameLine(0.0f, 8.0f);
        const bool quit = PushButton("Quit", buttonWidth) || (!listOpen && EscapePressed());
        ImGui::Spacing();
        webLink();
        EndDialogPanel();
        m_listWasOpen =
            ImGui::IsPopupOpen("", ImGuiPopupFlags_AnyPopupId | ImGuiPopupFlags_AnyPopupLevel);
        if (quit) {
            m_choice.started = false;
            return false;
        }
        if (start && m_model->ChosenMode()) {
            m_model->Commit();
            m_choice.started = true;
            return false;
        }
        return true;
    }

    const ClassicDialogChoice& Choice() const { return m_choice; }

private:
    ClassicModuleList m_modules;
    bool m_allModes;
    std::optional<ClassicDialogModel> m_model;  // of the chosen module
    std::string m_title;
    ClassicDialogChoice m_choice;
    bool m_loopAnimation = false;
    bool m_listWasOpen = false;
};

}  // namespace

std::optional<ClassicDialogChoice>
RunClassicDialog(RenderModule& module, const ClassicDialogSetup& setup, std::string& error) {
    const int height = kHeight + (setup.modules.names.size() > 1 ? kModuleListHeight : 0);
    std::unique_ptr<DialogWindow> window = DialogWindow::Open(setup.title, kWidth, height, error);
    if (!window) {
        return std::nullopt;
    }
    ClassicDialogFrame frame(module, setup);
    // The close box is Quit.
    window->RunModal([&] { return frame.Draw(); });
    return frame.Choice();
}

}  // namespace vesta
