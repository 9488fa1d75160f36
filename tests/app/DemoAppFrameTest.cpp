// Bringing the device up and running frames, observed through the recording
// render module: mode choice, the start-up calls in their order, the frame's
// calls and the overlays.

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sndfile.h>
#include <sstream>
#include <thread>

#include "EngineState.h"
#include "PictureWriters.h"
#include "SoundTestData.h"
#include "TestSupport.h"
#include "app/DemoApp.h"
#include "app/DeviceChoice.h"
#include "log/Log.h"
#include "platform/Clock.h"
#include "platform/ThreadPriority.h"
#include "render/RecordingModule.h"

namespace vesta::test {
namespace {

constexpr const char* kConfig =
    "<AppConfig><Window Name=\"Show\"/><DefaultFont Name=\"font1.png\"/>"
    "<Script Name=\"Main.txt\"/></AppConfig>";
constexpr const char* kEndlessScript = "PART {\r\n}\r\n";

std::vector<std::string> printedTexts(const RecordingModule& module) {
    std::vector<std::string> texts;
    for (const RecordedCall& call : module.Calls()) {
        if (call.name == "Font::Print") {
            texts.push_back(call.text);
        }
    }
    return texts;
}

// The frame calls in their order: BeginFrame, EndFrame, Present and Clear.
std::vector<std::string> frameCalls(const RecordingModule& module) {
    std::vector<std::string> calls;
    for (const std::string& name : module.Names()) {
        if (name == "BeginFrame" || name == "EndFrame" || name == "Present" || name == "Clear") {
            calls.push_back(name);
        }
    }
    return calls;
}

// A first part that ends at once, then one with a loading picture.
constexpr const char* kPartChangeScript = "PART {\r\nTIME 0 {\r\nPARTEND;\r\n}\r\n}\r\n"
                                          "PART {\r\nLOADINGIMG \"load.png\";\r\n}\r\n";

std::vector<std::uint8_t> greyPng() {
    PngPicture grey;
    grey.width = 4;
    grey.height = 4;
    grey.samples.assign(16, 128);
    return EncodePng(grey);
}

class DemoAppFrameTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetEngineState();
        ClearInternalModulesForTests();
        RegisterInternalModule({"Recording"}, [] { return std::make_unique<RecordingModule>(); });
        WriteFile(m_dir / "DefaultConfig.xml", kConfig);
        WriteFile(m_dir / "Main.txt", kEndlessScript);
    }
    void TearDown() override {
        ClearInternalModulesForTests();
        ResetEngineState();
    }

    RecordingModule& start(std::optional<ModeOption> mode, const std::string& words = "") {
        LaunchOptions options;
        options.headless = true;
        options.mode = mode;
        options.commandLine = words;
        m_app = std::make_unique<CDemoApp>(options);
        m_app->Init();
        return dynamic_cast<RecordingModule&>(*m_app->Module());
    }

    TempDir m_dir;
    ScopedChdir m_chdir{m_dir.Path()};
    std::unique_ptr<CDemoApp> m_app;
};

TEST_F(DemoAppFrameTest, WithoutAModeTheSmallest4By3ModeIsUsed) {
    RecordingModule& module = start(std::nullopt);
    ASSERT_NE(module.GetSelectedVideoMode(), nullptr);
    EXPECT_EQ(module.GetSelectedVideoMode()->width, 640);
    EXPECT_EQ(module.GetSelectedVideoMode()->bitsPerPixel, 32);
    // A listed mode gives its own size: Initialize is asked with zeros.
    EXPECT_EQ(module.Last("Initialize")->values, (std::vector<double>{0, 640, 480, 32}));
    EXPECT_EQ(module.BackBufferWidth(), 640);
}

TEST_F(DemoAppFrameTest, AModeOutsideTheListIsAskedForBySize) {
    RecordingModule& module = start(ModeOption{1000, 700, 16});
    EXPECT_EQ(module.Last("Initialize")->values, (std::vector<double>{0, 1000, 700, 16}));
    EXPECT_EQ(module.BackBufferHeight(), 700);
    EXPECT_EQ(module.RedMask(), 0xF800u);
}

TEST_F(DemoAppFrameTest, StartUpSetsTheCameraAndTheDefaultFont) {
    RecordingModule& module = start(ModeOption{800, 600, 32}, "NoVSync LQ");
    EXPECT_FALSE(module.VSync());
    EXPECT_TRUE(module.LowQualityTextures());
    EXPECT_EQ(module.ClearColor(), 0u);
    // Camera at (0, 0, -5) looking at the origin: the view moves the world by +5 in z.
    EXPECT_FLOAT_EQ(module.ViewMatrix().m[3][2], 5.0f);
    EXPECT_FLOAT_EQ(module.ProjectionMatrix().m[3][2], -4000.0f / 3999.0f);
    ASSERT_NE(module.Last("CreateTextPrinter"), nullptr);
    EXPECT_EQ(module.Last("CreateTextPrinter")->text, "font1.png");
    EXPECT_EQ(m_app->DefaultFont(), module.GetFont("font1.png"));
    EXPECT_NE(module.Last("Clear"), nullptr);
}

TEST_F(DemoAppFrameTest, AFrameBeginsDrawsTheOverlayEndsPresentsAndClears) {
    RecordingModule& module = start(std::nullopt);
    module.ClearCalls();
    m_app->Frame();
    EXPECT_EQ(module.Names(), (std::vector<std::string>{"BeginFrame", "Font::Print", "EndFrame",
                                                        "Present", "Clear"}));
    EXPECT_EQ(module.Last("Font::Print")->text, " ");
}

TEST_F(DemoAppFrameTest, SoundBarsAloneStillDrawTheRateLine) {
    RecordingModule& module = start(std::nullopt);
    m_app->Overlays().soundBars = true;
    module.ClearCalls();
    m_app->Frame();
    const std::vector<std::string> texts = printedTexts(module);
    ASSERT_EQ(texts.size(), 4u);
    EXPECT_EQ(texts[0], "0.00 (Avg : 0.00)");
    EXPECT_EQ(texts[1], "");  // silent: no stars
}

TEST_F(DemoAppFrameTest, TheScriptSwitchesTheOverlaysAndTheTimeLine) {
    WriteFile(m_dir / "Main.txt", "SHOWTIME Yes;\r\nTIMESTRETCH Yes;\r\nPART {\r\n}\r\n");
    RecordingModule& module = start(std::nullopt);
    EXPECT_TRUE(m_app->Overlays().showTime);
    EXPECT_FALSE(m_app->Overlays().showFps);
    EXPECT_TRUE(m_app->TimeStretchEnabled());
    module.ClearCalls();
    m_app->Frame();
    const std::vector<std::string> texts = printedTexts(module);
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[1].rfind("Part 1, ", 0), 0u) << texts[1];
}

// F2 doubles the clock and the music's rate with it, F6 halves them, F1 puts
// them back; without TIMESTRETCH the keys do nothing.
TEST_F(DemoAppFrameTest, TheMusicFollowsTheTimeStretchKeys) {
    WriteFile(m_dir / "tune.wav", MakeSineFile(SF_FORMAT_WAV, 44100, {{1000, 0.5}}, 1.0));
    for (const bool stretch : {true, false}) {
        WriteFile(m_dir / "Main.txt", std::string(stretch ? "TIMESTRETCH Yes;\r\n" : "") +
                                          "PART {\r\nMUSICSTREAM \"tune.wav\";\r\n}\r\n");
        start(std::nullopt);  // headless: the loopback output, no device needed
        const SoundHandle music = m_app->Sound()->MostRecentMusic();
        ASSERT_NE(music, 0u);
        const auto frequencyAfter = [&](int functionKey) {
            Message key;
            key.type = MessageType::KeyDown;
            key.key = kKeyF1 + functionKey - 1;
            m_app->OnKeyDown(key);
            m_app->Frame();
            int frequency = 0;
            m_app->Sound()->ChannelGetAttributes(music, &frequency, nullptr, nullptr);
            return frequency;
        };
        EXPECT_EQ(frequencyAfter(2), stretch ? 88200 : 44100);
        EXPECT_EQ(frequencyAfter(6), stretch ? 22050 : 44100);
        EXPECT_EQ(frequencyAfter(1), 44100);
        m_app.reset();
        SetTimeSpeed(1.0f);
    }
}

TEST_F(DemoAppFrameTest, TheEndOfTheShowQuitsWithoutPresenting) {
    WriteFile(m_dir / "Main.txt", "PART {\r\nTIME 0 {\r\nEND;\r\n}\r\n}\r\n");
    RecordingModule& module = start(std::nullopt);
    module.ClearCalls();
    // The show's end posts the quit message: the loop stops after that one frame.
    m_app->Run();
    EXPECT_EQ(module.Names(), (std::vector<std::string>{"BeginFrame", "EndFrame"}));
}

// The next part loads between two frames, its loading screen a frame of its
// own: frames never nest, and the frame in which the part ended goes on
// after the load as a frame of its own.
TEST_F(DemoAppFrameTest, ThePartChangeShowsTheLoadingScreenBetweenFrames) {
    WriteFile(m_dir / "Main.txt", kPartChangeScript);
    WriteFile(m_dir / "load.png", greyPng());
    RecordingModule& module = start(std::nullopt);
    module.ClearCalls();
    m_app->Frame();
    EXPECT_EQ(m_app->Timeline()->PartCounter(), 2);
    EXPECT_EQ(frameCalls(module),
              (std::vector<std::string>{"BeginFrame", "EndFrame",                      // part ends
                                        "BeginFrame", "EndFrame", "Present", "Clear",  // loading
                                        "BeginFrame", "EndFrame", "Present", "Clear"}));  // shown
    m_app->Frame();
    std::size_t open = 0;
    for (const std::string& call : frameCalls(module)) {
        if (call == "BeginFrame") {
            EXPECT_EQ(open++, 0u) << "a frame begun inside another";
        } else if (call == "EndFrame") {
            EXPECT_EQ(open--, 1u);
        } else {
            EXPECT_EQ(open, 0u) << call << " inside a frame";
        }
    }
}

// While recording, every frame of the show goes to the file and no loading
// screen does.
TEST_F(DemoAppFrameTest, TheRecordingTakesTheShowsFramesAndNoLoadingScreen) {
    WriteFile(m_dir / "Main.txt", kPartChangeScript);
    WriteFile(m_dir / "load.png", greyPng());
    std::uint32_t written = 0;
    std::size_t presented = 0;
    // In a thread of its own: a recording lowers the drawing's priority for good.
    std::thread player([&] {
        LaunchOptions options;
        options.headless = true;
        options.commandLine = "VideoOut NoSound";
        options.videoFile = (m_dir.Path() / "Video.avi").string();
        CDemoApp app(options);
        app.Init();
        auto& module = dynamic_cast<RecordingModule&>(*app.Module());
        module.ClearCalls();
        for (int frame = 0; frame < 3; ++frame) {
            app.Frame();
        }
        written = app.Recording()->FramesWritten();
        presented = module.Count("Present");
        app.Shutdown();
    });
    player.join();
    EXPECT_EQ(written, 3u);
    EXPECT_EQ(presented, 4u);  // and the loading screen
}

// Before its start a run shows nothing and draws nothing, loading screens
// included; from the start on its frames are presented, on the real clock.
TEST_F(DemoAppFrameTest, FramesBeforeTheStartAreNeitherDrawnNorPresented) {
    WriteFile(m_dir / "Main.txt", kPartChangeScript);
    WriteFile(m_dir / "load.png", greyPng());
    LaunchOptions options;
    options.headless = true;
    options.startPart = 2;
    m_app = std::make_unique<CDemoApp>(options);
    m_app->Init();
    auto& module = dynamic_cast<RecordingModule&>(*m_app->Module());
    module.ClearCalls();
    m_app->Frame();
    EXPECT_EQ(m_app->Timeline()->PartCounter(), 2);
    EXPECT_EQ(frameCalls(module),
              (std::vector<std::string>{"BeginFrame", "EndFrame", "BeginFrame", "EndFrame", "Clear",
                                        "BeginFrame", "EndFrame", "Clear"}));
    EXPECT_EQ(module.Count("Draw"), 0u) << "the loading picture";
    EXPECT_DOUBLE_EQ(TimeNow(), 1.0 / 25.0);
    module.ClearCalls();
    m_app->Frame();
    EXPECT_EQ(module.Count("Present"), 1u);
    EXPECT_FALSE(module.DrawingSkipped());
    EXPECT_GE(TimeNow(), 1.0 / 25.0);
    EXPECT_LT(TimeNow(), 1.0 / 25.0 + 5.0);
}

TEST_F(DemoAppFrameTest, AScriptWithoutPartsStopsTheStart) {
    WriteFile(m_dir / "Main.txt", "SHOWFPS Yes;\r\n");
    EXPECT_EQ(EngineErrorOf([&] { start(std::nullopt); }),
              "Nothing to be done... check for some missing PART block.");
}

TEST_F(DemoAppFrameTest, WhileRecordingTheDrawingGivesWayToTheEncoder) {
    const int base = CallingThreadNiceness();
    if (base > 14) {
        GTEST_SKIP() << "the runner is already near the lowest priority";
    }
    // In a thread of its own: a lowered priority cannot be raised again.
    std::vector<int> drawing;
    std::thread player([&] {
        LaunchOptions options;
        options.headless = true;
        options.commandLine = "VideoOut NoSound";
        options.videoFile = (m_dir.Path() / "Video.avi").string();
        for (int recording = 0; recording < 2; ++recording) {
            CDemoApp app(options);
            app.Init();
            drawing.push_back(CallingThreadNiceness());
            app.Shutdown();
        }
    });
    player.join();
    // The encoder thread keeping the base is the recorder's own test; a second
    // recording on the same thread does not drop it further.
    EXPECT_EQ(drawing, (std::vector<int>{base + 5, base + 5}));
}

TEST(DeviceChoiceTest, OnlyHalOrTAndLDevicesAreAccelerated) {
    RecordingModule module;
    RenderDriver& driver = module.GetDriver(0);
    driver.devices[0]->name = "REF";
    EXPECT_EQ(FindAcceleratedDevice(driver), nullptr);
    driver.devices[0]->name = "Direct3D HAL (T&L)";
    EXPECT_EQ(FindAcceleratedDevice(driver), driver.devices[0].get());
}

TEST(DeviceChoiceTest, TheDialogsTakeOnly4By3Modes) {
    RecordingModule module;
    RenderDevice& device = *module.GetDriver(0).devices[0];
    device.modes.push_back({1280, 1024, 32, 99});
    EXPECT_THROW(SelectDeviceAndMode(module, 1280, 1024, 32, true), CUserException);
    EXPECT_EQ(
        LastUserError(),
        std::string("Cound not find any matching VideoMode... Try a lower Resolution/Depth."));
    EXPECT_EQ(SelectDeviceAndMode(module, 1280, 1024, 32, false)->index, 99);
    device.name = "REF";
    EXPECT_THROW(SelectDeviceAndMode(module, 640, 480, 32, true), CUserException);
    EXPECT_EQ(LastUserError(), std::string("Cannot find any 3D Hardware accelerator."));
    ResetLogState();
}

}  // namespace
}  // namespace vesta::test
