// The player from the outside: where it finds its configuration, what it
// says when it cannot go on, and the files it writes.

#include <gtest/gtest.h>
#include <sstream>

#include "PlayerRun.h"
#include "fs/PakWriter.h"

namespace vesta::test {
namespace {

const char* const kConfig = R"(<?xml version="1.0" encoding="iso-8859-15"?>
<AppConfig>
	<Window	Class="Demo"	Name="Night Show"	Width="640"	Height="480"/>
	<Script	Name="Main.txt"/>
	<Debug	Enable="True"/>
</AppConfig>
)";

// A short headless run: the player brings its device up, plays a few frames and ends.
const std::vector<std::string> kShortRun = {"--headless", "--duration", "0.2", "LogFile"};

std::vector<std::uint8_t> archiveOf(const std::vector<std::pair<std::string, std::string>>& files) {
    pak::PakWriter writer;
    for (const auto& [name, text] : files) {
        writer.Add(name, Bytes(text));
    }
    return *writer.Build();
}

// A copy of the engine carrying an archive of `files`, made in `folder`;
// empty when vesta-pak failed.
std::string embeddedPlayer(const std::filesystem::path& folder,
                           const std::vector<std::pair<std::string, std::string>>& files) {
    WriteFile(folder / "show.pak", archiveOf(files));
    const std::string player = (folder / "show").string();
    const ProcessResult embed = RunProcess(
        VESTA_PAK_PATH, {"embed", VESTA_ENGINE_PATH, (folder / "show.pak").string(), "-o", player},
        folder);
    EXPECT_EQ(embed.exitCode, 0) << embed.err;
    return embed.exitCode == 0 ? player : std::string();
}

void writeProduction(const std::filesystem::path& folder) {
    WriteFile(folder / "DefaultConfig.xml", kConfig);
    WriteFile(folder / "Main.txt", kEndlessScript);
}

// "<number>\t: <message>": the log's time stamp is a float in its shortest form.
bool isLogLine(const std::string& line) {
    const std::size_t tab = line.find("\t: ");
    if (tab == 0 || tab == std::string::npos) {
        return false;
    }
    return line.find_first_not_of("-+.0123456789e") >= tab;
}

// Only a configuration that enables debugging lets "LogFile" open the log:
// the log shows which of several configurations was read.
bool debugConfigurationRead(const std::filesystem::path& folder) {
    return std::filesystem::exists(folder / "Logging.txt");
}

TEST(PlayerStartTest, WithoutConfigurationItSaysSoAndFails) {
    TempDir dir;
    const ProcessResult result = play(dir.Path());
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.err, "vesta: no display found; playing headless\n"
                          "Exception: Unable to open [DefaultConfig.xml]\n");
}

TEST(PlayerStartTest, SyntaxErrorNamesItsLine) {
    TempDir dir;
    WriteFile(dir / "DefaultConfig.xml", "<AppConfig>\n<Window Name=\"x\"\n</AppConfig>\n");
    const ProcessResult result = play(dir.Path(), {"--headless"});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.err, "Exception: Syntax error at line(3), column(1) in [DefaultConfig.xml]: "
                          "a name was expected\n");
}

TEST(PlayerStartTest, HeadlessRunBringsTheDeviceUpAndEnds) {
    TempDir dir;
    writeProduction(dir.Path());
    const ProcessResult result =
        play(dir.Path(), {"--headless", "--mode", "640x480x32", "--duration", "0.5", "LogFile"});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.err, "");
    EXPECT_TRUE(logged(dir.Path(),
                       "Found Module [Internal module](OpenGL 3.3 Module for VestaNG Library)"));
    EXPECT_TRUE(logged(dir.Path(), "Querying for 640x480x32x24z..."));
    EXPECT_TRUE(logged(dir.Path(), "Using 640x480x32x24z"));
    EXPECT_TRUE(logged(dir.Path(), "Vertex primitive size : 44 Bytes."));
}

#ifdef VESTA_XVFB_RUN
// The showcase in a window, with its music: OpenAL's null output stands in
// for the audio device this machine lacks. The mode is given, so its startup
// dialog stays closed (SkinnedStartupRunTest answers it).
TEST(PlayerStartTest, ShowcasePlaysInAWindow) {
#ifdef VESTA_SANITIZED_WINDOW
    setenv("ASAN_OPTIONS", "detect_leaks=0", 1);
#endif
    setenv("ALSOFT_DRIVERS", "null", 1);
    TempDir dir;
    const ProcessResult result = play(dir.Path(),
                                      {"-a", "-s", "-screen 0 1024x768x24", VESTA_PLAYER_PATH,
                                       "--mode", "640x480x32", "--windowed", "--duration", "2"},
                                      VESTA_XVFB_RUN);
    unsetenv("ALSOFT_DRIVERS");
    EXPECT_EQ(result.exitCode, 0) << result.err;
}

// In a window on a virtual X server. No sound: this machine has no audio device,
// and a windowed run without one stops with "Can't initialize digital sound system".
TEST(PlayerStartTest, WindowedRunPresentsItsFramesAndEnds) {
#ifdef VESTA_SANITIZED_WINDOW
    // X11, D-Bus and the unloaded GL driver keep allocations to the end of the
    // process; leak checking stays on for the runs without a window.
    setenv("ASAN_OPTIONS", "detect_leaks=0", 1);
#endif
    TempDir dir;
    writeProduction(dir.Path());
    const ProcessResult result =
        play(dir.Path(),
             {"-a", "-s", "-screen 0 1024x768x24", VESTA_ENGINE_PATH, "--mode", "800x600x16",
              "--windowed", "--duration", "1", "LogFile", "NoSound"},
             VESTA_XVFB_RUN);
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_TRUE(logged(dir.Path(), "Using 800x600x16x24z"));
}
#endif

TEST(PlayerStartTest, AnyModeSizeIsAcceptedOnTheCommandLine) {
    TempDir dir;
    writeProduction(dir.Path());
    const ProcessResult result =
        play(dir.Path(), {"--headless", "--mode", "1000x562x16", "--duration", "0.2", "LogFile"});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_TRUE(logged(dir.Path(), "Using 1000x562x16x24z"));
}

TEST(PlayerStartTest, ConfigurationInAnArchiveBesideThePlayer) {
    TempDir dir;
    WriteFile(dir / "Demo.pak",
              archiveOf({{"defaultconfig.XML", kConfig}, {"MAIN.txt", kEndlessScript}}));
    std::vector<std::string> args = kShortRun;
    args.insert(args.end(), {"-C", dir.Path().string()});
    const ProcessResult result = play(dir.Path(), args);
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_TRUE(debugConfigurationRead(dir.Path()));
}

TEST(PlayerStartTest, ConfigurationEmbeddedWithVestaPak) {
    TempDir dir;
    const std::string player =
        embeddedPlayer(dir.Path(), {{"DefaultConfig.xml", kConfig}, {"Main.txt", kEndlessScript}});
    ASSERT_FALSE(player.empty());
    TempDir elsewhere;
    // Archives of the folder do not count once one is embedded.
    WriteFile(elsewhere / "other.pak",
              archiveOf({{"DefaultConfig.xml", "<AppConfig><Window Name='Other'/></AppConfig>"}}));
    const ProcessResult result = play(elsewhere.Path(), kShortRun, player);
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_TRUE(debugConfigurationRead(elsewhere.Path()));
}

TEST(PlayerStartTest, ShowcasePlayerCarriesItsProduction) {
    TempDir dir;
    const ProcessResult check = play(dir.Path(), {"--check"}, VESTA_PLAYER_PATH);
    EXPECT_EQ(check.exitCode, 0) << check.err;
    const ProcessResult result =
        play(dir.Path(), {"--headless", "--duration", "0.2"}, VESTA_PLAYER_PATH);
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.err, "");
}

// Without a display a bare player that carries its production records the
// show and says where.
TEST(PlayerStartTest, TheBarePlayerWithoutADisplayRecordsTheShow) {
    TempDir dir;
    const std::string player =
        embeddedPlayer(dir.Path(), {{"DefaultConfig.xml", kConfig},
                                    {"Main.txt", "PART {\r\nTIME 0.5 {\r\nEND;\r\n}\r\n}\r\n"}});
    ASSERT_FALSE(player.empty());
    TempDir elsewhere;
    const ProcessResult result = play(elsewhere.Path(), {}, player);
    EXPECT_EQ(result.exitCode, 0) << result.err;
    const std::string file = (std::filesystem::canonical(elsewhere.Path()) / "Video.avi").string();
    EXPECT_EQ(result.err.rfind("vesta: no display found; recording the show instead\n"
                               "vesta: recording into " +
                                   file + "\n",
                               0),
              0u)
        << result.err;
    EXPECT_GT(std::filesystem::file_size(file), 0u);
}

TEST(PlayerStartTest, DebugWordsWriteTheLogAndTheFileList) {
    TempDir dir;
    writeProduction(dir.Path());
    const ProcessResult result =
        play(dir.Path(), {"--headless", "--duration", "0.2", "LogFile", "gfl"});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    std::istringstream log(ReadFile(dir / "Logging.txt"));
    std::string line;
    int lines = 0;
    for (; std::getline(log, line); ++lines) {
        EXPECT_TRUE(isLogLine(line)) << line;
    }
    EXPECT_GE(lines, 4);
    EXPECT_EQ(ReadFile(dir / "FileList.txt"), "DefaultConfig.xml\nMain.txt\n");
}

TEST(PlayerStartTest, UsageStatisticsAreWrittenWithTheDebugWord) {
    TempDir dir;
    writeProduction(dir.Path());
    const ProcessResult result = play(dir.Path(), {"--headless", "--duration", "0.1", "us"});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_TRUE(std::filesystem::exists(dir / "LayerFactoryStats.txt"));
    EXPECT_TRUE(std::filesystem::exists(dir / "ModifiersFactoryStats.txt"));
}

TEST(PlayerStartTest, DebugWordsNeedDebuggingEnabled) {
    TempDir dir;
    WriteFile(dir / "DefaultConfig.xml", "<AppConfig><Window Name='Night Show'/></AppConfig>");
    play(dir.Path(), {"--headless", "--duration", "0.1", "LogFile", "us"});
    EXPECT_FALSE(std::filesystem::exists(dir / "Logging.txt"));
    EXPECT_FALSE(std::filesystem::exists(dir / "LayerFactoryStats.txt"));
}

TEST(PlayerStartTest, NewestArchiveWins) {
    TempDir dir;
    WriteFile(dir / "a.pak", archiveOf({{"DefaultConfig.xml",
                                         "<AppConfig><Window Name='Old'/><Debug Enable='True'/>"
                                         "<Script Name='Main.txt'/></AppConfig>"},
                                        {"Main.txt", kEndlessScript}}));
    WriteFile(dir / "b.pak", archiveOf({{"DefaultConfig.xml",
                                         "<AppConfig><Window Name='New'/><Script Name='Main.txt'/>"
                                         "</AppConfig>"},
                                        {"Main.txt", kEndlessScript}}));
    std::filesystem::last_write_time(dir / "a.pak", std::filesystem::file_time_type::clock::now());
    std::filesystem::last_write_time(dir / "b.pak", std::filesystem::file_time_type::clock::now() -
                                                        std::chrono::hours(1));
    EXPECT_EQ(play(dir.Path(), kShortRun).exitCode, 0);
    EXPECT_TRUE(debugConfigurationRead(dir.Path()));
}

TEST(PlayerStartTest, DamagedArchivesEndInMessages) {
    TempDir dir;
    std::vector<std::uint8_t> bad = archiveOf({{"DefaultConfig.xml", kConfig}});
    bad[9 + 12 + 3] ^= 0xFF;
    WriteFile(dir / "bad.pak", bad);
    ProcessResult result = play(dir.Path(), {"--headless"});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.err, "Exception: Error : damaged archive [bad.pak]\n");

    std::filesystem::remove(dir / "bad.pak");
    std::vector<std::uint8_t> cut = archiveOf({{"DefaultConfig.xml", kConfig}});
    cut.resize(cut.size() - 10);
    WriteFile(dir / "cut.pak", cut);
    result = play(dir.Path(), {"--headless"});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.err.find("vesta: warning: entry [DefaultConfig.xml] of archive [cut.pak]"),
              std::string::npos)
        << result.err;
    EXPECT_NE(result.err.find("Exception: Unable to open [DefaultConfig.xml]\n"),
              std::string::npos);
}

TEST(PlayerStartTest, OptionsFollowLinuxConventions) {
    TempDir dir;
    const ProcessResult help = play(dir.Path(), {"--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_NE(help.out.find("Usage: vesta"), std::string::npos);
    const ProcessResult version = play(dir.Path(), {"--version"});
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_EQ(version.out.rfind("vesta ", 0), 0u);
    const ProcessResult bad = play(dir.Path(), {"--mode", "big"});
    EXPECT_EQ(bad.exitCode, 2);
    EXPECT_NE(bad.err.find("invalid mode 'big'"), std::string::npos);
    const ProcessResult missing = play(dir.Path(), {"-C", "/nonexistent-folder"});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_NE(missing.err.find("cannot enter '/nonexistent-folder'"), std::string::npos);
}

}  // namespace
}  // namespace vesta::test
