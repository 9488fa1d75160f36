// The dialogs on a virtual X server, driven by synthetic input; each test
// leaves screenshots in the build's dialog-shots folder.

#include <gtest/gtest.h>

#include "DialogDriver.h"
#include "app/dialogs/ClassicDialog.h"
#include "app/dialogs/ErrorWindows.h"
#include "app/dialogs/LogWindowView.h"
#include "app/dialogs/VideoSettingsDialog.h"
#include "log/LogWindow.h"
#include "render/RecordingModule.h"

namespace vesta {
namespace {

using test::DialogDriver;

TEST(DialogScreenTest, ClassicDialogStartsWithTheModeAndBoxesClicked) {
    RecordingModule module;
    DialogDriver driver;
    bool listed720 = true;
    driver.Shot("classic-opened")
        .Click("Resolution")
        .Then([&](DialogWindow& window) {
            listed720 = window.PlaceOf("Resolution/720x576x16").has_value();
        })
        .Shot("classic-resolutions-4by3")
        .Click("Resolution/320x240x16")
        .Click("Show Frame Rate")
        .Click("Fullscreen")
        .Shot("classic-chosen")
        .Click("Start");
    std::string error;
    const std::optional<ClassicDialogChoice> choice =
        RunClassicDialog(module, {"Production Name", false, true, false}, error);
    ASSERT_TRUE(choice) << error;
    EXPECT_FALSE(listed720);
    EXPECT_TRUE(choice->started);
    EXPECT_TRUE(choice->showFrameRate);
    EXPECT_TRUE(choice->fullScreen);
    EXPECT_TRUE(choice->noVSync);  // as the command line had it
    EXPECT_FALSE(choice->textureCompression);
    ASSERT_NE(module.GetSelectedVideoMode(), nullptr);
    EXPECT_EQ(module.GetSelectedVideoMode()->width, 320);
    EXPECT_EQ(module.GetSelectedVideoMode()->bitsPerPixel, 16);
}

TEST(DialogScreenTest, ClassicDialogWithAllModesQuitsOnEscapeSelectingNothing) {
    RecordingModule module;
    DialogDriver driver;
    bool listed720 = false;
    bool openAfterFirstEscape = false;
    driver.Click("Resolution")
        .Then([&](DialogWindow& window) {
            listed720 = window.PlaceOf("Resolution/720x576x16").has_value();
        })
        .Shot("classic-resolutions-all")
        .Key(SDL_SCANCODE_ESCAPE)  // closes the list only
        .Then([&](DialogWindow&) { openAfterFirstEscape = true; })
        .Key(SDL_SCANCODE_ESCAPE);
    std::string error;
    const std::optional<ClassicDialogChoice> choice =
        RunClassicDialog(module, {"Production Name", true, false, false}, error);
    ASSERT_TRUE(choice) << error;
    EXPECT_TRUE(listed720);
    EXPECT_TRUE(openAfterFirstEscape);
    EXPECT_FALSE(choice->started);
    EXPECT_EQ(module.GetSelectedVideoMode(), nullptr);
}

// A plug-in found beside the built-in module is offered; the one chosen is
// opened and holds the selection on Start.
TEST(DialogScreenTest, ClassicDialogStartsOnTheModuleChosenFromItsList) {
    RecordingModule builtIn, plugIn;
    std::vector<int> opened;
    ClassicDialogSetup setup{"Production Name", false, false, false};
    setup.modules = {{"Built in (Internal Module)", "Tinted (./drv/tint.so)"},
                     0,
                     [&](int index) -> RenderModule& {
                         opened.push_back(index);
                         return index == 1 ? plugIn : builtIn;
                     }};
    DialogDriver driver;
    driver.Click("Module")
        .Shot("classic-modules")
        .Click("Module/Tinted (./drv/tint.so)")
        .Click("Start");
    std::string error;
    const std::optional<ClassicDialogChoice> choice = RunClassicDialog(builtIn, setup, error);
    ASSERT_TRUE(choice) << error;
    EXPECT_TRUE(choice->started);
    EXPECT_EQ(choice->module, 1);
    EXPECT_EQ(opened, std::vector<int>{1});
    EXPECT_EQ(builtIn.GetSelectedVideoMode(), nullptr);
    ASSERT_NE(plugIn.GetSelectedVideoMode(), nullptr);
    EXPECT_EQ(plugIn.GetSelectedVideoMode()->width, 640);
}

TEST(DialogScreenTest, ErrorDialogsShowTheirFieldsUntilOk) {
    DialogDriver message;
    message.Shot("error-103").Click("OK");
    EXPECT_TRUE(ShowMessageErrorWindow("Vesta Showcase", "Unable to open [DefaultConfig.xml]",
                                       "No such file or directory"));

    DialogDriver report;
    report.Shot("error-115").Key(SDL_SCANCODE_RETURN);
    EXPECT_TRUE(ShowReportErrorWindow(
        "Exception", "Unhandled exception : \nException ACCESS_VIOLATION (0xC0000005) at address "
                     "0x00401000.\nTrying to write address 0x00000000.\n"));
}

TEST(DialogScreenTest, VideoSettingsOfferTheContainersCodecs) {
    DialogDriver driver;
    driver.Click("Compressor")
        .Shot("video-settings-codecs")
        .Click("Compressor/ffv1 - FFmpeg video codec #1")
        .Click("OK");
    std::string error;
    const std::optional<VideoSettingsChoice> choice =
        RunVideoSettingsDialog({"Take.mkv", 29.97f, ""}, error);
    ASSERT_TRUE(choice) << error;
    EXPECT_EQ(choice->fileName, "Take.mkv");
    EXPECT_FLOAT_EQ(choice->framesPerSecond, 29.97f);
    EXPECT_EQ(choice->videoCodec, "ffv1");
}

TEST(DialogScreenTest, LogWindowShowsTheLast200LinesInTheirColours) {
    CLogWindow lines;
    for (int i = 1; i <= 205; ++i) {
        lines.Append(("Line " + std::to_string(i)).c_str());
    }
    lines.Append("\\cf1 *** Warning : \\cf0 in red, then \\cf2 blue");
    std::string error;
    std::unique_ptr<LogWindowView> view = LogWindowView::Open(lines, error);
    ASSERT_TRUE(view) << error;
    DialogDriver driver;
    int redPixels = 0;
    driver.Then([&](DialogWindow& window) {
        int width = 0, height = 0;
        const std::vector<std::uint8_t> rgba = window.ReadPixels(width, height);
        for (std::size_t i = 0; i + 3 < rgba.size(); i += 4) {
            redPixels += rgba[i] > 200 && rgba[i + 1] < 60 && rgba[i + 2] < 60;
        }
    });
    driver.Shot("log-window");
    // Each refresh with new lines draws; the steps above need eight frames.
    for (int i = 0; i < 6; ++i) {
        lines.Append("tick");
        view->Refresh();
    }
    EXPECT_GT(redPixels, 20);
}

}  // namespace
}  // namespace vesta
