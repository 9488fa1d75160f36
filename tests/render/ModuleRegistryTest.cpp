#include "render/ModuleRegistry.h"

#include <deque>
#include <filesystem>
#include <gtest/gtest.h>
#include <stdexcept>

#include "TestSupport.h"
#include "fs/ArchiveList.h"
#include "fs/PakWriter.h"
#include "fs/ResourceArchive.h"
#include "log/Log.h"
#include "log/LogWindow.h"
#include "render/RecordingModule.h"

namespace vesta::test {
namespace {

using NullModule = RecordingModule;

class ModuleRegistryTest : public ::testing::Test {
protected:
    void SetUp() override { ClearInternalModulesForTests(); }
    void TearDown() override {
        ClearInternalModulesForTests();
        ArchiveList::ClearForTests();
        ResetLogState();
    }
};

// The described fixture's text: its whole 100-byte field, unterminated.
const std::string kDescribed = "Described" + std::string(91, 'd');

TEST_F(ModuleRegistryTest, WithoutBuiltInModulesNothingIsListed) {
    ModuleRegistry registry;
    registry.Detect("./drv");
    EXPECT_EQ(registry.GetModuleCount(), 0u);
    EXPECT_THROW(registry.CreateModule(0), std::out_of_range);
}

TEST_F(ModuleRegistryTest, BuiltInModuleIsListedAndCreated) {
    int created = 0;
    RegisterInternalModule({"OpenGL 3.3 Module for Vesta", {8, 0, 0}}, [&] {
        ++created;
        return std::make_unique<NullModule>();
    });
    ModuleRegistry registry;
    registry.Detect("./drv");
    ASSERT_EQ(registry.GetModuleCount(), 1u);
    EXPECT_EQ(registry.GetEntryName(0), "Internal Module");
    EXPECT_EQ(registry.GetInfoEntry(0).values[0], 8);

    CLogWindow log;
    SetLogSink(&CLogWindow::SinkAppend, &log);
    EXPECT_NE(registry.CreateModule(0), nullptr);
    EXPECT_EQ(created, 1);
    ASSERT_EQ(log.Lines().size(), 1u);
    EXPECT_EQ(log.Lines()[0], "Found Module [Internal module](OpenGL 3.3 Module for Vesta)");
    EXPECT_THROW(registry.CreateModule(1), std::out_of_range);
}

TEST_F(ModuleRegistryTest, PluginsInTheFolderFollowTheBuiltInOnesInNameOrder) {
    RegisterInternalModule({"Built in", {8, 0, 0}}, [] { return std::make_unique<NullModule>(); });
    TempDir dir;
    const std::filesystem::path drv = dir / "drv";
    std::filesystem::create_directories(drv / "folder.so");
    std::filesystem::copy_file(VESTA_DESCRIBED_MODULE, drv / "zeta.so");
    std::filesystem::copy_file(VESTA_DESCRIBED_MODULE, drv / "beta.so");
    std::filesystem::copy_file(VESTA_NOT_A_MODULE, drv / "alpha.so");  // no entry points
    WriteFile(drv / "gamma.so", "a text file");
    WriteFile(drv / "readme.txt", "not looked at");

    CLogWindow log;
    SetLogSink(&CLogWindow::SinkAppend, &log);
    ModuleRegistry registry;
    ::testing::internal::CaptureStdout();
    registry.Detect(drv.string());
    EXPECT_EQ(::testing::internal::GetCapturedStdout(),
              "o Not a valid DLL [alpha.so]\no Not a valid DLL [gamma.so]\n");

    ASSERT_EQ(registry.GetModuleCount(), 3u);
    EXPECT_EQ(registry.GetEntryName(0), "Internal Module");
    EXPECT_EQ(registry.GetEntryName(1), "beta.so");
    EXPECT_EQ(registry.GetEntryName(2), "zeta.so");
    EXPECT_EQ(registry.GetInfoEntry(1).description, kDescribed);
    EXPECT_EQ(registry.GetInfoEntry(2).values[2], 3);
    const std::deque<std::string> expected = {"Found Module [beta.so](" + kDescribed + ")",
                                              "Found Module [zeta.so](" + kDescribed + ")"};
    EXPECT_EQ(log.Lines(), expected);
    EXPECT_EQ(registry.FindModule("ZETA.so"), 2u);
    EXPECT_EQ(registry.FindModule("internal module"), 0u);
    EXPECT_EQ(registry.FindModule("alpha.so"), std::nullopt);

    // A plug-in that makes no module is an error naming it, not a null module.
    try {
        registry.CreateModule(1);
        ADD_FAILURE() << "no error";
    } catch (const CAppError& error) {
        EXPECT_EQ(error.Text(), "The render module [beta.so] made no module");
    }
}

TEST_F(ModuleRegistryTest, PluginsInAnArchiveAreLoadedFromMemory) {
    const std::string image = ReadFile(VESTA_DESCRIBED_MODULE);
    pak::PakWriter writer;  // compressed entries: the bytes are inflated first
    ASSERT_TRUE(writer.Add("DRV\\Described.so", Bytes(image)));
    ASSERT_TRUE(writer.Add("drv/broken.so", Bytes("no ELF here")));
    ASSERT_TRUE(writer.Add("other/elsewhere.so", Bytes(image)));
    ASSERT_TRUE(writer.Add("drv/readme.txt", Bytes("text")));
    ASSERT_TRUE(writer.Add("drvx.so", Bytes(image)));
    const std::optional<std::vector<std::uint8_t>> bytes = writer.Build();
    ASSERT_TRUE(bytes);
    ArchiveList::AppendForTests(ResourceArchive::MountMemory("plugins.pak", *bytes));

    CLogWindow log;
    SetLogSink(&CLogWindow::SinkAppend, &log);
    ModuleRegistry registry;
    ::testing::internal::CaptureStdout();
    registry.Detect("no-such-folder");
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "o Not a valid DLL [drv/broken.so]\n");
    ASSERT_EQ(registry.GetModuleCount(), 1u);
    EXPECT_EQ(registry.GetEntryName(0), "DRV\\Described.so");
    EXPECT_EQ(registry.GetInfoEntry(0).description, kDescribed);
    ASSERT_EQ(log.Lines().size(), 1u);
    EXPECT_EQ(log.Lines()[0], "Found Module [DRV\\Described.so](" + kDescribed + ")");
    EXPECT_EQ(registry.FindModule("drv\\described.so"), 0u);
    // Loaded from memory once more to make the module.
    EXPECT_THROW(registry.CreateModule(0), CAppError);
}

}  // namespace
}  // namespace vesta::test
