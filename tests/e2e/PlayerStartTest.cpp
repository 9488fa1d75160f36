// The player from the outside: where it finds its configuration, what it
// says when it cannot go on, and the files it writes.

#include <gtest/gtest.h>
#include <sstream>

#include "TestSupport.h"
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

const char* const kNoModule = "Night Show: Could not find any Hardware module\n";
// Debugging is on in kConfig, so the error is also written as debug output first.
const char* const kNoModuleDebug = "vesta: debug: Could not find any Hardware module\n"
                                   "Night Show: Could not find any Hardware module\n";

std::vector<std::uint8_t> archiveOf(const std::vector<std::pair<std::string, std::string>>& files) {
    pak::PakWriter writer;
    for (const auto& [name, text] : files) {
        writer.Add(name, Bytes(text));
    }
    return *writer.Build();
}

// "<number>\t: <message>": the log's time stamp is a float in its shortest form.
bool isLogLine(const std::string& line) {
    const std::size_t tab = line.find("\t: ");
    if (tab == 0 || tab == std::string::npos) {
        return false;
    }
    return line.find_first_not_of("-+.0123456789e") >= tab;
}

ProcessResult play(const std::filesystem::path& folder, std::vector<std::string> args = {},
                   const std::string& program = VESTA_ENGINE_PATH) {
    return RunProcess(program, args, folder);
}

TEST(PlayerStartTest, WithoutConfigurationItSaysSoAndFails) {
    TempDir dir;
    const ProcessResult result = play(dir.Path());
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.err, "Exception: Unable to open [DefaultConfig.xml]\n");
}

TEST(PlayerStartTest, SyntaxErrorNamesItsLine) {
    TempDir dir;
    WriteFile(dir / "DefaultConfig.xml", "<AppConfig>\n<Window Name=\"x\"\n</AppConfig>\n");
    const ProcessResult result = play(dir.Path());
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.err, "Exception: Syntax error at line(3), column(1)\n");
}

TEST(PlayerStartTest, ConfigurationInTheFolderGetsPastConstruction) {
    TempDir dir;
    WriteFile(dir / "DefaultConfig.xml", kConfig);
    const ProcessResult result = play(dir.Path());
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.err, kNoModuleDebug);
}

TEST(PlayerStartTest, ConfigurationInAnArchiveBesideThePlayer) {
    TempDir dir;
    WriteFile(dir / "Demo.pak", archiveOf({{"defaultconfig.XML", kConfig}}));
    const ProcessResult result = play(dir.Path(), {"-C", dir.Path().string()});
    EXPECT_EQ(result.err, kNoModuleDebug);
}

TEST(PlayerStartTest, ConfigurationEmbeddedWithVestaPak) {
    TempDir dir;
    WriteFile(dir / "show.pak", archiveOf({{"DefaultConfig.xml", kConfig}}));
    const ProcessResult embed = RunProcess(
        VESTA_PAK_PATH,
        {"embed", VESTA_ENGINE_PATH, (dir / "show.pak").string(), "-o", (dir / "show").string()},
        dir.Path());
    ASSERT_EQ(embed.exitCode, 0) << embed.err;
    TempDir elsewhere;
    // Archives of the folder do not count once one is embedded.
    WriteFile(elsewhere / "other.pak",
              archiveOf({{"DefaultConfig.xml", "<AppConfig><Window Name='Other'/></AppConfig>"}}));
    const ProcessResult result = play(elsewhere.Path(), {}, (dir / "show").string());
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.err, kNoModuleDebug);
}

TEST(PlayerStartTest, ShowcasePlayerCarriesItsProduction) {
    TempDir dir;
    const ProcessResult result = play(dir.Path(), {}, VESTA_PLAYER_PATH);
    EXPECT_EQ(result.err, "Vesta Showcase: Could not find any Hardware module\n");
}

TEST(PlayerStartTest, DebugWordsWriteTheLogAndTheFileList) {
    TempDir dir;
    WriteFile(dir / "DefaultConfig.xml", kConfig);
    const ProcessResult result = play(dir.Path(), {"LogFile", "gfl"});
    EXPECT_EQ(result.err, kNoModuleDebug);
    std::istringstream log(ReadFile(dir / "Logging.txt"));
    std::string line;
    int lines = 0;
    for (; std::getline(log, line); ++lines) {
        EXPECT_TRUE(isLogLine(line)) << line;
    }
    EXPECT_GE(lines, 4);
    EXPECT_EQ(ReadFile(dir / "FileList.txt"), "DefaultConfig.xml\n");
}

TEST(PlayerStartTest, DebugWordsNeedDebuggingEnabled) {
    TempDir dir;
    WriteFile(dir / "DefaultConfig.xml", "<AppConfig><Window Name='Night Show'/></AppConfig>");
    play(dir.Path(), {"LogFile"});
    EXPECT_FALSE(std::filesystem::exists(dir / "Logging.txt"));
}

TEST(PlayerStartTest, NewestArchiveWins) {
    TempDir dir;
    WriteFile(dir / "a.pak",
              archiveOf({{"DefaultConfig.xml", "<AppConfig><Window Name='Old'/></AppConfig>"}}));
    WriteFile(dir / "b.pak",
              archiveOf({{"DefaultConfig.xml", "<AppConfig><Window Name='New'/></AppConfig>"}}));
    std::filesystem::last_write_time(dir / "a.pak", std::filesystem::file_time_type::clock::now());
    std::filesystem::last_write_time(dir / "b.pak", std::filesystem::file_time_type::clock::now() -
                                                        std::chrono::hours(1));
    EXPECT_EQ(play(dir.Path()).err, "Old: Could not find any Hardware module\n");
}

TEST(PlayerStartTest, DamagedArchivesEndInMessages) {
    TempDir dir;
    std::vector<std::uint8_t> bad = archiveOf({{"DefaultConfig.xml", kConfig}});
    bad[9 + 12 + 3] ^= 0xFF;
    WriteFile(dir / "bad.pak", bad);
    ProcessResult result = play(dir.Path());
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.err, "Exception: Error : damaged archive [bad.pak]\n");

    std::filesystem::remove(dir / "bad.pak");
    std::vector<std::uint8_t> cut = archiveOf({{"DefaultConfig.xml", kConfig}});
    cut.resize(cut.size() - 10);
    WriteFile(dir / "cut.pak", cut);
    result = play(dir.Path());
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
