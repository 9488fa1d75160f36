#include "app/dialogs/SimpleStartup2Dialog.h"

#include <algorithm>
#include <cstdio>
#include <epoxy/gl.h>
#include <imgui.h>
#include <vector>

#include "app/dialogs/DialogWidgets.h"
#include "app/dialogs/DialogWindow.h"
#include "log/Log.h"
#include "render/image/JpegReader.h"
#include "xml/XmlReader.h"

namespace vesta {
namespace {

constexpr const char* kResolutions[] = {"640x480", "800x600", "1024x768"};
constexpr int kWidths[] = {640, 800, 1024};
constexpr int kHeights[] = {480, 600, 768};
constexpr const char* kDepths[] = {"16 Bits", "32 Bits"};

// As "%d" reads it: 0 when nothing is read.
int readNumber(const AdvXMLParser::XmlElement& element, const char* attribute) {
    int value = 0;
    return std::sscanf(element.FindAttribute(attribute).Value().c_str(), "%d", &value) == 1 ? value
                                                                                            : 0;
}

ControlPlace readPlace(const AdvXMLParser::XmlElement& element) {
    return {readNumber(element, "X"), readNumber(element, "Y"), readNumber(element, "W"),
            readNumber(element, "H")};
}

struct Background {
    int width = 0, height = 0;
    std::vector<std::uint8_t> rgb;
};

// A drop-down list at `place`; its open part fills the rest of the height.
template <std::size_t N>
void placedList(const char* name, const ControlPlace& place, const char* const (&items)[N],
                int& chosen) {
    ImGui::SetCursorPos({static_cast<float>(place.x), static_cast<float>(place.y)});
    ImGui::SetNextItemWidth(static_cast<float>(place.width));
    const float open = static_cast<float>(place.height) - ImGui::GetFrameHeight();
    ImGui::SetNextWindowSizeConstraints({0.0f, 0.0f},
                                        {static_cast<float>(place.width), std::max(open, 40.0f)});
    ImGui::PushID(name);
    const bool dropped = ImGui::BeginCombo("##list", items[chosen]);
    MarkPlace(name);
    if (dropped) {
        for (int i = 0; i < static_cast<int>(N); ++i) {
            if (ImGui::Selectable(items[i], i == chosen)) {
                chosen = i;
            }
            MarkPlace(std::string(name) + "/" + items[i]);
        }
        ImGui::EndCombo();
    }
    ImGui::PopID();
}

class Startup2Frame {
public:
    Startup2Frame(const Startup2Layout& layout, Background background)
        : m_layout(layout), m_background(std::move(background)) {}

    // False once Start was pressed.
    bool Draw() {
        // Made in the dialog's own context, which frees it when it goes.
        if (!m_texture) {
            upload();
        }
        const ImGuiViewport* viewport = ImGui::GetMainViewport();
        ImGui::GetBackgroundDrawList()->AddImage(
            reinterpret_cast<ImTextureID>(static_cast<std::intptr_t>(m_texture)), viewport->Pos,
            {viewport->Pos.x + static_cast<float>(m_background.width),
             viewport->Pos.y + static_cast<float>(m_background.height)});
        ImGui::SetNextWindowPos(viewport->Pos);
        ImGui::SetNextWindowSize(viewport->Size);
        ImGui::PushStyleVar(ImGuiStyleVar_WindowPadding, {0.0f, 0.0f});
        ImGui::Begin("SimpleStartup2", nullptr,
                     ImGuiWindowFlags_NoDecoration | ImGuiWindowFlags_NoMove |
                         ImGuiWindowFlags_NoBackground | ImGuiWindowFlags_NoSavedSettings |
                         ImGuiWindowFlags_NoBringToFrontOnFocus);
        ImGui::PopStyleVar();
        const bool listWasOpen = m_listOpen;
        placedList("Resolution", m_layout.resolution, kResolutions, m_resolution);
        placedList("Bpp", m_layout.bpp, kDepths, m_depth);
        const ControlPlace& start = m_layout.start;
        ImGui::SetCursorPos({static_cast<float>(start.x), static_cast<float>(start.y)});
        ImGui::PushID("Start");
        bool pressed =
            ImGui::Button(m_layout.startText.c_str(),
                          {static_cast<float>(start.width), static_cast<float>(start.height)});
        ImGui::PopID();
        MarkPlace("Start");
        // The default button: Enter presses it, unless it picks from an open list.
        pressed = pressed || (!listWasOpen && EnterPressed());
        m_listOpen =
            ImGui::IsPopupOpen("", ImGuiPopupFlags_AnyPopupId | ImGuiPopupFlags_AnyPopupLevel);
        ImGui::End();
        return !pressed;
    }

    Startup2Choice Choice() const {
        return {kWidths[m_resolution], kHeights[m_resolution], m_depth == 1 ? 32 : 16};
    }

private:
    void upload() {
        glGenTextures(1, &m_texture);
        glBindTexture(GL_TEXTURE_2D, m_texture);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
        glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB8, m_background.width, m_background.height, 0, GL_RGB,
                     GL_UNSIGNED_BYTE, m_background.rgb.data());
    }

    const Startup2Layout& m_layout;
    Background m_background;
    GLuint m_texture = 0;
    int m_resolution = 0;
    int m_depth = 0;
    bool m_listOpen = false;
};

}  // namespace

Startup2Layout ReadStartup2Layout(const AdvXMLParser::XmlElement& element) {
    Startup2Layout layout;
    layout.background = element.FindChild("BackImage").FindAttribute("Name").Value();
    layout.resolution = readPlace(element.FindChild("Resolution"));
    layout.bpp = readPlace(element.FindChild("Bpp"));
    layout.start = readPlace(element.FindChild("Start"));
    layout.startText = element.FindChild("Start").FindAttribute("Text").Value();
    return layout;
}

std::optional<Startup2Choice> RunSimpleStartup2(const Startup2Layout& layout,
                                                const std::string& title, std::string& error) {
    if (layout.background.empty()) {
        RaiseAppError("SimpleStartup2 : [BackImage] names no picture");
    }
    Background background;
    JpegReader reader;
    reader.ReadHeader(layout.background, background.width, background.height);
    reader.ReadImage(layout.background, background.rgb, true);
    std::unique_ptr<DialogWindow> window =
        DialogWindow::Open(title, background.width, background.height, error);
    if (!window) {
        return std::nullopt;
    }
    Startup2Frame frame(layout, std::move(background));
    window->RunModal([&] { return frame.Draw(); });
    return frame.Choice();
}

}  // namespace vesta
