// The player drawing through the example plug-in, found in ./drv or in an
// archive, next to files that are no plug-ins.

#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>

#include "PlayerRun.h"
#include "VideoReadBack.h"
#include "fs/PakWriter.h"

namespace vesta::test {
namespace {

// LogFile needs debugging on; the time line gives the frames something to show.
constexpr const char* kConfig =
    "<AppConfig><Window Name=\"Tint\"/><Script Name=\"Main.txt\"/><Debug Enable=\"True\"/>"
    "</AppConfig>";
constexpr const char* kTintDescription = "Tinted OpenGL 3.3 Module for VestaNG Library";
constexpr int kVeilAlpha = 0x60;
constexpr int kVeilBgr[3] = {0x00, 0x80, 0xFF};

class PluginTest : public ::testing::Test {
protected:
    void SetUp() override {
        WriteFile(m_dir / "DefaultConfig.xml", kConfig);
        WriteFile(m_dir / "Main.txt", "SHOWTIME Yes;\r\nPART {\r\n}\r\n");
    }

    ProcessResult record(const std::vector<std::string>& more, const std::string& file) {
        std::vector<std::string> args = {"--headless", "--mode",     "320x240x32", "--fps",
                                         "10",         "--duration", "0.3",        "--seed",
                                         "7",          "--codec",    "ffv1",       "NoSound",
                                         "LogFile",    "--video",    file};
        args.insert(args.end(), more.begin(), more.end());
        return play(m_dir.Path(), args);
    }

    TempDir m_dir;
};

// Every pixel of `veiled` is the one of `plain` under the plug-in's veil.
void expectVeiled(const ReadBack& plain, const ReadBack& veiled) {
    ASSERT_EQ(plain.frames.size(), 3u);
    ASSERT_EQ(veiled.frames.size(), plain.frames.size());
    std::size_t lit = 0;
    for (std::size_t f = 0; f < plain.frames.size(); ++f) {
        const std::vector<std::uint8_t>& below = plain.frames[f];
        const std::vector<std::uint8_t>& above = veiled.frames[f];
        ASSERT_EQ(below.size(), above.size());
        for (std::size_t i = 0; i < below.size(); ++i) {
            lit += below[i] != 0;
            const int expected =
                (below[i] * (255 - kVeilAlpha) + kVeilBgr[i % 3] * kVeilAlpha) / 255;
            ASSERT_LE(std::abs(above[i] - expected), 2) << "frame " << f << ", byte " << i << ": "
                                                        << int(below[i]) << " -> " << int(above[i]);
        }
    }
    // The time line was drawn, so the veil lies over a show and not only black.
    EXPECT_GT(lit, 0u);
}

TEST_F(PluginTest, PluginInTheModuleFolderIsListedAndDrawsTheShowUnderItsVeil) {
    const std::filesystem::path drv = m_dir / "drv";
    std::filesystem::create_directories(drv);
    std::filesystem::copy_file(VESTA_TINT_PLUGIN, drv / "tint.so");
    WriteFile(drv / "notes.so", "no shared object");
    std::filesystem::copy_file(VESTA_NOT_A_MODULE, drv / "plain.so");

    const ProcessResult internal = record({}, "internal.avi");
    ASSERT_EQ(internal.exitCode, 0) << internal.err;
    EXPECT_NE(internal.out.find("o Not a valid DLL [notes.so]\n"), std::string::npos);
    EXPECT_NE(internal.out.find("o Not a valid DLL [plain.so]\n"), std::string::npos);
    EXPECT_TRUE(
        logged(m_dir.Path(), std::string("Found Module [tint.so](") + kTintDescription + ")"));
    // Listed, but the first module is the one used unless another is asked for.
    EXPECT_TRUE(logged(m_dir.Path(),
                       "Found Module [Internal module](OpenGL 3.3 Module for VestaNG Library)"));

    const ProcessResult tinted = record({"--module", "tint.so"}, "tinted.avi");
    ASSERT_EQ(tinted.exitCode, 0) << tinted.err;
    const std::vector<std::string> messages = logMessages(m_dir.Path());
    const std::string found = std::string("Found Module [tint.so](") + kTintDescription + ")";
    // Once when listed, once when made.
    EXPECT_EQ(std::count(messages.begin(), messages.end(), found), 2);
    EXPECT_FALSE(logged(m_dir.Path(),
                        "Found Module [Internal module](OpenGL 3.3 Module for VestaNG Library)"));
    expectVeiled(ReadRecording(m_dir / "internal.avi"), ReadRecording(m_dir / "tinted.avi"));
}

TEST_F(PluginTest, PluginInAnArchiveIsLoadedFromMemory) {
    pak::PakWriter writer;
    ASSERT_TRUE(writer.Add("drv/tint.so", Bytes(ReadFile(VESTA_TINT_PLUGIN))));
    const std::optional<std::vector<std::uint8_t>> archive = writer.Build();
    ASSERT_TRUE(archive);
    WriteFile(m_dir / "modules.pak", *archive);

    const ProcessResult internal = record({}, "internal.avi");
    ASSERT_EQ(internal.exitCode, 0) << internal.err;
    const ProcessResult tinted = record({"--module", "drv/tint.so"}, "tinted.avi");
    ASSERT_EQ(tinted.exitCode, 0) << tinted.err;
    EXPECT_TRUE(
        logged(m_dir.Path(), std::string("Found Module [drv/tint.so](") + kTintDescription + ")"));
    EXPECT_EQ(tinted.out.find("Not a valid DLL"), std::string::npos);
    expectVeiled(ReadRecording(m_dir / "internal.avi"), ReadRecording(m_dir / "tinted.avi"));

    // A module nobody listed ends the run before any frame.
    const ProcessResult missing = record({"--module", "tint.so"}, "missing.avi");
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_NE(missing.err.find("Could not find the render module [tint.so]"), std::string::npos)
        << missing.err;
    EXPECT_FALSE(std::filesystem::exists(m_dir / "missing.avi"));
}

}  // namespace
}  // namespace vesta::test
