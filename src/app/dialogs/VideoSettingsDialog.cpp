#include "app/dialogs/VideoSettingsDialog.h"

#include <array>
#include <cstdio>
#include <imgui.h>
#include <memory>
#include <vector>

#include "app/dialogs/CodecChoices.h"
#include "app/dialogs/DialogWidgets.h"
#include "app/dialogs/DialogWindow.h"

namespace vesta {
namespace {

constexpr float kHighestRate = 1000.0f;

class VideoSettingsFrame {
public:
    explicit VideoSettingsFrame(const VideoSettingsChoice& initial) : m_choice(initial) {
        std::snprintf(m_name.data(), m_name.size(), "%s", initial.fileName.c_str());
        // "25.0" as the field always showed it; a fractional rate whole.
        const float rate = initial.framesPerSecond;
        std::snprintf(m_rate.data(), m_rate.size(), rate == static_cast<int>(rate) ? "%.1f" : "%g",
                      rate);
        refreshCodecs(initial.videoCodec);
    }

    // False once OK ended the dialog.
    bool Draw() {
        BeginDialogPanel("VideoOut");
        ImGui::TextUnformatted("FileName");
        ImGui::SetNextItemWidth(-1.0f);
        if (ImGui::InputText("##file", m_name.data(), m_name.size())) {
            refreshCodecs(currentCodec());
        }
        MarkPlace("FileName");
        ImGui::TextUnformatted("Frame Rate");
        ImGui::SetNextItemWidth(100.0f);
        ImGui::InputText("##rate", m_rate.data(), m_rate.size(), ImGuiInputTextFlags_CharsDecimal);
        ImGui::SameLine();
        ImGui::TextUnformatted("Fps");
        std::vector<std::string> labels;
        for (const CodecChoice& codec : m_codecs) {
            labels.push_back(codec.label);
        }
        DropDownList("Compressor", labels, m_codec);
        const std::optional<float> rate = ReadFrameRateField(m_rate.data());
        const bool valid = rate && m_name[0] != '\0';
        if (!valid) {
            ImGui::TextColored({0.8f, 0.0f, 0.0f, 1.0f}, "%s",
                               m_name[0] == '\0'
                                   ? "A file name is needed."
                                   : "The frame rate must be above 0 (at most 1000).");
        }
        ImGui::Spacing();
        ImGui::BeginDisabled(!valid);
        const bool ok = PushButton("OK", -1.0f) || (valid && EnterPressed());
        ImGui::EndDisabled();
        EndDialogPanel();
        if (ok && valid) {
            m_choice.fileName = m_name.data();
            m_choice.framesPerSecond = *rate;
            m_choice.videoCodec = currentCodec();
            return false;
        }
        return true;
    }

    const VideoSettingsChoice& Choice() const { return m_choice; }

private:
    std::string currentCodec() const {
        return m_codec < static_cast<int>(m_codecs.size()) ? m_codecs[m_codec].name : "";
    }

    // Another container may not hold the codec chosen so far: then its default.
    void refreshCodecs(const std::string& keep) {
        m_codecs = VideoCodecChoices(m_name.data());
        m_codec = 0;
        for (std::size_t i = 0; i < m_codecs.size(); ++i) {
            if (m_codecs[i].name == keep) {
                m_codec = static_cast<int>(i);
            }
        }
    }

    VideoSettingsChoice m_choice;
    std::array<char, 1024> m_name{};
    std::array<char, 32> m_rate{};
    std::vector<CodecChoice> m_codecs;
    int m_codec = 0;
};

}  // namespace

std::optional<float> ReadFrameRateField(const std::string& text) {
    float rate = 0.0f;
    if (std::sscanf(text.c_str(), "%f", &rate) != 1 || !(rate > 0.0f) || rate > kHighestRate) {
        return std::nullopt;
    }
    return rate;
}

std::optional<VideoSettingsChoice> RunVideoSettingsDialog(const VideoSettingsChoice& initial,
                                                          std::string& error) {
    std::unique_ptr<DialogWindow> window =
        DialogWindow::Open("Video Out session settings", 420, 320, error);
    if (!window) {
        return std::nullopt;
    }
    VideoSettingsFrame frame(initial);
    window->RunModal([&] { return frame.Draw(); });
    return frame.Choice();
}

}  // namespace vesta
