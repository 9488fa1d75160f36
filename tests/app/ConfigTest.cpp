// Building the application: configuration, switches, log, banner, and the
// message handling of the base window.

#include <gtest/gtest.h>

#include "EngineState.h"
#include "TestSupport.h"
#include "app/DemoApp.h"
#include "fs/SearchPaths.h"
#include "log/Log.h"
#include "platform/Clock.h"

namespace vesta::test {
namespace {

class ConfigTest : public ::testing::Test {
protected:
    void SetUp() override { ResetEngineState(); }
    void TearDown() override { ResetEngineState(); }

    std::unique_ptr<CDemoApp> make(std::string_view config, const std::string& words = "") {
        WriteFile(m_dir / "DefaultConfig.xml", config);
        LaunchOptions options;
        options.commandLine = words;
        options.headless = true;
        return std::make_unique<CDemoApp>(options);
    }

    std::string errorOf(std::string_view config) {
        try {
            make(config);
        } catch (const CAppError& error) {
            return error.Text();
        }
        return "<no error>";
    }

    TempDir m_dir;
    ScopedChdir m_chdir{m_dir.Path()};
};

TEST_F(ConfigTest, MissingWindowElementGivesTheDefaults) {
    auto app = make("<AppConfig/>");
    EXPECT_EQ(app->WindowClass(), "Vesta");
    EXPECT_EQ(app->GetName(), "");
    EXPECT_EQ(app->Width(), 640);
    EXPECT_EQ(app->Height(), 480);
    EXPECT_FALSE(app->Settings().debugEnabled);
    EXPECT_EQ(app->Settings().startupId, 0);
}

TEST_F(ConfigTest, WindowAttributesAreReadAsTheyStand) {
    auto app = make(R"(<?xml version="1.0" encoding="iso-8859-15"?>
<AppConfig>
	<Window	Name="Démo"	Height="300x" Width=""/>
	<Startup	ID="  1"/>
	<Script Name="Main.txt"/>
</AppConfig>)");
    EXPECT_EQ(app->WindowClass(), "");
    EXPECT_EQ(app->GetName(), "D\xC3\xA9mo");
    EXPECT_EQ(app->Width(), 0);
    EXPECT_EQ(app->Height(), 300);
    EXPECT_EQ(app->Settings().startupId, 1);
    EXPECT_EQ(app->Settings().script, "Main.txt");
}

TEST_F(ConfigTest, SearchFoldersKeepDocumentOrder) {
    make(R"(<AppConfig><FileSystem>
        <Search Path="Gfx"/><Other Path="No"/><Search Path="Data"/><Search/>
    </FileSystem></AppConfig>)");
    EXPECT_EQ(SearchPathList(), (std::vector<std::string>{"Gfx\\", "Data\\", "\\"}));
}

TEST_F(ConfigTest, SwitchesNeedTheExactValueTrue) {
    auto lower =
        make(R"(<AppConfig><Winamp Hide="true"/><Debug Enable="true"/></AppConfig>)", "LogFile");
    EXPECT_FALSE(lower->Settings().hideMediaPlayer);
    EXPECT_FALSE(lower->Words().logFile);
    lower.reset();
    auto exact =
        make(R"(<AppConfig><Winamp Hide="True"/><Debug Enable="True"/></AppConfig>)", "MyLogFiles");
    EXPECT_TRUE(exact->Settings().hideMediaPlayer);
    EXPECT_TRUE(exact->Words().logFile);
}

TEST_F(ConfigTest, MissingOrBrokenConfigurationIsAnApplicationError) {
    std::filesystem::remove(m_dir / "DefaultConfig.xml");
    try {
        CDemoApp app{LaunchOptions{}};
        FAIL();
    } catch (const CAppError& error) {
        EXPECT_EQ(error.Text(), "Unable to open [DefaultConfig.xml]");
    }
    EXPECT_EQ(errorOf("<AppConfig>\n  <Window Name=\"x\">\n</AppConfig>"),
              "Syntax error at line(3), column(12) in [DefaultConfig.xml]: end tag does not match "
              "the start tag");
    EXPECT_EQ(
        errorOf("  \n ").rfind("Syntax error at line(2), column(1) in [DefaultConfig.xml]: ", 0),
        0u);
}

TEST_F(ConfigTest, LogFileHoldsTheEngineLinesButNotTheBanner) {
    auto app =
        make(R"(<AppConfig><Window Name="Show"/><Debug Enable="True"/></AppConfig>)", "LogFile");
    const std::string log = ReadFile(m_dir / "Logging.txt");
    EXPECT_NE(log.find("\t: Cpu Flags : "), std::string::npos) << log;
    EXPECT_NE(log.find("\t: ---------------------------------------------------------\n"),
              std::string::npos);
    EXPECT_EQ(log.find("PRE BETA"), std::string::npos);
    EXPECT_EQ(app->LogWindow(), nullptr);
}

TEST_F(ConfigTest, LogWindowShowsTheBannerAndEngineLines) {
    auto app = make(R"(<AppConfig><Window Name="Show"/><Debug Enable="True"/></AppConfig>)",
                    "LogWindow VideoOut");
    ASSERT_NE(app->LogWindow(), nullptr);
    const auto& lines = app->LogWindow()->Lines();
    ASSERT_GE(lines.size(), 12u);
    const std::string dashes(66, '-');
    const std::vector<std::string> banner = {
        "Show", "",     "*** THIS SOFTWARE IS PRE BETA ***", "******* DO NOT SPREAD !!! *********",
        "",     dashes, "Detecting 3D modules...",           dashes};
    EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + 8), banner);
    EXPECT_EQ(lines[8].rfind("Search path : [", 0), 0u);
    EXPECT_EQ(lines[9], "Output to VideoStream.");
    EXPECT_EQ(lines[10].rfind("Processor : ", 0), 0u);
    EXPECT_FALSE(LogFileOpen());
}

TEST_F(ConfigTest, InitWithoutRenderModulesFails) {
    auto app = make("<AppConfig/>");
    try {
        app->Init();
        FAIL();
    } catch (const CAppError& error) {
        EXPECT_EQ(error.Text(), "Could not find any Hardware module");
    }
}

TEST_F(ConfigTest, EscapeQuitsAndMonitorPowerIsSwallowed) {
    auto app = make("<AppConfig/>");
    Message power{MessageType::SysCommand, 0, 0x2F170};
    EXPECT_TRUE(app->Dispatch(power));
    power.command = 0xF060;
    EXPECT_FALSE(app->Dispatch(power));
    EXPECT_FALSE(app->Dispatch(Message{MessageType::KeyDown, 'A'}));
    EXPECT_FALSE(app->QuitRequested());
    EXPECT_FALSE(app->Dispatch(Message{MessageType::KeyDown, kKeyEscape}));
    EXPECT_TRUE(app->QuitRequested());
    app->Run();  // the queued quit message ends the loop at once
}

TEST_F(ConfigTest, TimeStretchKeysWorkOnlyWhenSwitchedOn) {
    auto app = make("<AppConfig/>");
    app->Dispatch(Message{MessageType::KeyDown, kKeyF1 + 1});
    EXPECT_FLOAT_EQ(GetTimeSpeed(), 1.0f);
    app->EnableTimeStretch(true);
    app->Dispatch(Message{MessageType::KeyDown, kKeyF1 + 1});
    EXPECT_FLOAT_EQ(GetTimeSpeed(), 2.0f);
    app->Dispatch(Message{MessageType::KeyDown, kKeyF1 + 9});  // F10 does nothing
    EXPECT_FLOAT_EQ(GetTimeSpeed(), 2.0f);
    app->Dispatch(Message{MessageType::KeyDown, kKeyF1 + 6});
    EXPECT_FLOAT_EQ(GetTimeSpeed(), 0.25f);
    EXPECT_FALSE(app->QuitRequested());
}

}  // namespace
}  // namespace vesta::test
