#include "render/ModuleRegistry.h"

#include <gtest/gtest.h>
#include <stdexcept>

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
        ResetLogState();
    }
};

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

}  // namespace
}  // namespace vesta::test
